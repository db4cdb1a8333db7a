// The list control with the real browser engine: what it shows, and what clicking it raises.
#include "player/playlist/qt/web_list.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "build_config.h"
#include "common/atomic_file.h"
#include "player/playlist/list_bounds.h"
#include "player/playlist/list_page.h"
#include "player/playlist/play_list_files.h"
#include "player/playlist/qt/list_web_page.h"
#include "player/playlist/qt/url_schemes.h"
#include "tests/support/temp_dir.h"

namespace kam::playlist {
namespace {

namespace fs = std::filesystem;

constexpr int kLoadTimeoutMs = 20000;
constexpr int kEventTimeoutMs = 5000;

// Runs script in the page's main world and waits for its result.
std::optional<QVariant> RunJs(QWebEnginePage* page, const QString& script) {
  std::optional<QVariant> result;
  QEventLoop loop;
  QTimer::singleShot(kEventTimeoutMs, &loop, &QEventLoop::quit);
  page->runJavaScript(script, [&](const QVariant& v) {
    result = v;
    loop.quit();
  });
  loop.exec();
  return result;
}

std::vector<std::string> Episodes(int count, const std::string& title) {
  std::vector<std::string> list;
  for (int i = 0; i < count; ++i) {
    list.push_back("第" + std::to_string(i + 1) + "集||http://127.0.0.1:1/play/" +
                   std::to_string(i + 1) + ".html||" + title);
  }
  return list;
}

class WebListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_.path() / "html");
    fs::create_directories(dir_.path() / "data");
    const fs::path css = fs::path(kam::build::kSourceDir) / "assets" / "html";
    for (const char* name : {"default_skin.css", "item.css"}) {
      fs::copy_file(css / name, dir_.path() / "html" / name);
    }
  }

  // A shown control that has loaded its first page.
  void Create() {
    list_ = std::make_unique<WebList>(dir_.path());
    QSignalSpy loaded(list_->view(), &QWebEngineView::loadFinished);
    list_->resize(300, 500);
    list_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list_.get()));
    ASSERT_TRUE(loaded.wait(kLoadTimeoutMs));
    ASSERT_TRUE(loaded.takeFirst().at(0).toBool());
  }

  // AddItem, then the reload it starts.
  void Add(const std::vector<std::string>& list) {
    QSignalSpy loaded(list_->view(), &QWebEngineView::loadFinished);
    ASSERT_TRUE(list_->AddItem(list));
    ASSERT_TRUE(loaded.wait(kLoadTimeoutMs));
    WaitForInput();
  }

  QWebEnginePage* page() const { return list_->view()->page(); }

  // The engine takes input once the page has a rendering widget and has painted.
  void WaitForInput() {
    QElapsedTimer timer;
    timer.start();
    while (list_->view()->focusProxy() == nullptr && timer.elapsed() < kEventTimeoutMs) {
      QTest::qWait(20);
    }
    ASSERT_NE(list_->view()->focusProxy(), nullptr);
    // One animation frame after load: the page has been laid out and painted.
    ASSERT_TRUE(RunJs(page(), "new Promise(function(r){requestAnimationFrame(function(){r(1)})})"));
    QTest::qWait(50);
  }

  // Centre of the element, in the coordinates of the widget that takes the view's input.
  QPoint CenterOf(const QString& selector) {
    const auto v = RunJs(page(), QStringLiteral("(function(){var e=document.querySelector('%1');"
                                                "e.scrollIntoView({block:'center'});"
                                                "var r=e.getBoundingClientRect();"
                                                "return [r.left+r.width/2, r.top+r.height/2];})()")
                                     .arg(selector));
    EXPECT_TRUE(v.has_value());
    if (!v) return {};
    const QVariantList xy = v->toList();
    EXPECT_EQ(xy.size(), 2);
    if (xy.size() != 2) return {};
    QTest::qWait(50);  // let a scroll reach the screen
    return QPoint(qRound(xy[0].toDouble()), qRound(xy[1].toDouble()));
  }

  void Click(Qt::MouseButton button, QPoint at) {
    QWidget* input = list_->view()->focusProxy();
    QTest::mouseMove(input, at);
    QTest::mousePress(input, button, {}, at);
    QTest::mouseRelease(input, button, {}, at, 20);
  }

  kam::testing::TempDir dir_;
  std::unique_ptr<WebList> list_;
};

TEST(PlaylistUrlSchemesTest, PlIsRegisteredOnceWithPathSyntax) {
  // main() registered it twice before the application object existed.
  const QWebEngineUrlScheme scheme = QWebEngineUrlScheme::schemeByName("pl");
  EXPECT_EQ(scheme.name(), QByteArray("pl"));
  EXPECT_EQ(scheme.syntax(), QWebEngineUrlScheme::Syntax::Path);
}

TEST_F(WebListTest, NewControlShowsAnEmptyPage) {
  ASSERT_NO_FATAL_FAILURE(Create());
  EXPECT_EQ(list_->view()->url(), list_->PageUrl());
  EXPECT_EQ(ReadFileBytes(ListPagePath(dir_.path())), EmptyListPageBytes());
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 0);
  EXPECT_EQ(list_->Value(), "||");
}

TEST_F(WebListTest, BrowserBorderLiesOutsideTheControl) {
  ASSERT_NO_FATAL_FAILURE(Create());
  EXPECT_EQ(list_->view()->geometry(), QRect(-3, -3, 305, 505));
  list_->resize(280, 400);
  EXPECT_EQ(list_->view()->geometry(), QRect(-3, -3, 285, 405));
}

TEST_F(WebListTest, AddItemShowsTheEntriesDecodedFromGbk) {
  ASSERT_NO_FATAL_FAILURE(Create());
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(3, "测试剧 <全集> & 花絮")));
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 3);
  EXPECT_EQ(RunJs(page(), "document.querySelector('h4').textContent")->toString(),
            QStringLiteral("测试剧 <全集> & 花絮"));
  EXPECT_EQ(RunJs(page(), "document.getElementById('2').textContent")->toString(),
            QStringLiteral("第3集"));
  // The style sheets beside the page apply: the dark panel colour.
  EXPECT_EQ(RunJs(page(), "getComputedStyle(document.body).backgroundColor")->toString(),
            QStringLiteral("rgb(46, 46, 46)"));
}

TEST_F(WebListTest, MarkupInEntryTextStaysText) {
  ASSERT_NO_FATAL_FAILURE(Create());
  ASSERT_NO_FATAL_FAILURE(Add(
      {"<img src=x onerror=\"document.title='owned'\">||u||<script>document.title='x'</script>"}));
  EXPECT_EQ(RunJs(page(), "document.images.length + document.scripts.length")->toInt(), 1);
  EXPECT_EQ(RunJs(page(), "document.title")->toString(), QString());
}

TEST_F(WebListTest, ClickOnAnEntryRaisesItemPlayAndOpensNoWindow) {
  ASSERT_NO_FATAL_FAILURE(Create());
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(20, "剧")));
  auto* list_page = qobject_cast<ListWebPage*>(page());
  ASSERT_NE(list_page, nullptr);
  QSignalSpy play(list_.get(), &WebList::ItemPlay);
  QSignalSpy refused(list_page, &ListWebPage::navigationCancelled);
  const int windows = QApplication::topLevelWidgets().size();

  Click(Qt::LeftButton, CenterOf("a[id=\"12\"]"));
  ASSERT_TRUE(play.wait(kEventTimeoutMs));
  EXPECT_EQ(play.takeFirst(), (QVariantList{12, QStringLiteral("||")}));
  // The new window the link asked for was handed a page that refused its target.
  ASSERT_TRUE(refused.count() > 0 || refused.wait(kEventTimeoutMs));
  EXPECT_EQ(refused.takeFirst().at(0).toUrl().host(), QStringLiteral("play"));
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
  EXPECT_EQ(list_->view()->url(), list_->PageUrl());

  Click(Qt::LeftButton, CenterOf("a[id=\"0\"]"));
  ASSERT_TRUE(play.wait(kEventTimeoutMs));
  EXPECT_EQ(play.takeFirst(), (QVariantList{0, QStringLiteral("||")}));
}

TEST_F(WebListTest, ItemPlayCarriesTheSeparatorSet) {
  ASSERT_NO_FATAL_FAILURE(Create());
  list_->setValue("##");
  ASSERT_NO_FATAL_FAILURE(Add({"a##u##t", "b##v##t"}));
  QSignalSpy play(list_.get(), &WebList::ItemPlay);
  Click(Qt::LeftButton, CenterOf("a[id=\"1\"]"));
  ASSERT_TRUE(play.wait(kEventTimeoutMs));
  EXPECT_EQ(play.takeFirst(), (QVariantList{1, QStringLiteral("##")}));
}

TEST_F(WebListTest, DeleteLinkRaisesItemDelete) {
  ASSERT_NO_FATAL_FAILURE(Create());
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(2, "剧")));
  ASSERT_TRUE(RunJs(page(),
                    "var a=document.createElement('a');a.href='http://ShanChu:';a.id='4';"
                    "a.target='_blank';a.textContent='delete';"
                    "document.querySelector('.play-list').appendChild(a);1"));
  QSignalSpy play(list_.get(), &WebList::ItemPlay);
  QSignalSpy del(list_.get(), &WebList::ItemDelete);
  Click(Qt::LeftButton, CenterOf("a[id=\"4\"]"));
  ASSERT_TRUE(del.wait(kEventTimeoutMs));
  EXPECT_EQ(del.takeFirst(), QVariantList{4});
  EXPECT_EQ(play.count(), 0);
}

TEST_F(WebListTest, RightClicksRaiseItemContextMenuExceptOnThePageRoot) {
  ASSERT_NO_FATAL_FAILURE(Create());
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(3, "剧")));
  QSignalSpy menu(list_.get(), &WebList::ItemContextMenu);
  // Below the short list only the root element is hit: nothing is raised. Reports arrive in
  // order, so the next one shows whether this one raised anything.
  const QPoint below(150, 480);
  ASSERT_EQ(RunJs(page(), "document.elementFromPoint(150, 480).tagName")->toString(), "HTML");
  Click(Qt::RightButton, below);
  Click(Qt::RightButton, CenterOf("a[id=\"2\"]"));
  ASSERT_TRUE(menu.wait(kEventTimeoutMs));
  EXPECT_EQ(menu.takeFirst(), (QVariantList{true, 2}));

  Click(Qt::RightButton, CenterOf("h4"));
  ASSERT_TRUE(menu.wait(kEventTimeoutMs));
  EXPECT_EQ(menu.takeFirst(), (QVariantList{false, 0}));
}

TEST_F(WebListTest, PlNavigationsAreCancelled) {
  ASSERT_NO_FATAL_FAILURE(Create());
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(2, "剧")));
  auto* list_page = qobject_cast<ListWebPage*>(page());
  QSignalSpy cancelled(list_page, &ListWebPage::navigationCancelled);
  ASSERT_TRUE(RunJs(page(), "location.href='pl://next/3'; 1"));
  ASSERT_TRUE(cancelled.count() > 0 || cancelled.wait(kEventTimeoutMs));
  EXPECT_EQ(cancelled.takeFirst().at(0).toUrl().scheme(), QStringLiteral("pl"));
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 2);
  EXPECT_EQ(list_->view()->url(), list_->PageUrl());
}

TEST_F(WebListTest, ScriptDialogsStaySilent) {
  ASSERT_NO_FATAL_FAILURE(Create());
  // A dialog would block the script until someone answers it.
  const auto answer = RunJs(page(), "alert('a'); [confirm('b'), prompt('c', 'd')]");
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->toList(), (QVariantList{false, QVariant()}));
}

TEST_F(WebListTest, RefusedListLeavesFilesAndPageAlone) {
  ASSERT_NO_FATAL_FAILURE(Create());
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(2, "剧")));
  const auto page_bytes = ReadFileBytes(ListPagePath(dir_.path()));
  const auto store_bytes = ReadFileBytes(StorePath(dir_.path()));
  QSignalSpy written(list_.get(), &WebList::ListWritten);
  EXPECT_FALSE(list_->AddItem({"a||u||t", "broken||entry"}));
  EXPECT_FALSE(list_->AddItem({"a||" + std::string(kMaxAddressBytes + 1, 'u') + "||t"}));
  ASSERT_TRUE(list_->WaitForWrites(std::chrono::milliseconds(kEventTimeoutMs)));
  QTest::qWait(100);
  EXPECT_EQ(written.count(), 0);
  EXPECT_EQ(ReadFileBytes(ListPagePath(dir_.path())), page_bytes);
  EXPECT_EQ(ReadFileBytes(StorePath(dir_.path())), store_bytes);
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 2);
}

TEST_F(WebListTest, EmptyListIsStored) {
  ASSERT_NO_FATAL_FAILURE(Create());
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(2, "剧")));
  ASSERT_NO_FATAL_FAILURE(Add({}));
  EXPECT_EQ(ReadFileBytes(StorePath(dir_.path())), "\r\n");
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 0);
}

TEST_F(WebListTest, MissingHtmlFolderIsCreated) {
  fs::remove_all(dir_.path() / "html");
  ASSERT_NO_FATAL_FAILURE(Create());
  EXPECT_EQ(ReadFileBytes(ListPagePath(dir_.path())), EmptyListPageBytes());
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(1, "剧")));
}

// Polls a script in the page's main world until it gives true.
bool WaitForJs(QWebEnginePage* page, const QString& condition) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < kEventTimeoutMs) {
    const auto v = RunJs(page, condition);
    if (v && v->toBool()) return true;
    QTest::qWait(50);
  }
  return false;
}

TEST_F(WebListTest, PageThatCannotBeWrittenShowsTheEmptyListNotTheOlderPage) {
  ASSERT_NO_FATAL_FAILURE(Create());
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(3, "剧")));
  // A folder with something in it in the page's place: the page cannot be replaced.
  const fs::path page_path = ListPagePath(dir_.path());
  fs::remove(page_path);
  fs::create_directories(page_path / "inside");
  QSignalSpy loaded(list_->view(), &QWebEngineView::loadFinished);
  QSignalSpy written(list_.get(), &WebList::ListWritten);
  EXPECT_TRUE(list_->AddItem(Episodes(5, "剧")));
  ASSERT_TRUE(written.wait(kEventTimeoutMs));
  EXPECT_EQ(written.takeFirst(), QVariantList{false});
  ASSERT_TRUE(loaded.count() > 0 || loaded.wait(kLoadTimeoutMs));
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 0);
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('div.playinfos').length")->toInt(), 1);
  // It is the list page all the same: its style sheets apply.
  EXPECT_EQ(RunJs(page(), "getComputedStyle(document.body).backgroundColor")->toString(),
            QStringLiteral("rgb(46, 46, 46)"));

  // Once the page can be written again, the list shows.
  fs::remove_all(page_path);
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(4, "剧")));
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 4);
  EXPECT_EQ(list_->view()->url(), list_->PageUrl());
}

TEST_F(WebListTest, QuickSecondListLeavesItsFilesWholeAndShows) {
  ASSERT_NO_FATAL_FAILURE(Create());
  QSignalSpy written(list_.get(), &WebList::ListWritten);
  ASSERT_TRUE(list_->AddItem(Episodes(12, "第一部")));
  QTest::qWait(50);
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(3, "第二部")));
  ASSERT_TRUE(list_->WaitForWrites(std::chrono::milliseconds(kEventTimeoutMs)));
  // Only the newest list's outcome counts, whether the first was written or left out.
  ASSERT_TRUE(written.count() > 0 || written.wait(kEventTimeoutMs));
  EXPECT_EQ(written.takeLast(), QVariantList{true});
  fs::create_directories(dir_.path() / "expected" / "html");
  fs::create_directories(dir_.path() / "expected" / "data");
  ASSERT_EQ(SavePlayList(dir_.path() / "expected", Episodes(3, "第二部"), "||"),
            SaveResult::kSaved);
  EXPECT_EQ(ReadFileBytes(ListPagePath(dir_.path())),
            ReadFileBytes(ListPagePath(dir_.path() / "expected")));
  EXPECT_EQ(ReadFileBytes(StorePath(dir_.path())),
            ReadFileBytes(StorePath(dir_.path() / "expected")));
  ASSERT_TRUE(WaitForJs(page(), "document.querySelectorAll('a').length === 3"));
  EXPECT_EQ(RunJs(page(), "document.querySelector('h4').textContent")->toString(),
            QStringLiteral("第二部"));
}

TEST_F(WebListTest, HiddenControlShowsTheNewListOnlyOnceShown) {
  ASSERT_NO_FATAL_FAILURE(Create());
  list_->hide();
  QSignalSpy started(list_->view(), &QWebEngineView::loadStarted);
  QSignalSpy written(list_.get(), &WebList::ListWritten);
  ASSERT_TRUE(list_->AddItem(Episodes(4, "剧")));
  ASSERT_TRUE(written.wait(kEventTimeoutMs));
  QTest::qWait(200);
  // Nobody sees it: no reload on the engine's thread.
  EXPECT_EQ(started.count(), 0);
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 0);

  QSignalSpy loaded(list_->view(), &QWebEngineView::loadFinished);
  list_->show();
  ASSERT_TRUE(loaded.wait(kLoadTimeoutMs));
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 4);
  EXPECT_EQ(list_->view()->url(), list_->PageUrl());
}

TEST_F(WebListTest, SlowDiskDoesNotHoldUpTheWindowThread) {
  ASSERT_NO_FATAL_FAILURE(Create());
  // The disk hangs until the window thread has handled many timer events after AddItem.
  auto gate = std::make_shared<std::atomic<bool>>(false);
  list_->writer().Post("disk", [gate] {
    for (int i = 0; i < 2000 && !*gate; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  ASSERT_TRUE(list_->AddItem(Episodes(6, "剧")));
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(5);
  QElapsedTimer waited;
  waited.start();
  while (ticks < 20 && waited.elapsed() < kEventTimeoutMs) QTest::qWait(5);
  // The window answered all the while: the list is still waiting for the disk.
  EXPECT_GE(ticks, 20);
  EXPECT_FALSE(list_->WaitForWrites(std::chrono::milliseconds(0)));
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 0);
  QSignalSpy loaded(list_->view(), &QWebEngineView::loadFinished);
  *gate = true;
  ASSERT_TRUE(loaded.wait(kLoadTimeoutMs));
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 6);
}

TEST_F(WebListTest, NewControlThatCannotWriteItsPageShowsNothingOfTheDisk) {
  const fs::path page_path = ListPagePath(dir_.path());
  fs::create_directories(page_path);
  ASSERT_TRUE(WriteFileAtomically(page_path / "secret.txt", "secret"));
  ASSERT_NO_FATAL_FAILURE(Create());
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('a').length")->toInt(), 0);
  EXPECT_EQ(RunJs(page(), "document.querySelectorAll('div.playinfos').length")->toInt(), 1);
  EXPECT_FALSE(RunJs(page(), "document.documentElement.innerHTML")->toString().contains("secret"));
}

TEST_F(WebListTest, PageReadsNoLocalFileButItsOwnStyleSheets) {
  // Beside the page and elsewhere: an image, a style sheet, the store.
  ASSERT_TRUE(WriteFileAtomically(dir_.path() / "html" / "pixel.svg",
                                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1\" "
                                  "height=\"1\"/>"));
  ASSERT_TRUE(WriteFileAtomically(dir_.path() / "html" / "other.css",
                                  "body { color: rgb(1, 2, 3) !important; }"));
  ASSERT_TRUE(WriteFileAtomically(dir_.path() / "data" / "Data.dat", "<Item>a||u||t</Item>"));
  ASSERT_NO_FATAL_FAILURE(Create());
  ASSERT_NO_FATAL_FAILURE(Add(Episodes(2, "剧")));
  ASSERT_TRUE(RunJs(page(), R"JS(
    window.kamSeen = {};
    var seen = window.kamSeen;
    var img = new Image();
    img.onload = function () { seen.image = 'read'; };
    img.onerror = function () { seen.image = 'refused'; };
    img.src = 'pixel.svg';
    var link = document.createElement('link');
    link.rel = 'stylesheet';
    link.href = 'other.css';
    link.onload = function () { seen.sheet = 'read'; };
    link.onerror = function () { seen.sheet = 'refused'; };
    document.head.appendChild(link);
    fetch('../data/Data.dat').then(function (r) { return r.text(); })
        .then(function () { seen.store = 'read'; }, function () { seen.store = 'refused'; });
    var frame = document.createElement('iframe');
    frame.src = '../data/Data.dat';
    document.body.appendChild(frame);
    1)JS"));
  ASSERT_TRUE(WaitForJs(page(), "Object.keys(window.kamSeen).length === 3"));
  EXPECT_EQ(RunJs(page(), "[kamSeen.image, kamSeen.sheet, kamSeen.store].join()")->toString(),
            QStringLiteral("refused,refused,refused"));
  EXPECT_NE(RunJs(page(), "getComputedStyle(document.body).color")->toString(),
            QStringLiteral("rgb(1, 2, 3)"));
  // The frame shows nothing of the store (a blocked frame is an empty document to the page).
  QTest::qWait(500);
  const auto frame_text =
      RunJs(page(),
            "(function(){try{return document.querySelector('iframe').contentDocument."
            "documentElement.innerText;}catch(e){return 'no access';}})()");
  ASSERT_TRUE(frame_text);
  EXPECT_FALSE(frame_text->toString().contains("a||u||t"));
  // The page's own style sheets apply.
  EXPECT_EQ(RunJs(page(), "getComputedStyle(document.body).backgroundColor")->toString(),
            QStringLiteral("rgb(46, 46, 46)"));
}

}  // namespace
}  // namespace kam::playlist

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  kam::playlist::RegisterPlaylistUrlSchemes();
  kam::playlist::RegisterPlaylistUrlSchemes();  // a second call changes nothing
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

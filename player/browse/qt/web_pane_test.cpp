// The pane adapter against the real browser engine: what a page writes reaches logic as written,
// refusals hold, failures are reported as the error titles.
#include "player/browse/qt/web_pane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "player/browse/qt/url_schemes.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

QApplication* App() { return testing::QtTestApp("web_pane_test", &RegisterBrowseUrlSchemes); }

bool WaitFor(const std::function<bool()>& done, int ms = 8000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return done();
}

void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Records everything a pane reports; cancels what cancel says.
struct Recorder : PaneEvents {
  std::vector<std::string> navigations;
  std::function<bool(const std::string&)> cancel = [](const std::string&) { return true; };
  int new_windows = 0;
  bool refuse_popups = true;
  std::vector<std::string> status;
  int begins = 0;
  int completes = 0;
  std::vector<std::string> titles;
  int context_menus = 0;
  bool own_menu = true;

  std::vector<NavigationRequest> requests;
  std::vector<NewWindowRequest> windows;
  int user_inputs = 0;

  // The addresses of the windows and navigations the user's press asked for, in order.
  std::vector<std::string> Asked() const {
    std::vector<std::string> out;
    for (const auto& w : windows) {
      if (w.by_press) out.push_back("window " + w.url);
    }
    for (const auto& r : requests) {
      if (r.by_press) out.push_back("navigation " + r.url);
    }
    return out;
  }

  bool OnBeforeNavigate(const std::string& url) override {
    navigations.push_back(url);
    return cancel(url);
  }
  bool OnNavigationRequest(const NavigationRequest& request) override {
    requests.push_back(request);
    return OnBeforeNavigate(request.url);
  }
  void OnUserInput() override { ++user_inputs; }
  bool OnNewWindow(const NewWindowRequest& request) override {
    ++new_windows;
    windows.push_back(request);
    return refuse_popups;
  }
  void OnStatusText(const std::string& text) override { status.push_back(text); }
  void OnDownloadBegin() override { ++begins; }
  void OnDownloadComplete() override { ++completes; }
  void OnTitleChange(const std::string& title) override { titles.push_back(title); }
  bool OnContextMenu(int, int) override {
    ++context_menus;
    return own_menu;
  }
};

const char kBase[] = "http://127.0.0.1:18799/shows/list.html";

class WebPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    pane_ = std::make_unique<WebPane>();
    pane_->resize(800, 600);
    pane_->show();
    pane_->SetEvents(&rec_);
  }
  void TearDown() override { pane_.reset(); }

  // Loads html as if it came from kBase; the data load itself is let through.
  void Load(const QString& html) {
    rec_.cancel = [](const std::string& url) { return url.rfind("data:", 0) != 0; };
    bool done = false;
    auto c = QObject::connect(pane_->page(), &QWebEnginePage::loadFinished,
                              [&done](bool) { done = true; });
    pane_->page()->setHtml(html, QUrl(QString::fromLatin1(kBase)));
    ASSERT_TRUE(WaitFor([&] { return done; }));
    QObject::disconnect(c);
    rec_.navigations.clear();
    rec_.requests.clear();
    rec_.cancel = [](const std::string&) { return true; };
  }

  QVariant Eval(const QString& js) {
    QVariant out;
    bool done = false;
    pane_->page()->runJavaScript(js, [&](const QVariant& v) {
      out = v;
      done = true;
    });
    WaitFor([&] { return done; });
    return out;
  }

  // Centre of the element with this id, in view coordinates.
  QPoint CentreOf(const QString& id) {
    const QVariantList r =
        Eval(QStringLiteral(
                 "(function(){var b=document.getElementById('%1')"
                 ".getBoundingClientRect();return [b.left+b.width/2,b.top+b.height/2];})()")
                 .arg(id))
            .toList();
    return QPoint(r.value(0).toInt(), r.value(1).toInt());
  }

  // The engine drops input that reaches a document before its first paint: on a busy machine a
  // click sent right after the load is lost. Every page that takes input here has content.
  void WaitForFirstPaint() {
    const QString painted = QStringLiteral(
        "performance.getEntriesByType('paint').some(function(e){"
        "return e.name==='first-contentful-paint';})");
    ASSERT_TRUE(WaitFor([&] { return Eval(painted).toBool(); }))
        << "the page was not painted in time: input would be dropped";
  }

  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button) {
    ASSERT_NO_FATAL_FAILURE(WaitForFirstPaint());
    QWidget* target = pane_->focusProxy();
    ASSERT_NE(target, nullptr);
    QMouseEvent ev(type, at, target->mapToGlobal(at), button,
                   type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                   Qt::NoModifier);
    QApplication::sendEvent(target, &ev);
  }

  void Click(const QString& id, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint at = CentreOf(id);
    Mouse(QEvent::MouseMove, at, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, at, button);
    Mouse(QEvent::MouseButtonRelease, at, button);
  }

  Recorder rec_;
  std::unique_ptr<WebPane> pane_;
};

const QString kAnchorsPage = QStringLiteral(
    "<html><head><title>剧集 Page</title></head><body style='margin:0'>"
    "<a id=d style='display:block;height:30px' href='dddisk://名字 Ab@@@/play/1.html'>dd</a>"
    "<a id=q style='display:block;height:30px' href='QQPLAY://Abc/1.html?X=1'>第1集</a>"
    "<a id=n style='display:block;height:30px' href='56play://7'>56</a>"
    "<a id=t style='display:block;height:30px' href='1905play://Z/9'>1905</a>"
    "<a id=r style='display:block;height:30px' href='/x.html?u=qqplay://y'>rel</a>"
    "<a id=h style='display:block;height:30px' href='http://Example.COM/%E4%B8%AD?a=1'>h</a>"
    "<a id=c style='display:block;height:30px' href='colse://now'><span id=cs>close</span></a>"
    "<a id=none>no href</a>"
    "</body></html>");

TEST_F(WebPaneTest, AnchorClicksReachLogicAsThePageWroteThem) {
  Load(kAnchorsPage);
  const struct {
    const char* id;
    std::string expected;
  } cases[] = {
      {"d", "dddisk://名字 Ab@@@/play/1.html"},
      {"q", "qqplay://Abc/1.html?X=1"},
      {"n", "56play://7"},
      {"t", "1905play://Z/9"},
      {"r", "http://127.0.0.1:18799/x.html?u=qqplay://y"},
      // Not a site scheme: the address as the page's script reads it from the anchor.
      {"h", "http://example.com/%E4%B8%AD?a=1"},
      {"cs", "colse://now"},  // a click on an element inside the anchor
  };
  for (const auto& c : cases) {
    rec_.navigations.clear();
    Click(QString::fromLatin1(c.id));
    ASSERT_TRUE(WaitFor([&] { return !rec_.navigations.empty(); })) << c.id;
    EXPECT_EQ(rec_.navigations.front(), c.expected) << c.id;
  }
  // Every one was cancelled: the page is still the same document.
  EXPECT_EQ(pane_->CurrentUrl(), kBase);
}

TEST_F(WebPaneTest, ScriptNavigationsReachLogicAsTheEngineStatesThem) {
  Load(kAnchorsPage);
  const struct {
    const char* js;
    std::string expected;
  } cases[] = {
      {"location.href='qqplay://abc/2.html'", "qqplay://abc/2.html"},
      {"location.href='/p/%E4%B8%AD.html'", "http://127.0.0.1:18799/p/中.html"},
      // A scheme name may not begin with a digit: the engine takes it as a relative path.
      {"location.href='56play://7'", "http://127.0.0.1:18799/shows/56play://7"},
  };
  for (const auto& c : cases) {
    rec_.navigations.clear();
    Eval(QString::fromUtf8(c.js));
    ASSERT_TRUE(WaitFor([&] { return !rec_.navigations.empty(); })) << c.js;
    EXPECT_EQ(rec_.navigations.front(), c.expected) << c.js;
  }
}

TEST_F(WebPaneTest, AClickWhoseNavigationNeverCameDoesNotColourALaterOne) {
  Load(
      QStringLiteral("<a id=a style='display:block;height:40px' href='qqplay://one' "
                     "onclick='return false'>x</a>"));
  Click(QStringLiteral("a"));
  Pump(200);
  EXPECT_TRUE(rec_.navigations.empty());
  Eval(QStringLiteral("location.href='http://127.0.0.1:18799/other.html'"));
  ASSERT_TRUE(WaitFor([&] { return !rec_.navigations.empty(); }));
  EXPECT_EQ(rec_.navigations.front(), "http://127.0.0.1:18799/other.html");
}

TEST_F(WebPaneTest, ReadDocumentGivesTitleAndAnchorsInOrderByTheSameRule) {
  Load(kAnchorsPage);
  std::optional<PageSnapshot> snap;
  bool done = false;
  pane_->ReadDocument("", [&](std::optional<PageSnapshot> s) {
    snap = std::move(s);
    done = true;
  });
  ASSERT_TRUE(WaitFor([&] { return done; }));
  ASSERT_TRUE(snap.has_value());
  EXPECT_EQ(snap->title, "剧集 Page");
  ASSERT_EQ(snap->anchors.size(), 8u);
  const std::vector<std::string> hrefs = {"dddisk://名字 Ab@@@/play/1.html",
                                          "qqplay://Abc/1.html?X=1",
                                          "56play://7",
                                          "1905play://Z/9",
                                          "http://127.0.0.1:18799/x.html?u=qqplay://y",
                                          "http://example.com/%E4%B8%AD?a=1",
                                          "colse://now",
                                          ""};
  for (std::size_t i = 0; i < hrefs.size(); ++i) EXPECT_EQ(snap->anchors[i].href, hrefs[i]) << i;
  EXPECT_EQ(snap->anchors[1].text, "第1集");
  EXPECT_EQ(snap->anchors[7].text, "no href");
}

TEST_F(WebPaneTest, ReadDocumentKeepsOnlyAnchorsWhoseAddressHoldsTheFilter) {
  Load(kAnchorsPage);
  std::optional<PageSnapshot> snap;
  pane_->ReadDocument("qqplay://", [&](std::optional<PageSnapshot> s) { snap = std::move(s); });
  ASSERT_TRUE(WaitFor([&] { return snap.has_value(); }));
  ASSERT_EQ(snap->anchors.size(), 2u);
  EXPECT_EQ(snap->anchors[0].href, "qqplay://Abc/1.html?X=1");
  EXPECT_EQ(snap->anchors[0].text, "第1集");
  EXPECT_EQ(snap->anchors[1].href, "http://127.0.0.1:18799/x.html?u=qqplay://y");
  // Case matters, as in the address test of the episode list.
  pane_->ReadDocument("QQPLAY://", [&](std::optional<PageSnapshot> s) { snap = std::move(s); });
  snap.reset();
  ASSERT_TRUE(WaitFor([&] { return snap.has_value(); }));
  EXPECT_TRUE(snap->anchors.empty());
}

TEST_F(WebPaneTest, ReadDocumentWithoutDocumentGivesNothingOrAnEmptyPage) {
  // A pane that never loaded anything still has an empty document.
  std::optional<PageSnapshot> snap;
  bool done = false;
  pane_->ReadDocument("", [&](std::optional<PageSnapshot> s) {
    snap = std::move(s);
    done = true;
  });
  ASSERT_TRUE(WaitFor([&] { return done; }));
  if (snap) {
    EXPECT_TRUE(snap->anchors.empty());
  }
}

TEST_F(WebPaneTest, RefusedPopUpOpensNothingAndItsTargetIsSeen) {
  Load(
      QStringLiteral("<a id=a style='display:block;height:40px' target=_blank "
                     "href='http://127.0.0.1:18799/ad.html'>x</a>"));
  QString target;
  QObject::connect(pane_.get(), &WebPane::popupTargetSeen,
                   [&target](const QString& url) { target = url; });
  Click(QStringLiteral("a"));
  ASSERT_TRUE(WaitFor([&] { return !target.isEmpty(); }));
  EXPECT_EQ(rec_.new_windows, 1);
  EXPECT_EQ(target, QStringLiteral("http://127.0.0.1:18799/ad.html"));
  EXPECT_EQ(pane_->CurrentUrl(), kBase);
}

TEST_F(WebPaneTest, ScriptOpensWindowsOnlyDuringAClick) {
  Load(QStringLiteral(
      "<p id=p style='height:100px' onclick=\"window.open('/a.html'); window.open('/b.html')\">"
      "x</p><script>setInterval(function(){ window.open('/loop.html'); }, 50);</script>"));
  Pump(1000);
  Eval(QStringLiteral("window.open('/c.html')"));
  Pump(300);
  EXPECT_TRUE(rec_.Asked().empty()) << "a script's window counted as the user's";
  Click(QStringLiteral("p"));
  // The click's own handler asks for two windows; the loop's, before and after, are not asked.
  const std::string a = "window http://127.0.0.1:18799/a.html";
  const std::string b = "window http://127.0.0.1:18799/b.html";
  ASSERT_TRUE(WaitFor([&] { return rec_.Asked().size() >= 2; }));
  Pump(1000);
  EXPECT_EQ(rec_.Asked(), std::vector<std::string>({a, b}));
  EXPECT_GT(rec_.new_windows, 10) << "the loop's windows did not reach the pane";
}

TEST_F(WebPaneTest, PressAsksOnlyForItsLinkAndItsOwnHandlersRequests) {
  Load(QStringLiteral(
      "<a id=l style='display:block;height:40px' target=_blank href='/about.html'>l</a>"
      "<a id=d style='display:block;height:40px' href='dddisk://链接@@@/t.html'>d</a>"
      "<a id=m style='display:block;height:40px' "
      "href='dddisk://&lt;img src=&quot;/dev/zero&quot;&gt;@@@/t.html'>m</a>"
      "<p id=b style='height:40px' onclick=\"location.href='dddisk://按钮@@@/t.html'\">b</p>"
      "<p id=t style='height:40px' onclick=\"setTimeout(function(){"
      "location.href='dddisk://定时@@@/t.html'; window.open('/timer.html');}, 0);"
      "fetch('/nothing').catch(function(){ window.open('/promise.html'); });\">t</p>"
      "<iframe id=fr style='height:60px' srcdoc=\"<p>frame</p><script>setInterval(function(){"
      "location.href='dddisk://框架@@@/t.html'; window.open('/frame.html');}, 30);</script>\">"
      "</iframe>"
      "<script>setInterval(function(){ location.href='dddisk://循环@@@/t.html'; "
      "window.open('/loop.html'); }, 40);</script>"));
  const std::string base = "http://127.0.0.1:18799";
  for (const char* id : {"l", "d", "m", "b", "t"}) {
    Click(QString::fromLatin1(id));
    Pump(400);
  }
  Pump(600);
  EXPECT_EQ(rec_.Asked(),
            std::vector<std::string>({"window " + base + "/about.html",
                                      "navigation dddisk://链接@@@/t.html",
                                      "navigation dddisk://<img src=\"/dev/zero\">@@@/t.html",
                                      "navigation dddisk://按钮@@@/t.html"}));
  // The others came, and none of them was taken for the press's.
  const auto seen = [&](const std::string& part) {
    for (const auto& w : rec_.windows) {
      if (w.url.find(part) != std::string::npos) return true;
    }
    for (const auto& r : rec_.requests) {
      if (r.url.find(part) != std::string::npos) return true;
    }
    return false;
  };
  for (const char* part : {"/loop.html", "/timer.html", "循环", "定时", "/frame.html", "框架"}) {
    EXPECT_TRUE(seen(part)) << part;
  }
}

TEST_F(WebPaneTest, HeldKeysAutoRepeatIsNoPress) {
  Load(QStringLiteral("<p id=p style='height:100px'>x</p><input id=i>"));
  ASSERT_NO_FATAL_FAILURE(WaitForFirstPaint());
  QKeyEvent first(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), false);
  QApplication::sendEvent(pane_->focusProxy(), &first);
  EXPECT_EQ(rec_.user_inputs, 1);
  for (int i = 0; i < 5; ++i) {
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
    QApplication::sendEvent(pane_->focusProxy(), &repeat);
  }
  EXPECT_EQ(rec_.user_inputs, 1);
}

TEST_F(WebPaneTest, PressesOnThePaneAreTheUsersInputAndScriptsAreNot) {
  Load(QStringLiteral("<p id=p style='height:100px'>x</p><input id=i>"));
  Eval(
      QStringLiteral("document.getElementById('p').click(); "
                     "document.dispatchEvent(new KeyboardEvent('keydown', {key: 'a'}))"));
  Pump(200);
  EXPECT_EQ(rec_.user_inputs, 0);
  Click(QStringLiteral("p"));
  EXPECT_EQ(rec_.user_inputs, 1);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QApplication::sendEvent(pane_->focusProxy(), &key);
  EXPECT_EQ(rec_.user_inputs, 2);
}

TEST_F(WebPaneTest, ScriptFormAndFrameNavigationsReachLogicAsWritten) {
  Load(
      QStringLiteral("<form id=f action='dddisk://表单@@@/title/f.html' method=get></form>"
                     "<iframe id=fr srcdoc=\"<a id=a href='/x'>x</a>\"></iframe>"));
  const struct {
    const char* js;
    std::string expected;
    bool main_frame;
  } cases[] = {
      {"location.href='dddisk://名字@@@/路径'", "dddisk://名字@@@/路径", true},
      {"location.assign('DDDISK://名 字@@@/title/1.html')", "dddisk://名 字@@@/title/1.html", true},
      {"document.getElementById('f').submit()", "dddisk://表单@@@/title/f.html?", true},
      {"document.getElementById('fr').contentWindow.location.href='dddisk://框@@@/p'",
       "dddisk://框@@@/p", false},
      {"top.location.href='dddisk://顶@@@/p'", "dddisk://顶@@@/p", true},
  };
  for (const auto& c : cases) {
    rec_.requests.clear();
    Eval(QString::fromUtf8(c.js));
    ASSERT_TRUE(WaitFor([&] { return !rec_.requests.empty(); })) << c.js;
    EXPECT_EQ(rec_.requests.front().url, c.expected) << c.js;
    EXPECT_EQ(rec_.requests.front().main_frame, c.main_frame) << c.js;
    EXPECT_FALSE(rec_.requests.front().by_program) << c.js;
  }
  // All were cancelled: the page stands, with no error title.
  Pump(500);
  EXPECT_EQ(pane_->CurrentUrl(), kBase);
  for (const std::string& t : rec_.titles) EXPECT_NE(t, kPageCannotBeShown);
}

TEST_F(WebPaneTest, LocalPageReadsNoOtherLocalFile) {
  testing::TempDir dir;
  dir.Write("secret.txt", "secret");
  const auto page =
      dir.Write("own.html",
                "<title>start</title><script>var x = new XMLHttpRequest();"
                "try { x.open('GET', 'secret.txt', false); x.send(); document.title = 'read:' + "
                "x.responseText; } catch (e) { document.title = 'refused'; }</script>");
  rec_.cancel = [](const std::string&) { return false; };
  pane_->Navigate(page.string());
  ASSERT_TRUE(
      WaitFor([&] { return pane_->Title() == "refused" || pane_->Title() == "read:secret"; }));
  EXPECT_EQ(pane_->Title(), "refused");
}

TEST_F(WebPaneTest, TheProgramsOwnNavigationsAreMarked) {
  rec_.cancel = [](const std::string&) { return true; };
  pane_->Navigate("http://127.0.0.1:18798/own.html");
  ASSERT_TRUE(WaitFor([&] { return !rec_.requests.empty(); }));
  EXPECT_TRUE(rec_.requests.front().by_program);
  EXPECT_TRUE(rec_.requests.front().main_frame);
}

TEST_F(WebPaneTest, RefusalsReportAnInvalidAddressOnceForABurst) {
  for (int i = 0; i < 5000; ++i) pane_->Refuse("file:///etc/hostname", "test");
  ASSERT_TRUE(WaitFor([&] { return !rec_.titles.empty(); }));
  Pump(300);
  EXPECT_EQ(rec_.titles, std::vector<std::string>({kInvalidAddress}));
  EXPECT_EQ(pane_->Title(), kInvalidAddress);
  pane_->NoteRefused("file:///etc/hostname", "test");
  Pump(100);
  EXPECT_EQ(rec_.titles.size(), 1u);
}

TEST_F(WebPaneTest, SilentPaneShowsNoScriptDialogs) {
  Load(QStringLiteral("<p>x</p>"));
  pane_->SetSilent(true);
  // With a dialog up the script would stop at alert(); silent, it runs on at once.
  Eval(
      QStringLiteral("alert('a'); var c = confirm('b'); var p = prompt('c', 'd'); "
                     "document.title = 'after:' + c + ':' + p;"));
  ASSERT_TRUE(WaitFor([&] { return pane_->Title() == "after:false:null"; }));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(WebPaneTest, FailedLoadReportsTheErrorTitleAndEndsBusy) {
  rec_.cancel = [](const std::string&) { return false; };
  // Nothing listens on this loopback port.
  pane_->Navigate("http://127.0.0.1:18798/nothing.html");
  const bool reported =
      WaitFor([&] { return !rec_.titles.empty() && rec_.titles.back() == kPageCannotBeShown; });
  ASSERT_TRUE(reported);
  EXPECT_FALSE(pane_->Busy());
  EXPECT_EQ(pane_->Title(), kPageCannotBeShown);
  EXPECT_GE(rec_.begins, 1);
  EXPECT_GE(rec_.completes, 1);
}

TEST_F(WebPaneTest, UnparsableAddressReportsInvalidAddress) {
  for (const char* bad : {"", "no scheme here", "http://[::1"}) {
    rec_.titles.clear();
    pane_->Navigate(bad);
    ASSERT_TRUE(WaitFor([&] { return !rec_.titles.empty(); })) << bad;
    EXPECT_EQ(rec_.titles.back(), kInvalidAddress) << bad;
  }
}

TEST_F(WebPaneTest, CancelledNavigationIsNoFailure) {
  Load(kAnchorsPage);
  rec_.titles.clear();
  Click(QStringLiteral("q"));
  ASSERT_TRUE(WaitFor([&] { return !rec_.navigations.empty(); }));
  Pump(500);
  for (const std::string& t : rec_.titles) EXPECT_NE(t, kPageCannotBeShown);
  EXPECT_EQ(pane_->Title(), "剧集 Page");
  EXPECT_FALSE(pane_->Busy());
}

TEST_F(WebPaneTest, UntitledPageHasAnEmptyTitle) {
  Load(QStringLiteral("<title>first</title>"));
  ASSERT_TRUE(WaitFor([&] { return pane_->Title() == "first"; }));
  Eval(QStringLiteral("document.title = ''"));
  ASSERT_TRUE(WaitFor([&] { return !rec_.titles.empty() && rec_.titles.back().empty(); }));
  EXPECT_EQ(pane_->Title(), "");
}

TEST_F(WebPaneTest, HoveringALinkReportsItsAddressAndLeavingReportsEmpty) {
  Load(
      QStringLiteral("<body style='margin:0'><a id=a style='display:block;height:40px' "
                     "href='http://127.0.0.1:18799/hover.html'>x</a><p id=p "
                     "style='height:200px'>y</p></body>"));
  Mouse(QEvent::MouseMove, CentreOf(QStringLiteral("a")), Qt::NoButton);
  ASSERT_TRUE(WaitFor([&] {
    return !rec_.status.empty() && rec_.status.back() == "http://127.0.0.1:18799/hover.html";
  }));
  Mouse(QEvent::MouseMove, CentreOf(QStringLiteral("p")), Qt::NoButton);
  ASSERT_TRUE(WaitFor([&] { return rec_.status.back().empty(); }));
}

TEST_F(WebPaneTest, RightClickAsksTheHandlerFirst) {
  Load(QStringLiteral("<body style='margin:0'><p id=p style='height:200px'>y</p></body>"));
  Click(QStringLiteral("p"), Qt::RightButton);
  ASSERT_TRUE(WaitFor([&] { return rec_.context_menus == 1; }));
}

TEST_F(WebPaneTest, VisibilityAndSilenceAreWhatWasSet) {
  pane_->SetVisible(false);
  EXPECT_FALSE(pane_->Visible());
  pane_->SetVisible(true);
  EXPECT_TRUE(pane_->Visible());
  EXPECT_FALSE(pane_->Silent());
  pane_->SetSilent(true);
  EXPECT_TRUE(pane_->Silent());
}

// Which document asked for a navigation decides what it may do; a frame's own navigation names
// the frame's origin, never the page's.
TEST_F(WebPaneTest, NavigationsNameTheOriginOfTheDocumentThatAskedForThem) {
  Load(QStringLiteral("<a id=a style='display:block;height:40px' href='qqplay://clicked'>x</a>"));
  const std::string page_origin = "http://127.0.0.1:18799";
  const auto request_for = [&](const std::string& url) -> std::optional<NavigationRequest> {
    if (!WaitFor([&] {
          return std::any_of(rec_.requests.begin(), rec_.requests.end(),
                             [&](const NavigationRequest& r) { return r.url == url; });
        })) {
      return std::nullopt;
    }
    return *std::find_if(rec_.requests.begin(), rec_.requests.end(),
                         [&](const NavigationRequest& r) { return r.url == url; });
  };

  Click(QStringLiteral("a"));
  auto clicked = request_for("qqplay://clicked");
  ASSERT_TRUE(clicked);
  EXPECT_EQ(clicked->source_origin, page_origin);

  Eval(QStringLiteral("location.href='qqplay://script'"));
  auto script = request_for("qqplay://script");
  ASSERT_TRUE(script);
  EXPECT_EQ(script->source_origin, page_origin);
  EXPECT_TRUE(script->main_frame);

  // A frame's own navigation names the frame's document: the page's origin for a frame of the
  // page, never the page's for a sandboxed frame, whose origin is its own ("null", or unknown).
  rec_.cancel = [](const std::string& url) { return url != "about:srcdoc"; };
  for (const char* sandbox : {"", "allow-scripts"}) {
    const std::string target = std::string("qqplay://framed-") + (*sandbox ? "sandboxed" : "own");
    Eval(QStringLiteral("var f = document.createElement('iframe');"
                        "if ('%1') f.setAttribute('sandbox', '%1');"
                        "f.srcdoc = \"<script>location.href = '%2';</script>\";"
                        "document.body.appendChild(f); 1")
             .arg(QString::fromLatin1(sandbox), QString::fromStdString(target)));
    auto framed = request_for(target);
    ASSERT_TRUE(framed) << target;
    EXPECT_FALSE(framed->main_frame) << target;
    if (*sandbox) {
      EXPECT_NE(framed->source_origin, page_origin) << target;
    } else {
      EXPECT_EQ(framed->source_origin, page_origin) << target;
    }
  }

  // The program's own navigation comes from no document.
  rec_.cancel = [](const std::string&) { return true; };
  pane_->Navigate("http://127.0.0.1:18798/own.html");
  auto own = request_for("http://127.0.0.1:18798/own.html");
  ASSERT_TRUE(own);
  EXPECT_EQ(own->source_origin, "");
}

// A page that makes its own media, with no network: a one-second tone as a WAV file in a
// <video> (a medium without a picture), and a drawn canvas streamed into a second <video> with
// ?live (a picture of no known end).
// A tone of the given length as a WAV file's address.
const QString kWavScript = QStringLiteral(R"JS(
function wav(seconds) {
  var rate = 8000, n = rate * seconds, b = new DataView(new ArrayBuffer(44 + n));
  function s(o, t) { for (var i = 0; i < t.length; i++) b.setUint8(o + i, t.charCodeAt(i)); }
  s(0, 'RIFF'); b.setUint32(4, 36 + n, true); s(8, 'WAVEfmt '); b.setUint32(16, 16, true);
  b.setUint16(20, 1, true); b.setUint16(22, 1, true); b.setUint32(24, rate, true);
  b.setUint32(28, rate, true); b.setUint16(32, 1, true); b.setUint16(34, 8, true);
  s(36, 'data'); b.setUint32(40, n, true);
  for (var i = 0; i < n; i++) b.setUint8(44 + i, 128 + Math.round(40 * Math.sin(i / 3)));
  return URL.createObjectURL(new Blob([b.buffer], {type: 'audio/wav'}));
}
)JS");

const QString kMediaPage = QStringLiteral(R"HTML(<html><body>
<video id=tone muted></video>
<canvas id=c width=64 height=36></canvas>
<script>)HTML") + kWavScript +
                           QStringLiteral(R"HTML(
var tone = document.getElementById('tone');
tone.src = wav(2);
tone.play();
function live() {
  var c = document.getElementById('c'), g = c.getContext('2d'), k = 0;
  setInterval(function () { g.fillStyle = (k++ % 2) ? 'red' : 'blue'; g.fillRect(0, 0, 64, 36); }, 40);
  var v = document.createElement('video');
  v.muted = true;
  v.srcObject = c.captureStream(25);
  document.body.appendChild(v);
  v.play();
}
</script></body></html>)HTML");

TEST_F(WebPaneTest, MainMediumReportsItsStateAndObeysCommands) {
  std::vector<MediaReport> reports;
  QObject::connect(pane_.get(), &WebPane::MediaChanged,
                   [&](const MediaReport& r) { reports.push_back(r); });
  ASSERT_NO_FATAL_FAILURE(Load(kMediaPage));
  ASSERT_TRUE(WaitFor([&] { return pane_->media().state == MediaState::kPlaying; }));
  EXPECT_FALSE(pane_->media().has_video);
  EXPECT_NEAR(pane_->media().duration_s, 2.0, 0.1);
  const std::uint64_t tone = pane_->media().medium;

  pane_->ControlMedia({MediaCommand::kPause});
  ASSERT_TRUE(WaitFor([&] { return pane_->media().state == MediaState::kPaused; }));
  pane_->ControlMedia({MediaCommand::kSeek, 1.5});
  ASSERT_TRUE(WaitFor([&] { return pane_->media().position_s >= 1.4; }));
  EXPECT_EQ(pane_->media().state, MediaState::kPaused);
  pane_->ControlMedia({MediaCommand::kPlay});
  ASSERT_TRUE(WaitFor([&] { return pane_->media().state == MediaState::kEnded; }));
  EXPECT_EQ(pane_->media().medium, tone);
  EXPECT_TRUE(std::any_of(reports.begin(), reports.end(), [](const MediaReport& r) {
    return r.seeking;
  })) << "the seek was reported";

  // A picture displaces the tone, however long the tone is.
  Eval(QStringLiteral("live()"));
  ASSERT_TRUE(WaitFor([&] { return pane_->media().medium != tone; }));
  ASSERT_TRUE(WaitFor([&] { return pane_->media().has_video; }));
  EXPECT_FALSE(HasKnownDuration(pane_->media()));
  EXPECT_EQ(pane_->media().state, MediaState::kPlaying);

  // The page goes: no medium.
  reports.clear();
  ASSERT_NO_FATAL_FAILURE(Load(QStringLiteral("<html><body>next</body></html>")));
  EXPECT_EQ(pane_->media(), MediaReport{});
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back().medium, 0u);
}

// Endless tones in the page and in a frame of it, for the program's pause.
const QString kTwoTonesPage = QStringLiteral(R"HTML(<html><body>
<audio id=main loop></audio>
<iframe id=f srcdoc="<audio id=inner loop></audio>"></iframe>
<script>)HTML") + kWavScript + QStringLiteral(R"HTML(
var main = document.getElementById('main');
main.src = wav(1);
main.play();
function inner() { return document.getElementById('f').contentDocument.getElementById('inner'); }
document.getElementById('f').onload = function () { inner().src = wav(1); inner().play(); };
</script></body></html>)HTML");

TEST_F(WebPaneTest, PauseMediaStopsEveryToneAndSilencesThePaneUntilTheNextAddress) {
  ASSERT_NO_FATAL_FAILURE(Load(kTwoTonesPage));
  const QString playing = QStringLiteral("!main.paused && !inner().paused");
  ASSERT_TRUE(WaitFor([&] { return Eval(playing).toBool(); }));

  pane_->PauseMedia();
  EXPECT_TRUE(WaitFor([&] {
    return Eval(QStringLiteral("main.paused && inner().paused")).toBool();
  })) << "both tones pause, the frame's too";
  EXPECT_TRUE(pane_->page()->isAudioMuted());
  const double at = Eval(QStringLiteral("main.currentTime")).toDouble();
  Pump(300);
  EXPECT_EQ(Eval(QStringLiteral("main.currentTime")).toDouble(), at) << "it stays paused";

  rec_.cancel = [](const std::string&) { return false; };
  pane_->Navigate("data:text/html,<p>next");
  EXPECT_FALSE(pane_->page()->isAudioMuted()) << "the next address is heard";
}

TEST_F(WebPaneTest, PagesCannotForgeMediaReports) {
  ASSERT_NO_FATAL_FAILURE(Load(
      QStringLiteral("<html><body><script>"
                     "for (var i = 0; i < 50; i++) console.debug('kam-click-0000000000000000:' +"
                     " JSON.stringify({media: 'n=1;y=1;p=0;v=1;d=60', f: 'x'}));"
                     "typeof window.kamMediaControl;"
                     "</script></body></html>")));
  Pump(300);
  EXPECT_EQ(pane_->media(), MediaReport{});
  EXPECT_EQ(Eval(QStringLiteral("typeof window.kamMediaControl")).toString(),
            QStringLiteral("undefined"))
      << "the control lives in the pane's own world only";
}

}  // namespace
}  // namespace kam

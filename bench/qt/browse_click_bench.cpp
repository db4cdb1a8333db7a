// A playback click on a catalogue page with 2 000 episode links, through the real browser engine,
// the browsing logic and the play list files: time from the click reaching the engine to the
// player pane's navigation request, and to the episode list being written. Prints figures only.
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWebEnginePage>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "player/browse/browse.h"
#include "player/browse/qt/url_schemes.h"
#include "player/browse/qt/web_pane.h"
#include "player/playlist/play_list_files.h"

namespace {

constexpr int kEpisodes = 2000;
constexpr int kRuns = 15;

QElapsedTimer g_clock;
qint64 g_nav_ns = -1;
qint64 g_list_ns = -1;

bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

class Area : public kam::PlayerAreaPort {
 public:
  explicit Area(std::filesystem::path dir) : dir_(std::move(dir)) {}
  void SetIdlePictureVisible(bool) override {}
  void SetBufferOverlayVisible(bool) override {}
  void StartBufferTimer(int) override {}
  void StopBufferTimer() override {}
  void SetBufferCaption(const std::string&) override {}
  void ShowPlayerTab() override {}
  void SetPageTitle(const std::string&) override {}
  void StopErrorWatch() override {}
  void RenderPlayList(const std::vector<std::string>& list) override {
    kam::playlist::SavePlayList(dir_, list, "||");
    g_list_ns = g_clock.nsecsElapsed();
  }
  void ShowTip(const std::string&) override {}
  void PopupPageMenu(int, int) override {}
  void SetDefaultPointer() override {}

 private:
  std::filesystem::path dir_;
};

struct NoShell : kam::ShellPort {
  void OpenUrl(const std::string&) override {}
};
struct NoShortcuts : kam::DesktopShortcutPort {
  bool Save(const kam::DesktopShortcut&) override { return true; }
};
struct NoActions : kam::MenuActionsPort {
  bool MainWindowVisible() const override { return true; }
  void SetMainWindowVisible(bool) override {}
  void CheckForUpgrade() override {}
  void ExitPlayer() override {}
  void UnloadMainWindow() override {}
  bool AutoNextOn() const override { return true; }
  void SetAutoNext(bool) override {}
};

// W3's handler, timed; the request is cancelled so that nothing is fetched.
class TimedW3 : public kam::NullPaneEvents {
 public:
  bool OnBeforeNavigate(const std::string&) override {
    if (g_nav_ns < 0) g_nav_ns = g_clock.nsecsElapsed();
    return true;
  }
};

QString CataloguePage() {
  QString html =
      QStringLiteral("<html><head><meta charset=utf-8><title>长篇 - 全集</title></head><body>");
  for (int i = 1; i <= kEpisodes; ++i) {
    html += QStringLiteral("<a id=e%1 href='qqplay:///play/ep-%1.html'>第%1集</a> ").arg(i);
  }
  return html + QStringLiteral("</body></html>");
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  kam::RegisterBrowseUrlSchemes();
  QApplication app(argc, argv);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("kam-browse-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "html");
  std::filesystem::create_directories(dir / "data");

  kam::WebPane listweb, w3, qvod;
  listweb.resize(1000, 700);
  listweb.show();
  kam::PlayerState state;
  state.dizhi = "http://127.0.0.1:9";
  state.huangchong = "1";
  state.da = "10";
  Area area(dir);
  NoShell shell;
  NoShortcuts shortcuts;
  NoActions actions;
  kam::playlist::ClockSeededRandom random;
  kam::SteadyClock clock;
  kam::Browse browse(
      kam::BrowseContext{state, listweb, w3, qvod, area, shell, shortcuts, random, clock, dir},
      actions);
  TimedW3 w3_events;

  bool loaded = false;
  QObject::connect(listweb.page(), &QWebEnginePage::loadFinished, [&](bool) { loaded = true; });
  listweb.page()->setHtml(CataloguePage(), QUrl(QStringLiteral("http://127.0.0.1:9/list.html")));
  if (!WaitFor([&] { return loaded; })) {
    std::fprintf(stderr, "catalogue page did not load\n");
    return 1;
  }
  // Bring one episode link into view and find its centre.
  QPoint at;
  bool located = false;
  listweb.page()->runJavaScript(
      QStringLiteral("var e=document.getElementById('e1000');e.scrollIntoView();"
                     "var b=e.getBoundingClientRect();[b.left+b.width/2,b.top+b.height/2]"),
      [&](const QVariant& v) {
        const QVariantList l = v.toList();
        at = QPoint(l.value(0).toInt(), l.value(1).toInt());
        located = true;
      });
  WaitFor([&] { return located; });
  // Handlers only now: the page's own data address holds player links too.
  listweb.SetEvents(&browse.listweb_events());
  w3.SetEvents(&w3_events);
  QWidget* target = listweb.focusProxy();

  std::vector<double> nav_ms, list_ms;
  for (int run = 0; run < kRuns; ++run) {
    g_nav_ns = g_list_ns = -1;
    g_clock.start();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent ev(type, at, target->mapToGlobal(at), Qt::LeftButton,
                     type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                     Qt::NoModifier);
      QApplication::sendEvent(target, &ev);
    }
    if (!WaitFor([] { return g_nav_ns >= 0 && g_list_ns >= 0; })) {
      std::fprintf(stderr, "run %d: no navigation or no list\n", run);
      return 1;
    }
    if (state.List3.size() != kEpisodes) {
      std::fprintf(stderr, "run %d: list holds %zu entries\n", run, state.List3.size());
      return 1;
    }
    nav_ms.push_back(g_nav_ns / 1e6);
    list_ms.push_back(g_list_ns / 1e6);
    WaitFor([] { return false; }, 100);
  }
  std::printf("catalogue page: %d episode links, %d clicks (first click included)\n", kEpisodes,
              kRuns);
  std::printf(
      "click -> W3 navigation request: median %.2f ms, first %.2f ms, max %.2f ms "
      "(target < 16 ms)\n",
      Median(nav_ms), nav_ms.front(), *std::max_element(nav_ms.begin(), nav_ms.end()));
  std::printf(
      "click -> episode list written (List.html + Data.dat): median %.2f ms, first %.2f "
      "ms, max %.2f ms (target < 50 ms)\n",
      Median(list_ms), list_ms.front(), *std::max_element(list_ms.begin(), list_ms.end()));

  // Where the time goes: the document read alone, and the two files alone.
  std::vector<double> read_ms, save_ms;
  for (int run = 0; run < kRuns; ++run) {
    bool done = false;
    QElapsedTimer t;
    t.start();
    listweb.ReadDocument("qqplay://", [&](std::optional<kam::PageSnapshot>) { done = true; });
    WaitFor([&] { return done; });
    read_ms.push_back(t.nsecsElapsed() / 1e6);
    t.start();
    kam::playlist::SavePlayList(dir, state.List3, "||");
    save_ms.push_back(t.nsecsElapsed() / 1e6);
  }
  std::printf(
      "  of which: reading the page's anchors (script + transfer) median %.2f ms; "
      "writing List.html + Data.dat median %.2f ms\n",
      Median(read_ms), Median(save_ms));
  std::filesystem::remove_all(dir);
  return 0;
}

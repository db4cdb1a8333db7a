// The yardstick of the start-up and play benchmarks: the least a program can do to show a page,
// one QWebEngineView that loads the address given on its command line. Media play without a
// gesture, as in the player's panes, so that the play benchmarks can compare the two.
//
//   startup_minimal_view [address] [width height]   (the view's size; the player's design client
//                                                    size, 1186 x 702, by default)
#include <QApplication>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWebEngineView view;
  view.page()->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
  const int width = argc > 3 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
  const int height = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 0;
  view.resize(width > 0 ? width : 1186, height > 0 ? height : 702);
  view.show();
  view.load(QUrl(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("about:blank")));
  return app.exec();
}

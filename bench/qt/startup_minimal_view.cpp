// The yardstick of the start-up benchmark: the least a program can do to show a page, one
// QWebEngineView that loads the address given on its command line. Media play without a gesture,
// as in the player's panes, so that the play-click benchmark can compare the two.
#include <QApplication>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWebEngineView view;
  view.page()->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
  view.resize(1186, 702);
  view.show();
  view.load(QUrl(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("about:blank")));
  return app.exec();
}

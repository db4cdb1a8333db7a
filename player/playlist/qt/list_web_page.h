// The browser page of the list control. Its links never navigate: a link that asks for a new
// window is reported with its address as the page wrote it, right clicks are reported with the
// element clicked, "pl" navigations are cancelled and script dialogs stay silent. Of the disk it
// reads only the list page and its two style sheets (IsListPageFile); every other request, of a
// file or of anything else, is refused.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QWebEnginePage>
#include <filesystem>

class QWebChannel;

namespace kam::playlist {

// Published to the page's script world; receives its right-click reports.
class ListPageBridge : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  Q_INVOKABLE void contextMenu(const QString& tag, const QString& id);

 signals:
  void contextMenuRequested(const QString& tag, const QString& id);
};

class ListWebPage : public QWebEnginePage {
  Q_OBJECT
 public:
  // program_dir: the program directory whose "\html" holds the page.
  explicit ListWebPage(std::filesystem::path program_dir, QObject* parent = nullptr);

 signals:
  // A link asked for a new window; href is its attribute as written, id the anchor's id.
  void linkActivated(const QString& href, const QString& id);
  // A right click on the element with this tag name and id.
  void contextMenuRequested(const QString& tag, const QString& id);
  // A navigation of the page was cancelled; a refused new window reports its target here too.
  void navigationCancelled(const QUrl& url);

 protected:
  QWebEnginePage* createWindow(WebWindowType type) override;
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                        QString* result) override;

 private:
  QWebChannel* channel_;
};

}  // namespace kam::playlist

// WebList: the play list control. Shows the list page "\html\List.html" of the program directory
// in a browser pane; AddItem rewrites that page and the store "\data\Data.dat" and shows the
// page again. Its links do not navigate: clicking entry N raises ItemPlay(N, Value()).
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "player/playlist/list_marks.h"

class QWebEngineView;

namespace kam::playlist {

class ListWebPage;

class WebList : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Value READ Value WRITE setValue)

 public:
  // Writes the page without entries and shows it. "\html" is created when it is missing; when
  // the page cannot be written, the empty page is shown from memory, never the file there.
  explicit WebList(std::filesystem::path program_dir, QWidget* parent = nullptr);

  // Writes the page and the store for list (entries "text||address||title", UTF-8; the first
  // kMaxEntries, cut to the bounds) and shows the page. False, and nothing written or shown anew,
  // when an entry has fewer than three fields or an address past the bound. False when a file
  // cannot be written: a page that could not be written gives the empty page on screen (never the
  // older file); a store that could not be written leaves the new page shown.
  bool AddItem(const std::vector<std::string>& list);

  // The field separator of the entries; "||" unless set.
  QString Value() const;
  void setValue(const QString& value);

  // How the entries look besides their text (list_marks.h), one mark per entry: applied to the
  // page shown now and kept for the page shown next, until new marks come.
  void ShowMarks(const std::vector<EntryMark>& marks);

  // The page's address in the program directory.
  QUrl PageUrl() const;
  QWebEngineView* view() const { return view_; }

 signals:
  // Entry index was clicked; separator is Value().
  void ItemPlay(int index, QString separator);
  // A delete link of entry index was clicked.
  void ItemDelete(int index);
  // A right click in the page, on a link (onLink, its entry index) or elsewhere (index 0).
  void ItemContextMenu(bool onLink, int index);
  // A page finished loading: its entries may be another list's now (the marks follow).
  void PageShown();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnLinkActivated(const QString& href, const QString& id);
  void OnContextMenu(const QString& tag, const QString& id);
  void ShowPage();       // the page file
  void ShowEmptyPage();  // the page without entries, from memory

  std::filesystem::path program_dir_;
  std::string value_;
  QWebEngineView* view_;
  ListWebPage* page_;
  void ApplyMarks();

  bool showing_file_ = false;  // the view shows the page file, not the page from memory
  QString marks_;              // one character per entry (MarksScript)
};

}  // namespace kam::playlist

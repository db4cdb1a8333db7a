// WebList: the play list control. Shows the list page "\html\List.html" of the program directory
// in a browser pane; AddItem rewrites that page and the store "\data\Data.dat" and shows the
// page again. Its links do not navigate: clicking entry N raises ItemPlay(N, Value()).
// The files are written on a worker thread (a slow disk never holds up the window, which is also
// the engine's thread), and the page is shown again once they are, and only while the control is
// on screen: hidden, it shows the newest page when it is shown.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/serial_writer.h"
#include "player/playlist/list_marks.h"
#include "player/playlist/play_list_files.h"

class QWebEngineView;

namespace kam {
class ReplyChannel;
}

namespace kam::playlist {

class ListWebPage;

class WebList : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Value READ Value WRITE setValue)

 public:
  // Writes the page without entries and shows it. "\html" is created when it is missing; when
  // the page cannot be written, the empty page is shown from memory, never the file there.
  explicit WebList(std::filesystem::path program_dir, QWidget* parent = nullptr);
  // Lets the files of the last AddItem be written first (SerialWriter::kFinishLimit at most).
  ~WebList() override;

  // Writes the page and the store for list (entries "text||address||title", UTF-8; the first
  // kMaxEntries, cut to the bounds) and shows the page. False, and nothing written or shown anew,
  // when an entry has fewer than three fields or an address past the bound; decided here, before
  // anything is queued. Else true: the files are written later, in the order of the calls (a list
  // not yet written when a newer one comes is left out), and ListWritten tells how it went. A page
  // that could not be written gives the empty page on screen (never the older file); a store that
  // could not be written leaves the new page shown.
  bool AddItem(const std::vector<std::string>& list);

  // Waits until the lists given so far are written, at most limit (tests, the end). The pages
  // they show come after, from the event loop.
  bool WaitForWrites(std::chrono::milliseconds limit) { return writer_.WaitIdle(limit); }
  // The worker the files are written on (tests hold it up as a slow disk would).
  SerialWriter& writer() { return writer_; }

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
  // The newest list of AddItem has been written (written), or a file of it could not be.
  void ListWritten(bool written);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  enum class Shown { kNothingNew, kFile, kEmpty };

  void OnLinkActivated(const QString& href, const QString& id);
  void OnContextMenu(const QString& tag, const QString& id);
  void Written(std::uint64_t save, SaveResult result);
  void Show(Shown what);  // now when on screen, else once shown
  void ShowPage();        // the page file
  void ShowEmptyPage();   // the page without entries, from memory

  std::filesystem::path program_dir_;
  std::string value_;
  QWebEngineView* view_;
  ListWebPage* page_;
  void ApplyMarks();

  bool showing_file_ = false;           // the view shows the page file, not the page from memory
  QString marks_;                       // one character per entry (MarksScript)
  Shown pending_ = Shown::kNothingNew;  // to show once on screen
  std::uint64_t saves_ = 0;             // the lists given to AddItem
  std::shared_ptr<ReplyChannel> replies_;
  SerialWriter writer_;  // last: it goes first, while what its jobs reach is still here
};

}  // namespace kam::playlist

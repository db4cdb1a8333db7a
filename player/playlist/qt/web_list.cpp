#include "player/playlist/qt/web_list.h"

#include <QLoggingCategory>
#include <QResizeEvent>
#include <QShowEvent>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "common/path_text.h"
#include "common/qt/reply_channel.h"
#include "player/playlist/entry.h"
#include "player/playlist/list_links.h"
#include "player/playlist/list_page.h"
#include "player/playlist/play_list_files.h"
#include "player/playlist/qt/list_page_script.h"
#include "player/playlist/qt/list_web_page.h"

Q_LOGGING_CATEGORY(lcList, "kam.playlist.list", QtWarningMsg)

namespace kam::playlist {

WebList::WebList(std::filesystem::path program_dir, QWidget* parent)
    : QWidget(parent),
      program_dir_(std::move(program_dir)),
      value_(kDefaultSeparator),
      view_(new QWebEngineView(this)),
      page_(new ListWebPage(program_dir_, view_)),
      replies_(std::make_shared<ReplyChannel>(this)) {
  view_->setPage(page_);
  connect(page_, &ListWebPage::linkActivated, this, &WebList::OnLinkActivated);
  connect(page_, &ListWebPage::contextMenuRequested, this, &WebList::OnContextMenu);
  connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
    if (!ok) return;
    ApplyMarks();
    emit PageShown();
  });
  const BrowserGeometry g = BrowserGeometryFor(width(), height());
  view_->setGeometry(g.x, g.y, g.width, g.height);
  // The file there may be an older list's; if the empty page cannot take its place, the empty
  // page is shown all the same. The next AddItem tries again.
  if (WriteEmptyListPage(program_dir_)) {
    ShowPage();
  } else {
    ShowEmptyPage();
  }
}

WebList::~WebList() {
  replies_->Close();
  if (!writer_.Finish(SerialWriter::kFinishLimit)) {
    qCWarning(lcList) << "the list files were not written in time; the program ends without them";
  }
}

bool WebList::AddItem(const std::vector<std::string>& list) {
  SaveResult refused = SaveResult::kSaved;
  std::optional<PlayListFiles> files = PlayListFilesFor(list, value_, refused);
  if (!files) return false;
  const std::uint64_t save = ++saves_;
  // The job holds no part of the control: the control is reached only through the channel, on
  // its own thread, while it is there.
  writer_.Post("list", [dir = program_dir_, files = std::move(*files), replies = replies_, save,
                        self = this] {
    const SaveResult result = WritePlayListFiles(dir, files);
    replies->Send([self, save, result] { self->Written(save, result); });
  });
  return true;
}

void WebList::Written(std::uint64_t save, SaveResult result) {
  qCDebug(lcList) << "list" << save << "written:" << static_cast<int>(result);
  // A newer list is on its way; what it leaves decides the page.
  if (save != saves_) return;
  switch (result) {
    case SaveResult::kSaved:
    case SaveResult::kStoreNotWritten:
      // The page is written: show it, so that its entry numbers are those of the list.
      Show(Shown::kFile);
      break;
    case SaveResult::kPageNotWritten:
    case SaveResult::kTooFewFields:
    case SaveResult::kAddressTooLong:
      // What the file holds is no longer the list.
      Show(Shown::kEmpty);
      break;
  }
  if (result != SaveResult::kSaved) {
    qCWarning(lcList) << "the list could not be written:" << static_cast<int>(result);
  }
  emit ListWritten(result == SaveResult::kSaved);
}

QString WebList::Value() const { return QString::fromStdString(value_); }

void WebList::setValue(const QString& value) { value_ = value.toStdString(); }

QUrl WebList::PageUrl() const {
  return QUrl::fromLocalFile(QString::fromStdString(PathUtf8(ListPagePath(program_dir_))));
}

void WebList::Show(Shown what) {
  // Nobody sees a hidden pane; loading it would only hold up the engine's thread.
  if (!isVisible()) {
    pending_ = what;
    return;
  }
  pending_ = Shown::kNothingNew;
  if (what == Shown::kFile) ShowPage();
  if (what == Shown::kEmpty) ShowEmptyPage();
}

void WebList::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (pending_ != Shown::kNothingNew) Show(pending_);
}

void WebList::ShowPage() {
  // Reloading keeps the list's scroll position; anything else shown is replaced by the page.
  if (showing_file_ && view_->url() == PageUrl()) {
    view_->reload();
  } else {
    view_->load(PageUrl());
  }
  showing_file_ = true;
}

void WebList::ShowEmptyPage() {
  const std::string page = EmptyListPageBytes();
  // Beside the page's address, so that its style sheets apply.
  view_->page()->setContent(QByteArray(page.data(), static_cast<qsizetype>(page.size())),
                            QStringLiteral("text/html;charset=gb2312"), PageUrl());
  showing_file_ = false;
}

void WebList::ShowMarks(const std::vector<EntryMark>& marks) {
  QString text(static_cast<qsizetype>(marks.size()), QChar(u'0'));
  for (std::size_t i = 0; i < marks.size(); ++i) {
    if (marks[i] == EntryMark::kWatched) text[static_cast<qsizetype>(i)] = u'1';
    if (marks[i] == EntryMark::kPlaying) text[static_cast<qsizetype>(i)] = u'2';
  }
  if (text == marks_) return;
  marks_ = text;
  ApplyMarks();
}

void WebList::ApplyMarks() {
  // In the control's own script world, beside its link recorder; only the document changes, never
  // the page file.
  page_->runJavaScript(MarksScript(marks_), QWebEngineScript::ApplicationWorld);
}

void WebList::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const BrowserGeometry g = BrowserGeometryFor(width(), height());
  view_->setGeometry(g.x, g.y, g.width, g.height);
}

void WebList::OnLinkActivated(const QString& href, const QString& id) {
  const int index = EntryNumberOf(id.toStdString());
  switch (ClassifyListLink(href.toStdString())) {
    case LinkAction::kPlay:
      emit ItemPlay(index, Value());
      break;
    case LinkAction::kDelete:
      emit ItemDelete(index);
      break;
    case LinkAction::kOther:
      break;
  }
}

void WebList::OnContextMenu(const QString& tag, const QString& id) {
  const ContextMenuDecision decision = DecideContextMenu(tag.toStdString(), id.toStdString());
  if (decision.raise_event) emit ItemContextMenu(decision.on_link, decision.index);
}

}  // namespace kam::playlist

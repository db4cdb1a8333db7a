#include "player/window/qt/form1_series.h"

#include <QLoggingCategory>
#include <QWebEnginePage>

#include "player/browse/auto_next_setting.h"
#include "player/browse/browse.h"
#include "player/playlist/list_marks.h"
#include "player/window/qt/form1_window.h"

Q_LOGGING_CATEGORY(lcSeries, "kam.series", QtWarningMsg)

namespace kam::window {

SeriesView::SeriesView(Form1Window& window, Browse& browse, std::filesystem::path data_folder)
    : w_(window),
      browse_(browse),
      settings_file_(UserSettingsFile(data_folder)),
      positions_file_(PositionsFile(data_folder)),
      auto_next_(ReadAutoNext(settings_file_)),
      store_(playlist::LoadPositionStore(positions_file_)),
      next_(*this),
      follower_(store_, *this) {
  setObjectName(QStringLiteral("SeriesView"));
  wait_.setObjectName(QStringLiteral("nextEpisodeWait"));
  wait_.setSingleShot(true);
  connect(&wait_, &QTimer::timeout, this, [this] { next_.WaitOver(); });
  save_.setObjectName(QStringLiteral("positionSave"));
  save_.setInterval(PositionFollower::kSaveMs);
  connect(&save_, &QTimer::timeout, this, [this] { follower_.SaveTick(); });
  save_.start();

  if (WebPane* w3 = w_.W3()) {
    connect(w3, &WebPane::MediaChanged, this, [this](const MediaReport& report) {
      next_.MediaChanged(report);
      follower_.MediaChanged(report);
    });
    connect(w3->page(), &QWebEnginePage::urlChanged, this, [this] {
      next_.Navigated();
      UpdateMarks();
    });
  }
  if (playlist::WebList* list = w_.WebList1()) {
    connect(list, &playlist::WebList::PageShown, this, &SeriesView::UpdateMarks);
  }
}

SeriesView::~SeriesView() {
  // The window's panes may be gone already: only the file is written.
  ending_ = true;
  follower_.SaveNow();
  if (!writer_.Finish(SerialWriter::kFinishLimit)) {
    qCWarning(lcSeries) << "positions were not written in time; the program ends without them";
  }
}

std::filesystem::path SeriesView::PositionsFile(const std::filesystem::path& data_folder) {
  return data_folder / "positions.txt";
}

void SeriesView::setAutoNext(bool on) {
  auto_next_ = on;
  if (!WriteAutoNext(settings_file_, on)) {
    qCWarning(lcSeries) << "the choice could not be written to"
                        << QString::fromStdString(settings_file_.string());
  }
}

std::string SeriesView::ShownAddress() const {
  return w_.W3() ? w_.W3()->CurrentUrl() : std::string();
}

void SeriesView::PlayNext() {
  const auto outcome = browse_.PlayAdjacent(1, Separator());
  qCDebug(lcSeries) << "next episode:" << (outcome ? static_cast<int>(*outcome) : -1);
}

void SeriesView::SeekMainMedium(double position_s) {
  qCDebug(lcSeries) << "resume at" << position_s;
  if (WebPane* w3 = w_.W3()) w3->ControlMedia({MediaCommand::kSeek, position_s});
}

void SeriesView::StoreChanged(bool watched_changed) {
  // Written on the worker: the window thread is also the engine's, and a slow disk must not hold
  // up the picture. A save still waiting is superseded by this one.
  writer_.Post("positions", [file = positions_file_, store = store_] {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (!playlist::SavePositionStore(file, store)) {
      qCWarning(lcSeries) << "positions could not be written to"
                          << QString::fromStdString(file.string());
    }
  });
  if (watched_changed && !ending_) UpdateMarks();
}

void SeriesView::UpdateMarks() {
  playlist::WebList* list = w_.WebList1();
  if (!list) return;
  const std::string separator = Separator();
  list->ShowMarks(playlist::ListMarks(w_.state().List3, separator, w_.state().dizhi, store_,
                                      browse_.PlayingEntry(separator)));
}

std::string SeriesView::Separator() const {
  return w_.WebList1() ? w_.WebList1()->Value().toStdString()
                       : std::string(playlist::kDefaultSeparator);
}

}  // namespace kam::window

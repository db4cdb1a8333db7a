// Watching a series in the main window: the next episode after an end (next_episode.h), resume
// and watched marks (position_follower.h), the list page's marks and the tray menu's choice
// "自动播放下一集". The decisions live in player/browse and player/playlist; this part only
// connects the player pane, the list control, two timers and two files in the user's data
// folder to them.
#pragma once

#include <QObject>
#include <QTimer>
#include <filesystem>

#include "common/serial_writer.h"
#include "player/browse/next_episode.h"
#include "player/browse/position_follower.h"
#include "player/playlist/position_store.h"

namespace kam {
class Browse;
}

namespace kam::window {

class Form1Window;

class SeriesView : public QObject, private NextEpisodePorts, private PositionPorts {
 public:
  // data_folder: the user's data folder, where the browser profile lives.
  SeriesView(Form1Window& window, Browse& browse, std::filesystem::path data_folder);
  // The player's end is the page's end too: where its video stands is kept (written before the
  // end, SerialWriter::kFinishLimit at most).
  ~SeriesView() override;

  // The tray menu's choice; kept in the user's settings file.
  bool autoNext() const { return auto_next_; }
  void setAutoNext(bool on);

  // The positions file in data_folder.
  static std::filesystem::path PositionsFile(const std::filesystem::path& data_folder);

 private:
  // NextEpisodePorts.
  std::string ShownAddress() const override;
  bool AutoNextOn() const override { return auto_next_; }
  void PlayNext() override;
  void StartWait(int ms) override { wait_.start(ms); }
  void StopWait() override { wait_.stop(); }
  // PositionPorts.
  void SeekMainMedium(double position_s) override;
  void StoreChanged(bool watched_changed) override;

  void UpdateMarks();
  std::string Separator() const;

  Form1Window& w_;
  Browse& browse_;
  std::filesystem::path settings_file_;
  std::filesystem::path positions_file_;
  bool auto_next_ = true;
  bool ending_ = false;
  playlist::PositionStore store_;
  NextEpisode next_;
  PositionFollower follower_;
  QTimer wait_;
  QTimer save_;
  SerialWriter writer_;  // the positions file's saves
};

}  // namespace kam::window

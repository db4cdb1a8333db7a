// What the start-up logic needs from the main window and from the system. The Qt layer
// implements both; tests use fakes.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace kam {

enum class MainTimer { kNolink, kWebtime };
enum class MainPane { kListweb, kW3, kQvod };

// The main window Form1 as start-up drives it.
class MainWindowPort {
 public:
  virtual ~MainWindowPort() = default;
  virtual void Show() = 0;
  virtual void SetTimerEnabled(MainTimer timer, bool enabled) = 0;
  // An absolute address, or an absolute local file path.
  virtual void Navigate(MainPane pane, const std::string& address) = 0;
  // An address the program will not open in that pane (PanePort::Refuse): nothing loads, one
  // diagnostics line, and the pane reports an address that cannot be parsed.
  virtual void RefuseAddress(MainPane pane, const std::string& address, const std::string& why) = 0;
  virtual bool Busy(MainPane pane) = 0;
  virtual void SetSilent(MainPane pane, bool silent) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetVersionLabel(const std::string& text) = 0;
  // Maximised size = the work area of the screen.
  virtual void SetMaxBoundsToWorkArea() = 0;
  // The window icon from an icon file; the built-in icon when the file holds none.
  virtual void SetIconFromFile(const std::filesystem::path& file) = 0;
  // Centred on the screen, then its top 120 twips (8 pixels) below the screen's top.
  virtual void CentreThenTop120Twips() = 0;
  virtual void LoadHistory(const std::filesystem::path& file) = 0;
  virtual void TaskbarHook() = 0;
  virtual void TrayShowIcon(const std::string& tip) = 0;
  virtual void TrayShowBalloon(const std::string& title, const std::string& text, int info_flags,
                               int timeout_ms) = 0;
  virtual void TrayRemoveIcon() = 0;
  // Shows the window (out of the tray or the taskbar), brings it to the front and activates it.
  virtual void ShowAndRaise() = 0;
};

// Processes, files, network and the settings files.
class SystemPort {
 public:
  virtual ~SystemPort() = default;
  virtual std::filesystem::path ProgramDir() = 0;
  virtual bool AnotherInstanceRunning() = 0;
  // Hands this start's command line to the running player; returns once it was delivered or no
  // player answered within a bounded time (one diagnostics line then).
  virtual void HandOverToRunning(const std::string& command_line) = 0;
  virtual bool ConnectionAvailable(const std::string& probe_url) = 0;
  // Replaces target with the reply; on any failure target keeps its former content. A non-zero
  // time_limit bounds the whole call (connect and transfer); zero leaves the downloader's own
  // connect and stall limits alone.
  virtual bool DownloadFile(const std::string& url, const std::filesystem::path& target,
                            std::chrono::milliseconds time_limit) = 0;
  // The command line without the program path (arguments joined by single blanks).
  virtual std::string CommandLine() = 0;
  virtual std::string ReadSetting(const std::string& section, const std::string& key) = 0;
  virtual std::string ReadSkinConfig(const std::string& section, const std::string& key,
                                     const std::string& default_value) = 0;
  virtual bool FileExists(const std::filesystem::path& file) = 0;
  // Starts program with one argument, detached and with a normal window; does not wait.
  virtual void StartDetached(const std::filesystem::path& program, const std::string& argument) = 0;
  // Ends at once every process of the user's of that executable name (".exe" dropped): an
  // outside program's components.
  virtual void EndProcessesByName(const std::string& name) = 0;
  // Ends every process of that program file ("kamplayer.exe") in the program directory, never a
  // same-named program elsewhere: asked to end in order first, forced after a grace period. This
  // one, which is that program, ends last and in order, as its own quit does.
  virtual void EndProgramCopies(const std::string& file_name) = 0;
};

}  // namespace kam

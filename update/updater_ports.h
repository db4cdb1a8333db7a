// What the updater's flow needs from its window and from the system.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kam::update {

// The window's controls the flow sets.
enum class Control {
  kLabel1,  // first part of the sentence
  kLabel2,  // the offered version, or "已是最新"
  kLabel3,  // last part of the sentence
  kLabel4,  // "取消": cancels the download
  kLabel5,  // the percentage
  kImage3,  // the OK button
  kImage6,  // the update button
  kBar,     // the progress bar `s`
};

class UpdaterView {
 public:
  virtual ~UpdaterView() = default;
  virtual void SetText(Control control, const std::string& text) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  // The bar's Value (the bar clamps it).
  virtual void SetBarValue(float value) = 0;
  // The user's decimal separator for the percentage.
  virtual char DecimalPoint() = 0;
  // Adds the minimise and system-menu behaviour and makes the system close command hide the
  // window before it closes.
  virtual void InstallHook() = 0;
  // The window icon from an icon file; a file without an icon leaves the window without one.
  virtual void SetIcon(const std::filesystem::path& icon_file) = 0;
  // Closes the window for good; the updater ends once the running handlers have returned.
  virtual void CloseWindow() = 0;
  // Ends the updater with this status as soon as the running handlers have returned, without
  // showing anything more.
  virtual void EndProgram(int status) = 0;
};

class UpdaterSystem {
 public:
  virtual ~UpdaterSystem() = default;
  // section/key of "\kamplayer.db", empty when missing.
  virtual std::string ReadSetting(std::string_view section, std::string_view key) = 0;
  // True when another updater holds the updater's lock; otherwise this one takes it.
  virtual bool AnotherInstanceRunning() = 0;
  // Ends every process of that program file ("kamplayer.exe") in the program directory, never a
  // same-named program elsewhere: asked to end in order first, forced after a grace period. When
  // the caller is that program, it ends too, with exit status 0.
  virtual void EndProgramCopies(const std::string& file_name) = 0;
  // Makes program executable and starts it without arguments, detached. False when it could
  // not be started.
  virtual bool StartProgram(const std::filesystem::path& program) = 0;
  // section/key of "\skin\Config.ini".
  virtual bool WriteSkinConfig(std::string_view section, std::string_view key,
                               std::string_view value) = 0;
  // One line for the user on standard error.
  virtual void ReportError(const std::string& message) = 0;
};

}  // namespace kam::update

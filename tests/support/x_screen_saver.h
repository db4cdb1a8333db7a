// The test display's X screen saver through its extension: its timeout set as a desktop would
// set it, and whether it is on now.
#pragma once

#ifndef _WIN32

#include <optional>

namespace kam::testing {

class XScreenSaver {
 public:
  XScreenSaver();
  ~XScreenSaver();
  XScreenSaver(const XScreenSaver&) = delete;
  XScreenSaver& operator=(const XScreenSaver&) = delete;

  // The display answers and has the extension.
  bool ok() const { return display_ != nullptr; }
  // Blanks after this many idle seconds (0: never); the display's power saving stays as it is.
  void SetTimeout(int seconds);
  // Whether the saver is on now; nothing when it cannot be asked.
  std::optional<bool> On();
  // Idle time of the display's input in milliseconds.
  std::optional<unsigned long> IdleMs();

 private:
  void* display_ = nullptr;
};

}  // namespace kam::testing

#endif  // _WIN32

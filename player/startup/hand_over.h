// A second start of the player hands its launch argument to the player already running (the
// single-instance lock stays the authority on which one runs): one frame over a local
// connection, read here without any knowledge of the connection. The running player decodes the
// argument by the launch-argument rules and opens it as a shortcut start would; an argument that
// is no valid one is dropped. Requests that arrive faster than a window should react are
// coalesced, so a flood of them costs bounded memory and raises the window a few times a second
// at most.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kam {

// The longest argument handed over, in bytes.
inline constexpr std::size_t kHandOverMaxBytes = 64 * 1024;
// The frame: these 4 bytes, the argument's length as 4 bytes (most significant first), the
// argument as the second start's command line holds it (UTF-8).
inline constexpr std::string_view kHandOverMagic = "KAM1";
inline constexpr std::size_t kHandOverHeaderBytes = 8;
// How long a second start keeps trying to reach the running player (which listens once its own
// start, with its settings download, is done).
inline constexpr std::chrono::milliseconds kHandOverPatience{10000};
// Requests within this time of the first one pending are acted on together, once.
inline constexpr std::chrono::milliseconds kHandOverSettle{250};

// The frame of a command line; nothing when it is longer than kHandOverMaxBytes.
std::optional<std::string> FrameHandOver(std::string_view command_line);

// One connection's bytes, as they arrive, into one frame. Bytes after the frame are ignored; a
// frame that cannot be one (wrong magic, too long) is refused before its body is held.
class HandOverReader {
 public:
  enum class State { kIncomplete, kComplete, kBad };

  State Feed(std::string_view bytes);
  State state() const { return state_; }
  // The argument, once complete.
  const std::string& argument() const { return body_; }
  // Why the bytes were refused, once bad.
  const std::string& why() const { return why_; }

 private:
  State Refuse(std::string why);

  State state_ = State::kIncomplete;
  std::string header_;
  std::size_t length_ = 0;
  std::string body_;
  std::string why_;
};

// What a handed-over argument asks of the running player.
struct HandOverRequest {
  enum class Kind {
    kShow,  // no argument: show and raise the window
    kOpen,  // a shortcut's argument: fields[1] is the address listweb opens
    kDrop,  // no valid argument (it decodes to one field): nothing but a diagnostics line
  };
  Kind kind = Kind::kShow;
  std::vector<std::string> fields;  // the decoded argument split at "#@@" (kOpen)

  bool operator==(const HandOverRequest&) const = default;
};

// The argument decoded (DecodeLaunchArgs) and split as the start routine does.
HandOverRequest ReadHandOverArgument(std::string_view command_line);

// Requests waiting to be acted on: the latest shortcut argument, else a plain show. Never holds
// more than one request. The first request after a quiet time is acted on at once; what arrives
// within kHandOverSettle of a reaction waits and is acted on together, once, at its end.
class HandOverInbox {
 public:
  // True when the caller acts on Take() now. Dropped requests are no business of the inbox and
  // are ignored.
  bool Add(HandOverRequest request);
  // The request to act on now, and the inbox is empty again; the caller then calls Take() again
  // kHandOverSettle later. Nothing when none waits, which ends the settling.
  std::optional<HandOverRequest> Take();

 private:
  std::optional<HandOverRequest> pending_;
  bool settling_ = false;
};

// The name of the hand-over channel of the player in a program directory (its path as UTF-8):
// players of different program directories run side by side and each has its own.
std::string HandOverChannelName(std::string_view program_dir_utf8);

}  // namespace kam

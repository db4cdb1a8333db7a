// Ways a route of the demo server can misbehave on purpose, so that tests can meet every fault
// a real server or network produces. Set per path at run time (/__control) or by a flag.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kam::demo {

enum class Mode {
  kNotFound,    // "404": 404 with a small page
  kStatus,      // "500" or "status" with code=N: that status with a non-empty body
  kZeroLength,  // "zero-length": 200, Content-Length: 0, no body
  kChunked,     // "chunked" (or "no-length"): 200, chunked body, no Content-Length
  kUntilClose,  // "until-close": 200, no length at all, the body ends when the connection closes
  kBadLength,   // "bad-length": 200 with "Content-Length: abc"
  kCutShort,    // "cut": announces the whole length, sends `after` bytes (default half), closes
  kStall,       // "stall": sends nothing for `ms` (after `after` body bytes when given)
  kSlow,        // "slow": sends the body at `rate` bytes per second
  kReset,       // "reset": resets the connection (after `after` body bytes when given)
  kRedirect,    // "redirect": 302 to `to`
  kPadded,      // "padded": 200, the body followed by line breaks up to `bytes` bytes in all
};

struct Misbehaviour {
  Mode mode = Mode::kNotFound;
  int status = 500;                       // kStatus
  std::int64_t after = -1;                // body bytes sent first; -1 = the mode's default
  std::chrono::milliseconds wait{60000};  // kStall
  std::int64_t rate = 65536;              // kSlow, bytes per second
  std::string to;                         // kRedirect
  std::int64_t bytes = -1;                // kPadded: the whole length
};

// Looks up a named parameter ("code", "after", "ms", "rate", "to", "bytes").
using ParamLookup = std::function<std::optional<std::string>(std::string_view name)>;

// A mode by its name with its parameters. Nothing for an unknown mode or a bad number; "normal"
// is not a misbehaviour and also gives nothing (callers treat it as "clear").
std::optional<Misbehaviour> ParseMisbehaviour(std::string_view mode, const ParamLookup& param);

// A command-line form: "/path=mode" or "/path=mode,key=value,...".
std::optional<std::pair<std::string, Misbehaviour>> ParseMisbehaviourFlag(std::string_view flag);

std::string_view ModeName(Mode mode);

// Path -> misbehaviour, shared by the server's worker threads.
class MisbehaviourTable {
 public:
  void Set(const std::string& path, Misbehaviour misbehaviour);
  void Clear(const std::string& path);
  void ClearAll();
  std::optional<Misbehaviour> Find(const std::string& path) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, Misbehaviour> routes_;
};

}  // namespace kam::demo

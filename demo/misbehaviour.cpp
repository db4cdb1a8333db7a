#include "demo/misbehaviour.h"

#include <charconv>
#include <vector>

namespace kam::demo {
namespace {

std::optional<std::int64_t> ParseNumber(const std::optional<std::string>& text) {
  if (!text || text->empty()) return std::nullopt;
  std::int64_t value = 0;
  const char* end = text->data() + text->size();
  const auto [ptr, ec] = std::from_chars(text->data(), end, value);
  if (ec != std::errc() || ptr != end || value < 0) return std::nullopt;
  return value;
}

struct ModeNameEntry {
  std::string_view name;
  Mode mode;
};

constexpr ModeNameEntry kModeNames[] = {
    {"404", Mode::kNotFound},
    {"500", Mode::kStatus},
    {"status", Mode::kStatus},
    {"zero-length", Mode::kZeroLength},
    {"chunked", Mode::kChunked},
    {"no-length", Mode::kChunked},
    {"until-close", Mode::kUntilClose},
    {"bad-length", Mode::kBadLength},
    {"cut", Mode::kCutShort},
    {"stall", Mode::kStall},
    {"slow", Mode::kSlow},
    {"reset", Mode::kReset},
    {"redirect", Mode::kRedirect},
    {"padded", Mode::kPadded},
};

// A padded body is made in memory; more than this is no test's intent.
constexpr std::int64_t kMaxPaddedBytes = std::int64_t{256} << 20;

}  // namespace

std::optional<Misbehaviour> ParseMisbehaviour(std::string_view mode, const ParamLookup& param) {
  const ModeNameEntry* entry = nullptr;
  for (const auto& candidate : kModeNames) {
    if (candidate.name == mode) entry = &candidate;
  }
  if (entry == nullptr) return std::nullopt;

  Misbehaviour result;
  result.mode = entry->mode;
  // Every given number must parse: a typo in a test should fail loudly, not act as a default.
  const auto number = [&](std::string_view name, auto& field) {
    const auto text = param(name);
    if (!text) return true;
    const auto value = ParseNumber(text);
    if (!value) return false;
    field = static_cast<std::remove_reference_t<decltype(field)>>(*value);
    return true;
  };
  std::int64_t wait_ms = result.wait.count();
  if (!number("code", result.status) || !number("after", result.after) || !number("ms", wait_ms) ||
      !number("rate", result.rate) || !number("bytes", result.bytes)) {
    return std::nullopt;
  }
  result.wait = std::chrono::milliseconds(wait_ms);
  if (result.mode == Mode::kStatus && (result.status < 100 || result.status > 999)) {
    return std::nullopt;
  }
  if (result.mode == Mode::kSlow && result.rate == 0) return std::nullopt;
  if (result.mode == Mode::kPadded && (result.bytes < 0 || result.bytes > kMaxPaddedBytes)) {
    return std::nullopt;
  }
  if (result.mode == Mode::kRedirect) {
    result.to = param("to").value_or("");
    if (result.to.empty()) return std::nullopt;
  }
  return result;
}

std::optional<std::pair<std::string, Misbehaviour>> ParseMisbehaviourFlag(std::string_view flag) {
  const auto equals = flag.find('=');
  if (equals == std::string_view::npos || equals == 0 || flag.front() != '/') return std::nullopt;
  const std::string path(flag.substr(0, equals));
  std::string_view rest = flag.substr(equals + 1);

  std::vector<std::string_view> parts;
  while (true) {
    const auto comma = rest.find(',');
    parts.push_back(rest.substr(0, comma));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  const auto lookup = [&](std::string_view name) -> std::optional<std::string> {
    for (std::size_t i = 1; i < parts.size(); ++i) {
      const auto eq = parts[i].find('=');
      if (eq != std::string_view::npos && parts[i].substr(0, eq) == name) {
        return std::string(parts[i].substr(eq + 1));
      }
    }
    return std::nullopt;
  };
  auto misbehaviour = ParseMisbehaviour(parts.front(), lookup);
  if (!misbehaviour) return std::nullopt;
  return std::make_pair(path, std::move(*misbehaviour));
}

std::string_view ModeName(Mode mode) {
  for (const auto& entry : kModeNames) {
    if (entry.mode == mode) return entry.name;
  }
  return "?";
}

void MisbehaviourTable::Set(const std::string& path, Misbehaviour misbehaviour) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(misbehaviour);
}

void MisbehaviourTable::Clear(const std::string& path) {
  std::lock_guard lock(mutex_);
  routes_.erase(path);
}

void MisbehaviourTable::ClearAll() {
  std::lock_guard lock(mutex_);
  routes_.clear();
}

std::optional<Misbehaviour> MisbehaviourTable::Find(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto it = routes_.find(path);
  if (it == routes_.end()) return std::nullopt;
  return it->second;
}

}  // namespace kam::demo

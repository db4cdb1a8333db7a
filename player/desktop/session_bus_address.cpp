#include "player/desktop/session_bus_address.h"

#include <optional>

#include "common/percent_decode.h"

namespace kam::desktop {
namespace {

std::vector<std::string_view> Split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(sep, from);
    parts.push_back(text.substr(from, at == std::string_view::npos ? at : at - from));
    if (at == std::string_view::npos) return parts;
    from = at + 1;
  }
}

std::optional<BusAddress> ReadOne(std::string_view entry, std::string_view runtime_dir) {
  const std::size_t colon = entry.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  const std::string_view transport = entry.substr(0, colon);
  if (transport != "unix") return BusAddress{BusAddress::Kind::kOther, {}};
  for (std::string_view pair : Split(entry.substr(colon + 1), ',')) {
    const std::size_t eq = pair.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = pair.substr(0, eq);
    const std::string value = PercentDecode(pair.substr(eq + 1));
    if (key == "path" && !value.empty()) return BusAddress{BusAddress::Kind::kUnixPath, value};
    if (key == "abstract" && !value.empty()) {
      return BusAddress{BusAddress::Kind::kUnixAbstract, value};
    }
    if (key == "runtime" && value == "yes") {
      if (runtime_dir.empty()) return std::nullopt;
      return BusAddress{BusAddress::Kind::kUnixPath, std::string(runtime_dir) + "/bus"};
    }
  }
  // unix:dir= and unix:tmpdir= are for servers to listen on; nothing to connect to.
  return std::nullopt;
}

}  // namespace

std::vector<BusAddress> ParseBusAddresses(std::string_view text, std::string_view runtime_dir) {
  std::vector<BusAddress> found;
  if (text.empty()) return found;
  for (std::string_view entry : Split(text, ';')) {
    if (entry.empty()) continue;
    if (auto a = ReadOne(entry, runtime_dir)) found.push_back(std::move(*a));
  }
  return found;
}

std::vector<BusAddress> DefaultBusAddresses(std::string_view runtime_dir) {
  if (runtime_dir.empty()) return {};
  return {BusAddress{BusAddress::Kind::kUnixPath, std::string(runtime_dir) + "/bus"}};
}

BusProbe FirstLookAtSessionBus(int budget_ms) {
  static const BusProbe first = ProbeSessionBus(budget_ms);
  return first;
}

}  // namespace kam::desktop

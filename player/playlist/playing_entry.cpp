#include "player/playlist/playing_entry.h"

#include "common/percent_decode.h"
#include "common/site_address.h"
#include "player/playlist/entry.h"

namespace kam::playlist {

std::optional<std::string> ShownAddressKey(std::string_view address) {
  const std::optional<WebAddress> a = ParseWebAddress(address);
  if (!a) return std::nullopt;
  std::string_view rest = a->rest;
  rest = rest.substr(0, rest.find('#'));
  std::string key = a->scheme + "://" + a->host + ":" + std::to_string(a->port);
  if (rest.empty() || rest.front() != '/') key += '/';
  key += PercentDecode(rest);
  return key;
}

std::optional<int> PlayingEntry(const std::vector<std::string>& list, std::string_view separator,
                                std::string_view shown_address, std::string_view dizhi,
                                std::optional<int> hint) {
  const std::optional<std::string> shown = ShownAddressKey(shown_address);
  if (!shown) return std::nullopt;
  // The last path segment, decoded: an entry whose decoded text lacks it cannot match, which
  // spares parsing every address of a long list.
  const std::string_view path = std::string_view(*shown).substr(0, shown->find('?'));
  const std::string_view last = path.substr(path.rfind('/') + 1);
  auto matches = [&](std::size_t i) {
    const std::vector<std::string_view> fields = SplitEntry(list[i], separator);
    if (fields.size() < kEntryFields || IsPlaceholder(fields)) return false;
    if (!last.empty() && PercentDecode(fields[1]).find(last) == std::string::npos) return false;
    const std::optional<std::string> address = AddressOnSite(fields[1], dizhi);
    if (!address) return false;
    return ShownAddressKey(*address) == shown;
  };
  if (hint && *hint >= 0 && static_cast<std::size_t>(*hint) < list.size() &&
      matches(static_cast<std::size_t>(*hint))) {
    return hint;
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (matches(i)) return static_cast<int>(i);
  }
  return std::nullopt;
}

}  // namespace kam::playlist

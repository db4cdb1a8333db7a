#include "player/playlist/list_bounds.h"

#include "player/playlist/entry.h"

namespace kam::playlist {
namespace {

// Length of the UTF-8 character at the start of text; 1 for a malformed byte.
std::size_t CharLength(std::string_view text) {
  const auto b0 = static_cast<unsigned char>(text[0]);
  const std::size_t len = b0 < 0x80           ? 1
                          : (b0 >> 5) == 0x6  ? 2
                          : (b0 >> 4) == 0xE  ? 3
                          : (b0 >> 3) == 0x1E ? 4
                                              : 1;
  if (len > text.size()) return 1;
  for (std::size_t k = 1; k < len; ++k) {
    if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) return 1;
  }
  return len;
}

// text without its last character.
std::string_view DropLastChar(std::string_view text) {
  std::size_t start = 0;
  std::size_t last = 0;
  while (start < text.size()) {
    last = start;
    start += CharLength(text.substr(start));
  }
  return text.substr(0, last);
}

// Field 0 cut to the bound. Cut short, its end and the separator after it could read as the
// separator one character early ("ab|" + "||"), so such characters go too.
std::string_view CutFirstField(std::string_view field, std::string_view separator) {
  std::string_view cut = CutToChars(field, kMaxTextChars);
  if (cut.size() == field.size()) return field;
  while (!cut.empty()) {
    const std::string joined = std::string(cut) + std::string(separator);
    if (joined.find(separator) == cut.size()) break;
    cut = DropLastChar(cut);
  }
  return cut;
}

// The fields after the address cut to the bound, without spaces at the end of a cut.
std::string_view CutTail(std::string_view tail) {
  std::string_view cut = CutToChars(tail, kMaxTextChars);
  if (cut.size() == tail.size()) return tail;
  while (!cut.empty() && cut.back() == ' ') cut.remove_suffix(1);
  return cut;
}

}  // namespace

std::string_view CutToChars(std::string_view utf8, std::size_t max_chars) {
  std::size_t at = 0;
  for (std::size_t chars = 0; chars < max_chars && at < utf8.size(); ++chars) {
    at += CharLength(utf8.substr(at));
  }
  return utf8.substr(0, at);
}

std::optional<std::string> CollectedEntry(std::string_view text, std::string_view address,
                                          std::string_view title) {
  const std::string address_field = EntryAddressField(address);
  if (address_field.size() > kMaxAddressBytes) return std::nullopt;
  std::string entry = EntryField(CutToChars(text, kMaxTextChars));
  entry.append(kDefaultSeparator).append(address_field).append(kDefaultSeparator);
  entry.append(EntryField(CutToChars(title, kMaxTextChars)));
  return entry;
}

std::optional<std::string> BoundedEntry(std::string_view entry, std::string_view separator) {
  if (separator.empty() || !HasAllFields(entry, separator)) return std::nullopt;
  const std::size_t first = entry.find(separator);
  const std::size_t address_at = first + separator.size();
  const std::size_t second = entry.find(separator, address_at);
  const std::string_view address = entry.substr(address_at, second - address_at);
  if (address.size() > kMaxAddressBytes) return std::nullopt;
  const std::string_view text = CutFirstField(entry.substr(0, first), separator);
  const std::string_view tail = CutTail(entry.substr(second + separator.size()));
  std::string out;
  out.reserve(text.size() + address.size() + tail.size() + 2 * separator.size());
  out.append(text).append(separator).append(address).append(separator).append(tail);
  return out;
}

}  // namespace kam::playlist

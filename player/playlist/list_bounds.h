// How much of a page or a stored file the play list keeps. A page may hold any number of links
// and a title of any length, and a store may have been written by anything; the list keeps its
// first entries, each of a bounded size, so that neither the list page nor the store (read back
// at every start) can grow past what the player handles in a moment.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kam::playlist {

// At most this many entries: the first ones in page order, or in file order.
inline constexpr std::size_t kMaxEntries = 5000;
// An entry's shown text and its title are cut to this many characters (not bytes).
inline constexpr std::size_t kMaxTextChars = 512;
// A link whose address is longer than this many bytes (UTF-8) is left out: an address cannot be
// cut without leading somewhere else.
inline constexpr std::size_t kMaxAddressBytes = 4096;

// The longest prefix of utf8 holding at most max_chars characters; never ends inside a character.
// A malformed byte counts as one character, as the code page conversions count it.
std::string_view CutToChars(std::string_view utf8, std::size_t max_chars);

// A page's link as a play list entry "text||address||title": the texts cut to kMaxTextChars
// characters, then made fields (EntryField), the address made a field (EntryAddressField).
// Nothing when the address field is longer than kMaxAddressBytes.
std::optional<std::string> CollectedEntry(std::string_view text, std::string_view address,
                                          std::string_view title);

// An entry of three or more fields within the bounds: field 0 and everything after field 1 (the
// title, with any further fields) cut to kMaxTextChars characters each. A cut never leaves a part
// of the separator at the end of field 0 (it would shift the fields after it) nor spaces at the
// end of the entry (the store trims them, so the entry would not read back as written). Nothing
// when field 1, the address, is longer than kMaxAddressBytes or the entry has fewer than three
// fields. An entry within the bounds comes back unchanged.
std::optional<std::string> BoundedEntry(std::string_view entry, std::string_view separator);

}  // namespace kam::playlist

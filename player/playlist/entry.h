// A play list entry: the link's visible text, the play address and the catalogue page's title,
// joined by the list control's separator. The separator is not escaped, so a field holding it
// shifts the fields after it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kam::playlist {

inline constexpr std::string_view kDefaultSeparator = "||";

// Fields of a complete entry: 0 the shown text, 1 the play address, 2 the page title.
inline constexpr std::size_t kEntryFields = 3;

// Splits at every occurrence of separator. An empty entry has no fields at all, and an empty
// separator leaves the entry whole, as the platform's Split did.
std::vector<std::string_view> SplitEntry(std::string_view entry, std::string_view separator);

// The same into fields, reusing its storage across entries.
void SplitEntryInto(std::string_view entry, std::string_view separator,
                    std::vector<std::string_view>& fields);

// True when the entry has the three fields the list page and the play handler read.
bool HasAllFields(std::string_view entry, std::string_view separator);

// A page's text as an entry field: every run of two or more "|" becomes one "|", and a "|" at its
// end goes (it would join the separator after it into "|||", which splits one character early), so
// the field can never shift the fields after it.
std::string EntryField(std::string_view text);

// An address as an entry field: every "|" written "%7C", which means the same to a server.
std::string EntryAddressField(std::string_view address);

// Placeholder entries stand for "no records yet": shown like any entry, never played.
bool IsPlaceholder(const std::vector<std::string_view>& fields);

}  // namespace kam::playlist

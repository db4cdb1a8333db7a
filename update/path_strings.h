// The text helper the updater uses to build its download path.
#pragma once

#include <string>
#include <string_view>

namespace kam::update {

// text unchanged when it already ends in suffix (compared with ASCII letters lower-cased),
// otherwise text followed by suffix. Gives a folder exactly one trailing separator.
std::string AddString(std::string_view text, std::string_view suffix);

}  // namespace kam::update

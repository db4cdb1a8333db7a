// UTF-8 to the ANSI code page for the list files, which run to megabytes at the list box's limit.
// Gives the same bytes as kam::Utf8ToGbk (a character without a code becomes "?"), but looks
// characters up in a flat table and appends in place, so saving a full list stays fast.
#pragma once

#include <string>
#include <string_view>

namespace kam::playlist {

// Appends utf8 in the code page.
void AppendAsGbk(std::string& out, std::string_view utf8);

// Appends utf8 in the code page with "&", "<", ">", '"' and "'" as HTML character references.
void AppendHtmlEscapedAsGbk(std::string& out, std::string_view utf8);

}  // namespace kam::playlist

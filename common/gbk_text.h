// Bulk text between UTF-8 and the ANSI code page. The play list files run to megabytes at the
// list box's limit, so these look characters up in flat tables and write in place; the results
// are those of kam::Utf8ToGbk and kam::GbkToUtf8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kam {

// Appends utf8 in the code page; a character without a code becomes "?".
void AppendAsGbk(std::string& out, std::string_view utf8);

// Appends utf8 in the code page with "&", "<", ">", '"' and "'" as HTML character references.
void AppendHtmlEscapedAsGbk(std::string& out, std::string_view utf8);

// Appends the code page's bytes as UTF-8; a byte that is no character becomes U+FFFD.
void AppendGbkAsUtf8(std::string& out, std::string_view gbk);

// Length of the longest prefix of gbk, at most limit bytes, that ends between two characters as
// AppendGbkAsUtf8 reads them: a cut there never splits a double-byte character.
std::size_t GbkPrefixLength(std::string_view gbk, std::size_t limit);

}  // namespace kam

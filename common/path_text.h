// Paths as UTF-8 text, the programs' text everywhere. std::filesystem::path's narrow forms
// (string(), construction from std::string) are in the ANSI code page on Windows and throw on a
// character it cannot hold, so a Chinese folder name would break them there.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kam {

// The path in UTF-8, with the system's separators.
std::string PathUtf8(const std::filesystem::path& path);

// The path written in UTF-8.
std::filesystem::path Utf8Path(std::string_view utf8);

}  // namespace kam

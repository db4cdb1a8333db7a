// Windows private-profile ("INI") files, read and written on the file's own bytes with the rules
// of the platform's GetPrivateProfileStringA / WritePrivateProfileStringA, so files stay
// byte-compatible with the ones the programs share on Windows.
//
// Reading:
// - Text is GBK unless it starts with a UTF-8 (EF BB BF) or UTF-16LE (FF FE) byte-order mark.
// - Lines end at CR, LF or CR LF. Tab, LF, VT, FF, CR and space around names and values are
//   trimmed, and so is the query.
// - A line whose first non-blank character is "[" and which holds a "]" opens a section; its
//   name runs to the last "]" on the line. A "[" without "]" opens nothing.
// - Any other line holding "=" is a key line, split at its first "="; lines without "=" hold no
//   key. Lines before the first section belong to no named section and are never found.
// - Names match case-insensitively (ASCII letters only). Only the first section of a name is
//   searched, and the first key of a name in it wins.
// - One pair of matching quotes (" or ') around a value is removed; ";" and "#" are ordinary
//   characters of a value. An empty value reads as empty, not as the default.
// - The result is cut to buffer_size - 1 bytes of GBK, never inside a double-byte character,
//   and ends at a NUL, as the platform's C string would. Characters without a GBK form (possible
//   in UTF-8 and UTF-16 files) are kept and count one byte, like the "?" the platform gives.
// - A missing file, section or key, or an empty query name, gives the default with its trailing
//   spaces removed, cut the same way.
//
// Writing keeps every byte of the file except the one line it replaces or the text it inserts:
// - an existing key (the one a read finds) has its line replaced by "key=value";
// - a new key goes after the last non-blank line of the first section of that name;
// - a new section goes at the end of the file, after a line break if the file lacks a final one;
// - a missing file is created (GBK, no byte-order mark);
// - lines end in CR LF; the file keeps its encoding (UTF-8 and UTF-16LE files stay so, with
//   their byte-order mark); the file is replaced atomically.
// A write is refused (false, file untouched) when it could not be read back as written: an empty
// section or key, a line break or NUL in any part, a key holding "=" or starting with "[", or
// text the file's encoding cannot hold. A value with surrounding blanks or matching outer quotes
// is written inside a pair of double quotes so that it reads back unchanged.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kam {

// The value of section/key in a profile file's bytes, or default_value (see above). All texts
// are UTF-8.
std::string ReadProfileValue(std::string_view file_bytes, std::string_view section,
                             std::string_view key, std::string_view default_value,
                             std::size_t buffer_size);

// The same on a file; a file that cannot be read gives the default.
std::string ReadProfileFile(const std::filesystem::path& file, std::string_view section,
                            std::string_view key, std::string_view default_value,
                            std::size_t buffer_size);

// The file's bytes with section/key set to value, or nothing when the write is refused.
std::optional<std::string> ProfileWithValue(std::string_view file_bytes, std::string_view section,
                                            std::string_view key, std::string_view value);

// Sets section/key in the file and replaces it atomically; false when refused or when the file
// cannot be read or written (it is then untouched).
bool WriteProfileFile(const std::filesystem::path& file, std::string_view section,
                      std::string_view key, std::string_view value);

}  // namespace kam

// The player's launch argument: the text a desktop shortcut hands to the player, disguised by a
// character substitution. Printable ASCII (codes 33 to 126) is rotated by 47 (ROT47, its own
// inverse); a double-byte character of the code page whose code, taken as a signed 16-bit
// number, is below -6000 is shifted by 5 codes (down when encoding, up when decoding). Every
// other character passes unchanged, and so does one whose shifted code is no character of the
// code page (a gap) or that the code page cannot hold at all. Texts are UTF-8.
//
// Because of the gaps, a few characters do not come back from encoding: a character whose code
// minus 5 lies in a gap (so encoding leaves it alone) while its code plus 5 is a character (so
// decoding moves it). EncodeShortcutArgument avoids them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kam {

// The launch argument as the shortcut carries it back to plain text.
std::string DecodeLaunchArgs(std::string_view text);

// Plain text to the form a shortcut carries. Same number of characters as the input.
std::string EncodeLaunchArgs(std::string_view text);

// Whether DecodeLaunchArgs(EncodeLaunchArgs(ch)) gives ch back.
bool SurvivesLaunchArgs(char32_t ch);

// The launch argument of a desktop shortcut for a title: EncodeLaunchArgs of the name, "#@@" and
// the full page address, built so that decoding and splitting at "#@@" always gives the address
// back as a page address of the same meaning:
// - when a character of the address would not survive, every non-ASCII character of the address
//   is percent-encoded as UTF-8 (a URL means the same either way);
// - every "#@@" in the address becomes "#%40@", so the address stays one field;
// - characters of the name that would not survive are dropped, and so is every "#@@" in it (the
//   name is only a label: the shortcut's file name and description carry the full name).
std::string EncodeShortcutArgument(std::string_view name, std::string_view address);

// The separator between the fields of a launch argument.
inline constexpr std::string_view kLaunchArgsSeparator = "#@@";

// A decoded launch argument cut at every separator, left to right; a text without one is one
// field.
std::vector<std::string> SplitLaunchArgs(std::string_view decoded);

}  // namespace kam

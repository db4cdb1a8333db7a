// When the player hands over to the updater: version texts are compared as text, never as
// numbers, so "1.10" is older than "1.9".
#pragma once

#include <string_view>

namespace kam {

// True when the installed version sorts before the offered one. The texts (UTF-8) are compared
// in their ANSI code page (GBK) form byte by byte, unsigned, a text before any longer text it
// begins; no case folding. Byte order of GBK equals the order of the characters' code-page codes,
// so Chinese version texts order as they do on the target systems. Equal texts, or an offered
// version that sorts first (the empty one included), mean the installed version is current.
bool IsUpgradeDue(std::string_view installed, std::string_view offered);

}  // namespace kam

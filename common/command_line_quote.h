// Windows command lines: a program gets one string and its C runtime splits it into arguments
// (blanks separate, double quotes group, backslashes escape only before a quote).
#pragma once

#include <string>
#include <string_view>

namespace kam {

// Appends argument to line so that the C runtime of the started program splits it back into
// exactly this argument: as it stands when it holds no blank, tab, newline or quote (and is not
// empty), else in double quotes with quotes and the backslashes before them escaped.
void AppendQuotedArgument(std::string& line, std::string_view argument);

}  // namespace kam

// The one text the player sends the updater: the offered version, "###", the mode, "###".
// Nothing else passes between the two programs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kam {

inline constexpr std::string_view kUpdaterFieldSeparator = "###";
inline constexpr std::string_view kUpgradeMode = "shengji";  // a newer version is on offer
inline constexpr std::string_view kCurrentMode = "wu";       // the installed version is current

// offered_version, "###", "shengji" or "wu", "###": no quoting, no blanks added. The player
// passes it to the updater as one argument.
std::string BuildUpdaterArgument(std::string_view offered_version, bool upgrade_due);

// The text cut at every "###" (exact, left to right, no overlap, no limit). An empty text has no
// fields; a text without "###" is one field; a trailing "###" leaves an empty last field.
std::vector<std::string> SplitUpdaterFields(std::string_view text);

enum class UpdaterMode {
  kUpgrade,  // exactly "shengji": offer the upgrade
  kCurrent,  // exactly "wu": say the installed version is current
  kBlank,    // anything else, letter case included: show neither
};

struct UpdaterCommand {
  enum class Status {
    kOk,
    kEmpty,   // no command line: the updater ends silently
    kNoMode,  // text without "###": no mode field; the updater reports the error and ends
  };
  Status status = Status::kEmpty;
  std::string offered_version;  // field 0
  std::string mode;             // field 1, as sent
};

// Reads the updater's command line (its arguments joined as JoinCommandLine does).
UpdaterCommand ParseUpdaterCommand(std::string_view command_line);

// The meaning of a mode field; the comparison is exact and case-sensitive.
UpdaterMode UpdaterModeOf(std::string_view mode);

}  // namespace kam

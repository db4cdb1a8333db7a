#include "common/updater_command.h"

namespace kam {

std::string BuildUpdaterArgument(std::string_view offered_version, bool upgrade_due) {
  std::string text(offered_version);
  text += kUpdaterFieldSeparator;
  text += upgrade_due ? kUpgradeMode : kCurrentMode;
  text += kUpdaterFieldSeparator;
  return text;
}

std::vector<std::string> SplitUpdaterFields(std::string_view text) {
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  size_t start = 0;
  for (size_t hit = text.find(kUpdaterFieldSeparator); hit != std::string_view::npos;
       hit = text.find(kUpdaterFieldSeparator, start)) {
    fields.emplace_back(text.substr(start, hit - start));
    start = hit + kUpdaterFieldSeparator.size();
  }
  fields.emplace_back(text.substr(start));
  return fields;
}

UpdaterCommand ParseUpdaterCommand(std::string_view command_line) {
  UpdaterCommand command;
  if (command_line.empty()) return command;
  const std::vector<std::string> fields = SplitUpdaterFields(command_line);
  command.offered_version = fields[0];
  if (fields.size() < 2) {
    command.status = UpdaterCommand::Status::kNoMode;
    return command;
  }
  command.mode = fields[1];
  command.status = UpdaterCommand::Status::kOk;
  return command;
}

UpdaterMode UpdaterModeOf(std::string_view mode) {
  if (mode == kUpgradeMode) return UpdaterMode::kUpgrade;
  if (mode == kCurrentMode) return UpdaterMode::kCurrent;
  return UpdaterMode::kBlank;
}

}  // namespace kam

// The updater's command line can be anything a user or another program typed: cutting it at
// "###" loses and invents nothing, the command read from it is its first two fields, and the
// argument the player builds reads back as the version and mode it was built from whenever the
// version leaves the separator unambiguous.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/updater_command.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using kam::kUpdaterFieldSeparator;
  FuzzedDataProvider in(data, size);
  const bool upgrade_due = in.ConsumeBool();
  const std::string version = in.ConsumeRandomLengthString(64);
  const std::string line = in.ConsumeRemainingBytesAsString();

  const std::vector<std::string> fields = kam::SplitUpdaterFields(line);
  Check(fields.empty() == line.empty());
  std::string joined;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    Check(fields[i].find(kUpdaterFieldSeparator) == std::string::npos);
    if (i > 0) joined += kUpdaterFieldSeparator;
    joined += fields[i];
  }
  Check(joined == line);

  const kam::UpdaterCommand command = kam::ParseUpdaterCommand(line);
  if (line.empty()) {
    Check(command.status == kam::UpdaterCommand::Status::kEmpty);
  } else if (fields.size() == 1) {
    Check(command.status == kam::UpdaterCommand::Status::kNoMode);
    Check(command.offered_version == line && command.mode.empty());
  } else {
    Check(command.status == kam::UpdaterCommand::Status::kOk);
    Check(command.offered_version == fields[0] && command.mode == fields[1]);
  }

  // The format has no quoting: a version holding "###", or ending in "#" (which joins the
  // separator after it), cannot come back whole.
  const std::string argument = kam::BuildUpdaterArgument(version, upgrade_due);
  const kam::UpdaterCommand sent = kam::ParseUpdaterCommand(argument);
  Check(sent.status == kam::UpdaterCommand::Status::kOk);
  const bool unambiguous =
      (version + std::string(kUpdaterFieldSeparator)).find(kUpdaterFieldSeparator) ==
      version.size();
  Check((sent.offered_version == version) == unambiguous);
  if (unambiguous) {
    Check(kam::UpdaterModeOf(sent.mode) ==
          (upgrade_due ? kam::UpdaterMode::kUpgrade : kam::UpdaterMode::kCurrent));
  }
  return 0;
}

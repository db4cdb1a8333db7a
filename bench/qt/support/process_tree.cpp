#include "bench/qt/support/process_tree.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kam::bench {

namespace {

namespace fs = std::filesystem;

// The fields of /proc/PID/stat after the command name: state is field 3, ppid 4, utime 14.
std::vector<std::string> StatFields(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return {};
  const auto close_paren = line.rfind(')');
  if (close_paren == std::string::npos) return {};
  std::istringstream rest(line.substr(close_paren + 1));
  std::vector<std::string> fields;
  for (std::string f; rest >> f;) fields.push_back(f);
  return fields;
}

}  // namespace

std::vector<pid_t> ProcessTree(pid_t root) {
  std::multimap<pid_t, pid_t> children;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const auto fields = StatFields(std::atoi(name.c_str()));
    if (fields.size() < 2) continue;
    children.emplace(std::atoi(fields[1].c_str()), std::atoi(name.c_str()));
  }
  std::vector<pid_t> tree = {root};
  for (size_t i = 0; i < tree.size(); ++i) {
    const auto [from, to] = children.equal_range(tree[i]);
    for (auto it = from; it != to; ++it) tree.push_back(it->second);
  }
  return tree;
}

long TreePssKb(pid_t root) {
  long total = 0;
  for (pid_t pid : ProcessTree(root)) {
    std::ifstream smaps("/proc/" + std::to_string(pid) + "/smaps_rollup");
    for (std::string line; std::getline(smaps, line);) {
      if (line.rfind("Pss:", 0) == 0) {
        total += std::atol(line.c_str() + 4);
        break;
      }
    }
  }
  return total;
}

std::map<pid_t, long long> TreeCpuTicks(pid_t root) {
  std::map<pid_t, long long> ticks;
  for (pid_t pid : ProcessTree(root)) {
    const auto f = StatFields(pid);
    // utime, stime, cutime, cstime are fields 14 to 17, here 11 to 14 (from 0, after the name).
    if (f.size() < 15) continue;
    ticks[pid] = std::atoll(f[11].c_str()) + std::atoll(f[12].c_str()) + std::atoll(f[13].c_str()) +
                 std::atoll(f[14].c_str());
  }
  return ticks;
}

double CpuSecondsBetween(const std::map<pid_t, long long>& before,
                         const std::map<pid_t, long long>& after) {
  long long spent = 0;
  for (const auto& [pid, t] : after) {
    const auto was = before.find(pid);
    spent += t - (was == before.end() ? 0 : was->second);
  }
  return static_cast<double>(spent) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::string MachineLoad() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

}  // namespace kam::bench

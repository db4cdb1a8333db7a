// What a program costs the machine, counted over all its processes: the program and every
// descendant (the browser engine's helpers), read from /proc.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace kam::bench {

// root and its descendants alive now.
std::vector<pid_t> ProcessTree(pid_t root);

// Proportional set size summed over the tree, in kB (smaps_rollup).
long TreePssKb(pid_t root);

// CPU time (user and system, the reaped children's included) of each process of the tree, in
// clock ticks.
std::map<pid_t, long long> TreeCpuTicks(pid_t root);
// Seconds of CPU spent between two readings of the same tree; a process that began in between
// counts from zero.
double CpuSecondsBetween(const std::map<pid_t, long long>& before,
                         const std::map<pid_t, long long>& after);

// The machine's load averages over 1, 5 and 15 minutes, as /proc/loadavg gives them.
std::string MachineLoad();

}  // namespace kam::bench

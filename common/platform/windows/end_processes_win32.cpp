// The process table is a tool-help snapshot; each entry names the executable file of a process.
#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>

#include <string>

#include "common/end_processes.h"

namespace kam {
namespace {

std::string ToUtf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(static_cast<size_t>(size - 1));
  return out;
}

}  // namespace

bool EndOtherProcessesByName(std::string_view name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  const DWORD self = GetCurrentProcessId();
  bool end_self = false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (!ProcessNameMatches(ToUtf8(entry.szExeFile), name)) continue;
    if (entry.th32ProcessID == self) {
      // Ending ourselves now would leave later copies running; do it after the walk.
      end_self = true;
      continue;
    }
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
    if (process != nullptr) {
      TerminateProcess(process, 0);
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
  return end_self;
}

void EndProcessesByName(std::string_view name) {
  if (EndOtherProcessesByName(name)) TerminateProcess(GetCurrentProcess(), 0);
}

}  // namespace kam

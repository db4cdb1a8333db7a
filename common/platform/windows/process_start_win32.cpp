#include <windows.h>

#include <string>

#include "common/command_line_quote.h"
#include "common/process_start.h"

namespace kam {
namespace {

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
  return out;
}

}  // namespace

bool StartProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  const std::wstring path = program.wstring();
  const std::u8string program_utf8 = program.u8string();
  std::string line;
  AppendQuotedArgument(line, std::string(program_utf8.begin(), program_utf8.end()));
  for (const std::string& argument : arguments) {
    line += ' ';
    AppendQuotedArgument(line, argument);
  }
  std::wstring wide_line = Widen(line);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  // Its own process group, so a console break meant for the caller does not reach it; no console
  // of the caller's; no handle of the caller's.
  const DWORD flags = CREATE_NEW_PROCESS_GROUP | DETACHED_PROCESS;
  if (!CreateProcessW(path.c_str(), wide_line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                      nullptr, &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

}  // namespace kam

#ifdef _WIN32

#include <windows.h>

#include <random>
#include <thread>

#include "common/command_line_quote.h"
#include "common/program_dir.h"
#include "tests/support/child_process.h"

namespace kam::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

void CloseIfOpen(void*& handle) {
  if (handle != nullptr) CloseHandle(handle);
  handle = nullptr;
}

}  // namespace

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments, std::string_view argv0) {
  std::string line;
  AppendQuotedArgument(line, argv0.empty() ? Utf8(program) : std::string(argv0));
  for (const std::string& a : arguments) {
    line += ' ';
    AppendQuotedArgument(line, a);
  }
  std::wstring wide_line = Wide(line);

  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE child_in = nullptr, child_out = nullptr;
  if (!CreatePipe(&child_in, &in_, &inherit, 0)) return;
  if (!CreatePipe(&out_, &child_out, &inherit, 0)) {
    CloseHandle(child_in);
    CloseIfOpen(in_);
    return;
  }
  // Only the child's ends go to the child.
  SetHandleInformation(in_, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(out_, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = child_in;
  startup.hStdOutput = child_out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  const bool ok = CreateProcessW(program.wstring().c_str(), wide_line.data(), nullptr, nullptr,
                                 TRUE, 0, nullptr, nullptr, &startup, &info);
  CloseHandle(child_in);
  CloseHandle(child_out);
  if (!ok) {
    CloseIfOpen(in_);
    CloseIfOpen(out_);
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
  CloseIfOpen(in_);
  if (process_ != nullptr) {
    if (!status_) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
  }
  CloseIfOpen(out_);
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (true) {
    const std::size_t newline = buffered_.find('\n');
    if (newline != std::string::npos) {
      std::string line = buffered_.substr(0, newline);
      buffered_.erase(0, newline + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (out_ == nullptr || Clock::now() >= deadline) return std::nullopt;
    DWORD available = 0;
    if (!PeekNamedPipe(out_, nullptr, 0, nullptr, &available, nullptr)) return std::nullopt;
    if (available == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    char buf[512];
    DWORD got = 0;
    if (!ReadFile(out_, buf, available < sizeof(buf) ? available : sizeof(buf), &got, nullptr)) {
      return std::nullopt;
    }
    buffered_.append(buf, got);
  }
}

std::string ChildProcess::ReadRest(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (out_ != nullptr && Clock::now() < deadline) {
    DWORD available = 0;
    if (!PeekNamedPipe(out_, nullptr, 0, nullptr, &available, nullptr)) break;  // closed
    if (available == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    char buf[512];
    DWORD got = 0;
    if (!ReadFile(out_, buf, available < sizeof(buf) ? available : sizeof(buf), &got, nullptr)) {
      break;
    }
    buffered_.append(buf, got);
  }
  std::string rest;
  rest.swap(buffered_);
  return rest;
}

bool ChildProcess::WriteLine(std::string_view line) {
  if (in_ == nullptr) return false;
  const std::string text = std::string(line) + "\n";
  DWORD written = 0;
  return WriteFile(in_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

void ChildProcess::CloseInput() { CloseIfOpen(in_); }

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  if (status_) return status_;
  if (process_ == nullptr) return std::nullopt;
  if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process_, &code)) return std::nullopt;
  status_ = static_cast<int>(code);
  return status_;
}

// The probe sits beside the test programs (one output folder for every program).
std::filesystem::path ProcessProbePath() { return ExecutableDir() / L"kam_process_probe.exe"; }

std::filesystem::path CopyProbeAs(const std::filesystem::path& dir, std::string_view name) {
  const std::filesystem::path target =
      dir / std::filesystem::path(std::u8string(name.begin(), name.end()));
  std::filesystem::copy_file(ProcessProbePath(), target,
                             std::filesystem::copy_options::overwrite_existing);
  return target;
}

std::string UniqueProcessName(std::string_view stem) {
  static std::mt19937 random(std::random_device{}());
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz";
  std::string name(stem);
  name += std::to_string(GetCurrentProcessId());
  for (int i = 0; i < 3; ++i) name += kLetters[random() % 26];
  return name;
}

bool ExitedWith(int status, int code) { return status == code; }

}  // namespace kam::testing

#endif  // _WIN32

// A small program that tests of process control start as a real process, often copied under
// another file name. It reports on its standard output, one line at a time.
//
//   wait                      "ready"; answers "alive" to every input line; ends at end of
//                             input or after 60 s
//   end NAME                  EndProcessesByName(NAME), then "after" and exit status 3
//   end-on-line NAME          "ready"; on the first input line, as end
//   end-stale NAME            as end, with errno left at ESRCH first, as a process that ended
//                             during the walk of the process table leaves it
//   end-program DIR NAME      EndCopiesOfProgram(DIR, NAME), then "after" and exit status 3
//   orderly MS                "ready"; asked to end (SIGTERM; Windows: its window's close
//                             message), ends MS ms later with exit status 5; else after 60 s
//   stubborn                  "ready"; ignores being asked to end (SIGTERM; Windows: the close
//                             and quit messages); ends after 60 s
//   lock DIR NAME             "held" and as wait when the instance lock is taken, else "busy"
//                             and exit status 1
//   lock-start DIR NAME FILE  takes the lock, starts itself detached as "record FILE 20000",
//                             exits 0 (1 when the lock was busy, 2 when the start failed)
//   where                     the full path of its own executable (UTF-8), then exit status 0
//   record FILE LINGER_MS ... writes FILE (whole, atomically), then stays LINGER_MS (at most
//                             60 s): "pid ppid sid" and the open descriptors above 2 on the first
//                             line (Windows: "pid"), then every argument after LINGER_MS, each
//                             followed by a NUL
//
// Arguments are UTF-8 on every system (on Windows taken from the wide command line).
#ifdef _WIN32
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>
#else
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/atomic_file.h"
#include "common/end_processes.h"
#include "common/process_start.h"
#include "common/program_dir.h"
#include "common/single_instance.h"

namespace {

constexpr int kMaxLifeMs = 60000;

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

// Reads one line of input; false at end of input or after timeout_ms.
bool ReadLine(int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
#ifdef _WIN32
  // Standard input is a pipe; peeking keeps the wait bounded.
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  while (std::chrono::steady_clock::now() < deadline) {
    DWORD available = 0;
    if (!PeekNamedPipe(in, nullptr, 0, nullptr, &available, nullptr)) return false;
    if (available == 0) {
      Sleep(5);
      continue;
    }
    char c;
    DWORD got = 0;
    if (!ReadFile(in, &c, 1, &got, nullptr) || got != 1) return false;
    if (c == '\n') return true;
  }
  return false;
#else
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char c;
    if (read(0, &c, 1) != 1) return false;
    if (c == '\n') return true;
  }
#endif
}

int Wait() {
  Say("ready");
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kMaxLifeMs);
  while (std::chrono::steady_clock::now() < end) {
    if (!ReadLine(kMaxLifeMs)) return 0;
    Say("alive");
  }
  return 0;
}

int End(const std::string& name) {
  kam::EndProcessesByName(name);
  Say("after");
  return 3;
}

int EndProgram(const std::string& dir, const std::string& name) {
  kam::EndCopiesOfProgram(std::filesystem::path(std::u8string(dir.begin(), dir.end())), name);
  Say("after");
  return 3;
}

// How a program meets a request to end: in order, after linger_ms, or not at all.
#ifdef _WIN32
bool asked_to_end = false;

LRESULT CALLBACK OrderlyWindow(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) {
    asked_to_end = true;
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK StubbornWindow(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(window, message, wparam, lparam);
}

int MeetEndRequests(int linger_ms, bool stubborn) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = stubborn ? StubbornWindow : OrderlyWindow;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = stubborn ? L"KamProbeStubborn" : L"KamProbeOrderly";
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"probe", WS_OVERLAPPEDWINDOW, 0, 0,
                                100, 100, nullptr, nullptr, window_class.hInstance, nullptr);
  if (window == nullptr) return 66;
  Say("ready");
  const ULONGLONG end = GetTickCount64() + kMaxLifeMs;
  while (GetTickCount64() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // The quit message ends an orderly program's loop as its window's close does.
      if (msg.message == WM_QUIT) {
        if (!stubborn) asked_to_end = true;
        continue;
      }
      DispatchMessageW(&msg);
    }
    if (asked_to_end) {
      Sleep(static_cast<DWORD>(linger_ms));
      return 5;
    }
    Sleep(10);
  }
  return 0;
}
#else
volatile sig_atomic_t asked_to_end = 0;

void OnSigterm(int) { asked_to_end = 1; }

int MeetEndRequests(int linger_ms, bool stubborn) {
  struct sigaction action {};
  action.sa_handler = stubborn ? SIG_IGN : OnSigterm;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  Say("ready");
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kMaxLifeMs);
  while (std::chrono::steady_clock::now() < end) {
    if (asked_to_end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(linger_ms));
      return 5;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return 0;
}
#endif

// Ends the other copies; says whether it matched itself, and goes on.
int EndOthers(const std::string& name) {
  Say(kam::EndOtherProcessesByName(name) ? "self" : "not self");
  return 4;
}

#ifdef _WIN32
std::string ProcessLine() { return std::to_string(GetCurrentProcessId()) + "\n"; }
#else
std::string OpenDescriptors() {
  std::string list;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return list;
  const int own = dirfd(dir);
  while (const dirent* entry = readdir(dir)) {
    const int fd = std::atoi(entry->d_name);
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9' || fd <= 2 || fd == own) continue;
    list += ' ';
    list += entry->d_name;
  }
  closedir(dir);
  return list;
}

std::string ProcessLine() {
  return std::to_string(getpid()) + " " + std::to_string(getppid()) + " " +
         std::to_string(getsid(0)) + OpenDescriptors() + "\n";
}
#endif

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

int Record(const std::vector<std::string>& argv) {
  if (argv.size() < 4) return 64;
  std::string report = ProcessLine();
  for (std::size_t i = 4; i < argv.size(); ++i) {
    report += argv[i];
    report += '\0';
  }
  if (!kam::WriteFileAtomically(PathOf(argv[2]), report)) return 65;
  const int linger = std::clamp(std::atoi(argv[3].c_str()), 0, kMaxLifeMs);
  std::this_thread::sleep_for(std::chrono::milliseconds(linger));
  return 0;
}

// The arguments in UTF-8.
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  (void)argc;
  (void)argv;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; wide != nullptr && i < count; ++i) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
    arg.resize(arg.size() - 1);
    args.push_back(arg);
  }
  LocalFree(wide);
#else
  args.assign(argv, argv + argc);
#endif
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = Arguments(argc, argv);
  const std::size_t n = args.size();
  const std::string_view mode = n > 1 ? std::string_view(args[1]) : "wait";
  if (mode == "wait") return Wait();
  if (mode == "end" && n > 2) return End(args[2]);
  if (mode == "end-stale" && n > 2) {
    errno = ESRCH;
    return End(args[2]);
  }
  if (mode == "end-others" && n > 2) return EndOthers(args[2]);
  if (mode == "end-program" && n > 3) return EndProgram(args[2], args[3]);
  if (mode == "orderly" && n > 2) {
    return MeetEndRequests(std::clamp(std::atoi(args[2].c_str()), 0, kMaxLifeMs), false);
  }
  if (mode == "stubborn") return MeetEndRequests(0, true);
  if (mode == "end-on-line" && n > 2) {
    Say("ready");
    if (!ReadLine(kMaxLifeMs)) return 4;
    return End(args[2]);
  }
  if (mode == "lock" && n > 3) {
    if (!kam::AcquireSingleInstance(PathOf(args[2]), args[3])) {
      Say("busy");
      return 1;
    }
    Say("held");
    return Wait();
  }
  if (mode == "lock-start" && n > 4) {
    if (!kam::AcquireSingleInstance(PathOf(args[2]), args[3])) return 1;
    return kam::StartProgram(kam::ExecutablePath(), {"record", args[4], "20000"}) ? 0 : 2;
  }
  if (mode == "where") {
    const std::u8string path = kam::ExecutablePath().u8string();
    Say(std::string(path.begin(), path.end()).c_str());
    return 0;
  }
  if (mode == "record") return Record(args);
  return 64;
}

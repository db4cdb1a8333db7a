// The process table is a tool-help snapshot; each entry names the executable file of a process.
// Its full path (QueryFullProcessImageNameW) and its user (the token's SID) come from the process
// itself, opened with the rights ending it needs; a process that cannot be opened so (another
// user's, or elevated) has neither, and could not be ended anyway.
#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

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

std::string FullImagePath(HANDLE process) {
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process, 0, path.data(), &size)) return std::string();
  path.resize(size);
  return ToUtf8(path.c_str());
}

// The user SID of a process's token; empty when it cannot be read.
std::vector<BYTE> UserSidOf(HANDLE process) {
  std::vector<BYTE> sid;
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return sid;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    const PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    if (IsValidSid(user)) {
      const BYTE* bytes = static_cast<const BYTE*>(user);
      sid.assign(bytes, bytes + GetLengthSid(user));
    }
  }
  CloseHandle(token);
  return sid;
}

class Win32ProcessTable : public ProcessTable {
 public:
  ~Win32ProcessTable() override { Release(); }

  void Select(const ProcessSelector& select) override {
    Release();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    const DWORD self = GetCurrentProcessId();
    const std::vector<BYTE> own_user = UserSidOf(GetCurrentProcess());
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
      ProcessFacts facts;
      facts.names.push_back(ToUtf8(entry.szExeFile));
      facts.self = entry.th32ProcessID == self;
      // Held open, the process object stays this process even if its number is reused.
      HANDLE process =
          facts.self
              ? nullptr
              : OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                            FALSE, entry.th32ProcessID);
      const HANDLE looked_at = facts.self ? GetCurrentProcess() : process;
      if (looked_at != nullptr) {
        facts.executable = FullImagePath(looked_at);
        const std::vector<BYTE> user = UserSidOf(looked_at);
        facts.same_user = !user.empty() && user == own_user;
      }
      if (select(facts) && process != nullptr) {
        held_.push_back({entry.th32ProcessID, process});
      } else if (process != nullptr) {
        CloseHandle(process);
      }
    }
    CloseHandle(snapshot);
  }

  // The close message to every top-level window of the held processes, as the system's Close
  // does. A program whose window only hides on Close (the player lives on in the tray) ends
  // through the quit message that follows it to the window's thread: its event loop ends.
  void AskToEnd() override {
    struct Search {
      const Win32ProcessTable* table;
      std::vector<DWORD> threads;
    } search{this, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          DWORD pid = 0;
          const DWORD thread = GetWindowThreadProcessId(window, &pid);
          if (s->table->Holds(pid)) {
            PostMessageW(window, WM_CLOSE, 0, 0);
            if (std::find(s->threads.begin(), s->threads.end(), thread) == s->threads.end()) {
              s->threads.push_back(thread);
            }
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    for (const DWORD thread : search.threads) PostThreadMessageW(thread, WM_QUIT, 0, 0);
  }

  bool AllEnded() override {
    for (const Held& process : held_) {
      if (WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0) return false;
    }
    return true;
  }

  void ForceEnd() override {
    for (const Held& process : held_) {
      if (WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.handle, 0);
      }
    }
  }

  void Sleep(std::chrono::milliseconds duration) override {
    ::Sleep(static_cast<DWORD>(duration.count()));
  }

 private:
  struct Held {
    DWORD pid;
    HANDLE handle;
  };

  bool Holds(DWORD pid) const {
    return std::any_of(held_.begin(), held_.end(), [pid](const Held& p) { return p.pid == pid; });
  }

  void Release() {
    for (const Held& process : held_) CloseHandle(process.handle);
    held_.clear();
  }

  std::vector<Held> held_;
};

}  // namespace

std::unique_ptr<ProcessTable> SystemProcessTable() { return std::make_unique<Win32ProcessTable>(); }

void EndThisProcess() {
  TerminateProcess(GetCurrentProcess(), 0);
  // TerminateProcess does not return for the calling process; this keeps the promise anyway.
  ExitProcess(0);
}

}  // namespace kam

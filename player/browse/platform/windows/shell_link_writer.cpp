// Desktop shortcuts on Windows: a shell link (.lnk) made with IShellLinkW in the user's desktop
// folder, saved beside its final name and then moved over it.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <string>

#include "common/atomic_file.h"
#include "common/command_line_quote.h"
#include "player/browse/desktop_shortcut.h"
#include "player/browse/shortcut_file_choice.h"

#ifdef _MSC_VER
#pragma comment(lib, "ole32.lib")
#pragma comment(lib, "shell32.lib")
#pragma comment(lib, "uuid.lib")
#endif

namespace kam {
namespace {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() { return p; }
};

std::optional<std::filesystem::path> DesktopFolder() {
  PWSTR path = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path))) return std::nullopt;
  std::filesystem::path folder(path);
  CoTaskMemFree(path);
  return folder;
}

// Whether the link at file starts program (COM is initialised by the caller).
DesktopSlot SlotOf(const std::filesystem::path& file, const std::filesystem::path& program) {
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? DesktopSlot::kFree
                                                                          : DesktopSlot::kOther;
  }
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
    return DesktopSlot::kOther;
  }
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> persist;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) ||
      FAILED(persist->Load(file.c_str(), STGM_READ))) {
    return DesktopSlot::kOther;
  }
  // The link's item list keeps the target in UTF-16; GetPath may go through the ANSI code page
  // (Wine does), which loses a target under a Chinese folder name.
  wchar_t path[MAX_PATH] = {};
  PIDLIST_ABSOLUTE items = nullptr;
  bool read = false;
  if (SUCCEEDED(link->GetIDList(&items)) && items != nullptr) {
    read = SHGetPathFromIDListW(items, path) != FALSE;
    CoTaskMemFree(items);
  }
  if (!read && link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK) {
    return DesktopSlot::kOther;
  }
  return CompareStringOrdinal(path, -1, program.c_str(), -1, TRUE) == CSTR_EQUAL
             ? DesktopSlot::kPlayersOwn
             : DesktopSlot::kOther;
}

class ShellLinkWriter : public DesktopShortcutPort {
 public:
  bool Save(const DesktopShortcut& s) override {
    const std::optional<std::filesystem::path> folder = DesktopFolder();
    if (!folder) return false;
    std::filesystem::path program = s.program;
    program.replace_extension(".exe");

    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const auto file_of = [&](const std::string& name) { return *folder / (Wide(name) + L".lnk"); };
    const std::optional<std::string> name = ChooseShortcutFileName(
        s.file_name, [&](const std::string& n) { return SlotOf(file_of(n), program); });
    if (!name) {
      if (SUCCEEDED(init)) CoUninitialize();
      return false;
    }
    const std::filesystem::path target = file_of(*name);
    const bool replace = SlotOf(target, program) == DesktopSlot::kPlayersOwn;
    const std::filesystem::path temp = TemporaryPathBeside(target);
    bool ok = false;
    {
      ComPtr<IShellLinkW> link;
      ComPtr<IPersistFile> file;
      if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(&link)))) {
        link->SetPath(program.c_str());
        // One argument, however many blanks it holds.
        std::string arguments;
        AppendQuotedArgument(arguments, s.arguments);
        link->SetArguments(Wide(arguments).c_str());
        link->SetDescription(Wide(s.description).c_str());
        link->SetIconLocation(s.icon.c_str(), 0);
        link->SetWorkingDirectory(program.parent_path().c_str());
        ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
             SUCCEEDED(file->Save(temp.c_str(), TRUE));
      }
    }
    if (SUCCEEDED(init)) CoUninitialize();
    if (!ok) {
      DeleteFileW(temp.c_str());
      return false;
    }
    // The player's own link is replaced the usual way; a free name is taken only while it is free.
    if (replace) return CommitTemporaryFile(temp, target);
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0) return true;
    DeleteFileW(temp.c_str());
    return false;
  }
};

}  // namespace

std::unique_ptr<DesktopShortcutPort> MakeDesktopShortcutWriter() {
  return std::make_unique<ShellLinkWriter>();
}

}  // namespace kam

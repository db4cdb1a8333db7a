// The shell-link writer, its .lnk read back through the shell's own IShellLinkW.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/path_text.h"
#include "player/browse/desktop_shortcut.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

struct LinkFields {
  std::wstring target, arguments, description, icon, working_dir;
  int icon_index = -1;
};

std::optional<LinkFields> ReadLink(const std::filesystem::path& file) {
  std::optional<LinkFields> fields;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return fields;
  }
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
      SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
    wchar_t buf[4096];
    LinkFields f;
    // The target through the link's item list, which names it in UTF-16 (Wine's GetPath gives
    // the link's ANSI copy of the path, where a Chinese folder name turns into "?").
    PIDLIST_ABSOLUTE items = nullptr;
    if (SUCCEEDED(link->GetIDList(&items)) && items != nullptr) {
      if (SHGetPathFromIDListW(items, buf)) f.target = buf;
      CoTaskMemFree(items);
    }
    if (SUCCEEDED(link->GetArguments(buf, 4096))) f.arguments = buf;
    if (SUCCEEDED(link->GetDescription(buf, 4096))) f.description = buf;
    if (SUCCEEDED(link->GetWorkingDirectory(buf, 4096))) f.working_dir = buf;
    if (SUCCEEDED(link->GetIconLocation(buf, 4096, &f.icon_index))) f.icon = buf;
    fields = f;
  }
  if (persist) persist->Release();
  link->Release();
  return fields;
}

std::filesystem::path Desktop() {
  PWSTR path = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path))) return {};
  std::filesystem::path folder(path);
  CoTaskMemFree(path);
  return folder;
}

// What the started program's runtime makes of the link's arguments.
std::vector<std::wstring> SplitArguments(const std::wstring& arguments) {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW((L"x.exe " + arguments).c_str(), &count);
  std::vector<std::wstring> out(argv + 1, argv + count);
  LocalFree(argv);
  return out;
}

class ShellLinkWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::filesystem::create_directories(program_dir_ / "skin");
    std::ofstream(program_dir_ / "kamplayer.exe") << "MZ";
    std::ofstream(program_dir_ / "skin" / "icon.ico") << "icon";
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove(link_, ec);
    CoUninitialize();
  }
  DesktopShortcut Sample() const {
    return DesktopShortcut{"剧 名", program_dir_ / "kamplayer",
                           "剧 名#@@http://127.0.0.1/play/1.html", "剧 名 第1集",
                           program_dir_ / "skin" / "icon.ico"};
  }
  kam::testing::TempDir dir_;
  std::filesystem::path program_dir_ = dir_.path() / Utf8Path("看吧 影院");
  std::filesystem::path link_ = Desktop() / Utf8Path("剧 名.lnk");
  std::unique_ptr<DesktopShortcutPort> writer_ = MakeDesktopShortcutWriter();
};

TEST_F(ShellLinkWriterTest, TheShellReadsBackWhatWasWritten) {
  ASSERT_FALSE(Desktop().empty());
  const DesktopShortcut s = Sample();
  ASSERT_TRUE(writer_->Save(s));

  const std::optional<LinkFields> f = ReadLink(link_);
  ASSERT_TRUE(f.has_value());
  EXPECT_EQ(f->target, (program_dir_ / "kamplayer.exe").wstring());
  EXPECT_EQ(SplitArguments(f->arguments), std::vector<std::wstring>{Utf8Path(s.arguments)});
  EXPECT_EQ(f->description, Utf8Path(s.description).wstring());
  EXPECT_EQ(f->icon, s.icon.wstring());
  EXPECT_EQ(f->icon_index, 0);
  EXPECT_EQ(std::filesystem::path(f->working_dir), program_dir_);
}

TEST_F(ShellLinkWriterTest, ReplacesALinkOfTheSameNameAndLeavesNothingElse) {
  DesktopShortcut s = Sample();
  ASSERT_TRUE(writer_->Save(s));
  s.arguments = "second";
  ASSERT_TRUE(writer_->Save(s));

  const std::optional<LinkFields> f = ReadLink(link_);
  ASSERT_TRUE(f.has_value());
  EXPECT_EQ(f->arguments, L"second");
  for (const auto& e : std::filesystem::directory_iterator(Desktop())) {
    EXPECT_EQ(e.path().filename().wstring().find(L".tmp"), std::wstring::npos)
        << PathUtf8(e.path());
  }
}

}  // namespace
}  // namespace kam

// What the demo site serves as the installer: the build's real installer once it has been built,
// else the site's stand-in script; and the settings texts, which then name its SHA-256 in [ver]
// so that the updater checks the download against the real file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kam::demo {

inline constexpr char kInstallerPath[] = "/sela_pid_uid.exe";

class InstallerSource {
 public:
  // built: where the build puts its installer (empty: always the stand-in); site_root: the
  // site folder that holds the stand-in.
  InstallerSource(std::filesystem::path built, std::filesystem::path site_root);

  // The file served at kInstallerPath: the built installer when it exists, else the stand-in.
  // Looked up at every request, so an installer built while the server runs is served.
  std::optional<std::filesystem::path> File() const;
  // Its bytes; nothing when there is neither.
  std::optional<std::string> Bytes() const;
  // Lower-case hex SHA-256 of the built installer; nothing while it has not been built.
  std::optional<std::string> BuiltDigest() const;

 private:
  std::filesystem::path built_;
  std::filesystem::path stand_in_;
};

// Whether a request path is one of the site's settings texts.
bool IsSettingsText(std::string_view path);

// The settings text with key sha256 of section ver set to digest. A text that names a digest
// already keeps it (an operator's own, or a wrong one on purpose in a test).
std::string SettingsWithDigest(std::string_view text, std::string_view digest);

// The version the site's settings texts offer (key ver of section ver, read as UTF-8), which the
// site signs its installer for: the manual check's "/kam/kam.txt" first, since the demo offers
// its upgrade there, else the start's "/upload/my2.txt". Nothing when neither names one.
std::optional<std::string> AnnouncedVersion(const std::filesystem::path& site_root);

// Lower-case hex SHA-256 of bytes.
std::string Sha256Hex(std::string_view bytes);

}  // namespace kam::demo

#include "demo/installer_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/private_profile.h"
#include "tests/support/temp_dir.h"

namespace kam::demo {
namespace {

namespace fs = std::filesystem;

// sha256sum's answer, an implementation of its own.
std::string Sha256sumOf(const fs::path& file) {
  std::string out;
  if (FILE* pipe = popen(("sha256sum '" + file.string() + "'").c_str(), "r")) {
    char buffer[128];
    if (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out = buffer;
    pclose(pipe);
  }
  return out.substr(0, out.find(' '));
}

TEST(SettingsWithDigest, PutsTheDigestIntoVerAndKeepsOneThatIsThere) {
  const std::string digest(64, 'c');
  struct Case {
    std::string text;
    std::string expected_sha256;
  };
  for (const Case& c : {
           Case{"[kampeizhi]\r\nwangzhan=http://x\r\n[ver]\r\nver=2.0\r\n", digest},
           Case{"[kampeizhi]\r\nwangzhan=http://x\r\n", digest},
           Case{"[ver]\r\nver=2.0\r\nsha256=" + std::string(64, 'a') + "\r\n",
                std::string(64, 'a')},
       }) {
    SCOPED_TRACE(c.text);
    const std::string served = SettingsWithDigest(c.text, digest);
    EXPECT_EQ(ReadProfileValue(served, "ver", "sha256", "", 256), c.expected_sha256);
    // Everything else reads as before.
    EXPECT_EQ(ReadProfileValue(served, "ver", "ver", "", 256),
              ReadProfileValue(c.text, "ver", "ver", "", 256));
    EXPECT_EQ(ReadProfileValue(served, "kampeizhi", "wangzhan", "", 256),
              ReadProfileValue(c.text, "kampeizhi", "wangzhan", "", 256));
  }
}

TEST(AnnouncedVersion, TheManualChecksTextFirstAsUtf8) {
  kam::testing::TempDir site;
  EXPECT_FALSE(AnnouncedVersion(site.path()).has_value());
  site.Write("upload/my2.txt", "[ver]\r\nver=1.0\r\n");
  EXPECT_EQ(AnnouncedVersion(site.path()), "1.0");
  // "正式版" in GBK, as the settings texts are written.
  site.Write("kam/kam.txt",
             "[kampeizhi]\r\nname=x\r\n[ver]\r\nver=2.0 \xd5\xfd\xca\xbd\xb0\xe6\r\n");
  EXPECT_EQ(AnnouncedVersion(site.path()), "2.0 正式版");
  site.Write("kam/kam.txt", "[ver]\r\nsha256=" + std::string(64, 'a') + "\r\n");
  EXPECT_EQ(AnnouncedVersion(site.path()), "1.0");
}

TEST(InstallerSource, TheBuiltInstallerOnceItExistsElseTheStandIn) {
  testing::TempDir dir;
  const fs::path stand_in = dir.Write("site/sela_pid_uid.exe", "#!/bin/sh\nexit 0\n");
  const fs::path built = dir.path() / "build" / "sela_pid_uid.exe";
  InstallerSource source(built, dir.path() / "site");
  EXPECT_EQ(source.File(), stand_in);
  EXPECT_FALSE(source.BuiltDigest().has_value());

  dir.Write("build/sela_pid_uid.exe", std::string(100000, 'i') + "the real one");
  EXPECT_EQ(source.File(), built);
  EXPECT_EQ(source.Bytes()->size(), 100012u);
  EXPECT_EQ(source.BuiltDigest(), Sha256sumOf(built));

  InstallerSource stand_in_only({}, dir.path() / "site");
  EXPECT_EQ(stand_in_only.File(), stand_in);
  EXPECT_FALSE(stand_in_only.BuiltDigest().has_value());
}

}  // namespace
}  // namespace kam::demo

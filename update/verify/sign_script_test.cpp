// The operators' signing command and the demo key: what the command writes is what the updater
// accepts, and the build's default key is the demo key's public half.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "build_config.h"
#include "common/atomic_file.h"
#include "demo/installer_signer.h"
#include "tests/support/temp_dir.h"
#include "update/verify/signature_check.h"

namespace kam::update {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = kam::build::kSourceDir;
const fs::path kScript = kSource / "scripts" / "sign-installer.sh";
const fs::path kDemoKey = kSource / "demo" / "keys" / "demo_installer_ed25519.pem";

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The command's standard output and exit status.
std::pair<std::string, int> RunCommand(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return {out, -1};
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  return {out, pclose(pipe)};
}

TEST(DemoKey, IsTheBuildsDefaultKey) {
  const auto signer = demo::InstallerSigner::FromPemFile(kDemoKey);
  ASSERT_TRUE(signer.has_value());
  EXPECT_EQ(signer->PublicKeyHex(), kam::build::kDemoUpdatePublicKey);
  EXPECT_EQ(RunCommand(Quote(kScript.string()) + " --public-key " + Quote(kDemoKey.string())).first,
            std::string(kam::build::kDemoUpdatePublicKey) + "\n");
}

TEST(SignInstallerScript, WritesTheSignatureTheUpdaterAccepts) {
  kam::testing::TempDir dir;
  // A name with a blank and a quote, as an operator's folder may have.
  const fs::path installer = dir.Write("it's setup.exe", "#!/bin/sh\nexit 0\n");
  const auto [out, status] = RunCommand(Quote(kScript.string()) + " " + Quote(kDemoKey.string()) +
                                        " " + Quote(installer.string()));
  ASSERT_EQ(status, 0) << out;
  const auto text = ReadFileBytes(installer.string() + ".sig");
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->size(), 89u);  // one line of base64 of 64 bytes
  LibcryptoInstallerChecks checks(kam::build::kDemoUpdatePublicKey);
  EXPECT_EQ(checks.CheckSignature(installer, *text), SignatureVerdict::kGood);
  dir.Write("it's setup.exe", "#!/bin/sh\nexit 1\n");
  EXPECT_EQ(checks.CheckSignature(installer, *text), SignatureVerdict::kWrong);
}

TEST(SignInstallerScript, RefusesWhatItCannotSignAndLeavesNoFile) {
  kam::testing::TempDir dir;
  const fs::path installer = dir.Write("setup.exe", "x");
  const fs::path not_a_key = dir.Write("key.pem", "not a key");
  EXPECT_NE(RunCommand(Quote(kScript.string()) + " " + Quote(not_a_key.string()) + " " +
                       Quote(installer.string()))
                .second,
            0);
  EXPECT_NE(RunCommand(Quote(kScript.string()) + " " + Quote(kDemoKey.string()) + " " +
                       Quote((dir.path() / "missing").string()))
                .second,
            0);
  EXPECT_NE(RunCommand(Quote(kScript.string()) + " " + Quote(kDemoKey.string())).second, 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace kam::update

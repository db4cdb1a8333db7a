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

std::string DigestOf(const std::string& bytes) {
  auto digest = NewLibcryptoSha256();
  digest->Update(bytes);
  return digest->HexDigest();
}

std::string SignCommand(const fs::path& key, const fs::path& installer,
                        const std::string& version) {
  return Quote(kScript.string()) + " " + Quote(key.string()) + " " + Quote(installer.string()) +
         " " + Quote(version);
}

TEST(SignInstallerScript, WritesTheSignatureTheUpdaterAcceptsForThatVersionOnly) {
  kam::testing::TempDir dir;
  // A name with a blank and a quote, as an operator's folder may have.
  const std::string bytes = "#!/bin/sh\nexit 0\n";
  const fs::path installer = dir.Write("it's setup.exe", bytes);
  LibcryptoInstallerChecks checks(kam::build::kDemoUpdatePublicKey);
  for (const std::string version : {"2.0.1", "2.0 正式版", " 2.0###beta ", "-v"}) {
    SCOPED_TRACE(version);
    const auto [out, status] = RunCommand(SignCommand(kDemoKey, installer, version));
    ASSERT_EQ(status, 0) << out;
    const auto text = ReadFileBytes(installer.string() + ".sig");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->size(), 89u);  // one line of base64 of 64 bytes
    EXPECT_EQ(checks.CheckSignature(version, DigestOf(bytes), *text), SignatureVerdict::kGood);
    EXPECT_EQ(checks.CheckSignature(version + ".1", DigestOf(bytes), *text),
              SignatureVerdict::kWrong);
    EXPECT_EQ(checks.CheckSignature(version, DigestOf(bytes + "x"), *text),
              SignatureVerdict::kWrong);
  }
}

TEST(SignInstallerScript, RefusesWhatItCannotSignAndLeavesNoFile) {
  kam::testing::TempDir dir;
  const fs::path installer = dir.Write("setup.exe", "x");
  const fs::path not_a_key = dir.Write("key.pem", "not a key");
  const std::string script = Quote(kScript.string());
  for (const std::string& command : {
           SignCommand(not_a_key, installer, "2.0"),
           SignCommand(kDemoKey, dir.path() / "missing", "2.0"),
           // No version: the signature would say nothing about what it is offered as.
           script + " " + Quote(kDemoKey.string()) + " " + Quote(installer.string()),
           script + " " + Quote(kDemoKey.string()),
           SignCommand(kDemoKey, installer, "2.0\nsha256=" + std::string(64, '0')),
           SignCommand(kDemoKey, installer, "2.0\r"), SignCommand(kDemoKey, installer, ""),
           SignCommand(kDemoKey, installer, "2.0 \xd5\xfd"),  // GBK, not UTF-8
       }) {
    EXPECT_NE(RunCommand(command).second, 0) << command;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace kam::update

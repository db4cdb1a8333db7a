// The updater's upgrade with every real part but the window: the libcurl transfer from the real
// demo server (or an https site) on loopback, the libcrypto checks, real files in a temporary
// program directory. Only a signed installer is started.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "build_config.h"
#include "common/atomic_file.h"
#include "demo/installer_signer.h"
#include "tests/support/demo_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tls/tls_site.h"
#include "update/curl_transport.h"
#include "update/updater_fakes.h"
#include "update/updater_system.h"
#include "update/verify/signature_check.h"

namespace kam::update {
namespace {

using namespace fakes;
using demo::InstallerSigner;
using kam::testing::DemoServer;
using kam::testing::TempDir;
using kam::testing::TlsSite;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

std::string InstallerBytes() {
  std::string bytes = "#!/bin/sh\nexit 0\n";
  std::mt19937 random(7);
  while (bytes.size() < 300000) bytes.push_back(static_cast<char>(random() & 0xff));
  return bytes;
}

// One upgrade click against a site, with the flow's window and system faked.
struct Outcome {
  Log log;
  std::vector<std::string> errors;
  double seconds = 0;
  std::optional<std::string> started_bytes;  // the file the start saw
};

class SignedUpgrade : public ::testing::Test {
 protected:
  SignedUpgrade() : signer_(InstallerSigner::Generate()) {
    site_.Write("sela_pid_uid.exe", InstallerBytes());
  }

  Outcome Upgrade(const std::string& site_address, const std::string& key_hex,
                  fs::path ca_file = {}) {
    Outcome run;
    FakeView view(run.log);
    // Records the installer's bytes at the moment it is started.
    class StartingSystem : public FakeSystem {
     public:
      StartingSystem(Log& log, Outcome& run) : FakeSystem(log), run_(run) {}
      bool StartProgram(const fs::path& program) override {
        run_.started_bytes = ReadFileBytes(program);
        return FakeSystem::StartProgram(program);
      }
      Outcome& run_;
    } system(run.log, run);
    system.settings["kampeizhi/wangzhan"] = site_address;
    CurlTransport transport(std::move(ca_file));
    SystemTickClock clock;
    ScriptedPump pump;
    LibcryptoInstallerChecks checks(key_hex);
    Updater updater(view, system, transport, clock, pump, checks, program_dir_.path());
    EXPECT_TRUE(updater.Start("2.0.1###shengji###").show);
    run.log.clear();
    const auto start = Clock::now();
    updater.OnUpgradeClicked();
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.errors = system.errors;
    return run;
  }

  void ExpectRefused(const Outcome& run, const std::string& why) {
    EXPECT_THAT(run.log, ElementsAre("close window"));
    EXPECT_FALSE(run.started_bytes.has_value());
    EXPECT_TRUE(fs::is_empty(program_dir_.path())) << "the program directory keeps a file";
    ASSERT_EQ(run.errors.size(), 1u);
    EXPECT_THAT(run.errors[0], HasSubstr(why));
  }

  void ExpectStarted(const Outcome& run) {
    EXPECT_THAT(run.log, ElementsAre("kill kamplayer.exe",
                                     "start " + (program_dir_.path() / kInstallerName).string(),
                                     "write Version/Version=2.0.1", "kill update.exe", "end 0"));
    EXPECT_EQ(run.started_bytes, InstallerBytes());
    EXPECT_TRUE(run.errors.empty()) << run.errors.front();
  }

  // The site's own files, no signing server: a missing .sig stays missing.
  DemoServer& Server() {
    if (!server_) {
      server_ = std::make_unique<DemoServer>(DemoServer::kAnyPort, site_.path(),
                                             std::vector<std::string>{"--installer-key", ""});
      EXPECT_TRUE(server_->ok()) << server_->error();
    }
    return *server_;
  }

  InstallerSigner signer_;
  TempDir site_;
  TempDir program_dir_;
  std::unique_ptr<DemoServer> server_;
};

TEST_F(SignedUpgrade, DemoSiteSignsItsInstallerWithTheDemoKey) {
  DemoServer demo(DemoServer::kAnyPort, site_.path());
  ASSERT_TRUE(demo.ok()) << demo.error();
  ExpectStarted(Upgrade(demo.BaseUrl(), kam::build::kDemoUpdatePublicKey));
}

TEST_F(SignedUpgrade, DemoSiteSignatureDoesNotPassAnotherKey) {
  DemoServer demo(DemoServer::kAnyPort, site_.path());
  ASSERT_TRUE(demo.ok()) << demo.error();
  ExpectRefused(Upgrade(demo.BaseUrl(), signer_.PublicKeyHex()), "wrong");
}

TEST_F(SignedUpgrade, SignatureFileBesideTheInstallerIsChecked) {
  site_.Write("sela_pid_uid.exe.sig", "\r\n  " + signer_.SignatureText(InstallerBytes()) + "\n");
  ExpectStarted(Upgrade(Server().BaseUrl(), signer_.PublicKeyHex()));
}

struct BadSignature {
  const char* what;
  std::string file;  // the .sig the site holds; empty: none
  const char* mode;  // a misbehaviour of the .sig route, or nullptr
  const char* why;   // in the log line
};

TEST_F(SignedUpgrade, BadSignaturesDeleteTheInstallerAndStartNothing) {
  std::string binary(64, '\0');
  std::mt19937 random(3);
  for (char& c : binary) c = static_cast<char>(random() & 0xff);
  const std::string good = signer_.SignatureText(InstallerBytes());
  const BadSignature cases[] = {
      {"wrong", InstallerSigner::Generate().SignatureText(InstallerBytes()), nullptr, "wrong"},
      {"of other bytes", signer_.SignatureText("other"), nullptr, "wrong"},
      {"missing", "", nullptr, "no signature"},
      {"server error", good, "500", "no signature"},
      {"binary", binary, nullptr, "malformed"},
      {"empty", good, "zero-length", "malformed"},
      {"cut short", good, "cut", "no signature"},
      {"cut short as it ends", good.substr(0, 60), "until-close", "malformed"},
      {"huge, announced", std::string(8 << 20, 'A'), nullptr, "longer than 1024 bytes"},
      {"huge, unannounced", std::string(8 << 20, 'A'), "chunked", "longer than 1024 bytes"},
  };
  for (const BadSignature& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path sig = site_.path() / "sela_pid_uid.exe.sig";
    fs::remove(sig);
    if (!c.file.empty()) site_.Write("sela_pid_uid.exe.sig", c.file);
    Server().BehaveAll();
    if (c.mode != nullptr) {
      ASSERT_TRUE(Server().Misbehave("/sela_pid_uid.exe.sig", c.mode));
    }
    const Outcome run = Upgrade(Server().BaseUrl(), signer_.PublicKeyHex());
    ExpectRefused(run, c.why);
    std::printf("[ figure ] %-22s refused in %.3f s\n", c.what, run.seconds);
  }
}

TEST_F(SignedUpgrade, WithoutAKeyTheUnsignedInstallerRuns) {
  ExpectStarted(Upgrade(Server().BaseUrl(), ""));
}

TEST_F(SignedUpgrade, HttpsSiteThatRedirectsTheInstallerToHttpStartsNothing) {
  site_.Write("sela_pid_uid.exe.sig", signer_.SignatureText(InstallerBytes()));
  TlsSite secure(site_.path());
  ASSERT_TRUE(secure.ok());
  // The same site over https works end to end...
  ExpectStarted(Upgrade(secure.Url(""), signer_.PublicKeyHex(), TlsSite::CaFile()));
  fs::remove(program_dir_.path() / kInstallerName);
  // ...but not once it sends the installer or its signature over plain http.
  for (const char* path : {"/sela_pid_uid.exe", "/sela_pid_uid.exe.sig"}) {
    SCOPED_TRACE(path);
    TlsSite redirecting(site_.path());
    redirecting.Redirect(path, Server().Url(path));
    const Outcome run = Upgrade(redirecting.Url(""), signer_.PublicKeyHex(), TlsSite::CaFile());
    EXPECT_THAT(run.log, ElementsAre("close window"));
    EXPECT_FALSE(run.started_bytes.has_value());
    EXPECT_TRUE(fs::is_empty(program_dir_.path()));
  }
}

}  // namespace
}  // namespace kam::update

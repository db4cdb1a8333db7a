// The updater's upgrade with every real part but the window: the libcurl transfer from the real
// demo server (or an https site) on loopback, the libcrypto checks, real files in a temporary
// program directory. Only a signed installer is started.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>

#include "build_config.h"
#include "common/atomic_file.h"
#include "common/code_page.h"
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

constexpr char kOffered[] = "2.0.1";

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
  // From the end of the installer's download to the refusal, when it was refused.
  std::optional<double> refused_after_download;
  std::optional<std::string> started_bytes;  // the file the start saw
};

// What an upgrade click is made with besides the site and the key.
struct UpgradeSetup {
  std::string offered = kOffered;
  InstallerLimits limits;
  fs::path ca_file;
};

// The real transport, noting when the installer's download ended.
class TimedTransport : public BindingTransport {
 public:
  explicit TimedTransport(fs::path ca_file) : transport_(std::move(ca_file)) {}
  bool Transfer(const std::string& url, const fs::path& destination, const TransferOptions& options,
                const std::function<bool(const ProgressNotification&)>& notify) override {
    const bool ok = transport_.Transfer(url, destination, options, notify);
    if (!installer_end) installer_end = Clock::now();
    return ok;
  }
  std::optional<Clock::time_point> installer_end;

 private:
  CurlTransport transport_;
};

class SignedUpgrade : public ::testing::Test {
 protected:
  SignedUpgrade() : signer_(InstallerSigner::Generate()) {
    site_.Write("sela_pid_uid.exe", InstallerBytes());
    OfferOnSite(kOffered);
  }

  // What the site's settings texts offer, which the demo server signs its installer for.
  void OfferOnSite(const std::string& version) {
    site_.Write("kam/kam.txt", "[ver]\r\nver=" + Utf8ToGbk(version) + "\r\n");
  }

  Outcome Upgrade(const std::string& site_address, const std::string& key_hex,
                  const UpgradeSetup& setup = {}) {
    Outcome run;
    FakeView view(run.log);
    // Records the installer's bytes at the moment it is started, and when a refusal came.
    class StartingSystem : public FakeSystem {
     public:
      StartingSystem(Log& log, Outcome& run) : FakeSystem(log), run_(run) {}
      bool StartProgram(const fs::path& program) override {
        run_.started_bytes = ReadFileBytes(program);
        return FakeSystem::StartProgram(program);
      }
      void ReportError(const std::string& message) override {
        refused = Clock::now();
        FakeSystem::ReportError(message);
      }
      Outcome& run_;
      std::optional<Clock::time_point> refused;
    } system(run.log, run);
    system.settings["kampeizhi/wangzhan"] = site_address;
    TimedTransport transport(setup.ca_file);
    SystemTickClock clock;
    ScriptedPump pump;
    LibcryptoInstallerChecks checks(key_hex);
    Updater updater(view, system, transport, clock, pump, checks, program_dir_.path());
    updater.SetInstallerLimits(setup.limits);
    EXPECT_TRUE(updater.Start(setup.offered + "###shengji###").show);
    run.log.clear();
    const auto start = Clock::now();
    updater.OnUpgradeClicked();
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.errors = system.errors;
    if (system.refused && transport.installer_end) {
      run.refused_after_download =
          std::chrono::duration<double>(*system.refused - *transport.installer_end).count();
    }
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
    EXPECT_TRUE(run.started_bytes == InstallerBytes()) << "the started file is not the installer";
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

// A downgrade: what the site signed for 1.0 offered as the newest version.
TEST_F(SignedUpgrade, DemoSiteSignatureForTheVersionItsSettingsOfferPassesNoOther) {
  OfferOnSite("1.0");
  DemoServer demo(DemoServer::kAnyPort, site_.path());
  ASSERT_TRUE(demo.ok()) << demo.error();
  ExpectRefused(Upgrade(demo.BaseUrl(), kam::build::kDemoUpdatePublicKey), "wrong");
  UpgradeSetup offered_1_0;
  offered_1_0.offered = "1.0";
  const Outcome run = Upgrade(demo.BaseUrl(), kam::build::kDemoUpdatePublicKey, offered_1_0);
  EXPECT_THAT(run.log, ElementsAre("kill kamplayer.exe",
                                   "start " + (program_dir_.path() / kInstallerName).string(),
                                   "write Version/Version=1.0", "kill update.exe", "end 0"));
}

TEST_F(SignedUpgrade, SignatureFileBesideTheInstallerIsChecked) {
  site_.Write("sela_pid_uid.exe.sig",
              "\r\n  " + signer_.UpdateSignatureText(kOffered, InstallerBytes()) + "\n");
  ExpectStarted(Upgrade(Server().BaseUrl(), signer_.PublicKeyHex()));
}

// The Chinese version travels as UTF-8 from the settings texts (GBK) to the signature.
TEST_F(SignedUpgrade, VersionInChineseWithBlanksAndHashesIsSignedAsOffered) {
  // (A version holding "###", or ending in "#", cannot cross the updater's command line.)
  const std::string version = "2.0 正式版 #1";
  OfferOnSite(version);
  DemoServer demo(DemoServer::kAnyPort, site_.path());
  ASSERT_TRUE(demo.ok()) << demo.error();
  UpgradeSetup setup;
  setup.offered = version;
  const Outcome run = Upgrade(demo.BaseUrl(), kam::build::kDemoUpdatePublicKey, setup);
  EXPECT_TRUE(run.errors.empty()) << run.errors.front();
  EXPECT_TRUE(run.started_bytes == InstallerBytes()) << "the started file is not the installer";
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
  const std::string good = signer_.UpdateSignatureText(kOffered, InstallerBytes());
  const BadSignature cases[] = {
      {"wrong", InstallerSigner::Generate().UpdateSignatureText(kOffered, InstallerBytes()),
       nullptr, "wrong"},
      {"of other bytes", signer_.UpdateSignatureText(kOffered, "other"), nullptr, "wrong"},
      {"of the bytes alone", signer_.SignatureText(InstallerBytes()), nullptr, "wrong"},
      {"of another version", signer_.UpdateSignatureText("1.0", InstallerBytes()), nullptr,
       "wrong"},
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
    std::printf("[ figure ] %-22s refused in %.3f s, %.3f s after the download\n", c.what,
                run.seconds, run.refused_after_download.value_or(-1));
  }
}

TEST_F(SignedUpgrade, WithoutAKeyTheUnsignedInstallerRuns) {
  ExpectStarted(Upgrade(Server().BaseUrl(), ""));
}

TEST_F(SignedUpgrade, HttpsSiteThatRedirectsTheInstallerToHttpStartsNothing) {
  site_.Write("sela_pid_uid.exe.sig", signer_.UpdateSignatureText(kOffered, InstallerBytes()));
  TlsSite secure(site_.path());
  ASSERT_TRUE(secure.ok());
  // The same site over https works end to end...
  UpgradeSetup over_tls;
  over_tls.ca_file = TlsSite::CaFile();
  ExpectStarted(Upgrade(secure.Url(""), signer_.PublicKeyHex(), over_tls));
  fs::remove(program_dir_.path() / kInstallerName);
  // ...but not once it sends the installer or its signature over plain http.
  for (const char* path : {"/sela_pid_uid.exe", "/sela_pid_uid.exe.sig"}) {
    SCOPED_TRACE(path);
    TlsSite redirecting(site_.path());
    redirecting.Redirect(path, Server().Url(path));
    const Outcome run = Upgrade(redirecting.Url(""), signer_.PublicKeyHex(), over_tls);
    EXPECT_THAT(run.log, ElementsAre("close window"));
    EXPECT_FALSE(run.started_bytes.has_value());
    EXPECT_TRUE(fs::is_empty(program_dir_.path()));
  }
}

// The figure: how long after the demo installer has arrived its refused signature is known
// (the signature's fetch and check; the digest is ready as the download ends).
TEST_F(SignedUpgrade, RefusalOfTheDemoInstallerAfterItsDownload) {
  const fs::path built = fs::path(kam::build::kBuildDir) / "installer" / "sela_pid_uid.exe";
  if (!fs::exists(built)) GTEST_SKIP() << "build the kam_installer target first";
  OfferOnSite("1.0");
  DemoServer demo(DemoServer::kAnyPort, site_.path(),
                  std::vector<std::string>{"--installer", built.string()});
  ASSERT_TRUE(demo.ok()) << demo.error();
  for (int i = 0; i < 5; ++i) {
    const Outcome run = Upgrade(demo.BaseUrl(), kam::build::kDemoUpdatePublicKey);
    ExpectRefused(run, "wrong");
    ASSERT_TRUE(run.refused_after_download.has_value());
    std::printf(
        "[ figure ] demo installer of %ju bytes: refused %.1f ms after its download "
        "(%.1f ms in all)\n",
        static_cast<std::uintmax_t>(fs::file_size(built)), *run.refused_after_download * 1000,
        run.seconds * 1000);
  }
}

// A former installer stays as it was, and no part of the new one is left beside it.
TEST_F(SignedUpgrade, InstallerPastTheLimitsIsRefusedCleanly) {
  site_.Write("sela_pid_uid.exe.sig", signer_.UpdateSignatureText(kOffered, InstallerBytes()));
  const auto size = static_cast<std::int64_t>(InstallerBytes().size());
  struct Case {
    const char* what;
    InstallerLimits limits;
    const char* mode;  // of the installer's route
    const char* params;
  };
  const Case cases[] = {
      {"one byte too large, announced", {size - 1, kInstallerTimeLimit}, nullptr, ""},
      {"one byte too large, unannounced", {size - 1, kInstallerTimeLimit}, "chunked", ""},
      // It would take 15 s.
      {"slower than the time limit",
       {kMaxInstallerBytes, std::chrono::milliseconds(800)},
       "slow",
       "rate=20000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteFileAtomically(program_dir_.path() / kInstallerName, "former installer"));
    Server().BehaveAll();
    if (c.mode != nullptr) {
      ASSERT_TRUE(Server().Misbehave("/sela_pid_uid.exe", c.mode, c.params));
    }
    UpgradeSetup setup;
    setup.limits = c.limits;
    const Outcome run = Upgrade(Server().BaseUrl(), signer_.PublicKeyHex(), setup);
    EXPECT_THAT(run.log, ElementsAre("close window"));
    EXPECT_FALSE(run.started_bytes.has_value());
    EXPECT_EQ(ReadFileBytes(program_dir_.path() / kInstallerName), "former installer");
    EXPECT_EQ(std::distance(fs::directory_iterator(program_dir_.path()), fs::directory_iterator()),
              1);
  }
  // At the limits it runs.
  fs::remove(program_dir_.path() / kInstallerName);
  Server().BehaveAll();
  UpgradeSetup at_limit;
  at_limit.limits.max_bytes = size;
  ExpectStarted(Upgrade(Server().BaseUrl(), signer_.PublicKeyHex(), at_limit));
}

}  // namespace
}  // namespace kam::update

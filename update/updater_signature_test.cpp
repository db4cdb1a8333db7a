// The upgrade with a publisher's key built in: the signature is fetched beside the installer,
// and only an installer whose signature passes is started and recorded.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "update/updater_fakes.h"
#include "update/updater_flow.h"

namespace kam::update {
namespace {

using namespace fakes;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

const char kInstallerUrl[] = "http://127.0.0.1:18731/sela_pid_uid.exe";

class SignedUpgradeTest : public UpdaterTest {
 protected:
  void ExpectRefused(const std::string& why) {
    EXPECT_THAT(log, ElementsAre("close window"));
    EXPECT_FALSE(fs::exists(dir.path() / kInstallerName));
    EXPECT_FALSE(fs::exists(dir.path() / "sela_pid_uid.exe.sig"));
    ASSERT_EQ(system.errors.size(), 1u);
    EXPECT_THAT(system.errors[0], HasSubstr(why));
  }
  static std::vector<std::string> Files(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
};

TEST_F(SignedUpgradeTest, GoodSignatureOfTheOfferedVersionAndTheDownloadsDigestLetsItRun) {
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_THAT(transport.urls, ElementsAre(kInstallerUrl, std::string(kInstallerUrl) + ".sig"));
  // Only the installer is digested, from the bytes as they arrived.
  EXPECT_THAT(checks.digested, ElementsAre(transport.body));
  ASSERT_EQ(checks.checked.size(), 1u);
  EXPECT_EQ(checks.checked[0].version, "2.0.1");
  EXPECT_EQ(checks.checked[0].sha256, checks.digest);
  EXPECT_EQ(checks.checked[0].signature_text, *transport.signature);
  EXPECT_THAT(log, ElementsAre("kill kamplayer.exe", "start " + Installer(),
                               "write Version/Version=2.0.1", "kill update.exe", "end 0"));
  // The signature file does not stay behind.
  EXPECT_THAT(Files(dir.path()), ElementsAre(kInstallerName));
  EXPECT_THAT(system.errors, IsEmpty());
}

TEST_F(SignedUpgradeTest, RefusedVerdictsDeleteTheInstallerAndSayWhy) {
  for (SignatureVerdict verdict : {SignatureVerdict::kWrong, SignatureVerdict::kMalformed,
                                   SignatureVerdict::kBadVersion, SignatureVerdict::kBadKey}) {
    SCOPED_TRACE(std::string(SignatureVerdictName(verdict)));
    Log run_log;
    FakeView run_view(run_log);
    FakeSystem run_system(run_log);
    run_system.settings = system.settings;
    FakeChecks run_checks;
    run_checks.verdict = verdict;
    Updater run(run_view, run_system, transport, clock, pump, run_checks, dir.path());
    ASSERT_TRUE(run.Start("2.0.1###shengji###").show);
    run_log.clear();
    run.OnUpgradeClicked();
    EXPECT_THAT(run_log, ElementsAre("close window"));
    EXPECT_FALSE(fs::exists(dir.path() / kInstallerName));
    ASSERT_EQ(run_system.errors.size(), 1u);
    EXPECT_THAT(run_system.errors[0], HasSubstr(std::string(SignatureVerdictName(verdict))));
  }
}

TEST_F(SignedUpgradeTest, MissingSignatureDeletesTheInstaller) {
  transport.signature.reset();
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_THAT(checks.checked, IsEmpty());
  ExpectRefused("no signature");
}

TEST_F(SignedUpgradeTest, AnnouncedHugeSignatureIsCutOffAtItsFirstNotification) {
  transport.signature = std::string(1 << 20, 'A');
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_EQ(transport.notifications, 3);  // two for the installer, one for the signature
  EXPECT_THAT(checks.checked, IsEmpty());
  ExpectRefused("longer than 1024 bytes");
}

TEST_F(SignedUpgradeTest, SignatureGrowingPastTheLimitIsCutOff) {
  transport.signature = std::string(4096, 'A');
  transport.announce_signature_size = false;
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_EQ(transport.notifications, 3);  // 2048 bytes without a total is past the limit
  ExpectRefused("longer than 1024 bytes");
}

TEST_F(SignedUpgradeTest, SignatureFileLongerThanTheLimitIsNotRead) {
  // A transfer whose notifications stayed under the limit but whose file did not.
  class QuietTransport : public BindingTransport {
   public:
    bool Transfer(const std::string& url, const fs::path& destination, const TransferOptions&,
                  const std::function<bool(const ProgressNotification&)>&) override {
      std::ofstream(destination, std::ios::binary)
          << (url.ends_with(".sig") ? std::string(kMaxSignatureBytes + 1, 'A') : "installer");
      return true;
    }
  } quiet;
  Updater run(view, system, quiet, clock, pump, checks, dir.path());
  ASSERT_TRUE(run.Start("2.0.1###shengji###").show);
  log.clear();
  run.OnUpgradeClicked();
  EXPECT_THAT(checks.checked, IsEmpty());
  ExpectRefused("longer than 1024 bytes");
}

TEST_F(SignedUpgradeTest, SignatureAtTheLimitIsChecked) {
  transport.signature = std::string(kMaxSignatureBytes, ' ');
  checks.verdict = SignatureVerdict::kMalformed;
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  ASSERT_EQ(checks.checked.size(), 1u);
  EXPECT_EQ(checks.checked[0].signature_text.size(), static_cast<std::size_t>(kMaxSignatureBytes));
  ExpectRefused("malformed");
}

TEST_F(SignedUpgradeTest, SignatureProgressLeavesTheBarAtTheInstallersEnd) {
  transport.body = std::string(1024, 'x');
  transport.signature = std::string(88, 'A');
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_THAT(view.bar_values, ElementsAre(50.0f, 100.0f));
  EXPECT_EQ(view.texts[Control::kLabel5], "100.00%");
}

TEST_F(SignedUpgradeTest, CancelWhileTheSignatureArrivesDeletesTheInstallerQuietly) {
  StartWith("2.0.1###shengji###");
  pump.actions = {[] {}, [] {}, [&] { updater.OnCancelClicked(); }};
  updater.OnUpgradeClicked();
  EXPECT_EQ(transport.transfers, 2);
  EXPECT_THAT(log, ElementsAre("close window"));
  EXPECT_THAT(Files(dir.path()), IsEmpty());
  EXPECT_THAT(system.errors, IsEmpty());
}

TEST_F(SignedUpgradeTest, SecondClickWhileTheSignatureArrivesDeletesTheInstaller) {
  StartWith("2.0.1###shengji###");
  pump.actions = {[] {}, [] {}, [&] { updater.OnUpgradeClicked(); }};
  updater.OnUpgradeClicked();
  EXPECT_EQ(transport.transfers, 2);
  EXPECT_THAT(log, ElementsAre("close window"));
  EXPECT_THAT(Files(dir.path()), IsEmpty());
}

TEST_F(SignedUpgradeTest, TitleBarCloseWhileTheSignatureArrivesDeletesTheInstaller) {
  StartWith("2.0.1###shengji###");
  pump.actions = {[] {}, [] {}, [&] { updater.OnTitleBarClose(); }};
  updater.OnUpgradeClicked();
  EXPECT_THAT(log, ElementsAre("end 0"));
  EXPECT_THAT(Files(dir.path()), IsEmpty());
}

TEST_F(SignedUpgradeTest, WithoutAKeyNoSignatureIsFetched) {
  checks.has_key = false;
  transport.signature.reset();
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_THAT(transport.urls, ElementsAre(kInstallerUrl));
  EXPECT_THAT(log, ElementsAre("kill kamplayer.exe", "start " + Installer(),
                               "write Version/Version=2.0.1", "kill update.exe", "end 0"));
}

TEST_F(SignedUpgradeTest, DigestIsCheckedBeforeTheSignatureIsFetched) {
  system.settings["ver/sha256"] = std::string(64, 'e');
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  EXPECT_THAT(transport.urls, ElementsAre(kInstallerUrl));
  ExpectRefused("SHA-256");
}

// A backslash in the site address once made the checked file and the started file differ.
TEST_F(SignedUpgradeTest, SiteAddressWithBackslashesChecksAndStartsTheSameFile) {
  for (const char* site :
       {"http://127.0.0.1:18731\\x", "http://127.0.0.1:18731/a\\b\\", "\\\\server\\share"}) {
    SCOPED_TRACE(site);
    Log run_log;
    FakeView run_view(run_log);
    FakeSystem run_system(run_log);
    run_system.settings["kampeizhi/wangzhan"] = site;
    FakeTransport run_transport;
    FakeChecks run_checks;
    run_checks.digest = std::string(64, 'a');
    run_system.settings["ver/sha256"] = run_checks.digest;
    Updater run(run_view, run_system, run_transport, clock, pump, run_checks, dir.path());
    ASSERT_TRUE(run.Start("2.0.1###shengji###").show);
    run_log.clear();
    run.OnUpgradeClicked();
    const fs::path installer = dir.path() / kInstallerName;
    ASSERT_EQ(run_transport.destinations.size(), 2u);
    EXPECT_EQ(run_transport.destinations[0], installer);
    EXPECT_THAT(run_checks.digested, ElementsAre(run_transport.body));
    ASSERT_EQ(run_checks.checked.size(), 1u);
    EXPECT_THAT(run_log, ElementsAre("kill kamplayer.exe", "start " + installer.string(),
                                     "write Version/Version=2.0.1", "kill update.exe", "end 0"));
    fs::remove(installer);
  }
}

// The version is signed as the player sent it: no trimming, no case folding, no other encoding.
TEST_F(SignedUpgradeTest, SignatureIsAskedForTheOfferedVersionExactlyAsReceived) {
  for (const char* version : {"2.0.1", " 2.0 beta ", "2.0-正式版", "V2.0", "~~~", ""}) {
    SCOPED_TRACE(version);
    Log run_log;
    FakeView run_view(run_log);
    FakeSystem run_system(run_log);
    run_system.settings = system.settings;
    FakeChecks run_checks;
    Updater run(run_view, run_system, transport, clock, pump, run_checks, dir.path());
    ASSERT_TRUE(run.Start(std::string(version) + "###shengji###").show);
    run.OnUpgradeClicked();
    ASSERT_EQ(run_checks.checked.size(), 1u);
    EXPECT_EQ(run_checks.checked[0].version, version);
    fs::remove(dir.path() / kInstallerName);
  }
}

TEST_F(SignedUpgradeTest, InstallerIsHeldToTheLimitsAndTheSignatureIsLeftToItsOwn) {
  StartWith("2.0.1###shengji###");
  updater.OnUpgradeClicked();
  ASSERT_EQ(transport.limits.size(), 2u);
  EXPECT_EQ(transport.limits[0].max_bytes, std::int64_t{1} << 30);
  EXPECT_EQ(transport.limits[0].time_limit, std::chrono::hours(2));
  // The signature has its own byte limit, checked by the flow so that it can say why.
  EXPECT_EQ(transport.limits[1].max_bytes, 0);
}

}  // namespace
}  // namespace kam::update

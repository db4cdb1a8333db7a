#include "update/curl_transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/atomic_file.h"
#include "tests/support/demo_server.h"
#include "tests/support/temp_dir.h"

namespace kam::update {
namespace {

namespace fs = std::filesystem;
using kam::testing::DemoServer;
using kam::testing::TempDir;

std::string InstallerBytes() {
  std::string bytes = "#!/bin/sh\n";
  for (int i = 0; i < 20000; ++i) bytes += static_cast<char>('a' + i % 26);
  return bytes + "\n";
}

class CurlTransportTest : public ::testing::Test {
 protected:
  CurlTransportTest() : server_(DemoServer::kAnyPort, site_.path()) {
    site_.Write("sela_pid_uid.exe", InstallerBytes());
  }

  // Runs one transfer into the target folder, recording every notification.
  bool Run(const std::string& url, std::function<bool(const ProgressNotification&)> extra = {},
           const TransferOptions& options = {}) {
    CurlTransport transport;
    return transport.Transfer(url, Target(), options, [&](const ProgressNotification& n) {
      seen_.push_back(n);
      return extra ? extra(n) : true;
    });
  }
  fs::path Target() const { return target_dir_.path() / "sela_pid_uid.exe"; }
  std::vector<fs::path> FilesInTarget() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(target_dir_.path())) {
      files.push_back(entry.path().filename());
    }
    return files;
  }

  TempDir site_;
  DemoServer server_;
  TempDir target_dir_;
  std::vector<ProgressNotification> seen_;
};

TEST_F(CurlTransportTest, DownloadsWithBindStatusNotificationsInOrder) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  const std::string url = server_.Url("/sela_pid_uid.exe");
  ASSERT_TRUE(Run(url));
  EXPECT_EQ(ReadFileBytes(Target()), InstallerBytes());

  const auto size = static_cast<std::int64_t>(InstallerBytes().size());
  ASSERT_GE(seen_.size(), 3u);
  EXPECT_EQ(seen_.front().status, BindStatus::kFindingResource);
  EXPECT_EQ(seen_.front().text, "127.0.0.1");
  auto begin = std::find_if(seen_.begin(), seen_.end(), [](const auto& n) {
    return n.status == BindStatus::kBeginDownloadData;
  });
  ASSERT_NE(begin, seen_.end());
  EXPECT_EQ(begin->max_progress, size);
  EXPECT_EQ(begin->text, url);
  // Before the headers: finding, then connecting; after them: downloading, then one end.
  for (auto it = seen_.begin() + 1; it != begin; ++it) {
    EXPECT_EQ(it->status, BindStatus::kConnecting);
  }
  for (auto it = begin + 1; it + 1 != seen_.end(); ++it) {
    EXPECT_EQ(it->status, BindStatus::kDownloadingData);
    EXPECT_EQ(it->max_progress, size);
  }
  EXPECT_EQ(seen_.back().status, BindStatus::kEndDownloadData);
  EXPECT_EQ(seen_.back().progress, size);
  EXPECT_EQ(seen_.back().max_progress, size);
  // Progress never goes back.
  for (std::size_t i = 1; i < seen_.size(); ++i) {
    EXPECT_GE(seen_[i].progress, seen_[i - 1].progress);
  }
}

TEST_F(CurlTransportTest, FailuresLeaveTheFormerFile) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  ASSERT_TRUE(WriteFileAtomically(Target(), "former installer"));
  struct Fault {
    const char* mode;
    const char* params;
  };
  for (Fault fault : {Fault{"404", ""}, Fault{"500", ""}, Fault{"cut", "after=1000"},
                      Fault{"reset", "after=1000"}}) {
    ASSERT_TRUE(server_.Misbehave("/sela_pid_uid.exe", fault.mode, fault.params));
    EXPECT_FALSE(Run(server_.Url("/sela_pid_uid.exe"))) << fault.mode;
    EXPECT_EQ(ReadFileBytes(Target()), "former installer") << fault.mode;
    EXPECT_EQ(FilesInTarget().size(), 1u) << fault.mode;  // no temporary file left
  }
}

TEST_F(CurlTransportTest, AbortFromANotificationStopsAndLeavesNoFile) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  ASSERT_TRUE(server_.Misbehave("/sela_pid_uid.exe", "slow", "rate=20000"));
  EXPECT_FALSE(Run(server_.Url("/sela_pid_uid.exe"), [](const ProgressNotification& n) {
    return n.status != BindStatus::kDownloadingData;
  }));
  EXPECT_EQ(seen_.back().status, BindStatus::kDownloadingData);
  EXPECT_TRUE(FilesInTarget().empty());
}

TEST_F(CurlTransportTest, NotificationsKeepComingWhileTheServerIsSilent) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  ASSERT_TRUE(server_.Misbehave("/sela_pid_uid.exe", "stall", "ms=1500&after=100"));
  ASSERT_TRUE(Run(server_.Url("/sela_pid_uid.exe")));
  // While the body stood still, the window still got its turns (about ten per second).
  int still = 0;
  for (std::size_t i = 1; i < seen_.size(); ++i) {
    if (seen_[i].status == BindStatus::kDownloadingData &&
        seen_[i].progress == seen_[i - 1].progress) {
      ++still;
    }
  }
  EXPECT_GE(still, 3);
}

TEST_F(CurlTransportTest, BodyIsSeenPieceByPieceAsItIsWritten) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  ASSERT_TRUE(server_.Misbehave("/sela_pid_uid.exe", "slow", "rate=200000"));
  std::string seen;
  int pieces = 0;
  TransferOptions options;
  options.on_body = [&](std::string_view bytes) {
    seen.append(bytes);
    ++pieces;
  };
  ASSERT_TRUE(Run(server_.Url("/sela_pid_uid.exe"), {}, options));
  EXPECT_TRUE(seen == InstallerBytes()) << seen.size() << " bytes seen";
  EXPECT_GT(pieces, 1);
}

struct LimitCase {
  const char* what;
  std::int64_t max_bytes;  // from the body's size
  const char* mode;
  const char* params;
  bool ok;
};

TEST_F(CurlTransportTest, BodyPastTheLimitFailsAndLeavesTheFormerFile) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  const auto size = static_cast<std::int64_t>(InstallerBytes().size());
  const LimitCase cases[] = {
      {"announced, one byte over", size - 1, "normal", "", false},
      {"unannounced, one byte over", size - 1, "chunked", "", false},
      {"announced, at the limit", size, "normal", "", true},
      {"unannounced, at the limit", size, "chunked", "", true},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteFileAtomically(Target(), "former installer"));
    ASSERT_TRUE(server_.Misbehave("/sela_pid_uid.exe", c.mode, c.params));
    TransferOptions options;
    options.max_bytes = c.max_bytes;
    std::int64_t seen = 0;
    options.on_body = [&](std::string_view bytes) {
      seen += static_cast<std::int64_t>(bytes.size());
    };
    EXPECT_EQ(Run(server_.Url("/sela_pid_uid.exe"), {}, options), c.ok);
    EXPECT_LE(seen, c.max_bytes);  // no piece past the limit is taken
    EXPECT_EQ(ReadFileBytes(Target()), c.ok ? InstallerBytes() : "former installer");
    EXPECT_EQ(FilesInTarget().size(), 1u);
  }
}

TEST_F(CurlTransportTest, TransferPastTheTimeLimitFailsAndLeavesTheFormerFile) {
  ASSERT_TRUE(server_.ok()) << server_.error();
  ASSERT_TRUE(WriteFileAtomically(Target(), "former installer"));
  // About 20 s at this rate, never silent for long.
  ASSERT_TRUE(server_.Misbehave("/sela_pid_uid.exe", "slow", "rate=1000"));
  TransferOptions options;
  options.time_limit = std::chrono::milliseconds(700);
  EXPECT_FALSE(Run(server_.Url("/sela_pid_uid.exe"), {}, options));
  EXPECT_EQ(ReadFileBytes(Target()), "former installer");
  EXPECT_EQ(FilesInTarget().size(), 1u);
}

TEST_F(CurlTransportTest, OnlyHttpAddressesAreFetched) {
  TempDir local;
  auto secret = local.Write("sela_pid_uid.exe", "#!/bin/sh\necho not from the site\n");
  for (const std::string& url : std::vector<std::string>{
           "file://" + secret.string(), "/sela_pid_uid.exe", "ftp://127.0.0.1/sela_pid_uid.exe"}) {
    EXPECT_FALSE(Run(url)) << url;
    EXPECT_TRUE(FilesInTarget().empty()) << url;
  }
}

TEST(HostOfUrl, Forms) {
  EXPECT_EQ(HostOfUrl("http://127.0.0.1:18731/sela_pid_uid.exe"), "127.0.0.1");
  EXPECT_EQ(HostOfUrl("https://user:pw@Example.com/a"), "Example.com");
  EXPECT_EQ(HostOfUrl("http://[::1]:80/a"), "::1");
  EXPECT_EQ(HostOfUrl("http://host"), "host");
  EXPECT_EQ(HostOfUrl("/sela_pid_uid.exe"), "/sela_pid_uid.exe");
}

}  // namespace
}  // namespace kam::update

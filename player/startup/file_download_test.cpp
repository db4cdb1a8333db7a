#include "player/startup/file_download.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "demo/big_body.h"
#include "tests/support/demo_server.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr char kFormer[] = "[ver]\r\nver=0.9\r\n";

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  demo::FillBigBody(0, bytes.data(), size);
  return bytes;
}

// Records the events and the pump's turns of one downloader in the order they happen.
class FileDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("site/upload/my2.txt", Pattern(20000));
    server_ =
        std::make_unique<testing::DemoServer>(testing::DemoServer::kAnyPort, dir_.path() / "site");
    ASSERT_TRUE(server_->ok()) << server_->error();
    target_ = dir_.Write("prog/kamplayer.db", kFormer);
    downloader_.SetTimeouts(2s, 400ms);
    downloader_.SetMessagePump([this] { ++pumps_; });
    downloader_.QueryFileInfo = [this](std::int64_t total) {
      events_.push_back("QueryFileInfo " + std::to_string(total));
    };
    downloader_.Loading = [this](std::int64_t received) {
      events_.push_back("Loading " + std::to_string(received));
    };
    downloader_.Complete = [this] { events_.push_back("Complete"); };
  }

  bool Download(bool raise_events) {
    return downloader_.DownLoadFile(server_->Url("/upload/my2.txt"), target_, false, raise_events);
  }

  testing::TempDir dir_;
  std::unique_ptr<testing::DemoServer> server_;
  fs::path target_;
  CYFDownLoadFile downloader_;
  std::vector<std::string> events_;
  int pumps_ = 0;
};

TEST_F(FileDownloadTest, EventsFollowTheChunks) {
  EXPECT_TRUE(Download(true));
  EXPECT_EQ(ReadFileBytes(target_), Pattern(20000));
  EXPECT_EQ(events_, (std::vector<std::string>{"QueryFileInfo 20000", "Loading 8192",
                                               "Loading 16384", "Loading 20000", "Complete"}));
  EXPECT_GE(pumps_, 3);  // after every chunk at least
  EXPECT_EQ(downloader_.last_result(), HttpDownloadResult::kOk);
}

TEST_F(FileDownloadTest, EventsOffRaisesNothingButStillPumps) {
  EXPECT_TRUE(Download(false));
  EXPECT_EQ(ReadFileBytes(target_), Pattern(20000));
  EXPECT_TRUE(events_.empty());
  EXPECT_GE(pumps_, 3);
}

struct BadReply {
  const char* mode;
  const char* params;
  std::vector<std::string> events;  // with events on
};

class FileDownloadBadReply : public FileDownloadTest,
                             public ::testing::WithParamInterface<BadReply> {};

TEST_P(FileDownloadBadReply, ReturnsFalseKeepsFormerFileAndCompletes) {
  ASSERT_TRUE(server_->Misbehave("/upload/my2.txt", GetParam().mode, GetParam().params));
  EXPECT_FALSE(Download(true));
  EXPECT_EQ(ReadFileBytes(target_), std::string(kFormer));
  EXPECT_EQ(events_, GetParam().events);
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(target_.parent_path())) {
    files.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(files, std::vector<std::string>{"kamplayer.db"});

  events_.clear();
  EXPECT_FALSE(Download(false));
  EXPECT_TRUE(events_.empty());
  EXPECT_EQ(ReadFileBytes(target_), std::string(kFormer));
}

INSTANTIATE_TEST_SUITE_P(
    MisbehavingServer, FileDownloadBadReply,
    ::testing::Values(
        BadReply{"404", "", {"Complete"}},
        // An error page is not the settings text: it must not take the file's place.
        BadReply{"500", "", {"Complete"}}, BadReply{"zero-length", "", {"Complete"}},
        BadReply{"chunked", "", {"Complete"}}, BadReply{"bad-length", "", {"Complete"}},
        BadReply{"cut", "after=10000", {"QueryFileInfo 20000", "Loading 8192", "Complete"}},
        BadReply{"reset", "", {"Complete"}},
        BadReply{"reset", "after=9000", {"QueryFileInfo 20000", "Loading 8192", "Complete"}},
        BadReply{"stall", "ms=20000", {"Complete"}},
        BadReply{"stall", "ms=20000&after=100", {"QueryFileInfo 20000", "Complete"}}),
    [](const ::testing::TestParamInfo<BadReply>& info) {
      std::string name = std::string(info.param.mode) + "_" + info.param.params;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

// The settings text names the site and the offered version; a server must not make the player
// write an unbounded file over it.
TEST_F(FileDownloadTest, SettingsTextPastOneMebibyteKeepsTheFormerFile) {
  ASSERT_TRUE(server_->Misbehave("/upload/my2.txt", "padded",
                                 "bytes=" + std::to_string(kMaxSettingsTextBytes + 1)));
  EXPECT_FALSE(Download(true));
  EXPECT_EQ(downloader_.last_result(), HttpDownloadResult::kTooLarge);
  EXPECT_EQ(ReadFileBytes(target_), std::string(kFormer));
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(target_.parent_path())) {
    files.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(files, std::vector<std::string>{"kamplayer.db"});
  EXPECT_EQ(events_, std::vector<std::string>{"Complete"});

  // A text of exactly the limit is still a settings text.
  ASSERT_TRUE(server_->Misbehave("/upload/my2.txt", "padded",
                                 "bytes=" + std::to_string(kMaxSettingsTextBytes)));
  EXPECT_TRUE(Download(false));
  const auto written = ReadFileBytes(target_);
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(written->size(), static_cast<std::size_t>(kMaxSettingsTextBytes));
  EXPECT_EQ(written->substr(0, 20000), Pattern(20000));
}

TEST_F(FileDownloadTest, WriteProtectedTargetFails) {
  fs::permissions(target_, fs::perms::owner_read);
  EXPECT_FALSE(Download(true));
  EXPECT_EQ(ReadFileBytes(target_), std::string(kFormer));
  EXPECT_EQ(events_, (std::vector<std::string>{"QueryFileInfo 20000", "Complete"}));
  fs::permissions(target_, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(FileDownloadTest, MissingFolderFails) {
  target_ = dir_.path() / "gone" / "kamplayer.db";
  EXPECT_FALSE(Download(true));
  EXPECT_FALSE(fs::exists(target_.parent_path()));
  EXPECT_EQ(events_.back(), "Complete");
}

TEST_F(FileDownloadTest, AddressThatIsNotHttpFailsAndCompletes) {
  EXPECT_FALSE(downloader_.DownLoadFile("file:///etc/hostname", target_, false, true));
  EXPECT_EQ(events_, std::vector<std::string>{"Complete"});
  EXPECT_EQ(ReadFileBytes(target_), std::string(kFormer));
}

TEST_F(FileDownloadTest, PumpRunsWhileTheServerIsSilent) {
  // One second of silence under the default 30 s stall limit: the window must not freeze.
  downloader_.SetTimeouts(2s, 30s);
  ASSERT_TRUE(server_->Misbehave("/upload/my2.txt", "stall", "ms=1000"));
  EXPECT_TRUE(Download(false));
  EXPECT_GE(pumps_, 4 + 3);  // about ten turns in the silent second, plus one per chunk
}

TEST_F(FileDownloadTest, PumpMayStartAnotherDownloadOnTheSameObject) {
  // A menu command handled inside the pump runs the manual check's download on this object.
  const auto second = dir_.path() / "prog" / "second.db";
  bool nested_result = false;
  bool nested = false;
  downloader_.SetMessagePump([&] {
    if (nested || events_.empty() || events_.back() != "Loading 8192") return;
    nested = true;
    nested_result = downloader_.DownLoadFile(server_->Url("/upload/my2.txt"), second, false, true);
  });
  EXPECT_TRUE(Download(true));
  EXPECT_TRUE(nested_result);
  EXPECT_EQ(ReadFileBytes(target_), Pattern(20000));
  EXPECT_EQ(ReadFileBytes(second), Pattern(20000));
  // The nested call's events come between the outer call's first chunk and its second.
  EXPECT_EQ(events_,
            (std::vector<std::string>{"QueryFileInfo 20000", "Loading 8192", "QueryFileInfo 20000",
                                      "Loading 8192", "Loading 16384", "Loading 20000", "Complete",
                                      "Loading 16384", "Loading 20000", "Complete"}));
}

}  // namespace
}  // namespace kam

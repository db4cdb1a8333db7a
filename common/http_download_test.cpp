#include "common/http_download.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
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
using Clock = std::chrono::steady_clock;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  demo::FillBigBody(0, bytes.data(), size);
  return bytes;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

// A port on loopback that nothing listens on (bound once, then released).
int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  socklen_t size = sizeof(addr);
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &size);
  close(fd);
  return ntohs(addr.sin_port);
}

// Each test has its own server on a free port, with its site in a temporary folder, and a
// target folder holding a former settings file.
class HttpDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    site_ = dir_.path() / "site";
    dir_.Write("site/data.bin", Pattern(20000));
    dir_.Write("site/index.html", "<!DOCTYPE html><title>x</title>");
    server_ = std::make_unique<testing::DemoServer>(testing::DemoServer::kAnyPort, site_);
    ASSERT_TRUE(server_->ok()) << server_->error();
    target_ = dir_.Write("out/kamplayer.db", kFormer);
  }

  HttpDownloadOptions FastOptions(bool require_length) const {
    HttpDownloadOptions options;
    options.require_content_length = require_length;
    options.stall_timeout = 400ms;
    options.connect_timeout = 2000ms;
    return options;
  }

  void ExpectFormerFileAlone() const {
    EXPECT_EQ(ReadFileBytes(target_), std::string(kFormer));
    EXPECT_EQ(FilesIn(target_.parent_path()), std::vector<std::string>{"kamplayer.db"});
  }

  static constexpr const char kFormer[] = "[kampeizhi]\r\nwangzhan=http://former\r\n";
  testing::TempDir dir_;
  fs::path site_;
  fs::path target_;
  std::unique_ptr<testing::DemoServer> server_;
};

TEST_F(HttpDownloadTest, WholeBodyReplacesTargetInEightKilobyteChunks) {
  std::vector<std::int64_t> chunks;
  std::vector<std::pair<long, std::int64_t>> headers;
  HttpDownloadCallbacks callbacks;
  callbacks.on_headers = [&](long status, std::int64_t length) {
    headers.emplace_back(status, length);
    return true;
  };
  callbacks.on_chunk = [&](std::int64_t received) {
    chunks.push_back(received);
    return true;
  };
  EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target_, FastOptions(true), callbacks),
            HttpDownloadResult::kOk);
  EXPECT_EQ(ReadFileBytes(target_), Pattern(20000));
  EXPECT_EQ(chunks, (std::vector<std::int64_t>{8192, 16384, 20000}));
  EXPECT_EQ(headers, (std::vector<std::pair<long, std::int64_t>>{{200, 20000}}));
  EXPECT_EQ(FilesIn(target_.parent_path()), std::vector<std::string>{"kamplayer.db"});
}

TEST_F(HttpDownloadTest, LargeBodyArrivesInOrder) {
  const std::size_t size = 3 * 1024 * 1024 + 17;
  ASSERT_EQ(HttpDownloadToFile(server_->Url("/__big?bytes=" + std::to_string(size)), target_,
                               FastOptions(true)),
            HttpDownloadResult::kOk);
  EXPECT_EQ(ReadFileBytes(target_), Pattern(size));
}

// What a caller hashes as the body streams in is what it later runs: the pieces, joined, are the
// target's bytes, over a redirect and a body larger than libcurl's buffer.
TEST_F(HttpDownloadTest, BodyPiecesAreExactlyTheTargetsBytes) {
  const std::size_t size = 1024 * 1024 + 5;
  dir_.Write("site/big.bin", Pattern(size));
  ASSERT_TRUE(server_->Misbehave("/moved.bin", "redirect", "to=/big.bin"));
  std::string seen;
  HttpDownloadCallbacks callbacks;
  callbacks.on_body = [&](std::string_view bytes) {
    seen.append(bytes);
    return true;
  };
  ASSERT_EQ(HttpDownloadToFile(server_->Url("/moved.bin"), target_, FastOptions(true), callbacks),
            HttpDownloadResult::kOk);
  EXPECT_EQ(ReadFileBytes(target_), Pattern(size));
  EXPECT_TRUE(seen == Pattern(size)) << seen.size() << " bytes seen";
}

TEST_F(HttpDownloadTest, BodyCallbackCanRefuseAPieceBeforeItIsWritten) {
  std::int64_t seen = 0;
  HttpDownloadCallbacks callbacks;
  callbacks.on_body = [&](std::string_view bytes) {
    if (seen + static_cast<std::int64_t>(bytes.size()) > 10000) return false;
    seen += static_cast<std::int64_t>(bytes.size());
    return true;
  };
  EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target_, FastOptions(true), callbacks),
            HttpDownloadResult::kAborted);
  ExpectFormerFileAlone();
}

struct Failure {
  const char* mode;
  const char* params;
  bool require_length;
  HttpDownloadResult expected;
};

class HttpDownloadFailure : public HttpDownloadTest,
                            public ::testing::WithParamInterface<Failure> {};

TEST_P(HttpDownloadFailure, KeepsFormerFileAndSaysWhy) {
  const Failure& failure = GetParam();
  ASSERT_TRUE(server_->Misbehave("/data.bin", failure.mode, failure.params));
  bool headers_seen = false;
  HttpDownloadCallbacks callbacks;
  callbacks.on_headers = [&](long, std::int64_t) { return headers_seen = true; };
  const auto start = Clock::now();
  const auto result = HttpDownloadToFile(server_->Url("/data.bin"), target_,
                                         FastOptions(failure.require_length), callbacks);
  EXPECT_EQ(HttpDownloadResultName(result), HttpDownloadResultName(failure.expected));
  ExpectFormerFileAlone();
  // Replies that are refused on their headers never reach the caller's header callback.
  if (failure.expected == HttpDownloadResult::kHttpError ||
      failure.expected == HttpDownloadResult::kBadContentLength) {
    EXPECT_FALSE(headers_seen);
  }
  // The server would stall for 20 s; the stall timeout (0.4 s) must end the call long before.
  EXPECT_LT(Clock::now() - start, 10s);
}

INSTANTIATE_TEST_SUITE_P(
    MisbehavingServer, HttpDownloadFailure,
    ::testing::Values(Failure{"404", "", false, HttpDownloadResult::kHttpError},
                      Failure{"500", "", false, HttpDownloadResult::kHttpError},
                      Failure{"status", "code=503", false, HttpDownloadResult::kHttpError},
                      Failure{"redirect", "to=/missing.bin", false, HttpDownloadResult::kHttpError},
                      Failure{"zero-length", "", true, HttpDownloadResult::kBadContentLength},
                      Failure{"chunked", "", true, HttpDownloadResult::kBadContentLength},
                      Failure{"until-close", "", true, HttpDownloadResult::kBadContentLength},
                      Failure{"bad-length", "", true, HttpDownloadResult::kBadContentLength},
                      Failure{"cut", "after=1000", false, HttpDownloadResult::kIncomplete},
                      Failure{"cut", "after=0", true, HttpDownloadResult::kIncomplete},
                      Failure{"reset", "", false, HttpDownloadResult::kTransferFailed},
                      Failure{"reset", "after=9000", false, HttpDownloadResult::kTransferFailed},
                      Failure{"stall", "ms=20000", false, HttpDownloadResult::kTimedOut},
                      Failure{"stall", "ms=20000&after=9000", false,
                              HttpDownloadResult::kTimedOut}),
    [](const ::testing::TestParamInfo<Failure>& info) {
      std::string name = std::string(info.param.mode) + "_" + info.param.params +
                         (info.param.require_length ? "_required" : "");
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST_F(HttpDownloadTest, RepliesWithoutLengthAreTakenWhenNoLengthIsRequired) {
  for (const char* mode : {"chunked", "until-close"}) {
    SCOPED_TRACE(mode);
    ASSERT_TRUE(server_->Misbehave("/data.bin", mode));
    std::vector<std::int64_t> totals;
    HttpDownloadCallbacks callbacks;
    callbacks.on_headers = [&](long, std::int64_t length) {
      totals.push_back(length);
      return true;
    };
    EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target_, FastOptions(false), callbacks),
              HttpDownloadResult::kOk);
    EXPECT_EQ(ReadFileBytes(target_), Pattern(20000));
    EXPECT_EQ(totals, std::vector<std::int64_t>{-1});
  }
}

TEST_F(HttpDownloadTest, EmptyReplyMakesAnEmptyFileWhenNoLengthIsRequired) {
  ASSERT_TRUE(server_->Misbehave("/data.bin", "zero-length"));
  EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target_, FastOptions(false)),
            HttpDownloadResult::kOk);
  EXPECT_EQ(ReadFileBytes(target_), std::string());
}

TEST_F(HttpDownloadTest, FollowsRedirectsToTheFinalReply) {
  ASSERT_TRUE(server_->Misbehave("/old.bin", "redirect", "to=/data.bin"));
  EXPECT_EQ(HttpDownloadToFile(server_->Url("/old.bin"), target_, FastOptions(true)),
            HttpDownloadResult::kOk);
  EXPECT_EQ(ReadFileBytes(target_), Pattern(20000));
}

TEST_F(HttpDownloadTest, RedirectToAnotherSchemeIsRefused) {
  ASSERT_TRUE(server_->Misbehave("/old.bin", "redirect", "to=file:///etc/hostname"));
  EXPECT_NE(HttpDownloadToFile(server_->Url("/old.bin"), target_, FastOptions(false)),
            HttpDownloadResult::kOk);
  ExpectFormerFileAlone();
}

TEST_F(HttpDownloadTest, OnlyHttpAddressesAreFetched) {
  for (const std::string url : {"ftp://127.0.0.1/data.bin", "file:///etc/hostname", "",
                                "127.0.0.1/data.bin", "javascript:alert(1)"}) {
    SCOPED_TRACE(url);
    EXPECT_EQ(HttpDownloadToFile(url, target_, FastOptions(false)), HttpDownloadResult::kBadUrl);
    ExpectFormerFileAlone();
  }
  // The scheme's letter case does not matter.
  EXPECT_EQ(HttpDownloadToFile("HTTP://127.0.0.1:" + std::to_string(server_->port()) + "/data.bin",
                               target_, FastOptions(true)),
            HttpDownloadResult::kOk);
}

TEST_F(HttpDownloadTest, ClosedPortIsAConnectFailure) {
  const std::string url = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/data.bin";
  EXPECT_EQ(HttpDownloadToFile(url, target_, FastOptions(false)),
            HttpDownloadResult::kConnectFailed);
  ExpectFormerFileAlone();
}

TEST_F(HttpDownloadTest, WriteProtectedTargetIsNotReplaced) {
  fs::permissions(target_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target_, FastOptions(true)),
            HttpDownloadResult::kCannotWrite);
  ExpectFormerFileAlone();
  fs::permissions(target_, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(HttpDownloadTest, MissingFolderCreatesNothing) {
  const auto target = dir_.path() / "missing" / "kamplayer.db";
  EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target, FastOptions(true)),
            HttpDownloadResult::kCannotWrite);
  EXPECT_FALSE(fs::exists(target.parent_path()));
}

TEST_F(HttpDownloadTest, FailureWithoutFormerFileLeavesNone) {
  const auto target = dir_.path() / "out" / "new.db";
  ASSERT_TRUE(server_->Misbehave("/data.bin", "cut", "after=100"));
  EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target, FastOptions(true)),
            HttpDownloadResult::kIncomplete);
  EXPECT_FALSE(fs::exists(target));
  ExpectFormerFileAlone();
}

TEST_F(HttpDownloadTest, EachCallbackCanAbort) {
  ASSERT_TRUE(server_->Misbehave("/data.bin", "slow", "rate=40000"));
  for (int which = 0; which < 3; ++which) {
    SCOPED_TRACE(which);
    HttpDownloadCallbacks callbacks;
    callbacks.on_headers = [&](long, std::int64_t) { return which != 0; };
    callbacks.on_chunk = [&](std::int64_t) { return which != 1; };
    callbacks.on_progress = [&](std::int64_t now, std::int64_t) { return which != 2 || now == 0; };
    EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target_, FastOptions(true), callbacks),
              HttpDownloadResult::kAborted);
    ExpectFormerFileAlone();
  }
}

TEST_F(HttpDownloadTest, ProgressKeepsComingWhileTheServerIsSilent) {
  // Silent for 1 s, under a 5 s stall limit: the caller's pump must still get its turns.
  ASSERT_TRUE(server_->Misbehave("/data.bin", "stall", "ms=1000"));
  auto options = FastOptions(true);
  options.stall_timeout = 5s;
  int progress_calls = 0;
  std::int64_t last_now = -1;
  std::int64_t last_total = 0;
  HttpDownloadCallbacks callbacks;
  callbacks.on_progress = [&](std::int64_t now, std::int64_t total) {
    ++progress_calls;
    last_now = now;
    last_total = total;
    return true;
  };
  EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target_, options, callbacks),
            HttpDownloadResult::kOk);
  // About ten in that second at 100 ms; four leaves room for a loaded machine.
  EXPECT_GE(progress_calls, 4);
  EXPECT_EQ(last_now, 20000);
  EXPECT_EQ(last_total, 20000);
}

TEST_F(HttpDownloadTest, TotalLimitEndsTransfersThatNeverStallLongEnough) {
  // A trickle never trips the stall limit, and a silence shorter than it neither; the total
  // limit bounds both, from the first byte of the call.
  struct Case {
    const char* mode;
    const char* params;
  };
  for (const Case& c : {Case{"slow", "rate=3000"}, Case{"stall", "ms=20000"},
                        Case{"stall", "ms=20000&after=9000"}}) {
    SCOPED_TRACE(std::string(c.mode) + " " + c.params);
    ASSERT_TRUE(server_->Misbehave("/data.bin", c.mode, c.params));
    auto options = FastOptions(true);
    options.stall_timeout = 30s;
    options.total_timeout = 700ms;
    const auto start = Clock::now();
    EXPECT_EQ(
        HttpDownloadResultName(HttpDownloadToFile(server_->Url("/data.bin"), target_, options)),
        HttpDownloadResultName(HttpDownloadResult::kTimedOut));
    const auto took = Clock::now() - start;
    EXPECT_GE(took, 650ms);
    EXPECT_LT(took, 5s);
    ExpectFormerFileAlone();
  }
  // Under the limit the same route delivers.
  ASSERT_TRUE(server_->Misbehave("/data.bin", "slow", "rate=200000"));
  auto options = FastOptions(true);
  options.total_timeout = 5s;
  EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target_, options),
            HttpDownloadResult::kOk);
}

TEST_F(HttpDownloadTest, BodiesPastTheLimitAreRefusedAndLeaveNothingBehind) {
  constexpr std::int64_t kLimit = 1 << 20;
  // A generated body of ?bytes=N: announced through /__big, unannounced through a chunked route.
  ASSERT_TRUE(server_->Misbehave("/unsized.bin", "chunked"));
  struct Case {
    std::string path;
    bool require_length;
    HttpDownloadResult expected;
  };
  const std::string over = std::to_string(kLimit + 1);
  const std::string at = std::to_string(kLimit);
  for (const Case& c : {Case{"/__big?bytes=" + over, true, HttpDownloadResult::kTooLarge},
                        Case{"/unsized.bin?bytes=" + over, false, HttpDownloadResult::kTooLarge},
                        Case{"/__big?bytes=" + at, true, HttpDownloadResult::kOk},
                        Case{"/unsized.bin?bytes=" + at, false, HttpDownloadResult::kOk}}) {
    SCOPED_TRACE(c.path);
    ASSERT_TRUE(WriteFileAtomically(target_, kFormer));
    auto options = FastOptions(c.require_length);
    options.max_body_bytes = kLimit;
    bool headers_seen = false;
    HttpDownloadCallbacks callbacks;
    callbacks.on_headers = [&](long, std::int64_t) { return headers_seen = true; };
    EXPECT_EQ(HttpDownloadResultName(
                  HttpDownloadToFile(server_->Url(c.path), target_, options, callbacks)),
              HttpDownloadResultName(c.expected));
    if (c.expected == HttpDownloadResult::kOk) {
      EXPECT_EQ(ReadFileBytes(target_), Pattern(static_cast<std::size_t>(kLimit)));
      EXPECT_EQ(FilesIn(target_.parent_path()), std::vector<std::string>{"kamplayer.db"});
    } else {
      ExpectFormerFileAlone();
      // An announced excess is refused on the headers, before the caller hears of the reply.
      if (c.require_length) {
        EXPECT_FALSE(headers_seen);
      }
    }
  }
}

TEST_F(HttpDownloadTest, CallbackMayRunAnotherDownload) {
  // A window's pump may start a second download from inside the first one.
  const auto second = dir_.path() / "out" / "second.bin";
  HttpDownloadResult inner = HttpDownloadResult::kAborted;
  bool started = false;
  HttpDownloadCallbacks callbacks;
  callbacks.on_chunk = [&](std::int64_t) {
    if (!started) {
      started = true;
      inner = HttpDownloadToFile(server_->Url("/__big?bytes=30000"), second, FastOptions(true));
    }
    return true;
  };
  EXPECT_EQ(HttpDownloadToFile(server_->Url("/data.bin"), target_, FastOptions(true), callbacks),
            HttpDownloadResult::kOk);
  EXPECT_EQ(inner, HttpDownloadResult::kOk);
  EXPECT_EQ(ReadFileBytes(target_), Pattern(20000));
  EXPECT_EQ(ReadFileBytes(second), Pattern(30000));
}

}  // namespace
}  // namespace kam

#include "update/file_download.h"

#include <gtest/gtest.h>

#include <deque>
#include <limits>
#include <vector>

namespace kam::update {
namespace {

class FakeClock : public TickClock {
 public:
  std::uint32_t TickCount() override { return now; }
  std::uint32_t now = 0;
};

// Runs one scripted action per pump call; a pump with nothing scripted does nothing.
class ScriptedPump : public MessagePump {
 public:
  void ProcessPendingMessages() override {
    ++calls;
    if (actions.empty()) return;
    auto action = std::move(actions.front());
    actions.pop_front();
    if (action) action();
  }
  std::deque<std::function<void()>> actions;
  int calls = 0;
};

// Plays a list of notifications; each one advances the clock first. Records what notify said.
class ScriptedTransport : public BindingTransport {
 public:
  struct Step {
    ProgressNotification notification;
    std::uint32_t advance_ms = 0;
  };
  ScriptedTransport(FakeClock& clock) : clock_(clock) {}

  bool Transfer(const std::string& url, const std::filesystem::path& destination,
                const TransferOptions&,
                const std::function<bool(const ProgressNotification&)>& notify) override {
    ++transfers;
    urls.push_back(url);
    destinations.push_back(destination);
    for (const Step& step : steps) {
      clock_.now += step.advance_ms;
      if (!notify(step.notification)) {
        ++aborted;
        return false;
      }
    }
    return succeed;
  }

  std::vector<Step> steps;
  bool succeed = true;
  int transfers = 0;
  int aborted = 0;
  std::vector<std::string> urls;
  std::vector<std::filesystem::path> destinations;

 private:
  FakeClock& clock_;
};

ProgressNotification Data(std::int64_t progress, std::int64_t max) {
  return {progress, max, BindStatus::kDownloadingData, "http://h/sela_pid_uid.exe"};
}

class CFileDownloadTest : public ::testing::Test {
 protected:
  CFileDownloadTest() : transport(clock), download(transport, clock, pump) {
    download.SetOnProgress([this](const ProgressEvent& e) { events.push_back(e); });
  }
  FakeClock clock;
  ScriptedPump pump;
  ScriptedTransport transport;
  CFileDownload download;
  std::vector<ProgressEvent> events;
};

struct RateCase {
  std::int64_t delta;
  std::int64_t elapsed;
  std::int32_t expected;
};

class TransferRateTest : public ::testing::TestWithParam<RateCase> {};

TEST_P(TransferRateTest, KiBPerSecond) {
  EXPECT_EQ(TransferRate(GetParam().delta, GetParam().elapsed), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TransferRateTest,
    ::testing::Values(RateCase{102400, 100, 1000},  // 100 KiB in 100 ms
                      RateCase{8192, 0, 0},         // no time passed
                      RateCase{0, 250, 0},          //
                      RateCase{1536, 1000, 2},      // 1.5 -> 2 (halves to even)
                      RateCase{2560, 1000, 2},      // 2.5 -> 2
                      RateCase{3584, 1000, 4},      // 3.5 -> 4
                      // 2.5049 is first written as 2.50, which then rounds to 2, not 3.
                      RateCase{2565, 1000, 2},    //
                      RateCase{2580, 1000, 3},    // 2.5195 -> 2.52 -> 3
                      RateCase{-4096, 1000, -4},  // progress went back
                      // Beyond 32 bits the figure cannot be represented: 0.
                      RateCase{4'000'000'000, 1, 0}));

TEST_F(CFileDownloadTest, TwoNotificationsInOneMillisecondReportZero) {
  clock.now = 5000;
  transport.steps = {{Data(8192, 65536), 0}, {Data(16384, 65536), 0}};
  ASSERT_TRUE(download.StartDownloading("http://h/sela_pid_uid.exe", "/tmp/x"));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].speed, 0);
}

TEST_F(CFileDownloadTest, FirstNotificationIsMeasuredFromTickZero) {
  clock.now = 3'600'000;  // an hour after the system started
  transport.steps = {{Data(1'048'576, 0), 0}};
  ASSERT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].speed, 0);  // 1 MiB over an hour
}

TEST_F(CFileDownloadTest, RateUsesTheTickTakenAfterTheHandlersRan) {
  // The handler takes 100 ms; the next interval starts after it, so 100 KiB in the following
  // 100 ms reads as 1000 KiB/s, not 500.
  download.SetOnProgress([this](const ProgressEvent& e) {
    events.push_back(e);
    clock.now += 100;
  });
  clock.now = 1000;
  transport.steps = {{Data(0, 1 << 20), 0}, {Data(102400, 1 << 20), 100}};
  ASSERT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].speed, 1000);
}

TEST_F(CFileDownloadTest, LastTickAndProgressSurviveIntoTheNextTransfer) {
  clock.now = 10'000;
  transport.steps = {{Data(204800, 204800), 0}};
  ASSERT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  // The second transfer's first notification is measured against the first one's last:
  // 409600 - 204800 bytes in 200 ms.
  transport.steps = {{Data(409600, 409600), 200}};
  ASSERT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].speed, 1000);
}

TEST_F(CFileDownloadTest, PassesProgressStatusAndTextThrough) {
  transport.steps = {
      {{0, 0, BindStatus::kFindingResource, "127.0.0.1"}, 1},
      {{0, 0, BindStatus::kConnecting, "127.0.0.1"}, 1},
      {{0, 3000, BindStatus::kBeginDownloadData, "http://h/a.exe"}, 1},
      {{3000, 3000, BindStatus::kEndDownloadData, "http://h/a.exe"}, 1},
  };
  ASSERT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].status_code, 1);
  EXPECT_EQ(events[0].status_text, "127.0.0.1");
  EXPECT_EQ(events[1].status_code, 2);
  EXPECT_EQ(events[2].status_code, 4);
  EXPECT_EQ(events[2].max_progress, 3000);
  EXPECT_EQ(events[3].status_code, 6);
  EXPECT_EQ(events[3].progress, 3000);
  EXPECT_EQ(events[3].status_text, "http://h/a.exe");
  EXPECT_EQ(transport.urls, std::vector<std::string>{"http://h/a.exe"});
  EXPECT_EQ(transport.destinations[0], std::filesystem::path("/tmp/x"));
}

TEST_F(CFileDownloadTest, ProgressBeyondThirtyTwoBitsSaturates) {
  transport.steps = {{Data(std::int64_t{3} << 30, std::int64_t{4} << 30), 10}};
  ASSERT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  EXPECT_EQ(events[0].progress, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(events[0].max_progress, std::numeric_limits<std::int32_t>::max());
}

TEST_F(CFileDownloadTest, PumpsOncePerNotificationAfterTheEvent) {
  std::vector<std::size_t> events_seen_by_pump;
  for (int i = 0; i < 3; ++i) {
    pump.actions.push_back([&] { events_seen_by_pump.push_back(events.size()); });
  }
  transport.steps = {{Data(1, 3), 1}, {Data(2, 3), 1}, {Data(3, 3), 1}};
  ASSERT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  EXPECT_EQ(pump.calls, 3);
  EXPECT_EQ(events_seen_by_pump, (std::vector<std::size_t>{1, 2, 3}));
}

TEST_F(CFileDownloadTest, SecondStartWhileRunningReturnsFalseAndLeavesTheTransfer) {
  std::optional<bool> nested;
  pump.actions.push_back(
      [&] { nested = download.StartDownloading("http://h/other.exe", "/tmp/other"); });
  transport.steps = {{Data(1, 2), 1}, {Data(2, 2), 1}};
  EXPECT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  ASSERT_TRUE(nested.has_value());
  EXPECT_FALSE(*nested);
  EXPECT_EQ(transport.transfers, 1);
  EXPECT_EQ(events.size(), 2u);
}

TEST_F(CFileDownloadTest, AbortFromThePumpStopsTheTransfer) {
  bool downloading_after_abort = true;
  bool held_after_abort = false;
  pump.actions.push_back([&] {
    download.AbortDownloading();
    downloading_after_abort = download.downloading();
    held_after_abort = download.binding_held();
  });
  transport.steps = {{Data(1, 3), 1}, {Data(2, 3), 1}, {Data(3, 3), 1}};
  EXPECT_FALSE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  EXPECT_FALSE(downloading_after_abort);  // at once
  EXPECT_TRUE(held_after_abort);          // until the transfer has stopped
  EXPECT_EQ(transport.aborted, 1);
  EXPECT_EQ(events.size(), 1u);
  EXPECT_FALSE(download.downloading());
  EXPECT_FALSE(download.binding_held());
}

TEST_F(CFileDownloadTest, AbortOutsideATransferDoesNothing) {
  download.AbortDownloading();
  EXPECT_FALSE(download.downloading());
  transport.steps = {{Data(1, 1), 1}};
  EXPECT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  download.AbortDownloading();  // after the end
  EXPECT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  EXPECT_EQ(transport.aborted, 0);
}

TEST_F(CFileDownloadTest, FailedTransferReturnsFalse) {
  transport.succeed = false;
  EXPECT_FALSE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  EXPECT_FALSE(download.downloading());
  transport.succeed = true;
  EXPECT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
}

TEST_F(CFileDownloadTest, StateDuringTheTransferIsBinding) {
  bool downloading = false, held = false;
  CFileDownload::State state = CFileDownload::State::kIdle;
  EXPECT_EQ(download.state(), CFileDownload::State::kIdle);
  pump.actions.push_back([&] {
    downloading = download.downloading();
    held = download.binding_held();
    state = download.state();
  });
  transport.steps = {{Data(1, 1), 1}};
  ASSERT_TRUE(download.StartDownloading("http://h/a.exe", "/tmp/x"));
  EXPECT_TRUE(downloading);
  EXPECT_TRUE(held);
  EXPECT_EQ(state, CFileDownload::State::kBinding);
  EXPECT_EQ(download.state(), CFileDownload::State::kIdle);
}

}  // namespace
}  // namespace kam::update

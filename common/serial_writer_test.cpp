// The background writer: order, one job at a time, superseded jobs dropped, a bounded end.
#include "common/serial_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kam {
namespace {

using std::chrono::milliseconds;
constexpr milliseconds kWait{10000};

// A gate a job waits at until the test opens it (bounded, so a failing test cannot hang).
class Gate {
 public:
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    cv_.notify_all();
  }
  void Pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    reached_ = true;
    cv_.notify_all();
    cv_.wait_for(lock, kWait, [&] { return open_; });
  }
  bool WaitReached() {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, kWait, [&] { return reached_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool open_ = false;
  bool reached_ = false;
};

// What the jobs did, in order.
struct Log {
  std::mutex mutex;
  std::vector<std::string> runs;
  void Add(const std::string& what) {
    std::lock_guard<std::mutex> lock(mutex);
    runs.push_back(what);
  }
};

TEST(SerialWriterTest, RunsJobsInOrderNeverTwoAtOnce) {
  SerialWriter writer;
  Log log;
  std::atomic<int> inside{0};
  std::atomic<int> most{0};
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(writer.Post("file" + std::to_string(i), [&, i] {
      const int now = ++inside;
      int seen = most.load();
      while (now > seen && !most.compare_exchange_weak(seen, now)) {
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      log.Add(std::to_string(i));
      --inside;
    }));
  }
  ASSERT_TRUE(writer.WaitIdle(kWait));
  EXPECT_EQ(most.load(), 1);
  ASSERT_EQ(log.runs.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(log.runs[static_cast<std::size_t>(i)], std::to_string(i));
  EXPECT_EQ(writer.dropped(), 0);
}

TEST(SerialWriterTest, WaitingJobOfTheSameKeyIsSupersededInItsPlace) {
  SerialWriter writer;
  Log log;
  Gate gate;
  writer.Post("list", [&] {
    gate.Pass();
    log.Add("list 1 (running)");
  });
  ASSERT_TRUE(gate.WaitReached());
  // The running job of "list" is not dropped; of the waiting ones only the newest of a key runs.
  writer.Post("list", [&] { log.Add("list 2"); });
  writer.Post("positions", [&] { log.Add("positions 1"); });
  writer.Post("list", [&] { log.Add("list 3"); });
  writer.Post("positions", [&] { log.Add("positions 2"); });
  writer.Post("list", [&] { log.Add("list 4"); });
  gate.Open();
  ASSERT_TRUE(writer.WaitIdle(kWait));
  EXPECT_EQ(log.runs, (std::vector<std::string>{"list 1 (running)", "list 4", "positions 2"}));
  EXPECT_EQ(writer.dropped(), 3);
}

TEST(SerialWriterTest, FinishRunsWhatIsQueuedThenTakesNoMore) {
  SerialWriter writer;
  Log log;
  Gate gate;
  writer.Post("a", [&] { gate.Pass(); });
  ASSERT_TRUE(gate.WaitReached());
  writer.Post("b", [&] { log.Add("b"); });
  writer.Post("c", [&] { log.Add("c"); });
  gate.Open();
  EXPECT_TRUE(writer.Finish(kWait));
  EXPECT_EQ(log.runs, (std::vector<std::string>{"b", "c"}));
  EXPECT_FALSE(writer.Post("d", [&] { log.Add("d"); }));
  EXPECT_TRUE(writer.WaitIdle(milliseconds(0)));
  EXPECT_EQ(log.runs.size(), 2u);
}

TEST(SerialWriterTest, HangingJobDoesNotHoldTheEndForEver) {
  // What the job touches it owns: it outlives the writer.
  auto gate = std::make_shared<Gate>();
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  {
    SerialWriter writer;
    writer.Post("disk", [gate, done] {
      gate->Pass();
      done->set_value();
    });
    ASSERT_TRUE(gate->WaitReached());
    EXPECT_FALSE(writer.Finish(milliseconds(100)));
  }
  // The writer is gone; its worker still ends once the disk answers.
  gate->Open();
  EXPECT_EQ(finished.wait_for(kWait), std::future_status::ready);
}

TEST(SerialWriterTest, SlowJobDoesNotHoldUpThePoster) {
  SerialWriter writer;
  auto gate = std::make_shared<Gate>();
  writer.Post("disk", [gate] { gate->Pass(); });
  ASSERT_TRUE(gate->WaitReached());
  // While the disk hangs, the poster goes on: posting returns, and so does a bounded wait.
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(writer.Post("disk", [] {}));
  EXPECT_FALSE(writer.WaitIdle(milliseconds(20)));
  EXPECT_EQ(writer.dropped(), 99);
  gate->Open();
  EXPECT_TRUE(writer.WaitIdle(kWait));
}

}  // namespace
}  // namespace kam

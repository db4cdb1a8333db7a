#include "common/serial_writer.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace kam {

struct SerialWriter::State {
  std::mutex mutex;
  std::condition_variable wake;  // a job came, or the end
  std::condition_variable idle;  // nothing waiting or running
  std::deque<std::pair<std::string, Job>> queue;
  bool running = false;
  bool closed = false;
  int dropped = 0;

  bool Idle() const { return queue.empty() && !running; }
};

SerialWriter::SerialWriter() : state_(std::make_shared<State>()), worker_(Work, state_) {}

SerialWriter::~SerialWriter() {
  if (worker_.joinable()) Finish(kFinishLimit);
}

void SerialWriter::Work(std::shared_ptr<State> state) {
  std::unique_lock<std::mutex> lock(state->mutex);
  for (;;) {
    state->wake.wait(lock, [&] { return !state->queue.empty() || state->closed; });
    if (state->queue.empty()) break;
    Job job = std::move(state->queue.front().second);
    state->queue.pop_front();
    state->running = true;
    lock.unlock();
    job();
    // What the job holds goes here too, outside the lock.
    job = nullptr;
    lock.lock();
    state->running = false;
    if (state->Idle()) state->idle.notify_all();
  }
}

bool SerialWriter::Post(const std::string& key, Job job) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  if (state_->closed) return false;
  auto& queue = state_->queue;
  const auto waiting =
      std::find_if(queue.begin(), queue.end(), [&](const auto& q) { return q.first == key; });
  if (waiting != queue.end()) {
    // Its files are written by the newer job anyway; the older one's captures go with the lock
    // held, which is fine for the values jobs carry.
    waiting->second = std::move(job);
    ++state_->dropped;
    return true;
  }
  queue.emplace_back(key, std::move(job));
  state_->wake.notify_one();
  return true;
}

bool SerialWriter::WaitIdle(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(state_->mutex);
  return state_->idle.wait_for(lock, limit, [&] { return state_->Idle(); });
}

bool SerialWriter::Finish(std::chrono::milliseconds limit) {
  if (!worker_.joinable()) return WaitIdle(std::chrono::milliseconds(0));
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->closed = true;
    state_->wake.notify_one();
  }
  if (!WaitIdle(limit)) {
    // The worker keeps its own share of the state and ends after its last job.
    worker_.detach();
    return false;
  }
  worker_.join();
  return true;
}

int SerialWriter::dropped() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->dropped;
}

}  // namespace kam

// SerialWriter: file saves off the caller's thread. One worker runs the jobs in the order they
// came, never two at once, so a file's later save always lands after its earlier one. A save still
// waiting when a newer save of the same files comes is dropped: the newer one takes its place in
// line (each job writes whole files, so the last list wins and nothing is torn). A slow or full
// disk then holds up the worker alone.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace kam {

class SerialWriter {
 public:
  using Job = std::function<void()>;

  // How long the end waits for the queued saves: a disk that hangs must not hold the program's
  // end for ever (the player's end itself gives up after 10 s).
  static constexpr std::chrono::milliseconds kFinishLimit{4000};

  SerialWriter();
  // Finish(kFinishLimit), unless finished already.
  ~SerialWriter();
  SerialWriter(const SerialWriter&) = delete;
  SerialWriter& operator=(const SerialWriter&) = delete;

  // Queues job; key names the files it writes. A job of the same key that has not started yet is
  // dropped and job runs in its place. False, and job dropped, once Finish has begun.
  bool Post(const std::string& key, Job job);

  // Waits until no job is waiting or running, at most limit. False when time ran out.
  bool WaitIdle(std::chrono::milliseconds limit);

  // Takes no more jobs, lets those queued run and waits for them, at most limit. False when time
  // ran out: the worker is then left to finish on its own (each file it writes is still replaced
  // whole), and the jobs must own whatever they touch.
  bool Finish(std::chrono::milliseconds limit);

  // Jobs dropped for a newer job of their key, so far.
  int dropped() const;

 private:
  struct State;
  static void Work(std::shared_ptr<State> state);

  std::shared_ptr<State> state_;
  std::thread worker_;
};

}  // namespace kam

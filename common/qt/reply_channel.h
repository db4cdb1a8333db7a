// ReplyChannel: carries results from a worker thread back to a QObject's own thread, for as long
// as that object takes them. Once Close has returned (on the object's thread, before it goes),
// nothing more reaches it; what was sent before and not yet run is dropped with the object.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>

namespace kam {

class ReplyChannel {
 public:
  explicit ReplyChannel(QObject* target) : target_(target) {}

  // From any thread: reply runs later on the target's thread, unless the channel is closed.
  void Send(std::function<void()> reply);
  void Close();

 private:
  std::mutex mutex_;
  QObject* target_;
};

}  // namespace kam

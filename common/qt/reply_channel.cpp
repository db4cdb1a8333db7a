#include "common/qt/reply_channel.h"

#include <QMetaObject>
#include <utility>

namespace kam {

void ReplyChannel::Send(std::function<void()> reply) {
  // Posting under the lock: Close cannot return, and the target go, while the post is under way.
  std::lock_guard<std::mutex> lock(mutex_);
  if (target_ == nullptr) return;
  QMetaObject::invokeMethod(target_, std::move(reply), Qt::QueuedConnection);
}

void ReplyChannel::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  target_ = nullptr;
}

}  // namespace kam

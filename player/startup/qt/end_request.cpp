#include "player/startup/qt/end_request.h"

#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <cerrno>

namespace kam {
namespace {

// The handler only writes a byte; the event loop reads it and ends the program.
int pipe_fds[2] = {-1, -1};

void OnEndSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(pipe_fds[1], &byte, 1);
  errno = saved;
}

}  // namespace

void EndInOrderOnRequest(QObject* parent, std::function<void()> end_in_order) {
  if (pipe_fds[0] >= 0 || pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(pipe_fds[0], QSocketNotifier::Read, parent);
  QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                   [notifier, end = std::move(end_in_order)] {
                     char bytes[16];
                     while (read(pipe_fds[0], bytes, sizeof bytes) > 0) {
                     }
                     // Once is enough; the orderly end is under way.
                     notifier->setEnabled(false);
                     end();
                   });
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal_number : {SIGTERM, SIGINT, SIGHUP})
    sigaction(signal_number, &action, nullptr);
}

}  // namespace kam

#else

namespace kam {

void EndInOrderOnRequest(QObject*, std::function<void()>) {}

}  // namespace kam

#endif

// The local connection that carries a second start's argument to the running player
// (hand_over.h holds the frame, the checks and the coalescing; this only moves bytes). Each
// second start connects, writes one frame and waits until the player has read it.
#pragma once

#include <QObject>
#include <QPointer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "player/startup/hand_over.h"

class QLocalServer;
class QLocalSocket;
class QTimer;

namespace kam {

// The second start's side: hands command_line to the player of program_dir. Keeps trying to
// reach it for up to patience (the running player listens once its own start is done). False,
// with one diagnostics line, when it could not be delivered.
bool SendHandOver(const std::filesystem::path& program_dir, const std::string& command_line,
                  std::chrono::milliseconds patience);

// The running player's side: takes frames from second starts and hands each request, coalesced
// (kHandOverSettle), to act on the window thread.
class HandOverServer : public QObject {
 public:
  using Act = std::function<void(const HandOverRequest&)>;
  // At most this many second starts are read at once; more are turned away (they retry).
  static constexpr int kMaxConnections = 16;
  // A connection that has not sent its frame by then is closed.
  static constexpr std::chrono::milliseconds kReadLimit{3000};

  HandOverServer(std::filesystem::path program_dir, Act act, QObject* parent);
  ~HandOverServer() override;
  // Starts listening; false (one diagnostics line) when there is no safe place or it is taken.
  bool Listen();

 private:
  void Accept();
  void Read(QLocalSocket* socket, HandOverReader& reader);
  void Received(const std::string& argument);
  void ActOnInbox();

  std::filesystem::path program_dir_;
  Act act_;
  QLocalServer* server_;
  int connections_ = 0;
  HandOverInbox inbox_;
};

}  // namespace kam

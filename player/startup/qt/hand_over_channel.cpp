#include "player/startup/qt/hand_over_channel.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <thread>

#include "player/startup/hand_over_place.h"

namespace kam {
namespace {

Q_LOGGING_CATEGORY(lcHandOver, "kam.startup.handover", QtWarningMsg)

// The player's answer once it has read a frame; a connection closed without it was turned away.
constexpr char kReceived = '1';
constexpr std::chrono::milliseconds kRetryPause{100};

int MsLeft(const QElapsedTimer& since, std::chrono::milliseconds limit) {
  return static_cast<int>(std::max<qint64>(0, limit.count() - since.elapsed()));
}

// One attempt: connect, write the frame, wait for the player's answer.
bool DeliverOnce(const QString& name, const std::string& frame, const QElapsedTimer& since,
                 std::chrono::milliseconds patience) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(MsLeft(since, patience))) return false;
  socket.write(frame.data(), static_cast<qint64>(frame.size()));
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(MsLeft(since, patience))) return false;
  }
  while (socket.bytesAvailable() == 0) {
    if (!socket.waitForReadyRead(MsLeft(since, patience))) return false;
  }
  char answer = 0;
  return socket.getChar(&answer) && answer == kReceived;
}

}  // namespace

bool SendHandOver(const std::filesystem::path& program_dir, const std::string& command_line,
                  std::chrono::milliseconds patience) {
  std::string why;
  const auto place = HandOverSocketPlace(program_dir, why);
  if (!place) {
    qCWarning(lcHandOver) << "second start: nowhere to hand over:" << why.c_str();
    return false;
  }
  const auto frame = FrameHandOver(command_line);
  if (!frame) {
    qCWarning(lcHandOver) << "second start: argument of" << command_line.size()
                          << "bytes is too long to hand over";
    return false;
  }
  const QString name = QString::fromStdString(*place);
  QElapsedTimer since;
  since.start();
  // The running player listens once its own start is done; until then it is not found.
  for (;;) {
    if (DeliverOnce(name, *frame, since, patience)) return true;
    if (MsLeft(since, patience) == 0) break;
    std::this_thread::sleep_for(kRetryPause);
  }
  qCWarning(lcHandOver) << "second start: no running player took the argument within"
                        << patience.count() << "ms";
  return false;
}

HandOverServer::HandOverServer(std::filesystem::path program_dir, Act act, QObject* parent)
    : QObject(parent),
      program_dir_(std::move(program_dir)),
      act_(std::move(act)),
      server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &HandOverServer::Accept);
}

HandOverServer::~HandOverServer() { server_->close(); }

bool HandOverServer::Listen() {
  std::string why;
  const auto place = HandOverSocketPlace(program_dir_, why);
  if (!place) {
    qCWarning(lcHandOver) << "second starts cannot hand over:" << why.c_str();
    return false;
  }
  const QString name = QString::fromStdString(*place);
  // This player holds the single-instance lock: a socket left there is a dead player's.
  QLocalServer::removeServer(name);
  if (!server_->listen(name)) {
    qCWarning(lcHandOver) << "second starts cannot hand over:" << server_->errorString();
    return false;
  }
  return true;
}

void HandOverServer::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    if (connections_ >= kMaxConnections) {
      // Turned away without an answer: that second start tries again shortly.
      socket->abort();
      socket->deleteLater();
      continue;
    }
    ++connections_;
    connect(socket, &QObject::destroyed, this, [this] { --connections_; });
    // Never more than one frame of bytes is held for a connection.
    socket->setReadBufferSize(static_cast<qint64>(kHandOverHeaderBytes + kHandOverMaxBytes));
    auto reader = std::make_shared<HandOverReader>();
    connect(socket, &QLocalSocket::readyRead, this,
            [this, socket, reader] { Read(socket, *reader); });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A second start that stalls is not waited for.
    QTimer::singleShot(kReadLimit, socket, [socket] {
      socket->abort();
      socket->deleteLater();
    });
    // What a quick second start sent before it was accepted is read now.
    if (socket->bytesAvailable() > 0) Read(socket, *reader);
    if (socket->state() == QLocalSocket::UnconnectedState) socket->deleteLater();
  }
}

void HandOverServer::Read(QLocalSocket* socket, HandOverReader& reader) {
  if (reader.state() != HandOverReader::State::kIncomplete) return;
  const QByteArray bytes = socket->readAll();
  switch (reader.Feed(std::string_view(bytes.constData(), bytes.size()))) {
    case HandOverReader::State::kIncomplete:
      return;
    case HandOverReader::State::kBad:
      qCInfo(lcHandOver) << "second start's message dropped:" << reader.why().c_str();
      socket->abort();
      return;
    case HandOverReader::State::kComplete:
      socket->putChar(kReceived);
      socket->disconnectFromServer();
      Received(reader.argument());
      return;
  }
}

void HandOverServer::Received(const std::string& argument) {
  HandOverRequest request = ReadHandOverArgument(argument);
  if (request.kind == HandOverRequest::Kind::kDrop) {
    qCInfo(lcHandOver) << "second start's argument dropped: it names no address";
    return;
  }
  if (inbox_.Add(std::move(request))) ActOnInbox();
}

void HandOverServer::ActOnInbox() {
  const auto request = inbox_.Take();
  if (!request) return;
  act_(*request);
  QTimer::singleShot(kHandOverSettle, this, &HandOverServer::ActOnInbox);
}

}  // namespace kam

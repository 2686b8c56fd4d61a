#include "app/common/second_start.h"

#include <QLocalSocket>
#include <QTimer>

#include "core/session/start_up.h"

namespace sortelia::app {
namespace {

constexpr int kIdlePeerMs = 5000;  // a peer that sends no full line in this time is dropped

// Sends one request line and waits for the answer "ok".
bool request(const std::string& socketPath, const QByteArray& line, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(socketPath));
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(line + "\n");
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeoutMs)) return false;
  }
  return socket.readLine().trimmed() == "ok";
}

// Invalid sequences decode to U+FFFD, which does not encode back to the same bytes.
bool isUtf8(const QByteArray& bytes) { return QString::fromUtf8(bytes).toUtf8() == bytes; }

// The path of an "open" request; empty when the line is not a valid one.
std::string openedPath(const QByteArray& line) {
  static const QByteArray kOpen = "open ";
  if (!line.startsWith(kOpen)) return "";
  const QByteArray path = QByteArray::fromPercentEncoding(line.mid(kOpen.size()));
  if (!path.startsWith('/') || path.contains('\0') || !isUtf8(path)) return "";
  return path.toStdString();
}

}  // namespace

std::string instanceSocketPath(const std::string& runtimeFolder) {
  return runtimeFolder + "/sortelia-" + kInstanceName + ".socket";
}

bool askFirstInstanceToActivate(const std::string& socketPath, int timeoutMs) {
  return request(socketPath, "activate", timeoutMs);
}

bool handStartPathToFirstInstance(const std::string& socketPath, const std::string& path,
                                  int timeoutMs) {
  return request(socketPath, "open " + QByteArray::fromStdString(path).toPercentEncoding("/"),
                 timeoutMs);
}

bool SecondStartListener::listen(const std::string& socketPath) {
  const QString path = QString::fromStdString(socketPath);
  QLocalServer::removeServer(path);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(path)) return false;
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* peer = server_.nextPendingConnection()) {
      peer->setReadBufferSize(kMaxStartRequest);
      connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      QTimer::singleShot(kIdlePeerMs, peer, [peer] { peer->abort(); });
      connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
        if (peer->state() != QLocalSocket::ConnectedState) return;
        if (!peer->canReadLine()) {
          // A full buffer without a line end is not a request of ours.
          if (peer->bytesAvailable() >= kMaxStartRequest) peer->abort();
          return;
        }
        const QByteArray line = peer->readLine(kMaxStartRequest).trimmed();
        const bool activate = line == "activate";
        const std::string path = activate ? "" : openedPath(line);
        const bool accepted = activate || !path.empty();
        peer->write(accepted ? "ok\n" : "error\n");
        peer->flush();
        peer->disconnectFromServer();
        if (activate && onActivate) onActivate();
        if (!path.empty() && onOpen) onOpen(path);
      });
    }
  });
  return true;
}

}  // namespace sortelia::app

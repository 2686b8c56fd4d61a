#include "app/common/second_start.h"

#include <QLocalSocket>

#include "core/session/start_up.h"

namespace sortelia::app {

std::string instanceSocketPath(const std::string& runtimeFolder) {
  return runtimeFolder + "/sortelia-" + kInstanceName + ".socket";
}

bool askFirstInstanceToActivate(const std::string& socketPath, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(socketPath));
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write("activate\n");
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeoutMs)) return false;
  }
  return socket.readLine().trimmed() == "ok";
}

}  // namespace sortelia::app

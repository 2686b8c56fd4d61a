// Program entry: one instance per user, then the nine windows and the event loop.
#include <QApplication>
#include <cstdio>
#include <string>

#include "app/application.h"
#include "app/common/app_font.h"
#include "app/common/qt_ui.h"
#include "app/common/second_start.h"
#include "core/session/start_up.h"
#include "platform/data_folder.h"
#include "platform/instance_lock.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName("Sortelia");
  sortelia::app::applyDesignFont();

  const std::string runtime = sortelia::runtimeFolder();
  const std::string socket = sortelia::app::instanceSocketPath(runtime);
  sortelia::InstanceLock lock(runtime, sortelia::kInstanceName);
  const sortelia::LockResult locked = lock.tryAcquire();
  if (!locked.acquired()) {
    sortelia::app::QtUi ui(nullptr, nullptr, nullptr);
    const bool start = sortelia::mayStart(
        ui, lock.path(), locked,
        [&] { return sortelia::app::askFirstInstanceToActivate(socket, 2000); },
        [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    if (!start) return 0;
  }

  sortelia::app::Application app(sortelia::ensureDataFolder());
  // Only the holder of the lock listens: without it, the socket may belong to a running copy.
  if (lock.held() && !app.listenForSecondStart(socket)) {
    std::fprintf(stderr, "sortelia: cannot listen on %s\n", socket.c_str());
  }
  app.mainWindow().show();
  return QApplication::exec();
}

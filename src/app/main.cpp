// Program entry: one instance per user, then the nine windows and the event loop.
#include <QApplication>
#include <cstdio>

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
  if (!lock.tryAcquire()) {
    std::fprintf(stderr, "%s\n", sortelia::secondStartMessage().c_str());
    sortelia::app::QtUi ui(nullptr, nullptr, nullptr);
    sortelia::refuseSecondStart(
        ui, [&] { return sortelia::app::askFirstInstanceToActivate(socket, 2000); });
    return 0;
  }

  sortelia::app::Application app(sortelia::ensureDataFolder());
  if (!app.listenForSecondStart(socket)) {
    std::fprintf(stderr, "sortelia: cannot listen on %s\n", socket.c_str());
  }
  app.mainWindow().show();
  return QApplication::exec();
}

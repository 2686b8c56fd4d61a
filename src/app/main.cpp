// Program entry: one instance per user, then the nine windows and the event loop. The one
// argument, a folder or a file, is opened as the source folder; when a copy already runs, it
// is handed over to that copy instead.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <string>

#include "app/application.h"
#include "app/common/app_font.h"
#include "app/common/qt_ui.h"
#include "app/common/second_start.h"
#include "core/session/main_commands.h"
#include "core/session/start_up.h"
#include "platform/data_folder.h"
#include "platform/instance_lock.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);  // takes Qt's own options out of argv
  QApplication::setApplicationName("Sortelia");
  const std::string argument = argc > 1 ? argv[1] : "";
  if (argument == "--help" || argument == "-h") {
    std::printf(
        "Usage: sortelia [FOLDER | FILE]\n"
        "Sorts the pictures of FOLDER (or of the folder of FILE, starting at FILE) into the\n"
        "destination folders. Without an argument the source folder of the last run is used.\n");
    return 0;
  }
  const std::string workingDir = QFile::encodeName(QDir::currentPath()).toStdString();
  sortelia::app::applyDesignFont();

  const std::string runtime = sortelia::runtimeFolder();
  const std::string socket = sortelia::app::instanceSocketPath(runtime);
  sortelia::InstanceLock lock(runtime, sortelia::kInstanceName);
  const sortelia::LockResult locked = lock.tryAcquire();
  if (!locked.acquired()) {
    // A start with a path gives it to the running copy, which opens it; without a path, or
    // when the running copy does not take it, the start is refused as usual.
    const std::string path = sortelia::startPathOf(argument, workingDir);
    if (locked.heldByAnother() && !path.empty() &&
        sortelia::app::handStartPathToFirstInstance(socket, path, 2000)) {
      return 0;
    }
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
  if (!argument.empty()) app.openStartPath(argument, workingDir);
  app.mainWindow().show();
  return QApplication::exec();
}

#include "app/help/help_wiring.h"
#include "app/common/guarded.h"

#include <QCoreApplication>
#include <QDir>

namespace sortelia::app {

std::vector<std::string> readmeFolders(const std::string& dataFolder) {
  const QString exeDir = QCoreApplication::applicationDirPath();
  // The share folder beside the executable's bin folder holds the readme wherever the tree was
  // installed (the Debian package puts it under /usr whatever prefix the build was configured
  // with); the configured prefix stays as the last place to look.
  const QString besideBin = QDir::cleanPath(exeDir + "/../share/sortelia");
  return {dataFolder, exeDir.toStdString(), besideBin.toStdString(), SORTELIA_SHARE_DIR};
}

HelpWiring::HelpWiring(MainWindow& main, HelpWindow& window, Ui& ui, SortingSession& session)
    : ui_(ui),
      commands_(session, readmeFolders(session.dataFolder()),
                [&window, &main](const std::string& caption, const std::string& text) {
                  if (!window.isVisible()) window.move(main.pos());
                  window.showText(caption, text);
                }) {
  connect(main.find<QAction>(Control::Help1), &QAction::triggered, this,
          [this] { guarded([&] { commands_.Help1Click(); }); });
  connect(main.find<QAction>(Control::Version1), &QAction::triggered, this,
          [this] { guarded([&] { commands_.Version1Click(); }); });
}

void HelpWiring::guarded(const std::function<void()>& command) { runGuarded(ui_, command); }

}  // namespace sortelia::app

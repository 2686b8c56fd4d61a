#include "app/options/options_wiring.h"
#include "app/common/guarded.h"

#include <QScreen>

namespace sortelia::app {

OptionsWiring::OptionsWiring(MainWindow& main, OptionsWindow& window, DumpWiring& dump, Ui& ui,
                             SortingSession& session)
    : main_(main), w_(window), dump_(dump), ui_(ui), session_(session), commands_(session) {
  connect(main_.find<QAction>(Control::Option1), &QAction::triggered, this,
          [this] { guarded([&] { Option1Click(); }); });
  w_.onEdited = [this](const Options& o) { commands_.apply(o); };
  w_.onSaveInfo = [this](int mode) { guarded([&] { commands_.SaveImgInfo(mode); }); };
  w_.onRename = [this] { guarded([&] { commands_.Button2Click(); }); };
}

void OptionsWiring::guarded(const std::function<void()>& command) { runGuarded(ui_, command); }

std::vector<std::string> OptionsWiring::cameraSetNames() const {
  const auto& params = session_.photoData().cameraParams();
  if (!params.setNames.empty()) return params.setNames;
  return {params.table[0].Name};
}

void OptionsWiring::Option1Click() {
  for (;;) {
    w_.load(session_.state().options, cameraSetNames());
    if (QScreen* screen = main_.screen()) {  // centred on the screen
      w_.move(screen->availableGeometry().center() - w_.rect().center());
    }
    const int result = w_.exec();
    if (result != OptionsWindow::kDumpListRequested) break;
    // The dump list: the options window steps aside while the dump window is up, and the
    // camera parameter file is read again afterwards, as it may have been edited meanwhile.
    dump_.showDumpList(commands_.dumpListPicture(), main_.geometry());
    commands_.reloadCameraParams();
  }
  commands_.FormClose();
}

}  // namespace sortelia::app

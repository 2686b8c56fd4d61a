#include "app/main/main_wiring.h"
#include "app/common/guarded.h"

#include <QCheckBox>
#include <QGuiApplication>

#include "core/session/main_commands.h"

namespace sortelia::app {

MainWiring::MainWiring(MainWindow& window, InfoWindow& info, QtUi& ui, SortingSession& session,
                       DestinationSlots& slots, SortingLoop& loop)
    : w_(window), info_(info), ui_(ui), session_(session), slots_(slots), loop_(loop) {
  w_.onFirstActivation = [this] { guarded([&] { session_.settings().FormActivate(); }); };
  w_.onClose = [this] {
    guarded([&] { session_.settings().FormClose(); });
    info_.close();
  };
  connectSlots();
  connectMenus();
  connectSortingLoop();
  connectInfoWindow();
}

void MainWiring::guarded(const std::function<void()>& command) { runGuarded(ui_, command); }

void MainWiring::connectSlots() {
  w_.onPointedSlot = [this](int slot) {
    if (slot == 0) {
      slots_.resetPointed();
    } else {
      slots_.pointAt(slot);
    }
  };
  w_.onDrop = [this](const std::vector<std::string>& paths) {
    guarded([&] { slots_.dropPaths(paths); });
  };
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
    if (s != Qt::ApplicationActive) slots_.resetPointed();  // AppDeactivate
  });
  auto action = [this](Control c) { return w_.find<QAction>(c); };
  connect(action(Control::SetBox1), &QAction::triggered, this,
          [this] { guarded([&] { slots_.SetBox1Click(); }); });
  connect(action(Control::CancelBox1), &QAction::triggered, this,
          [this] { guarded([&] { slots_.CancelBox1Click(); }); });
  connect(action(Control::ClearALL1), &QAction::triggered, this,
          [this] { guarded([&] { slots_.ClearALL1Click(); }); });
  connect(action(Control::MoveFolder1), &QAction::triggered, this,
          [this] { guarded([&] { slots_.MoveFolder1Click(); }); });
  connect(w_.popupMenu2(), &QMenu::aboutToShow, this, [this] { slots_.PopupMenu2Popup(); });
}

void MainWiring::connectMenus() {
  connect(w_.find<QAction>(Control::Open1), &QAction::triggered, this,
          [this] { guarded([&] { Open1Click(session_); }); });
  connect(w_.popupMenu1(), &QMenu::aboutToShow, this, [this] { PopupMenu1Popup(session_); });
  connect(w_.find<QCheckBox>(Control::CheckDATE), &QCheckBox::toggled, this,
          [this] { session_.display().CheckDATEClick(); });
  connect(w_.displayArea()->movieButton(), &QPushButton::clicked, this,
          [this] { guarded([&] { session_.display().BitBtn1Click(); }); });
}

void MainWiring::connectSortingLoop() {
  w_.onSlotClicked = [this](int slot) { guarded([&] { loop_.transfer.Button1Click(slot); }); };
  connect(w_.find<QAction>(Control::Undo1), &QAction::triggered, this,
          [this] { guarded([&] { loop_.journal.Undo1Click(); }); });
  connect(w_.find<QPushButton>(Control::Button13), &QPushButton::clicked, this,
          [this] { guarded([&] { loop_.marks.Button13Click(); }); });
  connect(w_.find<QPushButton>(Control::SpeedButton1), &QPushButton::toggled, this,
          [this] { guarded([&] { loop_.comments.SpeedButton1Click(); }); });
  w_.displayArea()->onResized = [this] {
    session_.display().FormResize();
    loop_.comments.SetCmtEdit();
  };
}

void MainWiring::connectInfoWindow() {
  // CheckInfoClick: the information window beside the main window; closing it unticks the box.
  auto* checkInfo = w_.find<QCheckBox>(Control::CheckInfo);
  connect(checkInfo, &QCheckBox::toggled, this, [this](bool on) {
    if (on) {
      info_.setWindowTitle(QString::fromStdString(session_.tr("写真情報", "Photo Information")));
      info_.move(w_.pos());
      info_.show();
    } else {
      info_.hide();
    }
  });
  connect(&info_, &InfoWindow::closed, checkInfo, [checkInfo] { checkInfo->setChecked(false); });
}

}  // namespace sortelia::app

#include "app/application.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLocalSocket>

#include "app/shell_windows.h"
#include "core/session/main_commands.h"

namespace sortelia::app {

Application::Application(const std::string& dataFolder) {
  form1_ = std::make_unique<MainWindow>();
  form2_ = std::make_unique<InfoWindow>();
  const char* const shells[][2] = {
      {"Form3", "Option"},          {"Form4", "Stretch Save"}, {"Form5", "Dump List"},
      {"Form6", "Browse"},          {"Form7", "Full Size"},    {"Form8", "Print"},
      {"Form9", "Sortelia Readme"},
  };
  for (const auto& s : shells)
    others_.push_back(std::make_unique<ShellWindow>(s[0], s[1], nullptr));
  ui_ = std::make_unique<QtUi>(form1_.get(), form1_->statusLabel(), form2_.get());
  session_ = std::make_unique<SortingSession>(state_, *ui_, *form1_, dataFolder);
  slots_ = std::make_unique<DestinationSlots>(*session_);
  loop_ = std::make_unique<SortingLoop>(*session_, files_);
  form1_->onFirstActivation = [this] { session_->settings().FormActivate(); };
  form1_->onClose = [this] {
    guarded([&] { session_->settings().FormClose(); });
    form2_->close();
  };
  connectCommands();
  connectSortingLoop();
}

void Application::guarded(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    ui_->message(Icon::Error, e.what(), Buttons::Ok);
  }
}

void Application::connectSortingLoop() {
  MainWindow& w = *form1_;
  w.onSlotClicked = [this](int slot) { guarded([&] { loop_->transfer.Button1Click(slot); }); };
  connect(w.findChild<QAction*>("Undo1"), &QAction::triggered, this,
          [this] { guarded([&] { loop_->journal.Undo1Click(); }); });
  connect(w.findChild<QPushButton*>("Button13"), &QPushButton::clicked, this,
          [this] { guarded([&] { loop_->marks.Button13Click(); }); });
  connect(w.findChild<QPushButton*>("SpeedButton1"), &QPushButton::toggled, this,
          [this] { loop_->comments.SpeedButton1Click(); });
  w.displayArea()->onResized = [this] {
    session_->display().FormResize();
    loop_->comments.SetCmtEdit();
  };
}

void Application::connectCommands() {
  MainWindow& w = *form1_;
  w.onPointedSlot = [this](int slot) {
    if (slot == 0) {
      slots_->resetPointed();
    } else {
      slots_->pointAt(slot);
    }
  };
  w.onDrop = [this](const std::vector<std::string>& paths) { slots_->dropPaths(paths); };
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
    if (s != Qt::ApplicationActive) slots_->resetPointed();  // AppDeactivate
  });
  auto action = [&w](const char* name) { return w.findChild<QAction*>(name); };
  connect(action("SetBox1"), &QAction::triggered, this, [this] { slots_->SetBox1Click(); });
  connect(action("CancelBox1"), &QAction::triggered, this, [this] { slots_->CancelBox1Click(); });
  connect(action("ClearALL1"), &QAction::triggered, this, [this] { slots_->ClearALL1Click(); });
  connect(action("MoveFolder1"), &QAction::triggered, this, [this] { slots_->MoveFolder1Click(); });
  connect(action("Open1"), &QAction::triggered, this, [this] { Open1Click(*session_); });
  connect(w.popupMenu1(), &QMenu::aboutToShow, this, [this] { PopupMenu1Popup(*session_); });
  connect(w.popupMenu2(), &QMenu::aboutToShow, this, [this] { slots_->PopupMenu2Popup(); });

  // CheckInfoClick: the information window beside the main window; closing it unticks the box.
  auto* checkInfo = w.findChild<QCheckBox*>("CheckInfo");
  connect(checkInfo, &QCheckBox::toggled, this, [this](bool on) {
    if (on) {
      form2_->setWindowTitle(QString::fromStdString(session_->tr("写真情報", "Photo Information")));
      form2_->move(form1_->pos());
      form2_->show();
    } else {
      form2_->hide();
    }
  });
  connect(form2_.get(), &InfoWindow::closed, checkInfo,
          [checkInfo] { checkInfo->setChecked(false); });
  connect(w.findChild<QCheckBox*>("CheckDATE"), &QCheckBox::toggled, this,
          [this] { session_->display().CheckDATEClick(); });
  connect(w.displayArea()->movieButton(), &QPushButton::clicked, this,
          [this] { session_->display().BitBtn1Click(); });
}

Application::~Application() = default;

std::vector<std::string> Application::windowNames() const {
  std::vector<std::string> names{form1_->objectName().toStdString(),
                                 form2_->objectName().toStdString()};
  for (const auto& w : others_) names.push_back(w->objectName().toStdString());
  return names;
}

bool Application::listenForSecondStart(const std::string& socketPath) {
  const QString path = QString::fromStdString(socketPath);
  QLocalServer::removeServer(path);  // a socket left by a crashed run; we hold the lock
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(path)) return false;
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* peer = server_.nextPendingConnection()) {
      connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
        if (!peer->canReadLine()) return;
        if (peer->readLine().trimmed() == "activate") {
          form1_->bringToFront();
          peer->write("ok\n");
          peer->flush();
        }
        peer->disconnectFromServer();
      });
    }
  });
  return true;
}

}  // namespace sortelia::app

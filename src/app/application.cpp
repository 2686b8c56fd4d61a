#include "app/application.h"

#include <QLocalSocket>

#include "app/shell/shell_windows.h"

namespace sortelia::app {

Application::Application(const std::string& dataFolder) {
  form1_ = std::make_unique<MainWindow>();
  form2_ = std::make_unique<InfoWindow>();
  const char* const shells[][2] = {
      {"Form3", "Option"},
      {"Form4", "Stretch Save"},
      {"Form5", "Dump List"},
      {"Form9", "Sortelia Readme"},
  };
  for (const auto& s : shells) {
    if (std::string(s[0]) == "Form9") {
      // The browser, the full-size display and the print window come before the help window.
      auto form6 = std::make_unique<BrowseWindow>();
      auto form7 = std::make_unique<FullSizeWindow>();
      auto form8 = std::make_unique<PrintWindow>();
      form6_ = form6.get();
      form7_ = form7.get();
      form8_ = form8.get();
      others_.push_back(std::move(form6));
      others_.push_back(std::move(form7));
      others_.push_back(std::move(form8));
    }
    others_.push_back(std::make_unique<ShellWindow>(s[0], s[1], nullptr));
  }
  ui_ = std::make_unique<QtUi>(form1_.get(), form1_->statusLabel(), form2_.get());
  session_ = std::make_unique<SortingSession>(state_, *ui_, *form1_, dataFolder);
  slots_ = std::make_unique<DestinationSlots>(*session_);
  loop_ = std::make_unique<SortingLoop>(*session_, files_);
  mainWiring_ = std::make_unique<MainWiring>(*form1_, *form2_, *ui_, *session_, *slots_, *loop_);
  browseWiring_ =
      std::make_unique<BrowseWiring>(*form1_, *form6_, *form7_, *ui_, *session_, *loop_);
  printWiring_ = std::make_unique<PrintWiring>(*form1_, *form8_, *ui_, *session_);
  browseWiring_->openPrint = [this](const std::string& list, const std::string& caption) {
    printWiring_->open(list, caption);
  };
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

#include "app/application.h"

#include <cstdlib>
#include <string_view>

#include <QApplication>
#include <QTimer>

#include "app/common/guarded.h"
#include "core/options/extra_options.h"
#include "core/options/language_setting.h"
#include "core/session/main_commands.h"
#include "core/sorting/comment_edit.h"
#include "core/viewer/rotation.h"

namespace sortelia::app {

Application::Application(const std::string& dataFolder, fs::FileOperations* files)
    : files_(files ? *files : ownFiles_) {
  form1_ = std::make_unique<MainWindow>();
  form2_ = std::make_unique<InfoWindow>();
  auto form3 = std::make_unique<OptionsWindow>();
  form3_ = form3.get();
  others_.push_back(std::move(form3));
  auto form4 = std::make_unique<StretchWindowForm>();
  form4_ = form4.get();
  others_.push_back(std::move(form4));
  auto form5 = std::make_unique<DumpWindow>();
  form5_ = form5.get();
  others_.push_back(std::move(form5));
  auto form6 = std::make_unique<BrowseWindow>();
  auto form7 = std::make_unique<FullSizeWindow>();
  auto form8 = std::make_unique<PrintWindow>();
  form6_ = form6.get();
  form7_ = form7.get();
  form8_ = form8.get();
  others_.push_back(std::move(form6));
  others_.push_back(std::move(form7));
  others_.push_back(std::move(form8));
  auto form9 = std::make_unique<HelpWindow>();
  form9_ = form9.get();
  others_.push_back(std::move(form9));
  ui_ = std::make_unique<QtUi>(form1_.get(), form1_->statusLabel(), form2_.get());
  session_ = std::make_unique<SortingSession>(state_, *ui_, *form1_, dataFolder);
  slots_ = std::make_unique<DestinationSlots>(*session_);
  loop_ = std::make_unique<SortingLoop>(*session_, files_);
  longWork_ = new QtLongWork(*form1_);
  loop_->setLongWork(longWork_);
  // Slot clicks queue their file work and show the next picture at once.
  // SORTELIA_TRANSFER_QUEUE=off runs every step on the spot, as before the queue: only for
  // measuring the queue against it (bench/keys_from_outside.sh).
  const char* queue = std::getenv("SORTELIA_TRANSFER_QUEUE");
  if (!queue || std::string_view(queue) != "off") loop_->transfer.setQueue(&transferPoster_);
  prefetch_ = std::make_unique<PicturePrefetch>(state_, *form1_, prefetchPool_);
  prefetch_->setTurnOf(
      [](const std::string& path) { return rotationOfMark(rotationMarkOfFile(path)); });
  session_->display().setPictureSource(prefetch_.get());
  session_->display().events().subscribe(*prefetch_);
  mainWiring_ = std::make_unique<MainWiring>(*form1_, *form2_, *ui_, *session_, *slots_, *loop_);
  applyStoredLanguage(*session_);
  applyStoredExtraOptions(*session_);
  stretch_ = std::make_unique<StretchSave>(*session_);
  stretchWiring_ = std::make_unique<StretchWiring>(*form1_, *form4_, *ui_, *stretch_, *loop_);
  viewer_ = std::make_unique<ViewerMode>(*session_, *loop_, *form1_, timer1_);
  viewerWiring_ = std::make_unique<ViewerWiring>(*form1_, *ui_, *viewer_);
  dumpWiring_ = std::make_unique<DumpWiring>(*form5_, *ui_, *session_);
  optionsWiring_ = std::make_unique<OptionsWiring>(*form1_, *form3_, *dumpWiring_, *ui_, *session_);
  helpWiring_ = std::make_unique<HelpWiring>(*form1_, *form9_, *ui_, *session_);
  // Closing the options window names the mode in the caption as viewer mode composes it.
  optionsWiring_->commands().recomposeCaption = [this] { session_->recomposeCaption(); };
  browseWiring_ =
      std::make_unique<BrowseWiring>(*form1_, *form6_, *form7_, *ui_, *session_, *loop_);
  printWiring_ = std::make_unique<PrintWiring>(*form1_, *form8_, *ui_, *session_);
  browseWiring_->openPrint = [this](const std::string& list, const std::string& caption) {
    printWiring_->open(list, caption);
  };
  // A start argument is opened after everything the first activation does, so that the saved
  // source folder does not replace it.
  form1_->onFirstActivation = [this, first = std::move(form1_->onFirstActivation)] {
    if (first) first();
    activated_ = true;
    openPendingStartPath();
  };
}

Application::~Application() {
  session_->display().events().unsubscribe(*prefetch_);
  session_->display().setPictureSource(nullptr);
}

std::vector<std::string> Application::windowNames() const {
  std::vector<std::string> names{form1_->objectName().toStdString(),
                                 form2_->objectName().toStdString()};
  for (const auto& w : others_) names.push_back(w->objectName().toStdString());
  return names;
}

bool Application::listenForSecondStart(const std::string& socketPath) {
  listener_.onActivate = [this] { form1_->bringToFront(); };
  listener_.onOpen = [this](const std::string& path) {
    form1_->bringToFront();
    openStartPath(path, "/");
  };
  return listener_.listen(socketPath);
}

void Application::openStartPath(const std::string& argument, const std::string& workingDir) {
  pendingStart_.emplace(argument, workingDir);
  if (!activated_) session_->settings().deferFirstScan();
  // Never inside the handler that asked: a socket's or a timer's.
  QTimer::singleShot(0, this, [this] { openPendingStartPath(); });
}

void Application::openPendingStartPath() {
  if (!pendingStart_ || !activated_) return;
  // A question, a menu or a long step waits for the person: the list must not change under it.
  if (QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
      longWork_->running()) {
    QTimer::singleShot(200, this, [this] { openPendingStartPath(); });
    return;
  }
  const auto [argument, workingDir] = *std::exchange(pendingStart_, std::nullopt);
  runGuarded(*ui_, [&] {
    if (!OpenStartPath(*session_, argument, workingDir)) session_->settings().runDeferredScan();
  });
}

}  // namespace sortelia::app

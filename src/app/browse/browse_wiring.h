// The browser's wiring: the main window's Browse command and button, the browser's buttons,
// popup menu, grid input and the full-size window, over the thumbnail grid's logic with its
// worker pool.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/browse/browse_window.h"
#include "app/common/qt_timer.h"
#include "app/common/qt_ui.h"
#include "app/main/main_window.h"
#include "core/browse/thumb_browser.h"
#include "core/session/sorting_session.h"
#include "core/sorting/sorting_loop.h"
#include "platform/worker_pool.h"

namespace sortelia::app {

class BrowseWiring : public QObject {
  Q_OBJECT
 public:
  BrowseWiring(MainWindow& main, BrowseWindow& browser, FullSizeWindow& fullSize, QtUi& ui,
               SortingSession& session, SortingLoop& loop);
  ~BrowseWiring() override;

  // Browse1Click / Button14Click: the browser over the main window, modally.
  void Browse1Click();
  ThumbBrowser& thumbs() { return *thumbs_; }
  // Opens the print window (set once the print window exists).
  std::function<void(const std::string& list, const std::string& caption)> openPrint;

 private:
  void guarded(const std::function<void()>& command);
  void connectBrowser();
  void dragOut(const QString& path);

  MainWindow& main_;
  BrowseWindow& w_;
  FullSizeWindow& full_;
  QtUi& ui_;
  SortingSession& session_;
  SortingLoop& loop_;
  QtTaskPoster poster_;
  std::unique_ptr<WorkerPool> pool_;  // ends (joined) before the poster
  std::unique_ptr<ThumbBrowser> thumbs_;
};

}  // namespace sortelia::app

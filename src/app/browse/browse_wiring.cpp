#include "app/browse/browse_wiring.h"
#include "app/common/guarded.h"

#include <QAction>
#include <QCheckBox>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>
#include <algorithm>

#include "core/display/image_list.h"
#include "platform/format.h"

namespace sortelia::app {

BrowseWiring::BrowseWiring(MainWindow& main, BrowseWindow& browser, FullSizeWindow& fullSize,
                           QtUi& ui, SortingSession& session, SortingLoop& loop)
    : main_(main), w_(browser), full_(fullSize), ui_(ui), session_(session), loop_(loop) {
  pool_ = std::make_unique<WorkerPool>(0);
  SortingState& state = session_.state();
  thumbs_ = std::make_unique<ThumbBrowser>(ThumbBrowser::Deps{
      ui_, w_, poster_, *pool_, state,
      [this](int i, const std::string& path) {
        // Only while the entry still names the cell's file (the list may have been rebuilt).
        const auto& images = session_.state().list.images;
        if (i < 0 || i >= static_cast<int>(images.size()) || entryPath(images[i]) != path)
          return false;
        loop_.marks.MrkDelImg(i);
        return true;
      },
      [this](const std::string& path) { session_.display().StartPlayer(path); },
      [this] { return session_.state().options.exifItemMask; },
      [this] { return session_.photoData().selectedCameraSet(); }});
  w_.attach(*thumbs_);
  connect(main_.find<QAction>(Control::Browse1), &QAction::triggered, this,
          [this] { guarded([&] { Browse1Click(); }); });
  connect(main_.find<QPushButton>(Control::Button14), &QPushButton::clicked, this,
          [this] { guarded([&] { Browse1Click(); }); });
  // Opening a folder rebuilds the list, which frees the cells (the Open command runs first).
  connect(main_.find<QAction>(Control::Open1), &QAction::triggered, this,
          [this] { thumbs_->clearIfListRebuilt(); });
  connectBrowser();
}

BrowseWiring::~BrowseWiring() {
  thumbs_.reset();  // cancels a running build
  pool_.reset();
}

void BrowseWiring::guarded(const std::function<void()>& command) { runGuarded(ui_, command); }

void BrowseWiring::Browse1Click() {
  const SourceList& list = session_.state().list;
  thumbs_->clearIfListRebuilt();  // cells of an older list are gone
  w_.setGeometry(main_.geometry());
  w_.setCaption(
      format("縮小一覧表示[ %s ](%d)", {list.sourceDir, static_cast<int>(list.images.size())}));
  main_.hide();
  w_.exec();
  main_.show();
}

void BrowseWiring::connectBrowser() {
  connect(w_.buildButton(), &QPushButton::clicked, this,
          [this] { guarded([&] { thumbs_->Button1Click(w_.sizeBox()->value()); }); });
  connect(w_.stopButton(), &QPushButton::clicked, this, [this] { thumbs_->Button2Click(); });
  ThumbGridView* grid = w_.grid();
  grid->onDoubleClick = [this](int cell) {
    guarded([&] { thumbs_->ImgDblDsp(cell, w_.realSizeBox()->isChecked()); });
  };
  grid->onLabelClick = [this](int cell) { thumbs_->LblClickMRK(cell); };
  grid->onDragOut = [this](const QString& path) { dragOut(path); };
  w_.onResized = [this] { thumbs_->FormResize(); };
  w_.onClosed = [this] {
    thumbs_->FormClose();
    full_.clearAndClose();
  };
  w_.onShowFullSize = [this](const std::string& path, imaging::Bitmap picture, bool realSize) {
    full_.showPicture(path, std::move(picture), realSize, &w_);
  };
  w_.onOpenPrint = [this](const std::string& list, const std::string& caption) {
    if (openPrint) openPrint(list, caption);
  };
  connect(w_.popupMenu(), &QMenu::aboutToShow, this, [this] {
    thumbs_->clearIfListRebuilt();
    const PopupItems p = thumbs_->PopupMenu1Popup();
    w_.action("Info1")->setEnabled(p.info);
    w_.action("Delete1")->setEnabled(p.del);
    w_.action("Undo1")->setEnabled(p.undo);
    w_.action("Undo1")->setVisible(p.undoVisible);
    w_.action("PrtMark")->setEnabled(p.prtMark);
    w_.action("Print1")->setEnabled(p.print);
  });
  const std::pair<const char*, void (ThumbBrowser::*)()> commands[] = {
      {"Info1", &ThumbBrowser::Info1Click},   {"Delete1", &ThumbBrowser::Delete1Click},
      {"Undo1", &ThumbBrowser::Undo1Click},   {"PrtMark", &ThumbBrowser::PrtMarkClick},
      {"Print1", &ThumbBrowser::Print1Click},
  };
  for (const auto& [name, command] : commands) {
    connect(w_.action(name), &QAction::triggered, this,
            [this, command] { guarded([&] { (thumbs_.get()->*command)(); }); });
  }
}

void BrowseWiring::dragOut(const QString& path) {
  auto* drag = new QDrag(w_.grid());
  auto* data = new QMimeData;
  // The picture carries its companions (RAW, sidecars) along.
  QList<QUrl> urls;
  for (const std::string& file : filesOfPicture(session_.state(), path.toStdString())) {
    urls << QUrl::fromLocalFile(QString::fromStdString(file));
  }
  data->setUrls(urls);
  drag->setMimeData(data);
  // Our own main window must not take the picture back as a dropped file.
  main_.setAcceptDrops(false);
  drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
  main_.setAcceptDrops(true);
}

}  // namespace sortelia::app

#include "app/viewer/viewer_wiring.h"
#include "app/common/guarded.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>

namespace sortelia::app {

ViewerWiring::ViewerWiring(MainWindow& window, QtUi& ui, ViewerMode& viewer)
    : w_(window), ui_(ui), viewer_(viewer) {
  // Only the person's clicks run the handlers: when core changes a box itself it also runs
  // what follows from the change.
  connect(w_.find<QCheckBox>(Control::CheckView), &QCheckBox::clicked, this,
          [this] { guarded([&] { viewer_.CheckViewClick(); }); });
  connect(w_.find<QCheckBox>(Control::CheckShow), &QCheckBox::clicked, this,
          [this] { guarded([&] { viewer_.CheckShowClick(); }); });
  connect(w_.find<QPushButton>(Control::SubDchkBox), &QPushButton::clicked, this,
          [this] { guarded([&] { viewer_.SubDchkBoxClick(); }); });
  connect(w_.find<QLineEdit>(Control::Edit1), &QLineEdit::returnPressed, this,
          [this] { guarded([&] { viewer_.Edit1KeyPress(); }); });
  for (auto [name, step] : {std::pair{"UpDown1Down", -1}, {"UpDown1Up", +1}}) {
    connect(w_.upDown1()->findChild<QToolButton*>(name), &QToolButton::clicked, this,
            [this, step] { guarded([&] { viewer_.UpDown1Click(step); }); });
  }
  for (Control c : {Control::rot090, Control::rot180, Control::rot270}) {
    connect(w_.find<QAction>(c), &QAction::triggered, this,
            [this, c] { guarded([&] { viewer_.RotationClick(c); }); });
  }
  drag_ = new PictureDragSource(
      &w_, [this] { return viewer_.dragPaths(); }, this);
  drag_->watch(w_.displayArea()->pictureView());
  drag_->watch(w_.displayArea()->movieButton());
}

void ViewerWiring::guarded(const std::function<void()>& command) { runGuarded(ui_, command); }

}  // namespace sortelia::app

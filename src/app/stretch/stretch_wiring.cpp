#include "app/stretch/stretch_wiring.h"
#include "app/common/guarded.h"

#include <QAction>
#include <QRadioButton>
#include <QSpinBox>

namespace sortelia::app {

StretchWiring::StretchWiring(MainWindow& main, StretchWindowForm& window, QtUi& ui,
                             StretchSave& save, SortingLoop& loop)
    : main_(main),
      window_(window),
      ui_(ui),
      save_(save),
      loop_(loop),
      album_(save.session(), poster_) {
  window_.attach(save_, [this](const std::function<void()>& c) { guarded(c); });
  window_.attachAlbum(album_);
  // The page templates are written with their default content when missing, after what the
  // main window's first activation already does.
  main_.onFirstActivation = [this, first = std::move(main_.onFirstActivation)] {
    if (first) first();
    album_.writeMissingTemplates();
  };
  window_.placeOf = [this]() -> QWidget* { return &main_; };
  connect(main_.find<QAction>(Control::stretchsave1), &QAction::triggered, this,
          [this] { guarded([&] { save_.stretchsave1Click(window_); }); });

  loop_.reduction.blackAndWhite = [this] { return save_.options().blackAndWhite; };
  for (Control c : {Control::RadioButton1, Control::RadioButton2, Control::RadioButton3}) {
    connect(main_.find<QRadioButton>(c), &QRadioButton::clicked, this,
            [this, c] { loop_.reduction.RSOPchg(c); });
  }
  loop_.reduction.RSOPchg(Control::RadioButton1);  // "OG" starts chosen
  auto* quality = main_.find<QSpinBox>(Control::Edit4);
  loop_.reduction.setLevel(quality->value());
  connect(quality, &QSpinBox::valueChanged, this, [this](int v) { loop_.reduction.setLevel(v); });
}

void StretchWiring::guarded(const std::function<void()>& command) { runGuarded(ui_, command); }

}  // namespace sortelia::app

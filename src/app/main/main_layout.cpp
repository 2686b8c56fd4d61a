// The main window's layout: the widgets of the window design, built and named from the control
// table, with the captions the design gives them before a language is applied.
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/main/button_column.h"
#include "app/main/control_object_name.h"
#include "app/main/main_window.h"
#include "app/main/window_shortcuts_first.h"

namespace sortelia::app {
namespace {

constexpr int kColumnWidth = 85;
constexpr int kSlotWidth = 79;
constexpr int kSlotHeight = 21;

template <typename W, typename Name>
W* named(W* w, Name name, const QString& text = {}) {
  if constexpr (std::is_same_v<Name, Control>) {
    w->setObjectName(objectNameOf(name));
  } else {
    w->setObjectName(name);
  }
  if constexpr (std::is_base_of_v<QAbstractButton, W> || std::is_base_of_v<QLabel, W>) {
    if (!text.isNull()) w->setText(text);
  }
  return w;
}

QSpinBox* spinBox(Control name, int min, int max, int value) {
  auto* s = new QSpinBox;
  s->setObjectName(objectNameOf(name));
  s->setAccessibleName(s->objectName());  // a field without a caption goes by its name
  s->setRange(min, max);
  s->setValue(value);
  s->setFixedHeight(21);
  // A spin box keeps the focus after its arrows were clicked (the buttons of the column do not
  // take it), and would keep Ctrl+Z for its own text undo.
  letWindowShortcutsFirst(s);
  return s;
}

// Top of slot i (0-based): three groups of four, 21 pixels apart inside a group and
// 24 pixels from the last of a group to the first of the next.
int slotTop(int i) { return (i / 4) * (3 * kSlotHeight + 24) + (i % 4) * kSlotHeight; }

}  // namespace

QWidget* MainWindow::buildButtonColumn() {
  auto* panel2 = named(new QWidget, "Panel2");
  panel2->setFixedWidth(kColumnWidth);
  auto* col = new QVBoxLayout(panel2);
  col->setContentsMargins(3, 2, 3, 2);
  col->setSpacing(2);

  auto* group = named(new QGroupBox("リサイズOP"), Control::RadioGroup1);
  QFont small = group->font();
  small.setPixelSize(11);
  group->setFont(small);
  group->setFixedHeight(42);
  auto* radios = new QHBoxLayout(group);
  radios->setContentsMargins(2, 1, 2, 0);
  radios->setSpacing(0);
  // Three options side by side in 85 pixels: small indicators, a pixel before the text.
  group->setStyleSheet(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 12px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 3px; padding: 0px; }"
      "QGroupBox { font-size: 11px; } QRadioButton { font-size: 10px; spacing: 1px; }"
      "QRadioButton::indicator { width: 8px; height: 8px; }");
  const Control names[] = {Control::RadioButton1, Control::RadioButton2, Control::RadioButton3};
  const char* const texts[] = {"OG", "2M", "1M"};
  const char* const hints[] = {"オリジナルサイズで", "２メガ相当1600x1200", "１メガ相当1280x960"};
  for (int i = 0; i < 3; ++i) {
    auto* r = named(new QRadioButton, names[i], texts[i]);
    r->setToolTip(hints[i]);
    r->setChecked(i == 0);
    radios->addWidget(r);
  }
  col->addWidget(group);

  auto* quality = spinBox(Control::Edit4, 1, 10, 7);
  quality->setToolTip("圧縮率(標準は８かな？)");
  col->addWidget(quality);

  col->addWidget(buildSlotPanel());

  auto* checkDate = named(new QCheckBox, Control::CheckDATE, "日");
  checkDate->setToolTip("日時の表示");
  col->addWidget(checkDate);
  col->addWidget(named(new QPushButton, Control::Button14, "Browse"));
  col->addWidget(named(new QCheckBox, Control::CheckInfo, "Photo Info."));
  col->addWidget(named(new QCheckBox, Control::CheckView, "Viewer"));
  // Edit1 takes any text (a typed number is clamped, anything else put back, on Enter); its
  // horizontal arrows UpDown1 step the position by one.
  auto* viewRow = new QHBoxLayout;
  viewRow->setSpacing(0);
  auto* viewPos = new QLineEdit("0");
  viewPos->setObjectName(objectNameOf(Control::Edit1));
  viewPos->setAccessibleName("Edit1");
  viewPos->setFixedHeight(21);
  viewPos->setEnabled(false);
  viewRow->addWidget(viewPos, 1);
  upDown1_ = new QWidget;
  upDown1_->setObjectName("UpDown1");
  auto* arrows = new QHBoxLayout(upDown1_);
  arrows->setContentsMargins(0, 0, 0, 0);
  arrows->setSpacing(0);
  for (auto [name, type] :
       {std::pair{"UpDown1Down", Qt::LeftArrow}, {"UpDown1Up", Qt::RightArrow}}) {
    auto* b = new QToolButton;
    b->setObjectName(name);
    b->setArrowType(type);
    b->setAccessibleName(type == Qt::LeftArrow ? "UpDown1 -" : "UpDown1 +");
    b->setFixedSize(14, 21);
    arrows->addWidget(b);
  }
  upDown1_->setEnabled(false);
  viewRow->addWidget(upDown1_);
  col->addLayout(viewRow);
  auto* label1 = named(new QLabel, Control::Label1, "( 000 - 000 )");
  label1->setEnabled(false);
  col->addWidget(label1);
  auto* checkShow = named(new QCheckBox, Control::CheckShow, "Slide Show");
  checkShow->setEnabled(false);
  col->addWidget(checkShow);
  auto* intervalRow = new QHBoxLayout;
  auto* interval = spinBox(Control::Edit2, 1, 600, 3);
  interval->findChild<QLineEdit*>()->setReadOnly(true);  // arrows only
  interval->setEnabled(false);
  connect(interval, &QSpinBox::valueChanged, this,
          [this, interval] { intervalText_ = interval->text().toStdString(); });
  intervalRow->setSpacing(2);
  interval->setFixedWidth(48);
  intervalRow->addWidget(interval);
  auto* label2 = named(new QLabel, Control::Label2, "Sec.");
  label2->setEnabled(false);
  intervalRow->addWidget(label2);
  col->addLayout(intervalRow);
  auto* cmt = named(new QPushButton, Control::SpeedButton1, "CMT Edit");
  cmt->setCheckable(true);
  col->addWidget(cmt);
  col->addWidget(named(new QPushButton, Control::Button13, "Delete"));
  auto* sub = named(new QPushButton, Control::SubDchkBox, "サブフォルダ");
  sub->setCheckable(true);
  sub->setToolTip("サブホルダ内の画像も整理対称にする。");
  col->addWidget(sub);
  col->addStretch(1);
  finishButtonColumn(panel2);
  return panel2;
}

QWidget* MainWindow::buildSlotPanel() {
  auto* panel3 = named(new QWidget, "Panel3");
  panel3->setFixedSize(kSlotWidth, slotTop(11) + kSlotHeight);
  for (int i = 0; i < 12; ++i) {
    auto* b = new QPushButton(panel3);
    b->setObjectName(objectNameOf(slotControl(i + 1)));
    b->setGeometry(0, slotTop(i), kSlotWidth, kSlotHeight);
    b->setContextMenuPolicy(Qt::CustomContextMenu);
    b->setToolTip(QString("F%1").arg(i + 1));
    slots_[i] = b;
  }
  return panel3;
}

void MainWindow::buildMenus() {
  popup1_ = new QMenu(this);
  popup1_->setObjectName("PopupMenu1");
  auto add = [this](QMenu* menu, Control name, const char* text, const char* key = nullptr) {
    auto* a = new QAction(text, this);
    a->setObjectName(objectNameOf(name));
    if (key) {
      a->setShortcut(QKeySequence(key));
      addAction(a);  // shortcuts work without opening the menu
    }
    menu->addAction(a);
    return a;
  };
  add(popup1_, Control::Undo1, "Undo", "Ctrl+Z");
  popup1_->addSeparator();
  add(popup1_, Control::Open1, "Open", "Ctrl+O");
  add(popup1_, Control::Option1, "Option", "Ctrl+T");
  add(popup1_, Control::Help1, "Help", "Ctrl+H");
  add(popup1_, Control::Version1, "Version", "Ctrl+N");
  popup1_->addSeparator();
  add(popup1_, Control::stretchsave1, "Stretch Save", "Ctrl+S");
  add(popup1_, Control::Browse1, "Browse", "Ctrl+B");
  popup1_->addSeparator();
  add(popup1_, Control::Print1, "Print", "Ctrl+P");
  add(popup1_, Control::rot090, "回転(90)");
  add(popup1_, Control::rot180, "回転(180)");
  add(popup1_, Control::rot270, "回転(270)");
  popup1_->addSeparator();
  QAction* end = add(popup1_, Control::End1, "End", "Ctrl+Q");
  connect(end, &QAction::triggered, this, &QWidget::close);

  popup2_ = new QMenu(this);
  popup2_->setObjectName("PopupMenu2");
  add(popup2_, Control::SetBox1, "Set Folder");
  popup2_->addSeparator();
  add(popup2_, Control::CancelBox1, "Clear");
  add(popup2_, Control::ClearALL1, "Clear ALL");
  popup2_->addSeparator();
  add(popup2_, Control::MoveFolder1, "Move to This Folder");
}

}  // namespace sortelia::app

#include "app/options/options_window.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/options/options_commands.h"
#include "exif/photo_info.h"

namespace sortelia::app {
namespace {

template <typename W>
W* named(W* w, const char* name) {
  w->setObjectName(name);
  return w;
}

}  // namespace

OptionsWindow::OptionsWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("Form3");
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  tabs_ = named(new QTabWidget, "PageControl1");
  tabs_->addTab(buildGeneralTab(), "General");
  tabs_->addTab(buildExifTab(), "for ExifData");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(tabs_);
  applyLanguage(true);
  setFixedSize(sizeHint().expandedTo(QSize(400, 0)));
}

QWidget* OptionsWindow::buildGeneralTab() {
  auto* page = named(new QWidget, "TabSheet1");
  auto* col = new QVBoxLayout(page);

  group4_ = named(new QGroupBox, "GroupBox4");
  loop_ = named(new QCheckBox, "SSLoopCBOX");
  auto* l4 = new QVBoxLayout(group4_);
  l4->addWidget(loop_);
  // Kept in "zel-opt.txt" rather than in "zel.ini".
  companions_ = named(new QCheckBox, "CompanionsCBOX");
  trash_ = named(new QCheckBox, "TrashCBOX");
  classicFiles_ = named(new QCheckBox, "JpegMovMpgCBOX");
  l4->addWidget(companions_);
  l4->addWidget(trash_);
  l4->addWidget(classicFiles_);
  queueLabel_ = named(new QLabel, "QueueLabel");
  queueSteps_ = named(new QSpinBox, "QueueStepsEdit");
  queueSteps_->setRange(1, kMaxQueueSteps);
  queueMegabytes_ = named(new QSpinBox, "QueueMegabytesEdit");
  queueMegabytes_->setRange(1, kMaxQueueMegabytes);
  auto* queueRow = new QHBoxLayout;
  queueRow->addWidget(queueLabel_);
  queueRow->addWidget(queueSteps_);
  queueRow->addWidget(queueMegabytes_);
  queueRow->addStretch(1);
  l4->addLayout(queueRow);
  group1_ = named(new QGroupBox, "GroupBox1");
  autoRename_ = named(new QCheckBox, "SNFAEAutoCBOX");
  (new QVBoxLayout(group1_))->addWidget(autoRename_);
  group2_ = named(new QGroupBox, "GroupBox2");
  remain_ = named(new QCheckBox, "OPRemainCBOX");
  (new QVBoxLayout(group2_))->addWidget(remain_);
  l4->addWidget(group1_);
  l4->addWidget(group2_);
  col->addWidget(group4_);

  auto* formatRow = new QHBoxLayout;
  formatLabel_ = named(new QLabel("JPEG Data Format : "), "Label1");
  cameraSets_ = named(new QComboBox, "ComboBox1");
  cameraSets_->setAccessibleName("JPEG Data Format");
  formatLabel_->setBuddy(cameraSets_);
  formatRow->addWidget(formatLabel_);
  formatRow->addWidget(cameraSets_, 1);
  col->addLayout(formatRow);
  dump_ = named(new QPushButton, "Button3");
  col->addWidget(dump_);

  group3_ = named(new QGroupBox, "GroupBox3");
  auto* l3 = new QVBoxLayout(group3_);
  saveInfo_ = named(new QPushButton, "BTN_SaveInfo");
  saveEach_ = named(new QPushButton, "Button1");
  rename_ = named(new QPushButton, "Button2");
  for (auto* b : {saveInfo_, saveEach_, rename_}) l3->addWidget(b);
  col->addWidget(group3_);

  // The display language, kept in a file of its own in the data folder.
  groupLang_ = named(new QGroupBox, "LanguageGroup");
  language_ = named(new QComboBox, "LanguageBox");
  language_->addItems({"日本語", "English"});
  (new QHBoxLayout(groupLang_))->addWidget(language_);
  col->addWidget(groupLang_);
  col->addStretch(1);

  connect(loop_, &QCheckBox::toggled, this,
          [this](bool on) { edit([on](Options& o) { o.loopSlideShow = on; }); });
  connect(companions_, &QCheckBox::toggled, this,
          [this](bool on) { edit([on](Options& o) { o.keepCompanions = on; }); });
  connect(trash_, &QCheckBox::toggled, this,
          [this](bool on) { edit([on](Options& o) { o.trashDeleted = on; }); });
  connect(classicFiles_, &QCheckBox::toggled, this,
          [this](bool on) { edit([on](Options& o) { o.jpegMovMpgOnly = on; }); });
  connect(queueSteps_, &QSpinBox::valueChanged, this,
          [this](int n) { edit([n](Options& o) { o.queueSteps = n; }); });
  connect(queueMegabytes_, &QSpinBox::valueChanged, this,
          [this](int n) { edit([n](Options& o) { o.queueMegabytes = n; }); });
  connect(autoRename_, &QCheckBox::toggled, this,
          [this](bool on) { edit([on](Options& o) { o.autoRename = on; }); });
  connect(remain_, &QCheckBox::toggled, this,
          [this](bool on) { edit([on](Options& o) { o.keepOriginal = on; }); });
  connect(cameraSets_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0) edit([i](Options& o) { o.cameraParamIndex = i; });
  });
  connect(language_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i < 0) return;
    edit([i](Options& o) { o.japaneseMode = i == 0; });
    if (!loading_) applyLanguage(i == 0);
  });
  connect(dump_, &QPushButton::clicked, this, [this] { done(kDumpListRequested); });
  connect(saveInfo_, &QPushButton::clicked, this, [this] {
    if (onSaveInfo) onSaveInfo(1);
  });
  connect(saveEach_, &QPushButton::clicked, this, [this] {
    if (onSaveInfo) onSaveInfo(2);
  });
  connect(rename_, &QPushButton::clicked, this, [this] {
    if (onRename) onRename();
  });
  return page;
}

QWidget* OptionsWindow::buildExifTab() {
  auto* page = named(new QWidget, "TabSheet2");
  auto* col = new QVBoxLayout(page);
  group5_ = named(new QGroupBox, "GroupBox5");
  items_ = named(new QListWidget, "ExifChkListBox");
  items_->setAccessibleName("ExifChkListBox");
  (new QVBoxLayout(group5_))->addWidget(items_);
  col->addWidget(group5_, 1);
  auto* buttons = new QHBoxLayout;
  defaults_ = named(new QPushButton, "Button4");
  clear_ = named(new QPushButton, "Button5");
  all_ = named(new QPushButton, "Button6");
  for (auto* b : {defaults_, clear_, all_}) buttons->addWidget(b);
  col->addLayout(buttons);

  connect(items_, &QListWidget::itemChanged, this, [this] {
    if (!loading_) maskFromChecks();
  });
  connect(defaults_, &QPushButton::clicked, this, [this] {
    edit([](Options& o) { o.exifItemMask = exif::kDefaultExifItemMask; });
    SetExifPrm(edited_.exifItemMask);
  });
  auto checkAll = [this](bool on) {
    loading_ = true;
    for (int k = 0; k < items_->count(); ++k) {
      items_->item(k)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    loading_ = false;
    maskFromChecks();
  };
  connect(clear_, &QPushButton::clicked, this, [checkAll] { checkAll(false); });
  connect(all_, &QPushButton::clicked, this, [checkAll] { checkAll(true); });
  return page;
}

void OptionsWindow::edit(const std::function<void(Options&)>& change) {
  if (loading_) return;
  change(edited_);
  if (onEdited) onEdited(edited_);
}

void OptionsWindow::maskFromChecks() {
  std::vector<bool> checks;
  for (int k = 0; k < items_->count(); ++k) {
    checks.push_back(items_->item(k)->checkState() == Qt::Checked);
  }
  const std::string mask = maskOfItemChecks(checks);
  edit([&mask](Options& o) { o.exifItemMask = mask; });
}

void OptionsWindow::SetExifPrm(const std::string& mask) {
  const bool wasLoading = loading_;
  loading_ = true;
  items_->clear();
  const std::vector<bool> checks = itemChecksOf(mask);
  for (int k = 0; k < exif::kExifItemCount; ++k) {
    auto* item = new QListWidgetItem(QString::fromUtf8(exif::ItemLabels[k]), items_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(checks[k] ? Qt::Checked : Qt::Unchecked);
  }
  loading_ = wasLoading;
}

void OptionsWindow::load(const Options& values, const std::vector<std::string>& cameraSetNames) {
  loading_ = true;
  edited_ = values;
  loop_->setChecked(values.loopSlideShow);
  companions_->setChecked(values.keepCompanions);
  trash_->setChecked(values.trashDeleted);
  classicFiles_->setChecked(values.jpegMovMpgOnly);
  queueSteps_->setValue(values.queueSteps);
  queueMegabytes_->setValue(values.queueMegabytes);
  autoRename_->setChecked(values.autoRename);
  remain_->setChecked(values.keepOriginal);
  cameraSets_->clear();
  for (const std::string& name : cameraSetNames) cameraSets_->addItem(QString::fromStdString(name));
  cameraSets_->setCurrentIndex(
      values.cameraParamIndex < cameraSets_->count() ? values.cameraParamIndex : -1);
  language_->setCurrentIndex(values.japaneseMode ? 0 : 1);
  SetExifPrm(values.exifItemMask);
  loading_ = false;
  applyLanguage(values.japaneseMode);
}

void OptionsWindow::applyLanguage(bool japanese) {
  auto tr = [japanese](const char* jp, const char* en) {
    return QString::fromUtf8(japanese ? jp : en);
  };
  setWindowTitle(tr("オプション", "Option"));
  group4_->setTitle(tr("オプション設定", "Options"));
  loop_->setText(tr("繰り返し連続表示の設定", "Loop for SLIDE SHOW"));
  companions_->setText(tr("RAW・XMPなどの関連ファイルも一緒に扱う",
                          "Keep RAW and sidecar files with their picture"));
  companions_->setAccessibleName(companions_->text());
  trash_->setText(tr("削除した写真はごみ箱へ", "Deleted pictures go to the Trash"));
  trash_->setAccessibleName(trash_->text());
  classicFiles_->setText(tr("JPEG・MOV・MPGだけを扱う", "JPEG, MOV and MPG only"));
  classicFiles_->setAccessibleName(classicFiles_->text());
  queueLabel_->setText(tr("転送待ちの上限", "Pending transfers at most"));
  queueSteps_->setSuffix(tr(" 枚", " pictures"));
  queueSteps_->setAccessibleName(tr("転送待ちの上限 (枚)", "Pending transfers at most (pictures)"));
  queueMegabytes_->setSuffix(" MB");
  queueMegabytes_->setAccessibleName(tr("転送待ちの上限 (MB)", "Pending transfers at most (MB)"));
  group1_->setTitle(
      tr("同じ名前の写真データがあった時の動作", "If Same Name File Already Exists,"));
  autoRename_->setText(tr("自動的に別のファイル名をつくる", "Auto Rename"));
  group2_->setTitle(tr("整理する時に元の写真データを残すか", "Original Photo"));
  remain_->setText(tr("残す(コピー動作)", "Remain"));
  dump_->setText(tr("表示されている画像データの先頭部のダンプリスト",
                    "Dump List(The Image File Displying, Now)"));
  group3_->setTitle(tr("オプション命令", "Option COMMAND"));
  saveInfo_->setText(tr("写真情報を１つのテキストファイルに保存する",
                        "Save Photo Information. All in One Data File."));
  saveEach_->setText(tr("写真情報を個別のテキストファイルに保存する",
                        "Save Photo Information. All to Each Data Files."));
  rename_->setText(
      tr("写真データの名前を撮影日時につけかえる", "Rename [ using Time Stamp taking a pic.]"));
  group5_->setTitle(tr("表示する Exif 項目の選択", "Select Item for Displaying"));
  defaults_->setText(tr("デフォルト設定", "Set Default"));
  clear_->setText(tr("全項目非表示", "Clear"));
  all_->setText(tr("全項目表示", "Select ALL"));
  groupLang_->setTitle(tr("表示言語", "Language"));
  language_->setAccessibleName(tr("表示言語", "Language"));
}

}  // namespace sortelia::app

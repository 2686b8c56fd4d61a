// TForm3: the options window. Two tabs: the option flags (with companion files kept with their
// picture and deletion to the Trash), the camera parameter set, the display language, the dump
// list and the one-shot commands; and the check list of the photo information items. It edits a
// copy of the options and hands it on at every change.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/state/sorting_state.h"

namespace sortelia::app {

class OptionsWindow : public QDialog {
  Q_OBJECT
 public:
  // The result of exec() when the dump list was asked for: the window is to come back.
  static constexpr int kDumpListRequested = 2;

  explicit OptionsWindow(QWidget* parent = nullptr);

  // Shows values and the camera parameter set names, in the language of values.
  void load(const Options& values, const std::vector<std::string>& cameraSetNames);
  // SetExifPrm: refills the check list with the 27 item labels, checked as in mask.
  void SetExifPrm(const std::string& mask);
  // The captions of either language.
  void applyLanguage(bool japanese);
  const Options& edited() const { return edited_; }

  // The edited copy, after every change of a control.
  std::function<void(const Options&)> onEdited;
  // BTN_SaveInfo (1) and Button1 (2).
  std::function<void(int mode)> onSaveInfo;
  // Button2.
  std::function<void()> onRename;

  QTabWidget* tabs() const { return tabs_; }

 private:
  QWidget* buildGeneralTab();
  QWidget* buildExifTab();
  void edit(const std::function<void(Options&)>& change);
  void maskFromChecks();

  Options edited_;
  bool loading_ = false;
  QTabWidget* tabs_ = nullptr;
  QGroupBox *group1_, *group2_, *group3_, *group4_, *group5_, *groupLang_;
  QCheckBox *loop_, *autoRename_, *remain_, *companions_, *trash_, *classicFiles_;
  QLabel* queueLabel_;  // the transfer queue's bounds, in pictures and in megabytes
  QSpinBox *queueSteps_, *queueMegabytes_;
  QComboBox *cameraSets_, *language_;
  QLabel* formatLabel_;
  QPushButton *dump_, *saveInfo_, *saveEach_, *rename_, *defaults_, *clear_, *all_;
  QListWidget* items_;
};

}  // namespace sortelia::app

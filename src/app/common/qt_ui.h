// The Ui port implemented with Qt: message boxes, file dialogs, status bar, information window.
#pragma once

#include <QLabel>
#include <QWidget>

#include "app/info/info_window.h"
#include "core/ports/ui.h"

namespace sortelia::app {

class QtUi : public Ui {
 public:
  // parent owns the dialogs asked while no other window of the program is in front; status
  // and info may be null (then their texts are only kept).
  QtUi(QWidget* parent, QLabel* status, InfoWindow* info)
      : parent_(parent), status_(status), info_(info) {}

  Answer message(Icon icon, const std::string& text, Buttons buttons) override;
  std::optional<std::string> openFile(const FileDialog& d) override;
  std::optional<std::string> saveFile(const FileDialog& d) override;
  void setStatusText(const std::string& text) override;
  void setInfoText(const std::string& text) override;
  std::string infoText() const override;
  void setBusy(bool on) override;
  void processPendingInput() override;
  bool modalWindowOpen() const override;

 private:
  std::optional<std::string> runFileDialog(const FileDialog& d, bool save);
  QWidget* askingWindow() const;

  QWidget* parent_;
  QLabel* status_;
  InfoWindow* info_;
  std::string infoFallback_;
  int busyDepth_ = 0;
};

}  // namespace sortelia::app

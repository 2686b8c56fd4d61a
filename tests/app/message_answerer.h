// Answers the message boxes that come up during a Qt test, as a person would, and keeps
// their texts: Yes where there is a Yes (unless told to answer OK only), else OK.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <string>
#include <vector>

namespace sortelia::app {

class MessageAnswerer : public QObject {
 public:
  explicit MessageAnswerer(bool answerYes = true) {
    connect(&timer_, &QTimer::timeout, this, [this, answerYes] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible()) continue;
        texts.push_back(box->text().toStdString());
        QAbstractButton* b = answerYes ? box->button(QMessageBox::Yes) : nullptr;
        if (!b) b = box->button(QMessageBox::Ok);
        if (b) b->click();
      }
    });
    timer_.start(20);
  }
  std::vector<std::string> texts;

 private:
  QTimer timer_;
};

}  // namespace sortelia::app

#include "app/common/qt_ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace sortelia::app {
namespace {

QString toQt(const std::string& s) {
  QString t = QString::fromStdString(s);
  t.replace("\r\n", "\n");
  return t;
}

// "Text|*.JPG;*.MOV|All|*.*|" to Qt's {"Text (*.jpg *.JPG *.mov *.MOV)", "All (*)"}. Patterns
// match in both letter cases, as file names on a camera card come in either.
QStringList qtFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      if (p == "*.*") {
        patterns << "*";
        continue;
      }
      patterns << p.toLower();
      if (p.toUpper() != p.toLower()) patterns << p.toUpper();
    }
    patterns.removeDuplicates();
    entries << parts[i] + " (" + patterns.join(' ') + ")";
  }
  return entries;
}

}  // namespace

// The window that asks: the modal window in front (the options, reduced-size save or print
// window), else the active window of the program, else the main window. A box parented to
// another window would bring that window up above the one that asked.
QWidget* QtUi::askingWindow() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  QWidget* active = QApplication::activeWindow();
  if (active && active != info_ && !qobject_cast<QMessageBox*>(active)) return active;
  return parent_;
}

Answer QtUi::message(Icon icon, const std::string& text, Buttons buttons) {
  QMessageBox box(askingWindow());
  // Above every window of the program, the information window (which stays on top) included.
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box.setWindowTitle(QApplication::applicationName());
  // As written: a text whose first line looks like a tag (a comment "<b>...") is no markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(toQt(text));
  switch (icon) {
    case Icon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case Icon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case Icon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case Icon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case Icon::Question:
      box.setIcon(QMessageBox::Question);
      break;
  }
  switch (buttons) {
    case Buttons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Buttons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
  }
  // A message must not inherit the hourglass.
  const bool busy = busyDepth_ > 0;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int r = box.exec();
  if (busy) QApplication::restoreOverrideCursor();
  switch (r) {
    case QMessageBox::Ok:
      return Answer::Ok;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    default:  // closed without a button (Escape, the window's close box)
      return buttons == Buttons::YesNo
                 ? Answer::No
                 : (buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok);
  }
}

std::optional<std::string> QtUi::runFileDialog(const FileDialog& d, bool save) {
  QFileDialog dialog(askingWindow(), QString::fromStdString(d.title));
  dialog.setObjectName(save ? "SaveDialog" : "OpenDialog");
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  // The program asks its own question about an existing name; Qt's would come first.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || d.anyName ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!d.filter.empty()) dialog.setNameFilters(qtFilters(d.filter));
  if (!d.initialDir.empty()) dialog.setDirectory(QString::fromStdString(d.initialDir));
  if (!d.fileName.empty()) dialog.selectFile(QString::fromStdString(d.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtUi::openFile(const FileDialog& d) { return runFileDialog(d, false); }

std::optional<std::string> QtUi::saveFile(const FileDialog& d) { return runFileDialog(d, true); }

void QtUi::setStatusText(const std::string& text) {
  if (status_) {
    status_->setText(toQt(text));
    status_->repaint();
  }
}

void QtUi::setInfoText(const std::string& text) {
  infoFallback_ = text;
  if (info_) info_->setText(text);
}

std::string QtUi::infoText() const { return info_ ? info_->text() : infoFallback_; }

void QtUi::setBusy(bool on) {
  if (on) {
    if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) QApplication::restoreOverrideCursor();
  }
}

void QtUi::processPendingInput() { QCoreApplication::processEvents(); }

bool QtUi::modalWindowOpen() const { return QApplication::activeModalWidget() != nullptr; }

}  // namespace sortelia::app

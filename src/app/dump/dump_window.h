// TForm5: the dump window. Two panes one above the other, each with a caption panel (the
// dumped file's path and the buttons), the column header and a read-only dump view; the
// differences found by a comparison show red in both views.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "outputs/dump/hex_dump.h"

namespace sortelia::app {

class DumpWindow : public QDialog {
  Q_OBJECT
 public:
  explicit DumpWindow(QWidget* parent = nullptr);

  // Pane 1 is the upper, pane 2 the lower.
  void setPanePath(int pane, const std::string& path);
  // Fills the pane's view with dump lines (hidden while it is filled).
  void setPaneLines(int pane, const std::vector<std::string>& lines);
  // Both views back to the normal text colour.
  void resetColours();
  // Colours each mark red in both views.
  void colourMarks(const std::vector<outputs::DumpMark>& marks);

  QTextEdit* view(int pane) const { return views_[index(pane)]; }
  QLabel* pathLabel(int pane) const { return paths_[index(pane)]; }
  QPushButton* chkButton() const { return chk_; }
  QPushButton* openButton(int pane) const { return open_[index(pane)]; }
  QPushButton* editButton(int pane) const { return edit_[index(pane)]; }

  // "Pic.Open" of a pane, "Chk", "Edit".
  std::function<void(int pane)> onOpen;
  std::function<void()> onChk;
  std::function<void()> onEdit;
  // The mouse was released over a dump: a running comparison stops.
  std::function<void()> onDumpClicked;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  static std::size_t index(int pane) { return pane == 2 ? 1 : 0; }
  QWidget* buildPane(int pane);
  // Pointing at a byte: a click on a byte's character selects its hex pair.
  void pointAt(QTextEdit* view);

  std::array<QTextEdit*, 2> views_{};
  std::array<QLabel*, 2> paths_{};
  std::array<QPushButton*, 2> open_{};
  std::array<QPushButton*, 2> edit_{};
  QPushButton* chk_ = nullptr;
};

}  // namespace sortelia::app

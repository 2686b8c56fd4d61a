// Dragging the shown picture out of the main window: a press on the picture (or on the movie
// button) and a move with the left button held start a drag of the file, which the receiver
// may only copy. The window takes no drops while its own drag runs, so that a picture dropped
// back onto it is not taken for a folder.
#pragma once

#include <QObject>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QMimeData;

namespace sortelia::app {

// The most files one drag carries.
inline constexpr int kMaxDragFiles = 1024;

// The data of a drag of local files: their file URLs; null for 0 or more than 1024 paths.
QMimeData* fileDragData(const std::vector<std::string>& paths);

// Runs a drag of paths from source, copy being the only action; while it runs, dropTarget
// accepts no drops. Does nothing for 0 or more than 1024 paths. Returns the action taken.
Qt::DropAction dragFilesOut(QWidget* source, QWidget* dropTarget,
                            const std::vector<std::string>& paths);

// Image1MouseDown and Image1MouseMove, watching the widgets it is installed on.
class PictureDragSource : public QObject {
  Q_OBJECT
 public:
  // path gives the files to drag, the picture first (none: nothing to drag).
  PictureDragSource(QWidget* dropTarget, std::function<std::vector<std::string>()> path,
                    QObject* parent);
  void watch(QWidget* w);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  QWidget* dropTarget_;
  std::function<std::vector<std::string>()> path_;
  QPoint pressedAt_;
  bool pressed_ = false;
};

}  // namespace sortelia::app

#include "app/main/picture_drag.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace sortelia::app {

QMimeData* fileDragData(const std::vector<std::string>& paths) {
  if (paths.empty() || paths.size() > static_cast<std::size_t>(kMaxDragFiles)) return nullptr;
  QList<QUrl> urls;
  for (const auto& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p));
  auto* data = new QMimeData;
  data->setUrls(urls);
  return data;
}

Qt::DropAction dragFilesOut(QWidget* source, QWidget* dropTarget,
                            const std::vector<std::string>& paths) {
  QMimeData* data = fileDragData(paths);
  if (!data || !source) {
    delete data;
    return Qt::IgnoreAction;
  }
  auto* drag = new QDrag(source);
  drag->setMimeData(data);
  const bool accepted = dropTarget && dropTarget->acceptDrops();
  if (dropTarget) dropTarget->setAcceptDrops(false);
  // Escape cancels; releasing the button drops (Qt's drag loop does both).
  const Qt::DropAction action = drag->exec(Qt::CopyAction, Qt::CopyAction);
  if (dropTarget) dropTarget->setAcceptDrops(accepted);
  drag->deleteLater();
  return action;
}

PictureDragSource::PictureDragSource(QWidget* dropTarget,
                                     std::function<std::vector<std::string>()> path,
                                     QObject* parent)
    : QObject(parent), dropTarget_(dropTarget), path_(std::move(path)) {}

void PictureDragSource::watch(QWidget* w) { w->installEventFilter(this); }

bool PictureDragSource::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress) {
    auto* m = static_cast<QMouseEvent*>(e);
    pressedAt_ = m->position().toPoint();
    pressed_ = true;
  } else if (e->type() == QEvent::MouseButtonRelease) {
    pressed_ = false;
  } else if (e->type() == QEvent::MouseMove) {
    auto* m = static_cast<QMouseEvent*>(e);
    if (pressed_ && (m->buttons() & Qt::LeftButton) && m->position().toPoint() != pressedAt_) {
      pressed_ = false;
      const std::vector<std::string> paths = path_ ? path_() : std::vector<std::string>();
      if (!paths.empty()) {
        dragFilesOut(qobject_cast<QWidget*>(watched), dropTarget_, paths);
        return true;
      }
    }
  }
  return QObject::eventFilter(watched, e);
}

}  // namespace sortelia::app

// A picture of the imaging layer as Qt draws it.
#pragma once

#include <QImage>
#include <QRect>

#include "imaging/bitmap.h"
#include "imaging/rect.h"

namespace sortelia::app {

// A Bgr24 bitmap as a QImage sharing its pixels (valid while the bitmap lives).
inline QImage bitmapImage(const imaging::Bitmap& b) {
  return QImage(b.data(), b.width(), b.height(), static_cast<qsizetype>(b.stride()),
                QImage::Format_BGR888);
}

inline QRect qrect(const Rect& r) { return QRect(r.left, r.top, r.width, r.height); }

}  // namespace sortelia::app

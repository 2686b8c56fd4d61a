#include "imaging/screen_scale.h"

#include "imaging/resample.h"

namespace sortelia::imaging {
namespace {

// One pass along the rows to the new width; the source when the width stays.
Bitmap widthPass(const Bitmap& src, int width) {
  Bitmap out(width, src.height());
  if (width < src.width()) {
    StretchWidthDown(src, out);
  } else {
    StretchWidthUp(src, out);
  }
  return out;
}

Bitmap heightPass(const Bitmap& src, int height) {
  Bitmap out(src.width(), height);
  if (height < src.height()) {
    StretchHeightDown(src, out);
  } else {
    StretchHeightUp(src, out);
  }
  return out;
}

}  // namespace

std::shared_ptr<const Bitmap> scaleForScreen(const std::shared_ptr<const Bitmap>& source, int width,
                                             int height) {
  if (!source || source->empty() || source->format() != PixelFormat::Bgr24 || width < 1 ||
      height < 1) {
    return nullptr;
  }
  if (width == source->width() && height == source->height()) return source;
  if (width == source->width()) return std::make_shared<Bitmap>(heightPass(*source, height));
  Bitmap narrowed = widthPass(*source, width);
  if (height == narrowed.height()) return std::make_shared<Bitmap>(std::move(narrowed));
  return std::make_shared<Bitmap>(heightPass(narrowed, height));
}

}  // namespace sortelia::imaging

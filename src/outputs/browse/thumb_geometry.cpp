#include "outputs/browse/thumb_geometry.h"

#include <sys/stat.h>
#include <algorithm>
#include <cstring>

#include "imaging/picture_file.h"
#include "platform/file_kinds.h"
#include "platform/path.h"

namespace sortelia::outputs {

int thumbGridColumns(int gridWidth, int cellWidth) {
  const int columns = (gridWidth - 20) / (cellWidth + 2);
  return std::max(columns, 1);
}

Rect PlaceCell(int slot, int height, int width, int gridWidth) {
  const int columns = thumbGridColumns(gridWidth, width);
  return Rect{(width + 2) * (slot % columns) + 2, (slot / columns) * (height + 2) + 2, width,
              height};
}

PicturePlacement placePicture(int w, int h, int cw, int ch, bool fit) {
  if (h < ch && w < cw) return {DrawMode::Centred, Rect{(cw - w) / 2, (ch - h) / 2, w, h}};
  if (fit && w > 0 && h > 0 && cw > 0) {
    const double controlRatio = static_cast<double>(ch) / cw;
    const double pictureRatio = static_cast<double>(h) / w;
    if (controlRatio >= pictureRatio) {
      const int fh = static_cast<int>(pictureRatio * cw);
      return {DrawMode::Fitted, Rect{0, static_cast<int>((ch - fh) / 2.0), cw, fh}};
    }
    const int fw = static_cast<int>(static_cast<double>(w) / h * ch);
    return {DrawMode::Fitted, Rect{static_cast<int>((cw - fw) / 2.0), 0, fw, ch}};
  }
  return {DrawMode::RealSize, Rect{0, 0, w, h}};
}

imaging::Bitmap stretchBitmap(const imaging::Bitmap& source, int width, int height) {
  imaging::Bitmap out(std::max(width, 0), std::max(height, 0));
  if (source.empty() || out.empty()) return out;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* from =
        source.row(static_cast<int>(static_cast<long long>(y) * source.height() / height));
    std::uint8_t* to = out.row(y);
    for (int x = 0; x < width; ++x) {
      const int sx = static_cast<int>(static_cast<long long>(x) * source.width() / width);
      std::memcpy(to + 3 * x, from + 3 * sx, 3);
    }
  }
  return out;
}

ThumbImage makeThumbImage(const std::string& path, int cellSize) {
  ThumbImage t;
  struct stat st {};
  t.exists = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (!t.exists) return t;
  t.picture = fs::isPictureName(fs::fileNameOf(path));
  if (!t.picture) return t;
  imaging::JpegDecodeResult decoded = imaging::decodePictureFile(path, imaging::JpegScale::Eighth);
  if (!decoded.ok()) {
    t.error = decoded.error;
    return t;
  }
  imaging::convertTo24Bit(decoded.bitmap);
  const PicturePlacement p = placePicture(decoded.bitmap.width(), decoded.bitmap.height(), cellSize,
                                          cellSize - kCellLabelHeight, true);
  t.rect = p.rect;
  if (p.mode == DrawMode::Centred) {
    t.bitmap = std::move(decoded.bitmap);
  } else {
    t.bitmap = stretchBitmap(decoded.bitmap, p.rect.width, p.rect.height);
  }
  return t;
}

}  // namespace sortelia::outputs

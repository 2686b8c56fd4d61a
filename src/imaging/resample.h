// Resizing of 24-bit bitmaps: four-point cubic interpolation to enlarge an axis, area
// averaging with fractional border coverage to reduce it; width pass first, then height.
// All per-pixel arithmetic is fixed point, so results are exact and repeatable.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "imaging/bitmap.h"
#include "platform/progress.h"

namespace sortelia::imaging {

using sortelia::ProgressCallback;
using sortelia::ProgressReporter;
using sortelia::ReportProgress;

// Four Lagrange weights for the taps at offsets 0..3, scaled so that 1.0 is `scale`.
using CubicWeightSet = std::array<std::int32_t, 4>;

// The cubic weights for position x (1 <= x < 2) between taps 1 and 2, each
// Trunc(basis(x) * scale + 0.5) in extended precision.
CubicWeightSet CubicWeights(long double x, std::int32_t scale);

// Fill every pixel of dst (wider than src, same height) by cubic interpolation along rows.
// Both must be Bgr24; throws std::invalid_argument when the sizes do not fit the pass.
void StretchWidthUp(const Bitmap& src, Bitmap& dst, ProgressReporter* progress = nullptr);
// Fill dst (narrower than src, same height) by area averaging along rows.
void StretchWidthDown(const Bitmap& src, Bitmap& dst, ProgressReporter* progress = nullptr);
// Fill dst (taller than src, same width) by cubic interpolation along columns.
void StretchHeightUp(const Bitmap& src, Bitmap& dst, ProgressReporter* progress = nullptr);
// Fill dst (shorter than src, same width) by area averaging along columns.
void StretchHeightDown(const Bitmap& src, Bitmap& dst, ProgressReporter* progress = nullptr);

// The width pass for one row at a time, with its position tables computed once: used by the
// passes above and by decoders that resample rows as they arrive.
class WidthPass {
 public:
  // Prepares the pass from sourceWidth to destWidth pixels (both at least 1).
  WidthPass(int sourceWidth, int destWidth);
  ~WidthPass();
  WidthPass(const WidthPass&) = delete;
  WidthPass& operator=(const WidthPass&) = delete;
  // Writes destination pixels [x0, x1) of dstRow from srcRow (sourceWidth Bgr24 pixels).
  void run(const std::uint8_t* srcRow, std::uint8_t* dstRow, int x0, int x1) const;
  // Writes the whole destination row.
  void run(const std::uint8_t* srcRow, std::uint8_t* dstRow) const {
    run(srcRow, dstRow, 0, destWidth_);
  }
  int sourceWidth() const { return sourceWidth_; }
  int destWidth() const { return destWidth_; }

 private:
  struct Tables;
  int sourceWidth_;
  int destWidth_;
  std::unique_ptr<Tables> tables_;
};

// Resizes bitmap in place to newWidth x newHeight (width pass, then height pass; an axis
// whose size is unchanged is not touched). A bitmap of another format is converted to Bgr24
// first; an empty bitmap is left alone. Throws std::invalid_argument for a size below 1.
void ResampleBitmap(Bitmap& bitmap, int newWidth, int newHeight,
                    ProgressReporter* progress = nullptr);

}  // namespace sortelia::imaging

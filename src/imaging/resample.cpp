#include "imaging/resample.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace sortelia::imaging {
namespace {

constexpr std::int32_t kWeightScale = 1 << 20;
constexpr std::int32_t kInterpolationBias = 1 << 19;
constexpr std::int32_t kCoverageUnit = 1 << 18;
constexpr std::uint32_t kReductionStart = 1 << 17;
constexpr long double kNormalisationScale = 4194304.0L;  // 2^22
constexpr int kNormalisationShift = 40;
// Beyond this reduction ratio 32-bit accumulators could overflow; wider ones and a finer
// normaliser take over there (results up to this ratio are unchanged by the switch).
constexpr std::int64_t kNarrowRatioLimit = 64;
constexpr long double kWideNormalisationScale = 17179869184.0L;  // 2^34
constexpr int kWideNormalisationShift = 52;

void requireBgr24(const Bitmap& b) {
  if (b.format() != PixelFormat::Bgr24) throw std::invalid_argument("bitmap must be 24-bit BGR");
}

// Trunc in extended precision: cuts toward zero.
long double truncL(long double v) { return std::trunc(v); }

std::uint8_t clampInterpolated(std::int32_t sum) {
  const std::int32_t v = sum >> 20;
  return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// One destination position of an interpolating pass: four source tap indices, clamped to
// 0..count-1, and their weights.
struct Taps {
  std::array<int, 4> index;
  CubicWeightSet weight;
};

Taps tapsFor(std::int64_t sourceCount, std::int64_t destCount, std::int64_t d) {
  const long double t =
      static_cast<long double>((sourceCount - 1) * d) / static_cast<long double>(destCount - 1);
  const long double whole = truncL(t);
  Taps taps;
  taps.weight = CubicWeights(t - whole + 1.0L, kWeightScale);
  const std::int64_t base = static_cast<std::int64_t>(whole) - 1;
  for (int k = 0; k < 4; ++k) {
    taps.index[k] = static_cast<int>(std::clamp<std::int64_t>(base + k, 0, sourceCount - 1));
  }
  return taps;
}

// The normaliser of an area-averaging pass from sourceCount to destCount, and its shift.
struct Normaliser {
  std::uint64_t factor;
  int shift;
  bool wide;
};

Normaliser normaliserFor(std::int64_t sourceCount, std::int64_t destCount) {
  const long double ratio = static_cast<long double>(sourceCount) / destCount;
  if (sourceCount <= kNarrowRatioLimit * destCount) {
    const auto n = static_cast<std::uint32_t>(truncL(1.0L / ratio * kNormalisationScale + 0.5L));
    return {n, kNormalisationShift, false};
  }
  const auto n = static_cast<std::uint64_t>(truncL(1.0L / ratio * kWideNormalisationScale + 0.5L));
  return {n, kWideNormalisationShift, true};
}

// Boundary i of an area-averaging pass: whole source index and fraction in 2^-18 units.
struct Boundary {
  std::int64_t pos;
  std::int32_t frac;
};

Boundary boundaryFor(std::int64_t sourceCount, std::int64_t destCount, std::int64_t i) {
  const long double p = static_cast<long double>(sourceCount * i) / destCount;
  const long double whole = truncL(p);
  return {static_cast<std::int64_t>(whole),
          static_cast<std::int32_t>(truncL((p - whole) * kCoverageUnit + 0.5L))};
}

template <typename Acc>
std::uint8_t normalise(Acc acc, const Normaliser& n) {
  const std::uint64_t v = (static_cast<std::uint64_t>(acc) * n.factor) >> n.shift;
  return static_cast<std::uint8_t>(n.wide ? std::min<std::uint64_t>(v, 255) : v);
}

void reportRow(int row, int rows, int offset, ProgressReporter* progress) {
  if (progress && rows > 1) ReportProgress(row * 100 / (2 * (rows - 1)) + offset, progress);
}

// One destination column of a width reduction: first and last source column touched and
// the coverage weights of those two.
struct Span {
  int first;
  int last;
  std::uint32_t firstWeight;
  std::uint32_t lastWeight;
};

template <typename Acc>
void widthDownRow(const std::uint8_t* s, std::uint8_t* d, const Span* spans, int x0, int x1,
                  const Normaliser& n) {
  d += 3 * static_cast<std::size_t>(x0);
  for (int dx = x0; dx < x1; ++dx, d += 3) {
    const Span& sp = spans[dx];
    const std::uint8_t* p = s + 3 * static_cast<std::size_t>(sp.first);
    Acc c0 = kReductionStart + static_cast<Acc>(p[0]) * sp.firstWeight;
    Acc c1 = kReductionStart + static_cast<Acc>(p[1]) * sp.firstWeight;
    Acc c2 = kReductionStart + static_cast<Acc>(p[2]) * sp.firstWeight;
    Acc m0 = 0, m1 = 0, m2 = 0;
    for (int sx = sp.first + 1; sx < sp.last; ++sx) {
      p += 3;
      m0 += p[0];
      m1 += p[1];
      m2 += p[2];
    }
    c0 += m0 << 18;
    c1 += m1 << 18;
    c2 += m2 << 18;
    if (sp.lastWeight != 0) {
      const std::uint8_t* q = s + 3 * static_cast<std::size_t>(sp.last);
      c0 += static_cast<Acc>(q[0]) * sp.lastWeight;
      c1 += static_cast<Acc>(q[1]) * sp.lastWeight;
      c2 += static_cast<Acc>(q[2]) * sp.lastWeight;
    }
    d[0] = normalise(c0, n);
    d[1] = normalise(c1, n);
    d[2] = normalise(c2, n);
  }
}

void widthUpRow(const std::uint8_t* s, std::uint8_t* d, const Taps* taps, int x0, int x1) {
  d += 3 * static_cast<std::size_t>(x0);
  for (int dx = x0; dx < x1; ++dx, d += 3) {
    const Taps& t = taps[dx];
    for (int k = 0; k < 3; ++k) {
      const std::int32_t sum = kInterpolationBias + s[t.index[0] + k] * t.weight[0] +
                               s[t.index[1] + k] * t.weight[1] + s[t.index[2] + k] * t.weight[2] +
                               s[t.index[3] + k] * t.weight[3];
      d[k] = clampInterpolated(sum);
    }
  }
}

template <typename Acc>
void heightDownRows(const Bitmap& src, Bitmap& dst, const Normaliser& n,
                    ProgressReporter* progress) {
  const std::int64_t sH = src.height(), dH = dst.height();
  const std::size_t rowBytes = static_cast<std::size_t>(dst.width()) * 3;
  std::vector<Acc> acc(rowBytes);
  const auto add = [&](int sy, std::uint32_t weight) {
    const std::uint8_t* s = src.row(sy);
    Acc* a = acc.data();
    for (std::size_t i = 0; i < rowBytes; ++i) a[i] += static_cast<Acc>(s[i]) * weight;
  };
  Boundary end{0, 0};
  for (std::int64_t dy = 0; dy < dH; ++dy) {
    const std::int64_t a = end.pos;
    const std::uint32_t wa = kCoverageUnit - end.frac;
    end = boundaryFor(sH, dH, dy + 1);
    std::fill(acc.begin(), acc.end(), static_cast<Acc>(kReductionStart));
    if (wa != 0) add(static_cast<int>(a), wa);
    for (std::int64_t sy = a + 1; sy < end.pos; ++sy) add(static_cast<int>(sy), kCoverageUnit);
    if (end.frac != 0) add(static_cast<int>(end.pos), static_cast<std::uint32_t>(end.frac));
    std::uint8_t* d = dst.row(static_cast<int>(dy));
    for (std::size_t i = 0; i < rowBytes; ++i) d[i] = normalise(acc[i], n);
    reportRow(static_cast<int>(dy), static_cast<int>(dH), 50, progress);
  }
}

void checkPass(const Bitmap& src, const Bitmap& dst, bool widthPass, bool up) {
  requireBgr24(src);
  requireBgr24(dst);
  const bool ok =
      widthPass
          ? (dst.height() == src.height() &&
             (up ? dst.width() > src.width() : dst.width() < src.width()) && dst.width() > 0)
          : (dst.width() == src.width() &&
             (up ? dst.height() > src.height() : dst.height() < src.height()) && dst.height() > 0);
  if (!ok || src.empty()) throw std::invalid_argument("bitmap sizes do not fit this pass");
}

}  // namespace

CubicWeightSet CubicWeights(long double x, std::int32_t scale) {
  const long double s = scale;
  return {static_cast<std::int32_t>(truncL((x - 1) * (x - 2) * (x - 3) * (-1.0L / 6) * s + 0.5L)),
          static_cast<std::int32_t>(truncL((x - 0) * (x - 2) * (x - 3) * (1.0L / 2) * s + 0.5L)),
          static_cast<std::int32_t>(truncL((x - 0) * (x - 1) * (x - 3) * (-1.0L / 2) * s + 0.5L)),
          static_cast<std::int32_t>(truncL((x - 0) * (x - 1) * (x - 2) * (1.0L / 6) * s + 0.5L))};
}

struct WidthPass::Tables {
  std::vector<Taps> taps;   // enlargement: byte offsets of the taps, per destination column
  std::vector<Span> spans;  // reduction: covered source columns, per destination column
  Normaliser normaliser{};
};

WidthPass::WidthPass(int sourceWidth, int destWidth)
    : sourceWidth_(sourceWidth), destWidth_(destWidth), tables_(std::make_unique<Tables>()) {
  if (sourceWidth < 1 || destWidth < 1) throw std::invalid_argument("width pass needs widths >= 1");
  if (destWidth > sourceWidth) {
    tables_->taps.resize(destWidth);
    for (int dx = 0; dx < destWidth; ++dx) {
      tables_->taps[dx] = tapsFor(sourceWidth, destWidth, dx);
      for (int& i : tables_->taps[dx].index) i *= 3;
    }
  } else if (destWidth < sourceWidth) {
    tables_->normaliser = normaliserFor(sourceWidth, destWidth);
    tables_->spans.resize(destWidth);
    Boundary start = boundaryFor(sourceWidth, destWidth, 0);
    for (int dx = 0; dx < destWidth; ++dx) {
      const Boundary end = boundaryFor(sourceWidth, destWidth, dx + 1);
      tables_->spans[dx] = {static_cast<int>(start.pos), static_cast<int>(end.pos),
                            static_cast<std::uint32_t>(kCoverageUnit - start.frac),
                            static_cast<std::uint32_t>(end.frac)};
      start = end;
    }
  }
}

WidthPass::~WidthPass() = default;

void WidthPass::run(const std::uint8_t* srcRow, std::uint8_t* dstRow, int x0, int x1) const {
  if (destWidth_ > sourceWidth_) {
    widthUpRow(srcRow, dstRow, tables_->taps.data(), x0, x1);
  } else if (destWidth_ < sourceWidth_) {
    if (tables_->normaliser.wide) {
      widthDownRow<std::uint64_t>(srcRow, dstRow, tables_->spans.data(), x0, x1,
                                  tables_->normaliser);
    } else {
      widthDownRow<std::uint32_t>(srcRow, dstRow, tables_->spans.data(), x0, x1,
                                  tables_->normaliser);
    }
  } else {
    std::copy(srcRow + 3 * static_cast<std::size_t>(x0), srcRow + 3 * static_cast<std::size_t>(x1),
              dstRow + 3 * static_cast<std::size_t>(x0));
  }
}

void StretchWidthUp(const Bitmap& src, Bitmap& dst, ProgressReporter* progress) {
  checkPass(src, dst, true, true);
  const int dW = dst.width();
  const WidthPass pass(src.width(), dW);
  ReportProgress(0, progress);
  // Columns in blocks, rows inside a block: the block stays in cache, and progress is still
  // reported column by column.
  constexpr int kBlock = 256;
  for (int x0 = 0; x0 < dW; x0 += kBlock) {
    const int x1 = std::min(dW, x0 + kBlock);
    for (int y = 0; y < src.height(); ++y) pass.run(src.row(y), dst.row(y), x0, x1);
    if (progress) {
      for (int dx = x0; dx < x1; ++dx) ReportProgress(dx * 100 / (2 * (dW - 1)), progress);
    }
  }
}

void StretchHeightUp(const Bitmap& src, Bitmap& dst, ProgressReporter* progress) {
  checkPass(src, dst, false, true);
  const int sH = src.height(), dH = dst.height();
  const std::size_t rowBytes = static_cast<std::size_t>(src.width()) * 3;
  std::vector<const std::uint8_t*> rows(sH);
  for (int y = 0; y < sH; ++y) rows[y] = src.row(y);
  ReportProgress(50, progress);
  for (int dy = 0; dy < dH; ++dy) {
    const Taps t = tapsFor(sH, dH, dy);
    const std::uint8_t* r0 = rows[t.index[0]];
    const std::uint8_t* r1 = rows[t.index[1]];
    const std::uint8_t* r2 = rows[t.index[2]];
    const std::uint8_t* r3 = rows[t.index[3]];
    const std::int32_t w0 = t.weight[0], w1 = t.weight[1], w2 = t.weight[2], w3 = t.weight[3];
    std::uint8_t* d = dst.row(dy);
    for (std::size_t i = 0; i < rowBytes; ++i) {
      d[i] =
          clampInterpolated(kInterpolationBias + r0[i] * w0 + r1[i] * w1 + r2[i] * w2 + r3[i] * w3);
    }
    ReportProgress(dy * 100 / (2 * (dH - 1)) + 50, progress);
  }
}

void StretchWidthDown(const Bitmap& src, Bitmap& dst, ProgressReporter* progress) {
  checkPass(src, dst, true, false);
  ReportProgress(0, progress);
  const WidthPass pass(src.width(), dst.width());
  for (int y = 0; y < src.height(); ++y) {
    pass.run(src.row(y), dst.row(y));
    reportRow(y, dst.height(), 0, progress);
  }
}

void StretchHeightDown(const Bitmap& src, Bitmap& dst, ProgressReporter* progress) {
  checkPass(src, dst, false, false);
  ReportProgress(0, progress);
  const Normaliser n = normaliserFor(src.height(), dst.height());
  if (n.wide) {
    heightDownRows<std::uint64_t>(src, dst, n, progress);
  } else {
    heightDownRows<std::uint32_t>(src, dst, n, progress);
  }
}

void ResampleBitmap(Bitmap& bitmap, int newWidth, int newHeight, ProgressReporter* progress) {
  if (newWidth < 1 || newHeight < 1) {
    throw std::invalid_argument("target width and height must be at least 1 pixel");
  }
  if (bitmap.empty()) return;
  convertTo24Bit(bitmap);
  if (newWidth != bitmap.width()) {
    Bitmap temp(newWidth, bitmap.height());
    if (bitmap.width() < newWidth) {
      StretchWidthUp(bitmap, temp, progress);
    } else {
      StretchWidthDown(bitmap, temp, progress);
    }
    bitmap = std::move(temp);
  }
  if (newHeight != bitmap.height()) {
    Bitmap temp(bitmap.width(), newHeight);
    if (bitmap.height() < newHeight) {
      StretchHeightUp(bitmap, temp, progress);
    } else {
      StretchHeightDown(bitmap, temp, progress);
    }
    bitmap = std::move(temp);
  }
}

}  // namespace sortelia::imaging

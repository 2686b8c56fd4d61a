#include "imaging/jpeg_codec.h"

#include <turbojpeg.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>

#include "imaging/jpeg_stream.h"
#include "platform/file_ops.h"

namespace sortelia::imaging {
namespace {

struct HandleCloser {
  void operator()(void* h) const { tjDestroy(h); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

const auto* bytesOf(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

// The sample precision of the first frame header (SOF0..SOF15 except DHT, JPG and DAC), or 0
// when none is found in the marker sequence before the first scan.
int framePrecision(std::string_view b) {
  std::size_t i = 2;
  while (i + 4 <= b.size()) {
    if (static_cast<unsigned char>(b[i]) != 0xFF) return 0;
    const unsigned marker = static_cast<unsigned char>(b[i + 1]);
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    const std::size_t len =
        (static_cast<unsigned char>(b[i + 2]) << 8) | static_cast<unsigned char>(b[i + 3]);
    const bool isFrame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (isFrame) return i + 4 < b.size() ? static_cast<unsigned char>(b[i + 4]) : 0;
    if (marker == 0xDA || len < 2) return 0;
    i += 2 + len;
  }
  return 0;
}

bool looksLikeJpeg(std::string_view b) {
  return b.size() >= 3 && static_cast<unsigned char>(b[0]) == 0xFF &&
         static_cast<unsigned char>(b[1]) == 0xD8 && static_cast<unsigned char>(b[2]) == 0xFF;
}

JpegDecodeResult failure(std::string message) {
  JpegDecodeResult r;
  r.error = std::move(message);
  return r;
}

}  // namespace

std::string jpegHeaderProblem(std::string_view bytes, int& width, int& height) {
  if (!looksLikeJpeg(bytes)) return "not a JPEG file";
  if (bytes.size() > std::numeric_limits<unsigned long>::max()) return "file too large";
  const int precision = framePrecision(bytes);
  if (precision != 0 && precision != 8) {
    return std::to_string(precision) + "-bit JPEG data is not supported";
  }
  Handle h(tjInitDecompress());
  if (!h) return "the JPEG decoder could not be started";
  int subsamp = 0, colorspace = 0;
  if (tjDecompressHeader3(h.get(), bytesOf(bytes), static_cast<unsigned long>(bytes.size()), &width,
                          &height, &subsamp, &colorspace) != 0) {
    return std::string("unreadable JPEG header: ") + tjGetErrorStr2(h.get());
  }
  if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) {
    return "CMYK JPEG files are not supported";
  }
  if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxDecodePixels) {
    return "the JPEG declares " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, more than the limit of 200 megapixels";
  }
  return {};
}

JpegDecodeResult decodeJpeg(std::string_view bytes, JpegScale scale) {
  JpegDecodeResult r;
  bool outOfMemory = false;
  const JpegBeginFn begin = [&](int width, int height) {
    try {
      r.bitmap = Bitmap(width, height);
    } catch (const std::bad_alloc&) {
      outOfMemory = true;
      throw;
    }
  };
  const JpegRowTarget target{[&](int y) { return r.bitmap.row(y); }, [](int) {}};
  JpegStreamResult s;
  try {
    s = decodeJpegRowsInto(bytes, begin, target, scale);
  } catch (const std::bad_alloc&) {
    if (!outOfMemory) throw;
    return failure("not enough memory to decode the JPEG");
  }
  if (!s.ok) return failure(std::move(s.error));
  r.partial = s.partial;
  r.error = std::move(s.error);
  return r;
}

JpegDecodeResult decodeJpegFile(const std::string& path, JpegScale scale) {
  const auto bytes = fs::readFile(path, kMaxJpegFileBytes);
  if (!bytes) return failure("cannot read \"" + path + "\"");
  JpegDecodeResult r = decodeJpeg(*bytes, scale);
  if (!r.error.empty()) r.error = "\"" + path + "\": " + r.error;
  return r;
}

std::string encodeJpeg(const Bitmap& bitmap, int quality) {
  if (bitmap.empty()) throw std::runtime_error("cannot encode an empty picture");
  const Bitmap* src = &bitmap;
  Bitmap converted;
  if (bitmap.format() != PixelFormat::Bgr24) {
    converted = bitmap;
    convertTo24Bit(converted);
    src = &converted;
  }
  Handle h(tjInitCompress());
  if (!h) throw std::runtime_error("the JPEG encoder could not be started");
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const int rc =
      tjCompress2(h.get(), src->data(), src->width(), static_cast<int>(src->stride()),
                  src->height(), TJPF_BGR, &out, &size, TJSAMP_420, std::clamp(quality, 1, 100), 0);
  std::string result;
  if (rc == 0) result.assign(reinterpret_cast<const char*>(out), size);
  const std::string text = rc == 0 ? "" : tjGetErrorStr2(h.get());
  tjFree(out);
  if (rc != 0) throw std::runtime_error("JPEG encoding failed: " + text);
  return result;
}

}  // namespace sortelia::imaging

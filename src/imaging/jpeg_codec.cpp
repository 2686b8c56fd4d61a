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

// The first frame header (SOF0..SOF15 except DHT, JPG and DAC) of the marker sequence before
// the first scan: its sample precision and declared size, all 0 when none is found.
struct FrameHeader {
  int precision = 0;
  int height = 0;
  int width = 0;
  bool found = false;
};

FrameHeader frameHeader(std::string_view b) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(b[k]); };
  std::size_t i = 2;
  while (i + 4 <= b.size()) {
    if (byte(i) != 0xFF) return {};
    const unsigned marker = byte(i + 1);
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    const std::size_t len = (byte(i + 2) << 8) | byte(i + 3);
    const bool isFrame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (isFrame) {
      FrameHeader f;
      if (i + 9 > b.size()) return f;
      f.found = true;
      f.precision = byte(i + 4);
      f.height = (byte(i + 5) << 8) | byte(i + 6);
      f.width = (byte(i + 7) << 8) | byte(i + 8);
      return f;
    }
    if (marker == 0xDA || len < 2) return {};
    i += 2 + len;
  }
  return {};
}

bool looksLikeJpeg(std::string_view b) {
  return b.size() >= 3 && static_cast<unsigned char>(b[0]) == 0xFF &&
         static_cast<unsigned char>(b[1]) == 0xD8 && static_cast<unsigned char>(b[2]) == 0xFF;
}

constexpr const char* kNoSize = "damaged JPEG data: the picture's size is missing or zero";

JpegDecodeResult failure(std::string message) {
  JpegDecodeResult r;
  r.error = std::move(message);
  return r;
}

}  // namespace

std::string jpegHeaderProblem(std::string_view bytes, int& width, int& height) {
  if (!looksLikeJpeg(bytes)) return "not a JPEG file";
  if (bytes.size() > std::numeric_limits<unsigned long>::max()) return "file too large";
  const FrameHeader frame = frameHeader(bytes);
  if (frame.found && frame.precision != 8) {
    return std::to_string(frame.precision) + "-bit JPEG data is not supported";
  }
  // A size of 0 is refused here rather than read as a height given later (DNL), which the
  // decoder does not support either.
  if (frame.found && (frame.width == 0 || frame.height == 0)) return kNoSize;
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
  // A file cut before its frame header reads as tables only and declares no size.
  if (width <= 0 || height <= 0) return kNoSize;
  if (static_cast<std::int64_t>(width) * height > kMaxDecodePixels) {
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

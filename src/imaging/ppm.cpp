#include "imaging/ppm.h"

#include <cctype>
#include <cstdint>

#include "imaging/jpeg_codec.h"

namespace sortelia::imaging {
namespace {

// Skips white space and '#' comments, then reads a decimal number of at most 9 digits.
std::optional<std::int64_t> headerNumber(std::string_view b, std::size_t& i) {
  while (i < b.size()) {
    if (std::isspace(static_cast<unsigned char>(b[i]))) {
      ++i;
    } else if (b[i] == '#') {
      while (i < b.size() && b[i] != '\n') ++i;
    } else {
      break;
    }
  }
  std::int64_t v = 0;
  int digits = 0;
  while (i < b.size() && std::isdigit(static_cast<unsigned char>(b[i])) && digits < 9) {
    v = v * 10 + (b[i++] - '0');
    ++digits;
  }
  if (digits == 0 || (i < b.size() && std::isdigit(static_cast<unsigned char>(b[i])))) {
    return std::nullopt;
  }
  return v;
}

std::optional<Bitmap> fail(std::string* error, const char* text) {
  if (error) *error = text;
  return std::nullopt;
}

}  // namespace

std::optional<Bitmap> readPpm(std::string_view b, std::string* error) {
  if (b.size() < 2 || b[0] != 'P' || b[1] != '6') return fail(error, "not a binary PPM (P6) file");
  std::size_t i = 2;
  const auto w = headerNumber(b, i), h = headerNumber(b, i), maxval = headerNumber(b, i);
  if (!w || !h || !maxval || *w < 1 || *h < 1) return fail(error, "bad PPM header");
  if (*maxval != 255) return fail(error, "only PPM files with maxval 255 are supported");
  if (*w * *h > kMaxDecodePixels) return fail(error, "PPM picture too large");
  if (i >= b.size() || !std::isspace(static_cast<unsigned char>(b[i]))) {
    return fail(error, "bad PPM header");
  }
  ++i;
  const std::size_t rowBytes = static_cast<std::size_t>(*w) * 3;
  if ((b.size() - i) / rowBytes < static_cast<std::size_t>(*h)) {
    return fail(error, "truncated PPM data");
  }
  Bitmap out(static_cast<int>(*w), static_cast<int>(*h));
  for (int y = 0; y < out.height(); ++y, i += rowBytes) {
    const char* s = b.data() + i;
    std::uint8_t* d = out.row(y);
    for (std::size_t x = 0; x < rowBytes; x += 3) {  // file order R G B
      d[x] = static_cast<std::uint8_t>(s[x + 2]);
      d[x + 1] = static_cast<std::uint8_t>(s[x + 1]);
      d[x + 2] = static_cast<std::uint8_t>(s[x]);
    }
  }
  return out;
}

std::string writePpm(const Bitmap& bitmap) {
  Bitmap converted;
  const Bitmap* src = &bitmap;
  if (bitmap.format() != PixelFormat::Bgr24) {
    converted = bitmap;
    convertTo24Bit(converted);
    src = &converted;
  }
  std::string out =
      "P6\n" + std::to_string(src->width()) + " " + std::to_string(src->height()) + "\n255\n";
  const std::size_t header = out.size(), rowBytes = static_cast<std::size_t>(src->width()) * 3;
  out.resize(header + rowBytes * src->height());
  char* d = out.data() + header;
  for (int y = 0; y < src->height(); ++y, d += rowBytes) {
    const std::uint8_t* s = src->row(y);
    for (std::size_t x = 0; x < rowBytes; x += 3) {
      d[x] = static_cast<char>(s[x + 2]);
      d[x + 1] = static_cast<char>(s[x + 1]);
      d[x + 2] = static_cast<char>(s[x]);
    }
  }
  return out;
}

}  // namespace sortelia::imaging

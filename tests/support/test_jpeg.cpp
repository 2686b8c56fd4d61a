#include "support/test_jpeg.h"

#include <turbojpeg.h>

#include <stdexcept>
#include <vector>

namespace sortelia::testing {

std::string makeTestJpeg(int width, int height) {
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      p[0] = static_cast<unsigned char>(x * 255 / (width > 1 ? width - 1 : 1));
      p[1] = static_cast<unsigned char>(y * 255 / (height > 1 ? height - 1 : 1));
      p[2] = 128;
    }
  }
  tjhandle h = tjInitCompress();
  if (!h) throw std::runtime_error("tjInitCompress failed");
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const int rc =
      tjCompress2(h, rgb.data(), width, 0, height, TJPF_RGB, &out, &size, TJSAMP_420, 90, 0);
  std::string bytes;
  if (rc == 0) bytes.assign(reinterpret_cast<char*>(out), size);
  tjFree(out);
  tjDestroy(h);
  if (rc != 0) throw std::runtime_error("tjCompress2 failed");
  // libjpeg-turbo writes a JFIF APP0 segment after SOI; drop it so that tests decide exactly
  // which segments the file holds.
  if (bytes.size() > 6 && static_cast<unsigned char>(bytes[2]) == 0xFF &&
      static_cast<unsigned char>(bytes[3]) == 0xE0) {
    const std::size_t len =
        (static_cast<unsigned char>(bytes[4]) << 8) | static_cast<unsigned char>(bytes[5]);
    bytes.erase(2, 2 + len);
  }
  return bytes;
}

}  // namespace sortelia::testing

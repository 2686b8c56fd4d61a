#include "imaging/jpeg_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include <turbojpeg.h>

#include "imaging/resample.h"
#include "platform/file_ops.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::imaging {
namespace {

using sortelia::testing::makeTestJpeg;
using sortelia::testing::testData;

// decodeJpeg + ResampleBitmap, the two-step way.
JpegDecodeResult twoStep(std::string_view bytes, int w, int h) {
  JpegDecodeResult r = decodeJpeg(bytes);
  if (r.ok()) ResampleBitmap(r.bitmap, w, h);
  return r;
}

void expectSame(std::string_view bytes, int w, int h, const std::string& what) {
  const JpegDecodeResult want = twoStep(bytes, w, h);
  const JpegDecodeResult got = decodeJpegResampled(bytes, w, h);
  ASSERT_EQ(got.ok(), want.ok()) << what << ": " << got.error;
  EXPECT_EQ(got.partial, want.partial) << what;
  EXPECT_TRUE(got.bitmap.samePixels(want.bitmap)) << what << " -> " << w << "x" << h;
}

TEST(JpegStream, ResampledDecodeEqualsDecodeThenResample) {
  for (const auto& entry : std::filesystem::directory_iterator(testData("camera"))) {
    const auto bytes = fs::readFile(entry.path().string(), 1 << 26);
    ASSERT_TRUE(bytes);
    const JpegDecodeResult full = decodeJpeg(*bytes);
    ASSERT_TRUE(full.ok());
    const int w = full.bitmap.width(), h = full.bitmap.height();
    const std::string name = entry.path().filename().string();
    expectSame(*bytes, w / 3 + 1, h / 2 + 1, name);
    expectSame(*bytes, w * 2, h - 1, name);
    expectSame(*bytes, w, h / 5 + 1, name);
  }
}

// A JPEG of a noisy picture in the given pixel format, chroma subsampling and flags.
std::string encoded(int pixelFormat, int subsampling, int flags) {
  const int w = 97, h = 61, channels = tjPixelSize[pixelFormat];
  std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h * channels);
  unsigned v = 12345;
  for (auto& p : pixels) p = static_cast<unsigned char>((v = v * 1103515245 + 12345) >> 24);
  std::unique_ptr<void, int (*)(void*)> handle(tjInitCompress(), tjDestroy);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(handle.get(), pixels.data(), w, 0, h, pixelFormat, &out, &size,
                             subsampling, 85, flags);
  std::string bytes = rc == 0 ? std::string(reinterpret_cast<char*>(out), size) : "";
  tjFree(out);
  return bytes;
}

TEST(JpegStream, EveryKindOfJpegDecodesAsTheWholeDecode) {
  const struct {
    int format, subsampling, flags;
    const char* what;
  } kinds[] = {{TJPF_GRAY, TJSAMP_GRAY, 0, "grey"},
               {TJPF_RGB, TJSAMP_444, 0, "4:4:4"},
               {TJPF_RGB, TJSAMP_422, 0, "4:2:2"},
               {TJPF_RGB, TJSAMP_420, TJFLAG_PROGRESSIVE, "progressive 4:2:0"},
               {TJPF_RGB, TJSAMP_440, 0, "4:4:0"},
               {TJPF_RGB, TJSAMP_411, 0, "4:1:1"}};
  for (const auto& k : kinds) {
    const std::string jpeg = encoded(k.format, k.subsampling, k.flags);
    ASSERT_FALSE(jpeg.empty()) << k.what;
    expectSame(jpeg, 40, 20, k.what);
    expectSame(jpeg, 200, 61, k.what);
  }
}

TEST(JpegStream, DamagedAndRefusedFilesBehaveAsTheWholeDecode) {
  const std::string jpeg = makeTestJpeg(80, 64);
  expectSame(jpeg.substr(0, jpeg.size() / 2), 30, 20, "truncated");
  expectSame("not a jpeg", 30, 20, "text");
  for (const auto& entry : std::filesystem::directory_iterator(testData("invalid"))) {
    const auto bytes = fs::readFile(entry.path().string(), 1 << 26);
    ASSERT_TRUE(bytes);
    expectSame(*bytes, 17, 9, entry.path().filename().string());
  }
  EXPECT_THROW(decodeJpegResampled(jpeg, 0, 10), std::invalid_argument);
}

TEST(JpegStream, LargePicturesNarrowedBesideTheDecoderGiveTheSameBytes) {
  // Above a megapixel the width pass runs on a second thread (on a multi-core machine).
  const std::string jpeg = makeTestJpeg(1500, 1100);
  expectSame(jpeg, 400, 293, "large");
  expectSame(jpeg, 1501, 1099, "large, wider");
  expectSame(jpeg, 1500, 2000, "large, taller");
  expectSame(jpeg.substr(0, jpeg.size() * 3 / 5), 400, 293, "large, truncated");
  std::string broken = jpeg;
  for (std::size_t i = broken.size() / 2; i < broken.size() / 2 + 64; ++i) broken[i] = '\xFF';
  expectSame(broken, 400, 293, "large, damaged");
}

TEST(JpegStream, RowsArriveInOrderAndCallbackErrorsPassThrough) {
  const std::string jpeg = makeTestJpeg(40, 30);
  int seenW = 0, seenH = 0, next = 0;
  const JpegStreamResult r = decodeJpegRows(
      jpeg, [&](int w, int h) { seenW = w, seenH = h; },
      [&](int y, const std::uint8_t*) { EXPECT_EQ(y, next++); });
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(seenW, 40);
  EXPECT_EQ(seenH, 30);
  EXPECT_EQ(next, 30);
  EXPECT_THROW(decodeJpegRows(
                   jpeg, [](int, int) {},
                   [](int y, const std::uint8_t*) {
                     if (y == 5) throw std::runtime_error("stop");
                   }),
               std::runtime_error);
}

}  // namespace
}  // namespace sortelia::imaging

#include "imaging/raw_preview.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "imaging/jpeg_size.h"
#include "support/exif_builder.h"
#include "support/raw_builder.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::imaging {
namespace {

using sortelia::testing::ExifBuilder;
using sortelia::testing::isoBox;
using sortelia::testing::isoBox64;
using sortelia::testing::makeCr3;
using sortelia::testing::makeRaf;
using sortelia::testing::makeTestJpeg;
using sortelia::testing::TiffBuilder;
using sortelia::testing::uuidBox;
using T = TiffBuilder;

constexpr std::uint16_t kCompression = 0x0103, kStripOffsets = 0x0111, kOrientation = 0x0112,
                        kStripByteCounts = 0x0117, kSubIfds = 0x014A, kJpegOffset = 0x0201,
                        kJpegLength = 0x0202, kShort = 3, kLong = 4;

// A JPEG of random pixels at full quality: many bytes for few pixels.
std::string noisyJpeg(int width, int height) {
  std::mt19937 random(7);
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * 3; ++x) b.row(y)[x] = static_cast<std::uint8_t>(random());
  }
  return encodeJpeg(b, 100);
}

// The usual test pictures: a thumbnail, a preview, a large preview.
const std::string& small() {
  static const std::string jpeg = makeTestJpeg(32, 24);
  return jpeg;
}
const std::string& medium() {
  static const std::string jpeg = makeTestJpeg(96, 64);
  return jpeg;
}
const std::string& large() {
  static const std::string jpeg = makeTestJpeg(160, 120);
  return jpeg;
}

std::uint32_t length(const std::string& s) { return static_cast<std::uint32_t>(s.size()); }

// IFD entries of a JPEG kept as JPEGInterchangeFormat and its length.
void addJif(TiffBuilder& t, int ifd, const std::string& jpeg) {
  const int blob = t.addBlob(jpeg);
  t.entry(ifd, kJpegOffset, kLong, {T::blob(blob)});
  t.entry(ifd, kJpegLength, kLong, {T::num(length(jpeg))});
}

// IFD entries of a JPEG kept as one strip of the given compression.
void addStrip(TiffBuilder& t, int ifd, const std::string& jpeg, std::uint32_t compression) {
  const int blob = t.addBlob(jpeg);
  t.entry(ifd, kCompression, kShort, {T::num(compression)});
  t.entry(ifd, kStripOffsets, kLong, {T::blob(blob)});
  t.entry(ifd, kStripByteCounts, kLong, {T::num(length(jpeg))});
}

struct Expected {
  int width = 0;  // 0: no preview expected
  int height = 0;
  int orientation = 1;
};

void expectPreview(const RawPreview& p, const Expected& e, RawContainer container) {
  if (e.width == 0) {
    EXPECT_FALSE(p.ok());
    EXPECT_FALSE(p.error.empty());
    return;
  }
  ASSERT_TRUE(p.ok()) << p.error;
  EXPECT_EQ(p.container, container);
  EXPECT_EQ(p.width, e.width);
  EXPECT_EQ(p.height, e.height);
  EXPECT_EQ(p.orientation, e.orientation);
  const auto size = readJpegSize(p.jpeg);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, e.width);
  EXPECT_EQ(size->height, e.height);
}

// The layouts of the TIFF-based RAWs: where each keeps its previews.
TEST(RawPreview, TiffRawsGiveTheirLargestPreviewAndOrientation) {
  struct Case {
    const char* what;
    std::string file;
    Expected expected;
  };
  std::vector<Case> cases;
  {  // DNG, NEF, ARW: a thumbnail in IFD0's strips, the previews in SubIFDs.
    T t(false);
    const int ifd0 = t.addIfd(), sub0 = t.addIfd(), sub1 = t.addIfd();
    t.entry(ifd0, kOrientation, kShort, {T::num(8)});
    addStrip(t, ifd0, small(), 7);
    t.entry(ifd0, kSubIfds, kLong, {T::ifd(sub0), T::ifd(sub1)});
    addJif(t, sub0, large());
    addStrip(t, sub1, medium(), 6);
    cases.push_back({"SubIFDs", t.build(), {160, 120, 8}});
  }
  {  // PEF, CR2 (big-endian here): IFD0's strips hold the large JPEG, IFD1 the thumbnail.
    T t(true);
    const int ifd0 = t.addIfd(), ifd1 = t.addIfd();
    t.entry(ifd0, kOrientation, kShort, {T::num(3)});
    addStrip(t, ifd0, large(), 6);
    t.next(ifd0, T::ifd(ifd1));
    addJif(t, ifd1, small());
    cases.push_back({"IFD0 strips, IFD1 thumbnail", t.build(), {160, 120, 3}});
  }
  {  // ORF's magic "RO"; the preview in the chain's second IFD.
    T t(false, 0x4F52);
    const int ifd0 = t.addIfd(), ifd1 = t.addIfd();
    t.entry(ifd0, kOrientation, kShort, {T::num(6)});
    t.next(ifd0, T::ifd(ifd1));
    addJif(t, ifd1, medium());
    cases.push_back({"ORF", t.build(), {96, 64, 6}});
  }
  {  // RW2: magic 0x55, a whole JPEG as the JpgFromRaw entry of IFD0.
    T t(false, 0x55);
    const int ifd0 = t.addIfd();
    t.bytesEntry(ifd0, 0x002E, large());
    t.next(ifd0, T::ifd(t.addIfd()));
    addJif(t, 1, small());
    cases.push_back({"RW2 JpgFromRaw", t.build(), {160, 120, 1}});
  }
  {  // The larger picture wins even where it takes fewer bytes.
    const std::string dense = noisyJpeg(48, 40);
    ASSERT_GT(dense.size(), large().size());
    T t(true);
    const int ifd0 = t.addIfd(), ifd1 = t.addIfd();
    addJif(t, ifd0, dense);
    t.next(ifd0, T::ifd(ifd1));
    addJif(t, ifd1, large());
    cases.push_back({"by pixels, not bytes", t.build(), {160, 120, 1}});
  }
  for (bool gap : {false, true}) {
    // A JPEG in two strips that follow one another is one candidate; with a gap, none.
    const std::string& j = medium();
    T t(false);
    const int ifd0 = t.addIfd();
    const int first = t.addBlob(j.substr(0, 100));
    if (gap) t.addBlob("gap");
    const int second = t.addBlob(j.substr(100));
    t.entry(ifd0, kCompression, kShort, {T::num(7)});
    t.entry(ifd0, kStripOffsets, kLong, {T::blob(first), T::blob(second)});
    t.entry(ifd0, kStripByteCounts, kLong, {T::num(100), T::num(length(j) - 100)});
    t.next(ifd0, T::ifd(t.addIfd()));
    addJif(t, 1, small());
    cases.push_back({gap ? "two strips apart" : "two strips", t.build(),
                     gap ? Expected{32, 24, 1} : Expected{96, 64, 1}});
  }
  {  // Strips of a compression other than JPEG are RAW data, not a preview.
    T t(false);
    const int ifd0 = t.addIfd();
    addStrip(t, ifd0, large(), 1);
    t.next(ifd0, T::ifd(t.addIfd()));
    addJif(t, 1, small());
    cases.push_back({"uncompressed strips skipped", t.build(), {32, 24, 1}});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    expectPreview(extractRawPreview(c.file), c.expected, RawContainer::Tiff);
    expectPreview(extractOwnRawPreview(c.file), c.expected, RawContainer::Tiff);
  }
}

// A JPEG whose frame header says lossless (SOF3), as the RAW data of CR2 and DNG files is kept.
std::string losslessLooking(std::string jpeg) {
  jpeg[jpeg.find("\xFF\xC0", 2) + 1] = '\xC3';
  return jpeg;
}

TEST(RawPreview, HostileTiffRawsGiveNoPreviewOrTheSoundOne) {
  struct Case {
    const char* what;
    std::string file;
    Expected expected;
  };
  std::vector<Case> cases;
  auto jifAt = [](std::uint32_t offset, std::uint32_t size, bool withThumb) {
    T t(false);
    const int ifd0 = t.addIfd();
    t.entry(ifd0, kJpegOffset, kLong, {T::num(offset)});
    t.entry(ifd0, kJpegLength, kLong, {T::num(size)});
    if (withThumb) {
      t.next(ifd0, T::ifd(t.addIfd()));
      addJif(t, 1, small());
    }
    return t.build();
  };
  cases.push_back({"offset past the end", jifAt(1'000'000, 500, false), {}});
  cases.push_back({"length past the end", jifAt(8, 0xFFFFFFF0u, false), {}});
  cases.push_back(
      {"offset and length overflowing", jifAt(0xFFFFFFFFu, 0xFFFFFFFFu, true), {32, 24, 1}});
  cases.push_back({"zero length", jifAt(8, 0, true), {32, 24, 1}});
  {
    T t(false);
    addJif(t, t.addIfd(), std::string(300, 'x'));
    cases.push_back({"preview not a JPEG", t.build(), {}});
  }
  {
    T t(false);
    const int ifd0 = t.addIfd();
    addJif(t, ifd0, losslessLooking(large()));
    t.next(ifd0, T::ifd(t.addIfd()));
    addJif(t, 1, small());
    cases.push_back({"a JPEG the decoder refuses", t.build(), {32, 24, 1}});
  }
  {
    T t(false);
    const int ifd0 = t.addIfd(), ifd1 = t.addIfd();
    addJif(t, ifd0, medium());
    t.next(ifd0, T::ifd(ifd1)).next(ifd1, T::ifd(ifd0));
    t.entry(ifd1, kSubIfds, kLong, {T::ifd(ifd1), T::ifd(ifd0)});
    cases.push_back({"chain and SubIFDs in a loop", t.build(), {96, 64, 1}});
  }
  {
    T t(false);
    const int ifd0 = t.addIfd();
    t.entry(ifd0, kSubIfds, kLong, std::vector<T::Value>(5000, T::num(8)));
    addJif(t, ifd0, small());
    cases.push_back({"thousands of SubIFDs", t.build(), {32, 24, 1}});
  }
  {  // A chain longer than the walk's limit: the preview at its end is not reached.
    T t(false);
    for (int i = 0; i < 100; ++i) t.addIfd();
    for (int i = 0; i + 1 < 100; ++i) t.next(i, T::ifd(i + 1));
    addJif(t, 99, large());
    addJif(t, 0, small());
    cases.push_back({"chain beyond the limit", t.build(), {32, 24, 1}});
  }
  {
    T t(false);
    addJif(t, t.addIfd(), large());
    const std::string whole = t.build();
    cases.push_back({"cut inside the preview", whole.substr(0, whole.size() - 200), {}});
    std::string countless = whole;
    countless[8] = '\xFF';  // IFD0 declares 65,535 entries
    countless[9] = '\xFF';
    cases.push_back({"entry count past the end", countless, {}});
    cases.push_back({"header only", whole.substr(0, 8), {}});
    cases.push_back({"IFD0 past the end", std::string("II*\0\xF0\xFF\xFF\x0F", 8), {}});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    expectPreview(extractOwnRawPreview(c.file), c.expected, RawContainer::Tiff);
    expectPreview(extractRawPreview(c.file), c.expected, RawContainer::Tiff);
  }
}

std::string cmt1(int orientation) {
  return ExifBuilder(false)
      .ascii(exif::Ifd::kIfd0, 0x010F, "Canon")
      .ascii(exif::Ifd::kIfd0, 0x0110, "Canon EOS R6")
      .shortValue(exif::Ifd::kIfd0, kOrientation, static_cast<std::uint16_t>(orientation))
      .tiff();
}

std::string cmt2() {
  // CMT2 is the EXIF IFD written as IFD0 of a TIFF block of its own.
  return ExifBuilder(false).ascii(exif::Ifd::kIfd0, 0x9003, "2026:12:09 10:11:12").tiff();
}

TEST(RawPreview, Cr3GivesTheLargerOfPrvwAndTrackOneWithItsMetadata) {
  struct Case {
    const char* what;
    std::string file;
    Expected expected;
  };
  const std::string ftyp = isoBox("ftyp", std::string("crx \0\0\0\1crx isom", 16));
  // Eight bytes before the PRVW box; in it 4 bytes, 1, width 1620, height 1080, 1.
  const std::string prvwBody = std::string(12, '\0') + std::string("\0\1\6\124\4\070\0\1", 8);
  auto prvw = [&](const std::string& jpeg, std::uint32_t declared) {
    std::string b = prvwBody;
    for (int i = 3; i >= 0; --i) b += static_cast<char>(declared >> (8 * i));
    return b.substr(0, 8) + isoBox("PRVW", b.substr(8) + jpeg);
  };
  const std::string uuid = sortelia::testing::cr3PreviewUuid();
  const std::vector<Case> cases = {
      {"full-size track larger", makeCr3(medium(), large(), cmt1(6), cmt2()), {160, 120, 6}},
      {"PRVW larger", makeCr3(large(), small(), cmt1(1), cmt2()), {160, 120, 1}},
      {"PRVW only", makeCr3(medium(), "", cmt1(8), cmt2()), {96, 64, 8}},
      {"THMB only", makeCr3("", "", cmt1(3), cmt2(), small()), {32, 24, 3}},
      {"64-bit box size",
       ftyp + isoBox64("uuid", uuid + prvw(medium(), length(medium()))),
       {96, 64, 1}},
      {"size 0: to the end",
       ftyp + std::string("\0\0\0\0uuid", 8) + uuid + prvw(medium(), length(medium())),
       {96, 64, 1}},
      {"PRVW length past its box", ftyp + uuidBox(uuid, prvw(medium(), 0x7FFFFFFF)), {}},
      {"box cut short", makeCr3(medium(), "", cmt1(1), cmt2()).substr(0, 400), {}},
      {"box size below its header",
       ftyp + std::string("\0\0\0\4uuid", 8) + uuid + prvw(medium(), length(medium())),
       {}},
      {"64-bit size past the end",
       ftyp + std::string("\0\0\0\1uuid\x7F\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 16) + uuid +
           prvw(medium(), length(medium())),
       {}},
      {"ftyp only", ftyp, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    expectPreview(extractRawPreview(c.file), c.expected, RawContainer::Cr3);
  }

  // The metadata boxes are handed out whole, for the EXIF reader.
  const RawPreview p = extractRawPreview(makeCr3(medium(), large(), cmt1(6), cmt2()));
  EXPECT_EQ(p.cr3Ifd0, cmt1(6));
  EXPECT_EQ(p.cr3ExifIfd, cmt2());
}

TEST(RawPreview, Cr3FullSizeSampleOutsideTheFileIsSkipped) {
  std::string file = makeCr3(medium(), large(), cmt1(1), cmt2());
  // co64's one offset is the last 8 bytes of the moov box, just before the preview's uuid box.
  const std::size_t co64 = file.find("co64");
  ASSERT_NE(co64, std::string::npos);
  for (int i = 0; i < 8; ++i) file[co64 + 12 + i] = '\x7F';
  expectPreview(extractRawPreview(file), {96, 64, 1}, RawContainer::Cr3);
}

// LibRaw 0.20's CR3 parser looped without end on this damaged CR3, found by the fuzz target
// when every file without a preview of its own went to LibRaw; a CR3 is now read by the own
// reader alone.
TEST(RawPreview, DamagedCr3NeverReachesLibRaw) {
  const RawPreview p = extractRawPreview(
      sortelia::testing::readAll(sortelia::testing::testData("raw/cr3_libraw_loop.cr3")));
  EXPECT_FALSE(p.ok());
  EXPECT_FALSE(p.error.empty());
  EXPECT_EQ(p.container, RawContainer::Cr3);
}

TEST(RawPreview, RafTakesTheHeadersJpegAndItsExifOrientation) {
  const std::string exifJpeg = sortelia::testing::jpegWithSegments(
      {ExifBuilder(true).shortValue(exif::Ifd::kIfd0, kOrientation, 8).app1()}, 64, 48);
  expectPreview(extractRawPreview(makeRaf(exifJpeg)), {64, 48, 8}, RawContainer::Raf);
  expectPreview(extractRawPreview(makeRaf(medium())), {96, 64, 1}, RawContainer::Raf);

  std::string pastTheEnd = makeRaf(medium());
  pastTheEnd[84] = '\x10';  // the offset
  expectPreview(extractRawPreview(pastTheEnd), {}, RawContainer::Raf);
  std::string tooLong = makeRaf(medium());
  tooLong[88] = '\x7F';  // the length
  expectPreview(extractRawPreview(tooLong), {}, RawContainer::Raf);
  expectPreview(extractRawPreview(makeRaf("")), {}, RawContainer::Raf);
  expectPreview(extractRawPreview(makeRaf(medium()).substr(0, 91)), {}, RawContainer::Raf);
}

TEST(RawPreview, UnknownBytesGiveAMessage) {
  for (const std::string& bytes :
       {std::string(), std::string("hello"), std::string(5000, '\0'), makeTestJpeg(16, 16)}) {
    const RawPreview p = extractRawPreview(bytes);
    EXPECT_FALSE(p.ok());
    EXPECT_FALSE(p.error.empty());
  }
  sortelia::testing::TempDir dir;
  const RawPreview missing = extractRawPreviewFile(dir.file("none.cr3"));
  EXPECT_NE(missing.error.find("none.cr3"), std::string::npos);
  const RawPreview present =
      extractRawPreviewFile(dir.write("a.cr3", makeCr3(medium(), "", cmt1(1), cmt2())));
  EXPECT_TRUE(present.ok()) << present.error;
}

// Where each stored pixel (x, y) of a W x H picture is shown under each EXIF orientation.
TEST(RawPreview, OrientationsTurnAndMirrorAsExifDefinesThem) {
  constexpr int W = 3, H = 2;
  Bitmap source(W, H);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) source.row(y)[x * 3] = static_cast<std::uint8_t>(10 * y + x);
  }
  struct Place {
    int x, y;
  };
  using Map = Place (*)(int, int);
  const Map maps[9] = {
      [](int x, int y) {
        return Place{x, y};
      },  // 0: unknown, as stored
      [](int x, int y) {
        return Place{x, y};
      },  // 1
      [](int x, int y) {
        return Place{W - 1 - x, y};
      },  // 2: mirrored
      [](int x, int y) {
        return Place{W - 1 - x, H - 1 - y};
      },  // 3: half turn
      [](int x, int y) {
        return Place{x, H - 1 - y};
      },  // 4: upside down
      [](int x, int y) {
        return Place{y, x};
      },  // 5: transposed
      [](int x, int y) {
        return Place{H - 1 - y, x};
      },  // 6: clockwise
      [](int x, int y) {
        return Place{H - 1 - y, W - 1 - x};
      },  // 7: transverse
      [](int x, int y) {
        return Place{y, W - 1 - x};
      },  // 8: anticlockwise
  };
  for (int o = 0; o <= 9; ++o) {
    SCOPED_TRACE(o);
    const Bitmap shown = orientBitmap(source, o);
    const bool across = o >= 5 && o <= 8;
    ASSERT_EQ(shown.width(), across ? H : W);
    ASSERT_EQ(shown.height(), across ? W : H);
    for (int y = 0; y < H; ++y) {
      for (int x = 0; x < W; ++x) {
        const Place p = maps[o == 9 ? 0 : o](x, y);
        EXPECT_EQ(shown.row(p.y)[p.x * 3], source.row(y)[x * 3]) << x << "," << y;
      }
    }
  }
}

TEST(RawPreview, DecodeTurnsThePreviewByTheRawsOrientation) {
  T t(false);
  const int ifd0 = t.addIfd();
  t.entry(ifd0, kOrientation, kShort, {T::num(6)});
  addJif(t, ifd0, medium());
  const RawPreview p = extractRawPreview(t.build());
  ASSERT_TRUE(p.ok()) << p.error;
  const JpegDecodeResult shown = decodeRawPreview(p);
  ASSERT_TRUE(shown.ok()) << shown.error;
  EXPECT_EQ(shown.bitmap.width(), 64);
  EXPECT_EQ(shown.bitmap.height(), 96);
  EXPECT_TRUE(shown.bitmap.samePixels(orientBitmap(decodeJpeg(medium()).bitmap, 6)));

  const JpegDecodeResult eighth = decodeRawPreview(p, JpegScale::Eighth);
  ASSERT_TRUE(eighth.ok());
  EXPECT_EQ(eighth.bitmap.width(), 8);
  EXPECT_EQ(eighth.bitmap.height(), 12);
  EXPECT_FALSE(decodeRawPreview(RawPreview{}).ok());
}

}  // namespace
}  // namespace sortelia::imaging

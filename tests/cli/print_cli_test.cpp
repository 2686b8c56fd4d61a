// sortelia-cli print: pages written to a PDF, rendered back with pdftoppm and read as pixels.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "imaging/jpeg_codec.h"
#include "imaging/ppm.h"
#include "outputs/print/print_page.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace sortelia::outputs {
namespace {

using sortelia::testing::readAll;
using sortelia::testing::runProcess;
using sortelia::testing::TempDir;

const std::string kCli = std::string(SORTELIA_BIN_DIR) + "/sortelia-cli";

std::string solidJpeg(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  imaging::Bitmap bitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = bitmap.row(y) + 3 * x;
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  return imaging::encodeJpeg(bitmap, 95);
}

// Page n of the PDF at 300 dots per inch.
std::optional<imaging::Bitmap> renderPage(const TempDir& dir, const std::string& pdf, int n) {
  const std::string prefix = dir.file("page" + std::to_string(n));
  const auto r = runProcess({"pdftoppm", "-r", "300", "-f", std::to_string(n), "-l",
                             std::to_string(n), "-singlefile", pdf, prefix});
  if (r.exitCode != 0) return std::nullopt;
  return imaging::readPpm(readAll(prefix + ".ppm"));
}

struct Rgb8 {
  int r, g, b;
};
Rgb8 at(const imaging::Bitmap& b, int x, int y) {
  const std::uint8_t* p = b.row(y) + 3 * x;
  return {p[2], p[1], p[0]};
}
bool near(Rgb8 c, int r, int g, int b, int tolerance = 40) {
  return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance &&
         std::abs(c.b - b) <= tolerance;
}

TEST(PrintCommand, OnePagePerPictureScaledAtTheTopLeftWithClippedCommentLines) {
  if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
  if (!testing::haveProgram("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  TempDir dir;
  const std::string wide = dir.write("wide.jpg", solidJpeg(400, 300, 0, 160, 0));
  const std::string tall = dir.write("tall.jpg", solidJpeg(300, 600, 200, 200, 0));
  const std::string pdf = dir.file("out.pdf");
  const auto r =
      runProcess({kCli, "print", "--pdf", pdf, "--top", "name", "--bottom-text", "下部の文",
                  "--colour", "red", "--size", "40", wide, dir.file("gone.jpg"), tall});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("2 page(s)"), std::string::npos);

  const auto one = renderPage(dir, pdf, 1);
  ASSERT_TRUE(one);
  ASSERT_NEAR(one->width(), 2480, 1);
  // Landscape on portrait: 2480 x 1860 at the top-left, white below.
  EXPECT_TRUE(near(at(*one, 5, 5), 0, 160, 0));
  EXPECT_TRUE(near(at(*one, 2470, 1850), 0, 160, 0));
  EXPECT_TRUE(near(at(*one, 1200, 1875), 255, 255, 255));
  // "wide.jpg" (8 bytes) in red at size 40: only inside (20, 20) - (340, 61).
  int redInside = 0, textOutside = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 800; ++x) {
      const Rgb8 c = at(*one, x, y);
      const bool textish = near(c, 255, 0, 0, 80) || (c.r > 150 && c.g > 150 && c.b > 150);
      const bool inside = x >= 20 && x < 340 && y >= 20 && y < 61;
      if (textish) (inside ? redInside : textOutside)++;
    }
  EXPECT_GT(redInside, 200);
  EXPECT_EQ(textOutside, 0);
  // The bottom line "下部の文" (8 bytes) inside (20, 1800) - (340, 1841).
  int bottomRed = 0;
  for (int y = 1780; y < 1860; ++y)
    for (int x = 0; x < 400; ++x) bottomRed += near(at(*one, x, y), 255, 0, 0, 80);
  EXPECT_GT(bottomRed, 200);

  const auto two = renderPage(dir, pdf, 2);
  ASSERT_TRUE(two);
  // Taller than the page in proportion: the page height, 1754 wide; white to the right.
  EXPECT_TRUE(near(at(*two, 1745, 3400), 200, 200, 0));
  EXPECT_TRUE(near(at(*two, 1770, 1000), 255, 255, 255));
}

TEST(PrintCommand, NothingTickedGivesAPageWithoutTextAndBadArgumentsAreRefused) {
  if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
  TempDir dir;
  const std::string wide = dir.write("wide.jpg", solidJpeg(400, 300, 0, 160, 0));
  imaging::Bitmap page = renderPrintPage(wide, {}, {255, 0, 0}, 50, 800, 1000);
  ASSERT_EQ(page.width(), 800);
  ASSERT_EQ(page.height(), 600);
  for (int y = 0; y < page.height(); y += 7)
    for (int x = 0; x < page.width(); x += 7) ASSERT_TRUE(near(at(page, x, y), 0, 160, 0, 8));

  EXPECT_EQ(runProcess({kCli, "print", wide}).exitCode, 2);  // no --pdf
  EXPECT_EQ(runProcess({kCli, "print", "--pdf", dir.file("o.pdf"), "--size", "5", wide}).exitCode,
            2);
  EXPECT_EQ(
      runProcess({kCli, "print", "--pdf", dir.file("o.pdf"), "--top", "title", wide}).exitCode, 2);
  const std::string broken = dir.write("broken.jpg", "not a jpeg");
  const auto r = runProcess({kCli, "print", "--pdf", dir.file("o.pdf"), wide, broken, wide});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("1 page(s)"), std::string::npos);  // the pages before it are kept
}

// Fault: a print of only missing files, FIFOs, devices or folders wrote a PDF of no pages and
// ended with success, calling each "no such file"; a write error did not say why.
TEST(PrintCommand, NothingPrintableWritesNoPdfAndSaysWhatEachFileIs) {
  if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
  TempDir dir;
  const std::string fifo = dir.file("pipe.jpg");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::string folder = dir.mkdir("folder.jpg");
  const std::string missing = dir.file("missing.jpg");
  const std::string pdf = dir.file("o.pdf");
  const auto r = runProcess({kCli, "print", "--pdf", pdf, missing, fifo, "/dev/null", folder});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "skipped (no such file): " + missing + "\nskipped (a FIFO): " + fifo +
                       "\nskipped (a device): /dev/null\nskipped (a folder): " + folder +
                       "\nsortelia-cli print: no picture could be printed; no PDF written\n");
  EXPECT_FALSE(std::filesystem::exists(pdf));

  // One printable picture among them: its page is written, the others skipped as before.
  const std::string good = dir.write("good.jpg", solidJpeg(40, 30, 0, 0, 200));
  const auto some = runProcess({kCli, "print", "--pdf", pdf, fifo, good});
  EXPECT_EQ(some.exitCode, 0);
  EXPECT_EQ(some.err, "skipped (a FIFO): " + fifo + "\n");
  EXPECT_NE(some.out.find("1 page(s) written to " + pdf), std::string::npos) << some.out;
  EXPECT_TRUE(std::filesystem::exists(pdf));

  // Write errors name their cause; a read-only PDF of the person's is kept.
  const std::string noFolder = dir.file("none/o.pdf");
  const auto nowhere = runProcess({kCli, "print", "--pdf", noFolder, good});
  EXPECT_EQ(nowhere.exitCode, 1);
  EXPECT_EQ(nowhere.err,
            "sortelia-cli print: cannot write \"" + noFolder + "\": No such file or directory\n");
  const std::string kept = dir.write("kept.pdf", "an earlier print");
  ASSERT_EQ(::chmod(kept.c_str(), 0444), 0);
  const auto readOnly = runProcess({kCli, "print", "--pdf", kept, good});
  EXPECT_EQ(readOnly.exitCode, 1);
  EXPECT_EQ(readOnly.err, "sortelia-cli print: cannot write \"" + kept + "\": Permission denied\n");
  EXPECT_EQ(readAll(kept), "an earlier print");
}

// Fault found earlier: "print --pdf *.jpg" took the first picture of the glob for the PDF and
// replaced it with the PDF of the others.
TEST(PrintCommand, APictureOrMovieIsNeverReplacedByThePdf) {
  if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
  TempDir dir;
  const std::string first = dir.write("a.jpg", solidJpeg(40, 30, 200, 0, 0));
  const std::string second = dir.write("b.jpg", solidJpeg(40, 30, 0, 200, 0));
  const std::string movie = dir.write("c.MOV", "a movie");
  for (const std::string& out : {first, movie}) {
    const std::string before = readAll(out);
    const auto r = runProcess({kCli, "print", "--pdf", out, second});
    EXPECT_EQ(r.exitCode, 1) << out;
    EXPECT_EQ(r.err, "sortelia-cli print: \"" + out +
                         "\" exists and is named as a picture, a movie or a companion file; the "
                         "PDF is not written over it\n");
    EXPECT_EQ(readAll(out), before) << out;
  }
  // A picture name that nothing has yet may be the PDF's, and so may an older PDF.
  const std::string fresh = dir.file("d.jpg");
  EXPECT_EQ(runProcess({kCli, "print", "--pdf", fresh, second}).exitCode, 0);
  EXPECT_EQ(readAll(fresh).substr(0, 5), "%PDF-");
  EXPECT_EQ(runProcess({kCli, "print", "--pdf", dir.file("d.pdf"), second}).exitCode, 0);
  EXPECT_EQ(runProcess({kCli, "print", "--pdf", dir.file("d.pdf"), first}).exitCode, 0);
}

}  // namespace
}  // namespace sortelia::outputs

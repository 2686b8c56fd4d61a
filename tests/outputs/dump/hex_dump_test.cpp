// The hex dump of a file's head, the comparison of two dumps, pointing at a byte, and the
// dump command of sortelia-cli.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "outputs/dump/hex_dump.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace sortelia::outputs {
namespace {

const std::string kCli = std::string(SORTELIA_BIN_DIR) + "/sortelia-cli";

// Number of characters (code points) of UTF-8 text.
std::size_t characters(const std::string& s) {
  std::size_t n = 0;
  for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// A head that starts like a camera JPEG, the rest a byte pattern.
std::string jpegLikeBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
  const std::string start(
      "\xFF\xD8\xFF\xE1\x00\x10"
      "Exif\0\0MM\0*",
      16);
  bytes.replace(0, start.size(), start);
  return bytes;
}

TEST(HexDump, OneMegabyteFileGives96LinesEndingAt5F0) {
  testing::TempDir dir;
  const HexDump dump = MakeDump(dir.write("big.jpg", jpegLikeBytes(1 << 20)));
  ASSERT_TRUE(dump.result.ok());
  ASSERT_EQ(dump.lines.size(), 96u);
  EXPECT_EQ(dump.lines[0],
            "000000: FF D8 FF E1 00 10 45 78 69 66 00 00 4D 4D 00 2A : ･･････Exif･･MM･*");
  EXPECT_TRUE(dump.lines[95].starts_with("0005F0: ")) << dump.lines[95];
  for (const std::string& line : dump.lines) EXPECT_EQ(characters(line), 74u) << line;
  // The header names the columns the lines use.
  EXPECT_EQ(characters(kDumpColumnHeader), 74u);
  EXPECT_EQ(std::string(kDumpColumnHeader).substr(kDumpCharColumn), "0123456789ABCDEF");
  EXPECT_EQ(dump.lines[0].substr(kDumpHexColumn - 2, 3), ": F");
}

TEST(HexDump, PrintableBytesShowAsThemselvesOthersAsTheMiddleDot) {
  const std::string bytes("\x00\x1F\x20\x41\x7E\x7F\x80\xA5\xFF", 9);
  EXPECT_EQ(dumpLine(0x5F0, bytes), "0005F0: 00 1F 20 41 7E 7F 80 A5 FF" + std::string(21, ' ') +
                                        " : ･･ A~････" + std::string(7, ' '));
}

TEST(HexDump, ShortAndEmptyAndUnreadableFiles) {
  testing::TempDir dir;
  const HexDump shortDump = MakeDump(dir.write("short.jpg", jpegLikeBytes(100)));
  ASSERT_TRUE(shortDump.result.ok());
  ASSERT_EQ(shortDump.lines.size(), 7u);
  EXPECT_TRUE(shortDump.lines[6].starts_with("000060: A3 AA B1 B8    ")) << shortDump.lines[6];
  EXPECT_EQ(characters(shortDump.lines[6]), 74u);

  const HexDump empty = MakeDump(dir.write("empty.jpg", ""));
  EXPECT_TRUE(empty.result.ok());
  EXPECT_TRUE(empty.lines.empty());

  EXPECT_EQ(MakeDump(dir.file("missing.jpg")).result.error, ENOENT);
  const HexDump folder = MakeDump(dir.path());
  EXPECT_EQ(folder.result.error, EISDIR);
  EXPECT_TRUE(folder.lines.empty());
}

TEST(DumpComparison, MarksDifferingPairsAndCharactersInBothViews) {
  const std::string a = jpegLikeBytes(kDumpSize);
  CancelToken token;
  EXPECT_TRUE(compareDumps(dumpLines(a), dumpLines(a), token).marks.empty());

  std::string b = a;
  b[0x25] = 'Z';                      // row 2, byte 5: pair and character differ
  b[0x40] = static_cast<char>(0x01);  // row 4, byte 0: both bytes show as the middle dot
  ASSERT_EQ(static_cast<unsigned char>(a[0x40]), 0xC3);
  const DumpComparison c = compareDumps(dumpLines(a), dumpLines(b), token);
  EXPECT_FALSE(c.stopped);
  EXPECT_EQ(c.marks, (std::vector<DumpMark>{{2, 8 + 3 * 5, 2}, {2, 58 + 5, 1}, {4, 8, 2}}));
  EXPECT_EQ(c.marks[0].position(), 2 * 76 + 23);

  // Nothing happens without a second dump.
  EXPECT_TRUE(compareDumps(dumpLines(a), {}, token).marks.empty());
}

TEST(DumpComparison, ShorterDumpIsComparedAsFarAsItReaches) {
  const std::string a = jpegLikeBytes(kDumpSize);
  CancelToken token;
  int lines = 0;
  const DumpComparison c =
      compareDumps(dumpLines(a), dumpLines(a.substr(0, 40)), token, [&](int, int rows) {
        ++lines;
        EXPECT_EQ(rows, 3);
      });
  EXPECT_EQ(lines, 3);
  // Bytes 40..47 of the last line exist in one file only.
  ASSERT_EQ(c.marks.size(), 16u);
  EXPECT_EQ(c.marks.front(), (DumpMark{2, 8 + 3 * 8, 2}));
  EXPECT_EQ(c.marks.back(), (DumpMark{2, 58 + 15, 1}));
}

TEST(DumpComparison, StopsWhenTheTokenIsCancelled) {
  const std::string a = jpegLikeBytes(kDumpSize);
  std::string b = a;
  for (std::size_t i = 0; i < b.size(); i += 16) b[i] = static_cast<char>(~b[i]);
  CancelToken token;
  std::vector<std::string> captions;
  const DumpComparison c = compareDumps(dumpLines(a), dumpLines(b), token, [&](int row, int rows) {
    captions.push_back(comparisonCaption(row, rows));
    if (row == 1) token.cancel();
  });
  EXPECT_TRUE(c.stopped);
  EXPECT_EQ(captions,
            (std::vector<std::string>{"比較処理中[ 74 / 7296 ]", "比較処理中[ 150 / 7296 ]"}));
  ASSERT_FALSE(c.marks.empty());
  EXPECT_EQ(c.marks.back().row, 1);
}

TEST(DumpPointing, CharacterSelectsTheHexPairOfItsByte) {
  // An all-ASCII dump, so that character positions are byte positions of the text.
  std::string bytes(64, 'A');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('0' + i % 64);
  std::string text;
  for (const std::string& line : dumpLines(bytes)) text += line + "\r\n";
  for (int row = 0; row < 4; ++row) {
    for (int j = 0; j < 16; ++j) {
      const int caret = row * 76 + 58 + j;
      const auto sel = hexPairAtCaret(caret);
      ASSERT_TRUE(sel) << caret;
      EXPECT_EQ(sel->start, 76 * row + 3 * (58 + j) - 166);
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(text[caret]));
      EXPECT_EQ(text.substr(sel->start, sel->length), hex) << caret;
    }
  }
  EXPECT_EQ(hexPairAtCaret(58), (DumpSelection{8, 2}));
  for (const int caret : {0, 8, 57, 74, 75, 76 + 20, -1}) {
    EXPECT_FALSE(hexPairAtCaret(caret)) << caret;
  }
  // A view whose line break counts one character.
  EXPECT_EQ(hexPairAtCaret(75 + 58, 75), (DumpSelection{75 + 8, 2}));
}

TEST(DumpCli, PrintsTheHeaderAndTheLines) {
  testing::TempDir dir;
  const std::string p = dir.write("p.jpg", jpegLikeBytes(20));
  const auto r = testing::runProcess({kCli, "dump", p});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto lines = dumpLines(jpegLikeBytes(20));
  EXPECT_EQ(r.out, std::string(kDumpColumnHeader) + "\n" + lines[0] + "\n" + lines[1] + "\n");
  const auto missing = testing::runProcess({kCli, "dump", dir.file("none.jpg")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
  EXPECT_EQ(testing::runProcess({kCli, "dump"}).exitCode, 2);
}

}  // namespace
}  // namespace sortelia::outputs

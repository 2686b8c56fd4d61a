// The photo record and the information text in both modes, the parameter file and the date
// and comment line.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <string>
#include <vector>

#include "exif/camera_params.h"
#include "exif/comment_line.h"
#include "exif/photo_info.h"
#include "exif/rotation_mark.h"
#include "platform/line_file.h"
#include "support/exif_builder.h"
#include "support/temp_dir.h"

namespace sortelia::exif {
namespace {

using testing::ExifBuilder;
using testing::Ifd;

const std::string kDefaultMask = "110011010101110010101100000";
const std::string kAllItems(27, '1');
const std::string kNoItems(27, '0');

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (true) {
    const auto end = text.find("\r\n", start);
    out.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return out;
}

class PhotoInfoTest : public ::testing::Test {
 protected:
  std::string picture(const ExifBuilder& b, const std::string& name = "p.jpg") {
    return dir_.write(name, testing::jpegWithSegments({b.app1()}));
  }
  testing::TempDir dir_;
  PhotoInfo info_;
  CameraParamSet set0_ = builtInCameraParamSet();
};

TEST_F(PhotoInfoTest, DefaultMaskListsItsItemsWithEmptyLinesAfterTheGroups) {
  ExifBuilder b(false);
  b.ascii(Ifd::kIfd0, 0x010F, "Maker").ascii(Ifd::kIfd0, 0x0110, "M1");
  b.ascii(Ifd::kExif, 0x9003, "2007:03:12 10:20:30").rational(Ifd::kExif, 0x829D, 28, 10);
  const std::string p = picture(b);
  info_.GetPdata(p, kDefaultMask, set0_);
  const auto lines = linesOf(info_.MakeDspPdat(kDefaultMask));
  std::vector<std::string> labels;
  for (const std::string& l : lines) labels.push_back(l.substr(0, 2));
  EXPECT_EQ(labels, (std::vector<std::string>{"01", "02", "05", "06", "", "08", "10", "12", "13",
                                              "14", "17", "19", "", "21", "22", "", "99"}));
  EXPECT_EQ(lines[0], "01:画像ファイル名 ------> " + p);
  EXPECT_EQ(lines[1], "02:撮影日時 ------------> 2007.03.12 10:20:30.");
  EXPECT_EQ(lines[5], "08:レンズF値 -----------> 2.8");
  EXPECT_EQ(lines[13], "21:カメラのメーカー ----> Maker");
  EXPECT_EQ(info_.record.FNumber10, 28);
  EXPECT_EQ(info_.record.ShotDate, "2007:03:12");
  EXPECT_EQ(info_.record.ShotTime, "10:20:30");
}

TEST_F(PhotoInfoTest, AllItemsMaskListsAll27) {
  const std::string p = picture(ExifBuilder(true).ascii(Ifd::kIfd0, 0x010F, "x"));
  info_.GetPdata(p, kAllItems, set0_);
  const auto lines = linesOf(info_.MakeDspPdat(kAllItems));
  ASSERT_EQ(lines.size(), 27u + 3u + 1u);
  EXPECT_EQ(lines[6], "");
  EXPECT_EQ(lines[21], "");
  EXPECT_EQ(lines[29], "");
  EXPECT_EQ(lines[15], "15:被写体の明るさ(APEX)-> (0)");  // the one label without hyphens
  EXPECT_EQ(lines[9], "09:被写体までの距離 ----> [non]");
  EXPECT_EQ(lines[10], "10:露光時間 ------------> --- 秒");
}

TEST_F(PhotoInfoTest, ExposureTimesAndShutterSpeeds) {
  const auto items = [&](std::uint32_t n, std::uint32_t d, std::int32_t tn, std::int32_t td) {
    ExifBuilder b(false);
    b.rational(Ifd::kExif, 0x829A, n, d).srational(Ifd::kExif, 0x9201, tn, td);
    info_.GetPdata(picture(b), kAllItems, set0_);
    const auto lines = linesOf(info_.MakeDspPdat(kAllItems));
    return lines[10].substr(lines[10].find("> ") + 2) + "|" +
           lines[11].substr(lines[11].find("> ") + 2);
  };
  EXPECT_EQ(items(1, 60, 0, 1), "1/60 秒|1 秒");
  EXPECT_EQ(info_.record.ExposureCode, 600);
  EXPECT_EQ(items(5, 10, 6, 1), "1/2 秒|1/64 秒");
  EXPECT_EQ(info_.record.ExposureCode, 20);
  EXPECT_EQ(items(2, 1, -1, 1), "2 秒|2 秒");
  EXPECT_EQ(info_.record.ExposureCode, 2);
}

TEST_F(PhotoInfoTest, SizeLineUsesThousandsSeparators) {
  const std::string p = dir_.write("big.jpg", std::string(1234567, 'x'));
  info_.GetPdata(p, kDefaultMask, set0_);
  const auto lines = linesOf(info_.MakeDspPdat(kDefaultMask));
  EXPECT_EQ(lines.back(), "99:サイズ --------------> 1,206 KB ( 1,234,567 bytes )");
  info_.GetPdata(dir_.file("missing.jpg"), kDefaultMask, set0_);
  EXPECT_EQ(info_.record.FileSize, 0);
}

TEST_F(PhotoInfoTest, RotationMarkIsSplitFromTheComment) {
  ExifBuilder b(false);
  b.ascii(Ifd::kExif, 0x9286, "  @180:  holiday  ");
  info_.GetPdata(picture(b), kDefaultMask, set0_);
  EXPECT_EQ(info_.record.Comment, "  holiday");  // trimmed, then the mark cut off
  EXPECT_EQ(info_.RotationMark, "");             // untrimmed text starts with blanks
  ExifBuilder c(false);
  c.ascii(Ifd::kExif, 0x9286, "@090:comment");
  std::string shown, comment;
  info_.GetPdata(picture(c, "c.jpg"), kAllItems, set0_);
  info_.DspPdata(kAllItems, [&](const std::string& t, const std::string& cm) {
    shown = t;
    comment = cm;
  });
  EXPECT_EQ(info_.RotationMark, "@090:");
  EXPECT_EQ(comment, "comment");
  EXPECT_NE(shown.find("25:コメント ------------> @090:comment\r\n"), std::string::npos);
}

// n copies of a character.
std::string repeat(const std::string& c, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += c;
  return s;
}

TEST_F(PhotoInfoTest, TheCommentBehindARotationMarkShows512CharactersAndATurnKeepsAll) {
  const struct {
    std::string after;  // the comment behind the mark
    std::string kept;
  } cases[] = {
      {repeat("写", 600), repeat("写", 512)},                // 1800 bytes: 512 characters kept
      {repeat("写", 400), repeat("写", 400)},                // 1200 bytes: nothing cut
      {"ab" + repeat("真", 599), "ab" + repeat("真", 510)},  // the cut never splits one
      {repeat("x", 513), repeat("x", 512)},
  };
  int n = 0;
  for (const auto& c : cases) {
    // A turn changes the mark alone (a fault found earlier cut the text to the shown part).
    std::string t = "@090:" + c.after;
    ApplyRotationMark("@180:", t);
    EXPECT_EQ(t, "@180:" + c.after);
    t = "@270:" + c.after;
    ApplyRotationMark("", t);
    EXPECT_EQ(t, c.after);
    ExifBuilder b(false);
    b.ascii(Ifd::kExif, 0x9286, "@090:" + c.after);
    info_.GetPdata(picture(b, "m" + std::to_string(n++) + ".jpg"), kDefaultMask, set0_);
    EXPECT_EQ(info_.record.Comment, c.kept);
    EXPECT_EQ(info_.RotationMark, "@090:");
  }
  // Without a mark nothing is cut; a mark is put in front.
  std::string t = repeat("写", 600);
  ApplyRotationMark("@090:", t);
  EXPECT_EQ(t, "@090:" + repeat("写", 600));
}

// A picture head for camera parameter mode, with values at the built-in set's offsets.
std::string c700Head() {
  std::string h(2000, '\0');
  h.replace(0x9E, 7, "Holiday");
  h.replace(0xBE, 7, "OLYMPUS");
  h.replace(0xD6, 6, "C700UZ");
  h.replace(0x114, 10, "2003:04:05");
  h.replace(0x11F, 8, "06:07:08");
  h[0x156] = static_cast<char>(200 & 0xFF);
  h[0x1CE] = 1;
  h[0x216] = static_cast<char>(0x40);
  h[0x217] = 0x06;  // 1600
  h[0x222] = static_cast<char>(0xB0);
  h[0x223] = 0x04;  // 1200
  h[0x252] = 11;    // ExposureCode 11: 1/1
  h[0x256] = 28;
  h[0x28E] = static_cast<char>(0xFB);  // -5 as 4 bytes little-endian
  h[0x28F] = static_cast<char>(0xFF);
  h[0x290] = static_cast<char>(0xFF);
  h[0x291] = static_cast<char>(0xFF);
  h[0x29E] = 63;
  return h;
}

TEST_F(PhotoInfoTest, CameraParameterModeReadsFixedOffsets) {
  const std::string p = dir_.write("c700.jpg", c700Head());
  info_.RotationMark = "@270:";
  info_.GetPdata(p, kNoItems, set0_);
  EXPECT_EQ(info_.RotationMark, "@270:");  // unchanged in this mode
  const auto lines = linesOf(info_.MakeDspPdat(kNoItems));
  const std::vector<std::string> expected = {"FilePath: " + p,
                                             "サ イ ズ: 2 KB ( 2,000 bytes )",
                                             "標　　題: Holiday",
                                             "メーカー: OLYMPUS",
                                             "モデル名: C700UZ",
                                             "撮影日時: 2003.04.05 06:07:08",
                                             "感　　度: ISO 200",
                                             "フラッシ: ON",
                                             "幅 × 高: 1600 dots × 1200 dots",
                                             "露出時間: 1/1 秒",
                                             "Ｆ　　値: 2.8",
                                             "露出補正: -0.5",
                                             "焦点距離: 6.3 mm"};
  EXPECT_EQ(lines, expected);
  // A file under 1538 bytes gives empty texts and zeros.
  info_.GetPdata(dir_.write("small.jpg", c700Head().substr(0, 1537)), kNoItems, set0_);
  EXPECT_EQ(info_.record.CameraMaker, "");
  EXPECT_EQ(info_.record.Iso, 0);
}

TEST(ReturnShutter, RendersCodes) {
  EXPECT_EQ(ret_shutter(2500), "1/250");
  EXPECT_EQ(ret_shutter(12500), "1/1,250");
  EXPECT_EQ(ret_shutter(10), "10");
  EXPECT_EQ(ret_shutter(11), "1/1");
  EXPECT_EQ(ret_shutter(0), "---");
  EXPECT_EQ(FormatSeconds(0.004), "1/250");
  EXPECT_EQ(DotDate("2007:03:12 10:20:30"), "2007.03.12 10:20:30");
}

TEST(CameraParamsRead, ClampsSetsThatReachPastTheHead) {
  const std::string head(kParamHeaderSize, 'a');
  EXPECT_EQ(ReadParamString(head, 1530, 100), "aaaaaaa");
  EXPECT_EQ(ReadParamString(head, 0, 100).size(), 60u);
  EXPECT_EQ(ReadParamString(head, 1537, 5), "");
  EXPECT_EQ(ReadParamString(head, -3, 5), "");
  EXPECT_EQ(ReadParamInteger(head, 1535, 4), 0x6161u);
  EXPECT_EQ(ReadParamInteger(head, 0, 9), 0x61616161u);
  EXPECT_EQ(ReadParamInteger(head, 2147483647, 2147483647), 0u);
}

TEST(CameraParamsFile, IsWrittenWhenMissingAndReadBack) {
  testing::TempDir dir;
  CameraParams params;
  EXPECT_EQ(params.SetPdPrm(dir.path()), "");
  const auto lines = readTextLines(dir.file("zel-prm.txt"));
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 463u);
  EXPECT_EQ((*lines)[0], "## for c700uz(開始位置１６進、データ長１０進)");
  EXPECT_EQ((*lines)[1], "OLYMPUS-C700UZ");
  EXPECT_EQ((*lines)[2], "# 写真のコメント");
  EXPECT_EQ((*lines)[3], "$009E");
  EXPECT_EQ((*lines)[4], "31");
  EXPECT_EQ((*lines)[41], "## End of One of Parameters (0)");
  EXPECT_EQ((*lines)[42], "## for ETC(1)");
  EXPECT_EQ((*lines)[43], "--- 未定義(1) ---");
  EXPECT_EQ((*lines)[462], "# ");
  ASSERT_EQ(params.setNames.size(), 11u);
  EXPECT_EQ(params.setNames[10], "--- 未定義(10) ---");
  // The file is CP932 with CR LF line ends.
  const std::string raw = testing::readAll(dir.file("zel-prm.txt"));
  EXPECT_EQ(raw.substr(raw.size() - 4), "# \r\n");
  EXPECT_NE(raw.find("OLYMPUS-C700UZ\r\n"), std::string::npos);
}

TEST(CameraParamsFile, WithoutADataFolderKeepsTheBuiltInSet) {
  CameraParams params;
  EXPECT_NE(params.SetPdPrm(""), "");
  EXPECT_EQ(params.table[0].Name, "OLYMPUS-C700UZ");
  EXPECT_EQ(params.table[0].Offset[12], 0x29E);
  testing::TempDir dir;
  EXPECT_NE(params.ReadCameraParams(dir.file("missing.txt")), "");
  EXPECT_TRUE(params.setNames.empty());
}

TEST(CameraParamsFile, ReadsEditsDecimalOffsetsAndSkipsComments) {
  testing::TempDir dir;
  std::vector<std::string> lines = {"# head", "", "My Camera"};
  for (int k = 0; k < 13; ++k) {
    lines.push_back("# pair");
    lines.push_back("");
    lines.push_back(k == 0 ? "158" : "$00" + std::string(1, "0123456789ABC"[k]) + "0");
    lines.push_back(std::to_string(k + 1));
  }
  lines.push_back("Second");
  lines.push_back("$10");
  lines.push_back("# not skipped: this is the length line");
  ASSERT_TRUE(writeTextLines(dir.file("zel-prm.txt"), lines).ok());
  CameraParams params;
  const std::string error = params.SetPdPrm(dir.path());
  EXPECT_EQ(params.table[0].Name, "My Camera");  // the file wins over the built-in set
  EXPECT_EQ(params.table[0].Offset[0], 158);
  EXPECT_EQ(params.table[0].Offset[12], 0xC0);
  EXPECT_EQ(params.table[0].Length[12], 13);
  EXPECT_EQ(params.table[1].Name, "Second");
  EXPECT_EQ(params.table[1].Offset[0], 0x10);
  EXPECT_EQ(params.table[1].Length[0], 0);  // kept: the bad line ended the reading
  EXPECT_EQ(params.setNames, (std::vector<std::string>{"My Camera", "Second"}));
  EXPECT_EQ(error,
            dir.file("zel-prm.txt") +
                " の 58 行目 \"# not skipped: this is the length line\" は数値ではありません。"
                "読み込みを中止しました。");
}

TEST(CommentLine, BuildsNameDateTimeAndComment) {
  PhotoRecord r;
  r.FilePath = "/pics/IMG_0001.JPG";
  r.ShotDate = "2007:03:12";
  r.ShotTime = "10:20:30";
  r.Comment = "at the sea";
  EXPECT_EQ(makecmt(r, "", true, "Trip", false, true, true),
            "IMG_0001.JPG  2007:03:12  10:20:30 Trip");
  EXPECT_EQ(makecmt(r, "", false, "Trip", true, false, false), "Trip:at the sea");
  EXPECT_EQ(makecmt(r, "", false, "", false, false, false), "");
  // Cut to 50 CP932 bytes; a double-byte character across the cut is left out whole.
  EXPECT_EQ(makecmt(r, "", false, std::string(49, 'x') + "日本", false, false, false),
            std::string(49, 'x'));
}

TEST(CommentLine, FallsBackToTheFileTime) {
  testing::TempDir dir;
  const std::string p = dir.write("m.mov", "x");
  setenv("TZ", "UTC", 1);
  tzset();
  struct utimbuf t {};
  t.actime = t.modtime = 1700000000;  // 2023-11-14 22:13:20 UTC
  ASSERT_EQ(utime(p.c_str(), &t), 0);
  PhotoRecord r;
  r.ShotDate = "";
  EXPECT_EQ(makecmt(r, p, false, "", false, true, true), "2023/11/14  22:13:20");
  r.ShotDate = "2007:03:12";
  r.ShotTime = "10:20:30";
  EXPECT_EQ(makecmt(r, p, false, "", false, true, true, false), "2023/11/14  22:13:20");
  EXPECT_EQ(makecmt(r, p, false, "", false, true, true, true), "2007:03:12  10:20:30");
}

}  // namespace
}  // namespace sortelia::exif

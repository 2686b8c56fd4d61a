#include "outputs/album/album_template.h"

#include <gtest/gtest.h>

#include "outputs/album/album_error.h"
#include "platform/text_codec.h"
#include "support/temp_dir.h"

namespace sortelia::outputs::album {
namespace {

using sortelia::testing::readAll;
using sortelia::testing::TempDir;

// The expected default template, written out here independently of the program's table.
std::string expectedDefault(int type) {
  const bool one = type == 1;
  const std::string self = one ? "1" : "2", other = one ? "2" : "1";
  const std::string selfName = one ? "詳細" : "一覧", otherName = one ? "一覧" : "詳細";
  const std::vector<std::string> front = {
      "# ZEL HTML テンプレート Type" + self,
      "# 縦一列表示 写真：" + selfName + "タイプ",
      "#   前部、中部(１画像ごとの繰返し部)、後部",
      "#   それぞれの部位の区切りは空行",
      "# 埋め込み指定",
      "# 前部",
      "#   [*TTL*] : 題名",
      "#   [*LNK*] : Type" + other + "へのリンク",
      "# 中部",
      "#   [*NUMBER*] : 処理順による番号",
      "#   [*GLNK*] : リンク先画像（オリジナル画像へのリンク）",
      "#   [*GSMP*] : 表示画像",
      "#   [*GEXP*] : 画像説明(以下のデータをすべて表示する)",
      "#   [*CMT*] : コメント",
      "#   [*COLTD*] : 会社名",
      "#   [*MODEL*] : 型名",
      "#   [*DATE*] : 撮影日付",
      "#   [*TIME*] : 撮影時刻",
      "#   [*ISO*] : 感度",
      "#   [*FLASH*] : フラッシュ",
      "#   [*WIDE*] : 幅",
      "#   [*HEIGHT*] : 高さ",
      "#   [*SHUTTER*] : 露出時間",
      "#   [*F*] : F値",
      "#   [*EV*] : 露出補正",
      "#   [*ZOOM*] : 焦点距離",
      "#   [*FSIZE*] : ファイルサイズ",
      "#   [*FNAME*] : ファイルの名前",
      "#",
      "<html>",
      "<head>",
      "<meta http-equiv=\"Content-Language\" content=\"ja\">",
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">",
      "<meta name=\"GENERATOR\" content=\"ZEL by Mofuko\">",
      "<title>[*TTL*][Type" + self + ":" + selfName + "]</title>",
      "<style type=\"text/css\"><!--",
      "\t\t\tblockquote { font-size: 10pt; line-height: 14pt; }",
      "\t\t\ta { text-decoration: none ;}",
      "\t\t\ta:hover {  background-color:#EEaa00; }",
      "\t\t\t-->",
      "   </style>",
      "</head>",
      "<body>",
      "<a href=\"[*LNK*]\">Go to Type" + other + "(" + otherName + "表示)</a>",
      "<table border=1>"};
  EXPECT_EQ(front.size(), 45u);
  const std::vector<std::string> middle =
      one ? std::vector<std::string>{" <tr>", "  <td>[*NUMBER*]</td>",
                                     "  <td><a href=\"[*GLNK*]\" target=\"_blank\"><img "
                                     "src=\"[*GSMP*]\"></a></td>",
                                     "  <td>[*GEXP*]<br></td>", " </tr>"}
          : std::vector<std::string>{
                " <td><a href=\"[*GLNK*]\" target=\"_blank\"><img src=\"[*GSMP*]\"><BR>",
                "  [*NUMBER*] : [*FNAME*]<BR></a>", " </td>"};
  std::string all;
  for (const auto& l : front) all += l + "\r\n";
  all += "\r\n";
  for (const auto& l : middle) all += l + "\r\n";
  all += "\r\n</table></body></html>\r\n";
  return *text::toCp932(all);
}

TEST(AlbumTemplate, DefaultTemplatesAreWrittenByteForByteInCp932) {
  TempDir dir;
  for (int type : {1, 2}) {
    const std::string path = dir.file("t" + std::to_string(type) + ".txt");
    ASSERT_TRUE(WriteDefaultTemplate(path, type));
    const std::string bytes = readAll(path);
    EXPECT_EQ(bytes, expectedDefault(type)) << type;
    // Shift-JIS on disk: "テンプレート" of the first line, not its UTF-8 form.
    EXPECT_EQ(bytes.substr(11, 4), "\x83\x65\x83\x93");
  }
  EXPECT_FALSE(WriteDefaultTemplate(dir.file("no/such/folder/t.txt"), 1));
}

TEST(AlbumTemplate, OnlyMissingTemplatesAreWritten) {
  TempDir dir;
  dir.write(kTemplate2FileName, "edited\r\n");
  writeMissingTemplates(dir.path());
  EXPECT_EQ(readAll(dir.file(kTemplate1FileName)), expectedDefault(1));
  EXPECT_EQ(readAll(dir.file(kTemplate2FileName)), "edited\r\n");
}

TEST(AlbumTemplate, SectionRules) {
  const struct {
    const char* name;
    std::vector<std::string> lines;
    Template want;
  } cases[] = {
      {"no empty line: all front", {"<a>", "<b>"}, {"<a>\r\n<b>\r\n", "", ""}},
      {"three sections", {"f", "", "m1", "m2", "", "b"}, {"f\r\n", "m1\r\nm2\r\n", "b\r\n"}},
      {"two empty lines skip the middle; the real back is dropped",
       {"f", "", "", "m", "", "b"},
       {"f\r\n", "", "m\r\n"}},
      {"# lines dropped anywhere, also inside HTML; blank-only lines kept",
       {"# note", "<style>", "#id { }", "</style>", "", "  ", "#x", "", "# end", "b"},
       {"<style>\r\n</style>\r\n", "  \r\n", "b\r\n"}},
      {"lines past the third section dropped",
       {"f", "", "m", "", "b", "", "x"},
       {"f\r\n", "m\r\n", "b\r\n"}},
  };
  for (const auto& c : cases) EXPECT_EQ(parseTemplate(c.lines), c.want) << c.name;
}

TEST(AlbumTemplate, ReadsTheDefaultAndOtherEncodings) {
  TempDir dir;
  ASSERT_TRUE(WriteDefaultTemplate(dir.file("d.txt"), 2));
  const Template t = ReadTemplate(dir.file("d.txt"));
  EXPECT_EQ(t.front.substr(0, 8), "<html>\r\n");
  EXPECT_NE(t.front.find("Go to Type1(詳細表示)</a>\r\n<table border=1>\r\n"), std::string::npos);
  EXPECT_EQ(t.middle,
            " <td><a href=\"[*GLNK*]\" target=\"_blank\"><img src=\"[*GSMP*]\"><BR>\r\n"
            "  [*NUMBER*] : [*FNAME*]<BR></a>\r\n </td>\r\n");
  EXPECT_EQ(t.back, "</table></body></html>\r\n");
  // A UTF-8 file with LF line ends reads the same way.
  dir.write("u.txt", "<p>写真</p>\n\n[*number*]\n\n</p>");
  EXPECT_EQ(ReadTemplate(dir.file("u.txt")),
            (Template{"<p>写真</p>\r\n", "[*number*]\r\n", "</p>\r\n"}));
  EXPECT_THROW(ReadTemplate(dir.file("missing.txt")), AlbumError);
}

}  // namespace
}  // namespace sortelia::outputs::album

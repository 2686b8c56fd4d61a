#include "outputs/album/album_template.h"

#include <array>

#include "outputs/album/album_error.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"

namespace sortelia::outputs::album {
namespace {

// The front of both default templates, with seven "%s" for the page's own type and name and
// the other page's.
constexpr std::array<const char*, 45> kDefaultFront = {
    "# ZEL HTML テンプレート Type%s",
    "# 縦一列表示 写真：%sタイプ",
    "#   前部、中部(１画像ごとの繰返し部)、後部",
    "#   それぞれの部位の区切りは空行",
    "# 埋め込み指定",
    "# 前部",
    "#   [*TTL*] : 題名",
    "#   [*LNK*] : Type%sへのリンク",
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
    "<title>[*TTL*][Type%s:%s]</title>",
    "<style type=\"text/css\"><!--",
    "\t\t\tblockquote { font-size: 10pt; line-height: 14pt; }",
    "\t\t\ta { text-decoration: none ;}",
    "\t\t\ta:hover {  background-color:#EEaa00; }",
    "\t\t\t-->",
    "   </style>",
    "</head>",
    "<body>",
    "<a href=\"[*LNK*]\">Go to Type%s(%s表示)</a>",
    "<table border=1>",
};

constexpr std::array<const char*, 5> kDefaultMiddle1 = {
    " <tr>",
    "  <td>[*NUMBER*]</td>",
    "  <td><a href=\"[*GLNK*]\" target=\"_blank\"><img src=\"[*GSMP*]\"></a></td>",
    "  <td>[*GEXP*]<br></td>",
    " </tr>",
};

constexpr std::array<const char*, 3> kDefaultMiddle2 = {
    " <td><a href=\"[*GLNK*]\" target=\"_blank\"><img src=\"[*GSMP*]\"><BR>",
    "  [*NUMBER*] : [*FNAME*]<BR></a>",
    " </td>",
};

constexpr const char* kDefaultBack = "</table></body></html>";

}  // namespace

Template parseTemplate(const std::vector<std::string>& lines) {
  Template t;
  int section = 1;
  for (const std::string& line : lines) {
    if (line.empty()) {
      ++section;
      continue;
    }
    if (line[0] == '#') continue;
    std::string* target = section == 1   ? &t.front
                          : section == 2 ? &t.middle
                          : section == 3 ? &t.back
                                         : nullptr;
    if (!target) continue;
    *target += line;
    *target += "\r\n";
  }
  return t;
}

Template ReadTemplate(const std::string& path) {
  const auto lines = readTextLines(path);
  if (!lines) throw AlbumError("cannot read the album template \"" + path + "\"");
  return parseTemplate(*lines);
}

std::vector<std::string> defaultTemplateLines(int type) {
  const bool detail = type != 2;
  const char* self = detail ? "1" : "2";
  const char* other = detail ? "2" : "1";
  const char* selfName = detail ? "詳細" : "一覧";
  const char* otherName = detail ? "一覧" : "詳細";
  std::string front;
  for (const char* line : kDefaultFront) {
    if (!front.empty()) front += '\n';
    front += line;
  }
  front = format(front, {self, selfName, other, self, selfName, other, otherName});
  std::vector<std::string> lines = splitLines(front);
  lines.emplace_back();
  if (detail) {
    lines.insert(lines.end(), kDefaultMiddle1.begin(), kDefaultMiddle1.end());
  } else {
    lines.insert(lines.end(), kDefaultMiddle2.begin(), kDefaultMiddle2.end());
  }
  lines.emplace_back();
  lines.emplace_back(kDefaultBack);
  return lines;
}

bool WriteDefaultTemplate(const std::string& path, int type) {
  std::string bytes;
  for (const std::string& line : defaultTemplateLines(type)) bytes += line + "\r\n";
  const auto cp932 = text::toCp932(bytes);
  return cp932 && fs::writeFileAtomic(path, *cp932, fs::ReadOnlyFile::Replace).ok();
}

void writeMissingTemplates(const std::string& folder) {
  const std::string dir = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  if (!fs::exists(dir + kTemplate1FileName))
    (void)WriteDefaultTemplate(dir + kTemplate1FileName, 1);
  if (!fs::exists(dir + kTemplate2FileName))
    (void)WriteDefaultTemplate(dir + kTemplate2FileName, 2);
}

}  // namespace sortelia::outputs::album

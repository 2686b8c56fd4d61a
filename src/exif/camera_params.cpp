#include "exif/camera_params.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/line_file.h"

namespace sortelia::exif {

const char* const ParamLabels[kCameraParamPairs] = {
    "写真のコメント", "カメラの会社名", "カメラの型名", "撮影日付",   "撮影時刻",
    "感度",           "フラッシュ",     "画像の幅",     "画像の高さ", "露出時間",
    "Ｆ値(しぼり)",   "露出補正",       "焦点距離"};

namespace {

// A decimal integer, or hexadecimal behind "$", with optional blanks around and a sign;
// nullopt when the text is not such a number or leaves the signed 32-bit range.
std::optional<std::int32_t> parseNumber(const std::string& text) {
  std::size_t i = 0, end = text.size();
  while (i < end && text[i] == ' ') ++i;
  while (end > i && text[end - 1] == ' ') --end;
  bool negative = false;
  if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < end && text[i] == '$') {
    base = 16;
    ++i;
  }
  if (i == end) return std::nullopt;
  std::int64_t v = 0;
  for (; i < end; ++i) {
    const char c = text[i];
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return std::nullopt;
    v = v * base + d;
    if (v > 4294967295LL) return std::nullopt;
  }
  if (base == 16 && v > 2147483647LL) v -= 4294967296LL;  // "$FFFFFFFF" is -1
  if (negative) v = -v;
  if (v < -2147483648LL || v > 2147483647LL) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::string notANumber(const std::string& fileName, std::size_t lineNo, const std::string& line) {
  return format("%s の %d 行目 \"%s\" は数値ではありません。読み込みを中止しました。",
                {fileName, static_cast<long long>(lineNo), line});
}

}  // namespace

CameraParamSet builtInCameraParamSet() {
  CameraParamSet s;
  s.Name = "OLYMPUS-C700UZ";
  s.Offset = {0x009E, 0x00BE, 0x00D6, 0x0114, 0x011F, 0x0156, 0x01CE,
              0x0216, 0x0222, 0x0252, 0x0256, 0x028E, 0x029E};
  s.Length = {31, 23, 13, 10, 8, 2, 1, 2, 2, 2, 1, 4, 2};
  return s;
}

std::vector<std::string> cameraParamFileLines(const CameraParamTable& table) {
  std::vector<std::string> lines;
  for (int s = 0; s < kCameraParamSetCount; ++s) {
    const CameraParamSet& set = table[s];
    lines.push_back(s == 0 ? "## for c700uz(開始位置１６進、データ長１０進)"
                           : format("## for ETC(%d)", {s}));
    lines.push_back(set.Name.empty() ? format("--- 未定義(%d) ---", {s}) : set.Name);
    for (int k = 0; k < kCameraParamPairs; ++k) {
      lines.push_back(format("# %s", {ParamLabels[k]}));
      lines.push_back(format("$%0.4x", {set.Offset[k]}));
      lines.push_back(format("%d", {set.Length[k]}));
    }
    lines.push_back(format("## End of One of Parameters (%d)", {s}));
  }
  lines.push_back("# ");
  return lines;
}

std::string readCameraParamLines(const std::vector<std::string>& lines, CameraParamTable& table,
                                 std::vector<std::string>& names, const std::string& fileName) {
  names.clear();
  int s = 0, r = 0;
  for (std::size_t i = 0; i < lines.size() && s < kCameraParamSetCount; ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == '#') continue;
    if (r == 0) {
      table[s].Name = line;
      names.push_back(line);
    } else {
      const auto offset = parseNumber(line);
      if (!offset) return notANumber(fileName, i + 1, line);
      table[s].Offset[r - 1] = *offset;
      ++i;  // the length follows directly, without the comment test
      const std::string next = i < lines.size() ? lines[i] : std::string();
      const auto length = parseNumber(next);
      if (!length) return notANumber(fileName, i + 1, next);
      table[s].Length[r - 1] = *length;
    }
    if (++r > kCameraParamPairs) {
      r = 0;
      ++s;
    }
  }
  return {};
}

std::string CameraParams::SetPdPrm(const std::string& dataFolder) {
  table[0] = builtInCameraParamSet();
  return RWparam(dataFolder);
}

std::string CameraParams::RWparam(const std::string& dataFolder) {
  if (dataFolder.empty())
    return format("%s の置き場所 (データフォルダ) がありません。", {kCameraParamFileName});
  const std::string path = dataFolder + "/" + kCameraParamFileName;
  if (!fs::exists(path)) {
    (void)writeTextLines(path, cameraParamFileLines(table));  // a failure shows when reading
  }
  return ReadCameraParams(path);
}

std::string CameraParams::ReadCameraParams(const std::string& path) {
  const auto lines = readTextLines(path);
  if (!lines) {
    setNames.clear();
    return format("%s を読み込めません: %s", {path, std::strerror(errno != 0 ? errno : EIO)});
  }
  return readCameraParamLines(*lines, table, setNames, path);
}

}  // namespace sortelia::exif

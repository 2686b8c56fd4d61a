#include "exif/photo_info.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "exif/rotation_mark.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/text_codec.h"

namespace sortelia::exif {

const char* const ItemLabels[kExifItemCount] = {"01:画像ファイル名",
                                                "02:撮影日時",
                                                "03:デジタル化日時",
                                                "04:最終変更日時",
                                                "05:画像の高さ",
                                                "06:画像の幅",
                                                "07:レンズ絞り(APEX)",
                                                "08:レンズF値",
                                                "09:被写体までの距離",
                                                "10:露光時間",
                                                "11:シャッタ速度(APEX)",
                                                "12:露光補正量(APEX)",
                                                "13:フラッシュ発光状態",
                                                "14:CCD感度(ISO)",
                                                "15:被写体の明るさ(APEX)",
                                                "16:露光制御モード",
                                                "17:レンズ焦点距離",
                                                "18:光源の種類",
                                                "19:レンズ開放F値",
                                                "20:測光モード",
                                                "21:カメラのメーカー",
                                                "22:カメラの機種",
                                                "23:著作権",
                                                "24:画像の説明",
                                                "25:コメント",
                                                "26:Exifのバージョン",
                                                "27:音声ファイル名"};

namespace {

constexpr std::int32_t kMaxParamText = 60;
constexpr std::int32_t kMaxParamNumber = 4;

// Rounds to the nearest integer (ties to even), 0 when out of the 32-bit range.
std::int32_t round32(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 2147483647.0) return 0;
  return static_cast<std::int32_t>(roundHalfEven(v));
}

// The comment lines, each followed by CR LF.
std::string joinedComment(const std::vector<std::string>& lines) {
  std::string t;
  for (const std::string& l : lines) t += l + "\r\n";
  return t;
}

std::string kindOf(const TExifStringValue& v) { return format("%s(%d)", {v.Text, v.Value}); }

}  // namespace

bool isExifItemMode(std::string_view mask) { return mask.find('1') != std::string_view::npos; }

std::string PadLabel(std::string_view label) {
  return text::cutToCp932Width(std::string(label) + " -------------------------", 23);
}

std::string DotDate(std::string_view t) {
  std::string s(t);
  for (int i = 0; i < 2; ++i) {
    const auto colon = s.find(':');
    if (colon != std::string::npos) s[colon] = '.';
  }
  return s;
}

std::string FormatSeconds(double x) {
  if (x == 0) return "---";
  if (x >= 1) return format("%g", {x});
  return format("1/%g", {1 / x});
}

std::string ret_shutter(std::int32_t code) {
  if (code > 10) return format("1/%.0n", {code / 10.0});
  if (code != 0) return format("%d", {code});
  return "---";
}

std::string ReadParamString(std::string_view header, std::int32_t offset, std::int32_t length) {
  const auto size = static_cast<std::int64_t>(header.size());
  if (offset < 0 || offset >= size || length <= 0) return {};
  const std::int64_t n = std::min<std::int64_t>({length, kMaxParamText, size - offset});
  std::string_view bytes = header.substr(static_cast<std::size_t>(offset), n);
  bytes = bytes.substr(0, bytes.find('\0'));
  return text::decodeExternal(bytes);
}

std::uint32_t ReadParamInteger(std::string_view header, std::int32_t offset, std::int32_t length) {
  const auto size = static_cast<std::int64_t>(header.size());
  if (offset < 0 || offset >= size || length <= 0) return 0;
  const std::int64_t n = std::min<std::int64_t>({length, kMaxParamNumber, size - offset});
  std::uint32_t v = 0;
  for (std::int64_t i = n - 1; i >= 0; --i) {
    v = v << 8 | static_cast<unsigned char>(header[static_cast<std::size_t>(offset + i)]);
  }
  return v;
}

void PhotoInfo::GetPdata(const std::string& path, std::string_view mask,
                         const CameraParamSet& cameraSet) {
  const std::int64_t size = fs::getFileSize(path);
  record = PhotoRecord();
  record.FileSize = size > std::numeric_limits<std::int32_t>::max()
                        ? std::numeric_limits<std::int32_t>::max()
                        : static_cast<std::int32_t>(size);
  if (isExifItemMode(mask)) {
    readFromExif(path);
  } else {
    readFromHeader(path, cameraSet);
  }
  record.FilePath = path;
}

void PhotoInfo::readFromExif(const std::string& path) {
  ExifInfo1.setImageFileName(path);
  const TExifInfo& x = ExifInfo1;
  const std::string joined = joinedComment(x.UserComment);
  const std::string t = trimText(joined);
  record.Comment = withoutRotationMark(t);
  record.CameraMaker = x.Make;
  record.CameraModel = x.Model;
  const auto blank = x.DateTimeOriginal.find(' ');
  if (blank == std::string::npos) {
    record.ShotTime = x.DateTimeOriginal;
  } else {
    record.ShotDate = x.DateTimeOriginal.substr(0, blank);
    record.ShotTime = x.DateTimeOriginal.substr(blank + 1);
  }
  record.Iso = x.ISOSpeedRatings;
  record.FlashOn = static_cast<std::uint8_t>(x.Flash.Value & 0xFF);
  record.Width = x.PixelXDimension;
  record.Height = x.PixelYDimension;
  double e = x.ExposureTime.Value;
  if (e != 0 && e < 1) e = 10 / e;
  record.ExposureCode = round32(e);
  record.FNumber10 = static_cast<std::uint8_t>(round32(x.FNumber.Value * 10) & 0xFF);
  record.ExposureBias10 = round32(x.ExposureBiasValue.Value * 10);
  record.FocalLength10 = round32(x.FocalLength.Value * 10);
  RotationMark = rotationMarkOf(joined);
}

void PhotoInfo::readFromHeader(const std::string& path, const CameraParamSet& set) {
  std::string header(kParamHeaderSize, '\0');
  if (record.FileSize >= static_cast<std::int32_t>(kParamHeaderSize + 1)) {
    const auto bytes = fs::readFile(path, kParamHeaderSize);
    if (bytes && bytes->size() == kParamHeaderSize) header = *bytes;
  }
  std::string* texts[] = {&record.Comment, &record.CameraMaker, &record.CameraModel,
                          &record.ShotDate, &record.ShotTime};
  for (int k = 0; k < 5; ++k) *texts[k] = ReadParamString(header, set.Offset[k], set.Length[k]);
  const auto num = [&](int k) { return ReadParamInteger(header, set.Offset[k], set.Length[k]); };
  record.Iso = static_cast<std::int32_t>(num(5));
  record.FlashOn = static_cast<std::uint8_t>(num(6) & 0xFF);
  record.Width = static_cast<std::int32_t>(num(7));
  record.Height = static_cast<std::int32_t>(num(8));
  record.ExposureCode = static_cast<std::int32_t>(num(9));
  record.FNumber10 = static_cast<std::uint8_t>(num(10) & 0xFF);
  record.ExposureBias10 = static_cast<std::int32_t>(num(11));
  record.FocalLength10 = static_cast<std::int32_t>(num(12));
}

std::string PhotoInfo::MakeDspPdat(std::string_view mask) const {
  return isExifItemMode(mask) ? exifItemText(mask) : cameraParamText();
}

void PhotoInfo::DspPdata(
    std::string_view mask,
    const std::function<void(const std::string&, const std::string&)>& show) const {
  show(MakeDspPdat(mask), record.Comment);
}

std::string PhotoInfo::exifItemText(std::string_view mask) const {
  const TExifInfo& x = ExifInfo1;
  const auto item = [&](int k) -> std::string {
    switch (k) {
      case 1:
        return format("%s", {x.ImageFileName()});
      case 2:
        return format("%s.%s", {DotDate(x.DateTimeOriginal), x.SubSecTimeOriginal});
      case 3:
        return format("%s.%s", {DotDate(x.DateTimeDigitized), x.SubSecTimeDigitized});
      case 4:
        return format("%s.%s", {DotDate(x.DateTime), x.SubSecTime});
      case 5:
        return format("%d dots", {x.PixelYDimension});
      case 6:
        return format("%d dots", {x.PixelXDimension});
      case 7:
        return format("%2.1f", {std::pow(std::sqrt(2.0), x.ApertureValue.Value)});
      case 8:
        return format("%2.1f", {x.FNumber.Value});
      case 9:
        return !x.SubjectDistance.Text.empty() && x.SubjectDistance.Value != 0
                   ? format("%2.2f m", {x.SubjectDistance.Value})
                   : "[non]";
      case 10:
        return format("%s 秒", {FormatSeconds(x.ExposureTime.Value)});
      case 11:
        return format("%s 秒", {FormatSeconds(1 / std::pow(2.0, x.ShutterSpeedValue.Value))});
      case 12:
        return format("%g", {x.ExposureBiasValue.Value});
      case 13:
        return kindOf(x.Flash);
      case 14:
        return format("%d", {x.ISOSpeedRatings});
      case 15:
        return format("%s(%g)", {x.BrightnessValue.Text, x.BrightnessValue.Value});
      case 16:
        return kindOf(x.ExposureProgram);
      case 17:
        return format("%2.1f mm", {x.FocalLength.Value});
      case 18:
        return kindOf(x.LightSource);
      case 19:
        return format("%2.1f", {x.MaxApertureValue.Value});
      case 20:
        return kindOf(x.MeteringMode);
      case 21:
        return x.Make;
      case 22:
        return x.Model;
      case 23:
        return x.Copyright;
      case 24:
        return x.ImageDescription;
      case 25:
        return trimText(joinedComment(x.UserComment));
      case 26:
        return x.ExifVersion;
      default:
        return x.RelatedSoundFile;
    }
  };
  std::string text;
  const int n = std::min<int>(static_cast<int>(mask.size()), kExifItemCount);
  for (int k = 1; k <= n; ++k) {
    if (mask[k - 1] == '1') {
      text += format("%-23s-> %s", {PadLabel(ItemLabels[k - 1]), item(k)}) + "\r\n";
    }
    if (k == 6 || k == 20) text += "\r\n";
  }
  text += "\r\n";
  text += format("%-23s-> %.0n KB ( %.0n bytes )",
                 {PadLabel("99:サイズ"), record.FileSize / 1024.0, double(record.FileSize)});
  return text;
}

std::string PhotoInfo::cameraParamText() const {
  const PhotoRecord& r = record;
  std::string date = r.ShotDate;
  std::replace(date.begin(), date.end(), ':', '.');
  const std::string lines[] = {
      format("FilePath: %s", {r.FilePath}),
      format("サ イ ズ: %.0n KB ( %.0n bytes )", {r.FileSize / 1024.0, double(r.FileSize)}),
      format("標　　題: %s", {r.Comment}),
      format("メーカー: %s", {r.CameraMaker}),
      format("モデル名: %s", {r.CameraModel}),
      format("撮影日時: %s %s", {date, r.ShotTime}),
      format("感　　度: ISO %d", {r.Iso}),
      format("フラッシ: %s", {r.FlashOn != 0 ? "ON" : "OFF"}),
      format("幅 × 高: %d dots × %d dots", {r.Width, r.Height}),
      format("露出時間: %s 秒", {ret_shutter(r.ExposureCode)}),
      format("Ｆ　　値: %.1n", {r.FNumber10 / 10.0}),
      format("露出補正: %.1n", {r.ExposureBias10 / 10.0}),
      format("焦点距離: %.1n mm", {r.FocalLength10 / 10.0}),
  };
  std::string text;
  for (const std::string& l : lines) {
    if (!text.empty()) text += "\r\n";
    text += l;
  }
  return text;
}

}  // namespace sortelia::exif

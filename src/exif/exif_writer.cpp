#include "exif/exif_writer.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "exif/byte_source.h"
#include "exif/exif_segment.h"
#include "exif/exif_tags.h"
#include "imaging/jpeg_size.h"
#include "platform/file_ops.h"
#include "platform/format.h"

namespace sortelia::exif {
namespace {

// Largest picture WriteExif holds in memory.
constexpr std::size_t kMaxPictureBytes = std::size_t{1} << 30;

// One IFD entry: its value bytes (already in the file's byte order). Values of up to four
// bytes sit in the entry itself unless outOfLine is set.
struct Entry {
  std::uint16_t tag;
  TiffType type;
  std::uint32_t count;
  std::string value;
  bool outOfLine = false;
};

// An IFD under construction.
class IfdBuilder {
 public:
  explicit IfdBuilder(bool motorola) : mm_(motorola) {}

  void ascii(std::uint16_t tag, const std::string& text) {
    std::string v = text;
    v += '\0';
    add({tag, TiffType::ASCII, static_cast<std::uint32_t>(v.size()), v});
  }
  // A date-time: always 20 bytes in the data area, padded with zero bytes.
  void dateTime(std::uint16_t tag, const std::string& text) {
    std::string v = text.substr(0, 19);
    v.resize(20, '\0');
    add({tag, TiffType::ASCII, 20, v, true});
  }
  void shortValue(std::uint16_t tag, std::uint32_t v) {
    std::string b;
    putU16(b, static_cast<std::uint16_t>(v & 0xFFFF), mm_);
    b.append(2, '\0');
    add({tag, TiffType::SHORT, 1, b});
  }
  void longValue(std::uint16_t tag, std::uint32_t v) {
    std::string b;
    putU32(b, v, mm_);
    add({tag, TiffType::LONG, 1, b});
  }
  // RATIONAL or SRATIONAL, as the tag table types the tag.
  void rational(std::uint16_t tag, const std::string& text);
  void undefined4(std::uint16_t tag, const std::string& text) {
    std::string v = text.substr(0, 4);
    v.resize(4, '\0');
    add({tag, TiffType::UNDEFINED, 4, v});
  }

  // Serializes the IFD placed at offset start of the TIFF data, with its data area behind it.
  // A final pointer entry (pointerTag) gets the offset just past that data area.
  std::string build(std::uint32_t start, std::uint16_t pointerTag) const;

 private:
  void add(Entry e) { entries_.push_back(std::move(e)); }

  bool mm_;
  std::vector<Entry> entries_;
};

// The numerator or denominator text of a rational: a decimal integer, 0 when it is none or
// lies outside the signed 32-bit range.
std::int32_t rationalPart(const std::string& s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  if (i == s.size()) return 0;
  std::int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) return 0;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return 0;
  return static_cast<std::int32_t>(v);
}

void IfdBuilder::rational(std::uint16_t tag, const std::string& text) {
  const auto slash = text.find('/');
  const std::int32_t num = rationalPart(text.substr(0, slash));
  const std::int32_t den = slash == std::string::npos ? 0 : rationalPart(text.substr(slash + 1));
  std::string b;
  putU32(b, static_cast<std::uint32_t>(num), mm_);
  putU32(b, static_cast<std::uint32_t>(den), mm_);
  const TiffType type =
      tagType(tag) == TiffType::SRATIONAL ? TiffType::SRATIONAL : TiffType::RATIONAL;
  add({tag, type, 1, b, true});
}

std::string IfdBuilder::build(std::uint32_t start, std::uint16_t pointerTag) const {
  const std::uint32_t n = static_cast<std::uint32_t>(entries_.size());
  const std::uint32_t dataStart = start + 2 + 12 * n + 4;
  std::string area;
  std::string out;
  putU16(out, static_cast<std::uint16_t>(n), mm_);
  std::vector<std::size_t> pointerFields;
  for (const Entry& e : entries_) {
    putU16(out, e.tag, mm_);
    putU16(out, static_cast<std::uint16_t>(e.type), mm_);
    putU32(out, e.count, mm_);
    if (e.tag == pointerTag) {
      pointerFields.push_back(out.size());
      out.append(4, '\0');
    } else if (e.outOfLine || e.value.size() > 4) {
      putU32(out, dataStart + static_cast<std::uint32_t>(area.size()), mm_);
      area += e.value;
    } else {
      std::string v = e.value;
      v.resize(4, '\0');
      out += v;
    }
  }
  putU32(out, 0, mm_);  // no next IFD
  for (std::size_t at : pointerFields) {
    std::string v;
    putU32(v, dataStart + static_cast<std::uint32_t>(area.size()), mm_);
    out.replace(at, 4, v);
  }
  return out + area;
}

IfdBuilder ifd0(const TExifInfo& x) {
  IfdBuilder b(x.MotorolaOrder);
  if (!x.ImageDescription.empty()) b.ascii(tags::ImageDescription, x.ImageDescription);
  b.ascii(tags::Make, x.Make);
  b.ascii(tags::Model, x.Model);
  b.shortValue(tags::Orientation, x.Orientation);
  if (x.XResolution.Value != 0) b.rational(tags::XResolution, x.XResolution.Text);
  if (x.YResolution.Value != 0) b.rational(tags::YResolution, x.YResolution.Text);
  if (x.ResolutionUnit.Value != 0)
    b.shortValue(tags::ResolutionUnit, static_cast<std::uint32_t>(x.ResolutionUnit.Value));
  b.ascii(tags::Software, x.Software);
  b.dateTime(tags::DateTime, x.DateTime);
  if (!x.Copyright.empty()) b.ascii(tags::Copyright, x.Copyright);
  b.longValue(tags::ExifIFDPointer, 0);
  return b;
}

IfdBuilder exifIfd(const TExifInfo& x, int width, int height) {
  IfdBuilder b(x.MotorolaOrder);
  const auto code = [](const TExifStringValue& v) { return static_cast<std::uint32_t>(v.Value); };
  if (!x.ExposureTime.Text.empty()) b.rational(tags::ExposureTime, x.ExposureTime.Text);
  if (!x.FNumber.Text.empty()) b.rational(tags::FNumber, x.FNumber.Text);
  if (!x.ExposureProgram.Text.empty()) b.shortValue(tags::ExposureProgram, code(x.ExposureProgram));
  b.shortValue(tags::ISOSpeedRatings, x.ISOSpeedRatings);
  b.undefined4(tags::ExifVersion, x.ExifVersion);
  b.dateTime(tags::DateTimeOriginal, x.DateTimeOriginal);
  b.dateTime(tags::DateTimeDigitized, x.DateTimeDigitized);
  if (!x.CompressedBitsPerPixel.Text.empty())
    b.rational(tags::CompressedBitsPerPixel, x.CompressedBitsPerPixel.Text);
  if (!x.ShutterSpeedValue.Text.empty())
    b.rational(tags::ShutterSpeedValue, x.ShutterSpeedValue.Text);
  if (!x.ApertureValue.Text.empty()) b.rational(tags::ApertureValue, x.ApertureValue.Text);
  if (!x.BrightnessValue.Text.empty()) b.rational(tags::BrightnessValue, x.BrightnessValue.Text);
  if (!x.ExposureBiasValue.Text.empty())
    b.rational(tags::ExposureBiasValue, x.ExposureBiasValue.Text);
  if (!x.MaxApertureValue.Text.empty()) b.rational(tags::MaxApertureValue, x.MaxApertureValue.Text);
  b.rational(tags::SubjectDistance, x.SubjectDistance.Text);
  b.shortValue(tags::MeteringMode, code(x.MeteringMode));
  b.shortValue(tags::LightSource, code(x.LightSource));
  b.shortValue(tags::Flash, code(x.Flash));
  b.rational(tags::FocalLength, x.FocalLength.Text);
  // Each item ends with a line break; an item read back from a file has its own already.
  std::string comment;
  for (const std::string& line : x.UserComment) {
    comment += line;
    if (!line.ends_with("\r\n")) comment += "\r\n";
  }
  if (!comment.empty()) b.ascii(tags::UserComment, comment);
  if (!x.SubSecTime.empty()) b.ascii(tags::SubSecTime, x.SubSecTime);
  if (!x.SubSecTimeOriginal.empty()) b.ascii(tags::SubSecTimeOriginal, x.SubSecTimeOriginal);
  if (!x.SubSecTimeDigitized.empty()) b.ascii(tags::SubSecTimeDigitized, x.SubSecTimeDigitized);
  if (!x.FlashpixVersion.empty()) b.undefined4(tags::FlashpixVersion, x.FlashpixVersion);
  b.shortValue(tags::ColorSpace, code(x.ColorSpace));
  b.longValue(tags::PixelXDimension, static_cast<std::uint32_t>(width));
  b.longValue(tags::PixelYDimension, static_cast<std::uint32_t>(height));
  if (!x.FocalPlaneXResolution.Text.empty())
    b.rational(tags::FocalPlaneXResolution, x.FocalPlaneXResolution.Text);
  if (!x.FocalPlaneYResolution.Text.empty())
    b.rational(tags::FocalPlaneYResolution, x.FocalPlaneYResolution.Text);
  if (!x.FocalPlaneResolutionUnit.Text.empty())
    b.shortValue(tags::FocalPlaneResolutionUnit, code(x.FocalPlaneResolutionUnit));
  b.shortValue(tags::SensingMethod, code(x.SensingMethod));
  b.longValue(tags::InteroperabilityIFDPointer, 0);
  return b;
}

IfdBuilder interopIfd(bool motorola) {
  IfdBuilder b(motorola);
  b.ascii(tags::InteroperabilityIndex, "R98");
  b.undefined4(tags::InteroperabilityVersion, "0100");
  return b;
}

ExifWriteError cannotWrite(const std::string& path, int err) {
  return ExifWriteError(format("%s を書き込めません: %s", {path, std::strerror(err)}));
}

}  // namespace

std::string buildExifSegment(const TExifInfo& info, int width, int height) {
  const bool mm = info.MotorolaOrder;
  std::string tiff = mm ? "MM" : "II";
  putU16(tiff, 42, mm);
  putU32(tiff, 8, mm);
  tiff += ifd0(info).build(static_cast<std::uint32_t>(tiff.size()), tags::ExifIFDPointer);
  tiff += exifIfd(info, width, height)
              .build(static_cast<std::uint32_t>(tiff.size()), tags::InteroperabilityIFDPointer);
  tiff += interopIfd(mm).build(static_cast<std::uint32_t>(tiff.size()), 0);
  const std::size_t body = 6 + tiff.size();
  if (body > kMaxApp1Body) {
    throw ExifWriteError(format(
        "Exif データが %d バイトになり、1 つの APP1 セグメント (最大 %d バイト) に収まりません。"
        "コメントを短くしてください。",
        {static_cast<long long>(body), static_cast<long long>(kMaxApp1Body)}));
  }
  std::string seg = "\xFF\xE1";
  seg += static_cast<char>((body + 2) >> 8);
  seg += static_cast<char>((body + 2) & 0xFF);
  seg.append("Exif\0\0", 6);
  return seg + tiff;
}

void WriteExif(const TExifInfo& info, const std::string& path) {
  // The file as read: the rewrite replaces only that file, not one changed, put in its place
  // or moved away meanwhile.
  const std::optional<fs::FileStamp> stamp = fs::fileStamp(path);
  const std::int64_t size = stamp ? stamp->size : 0;
  std::optional<std::string> bytes;
  if (stamp && fs::isRegularFile(path)) bytes = fs::readFile(path, kMaxPictureBytes);
  if (!bytes || static_cast<std::int64_t>(bytes->size()) != size) {
    throw EFOpenError(format("%s は存在しないか、または開けません。", {path}));
  }
  if (bytes->size() < 2 || static_cast<unsigned char>((*bytes)[0]) != 0xFF ||
      static_cast<unsigned char>((*bytes)[1]) != 0xD8) {
    throw EFOpenError(format("%s は無効なファイルです。", {path}));
  }
  // The replacement renames over the file, which the file's own permissions do not prevent:
  // a picture the user may not write keeps its comment.
  if (const int err = fs::writeDenied(path)) throw cannotWrite(path, err);
  const auto pixels = imaging::readJpegSize(*bytes);
  if (!pixels) throw ExifWriteError(format("%s の JPEG データを読めません。", {path}));
  const std::string segment = buildExifSegment(info, pixels->width, pixels->height);
  std::string out;
  const ByteSource src(*bytes);
  const auto old = findExifSegment(src, info.SearchRange);
  if (old && old->foundByWalk) {
    // An EXIF segment behind other segments (a JFIF header, a colour profile) gets the new
    // one right before it, so that the segments ahead of it (a JFIF header must come first)
    // keep their order. The old segment stays whole behind the new one: it holds what the
    // writer does not write (GPS position, lens, maker note, thumbnail).
    out.reserve(bytes->size() + segment.size());
    out.append(*bytes, 0, old->marker);
    out += segment;
    out.append(*bytes, old->marker, std::string::npos);
  } else {
    out = "\xFF\xD8";
    out += segment;
    out.append(*bytes, 2, std::string::npos);
  }
  const fs::FileResult r = fs::writeFileAtomic(path, out, fs::ReadOnlyFile::Refuse, &*stamp);
  if (r.error == ESTALE) {
    throw ExifWriteError(
        format("%s は読み込んだ後に変更されたか移動されたため、書き込みませんでした。", {path}));
  }
  if (!r.ok()) throw cannotWrite(path, r.error);
}

}  // namespace sortelia::exif

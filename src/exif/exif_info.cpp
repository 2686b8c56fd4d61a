#include "exif/exif_info.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <optional>
#include <system_error>
#include <variant>

#include "exif/byte_source.h"
#include "exif/exif_segment.h"
#include "exif/exif_tags.h"
#include "imaging/heif_decode.h"
#include "imaging/raw_preview.h"
#include "platform/file_kinds.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/path.h"
#include "platform/text_codec.h"

namespace sortelia::exif {
namespace {

// An EXIF segment is at most 64 KB; with the few bytes before it this prefix of the file
// holds every IFD and value of an ordinary camera file.
constexpr std::size_t kPrefixBytes = 65536 + 256;
// IFD0 and twelve more IFDs at most are read.
constexpr std::size_t kQueueSize = 13;

std::string hexOf(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out(bytes.size() * 2, '0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    out[2 * i] = kDigits[c >> 4];
    out[2 * i + 1] = kDigits[c & 15];
  }
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

// A version text: hexadecimal pairs turned back into characters, NUL bytes dropped.
std::string versionText(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    const char c = static_cast<char>(hexDigit(hex[i]) << 4 | hexDigit(hex[i + 1]));
    if (c != 0) out += c;
  }
  return text::decodeExternal(out);
}

// An integer field from a rounded double; 0 when it is not representable.
std::int64_t roundedOrZero(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 9.0e15) return 0;
  return roundHalfEven(v);
}

// One read of the IFDs of an EXIF block into a record.
class IfdWalker {
 public:
  IfdWalker(TExifInfo& info, const ByteSource& src, std::uint64_t header)
      : x_(info), src_(src), header_(header) {}

  // ReadExif: byte order, then every queued IFD in order of discovery. False when not even the
  // entry count of the first IFD could be read: the header holds no record at all.
  bool run() {
    unsigned char b[8];
    if (!src_.read(header_, 2, b)) return false;
    x_.MotorolaOrder = b[0] == 'M' && b[1] == 'M';
    mm_ = x_.MotorolaOrder;
    if (!src_.read(header_, 8, b)) return false;
    enqueue(header_ + getU32(b + 4, mm_));
    if (!src_.read(queue_[0], 2, b)) return false;
    for (std::size_t i = 0; i < queued_; ++i) {
      if (!readIfd(queue_[i], i == 0)) break;
    }
    return true;
  }

 private:
  // Adds an IFD to read, unless it was seen already or the queue is full.
  void enqueue(std::uint64_t pos) {
    if (queued_ >= kQueueSize) return;
    for (std::size_t i = 0; i < queued_; ++i) {
      if (queue_[i] == pos) return;
    }
    queue_[queued_++] = pos;
  }

  // Reads one IFD; false when its entry count cannot be read, which ends the reading.
  bool readIfd(std::uint64_t pos, bool first) {
    unsigned char b[12];
    if (!src_.read(pos, 2, b)) return false;
    const unsigned count = getU16(b, mm_);
    std::uint64_t p = pos + 2;
    for (unsigned k = 0; k < count; ++k, p += 12) {
      if (!src_.read(p, 12, b)) return false;
      applyEntry(b, first);
    }
    if (src_.read(p, 4, b)) {
      const std::uint32_t link = getU32(b, mm_);
      if (link >= 1) enqueue(header_ + link);
    }
    return true;
  }

  // Decodes the first value of an entry (the whole text of ASCII and UNDEFINED entries).
  // A value whose bytes run past the end of the file is not read: all fields stay empty.
  TDatas readValue(unsigned type, std::uint32_t count, const unsigned char* field,
                   std::string* raw) const {
    TDatas d;
    const std::uint64_t size = std::uint64_t{count} * tiffTypeSize(type);
    const auto t = static_cast<TiffType>(type);
    const bool whole = t == TiffType::ASCII || t == TiffType::UNDEFINED;
    const std::size_t need = whole ? count : tiffTypeSize(type);
    std::string buf;
    const unsigned char* p = field;
    if (size > 4) {
      const std::uint64_t at = header_ + getU32(field, mm_);
      if (!src_.contains(at, size)) return d;
      buf.resize(need);
      if (!src_.read(at, need, buf.data())) return d;
      p = reinterpret_cast<const unsigned char*>(buf.data());
    } else if (need > 4) {
      return d;  // an 8-byte type with count 0: no value
    }
    switch (t) {
      case TiffType::BYTE:
        d.UnsignedValue = p[0];
        break;
      case TiffType::ASCII:
        for (std::size_t i = 0; i < count; ++i) {
          if (p[i] != 0) d.Text += static_cast<char>(p[i]);
        }
        break;
      case TiffType::SHORT:
        d.UnsignedValue = getU16(p, mm_);
        break;
      case TiffType::LONG:
        d.UnsignedValue = getU32(p, mm_);
        break;
      case TiffType::RATIONAL:
      case TiffType::SRATIONAL:
        readRational(t == TiffType::SRATIONAL, p, d);
        break;
      case TiffType::SBYTE:
        d.SignedValue = static_cast<std::int8_t>(p[0]);
        break;
      case TiffType::UNDEFINED: {
        const std::string_view bytes(reinterpret_cast<const char*>(p), count);
        d.Text = hexOf(bytes);
        if (raw) raw->assign(bytes);
        break;
      }
      case TiffType::SSHORT:
        d.SignedValue = getS16(p, mm_);
        break;
      case TiffType::SLONG:
        d.SignedValue = getS32(p, mm_);
        break;
      case TiffType::FLOAT:
        d.DoubleValue = std::bit_cast<float>(getU32(p, mm_));
        break;
      case TiffType::DOUBLE: {
        const std::uint64_t hi = getU32(p, mm_), lo = getU32(p + 4, mm_);
        d.DoubleValue = std::bit_cast<double>(mm_ ? (hi << 32 | lo) : (lo << 32 | hi));
        break;
      }
      default:
        break;
    }
    return d;
  }

  void readRational(bool isSigned, const unsigned char* p, TDatas& d) const {
    char text[32];
    if (isSigned) {
      const std::int32_t n = getS32(p, mm_), den = getS32(p + 4, mm_);
      std::snprintf(text, sizeof text, "%d/%d", n, den);
      if (den != 0) d.DoubleValue = static_cast<double>(n) / den;
    } else {
      const std::uint32_t n = getU32(p, mm_), den = getU32(p + 4, mm_);
      std::snprintf(text, sizeof text, "%u/%u", n, den);
      if (den != 0) d.DoubleValue = static_cast<double>(n) / den;
    }
    d.Text = text;
  }

  static void rational(TExifRational& f, const TDatas& d) {
    f.Text = d.Text;
    f.Value = d.DoubleValue;
  }

  void applyEntry(const unsigned char* e, bool first);
  void applyUserComment(unsigned type, const TDatas& d, const std::string& raw);

  TExifInfo& x_;
  const ByteSource& src_;
  std::uint64_t header_;
  bool mm_ = false;
  bool thm_ = false;
  std::array<std::uint64_t, kQueueSize> queue_{};
  std::size_t queued_ = 0;
};

// The tags that go straight into one field of the record, each read in its field's way.
enum class ReadAs { Text, Version, Rational, Enumerated, Number };
using RecordField = std::variant<std::string TExifInfo::*, TExifRational TExifInfo::*,
                                 TExifStringValue TExifInfo::*, std::int32_t TExifInfo::*,
                                 std::uint16_t TExifInfo::*>;
struct PlainTag {
  std::uint16_t tag;
  ReadAs as;
  RecordField field;
};

const PlainTag kPlainTags[] = {
    {tags::ImageWidth, ReadAs::Number, &TExifInfo::ImageWidth},
    {tags::ImageLength, ReadAs::Number, &TExifInfo::ImageLength},
    {tags::Compression, ReadAs::Enumerated, &TExifInfo::Compression},
    {tags::PhotometricInterpretation, ReadAs::Enumerated, &TExifInfo::PhotometricInterpretation},
    {tags::ImageDescription, ReadAs::Text, &TExifInfo::ImageDescription},
    {tags::Make, ReadAs::Text, &TExifInfo::Make},
    {tags::Model, ReadAs::Text, &TExifInfo::Model},
    {tags::SamplesPerPixel, ReadAs::Number, &TExifInfo::SamplesPerPixel},
    {tags::PlanarConfiguration, ReadAs::Number, &TExifInfo::PlanarConfiguration},
    {tags::Software, ReadAs::Text, &TExifInfo::Software},
    {tags::DateTime, ReadAs::Text, &TExifInfo::DateTime},
    {tags::JPEGInterchangeFormat, ReadAs::Number, &TExifInfo::JPEGInterchangeFormat},
    {tags::JPEGInterchangeFormatLength, ReadAs::Number, &TExifInfo::JPEGInterchangeFormatLength},
    {tags::Copyright, ReadAs::Text, &TExifInfo::Copyright},
    {tags::ExposureTime, ReadAs::Rational, &TExifInfo::ExposureTime},
    {tags::FNumber, ReadAs::Rational, &TExifInfo::FNumber},
    {tags::ExposureProgram, ReadAs::Enumerated, &TExifInfo::ExposureProgram},
    {tags::ISOSpeedRatings, ReadAs::Number, &TExifInfo::ISOSpeedRatings},
    {tags::ExifVersion, ReadAs::Version, &TExifInfo::ExifVersion},
    {tags::DateTimeOriginal, ReadAs::Text, &TExifInfo::DateTimeOriginal},
    {tags::DateTimeDigitized, ReadAs::Text, &TExifInfo::DateTimeDigitized},
    {tags::CompressedBitsPerPixel, ReadAs::Rational, &TExifInfo::CompressedBitsPerPixel},
    {tags::ShutterSpeedValue, ReadAs::Rational, &TExifInfo::ShutterSpeedValue},
    {tags::ApertureValue, ReadAs::Rational, &TExifInfo::ApertureValue},
    {tags::BrightnessValue, ReadAs::Rational, &TExifInfo::BrightnessValue},
    {tags::ExposureBiasValue, ReadAs::Rational, &TExifInfo::ExposureBiasValue},
    {tags::MaxApertureValue, ReadAs::Rational, &TExifInfo::MaxApertureValue},
    {tags::SubjectDistance, ReadAs::Rational, &TExifInfo::SubjectDistance},
    {tags::MeteringMode, ReadAs::Enumerated, &TExifInfo::MeteringMode},
    {tags::LightSource, ReadAs::Enumerated, &TExifInfo::LightSource},
    {tags::Flash, ReadAs::Enumerated, &TExifInfo::Flash},
    {tags::FocalLength, ReadAs::Rational, &TExifInfo::FocalLength},
    {tags::SubSecTime, ReadAs::Text, &TExifInfo::SubSecTime},
    {tags::SubSecTimeOriginal, ReadAs::Text, &TExifInfo::SubSecTimeOriginal},
    {tags::SubSecTimeDigitized, ReadAs::Text, &TExifInfo::SubSecTimeDigitized},
    {tags::FlashpixVersion, ReadAs::Version, &TExifInfo::FlashpixVersion},
    {tags::ColorSpace, ReadAs::Enumerated, &TExifInfo::ColorSpace},
    {tags::PixelXDimension, ReadAs::Number, &TExifInfo::PixelXDimension},
    {tags::PixelYDimension, ReadAs::Number, &TExifInfo::PixelYDimension},
    {tags::RelatedSoundFile, ReadAs::Text, &TExifInfo::RelatedSoundFile},
    {tags::FocalPlaneXResolution, ReadAs::Rational, &TExifInfo::FocalPlaneXResolution},
    {tags::FocalPlaneYResolution, ReadAs::Rational, &TExifInfo::FocalPlaneYResolution},
    {tags::FocalPlaneResolutionUnit, ReadAs::Enumerated, &TExifInfo::FocalPlaneResolutionUnit},
    {tags::SensingMethod, ReadAs::Enumerated, &TExifInfo::SensingMethod},
};

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

// Stores a plain tag's value into its field; false for a tag the table does not hold.
bool storePlainTag(TExifInfo& x, std::uint16_t tag, const TDatas& d) {
  const auto* it = std::find_if(std::begin(kPlainTags), std::end(kPlainTags),
                                [tag](const PlainTag& p) { return p.tag == tag; });
  if (it == std::end(kPlainTags)) return false;
  const ReadAs as = it->as;
  std::visit(
      Overloaded{
          [&](std::string TExifInfo::*f) {
            x.*f = as == ReadAs::Version ? versionText(d.Text) : text::decodeExternal(d.Text);
          },
          [&](TExifRational TExifInfo::*f) {
            (x.*f).Text = d.Text;
            (x.*f).Value = d.DoubleValue;
          },
          [&](TExifStringValue TExifInfo::*f) {
            (x.*f).Value = static_cast<std::int32_t>(d.UnsignedValue);
            (x.*f).Text = exifLabel(tag, d.UnsignedValue);
          },
          [&](std::int32_t TExifInfo::*f) { x.*f = static_cast<std::int32_t>(d.UnsignedValue); },
          [&](std::uint16_t TExifInfo::*f) {
            x.*f = static_cast<std::uint16_t>(d.UnsignedValue & 0xFFFF);
          },
      },
      it->field);
  return true;
}

void IfdWalker::applyEntry(const unsigned char* e, bool first) {
  const std::uint16_t tag = getU16(e, mm_);
  if (!isReadTag(tag)) return;
  const unsigned type = getU16(e + 2, mm_) & 0xFF;
  const std::uint32_t count = getU32(e + 4, mm_);
  if (tag == tags::MakerNote) {  // the maker note: only where it lies
    x_.MakerNoteSize = static_cast<std::int32_t>(count);
    x_.MakerNoteOffset = static_cast<std::int32_t>(header_ + getU32(e + 8, mm_));
    return;
  }
  std::string raw;
  const TDatas d = readValue(type, count, e + 8, &raw);
  if (storePlainTag(x_, tag, d)) return;
  // The tags whose place depends on the IFD being read, or that steer the walk itself.
  switch (tag) {
    case tags::InteroperabilityIndex:
      thm_ = text::asciiLower(d.Text) == "thm";
      break;
    case tags::Orientation:
      if (d.UnsignedValue <= 8) {
        (first ? x_.Orientation : x_.ThumbOrientation) = static_cast<std::uint8_t>(d.UnsignedValue);
      }
      break;
    case tags::XResolution:
      rational(first ? x_.XResolution : x_.ThumbXResolution, d);
      break;
    case tags::YResolution:
      rational(first ? x_.YResolution : x_.ThumbYResolution, d);
      break;
    case tags::ResolutionUnit: {
      TExifStringValue& f = first ? x_.ResolutionUnit : x_.ThumbResolutionUnit;
      f.Value = static_cast<std::int32_t>(d.UnsignedValue);
      if (d.UnsignedValue == 2 || d.UnsignedValue == 3) f.Text = exifLabel(tag, d.UnsignedValue);
      break;
    }
    case tags::RelatedImageWidth:
    case tags::RelatedImageLength: {
      const bool width = tag == tags::RelatedImageWidth;
      std::int32_t& f = thm_ ? (width ? x_.ImageWidth : x_.ImageLength)
                             : (width ? x_.PixelXDimension : x_.PixelYDimension);
      if (f == 0) f = static_cast<std::int32_t>(d.UnsignedValue);
      break;
    }
    case tags::ExifIFDPointer:
    case tags::InteroperabilityIFDPointer:
      enqueue(header_ + d.UnsignedValue);
      break;
    case tags::UserComment:
      applyUserComment(type, d, raw);
      break;
    case tags::ExposureIndex:
      x_.ISOSpeedRatings = static_cast<std::uint16_t>(roundedOrZero(d.DoubleValue) & 0xFFFF);
      break;
    default:
      break;
  }
}

// One UserComment item per entry, by the entry's type.
void IfdWalker::applyUserComment(unsigned type, const TDatas& d, const std::string& raw) {
  switch (static_cast<TiffType>(type)) {
    case TiffType::UNDEFINED:
      if (!d.Text.empty()) x_.UserComment.push_back(DecodeUserComment(raw, mm_));
      break;
    case TiffType::BYTE:
    case TiffType::SHORT:
    case TiffType::LONG:
      x_.UserComment.push_back(std::to_string(d.UnsignedValue));
      break;
    case TiffType::SBYTE:
    case TiffType::SSHORT:
    case TiffType::SLONG:
      x_.UserComment.push_back(std::to_string(d.SignedValue));
      break;
    case TiffType::ASCII:
    case TiffType::RATIONAL:
    case TiffType::SRATIONAL:
      x_.UserComment.push_back(text::decodeExternal(d.Text));
      break;
    case TiffType::FLOAT:
    case TiffType::DOUBLE:
      x_.UserComment.push_back(format("%g", {d.DoubleValue}));
      break;
    default:
      break;
  }
}

// The start of a TIFF file as the RAW formats write it: the byte order, then the magic 42, or
// 0x55 (Panasonic's RW2), or "RO"/"RS" (Olympus's ORF).
bool startsTiff(const ByteSource& src) {
  unsigned char b[4];
  if (!src.read(0, 4, b)) return false;
  const bool intel = b[0] == 'I' && b[1] == 'I';
  const bool motorola = b[0] == 'M' && b[1] == 'M';
  if (!intel && !motorola) return false;
  if ((intel && b[2] == 42 && b[3] == 0) || (motorola && b[2] == 0 && b[3] == 42)) return true;
  if (intel && b[2] == 0x55 && b[3] == 0) return true;
  return (b[2] == 'R' && (b[3] == 'O' || b[3] == 'S')) || (motorola && b[2] == 'O' && b[3] == 'R');
}

}  // namespace

bool TExifInfo::readOtherPicture(const ByteSource& src, const std::string& path) {
  const std::string name = fs::fileNameOf(path);
  const auto kind = fs::kindOfName(name);
  const bool raw = kind && kind->kind == fs::MediaKind::Raw;
  // A TIFF-based RAW is a TIFF file: its IFD0 and EXIF IFD are read where they stand.
  // A RAW cut before its first IFD has no record to read.
  if (raw && startsTiff(src)) return IfdWalker(*this, src, 0).run();
  unsigned char head[12];
  if (src.read(0, sizeof head, head) &&
      imaging::looksLikeHeif(std::string_view(reinterpret_cast<const char*>(head), sizeof head))) {
    const auto bytes = fs::readFile(path, imaging::kMaxHeifFileBytes);
    const std::string block = bytes ? imaging::heifExif(*bytes) : std::string();
    if (block.empty()) return false;
    IfdWalker(*this, ByteSource(block), 0).run();
    return true;
  }
  if (!raw) return false;
  // Other RAWs: a CR3 keeps its TIFF blocks in metadata boxes; the rest carry EXIF in their
  // preview JPEG.
  const auto bytes = fs::readFile(path, imaging::kMaxRawFileBytes);
  if (!bytes) return false;
  const imaging::RawPreview preview = imaging::extractRawPreview(*bytes);
  if (!preview.cr3Ifd0.empty() || !preview.cr3ExifIfd.empty()) {
    for (const std::string* block : {&preview.cr3Ifd0, &preview.cr3ExifIfd}) {
      if (!block->empty()) IfdWalker(*this, ByteSource(*block), 0).run();
    }
    return true;
  }
  if (preview.jpeg.empty()) return false;
  const ByteSource jpeg(preview.jpeg);
  const auto segment = findExifSegment(jpeg, SearchRange);
  if (!segment) return false;
  IfdWalker(*this, jpeg, segment->tiffHeader).run();
  return true;
}

void TExifInfo::ClearAll() {
  TExifInfo fresh;
  fresh.imageFileName_ = std::move(imageFileName_);
  fresh.SearchRange = SearchRange;
  fresh.MotorolaOrder = MotorolaOrder;
  fresh.OnReadError = std::move(OnReadError);
  *this = std::move(fresh);
}

void TExifInfo::setImageFileName(const std::string& path) {
  imageFileName_ = path;
  ClearAll();
  std::optional<ByteSource> src;
  std::optional<ExifSegment> segment;
  try {
    src.emplace(path, kPrefixBytes);
    if (src->isOpen()) segment = findExifSegment(*src, SearchRange);
  } catch (const std::system_error&) {
    segment.reset();
  }
  if (segment) {
    IfdWalker(*this, *src, segment->tiffHeader).run();
    return;
  }
  bool read = false;
  try {
    read = src && src->isOpen() && readOtherPicture(*src, path);
  } catch (const std::system_error&) {
    read = false;
  }
  if (!read && OnReadError) OnReadError(*this);
}

bool TExifInfo::readFromBytes(std::string_view jpegBytes) {
  ClearAll();
  const ByteSource src(jpegBytes);
  const auto segment = findExifSegment(src, SearchRange);
  if (!segment) {
    if (OnReadError) OnReadError(*this);
    return false;
  }
  IfdWalker(*this, src, segment->tiffHeader).run();
  return true;
}

bool TExifInfo::HasExif(const std::string& path) const {
  try {
    const ByteSource src(path, 64);
    return src.isOpen() && findExifSegment(src, SearchRange).has_value();
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace sortelia::exif

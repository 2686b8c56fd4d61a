#include "exif/exif_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <optional>
#include <system_error>

#include "exif/byte_source.h"
#include "platform/format.h"
#include "platform/text_codec.h"

namespace sortelia::exif {
namespace {

// An EXIF segment is at most 64 KB; with the few bytes before it this prefix of the file
// holds every IFD and value of an ordinary camera file.
constexpr std::size_t kPrefixBytes = 65536 + 256;
// IFD0 and twelve more IFDs at most are read.
constexpr std::size_t kQueueSize = 13;

// Closes a descriptor when it leaves scope.
struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

// Opens a regular file for reading; -1 when that fails. size receives its length.
int openRegular(const std::string& path, std::uint64_t& size) {
  if (path.empty()) return -1;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  size = static_cast<std::uint64_t>(st.st_size);
  return fd;
}

// FindExifSegment: the position of the TIFF header behind the first FF E1 marker found within
// searchRange bytes whose identifier reads "exif" (ignoring case) up to its first NUL.
std::optional<std::uint64_t> findExifSegment(const ByteSource& src, std::int32_t searchRange) {
  unsigned char b[6];
  if (!src.read(0, 2, b) || b[0] != 0xFF || b[1] != 0xD8) return std::nullopt;
  for (std::uint64_t p = 2;; ++p) {
    if (!src.read(p, 2, b)) return std::nullopt;
    if (b[0] == 0xFF && b[1] == 0xE1) {
      if (!src.read(p + 4, 6, b)) return std::nullopt;
      std::string id;
      for (unsigned char c : b) {
        if (c == 0) break;
        id += static_cast<char>(c);
      }
      if (text::asciiLower(id) != "exif") return std::nullopt;
      return p + 10;
    }
    if (static_cast<std::int64_t>(p) + 2 > searchRange) return std::nullopt;
  }
}

// Bytes per value of a TIFF type code.
unsigned unitSize(unsigned type) {
  switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
      return 1;
    case 3:
    case 8:
      return 2;
    case 4:
    case 9:
    case 11:
      return 4;
    default:
      return 8;
  }
}

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

  // ReadExif: byte order, then every queued IFD in order of discovery.
  void run() {
    unsigned char b[8];
    if (!src_.read(header_, 2, b)) return;
    x_.MotorolaOrder = b[0] == 'M' && b[1] == 'M';
    mm_ = x_.MotorolaOrder;
    if (!src_.read(header_, 8, b)) return;
    enqueue(header_ + getU32(b + 4, mm_));
    for (std::size_t i = 0; i < queued_; ++i) {
      if (!readIfd(queue_[i], i == 0)) return;
    }
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
    const std::uint64_t size = std::uint64_t{count} * unitSize(type);
    const bool whole = type == 2 || type == 7;
    const std::size_t need = whole ? count : unitSize(type);
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
    switch (type) {
      case 1:
        d.UnsignedValue = p[0];
        break;
      case 2:
        for (std::size_t i = 0; i < count; ++i) {
          if (p[i] != 0) d.Text += static_cast<char>(p[i]);
        }
        break;
      case 3:
        d.UnsignedValue = getU16(p, mm_);
        break;
      case 4:
        d.UnsignedValue = getU32(p, mm_);
        break;
      case 5:
      case 10:
        readRational(type == 10, p, d);
        break;
      case 6:
        d.SignedValue = static_cast<std::int8_t>(p[0]);
        break;
      case 7: {
        const std::string_view bytes(reinterpret_cast<const char*>(p), count);
        d.Text = hexOf(bytes);
        if (raw) raw->assign(bytes);
        break;
      }
      case 8:
        d.SignedValue = getS16(p, mm_);
        break;
      case 9:
        d.SignedValue = getS32(p, mm_);
        break;
      case 11:
        d.DoubleValue = std::bit_cast<float>(getU32(p, mm_));
        break;
      case 12: {
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

  static void enumerated(TExifStringValue& f, std::uint16_t tag, const TDatas& d) {
    f.Value = static_cast<std::int32_t>(d.UnsignedValue);
    f.Text = exifLabel(tag, d.UnsignedValue);
  }

  static void text(std::string& f, const TDatas& d) { f = text::decodeExternal(d.Text); }

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

// True for the tags the record takes a value from.
bool knownTag(std::uint16_t tag) {
  switch (tag) {
    case 0x0001:
    case 0x0100:
    case 0x0101:
    case 0x0103:
    case 0x0106:
    case 0x010E:
    case 0x010F:
    case 0x0110:
    case 0x0112:
    case 0x0115:
    case 0x011A:
    case 0x011B:
    case 0x011C:
    case 0x0128:
    case 0x0131:
    case 0x0132:
    case 0x0201:
    case 0x0202:
    case 0x1001:
    case 0x1002:
    case 0x8298:
    case 0x829A:
    case 0x829D:
    case 0x8769:
    case 0x8822:
    case 0x8827:
    case 0x9000:
    case 0x9003:
    case 0x9004:
    case 0x9102:
    case 0x9201:
    case 0x9202:
    case 0x9203:
    case 0x9204:
    case 0x9205:
    case 0x9206:
    case 0x9207:
    case 0x9208:
    case 0x9209:
    case 0x920A:
    case 0x927C:
    case 0x9286:
    case 0x9290:
    case 0x9291:
    case 0x9292:
    case 0xA000:
    case 0xA001:
    case 0xA002:
    case 0xA003:
    case 0xA004:
    case 0xA005:
    case 0xA20E:
    case 0xA20F:
    case 0xA210:
    case 0xA215:
    case 0xA217:
      return true;
    default:
      return false;
  }
}

void IfdWalker::applyEntry(const unsigned char* e, bool first) {
  const std::uint16_t tag = getU16(e, mm_);
  if (!knownTag(tag)) return;
  const unsigned type = getU16(e + 2, mm_) & 0xFF;
  const std::uint32_t count = getU32(e + 4, mm_);
  if (tag == 0x927C) {  // the maker note: only where it lies
    x_.MakerNoteSize = static_cast<std::int32_t>(count);
    x_.MakerNoteOffset = static_cast<std::int32_t>(header_ + getU32(e + 8, mm_));
    return;
  }
  std::string raw;
  const TDatas d = readValue(type, count, e + 8, &raw);
  const auto u16 = static_cast<std::uint16_t>(d.UnsignedValue & 0xFFFF);
  const auto i32 = static_cast<std::int32_t>(d.UnsignedValue);
  switch (tag) {
    case 0x0001:
      thm_ = text::asciiLower(d.Text) == "thm";
      break;
    case 0x0100:
      x_.ImageWidth = i32;
      break;
    case 0x0101:
      x_.ImageLength = i32;
      break;
    case 0x0103:
      enumerated(x_.Compression, tag, d);
      break;
    case 0x0106:
      enumerated(x_.PhotometricInterpretation, tag, d);
      break;
    case 0x010E:
      text(x_.ImageDescription, d);
      break;
    case 0x010F:
      text(x_.Make, d);
      break;
    case 0x0110:
      text(x_.Model, d);
      break;
    case 0x0112:
      if (d.UnsignedValue <= 8) {
        (first ? x_.Orientation : x_.ThumbOrientation) = static_cast<std::uint8_t>(d.UnsignedValue);
      }
      break;
    case 0x0115:
      x_.SamplesPerPixel = u16;
      break;
    case 0x011C:
      x_.PlanarConfiguration = u16;
      break;
    case 0x011A:
      rational(first ? x_.XResolution : x_.ThumbXResolution, d);
      break;
    case 0x011B:
      rational(first ? x_.YResolution : x_.ThumbYResolution, d);
      break;
    case 0x0128: {
      TExifStringValue& f = first ? x_.ResolutionUnit : x_.ThumbResolutionUnit;
      f.Value = i32;
      if (d.UnsignedValue == 2 || d.UnsignedValue == 3) f.Text = exifLabel(tag, d.UnsignedValue);
      break;
    }
    case 0x0131:
      text(x_.Software, d);
      break;
    case 0x0132:
      text(x_.DateTime, d);
      break;
    case 0x0201:
      x_.JPEGInterchangeFormat = i32;
      break;
    case 0x0202:
      x_.JPEGInterchangeFormatLength = i32;
      break;
    case 0x1001:
    case 0x1002: {
      const bool width = tag == 0x1001;
      std::int32_t& f = thm_ ? (width ? x_.ImageWidth : x_.ImageLength)
                             : (width ? x_.PixelXDimension : x_.PixelYDimension);
      if (f == 0) f = i32;
      break;
    }
    case 0x8298:
      text(x_.Copyright, d);
      break;
    case 0x829A:
      rational(x_.ExposureTime, d);
      break;
    case 0x829D:
      rational(x_.FNumber, d);
      break;
    case 0x8769:
      enqueue(header_ + d.UnsignedValue);
      break;
    case 0x8822:
      enumerated(x_.ExposureProgram, tag, d);
      break;
    case 0x8827:
      x_.ISOSpeedRatings = u16;
      break;
    case 0x9000:
      x_.ExifVersion = versionText(d.Text);
      break;
    case 0x9003:
      text(x_.DateTimeOriginal, d);
      break;
    case 0x9004:
      text(x_.DateTimeDigitized, d);
      break;
    case 0x9102:
      rational(x_.CompressedBitsPerPixel, d);
      break;
    case 0x9201:
      rational(x_.ShutterSpeedValue, d);
      break;
    case 0x9202:
      rational(x_.ApertureValue, d);
      break;
    case 0x9203:
      rational(x_.BrightnessValue, d);
      break;
    case 0x9204:
      rational(x_.ExposureBiasValue, d);
      break;
    case 0x9205:
      rational(x_.MaxApertureValue, d);
      break;
    case 0x9206:
      rational(x_.SubjectDistance, d);
      break;
    case 0x9207:
      enumerated(x_.MeteringMode, tag, d);
      break;
    case 0x9208:
      enumerated(x_.LightSource, tag, d);
      break;
    case 0x9209:
      enumerated(x_.Flash, tag, d);
      break;
    case 0x920A:
      rational(x_.FocalLength, d);
      break;
    case 0x9286:
      applyUserComment(type, d, raw);
      break;
    case 0x9290:
      text(x_.SubSecTime, d);
      break;
    case 0x9291:
      text(x_.SubSecTimeOriginal, d);
      break;
    case 0x9292:
      text(x_.SubSecTimeDigitized, d);
      break;
    case 0xA000:
      x_.FlashpixVersion = versionText(d.Text);
      break;
    case 0xA001:
      enumerated(x_.ColorSpace, tag, d);
      break;
    case 0xA002:
      x_.PixelXDimension = i32;
      break;
    case 0xA003:
      x_.PixelYDimension = i32;
      break;
    case 0xA004:
      text(x_.RelatedSoundFile, d);
      break;
    case 0xA005:
      enqueue(header_ + d.UnsignedValue);
      break;
    case 0xA20E:
      rational(x_.FocalPlaneXResolution, d);
      break;
    case 0xA20F:
      rational(x_.FocalPlaneYResolution, d);
      break;
    case 0xA210:
      enumerated(x_.FocalPlaneResolutionUnit, tag, d);
      break;
    case 0xA215:
      x_.ISOSpeedRatings = static_cast<std::uint16_t>(roundedOrZero(d.DoubleValue) & 0xFFFF);
      break;
    case 0xA217:
      enumerated(x_.SensingMethod, tag, d);
      break;
    default:
      break;
  }
}

// One UserComment item per entry, by the entry's type.
void IfdWalker::applyUserComment(unsigned type, const TDatas& d, const std::string& raw) {
  switch (type) {
    case 7:
      if (!d.Text.empty()) x_.UserComment.push_back(DecodeUserComment(raw, mm_));
      break;
    case 1:
    case 3:
    case 4:
      x_.UserComment.push_back(std::to_string(d.UnsignedValue));
      break;
    case 6:
    case 8:
    case 9:
      x_.UserComment.push_back(std::to_string(d.SignedValue));
      break;
    case 2:
    case 5:
    case 10:
      x_.UserComment.push_back(text::decodeExternal(d.Text));
      break;
    case 11:
    case 12:
      x_.UserComment.push_back(format("%g", {d.DoubleValue}));
      break;
    default:
      break;
  }
}

}  // namespace

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
  std::uint64_t size = 0;
  FdCloser fd{openRegular(path, size)};
  std::optional<ByteSource> src;
  std::optional<std::uint64_t> header;
  if (fd.fd >= 0) {
    try {
      src.emplace(fd.fd, size, kPrefixBytes);
      header = findExifSegment(*src, SearchRange);
    } catch (const std::system_error&) {
      header.reset();
    }
  }
  if (!header) {
    if (OnReadError) OnReadError(*this);
    return;
  }
  IfdWalker(*this, *src, *header).run();
}

bool TExifInfo::readFromBytes(std::string_view jpegBytes) {
  ClearAll();
  const ByteSource src(jpegBytes);
  const auto header = findExifSegment(src, SearchRange);
  if (!header) {
    if (OnReadError) OnReadError(*this);
    return false;
  }
  IfdWalker(*this, src, *header).run();
  return true;
}

bool TExifInfo::HasExif(const std::string& path) const {
  std::uint64_t size = 0;
  FdCloser fd{openRegular(path, size)};
  if (fd.fd < 0) return false;
  try {
    const ByteSource src(fd.fd, size, 64);
    return findExifSegment(src, SearchRange).has_value();
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace sortelia::exif

#include "support/exif_builder.h"

#include "support/test_jpeg.h"

namespace sortelia::testing {
namespace {

using exif::TiffType;
namespace tags = exif::tags;

constexpr std::uint16_t code(TiffType t) { return static_cast<std::uint16_t>(t); }

}  // namespace

std::string ExifBuilder::u16(std::uint16_t v) const {
  std::string s(2, '\0');
  s[mm_ ? 0 : 1] = static_cast<char>(v >> 8);
  s[mm_ ? 1 : 0] = static_cast<char>(v & 0xFF);
  return s;
}

std::string ExifBuilder::u32(std::uint32_t v) const {
  return mm_ ? u16(static_cast<std::uint16_t>(v >> 16)) + u16(static_cast<std::uint16_t>(v))
             : u16(static_cast<std::uint16_t>(v)) + u16(static_cast<std::uint16_t>(v >> 16));
}

ExifBuilder& ExifBuilder::raw(Ifd ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                              const std::string& value) {
  ifds_[static_cast<int>(ifd)].push_back({tag, type, count, value});
  return *this;
}

ExifBuilder& ExifBuilder::ascii(Ifd ifd, std::uint16_t tag, const std::string& text) {
  return raw(ifd, tag, code(TiffType::ASCII), static_cast<std::uint32_t>(text.size() + 1),
             text + std::string(1, '\0'));
}

ExifBuilder& ExifBuilder::shortValue(Ifd ifd, std::uint16_t tag, std::uint16_t v) {
  return raw(ifd, tag, code(TiffType::SHORT), 1, u16(v));
}

ExifBuilder& ExifBuilder::longValue(Ifd ifd, std::uint16_t tag, std::uint32_t v) {
  return raw(ifd, tag, code(TiffType::LONG), 1, u32(v));
}

ExifBuilder& ExifBuilder::rational(Ifd ifd, std::uint16_t tag, std::uint32_t num,
                                   std::uint32_t den) {
  return raw(ifd, tag, code(TiffType::RATIONAL), 1, u32(num) + u32(den));
}

ExifBuilder& ExifBuilder::srational(Ifd ifd, std::uint16_t tag, std::int32_t num,
                                    std::int32_t den) {
  return raw(ifd, tag, code(TiffType::SRATIONAL), 1,
             u32(static_cast<std::uint32_t>(num)) + u32(static_cast<std::uint32_t>(den)));
}

ExifBuilder& ExifBuilder::undefined(Ifd ifd, std::uint16_t tag, const std::string& bytes) {
  return raw(ifd, tag, code(TiffType::UNDEFINED), static_cast<std::uint32_t>(bytes.size()), bytes);
}

std::uint32_t ExifBuilder::sizeOf(const std::vector<Entry>& entries) const {
  std::uint32_t n = 2 + 12 * static_cast<std::uint32_t>(entries.size()) + 4;
  for (const Entry& e : entries) {
    if (e.value.size() > 4) n += static_cast<std::uint32_t>(e.value.size());
  }
  return n;
}

std::string ExifBuilder::layout(std::uint32_t start, const std::vector<Entry>& entries,
                                std::uint32_t link) const {
  std::string out = u16(static_cast<std::uint16_t>(entries.size()));
  std::string area;
  const std::uint32_t dataStart = start + 2 + 12 * static_cast<std::uint32_t>(entries.size()) + 4;
  for (const Entry& e : entries) {
    out += u16(e.tag) + u16(e.type) + u32(e.count);
    if (e.value.size() > 4) {
      out += u32(dataStart + static_cast<std::uint32_t>(area.size()));
      area += e.value;
    } else {
      std::string v = e.value;
      v.resize(4, '\0');
      out += v;
    }
  }
  return out + u32(link) + area;
}

std::string ExifBuilder::tiff() const {
  const auto entries = [this](Ifd ifd) { return ifds_[static_cast<int>(ifd)]; };
  std::vector<Entry> ifd0 = entries(Ifd::kIfd0), exif = entries(Ifd::kExif);
  const std::vector<Entry> interop = entries(Ifd::kInterop), gps = entries(Ifd::kGps);
  const std::vector<Entry> ifd1 = entries(Ifd::kIfd1);
  const std::uint16_t pointer = code(TiffType::LONG);
  // Pointer entries get their values once the sizes are known.
  if (!exif.empty() || !interop.empty()) ifd0.push_back({tags::ExifIFDPointer, pointer, 1, u32(0)});
  if (!gps.empty()) ifd0.push_back({tags::GPSInfoIFDPointer, pointer, 1, u32(0)});
  if (!interop.empty()) exif.push_back({tags::InteroperabilityIFDPointer, pointer, 1, u32(0)});
  const std::uint32_t at0 = 8;
  const std::uint32_t atExif = at0 + sizeOf(ifd0);
  const std::uint32_t atInterop = atExif + (exif.empty() ? 0 : sizeOf(exif));
  const std::uint32_t atGps = atInterop + (interop.empty() ? 0 : sizeOf(interop));
  const std::uint32_t atIfd1 = atGps + (gps.empty() ? 0 : sizeOf(gps));
  for (Entry& e : ifd0) {
    if (e.tag == tags::ExifIFDPointer) e.value = u32(atExif);
    if (e.tag == tags::GPSInfoIFDPointer) e.value = u32(atGps);
  }
  for (Entry& e : exif) {
    if (e.tag == tags::InteroperabilityIFDPointer) e.value = u32(atInterop);
  }
  std::string out = mm_ ? "MM" : "II";
  out += u16(42) + u32(at0);
  out += layout(at0, ifd0, loop_ ? at0 : (ifd1.empty() ? 0 : atIfd1));
  if (!exif.empty()) out += layout(atExif, exif, 0);
  if (!interop.empty()) out += layout(atInterop, interop, 0);
  if (!gps.empty()) out += layout(atGps, gps, 0);
  if (!ifd1.empty()) out += layout(atIfd1, ifd1, 0);
  return out;
}

std::string ExifBuilder::app1(const std::string& identifier) const {
  return jpegSegment(0xE1, identifier + tiff());
}

std::string jpegSegment(unsigned char marker, const std::string& payload) {
  const std::size_t len = payload.size() + 2;
  std::string s = "\xFF";
  s += static_cast<char>(marker);
  s += static_cast<char>(len >> 8);
  s += static_cast<char>(len & 0xFF);
  return s + payload;
}

std::string jfifApp0() {
  return jpegSegment(0xE0, std::string("JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00", 14));
}

std::string jpegWithSegments(const std::vector<std::string>& segments, int width, int height) {
  const std::string jpeg = makeTestJpeg(width, height);
  std::string out = jpeg.substr(0, 2);
  for (const std::string& s : segments) out += s;
  return out + jpeg.substr(2);
}

}  // namespace sortelia::testing

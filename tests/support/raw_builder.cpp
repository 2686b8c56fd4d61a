#include "support/raw_builder.h"

#include <stdexcept>

namespace sortelia::testing {
namespace {

std::string be32(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

std::string be16(std::uint16_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }

std::string be64(std::uint64_t v) { return be32(v >> 32) + be32(static_cast<std::uint32_t>(v)); }

}  // namespace

int TiffBuilder::addIfd() {
  ifds_.emplace_back();
  return static_cast<int>(ifds_.size()) - 1;
}

int TiffBuilder::addBlob(const std::string& bytes) {
  blobs_.push_back(bytes);
  return static_cast<int>(blobs_.size()) - 1;
}

TiffBuilder& TiffBuilder::entry(int ifd, std::uint16_t tag, std::uint16_t type,
                                std::vector<Value> values) {
  if (type != 3 && type != 4) throw std::invalid_argument("SHORT or LONG entries only");
  ifds_.at(ifd).entries.push_back({tag, type, std::move(values), {}});
  return *this;
}

TiffBuilder& TiffBuilder::bytesEntry(int ifd, std::uint16_t tag, const std::string& bytes) {
  ifds_.at(ifd).entries.push_back({tag, 7, {}, bytes});
  return *this;
}

TiffBuilder& TiffBuilder::next(int ifd, Value link) {
  ifds_.at(ifd).next = link;
  return *this;
}

std::string TiffBuilder::u16(std::uint16_t v) const {
  return mm_ ? be16(v) : std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
}

std::string TiffBuilder::u32(std::uint32_t v) const {
  return mm_ ? be32(v)
             : std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

std::string TiffBuilder::build() const {
  // The value bytes of an entry with the offsets still unresolved, to measure them.
  auto valueSize = [](const Entry& e) {
    return e.type == 7 ? e.bytes.size() : e.values.size() * (e.type == 3 ? 2 : 4);
  };
  auto external = [&](const Entry& e) {
    const std::size_t n = valueSize(e);
    return n > 4 ? n + (n & 1) : 0;
  };
  std::vector<std::uint32_t> ifdAt, blobAt;
  std::uint32_t p = 8;
  for (const Ifd& ifd : ifds_) {
    ifdAt.push_back(p);
    p += 2 + 12 * static_cast<std::uint32_t>(ifd.entries.size()) + 4;
    for (const Entry& e : ifd.entries) p += static_cast<std::uint32_t>(external(e));
  }
  for (const std::string& b : blobs_) {
    blobAt.push_back(p);
    p += static_cast<std::uint32_t>(b.size());
  }
  auto resolve = [&](const Value& v) -> std::uint32_t {
    switch (v.kind) {
      case Value::IfdOffset:
        return ifdAt.at(v.n);
      case Value::BlobOffset:
        return blobAt.at(v.n);
      default:
        return v.n;
    }
  };

  std::string out = (mm_ ? "MM" : "II") + u16(magic_) + u32(ifds_.empty() ? 0 : ifdAt[0]);
  for (std::size_t i = 0; i < ifds_.size(); ++i) {
    const Ifd& ifd = ifds_[i];
    std::uint32_t data = ifdAt[i] + 2 + 12 * static_cast<std::uint32_t>(ifd.entries.size()) + 4;
    std::string entries = u16(static_cast<std::uint16_t>(ifd.entries.size()));
    std::string values;
    for (const Entry& e : ifd.entries) {
      std::string bytes = e.bytes;
      for (const Value& v : e.values) {
        bytes += e.type == 3 ? u16(static_cast<std::uint16_t>(resolve(v))) : u32(resolve(v));
      }
      const auto count = static_cast<std::uint32_t>(e.type == 7 ? e.bytes.size() : e.values.size());
      entries += u16(e.tag) + u16(e.type) + u32(count);
      if (bytes.size() <= 4) {
        entries += bytes + std::string(4 - bytes.size(), '\0');
      } else {
        entries += u32(data);
        if (bytes.size() & 1) bytes += '\0';
        values += bytes;
        data += static_cast<std::uint32_t>(bytes.size());
      }
    }
    out += entries + u32(resolve(ifd.next)) + values;
  }
  for (const std::string& b : blobs_) out += b;
  return out;
}

std::string exifTiffOf(const std::string& jpeg) {
  const auto at = jpeg.find(std::string("Exif\0\0", 6));
  if (at == std::string::npos || at < 4) return {};
  const std::size_t length =
      (static_cast<std::size_t>(static_cast<unsigned char>(jpeg[at - 2])) << 8) |
      static_cast<unsigned char>(jpeg[at - 1]);
  if (length < 8) return {};
  return jpeg.substr(at + 6, length - 8);
}

std::string isoBox(const std::string& type, const std::string& payload) {
  return be32(static_cast<std::uint32_t>(8 + payload.size())) + type + payload;
}

std::string isoBox64(const std::string& type, const std::string& payload) {
  return be32(1) + type + be64(16 + payload.size()) + payload;
}

std::string uuidBox(const std::string& userType, const std::string& payload) {
  return isoBox("uuid", userType + payload);
}

std::string cr3PreviewUuid() {
  return std::string("\xea\xf4\x2b\x5e\x1c\x98\x4b\x88\xb9\xfb\xb7\xdc\x40\x6e\x4d\x16", 16);
}

std::string cr3MetadataUuid() {
  return std::string("\x85\xc0\xb6\x87\x82\x0f\x11\xe0\x81\x11\xf4\xce\x46\x2b\x6a\x48", 16);
}

std::string makeCr3(const std::string& previewJpeg, const std::string& fullJpeg,
                    const std::string& cmt1, const std::string& cmt2,
                    const std::string& thumbJpeg) {
  const std::string ftyp = isoBox("ftyp", std::string("crx ") + be32(1) + "crx isom");
  std::string metadata = isoBox("CMT1", cmt1) + isoBox("CMT2", cmt2);
  if (!thumbJpeg.empty()) {
    metadata += isoBox("THMB", be32(0) + be16(160) + be16(120) +
                                   be32(static_cast<std::uint32_t>(thumbJpeg.size())) + be32(0) +
                                   thumbJpeg);
  }
  const std::string canon = uuidBox(cr3MetadataUuid(), metadata);
  std::string prvw;
  if (!previewJpeg.empty()) {
    prvw = uuidBox(
        cr3PreviewUuid(),
        std::string(8, '\0') +
            isoBox("PRVW", be32(0) + be16(1) + be16(1620) + be16(1080) + be16(1) +
                               be32(static_cast<std::uint32_t>(previewJpeg.size())) + previewJpeg));
  }
  // The moov box's size does not depend on the sample's offset (co64 has a fixed size), so
  // it is built once to measure and once with the offset.
  auto moovWith = [&](std::uint64_t offset) {
    if (fullJpeg.empty()) return isoBox("moov", canon);
    const std::string stbl = isoBox(
        "stbl",
        isoBox("stsz", be32(0) + be32(static_cast<std::uint32_t>(fullJpeg.size())) + be32(1)) +
            isoBox("co64", be32(0) + be32(1) + be64(offset)));
    const std::string trak = isoBox("trak", isoBox("mdia", isoBox("minf", stbl)));
    return isoBox("moov", canon + trak);
  };
  const std::size_t mdatAt = ftyp.size() + moovWith(0).size() + prvw.size();
  return ftyp + moovWith(mdatAt + 8) + prvw + isoBox("mdat", fullJpeg);
}

std::string makeRaf(const std::string& jpeg) {
  std::string header = "FUJIFILMCCD-RAW 0201FF383501";
  header.resize(84, '\0');
  const std::uint32_t at = 160;
  header += be32(at) + be32(static_cast<std::uint32_t>(jpeg.size()));
  header.resize(at, '\0');
  return header + jpeg + std::string(64, '\x5A');
}

}  // namespace sortelia::testing

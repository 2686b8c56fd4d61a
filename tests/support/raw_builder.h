// Builds RAW-like container files for the preview readers' tests: TIFF data with any IFD
// layout (chains, SubIFDs, loops, entries pointing anywhere), ISO base media boxes as Canon's
// CR3 lays them out, and Fujifilm's RAF header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sortelia::testing {

// TIFF data laid out as: header, the IFDs in the order they were added (each followed by the
// values that do not fit in its entries), then the blobs. Values that are offsets name an IFD
// or a blob and are resolved when the data is built.
class TiffBuilder {
 public:
  // A value of a SHORT or LONG entry: a plain number, or the offset of an IFD or a blob.
  struct Value {
    enum Kind { Number, IfdOffset, BlobOffset } kind = Number;
    std::uint32_t n = 0;
  };
  static Value num(std::uint32_t n) { return {Value::Number, n}; }
  static Value ifd(int index) { return {Value::IfdOffset, static_cast<std::uint32_t>(index)}; }
  static Value blob(int index) { return {Value::BlobOffset, static_cast<std::uint32_t>(index)}; }

  explicit TiffBuilder(bool motorola = false, std::uint16_t magic = 42)
      : mm_(motorola), magic_(magic) {}

  // A new IFD; returns its index (the first one is IFD0, which the header points to).
  int addIfd();
  // Bytes placed after the IFDs; returns the blob's index.
  int addBlob(const std::string& bytes);
  // An entry of type SHORT (3) or LONG (4) holding values.
  TiffBuilder& entry(int ifd, std::uint16_t tag, std::uint16_t type, std::vector<Value> values);
  // An entry of type UNDEFINED (7) holding bytes.
  TiffBuilder& bytesEntry(int ifd, std::uint16_t tag, const std::string& bytes);
  // The link to the next IFD of a chain (default: none).
  TiffBuilder& next(int ifd, Value link);

  std::string build() const;

 private:
  struct Entry {
    std::uint16_t tag, type;
    std::vector<Value> values;
    std::string bytes;
  };
  struct Ifd {
    std::vector<Entry> entries;
    Value next{Value::Number, 0};
  };
  std::string u16(std::uint16_t v) const;
  std::string u32(std::uint32_t v) const;

  bool mm_;
  std::uint16_t magic_;
  std::vector<Ifd> ifds_;
  std::vector<std::string> blobs_;
};

// The TIFF data of a camera JPEG's EXIF segment ("" when it has none): a TIFF file of its own,
// whose IFD0 names the camera and whose IFD1 holds the thumbnail, laid out as TIFF-based RAW
// files are; so it stands in for a DNG or NEF with a real camera's EXIF.
std::string exifTiffOf(const std::string& jpeg);

// An ISO base media box: 32-bit size, type, payload.
std::string isoBox(const std::string& type, const std::string& payload);
// The same with size 1 and the 64-bit size after the type.
std::string isoBox64(const std::string& type, const std::string& payload);
// A uuid box with its 16-byte user type.
std::string uuidBox(const std::string& userType, const std::string& payload);

// Canon CR3's user types: the top-level box holding PRVW and moov's box holding CMT1..4, THMB.
std::string cr3PreviewUuid();
std::string cr3MetadataUuid();

// A CR3-like file: ftyp "crx ", moov (the metadata uuid box with CMT1, CMT2 and, when not
// empty, THMB; one trak whose first sample, described by stsz and co64, is fullJpeg), the
// preview uuid box with PRVW holding previewJpeg, and mdat holding fullJpeg. Empty pictures
// leave their boxes out.
std::string makeCr3(const std::string& previewJpeg, const std::string& fullJpeg,
                    const std::string& cmt1, const std::string& cmt2,
                    const std::string& thumbJpeg = "");

// A RAF-like file: the 16-byte magic, the header with the JPEG's offset and length at bytes
// 84..91, the JPEG, then some bytes of "sensor data".
std::string makeRaf(const std::string& jpeg);

}  // namespace sortelia::testing

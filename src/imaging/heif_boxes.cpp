#include "imaging/heif_boxes.h"

#include <utility>

#include "imaging/iso_boxes.h"

namespace sortelia::imaging::heif {
namespace {

// Boxes read in all by one of the functions below.
constexpr int kMaxBoxes = 4096;

// Where the data of an item lies: its first extent, in the file itself (construction method 0)
// or in the meta box's idat (1), cut at the end of what holds it.
struct ItemData {
  std::uint64_t at = 0;
  std::uint64_t end = 0;
};

// The data of every item stored in the file or in idat, in the order of iloc; items whose
// extents lie outside the bytes are left out.
std::vector<std::pair<std::uint32_t, ItemData>> itemData(std::string_view bytes,
                                                         iso::BoxReader& reader,
                                                         const iso::Box& meta,
                                                         const iso::Box& iloc) {
  std::vector<std::pair<std::uint32_t, ItemData>> out;
  std::uint64_t q = iloc.body;
  bool short_ = false;
  auto take = [&](int n) -> std::uint64_t {
    if (n == 0 || short_) return 0;
    if (iloc.end - q < static_cast<std::uint64_t>(n)) {
      short_ = true;
      return 0;
    }
    q += n;
    return iso::bigEndian(bytes, q - n, n);
  };
  const auto version = take(1);
  take(3);
  const auto sizes = take(2);
  const int offsetSize = static_cast<int>(sizes >> 12), lengthSize = (sizes >> 8) & 15;
  const int baseSize = (sizes >> 4) & 15, indexSize = version >= 1 ? sizes & 15 : 0;
  for (int s : {offsetSize, lengthSize, baseSize, indexSize}) {
    if (s != 0 && s != 4 && s != 8) return out;
  }
  const auto idat = reader.child(meta, "idat", 4);
  const auto items = take(version < 2 ? 2 : 4);
  // Every item takes bytes of the box, so a count beyond them ends at the box's end.
  for (std::uint64_t i = 0; i < items && !short_; ++i) {
    const auto id = static_cast<std::uint32_t>(take(version < 2 ? 2 : 4));
    const auto method = version >= 1 ? take(2) & 15 : 0;
    take(2);
    const auto base = take(baseSize);
    const auto extents = take(2);
    std::uint64_t first = 0, length = 0;
    for (std::uint64_t e = 0; e < extents && !short_; ++e) {
      take(indexSize);
      const auto offset = take(offsetSize);
      const auto size = take(lengthSize);
      if (e == 0) {
        first = base + offset;
        length = size;
      }
    }
    if (short_ || extents == 0 || (method != 0 && (method != 1 || !idat))) continue;
    const std::uint64_t start = method == 0 ? 0 : idat->body;
    const std::uint64_t end = method == 0 ? bytes.size() : idat->end;
    const std::uint64_t at = start + first;
    if (at < first || at > end) continue;  // the sum wrapped, or lies past the end
    // A length of 0 means "to the end of what holds the data".
    out.push_back({id, ItemData{at, length == 0 || length > end - at ? end : at + length}});
  }
  return out;
}

std::optional<iso::Box> metaBox(std::string_view bytes, iso::BoxReader& reader) {
  for (const iso::Box& b : reader.read(0, bytes.size())) {
    if (b.type == "meta") return b;
  }
  return std::nullopt;
}

// Reads the bits of an HEVC parameter set's or an AV1 header's payload; reads past the end
// give zeros and set the failure.
class BitReader {
 public:
  // HEVC payloads (emulation) carry prevention bytes to take out, AV1 ones none.
  explicit BitReader(std::string_view payload, bool emulation = true) {
    int zeros = 0;
    for (char c : payload) {
      const auto b = static_cast<std::uint8_t>(c);
      if (emulation && zeros >= 2 && b == 3) {
        zeros = 0;
        continue;
      }
      zeros = b == 0 ? zeros + 1 : 0;
      bytes_.push_back(b);
    }
  }
  std::uint32_t bits(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) {
      if (pos_ >= bytes_.size() * 8) {
        failed_ = true;
        return 0;
      }
      v = v << 1 | ((bytes_[pos_ / 8] >> (7 - pos_ % 8)) & 1);
      ++pos_;
    }
    return v;
  }
  void skip(int n) { bits(n); }
  // An unsigned Exp-Golomb number; more than 31 leading zeros is a failure.
  std::uint64_t ue() {
    int zeros = 0;
    while (bits(1) == 0) {
      if (failed_ || ++zeros > 31) {
        failed_ = true;
        return 0;
      }
    }
    return ((std::uint64_t{1} << zeros) - 1) + bits(zeros);
  }
  // AV1's variable-length number; 32 leading zeros or more read as the largest.
  std::uint64_t uvlc() {
    int zeros = 0;
    while (bits(1) == 0 && !failed_) {
      if (++zeros >= 32) return 0xFFFFFFFFu;
    }
    return ((std::uint64_t{1} << zeros) - 1) + bits(zeros);
  }
  bool failed() const { return failed_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

// An AV1 sequence header's maximum frame size (AV1 specification 5.5), from its payload.
std::optional<CodedSize> av1SequenceSize(std::string_view payload) {
  BitReader r(payload, false);
  r.skip(3);             // seq_profile
  r.skip(1);             // still_picture
  if (r.bits(1) != 0) {  // reduced_still_picture_header
    r.skip(5);           // seq_level_idx
  } else {
    bool decoderModel = false;
    int delayLength = 0;
    if (r.bits(1) != 0) {            // timing_info_present_flag
      r.skip(64);                    // num_units_in_display_tick, time_scale
      if (r.bits(1) != 0) r.uvlc();  // equal_picture_interval: num_ticks_per_picture_minus_1
      decoderModel = r.bits(1) != 0;
      if (decoderModel) {
        delayLength = static_cast<int>(r.bits(5)) + 1;
        r.skip(32 + 5 + 5);
      }
    }
    const bool initialDelay = r.bits(1) != 0;
    const int points = static_cast<int>(r.bits(5)) + 1;
    for (int i = 0; i < points && !r.failed(); ++i) {
      r.skip(12);                    // operating_point_idc
      if (r.bits(5) > 7) r.skip(1);  // seq_level_idx, seq_tier
      if (decoderModel && r.bits(1) != 0) r.skip(2 * delayLength + 1);
      if (initialDelay && r.bits(1) != 0) r.skip(4);
    }
  }
  const int widthBits = static_cast<int>(r.bits(4)) + 1;
  const int heightBits = static_cast<int>(r.bits(4)) + 1;
  const std::uint64_t width = std::uint64_t{r.bits(widthBits)} + 1;
  const std::uint64_t height = std::uint64_t{r.bits(heightBits)} + 1;
  if (r.failed()) return std::nullopt;
  return CodedSize{width, height};
}

// The sequence header among the first OBUs of an item's data (each with its size field, as
// AVIF stores them); nullopt when the data holds none.
std::optional<CodedSize> av1ItemSize(std::string_view data) {
  constexpr int kSequenceHeader = 1;
  constexpr int kObusLookedAt = 8;
  std::size_t p = 0;
  for (int n = 0; n < kObusLookedAt && p < data.size(); ++n) {
    const auto header = static_cast<std::uint8_t>(data[p++]);
    if ((header & 0x80) != 0 || (header & 0x02) == 0) return std::nullopt;  // no size field
    if ((header & 0x04) != 0) ++p;                                          // extension
    std::uint64_t size = 0;
    int i = 0;
    for (; i < 8 && p < data.size(); ++i) {
      const auto b = static_cast<std::uint8_t>(data[p++]);
      size |= std::uint64_t{b & 0x7Fu} << (7 * i);
      if ((b & 0x80) == 0) break;
    }
    if (i == 8 || p > data.size() || size > data.size() - p) return std::nullopt;
    if (((header >> 3) & 0x0F) == kSequenceHeader) return av1SequenceSize(data.substr(p, size));
    p += size;
  }
  return std::nullopt;
}

constexpr int kSpsNalType = 33;
// Where the count of parameter set arrays lies in an hvcC box's body (ISO/IEC 14496-15).
constexpr std::uint64_t kHvccArrays = 22;

// pic_width_in_luma_samples and pic_height_in_luma_samples of a sequence parameter set.
std::optional<CodedSize> spsSize(std::string_view nal) {
  if (nal.size() < 3) return std::nullopt;
  BitReader r(nal.substr(2));  // after the two bytes of the NAL unit header
  r.skip(4);                   // sps_video_parameter_set_id
  const int subLayers = static_cast<int>(r.bits(3));
  r.skip(1);
  // profile_tier_level: the general profile (88 bits) and level (8 bits), the sub-layers'
  // presence flags padded to eight, then each present sub-layer profile and level.
  r.skip(96);
  bool profile[8] = {}, level[8] = {};
  for (int i = 0; i < subLayers; ++i) {
    profile[i] = r.bits(1) != 0;
    level[i] = r.bits(1) != 0;
  }
  if (subLayers > 0) r.skip(2 * (8 - subLayers));
  for (int i = 0; i < subLayers; ++i) {
    if (profile[i]) r.skip(88);
    if (level[i]) r.skip(8);
  }
  r.ue();                      // sps_seq_parameter_set_id
  if (r.ue() == 3) r.skip(1);  // chroma_format_idc 4:4:4: separate_colour_plane_flag
  const std::uint64_t width = r.ue();
  const std::uint64_t height = r.ue();
  if (r.failed()) return std::nullopt;
  return CodedSize{width, height};
}

}  // namespace

std::optional<CodedSize> primaryGridSize(std::string_view bytes) {
  iso::BoxReader reader(bytes, kMaxBoxes);
  const auto meta = metaBox(bytes, reader);
  if (!meta) return std::nullopt;
  const auto pitm = reader.child(*meta, "pitm", 4);
  const auto iinf = reader.child(*meta, "iinf", 4);
  const auto iloc = reader.child(*meta, "iloc", 4);
  if (!pitm || !iinf || !iloc) return std::nullopt;

  const bool wideId = pitm->end - pitm->body >= 1 && bytes[pitm->body] != 0;
  if (pitm->end - pitm->body < (wideId ? 8u : 6u)) return std::nullopt;
  const auto primary =
      static_cast<std::uint32_t>(iso::bigEndian(bytes, pitm->body + 4, wideId ? 4 : 2));

  // iinf: version and flags, the entry count, then one infe box per item.
  if (iinf->end - iinf->body < 8) return std::nullopt;
  const std::uint64_t entries = iinf->body + 4 + (bytes[iinf->body] == 0 ? 2 : 4);
  bool grid = false;
  for (const iso::Box& infe : reader.read(entries, iinf->end)) {
    // infe of version 2 or 3: version and flags, the item's ID (16 or 32 bits), the protection
    // index (16 bits), the item type.
    if (infe.type != "infe" || infe.end - infe.body < 4) continue;
    const auto version = static_cast<std::uint8_t>(bytes[infe.body]);
    if (version < 2) continue;
    const int idSize = version == 2 ? 2 : 4;
    if (infe.end - infe.body < static_cast<std::uint64_t>(4 + idSize + 2 + 4)) continue;
    if (iso::bigEndian(bytes, infe.body + 4, idSize) != primary) continue;
    grid = bytes.substr(infe.body + 4 + idSize + 2, 4) == "grid";
    break;
  }
  if (!grid) return std::nullopt;

  std::optional<ItemData> data;
  for (const auto& [id, item] : itemData(bytes, reader, *meta, *iloc)) {
    if (id == primary) {
      data = item;
      break;
    }
  }
  // The descriptor: version, flags (bit 0: 32-bit sizes), rows - 1, columns - 1, width, height.
  if (!data || data->at > data->end || data->end - data->at < 8) return std::nullopt;
  const bool wide = (static_cast<std::uint8_t>(bytes[data->at + 1]) & 1) != 0;
  if (wide && data->end - data->at < 12) return std::nullopt;
  const int n = wide ? 4 : 2;
  return CodedSize{iso::bigEndian(bytes, data->at + 4, n),
                   iso::bigEndian(bytes, data->at + 4 + n, n)};
}

std::vector<CodedSize> hevcCodedSizes(std::string_view bytes) {
  std::vector<CodedSize> sizes;
  iso::BoxReader reader(bytes, kMaxBoxes);
  const auto meta = metaBox(bytes, reader);
  if (!meta) return sizes;
  const auto iprp = reader.child(*meta, "iprp", 4);
  if (!iprp) return sizes;
  const auto ipco = reader.child(*iprp, "ipco");
  if (!ipco) return sizes;
  for (const iso::Box& hvcc : reader.read(ipco->body, ipco->end)) {
    if (hvcc.type != "hvcC" || hvcc.end - hvcc.body <= kHvccArrays) continue;
    // numOfArrays, then per array: its NAL unit type, the count of units, each unit with
    // a 16-bit length.
    std::uint64_t q = hvcc.body + kHvccArrays;
    const auto arrays = static_cast<std::uint8_t>(bytes[q++]);
    for (int a = 0; a < arrays; ++a) {
      if (hvcc.end - q < 3) break;
      const int type = static_cast<std::uint8_t>(bytes[q]) & 0x3F;
      const auto units = iso::bigEndian(bytes, q + 1, 2);
      q += 3;
      for (std::uint64_t u = 0; u < units; ++u) {
        if (hvcc.end - q < 2) break;
        const auto length = iso::bigEndian(bytes, q, 2);
        if (hvcc.end - q - 2 < length) break;
        if (type == kSpsNalType) {
          if (const auto size = spsSize(bytes.substr(q + 2, length))) sizes.push_back(*size);
        }
        q += 2 + length;
      }
    }
  }
  return sizes;
}

std::vector<CodedSize> av1CodedSizes(std::string_view bytes) {
  std::vector<CodedSize> sizes;
  iso::BoxReader reader(bytes, kMaxBoxes);
  const auto meta = metaBox(bytes, reader);
  if (!meta) return sizes;
  const auto iloc = reader.child(*meta, "iloc", 4);
  if (!iloc) return sizes;
  for (const auto& [id, item] : itemData(bytes, reader, *meta, *iloc)) {
    if (const auto size = av1ItemSize(bytes.substr(item.at, item.end - item.at))) {
      sizes.push_back(*size);
    }
  }
  return sizes;
}

}  // namespace sortelia::imaging::heif

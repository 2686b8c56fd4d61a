#include "imaging/iso_boxes.h"

namespace sortelia::imaging::iso {

std::uint64_t bigEndian(std::string_view bytes, std::uint64_t at, int n) {
  std::uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return v;
}

std::vector<Box> BoxReader::read(std::uint64_t from, std::uint64_t to) {
  std::vector<Box> boxes;
  if (to > bytes_.size()) to = bytes_.size();
  std::uint64_t p = from;
  while (to > p && to - p >= 8 && budget_ > 0) {
    --budget_;
    std::uint64_t size = bigEndian(bytes_, p, 4);
    std::uint64_t header = 8;
    if (size == 1) {
      if (to - p < 16) break;
      size = bigEndian(bytes_, p + 8, 8);
      header = 16;
    } else if (size == 0) {
      size = to - p;
    }
    if (size < header || size > to - p) break;
    Box box{bytes_.substr(p + 4, 4), p + header, p + size, {}};
    if (box.type == "uuid") {
      if (size - header < 16) break;
      box.userType = bytes_.substr(box.body, 16);
      box.body += 16;
    }
    boxes.push_back(box);
    p += size;
  }
  return boxes;
}

std::optional<Box> BoxReader::child(const Box& parent, std::string_view type, std::uint64_t skip) {
  if (parent.end - parent.body < skip) return std::nullopt;
  for (const Box& b : read(parent.body + skip, parent.end)) {
    if (b.type == type) return b;
  }
  return std::nullopt;
}

}  // namespace sortelia::imaging::iso

// Reading the boxes of ISO base media files (HEIF, CR3) from bytes in memory: every box
// checked to lie within its parent, and the number of boxes read bounded.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace sortelia::imaging::iso {

// n bytes (at most 8) at an offset as a big-endian number; the caller checks the range.
std::uint64_t bigEndian(std::string_view bytes, std::uint64_t at, int n);

struct Box {
  std::string_view type;
  std::uint64_t body = 0;  // after the header (and after the user type of a uuid box)
  std::uint64_t end = 0;
  std::string_view userType;
};

class BoxReader {
 public:
  // Reads at most maxBoxes boxes in all, however they nest.
  BoxReader(std::string_view bytes, int maxBoxes) : bytes_(bytes), budget_(maxBoxes) {}

  // The boxes that lie whole between from and to (to at most the end of the bytes). A box
  // whose size runs past to, or is smaller than its own header, ends the list; size 0 means
  // "to the end", 1 a 64-bit size after the type.
  std::vector<Box> read(std::uint64_t from, std::uint64_t to);

  // The first child box of a type, its siblings starting skip bytes into the parent's body
  // (4 for the version and flags of a full box).
  std::optional<Box> child(const Box& parent, std::string_view type, std::uint64_t skip = 0);

 private:
  std::string_view bytes_;
  int budget_;
};

}  // namespace sortelia::imaging::iso

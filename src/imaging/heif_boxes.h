// What the HEIF decoder reads from a file's boxes itself, before libheif allocates anything:
// the size a grid image's descriptor gives, and the coded sizes in the HEVC parameter sets and
// AV1 sequence headers.
// libheif 1.15 decodes at those sizes and checks them only against its own fixed limit.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace sortelia::imaging::heif {

// Sizes of up to 32 bits each, whose product fits.
struct CodedSize {
  std::uint64_t width = 0;
  std::uint64_t height = 0;
};

// The output size in the descriptor of a primary image that is a grid; nullopt when the
// primary image is no grid or its descriptor cannot be read.
std::optional<CodedSize> primaryGridSize(std::string_view bytes);

// The picture size in the sequence parameter set of every HEVC configuration (hvcC) property
// of the file: of the primary image, its tiles, thumbnails and auxiliary images. Properties
// that cannot be read are left out.
std::vector<CodedSize> hevcCodedSizes(std::string_view bytes);

// The maximum frame size in the AV1 sequence header of every item whose data starts with
// AV1 OBUs (the primary image, tiles, thumbnails, auxiliary images of an AVIF file).
std::vector<CodedSize> av1CodedSizes(std::string_view bytes);

}  // namespace sortelia::imaging::heif

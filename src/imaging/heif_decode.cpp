#include "imaging/heif_decode.h"

#include <libheif/heif.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <vector>

#include "imaging/heif_boxes.h"
#include "imaging/jpeg_codec.h"
#include "platform/file_ops.h"

namespace sortelia::imaging {
namespace {

// libheif counts its users; the first call registers the decoders, and the registration is
// kept for the life of the process.
void initialiseLibheif() {
  static std::once_flag once;
  std::call_once(once, [] { heif_init(nullptr); });
}

struct ContextDeleter {
  void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleDeleter {
  void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageDeleter {
  void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsDeleter {
  void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};
using Context = std::unique_ptr<heif_context, ContextDeleter>;
using Handle = std::unique_ptr<heif_image_handle, HandleDeleter>;
using Image = std::unique_ptr<heif_image, ImageDeleter>;

// The primary image of a HEIF file read from memory (not copied: the bytes must outlive it).
struct Primary {
  Context context;
  Handle handle;
  std::string error;
};

Primary openPrimary(std::string_view bytes, int maxThreads) {
  initialiseLibheif();
  Primary p;
  if (bytes.size() < 12) {
    p.error = "not a HEIF file (too short)";
    return p;
  }
  p.context.reset(heif_context_alloc());
  if (!p.context) {
    p.error = "the HEIF decoder could not be started";
    return p;
  }
  // The limit is checked against each image's declared size while the boxes are read.
  heif_context_set_maximum_image_size_limit(p.context.get(), kMaxHeifSide);
  if (maxThreads > 0) heif_context_set_max_decoding_threads(p.context.get(), maxThreads);
  heif_error err = heif_context_read_from_memory_without_copy(p.context.get(), bytes.data(),
                                                              bytes.size(), nullptr);
  if (err.code != heif_error_Ok) {
    p.error = std::string("not a readable HEIF file: ") + err.message;
    return p;
  }
  heif_image_handle* handle = nullptr;
  err = heif_context_get_primary_image_handle(p.context.get(), &handle);
  p.handle.reset(handle);
  if (err.code != heif_error_Ok || !handle) {
    p.error = std::string("the HEIF file has no primary image: ") + err.message;
    p.handle.reset();
  }
  return p;
}

HeifDecodeResult failure(std::string message) {
  HeifDecodeResult r;
  r.error = std::move(message);
  return r;
}

// The declared size, transformed and not, against the decoder's pixel limit.
std::string sizeProblem(const heif_image_handle* handle) {
  const std::int64_t w = heif_image_handle_get_width(handle);
  const std::int64_t h = heif_image_handle_get_height(handle);
  const std::int64_t iw = heif_image_handle_get_ispe_width(handle);
  const std::int64_t ih = heif_image_handle_get_ispe_height(handle);
  if (w <= 0 || h <= 0) return "the HEIF image declares no size";
  if (w * h > kMaxDecodePixels || iw * ih > kMaxDecodePixels) {
    return "the HEIF image is too large (" + std::to_string(w) + " x " + std::to_string(h) +
           " pixels)";
  }
  return {};
}

// Copies libheif's interleaved RGB rows into a Bgr24 bitmap.
Bitmap toBgr(const heif_image* image) {
  const int w = heif_image_get_width(image, heif_channel_interleaved);
  const int h = heif_image_get_height(image, heif_channel_interleaved);
  int stride = 0;
  const std::uint8_t* plane =
      heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
  if (!plane || w <= 0 || h <= 0 || stride < 3 * w ||
      static_cast<std::int64_t>(w) * h > kMaxDecodePixels) {
    return {};
  }
  Bitmap out(w, h, PixelFormat::Bgr24);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src =
        plane + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
    std::uint8_t* dst = out.row(y);
    for (int x = 0; x < w; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return out;
}

// Side of the coded pictures allowed beyond the image's declared size: a coded HEVC picture
// is a whole number of coding blocks (up to 64 pixels), a tile of a grid may be larger than a
// small image, and thumbnails and auxiliary pictures are smaller.
constexpr std::uint64_t kCodedSlack = 64;
constexpr std::uint64_t kSmallestBound = 4096;

// libheif 1.15 decodes a grid at its descriptor's size and an HEVC or AV1 picture at the size
// of its parameter sets or sequence header, checking them only against its fixed side limit:
// a small file could declare a small image and make it allocate gigabytes. They are read here
// first.
std::string codedSizeProblem(std::string_view bytes, const heif_image_handle* handle) {
  std::uint64_t iw =
      static_cast<std::uint64_t>(std::max(0, heif_image_handle_get_ispe_width(handle)));
  std::uint64_t ih =
      static_cast<std::uint64_t>(std::max(0, heif_image_handle_get_ispe_height(handle)));
  if (iw == 0 || ih == 0) {
    iw = static_cast<std::uint64_t>(std::max(0, heif_image_handle_get_width(handle)));
    ih = static_cast<std::uint64_t>(std::max(0, heif_image_handle_get_height(handle)));
  }
  if (const auto grid = heif::primaryGridSize(bytes)) {
    if (grid->width * grid->height > static_cast<std::uint64_t>(kMaxDecodePixels)) {
      return "the HEIF image's grid is too large (" + std::to_string(grid->width) + " x " +
             std::to_string(grid->height) + " pixels)";
    }
    // One larger than the size the image declares is damage, and would make a picture
    // larger than every caller planned for.
    if (grid->width > iw || grid->height > ih) {
      return "the HEIF image's grid (" + std::to_string(grid->width) + " x " +
             std::to_string(grid->height) + ") is larger than its declared size";
    }
  }
  const std::uint64_t maxW = std::max(iw, kSmallestBound) + kCodedSlack;
  const std::uint64_t maxH = std::max(ih, kSmallestBound) + kCodedSlack;
  auto sizes = heif::hevcCodedSizes(bytes);
  for (const heif::CodedSize& size : heif::av1CodedSizes(bytes)) sizes.push_back(size);
  for (const heif::CodedSize& coded : sizes) {
    if (coded.width > maxW || coded.height > maxH) {
      return "the HEIF file's coded picture (" + std::to_string(coded.width) + " x " +
             std::to_string(coded.height) + ") is larger than the image it declares";
    }
  }
  return {};
}

bool isTiffHeader(std::string_view b) {
  return b.size() >= 8 && (b.substr(0, 4) == std::string_view("II*\0", 4) ||
                           b.substr(0, 4) == std::string_view("MM\0*", 4));
}

}  // namespace

bool looksLikeHeif(std::string_view bytes) {
  if (bytes.size() < 12) return false;
  const int len = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
  return heif_check_filetype(reinterpret_cast<const std::uint8_t*>(bytes.data()), len) ==
         heif_filetype_yes_supported;
}

HeifDecodeResult decodeHeif(std::string_view bytes, int maxThreads) {
  Primary p = openPrimary(bytes, maxThreads);
  if (!p.handle) return failure(p.error);
  if (std::string problem = sizeProblem(p.handle.get()); !problem.empty()) return failure(problem);
  if (std::string problem = codedSizeProblem(bytes, p.handle.get()); !problem.empty()) {
    return failure(problem);
  }

  std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
  if (!options) return failure("the HEIF decoder could not be started");
  options->ignore_transformations = 0;
  options->convert_hdr_to_8bit = 1;
  heif_image* raw = nullptr;
  heif_error err;
  try {
    err = heif_decode_image(p.handle.get(), &raw, heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                            options.get());
  } catch (const std::bad_alloc&) {
    return failure("not enough memory to decode the HEIF image");
  }
  Image image(raw);
  if (err.code != heif_error_Ok || !image) {
    return failure(std::string("the HEIF image could not be decoded: ") + err.message);
  }
  try {
    HeifDecodeResult r;
    r.bitmap = toBgr(image.get());
    if (r.bitmap.empty()) r.error = "the HEIF decoder gave no usable picture";
    return r;
  } catch (const std::bad_alloc&) {
    return failure("not enough memory for the HEIF picture");
  } catch (const std::length_error&) {
    return failure("not enough memory for the HEIF picture");
  }
}

HeifDecodeResult decodeHeifFile(const std::string& path, int maxThreads) {
  const auto bytes = fs::readFile(path, kMaxHeifFileBytes);
  if (!bytes) return failure("cannot read \"" + path + "\"");
  HeifDecodeResult r = decodeHeif(*bytes, maxThreads);
  if (!r.error.empty()) r.error = "\"" + path + "\": " + r.error;
  return r;
}

std::optional<PixelSize> readHeifSize(std::string_view bytes) {
  Primary p = openPrimary(bytes, 0);
  if (!p.handle) return std::nullopt;
  const int w = heif_image_handle_get_width(p.handle.get());
  const int h = heif_image_handle_get_height(p.handle.get());
  if (w <= 0 || h <= 0) return std::nullopt;
  return PixelSize{w, h};
}

std::string heifExif(std::string_view bytes) {
  Primary p = openPrimary(bytes, 0);
  if (!p.handle) return {};
  const int count = heif_image_handle_get_number_of_metadata_blocks(p.handle.get(), "Exif");
  if (count <= 0) return {};
  std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
  const int listed =
      heif_image_handle_get_list_of_metadata_block_IDs(p.handle.get(), "Exif", ids.data(), count);
  for (int i = 0; i < listed; ++i) {
    // The item's data lies inside the file, which bounds its size.
    const std::size_t size = heif_image_handle_get_metadata_size(p.handle.get(), ids[i]);
    if (size < 4 || size > bytes.size()) continue;
    std::string block(size, '\0');
    if (heif_image_handle_get_metadata(p.handle.get(), ids[i], block.data()).code !=
        heif_error_Ok) {
      continue;
    }
    // The block starts with the big-endian offset of the TIFF header from the end of those
    // four bytes; writers that put "Exif\0\0" before the header count it in the offset.
    const std::uint32_t offset = (std::uint32_t(std::uint8_t(block[0])) << 24) |
                                 (std::uint32_t(std::uint8_t(block[1])) << 16) |
                                 (std::uint32_t(std::uint8_t(block[2])) << 8) |
                                 std::uint32_t(std::uint8_t(block[3]));
    std::string_view rest(block);
    rest.remove_prefix(4);
    if (offset < rest.size() && isTiffHeader(rest.substr(offset))) {
      return std::string(rest.substr(offset));
    }
    // Some writers leave the offset 0 and still put the "Exif\0\0" identifier first.
    const std::string_view id("Exif\0\0", 6);
    if (rest.substr(0, 6) == id && isTiffHeader(rest.substr(6))) {
      return std::string(rest.substr(6));
    }
  }
  return {};
}

}  // namespace sortelia::imaging

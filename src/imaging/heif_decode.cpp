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

#include "imaging/iso_boxes.h"
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

// Boxes read in all while looking for a grid's descriptor.
constexpr int kMaxGridBoxes = 4096;

// Sizes of up to 32 bits each, whose product fits.
struct GridSize {
  std::uint64_t width = 0;
  std::uint64_t height = 0;
};

// Where the data of an item lies: its first extent, in the file itself (construction method 0)
// or in the meta box's idat (1), cut at the end of what holds it.
struct ItemData {
  std::uint64_t at = 0;
  std::uint64_t end = 0;
};

std::optional<ItemData> primaryItemData(std::string_view bytes, iso::BoxReader& reader,
                                        const iso::Box& meta, const iso::Box& iloc,
                                        std::uint32_t primary) {
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
    if (s != 0 && s != 4 && s != 8) return std::nullopt;
  }
  const auto items = take(version < 2 ? 2 : 4);
  // Every item takes bytes of the box, so a count beyond them ends at the box's end.
  for (std::uint64_t i = 0; i < items && !short_; ++i) {
    const auto id = take(version < 2 ? 2 : 4);
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
    if (short_ || id != primary || extents == 0) continue;
    // A length of 0 means "to the end of what holds the data".
    auto within = [&](std::uint64_t at, std::uint64_t end) -> std::optional<ItemData> {
      if (at < first || at > end) return std::nullopt;  // the sum wrapped, or lies past the end
      return ItemData{at, length == 0 || length > end - at ? end : at + length};
    };
    if (method == 0) return within(first, bytes.size());
    if (method != 1) return std::nullopt;
    const auto idat = reader.child(meta, "idat", 4);
    if (!idat) return std::nullopt;
    return within(idat->body + first, idat->end);
  }
  return std::nullopt;
}

// The output size in the descriptor of a primary image that is a grid. libheif 1.15 allocates
// a grid at that size, checked only against its own fixed limit and not against the image's
// declared size; nullopt when the primary image is no grid or its descriptor cannot be read.
std::optional<GridSize> primaryGridSize(std::string_view bytes) {
  iso::BoxReader reader(bytes, kMaxGridBoxes);
  std::optional<iso::Box> meta;
  for (const iso::Box& b : reader.read(0, bytes.size())) {
    if (b.type == "meta") {
      meta = b;
      break;
    }
  }
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

  const auto data = primaryItemData(bytes, reader, *meta, *iloc, primary);
  // The descriptor: version, flags (bit 0: 32-bit sizes), rows - 1, columns - 1, width, height.
  if (!data || data->at > data->end || data->end - data->at < 8) return std::nullopt;
  const bool wide = (static_cast<std::uint8_t>(bytes[data->at + 1]) & 1) != 0;
  if (wide && data->end - data->at < 12) return std::nullopt;
  const int n = wide ? 4 : 2;
  return GridSize{iso::bigEndian(bytes, data->at + 4, n),
                  iso::bigEndian(bytes, data->at + 4 + n, n)};
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
  if (const auto grid = primaryGridSize(bytes);
      grid && grid->width * grid->height > static_cast<std::uint64_t>(kMaxDecodePixels)) {
    return failure("the HEIF image's grid is too large (" + std::to_string(grid->width) + " x " +
                   std::to_string(grid->height) + " pixels)");
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

#include "imaging/raw_preview.h"

#include <libraw/libraw.h>

#include <cstdint>
#include <memory>
#include <new>

#include "imaging/quarter_turn.h"
#include "imaging/raw_containers.h"
#include "imaging/tiff_walk.h"
#include "platform/file_ops.h"

namespace sortelia::imaging {
namespace {

constexpr std::string_view kRafMagic = "FUJIFILMCCD-RAW ";
// A RAF's header holds the offset and the length of its JPEG (big-endian) at these bytes.
constexpr std::size_t kRafJpegOffsetAt = 84;
constexpr std::size_t kRafHeaderSize = 92;
// LibRaw's memory for RAW data; only the thumbnail is unpacked here, so any RAW that would
// need more is not one whose thumbnail is worth the wait.
constexpr unsigned kLibRawMemoryMb = 256;

bool isRaf(std::string_view bytes) {
  return bytes.size() >= kRafHeaderSize && bytes.substr(0, kRafMagic.size()) == kRafMagic;
}

// Olympus ORF: TIFF with the magic "RO" (or "RS") in place of 42.
bool isOrf(std::string_view bytes) {
  return bytes.size() >= 4 && (bytes.substr(0, 4) == "IIRO" || bytes.substr(0, 4) == "MMOR" ||
                               bytes.substr(0, 4) == "IIRS");
}

std::uint32_t bigEndian32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 2])) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3]));
}

// The candidate with the most pixels among those that lie in the file and hold a JPEG the
// decoder accepts (its frame header read, its size within the limit); the first of equals.
void chooseLargest(std::string_view bytes, const std::vector<raw::Range>& candidates,
                   RawPreview& out) {
  std::int64_t best = 0;
  std::string_view chosen;
  for (const raw::Range& c : candidates) {
    if (c.size < 4 || c.at >= bytes.size() || c.size > bytes.size() - c.at) continue;
    const std::string_view jpeg = bytes.substr(c.at, c.size);
    if (jpeg.substr(0, 2) != "\xFF\xD8") continue;
    int w = 0, h = 0;
    if (!jpegHeaderProblem(jpeg, w, h).empty()) continue;
    if (static_cast<std::int64_t>(w) * h > best) {
      best = static_cast<std::int64_t>(w) * h;
      chosen = jpeg;
      out.width = w;
      out.height = h;
    }
  }
  if (best > 0) out.jpeg = std::string(chosen);
}

// The thumbnail LibRaw finds, when it is a JPEG; the RAW data is never unpacked.
RawPreview libRawPreview(std::string_view bytes) {
  RawPreview out;
  out.container = RawContainer::LibRaw;
  std::unique_ptr<libraw_data_t, void (*)(libraw_data_t*)> lr(libraw_init(0), libraw_close);
  if (!lr) {
    out.error = "the RAW reader could not be started";
    return out;
  }
  lr->params.max_raw_memory_mb = kLibRawMemoryMb;
  // LibRaw only reads the buffer.
  int rc = libraw_open_buffer(lr.get(), const_cast<char*>(bytes.data()), bytes.size());
  if (rc != LIBRAW_SUCCESS) {
    out.error = std::string("not a RAW file that can be read: ") + libraw_strerror(rc);
    return out;
  }
  const libraw_thumbnail_t& thumb = lr->thumbnail;
  if (thumb.tformat != LIBRAW_THUMBNAIL_JPEG || thumb.tlength == 0 ||
      thumb.tlength > bytes.size()) {
    out.error = "the RAW file holds no preview picture in JPEG form";
    return out;
  }
  rc = libraw_unpack_thumb(lr.get());
  if (rc != LIBRAW_SUCCESS) {
    out.error = std::string("the RAW file's preview cannot be read: ") + libraw_strerror(rc);
    return out;
  }
  int err = 0;
  std::unique_ptr<libraw_processed_image_t, void (*)(libraw_processed_image_t*)> image(
      libraw_dcraw_make_mem_thumb(lr.get(), &err), libraw_dcraw_clear_mem);
  if (!image || image->type != LIBRAW_IMAGE_JPEG) {
    out.error = "the RAW file's preview cannot be read";
    return out;
  }
  const std::string_view jpeg(reinterpret_cast<const char*>(image->data), image->data_size);
  chooseLargest(jpeg, {{0, jpeg.size()}}, out);
  if (!out.ok()) {
    out.error = "the RAW file's preview is not a JPEG picture that can be shown";
    return out;
  }
  // LibRaw's flip: 3 a half turn, 5 a quarter turn anticlockwise, 6 one clockwise.
  switch (lr->sizes.flip) {
    case 3:
      out.orientation = 3;
      break;
    case 5:
      out.orientation = 8;
      break;
    case 6:
      out.orientation = 6;
      break;
    default:
      out.orientation = 1;
  }
  return out;
}

// Swaps left and right of a Bgr24 bitmap in place.
void mirror(Bitmap& b) {
  for (int y = 0; y < b.height(); ++y) {
    std::uint8_t* row = b.row(y);
    for (int l = 0, r = b.width() - 1; l < r; ++l, --r) {
      for (int c = 0; c < 3; ++c) std::swap(row[l * 3 + c], row[r * 3 + c]);
    }
  }
}

}  // namespace

RawPreview extractOwnRawPreview(std::string_view bytes) {
  RawPreview out;
  raw::Found found;
  try {
    if (raw::isCr3(bytes)) {
      out.container = RawContainer::Cr3;
      found = raw::readCr3(bytes);
    } else if (isRaf(bytes)) {
      out.container = RawContainer::Raf;
      found.candidates.push_back(
          {bigEndian32(bytes, kRafJpegOffsetAt), bigEndian32(bytes, kRafJpegOffsetAt + 4)});
    } else if (raw::isTiffRaw(bytes)) {
      out.container = RawContainer::Tiff;
      found = raw::readTiffRaw(bytes);
    } else {
      out.error = "not a RAW file this reader knows";
      return out;
    }
    chooseLargest(bytes, found.candidates, out);
  } catch (const std::bad_alloc&) {
    out = RawPreview{};
    out.error = "not enough memory to read the RAW file";
    return out;
  }
  out.cr3Ifd0 = std::move(found.ifd0);
  out.cr3ExifIfd = std::move(found.exifIfd);
  // A RAF's orientation is the one in its JPEG's EXIF.
  out.orientation = out.container == RawContainer::Raf ? tiffOrientation(jpegExifTiff(out.jpeg))
                                                       : found.orientation;
  if (out.orientation == 0) out.orientation = 1;
  if (!out.ok()) out.error = "the RAW file holds no preview picture that can be shown";
  return out;
}

RawPreview extractRawPreview(std::string_view bytes) {
  RawPreview own = extractOwnRawPreview(bytes);
  if (own.ok()) return own;
  // LibRaw reads the kinds this unit does not know. Of those it does, only ORF goes to LibRaw
  // too, whose larger previews lie in the maker note; a CR3 never does, as LibRaw 0.20's CR3
  // parser loops without end on some damaged files.
  const bool orf = own.container == RawContainer::Tiff && isOrf(bytes);
  if (own.container != RawContainer::None && !orf) return own;
  RawPreview other = libRawPreview(bytes);
  if (other.ok() || !orf) return other;
  // The container's own message says more than LibRaw's about a file of a kind it knows.
  return own;
}

RawPreview extractRawPreviewFile(const std::string& path) {
  const auto bytes = fs::readFile(path, kMaxRawFileBytes);
  if (!bytes) {
    RawPreview out;
    out.error = "cannot read \"" + path + "\"";
    return out;
  }
  RawPreview out = extractRawPreview(*bytes);
  if (!out.error.empty()) out.error = "\"" + path + "\": " + out.error;
  return out;
}

Bitmap orientBitmap(const Bitmap& source, int orientation) {
  Bitmap b = source;
  convertTo24Bit(b);
  if (orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7) mirror(b);
  switch (orientation) {
    case 3:
    case 4:
      return quarterTurn(b, 180);
    case 5:
    case 8:
      return quarterTurn(b, 270);
    case 6:
    case 7:
      return quarterTurn(b, 90);
    default:
      return b;
  }
}

JpegDecodeResult decodeRawPreview(const RawPreview& preview, JpegScale scale) {
  if (!preview.ok()) {
    JpegDecodeResult r;
    r.error = preview.error.empty() ? "no preview picture" : preview.error;
    return r;
  }
  JpegDecodeResult r = decodeJpeg(preview.jpeg, scale);
  if (!r.ok() || preview.orientation == 1) return r;
  try {
    r.bitmap = orientBitmap(r.bitmap, preview.orientation);
  } catch (const std::bad_alloc&) {
    r.bitmap = Bitmap();
    r.error = "not enough memory to turn the preview picture";
  }
  return r;
}

}  // namespace sortelia::imaging

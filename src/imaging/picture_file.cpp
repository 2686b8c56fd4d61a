#include "imaging/picture_file.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "imaging/heif_decode.h"
#include "imaging/jpeg_stream.h"
#include "imaging/raw_preview.h"
#include "imaging/resample.h"
#include "platform/file_kinds.h"
#include "platform/file_ops.h"
#include "platform/path.h"

namespace sortelia::imaging {
namespace {

bool isHeifExtension(std::string_view name) {
  const std::string ext = fs::lowerExtension(name);
  return ext == ".heic" || ext == ".heif" || ext == ".hif" || ext == ".avif";
}

bool startsJpeg(std::string_view head) {
  return head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF &&
         static_cast<unsigned char>(head[1]) == 0xD8;
}

std::atomic<long long> gDecodeBoundMs{kDefaultDecodeBound.count()};
std::atomic<int> gAbandoned{0};

// What a HEIF decode on its own thread hands back.
struct BoundedDecode {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  HeifDecodeResult result;
};

// decodeHeif on a thread of its own, waited for at most the bound. The thread owns a copy of
// the bytes and the shared state, so an abandoned decode runs to its end without touching
// anything of the caller's.
JpegDecodeResult decodeHeifBounded(std::string_view bytes) {
  auto state = std::make_shared<BoundedDecode>();
  auto owned = std::make_shared<const std::string>(bytes);
  std::thread worker([state, owned] {
    HeifDecodeResult r = decodeHeif(*owned);
    std::lock_guard lock(state->mutex);
    state->result = std::move(r);
    state->finished = true;
    state->done.notify_all();
  });
  std::unique_lock lock(state->mutex);
  const bool finished = state->done.wait_for(lock, std::chrono::milliseconds(gDecodeBoundMs.load()),
                                             [&] { return state->finished; });
  JpegDecodeResult r;
  if (!finished) {
    lock.unlock();
    ++gAbandoned;
    // A watcher joins the abandoned decode and counts it off when it ends.
    std::thread([w = std::move(worker)]() mutable {
      w.join();
      --gAbandoned;
    }).detach();
    r.error = "decoding took too long and was abandoned";
    return r;
  }
  lock.unlock();
  worker.join();
  r.bitmap = std::move(state->result.bitmap);
  r.error = std::move(state->result.error);
  return r;
}

// The full-size picture of a HEIF or a RAW (a JPEG is decoded by the caller's own path).
JpegDecodeResult decodeOther(const PictureBytes& p, JpegScale scale) {
  if (p.coding == PictureCoding::Heif) return decodeHeifBounded(p.bytes);
  const RawPreview preview = extractRawPreview(p.bytes);
  if (!preview.ok()) {
    JpegDecodeResult r;
    r.error = preview.error.empty() ? "no preview picture in this RAW file" : preview.error;
    return r;
  }
  return decodeRawPreview(preview, scale);
}

}  // namespace

void setDecodeBound(std::chrono::milliseconds bound) { gDecodeBoundMs = bound.count(); }

int abandonedDecodesRunning() { return gAbandoned.load(); }

PictureCoding pictureCodingOf(std::string_view name, std::string_view head) {
  if (startsJpeg(head)) return PictureCoding::Jpeg;
  if (looksLikeHeif(head)) return PictureCoding::Heif;
  const auto kind = fs::kindOfName(name);
  if (kind && kind->kind == fs::MediaKind::Raw) return PictureCoding::Raw;
  if (isHeifExtension(name)) return PictureCoding::Heif;
  return PictureCoding::Jpeg;
}

std::size_t maxFileBytes(PictureCoding coding) {
  switch (coding) {
    case PictureCoding::Heif:
      return kMaxHeifFileBytes;
    case PictureCoding::Raw:
      return kMaxRawFileBytes;
    case PictureCoding::Jpeg:
      break;
  }
  return kMaxJpegFileBytes;
}

std::optional<PictureBytes> readPictureFile(const std::string& path) {
  const std::string name = fs::fileNameOf(path);
  // The largest limit of the kinds the name may turn out to be: a ".jpg" may hold a HEIF.
  const auto kind = fs::kindOfName(name);
  const std::size_t limit = kind && kind->kind == fs::MediaKind::Raw
                                ? kMaxRawFileBytes
                                : std::max(kMaxJpegFileBytes, kMaxHeifFileBytes);
  auto bytes = fs::readFile(path, limit);
  if (!bytes) return std::nullopt;
  PictureBytes p;
  p.coding = pictureCodingOf(name, std::string_view(*bytes).substr(0, 12));
  p.bytes = std::move(*bytes);
  return p;
}

JpegDecodeResult decodePicture(const PictureBytes& p, JpegScale scale) {
  if (p.coding == PictureCoding::Jpeg) return decodeJpeg(p.bytes, scale);
  JpegDecodeResult r = decodeOther(p, scale);
  if (!r.ok() || scale == JpegScale::Full || p.coding == PictureCoding::Raw) return r;
  // libheif has no reduced decode: the full picture is reduced to what DCT scaling gives.
  ResampleBitmap(r.bitmap, (r.bitmap.width() + 7) / 8, (r.bitmap.height() + 7) / 8);
  return r;
}

JpegDecodeResult decodePictureFile(const std::string& path, JpegScale scale) {
  const auto p = readPictureFile(path);
  JpegDecodeResult r;
  if (!p) {
    r.error = "cannot read \"" + path + "\"";
    return r;
  }
  r = decodePicture(*p, scale);
  if (!r.error.empty()) r.error = "\"" + path + "\": " + r.error;
  return r;
}

JpegDecodeResult decodePictureResampled(const PictureBytes& p, int newWidth, int newHeight) {
  if (p.coding == PictureCoding::Jpeg) return decodeJpegResampled(p.bytes, newWidth, newHeight);
  if (newWidth < 1 || newHeight < 1) {
    throw std::invalid_argument("target width and height must be at least 1 pixel");
  }
  JpegDecodeResult r = decodeOther(p, JpegScale::Full);
  if (r.ok()) ResampleBitmap(r.bitmap, newWidth, newHeight);
  return r;
}

std::optional<PixelSize> pictureSize(const PictureBytes& p) {
  switch (p.coding) {
    case PictureCoding::Jpeg:
      return readJpegSize(p.bytes);
    case PictureCoding::Heif:
      return readHeifSize(p.bytes);
    case PictureCoding::Raw:
      break;
  }
  const RawPreview preview = extractRawPreview(p.bytes);
  if (!preview.ok()) return std::nullopt;
  const bool sideways = preview.orientation >= 5 && preview.orientation <= 8;
  return sideways ? PixelSize{preview.height, preview.width}
                  : PixelSize{preview.width, preview.height};
}

}  // namespace sortelia::imaging

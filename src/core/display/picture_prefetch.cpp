#include "core/display/picture_prefetch.h"

#include <sys/stat.h>

#include <chrono>

#include "core/display/display_geometry.h"
#include "core/display/image_list.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_stream.h"
#include "imaging/picture_file.h"
#include "imaging/quarter_turn.h"
#include "imaging/screen_scale.h"
#include "platform/file_kinds.h"
#include "platform/file_ops.h"
#include "platform/path.h"

namespace sortelia {

FileStamp stampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  const auto ns = [](const timespec& t) { return t.tv_sec * 1000000000LL + t.tv_nsec; };
  return {st.st_dev, st.st_ino, st.st_size, ns(st.st_mtim), ns(st.st_ctim)};
}

PreparedPicture DirectPictureSource::load(const std::string& path, int areaWidth, int areaHeight) {
  return preparePicture(path, areaWidth, areaHeight);
}

std::shared_ptr<const imaging::Bitmap> decodeFullPicture(const std::string& path) {
  imaging::JpegDecodeResult decoded = imaging::decodePictureFile(path);
  if (!decoded.ok()) return nullptr;
  return std::make_shared<const imaging::Bitmap>(std::move(decoded.bitmap));
}

namespace {

// A HEIF or RAW picture: its decoder gives only the full size, which is then fitted as the
// display fits a picture after a resize, and let go when it was reduced.
// Fits shown (the picture as it stands on screen) to the area: its screen copy reduced or
// enlarged by the display's rule, or the picture itself when it fits as it is.
void fitToArea(PreparedPicture& p, const std::shared_ptr<const imaging::Bitmap>& shown,
               int areaWidth, int areaHeight) {
  const auto r = FitImageToPanel(shown->height(), shown->width(), areaHeight, areaWidth);
  if (r && (r->width != shown->width() || r->height != shown->height())) {
    p.screen = imaging::scaleForScreen(shown, r->width, r->height);
  }
  if (!p.screen) p.picture = p.screen = shown;
  if (r) {
    p.areaWidth = areaWidth;
    p.areaHeight = areaHeight;
  }
}

PreparedPicture prepareOtherPicture(const imaging::PictureBytes& file, int areaWidth,
                                    int areaHeight) {
  PreparedPicture p;
  imaging::JpegDecodeResult decoded = imaging::decodePicture(file);
  if (!decoded.ok()) return p;
  auto full = std::make_shared<const imaging::Bitmap>(std::move(decoded.bitmap));
  p.width = full->width();
  p.height = full->height();
  fitToArea(p, full, areaWidth, areaHeight);
  return p;
}

}  // namespace

PreparedPicture preparePicture(const std::string& path, int areaWidth, int areaHeight) {
  PreparedPicture p;
  const auto file = imaging::readPictureFile(path);
  if (!file) return p;
  if (file->coding != imaging::PictureCoding::Jpeg)
    return prepareOtherPicture(*file, areaWidth, areaHeight);
  const std::string* bytes = &file->bytes;
  int width = 0, height = 0;
  if (!imaging::jpegHeaderProblem(*bytes, width, height).empty()) return p;
  const auto r = FitImageToPanel(height, width, areaHeight, areaWidth);
  // A sliver of a picture can fit to less than a pixel across; it is kept at full size.
  const bool reduced =
      r && r->width >= 1 && r->height >= 1 && (r->width != width || r->height != height);
  if (reduced) {
    // Reduced while decoding: the full-size pixels are never held, and the width pass runs
    // beside the decoder.
    imaging::JpegDecodeResult scaled = imaging::decodeJpegResampled(*bytes, r->width, r->height);
    if (!scaled.ok()) return p;
    p.screen = std::make_shared<const imaging::Bitmap>(std::move(scaled.bitmap));
  } else {
    imaging::JpegDecodeResult full = imaging::decodeJpeg(*bytes);
    if (!full.ok()) return p;
    p.picture = std::make_shared<const imaging::Bitmap>(std::move(full.bitmap));
    p.screen = p.picture;
  }
  p.width = width;
  p.height = height;
  if (r) {
    p.areaWidth = areaWidth;
    p.areaHeight = areaHeight;
  }
  return p;
}

PreparedPicture prepareTurnedPicture(const std::string& path, int areaWidth, int areaHeight,
                                     int turn) {
  PreparedPicture p;
  const auto full = decodeFullPicture(path);
  if (!full) return p;
  const auto turned = imaging::quarterTurned(*full, turn);
  // No room to turn it: prepared unturned, and the display turns it as far as it can.
  if (!turned) return preparePicture(path, areaWidth, areaHeight);
  p.width = full->width();
  p.height = full->height();
  p.turn = turn;
  fitToArea(p, turned, areaWidth, areaHeight);
  return p;
}

PicturePrefetch::PicturePrefetch(const SortingState& state, const PictureView& area,
                                 WorkerPool& pool, int ahead, long long maxBytes)
    : state_(state), area_(area), pool_(pool), ahead_(ahead), maxBytes_(maxBytes) {}

PicturePrefetch::~PicturePrefetch() { clear(); }

long long PicturePrefetch::bytesOf(const PreparedPicture& p) {
  long long n = 0;
  if (p.picture) n += static_cast<long long>(p.picture->stride()) * p.picture->height();
  if (p.screen && p.screen != p.picture) {
    n += static_cast<long long>(p.screen->stride()) * p.screen->height();
  }
  return n;
}

long long PicturePrefetch::bytesHeld() const {
  long long n = 0;
  for (const auto& [path, job] : jobs_) {
    if (job.result.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
      n += bytesOf(job.result.get());
    }
  }
  return n;
}

void PicturePrefetch::clear() {
  for (auto& [path, job] : jobs_) job.cancel.cancel();
  // Jobs already running finish on their own; their results are dropped with the futures.
  jobs_.clear();
}

PreparedPicture PicturePrefetch::load(const std::string& path, int areaWidth, int areaHeight) {
  auto it = jobs_.find(path);
  if (it != jobs_.end()) {
    it->second.result.wait();
    peak_ = std::max(peak_, bytesHeld());
    Job job = std::move(it->second);
    jobs_.erase(it);
    // Wait for a decode under way rather than start a second one; use it only for the file
    // as it is now.
    PreparedPicture p = job.result.get();
    // A screen copy made for another area size is of no use: the area changed meanwhile.
    if (p.decoded() && job.stamp == stampOf(path) && job.stamp.size >= 0 &&
        job.areaWidth == areaWidth && job.areaHeight == areaHeight) {
      ++hits_;
      return p;
    }
  }
  ++misses_;
  return preparePicture(path, areaWidth, areaHeight);
}

std::vector<std::string> PicturePrefetch::nextPaths(int index) const {
  const SourceList& list = state_.list;
  std::vector<std::string> paths;
  auto consider = [&](int i) {
    if (i < 1 || i > static_cast<int>(list.images.size())) return;
    std::string path;
    // In sorting mode marked entries are skipped by the display, so they are not worth a decode.
    if (ChkDMRK(list.images[i - 1], path) && !list.viewerMode) return;
    if (fs::isPictureName(fs::fileNameOf(path))) paths.push_back(path);
  };
  if (list.viewerMode) {
    consider(index + 1);
    consider(index - 1);
  } else {
    for (int i = index + 1; i <= static_cast<int>(list.images.size()); ++i) {
      if (static_cast<int>(paths.size()) >= ahead_) break;
      consider(i);
    }
  }
  return paths;
}

void PicturePrefetch::entryShown(const ShownEntry& e) {
  shownIndex_ = e.index;
  const std::vector<std::string> wanted = nextPaths(e.index);
  // Drop what is no longer ahead (and the shown entry, which the display holds itself).
  for (auto it = jobs_.begin(); it != jobs_.end();) {
    if (std::find(wanted.begin(), wanted.end(), it->first) == wanted.end()) {
      it->second.cancel.cancel();
      it = jobs_.erase(it);
    } else {
      ++it;
    }
  }
  for (const std::string& path : wanted) schedule(path);
  peak_ = std::max(peak_, bytesHeld());
}

void PicturePrefetch::areaResized() {
  // What was prepared for the old size is prepared again for the new one: the window manager
  // resizes the window just after it is first shown, before the first keys.
  if (shownIndex_ < 1) return;
  for (const std::string& path : nextPaths(shownIndex_)) schedule(path);
}

void PicturePrefetch::schedule(const std::string& path) {
  const int w = area_.displayWidth();
  const int h = area_.displayHeight();
  auto it = jobs_.find(path);
  if (it != jobs_.end()) {
    // Prepared (or under way) for this file and this area.
    if (it->second.stamp == stampOf(path) && it->second.areaWidth == w &&
        it->second.areaHeight == h) {
      return;
    }
    it->second.cancel.cancel();
    jobs_.erase(it);
  }
  // A prepared picture is at most as large as the area (a larger one is reduced while it is
  // decoded); nothing more is started once the pictures held, plus one of the area's size,
  // would pass the bound. An area too small to fit into (a hidden window) is not prepared for.
  if (w < 2 || h < 2) return;
  const FileStamp stamp = stampOf(path);
  if (stamp.size < 0) return;
  const long long areaBytes = 3LL * (w + 4) * h;
  if (bytesHeld() + areaBytes > maxBytes_ && !jobs_.empty()) return;
  Job job;
  job.stamp = stamp;
  job.areaWidth = w;
  job.areaHeight = h;
  CancelToken cancel = job.cancel;
  job.result =
      pool_
          .submit([path, w, h, cancel, turnOf = turnOf_] {
            if (cancel.cancelled()) return PreparedPicture{};
            const int turn = turnOf ? turnOf(path) : 0;
            return turn != 0 ? prepareTurnedPicture(path, w, h, turn) : preparePicture(path, w, h);
          })
          .share();
  jobs_.emplace(path, std::move(job));
}

}  // namespace sortelia

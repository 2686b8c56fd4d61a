#include "imaging/jpeg_stream.h"

// The classic libjpeg interface reports errors through longjmp. Everything that must be
// released lives in DecodeState (on the heap, destroyed by its owner); the function that
// calls setjmp keeps only trivially destructible locals.
#include <jpeglib.h>

#include <condition_variable>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "imaging/resample.h"

namespace sortelia::imaging {
namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int warnings = 0;
  char message[JMSG_LENGTH_MAX] = {};
};

struct DecodeState {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  ~DecodeState() { jpeg_destroy_decompress(&cinfo); }  // safe on a never-created struct
};

[[noreturn]] void onError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr cinfo, int level) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  if (level >= 0) return;  // trace messages
  if (err->warnings++ == 0) (*cinfo->err->format_message)(cinfo, err->message);
}

// Runs the decode; false after a fatal libjpeg error (message in s->err).
bool decodeCore(DecodeState* s, const unsigned char* data, unsigned long size,
                const JpegBeginFn* begin, const JpegRowTarget* target, int scaleDenom) {
  s->cinfo.err = jpeg_std_error(&s->err.pub);
  s->err.pub.error_exit = onError;
  s->err.pub.emit_message = onMessage;
  if (setjmp(s->err.jump)) return false;
  jpeg_create_decompress(&s->cinfo);
  jpeg_mem_src(&s->cinfo, data, size);
  jpeg_read_header(&s->cinfo, TRUE);
  // The header was checked before; this guards the allocation should the two readings of it
  // ever differ.
  if (s->cinfo.jpeg_color_space == JCS_CMYK || s->cinfo.jpeg_color_space == JCS_YCCK ||
      static_cast<std::int64_t>(s->cinfo.image_width) * s->cinfo.image_height > kMaxDecodePixels) {
    std::snprintf(s->err.message, sizeof s->err.message, "unsupported JPEG header");
    return false;
  }
  s->cinfo.out_color_space = JCS_EXT_BGR;
  s->cinfo.scale_num = 1;
  s->cinfo.scale_denom = static_cast<unsigned>(scaleDenom);
  jpeg_start_decompress(&s->cinfo);
  const int width = static_cast<int>(s->cinfo.output_width);
  const int height = static_cast<int>(s->cinfo.output_height);
  (*begin)(width, height);
  while (s->cinfo.output_scanline < s->cinfo.output_height) {
    const int y = static_cast<int>(s->cinfo.output_scanline);
    JSAMPROW p = target->buffer(y);
    if (jpeg_read_scanlines(&s->cinfo, &p, 1) != 1) break;
    target->done(y);
  }
  jpeg_finish_decompress(&s->cinfo);
  return true;
}

}  // namespace

JpegStreamResult decodeJpegRows(std::string_view bytes, const JpegBeginFn& begin,
                                const JpegRowFn& row) {
  std::vector<std::uint8_t> buffer;
  const JpegBeginFn sized = [&](int width, int height) {
    buffer.resize(static_cast<std::size_t>(width) * 3);
    begin(width, height);
  };
  const JpegRowTarget target{[&](int) { return buffer.data(); },
                             [&](int y) { row(y, buffer.data()); }};
  return decodeJpegRowsInto(bytes, sized, target);
}

JpegStreamResult decodeJpegRowsInto(std::string_view bytes, const JpegBeginFn& begin,
                                    const JpegRowTarget& target, JpegScale scale) {
  JpegStreamResult r;
  int width = 0, height = 0;
  r.error = jpegHeaderProblem(bytes, width, height);
  if (!r.error.empty()) return r;
  auto state = std::make_unique<DecodeState>();
  if (!decodeCore(state.get(), reinterpret_cast<const unsigned char*>(bytes.data()),
                  static_cast<unsigned long>(bytes.size()), &begin, &target,
                  scale == JpegScale::Full ? 1 : 8)) {
    const bool allRows = state->cinfo.output_height > 0 &&
                         state->cinfo.output_scanline >= state->cinfo.output_height;
    if (!allRows) {
      r.error = std::string("JPEG decoding failed: ") + state->err.message;
      return r;
    }
    // Every row is there; only what follows the picture data is broken.
    r.ok = true;
    r.partial = true;
    r.error = std::string("damaged JPEG data after the picture: ") + state->err.message;
    return r;
  }
  r.ok = true;
  if (state->err.warnings > 0) {
    r.partial = true;
    r.error = std::string("damaged or truncated JPEG data: ") + state->err.message;
  }
  return r;
}

namespace {

// Rows in flight between the decoder and the width pass.
constexpr int kRingRows = 64;
// Below this many source pixels a second thread costs more than it saves.
constexpr std::int64_t kThreadedMinimumPixels = 1'000'000;

// Runs the width pass of every decoded row into `narrowed`, on a second thread when that
// pays: the decoder writes rows into a ring, the worker narrows them in order.
class RowNarrower {
 public:
  explicit RowNarrower(int newWidth) : newWidth_(newWidth) {}
  RowNarrower(const RowNarrower&) = delete;
  RowNarrower& operator=(const RowNarrower&) = delete;
  ~RowNarrower() { stop(); }

  void begin(int width, int height) {
    pass_ = std::make_unique<WidthPass>(width, newWidth_);
    narrowed_ = Bitmap(newWidth_, height);
    rowBytes_ = static_cast<std::size_t>(width) * 3;
    threaded_ = std::thread::hardware_concurrency() > 1 &&
                static_cast<std::int64_t>(width) * height >= kThreadedMinimumPixels;
    ring_.resize(rowBytes_ * (threaded_ ? kRingRows : 1));
    if (!threaded_) return;
    try {
      worker_ = std::thread([this] { work(); });
    } catch (const std::system_error&) {
      threaded_ = false;  // no thread to be had: narrow on this one
    }
  }

  // Room for row y; waits while the ring is full.
  std::uint8_t* buffer(int y) {
    if (!threaded_) return ring_.data();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return y - consumed_ < kRingRows; });
    return ring_.data() + rowBytes_ * (y % kRingRows);
  }

  void done(int y) {
    if (!threaded_) {
      pass_->run(ring_.data(), narrowed_.row(y));
      return;
    }
    {
      std::lock_guard lock(mutex_);
      produced_ = y + 1;
    }
    changed_.notify_all();
  }

  // Waits for the worker to narrow every row handed over; returns the narrowed picture.
  Bitmap finish() {
    stop();
    return std::move(narrowed_);
  }

 private:
  void stop() {
    if (!worker_.joinable()) return;
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    changed_.notify_all();
    worker_.join();
  }

  void work() {
    int next = 0;
    for (;;) {
      int available;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return produced_ > next || finished_; });
        available = produced_;
        if (available == next) return;  // finished and drained
      }
      for (; next < available; ++next) {
        pass_->run(ring_.data() + rowBytes_ * (next % kRingRows), narrowed_.row(next));
      }
      {
        std::lock_guard lock(mutex_);
        consumed_ = next;
      }
      changed_.notify_all();
    }
  }

  const int newWidth_;
  std::unique_ptr<WidthPass> pass_;
  Bitmap narrowed_;
  std::size_t rowBytes_ = 0;
  bool threaded_ = false;
  std::vector<std::uint8_t> ring_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int produced_ = 0;  // rows the decoder has written
  int consumed_ = 0;  // rows the worker has narrowed
  bool finished_ = false;
  std::thread worker_;
};

}  // namespace

JpegDecodeResult decodeJpegResampled(std::string_view bytes, int newWidth, int newHeight) {
  if (newWidth < 1 || newHeight < 1) {
    throw std::invalid_argument("target width and height must be at least 1 pixel");
  }
  RowNarrower narrower(newWidth);
  const JpegRowTarget target{[&](int y) { return narrower.buffer(y); },
                             [&](int y) { narrower.done(y); }};
  const JpegStreamResult s = decodeJpegRowsInto(
      bytes, [&](int w, int h) { narrower.begin(w, h); }, target);
  JpegDecodeResult r;
  r.partial = s.partial;
  r.error = s.error;
  if (!s.ok) return r;
  Bitmap narrowed = narrower.finish();
  if (newHeight != narrowed.height()) {
    Bitmap result(newWidth, newHeight);
    if (narrowed.height() < newHeight) {
      StretchHeightUp(narrowed, result);
    } else {
      StretchHeightDown(narrowed, result);
    }
    narrowed = std::move(result);
  }
  r.bitmap = std::move(narrowed);
  return r;
}

}  // namespace sortelia::imaging

#include "imaging/jpeg_stream.h"

// The classic libjpeg interface reports errors through longjmp. Everything that must be
// released lives in DecodeState (on the heap, destroyed by its owner); the function that
// calls setjmp keeps only trivially destructible locals.
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <stdexcept>
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
  std::vector<std::uint8_t> row;
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
                const JpegBeginFn* begin, const JpegRowFn* rowFn) {
  s->cinfo.err = jpeg_std_error(&s->err.pub);
  s->err.pub.error_exit = onError;
  s->err.pub.emit_message = onMessage;
  if (setjmp(s->err.jump)) return false;
  jpeg_create_decompress(&s->cinfo);
  jpeg_mem_src(&s->cinfo, data, size);
  jpeg_read_header(&s->cinfo, TRUE);
  s->cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&s->cinfo);
  const int width = static_cast<int>(s->cinfo.output_width);
  const int height = static_cast<int>(s->cinfo.output_height);
  (*begin)(width, height);
  s->row.resize(static_cast<std::size_t>(width) * 3);
  while (s->cinfo.output_scanline < s->cinfo.output_height) {
    const int y = static_cast<int>(s->cinfo.output_scanline);
    JSAMPROW p = s->row.data();
    if (jpeg_read_scanlines(&s->cinfo, &p, 1) != 1) break;
    (*rowFn)(y, s->row.data());
  }
  jpeg_finish_decompress(&s->cinfo);
  return true;
}

}  // namespace

JpegStreamResult decodeJpegRows(std::string_view bytes, const JpegBeginFn& begin,
                                const JpegRowFn& row) {
  JpegStreamResult r;
  int width = 0, height = 0;
  r.error = jpegHeaderProblem(bytes, width, height);
  if (!r.error.empty()) return r;
  auto state = std::make_unique<DecodeState>();
  if (!decodeCore(state.get(), reinterpret_cast<const unsigned char*>(bytes.data()),
                  static_cast<unsigned long>(bytes.size()), &begin, &row)) {
    r.error = std::string("JPEG decoding failed: ") + state->err.message;
    return r;
  }
  r.ok = true;
  if (state->err.warnings > 0) {
    r.partial = true;
    r.error = std::string("damaged or truncated JPEG data: ") + state->err.message;
  }
  return r;
}

JpegDecodeResult decodeJpegResampled(std::string_view bytes, int newWidth, int newHeight) {
  if (newWidth < 1 || newHeight < 1) {
    throw std::invalid_argument("target width and height must be at least 1 pixel");
  }
  std::unique_ptr<WidthPass> pass;
  Bitmap narrowed;
  const JpegBeginFn begin = [&](int width, int height) {
    pass = std::make_unique<WidthPass>(width, newWidth);
    narrowed = Bitmap(newWidth, height);
  };
  const JpegRowFn row = [&](int y, const std::uint8_t* pixels) {
    pass->run(pixels, narrowed.row(y));
  };
  const JpegStreamResult s = decodeJpegRows(bytes, begin, row);
  JpegDecodeResult r;
  r.partial = s.partial;
  r.error = s.error;
  if (!s.ok) return r;
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

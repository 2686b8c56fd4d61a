// Row-by-row JPEG decoding, so that a large picture can be reduced while it is decoded
// without holding the full-size pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "imaging/jpeg_codec.h"

namespace sortelia::imaging {

// Receives the picture's size once, before any row.
using JpegBeginFn = std::function<void(int width, int height)>;
// Receives decoded row y (width Bgr24 pixels), top to bottom; the pointer is valid only
// during the call.
using JpegRowFn = std::function<void(int y, const std::uint8_t* row)>;

// Outcome of a row-by-row decode, with the meaning of JpegDecodeResult (no bitmap).
struct [[nodiscard]] JpegStreamResult {
  bool ok = false;
  bool partial = false;
  std::string error;
};

// Decodes at full size, with the checks of decodeJpeg, handing each row to `row`. Damaged
// data that the decoder can get past (truncation, corrupt entropy data) give every row and
// `partial`; a fatal error before the last row is a failure (earlier rows may have been
// handed over), after it `partial`. Exceptions from the callbacks pass through after the
// decoder has been released.
JpegStreamResult decodeJpegRows(std::string_view bytes, const JpegBeginFn& begin,
                                const JpegRowFn& row);

// Where the decoder writes each row, for callers that keep rows in their own memory: buffer(y)
// gives room for row y (width * 3 bytes), done(y) follows once the row is there.
struct JpegRowTarget {
  std::function<std::uint8_t*(int y)> buffer;
  std::function<void(int y)> done;
};

// decodeJpegRows writing straight into the caller's rows, at full size or 1/8 scale (the
// size given to begin is then the scaled one).
JpegStreamResult decodeJpegRowsInto(std::string_view bytes, const JpegBeginFn& begin,
                                    const JpegRowTarget& target, JpegScale scale = JpegScale::Full);

// decodeJpeg at full size followed by ResampleBitmap(newWidth, newHeight), with the same
// bytes as the result, but the width pass runs on each row as it is decoded, so the
// full-size picture is never held. On a machine with more than one core the width pass runs
// on a second thread beside the decoder. Throws std::invalid_argument for a size below 1.
JpegDecodeResult decodeJpegResampled(std::string_view bytes, int newWidth, int newHeight);

}  // namespace sortelia::imaging

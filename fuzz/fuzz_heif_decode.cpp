// libFuzzer target: a HEIF container (HEIC, AVIF) decoded and reduced to a screen copy, with
// its size and its Exif block read as the list and the information window read them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "imaging/heif_decode.h"
#include "imaging/screen_scale.h"

// libheif 1.15's AV1 decoder plug-in makes dav1d's input buffer with dav1d_data_create and
// does not free it when dav1d refuses the data of a damaged AV1 stream: 40 bytes per such file,
// lost inside Debian's libraries, not by this program. The fast unwinder stops at the
// uninstrumented library, so the allocation is known by its library alone.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdav1d.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)sortelia::imaging::looksLikeHeif(bytes);
  const std::string exif = sortelia::imaging::heifExif(bytes);
  if (!exif.empty() && exif.compare(0, 2, "II") != 0 && exif.compare(0, 2, "MM") != 0) {
    __builtin_trap();
  }
  // Large declared sizes are legal and only slow the fuzzer down; the refusal of absurd ones
  // is the decoder's own limit, which decodeHeif checks on every input it gets.
  const auto declared = sortelia::imaging::readHeifSize(bytes);
  if (declared && static_cast<std::int64_t>(declared->width) * declared->height > 1'100'000) {
    return 0;
  }
  auto decoded = sortelia::imaging::decodeHeif(bytes, 1);
  // A coded picture may be somewhat larger than the declared one (see codedSizeProblem), and an
  // AV1 one is not read before decoding: the cap holds for the screen copy too.
  if (!decoded.ok() ||
      static_cast<std::int64_t>(decoded.bitmap.width()) * decoded.bitmap.height() > 1'100'000) {
    return 0;
  }
  auto full = std::make_shared<const sortelia::imaging::Bitmap>(std::move(decoded.bitmap));
  auto shown =
      sortelia::imaging::scaleForScreen(full, 1 + full->width() / 3, 1 + full->height() / 5);
  if (!shown) __builtin_trap();
  return 0;
}

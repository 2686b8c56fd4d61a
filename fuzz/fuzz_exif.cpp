// libFuzzer target: the EXIF reader over arbitrary bytes, and the writer's segment for what
// the reader took from them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exif/exif_info.h"
#include "exif/exif_record_text.h"
#include "exif/exif_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sortelia::exif::TExifInfo info;
  if (!info.readFromBytes(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  (void)sortelia::exif::recordText(info);
  try {
    (void)sortelia::exif::buildExifSegment(info, 640, 480);
  } catch (const sortelia::exif::ExifWriteError&) {
    // A record with an over-long comment is refused; that is the expected outcome.
  }
  return 0;
}

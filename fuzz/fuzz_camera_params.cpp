// libFuzzer target: the camera parameter file reader over arbitrary file contents.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exif/camera_params.h"
#include "exif/photo_info.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text =
      sortelia::text::decodeExternal(std::string_view(reinterpret_cast<const char*>(data), size));
  sortelia::exif::CameraParamTable table;
  table[0] = sortelia::exif::builtInCameraParamSet();
  std::vector<std::string> names;
  (void)sortelia::exif::readCameraParamLines(sortelia::splitLines(text), table, names, "f");
  // Every set read must be safe to apply to a picture head.
  const std::string head(sortelia::exif::kParamHeaderSize, '\x7f');
  for (const auto& set : table) {
    for (int k = 0; k < sortelia::exif::kCameraParamPairs; ++k) {
      (void)sortelia::exif::ReadParamString(head, set.Offset[k], set.Length[k]);
      (void)sortelia::exif::ReadParamInteger(head, set.Offset[k], set.Length[k]);
    }
  }
  (void)sortelia::exif::cameraParamFileLines(table);
  return 0;
}

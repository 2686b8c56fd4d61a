// sortelia-cli reduce: the file-to-file reduction from a terminal. A ".ppm" source or
// destination (binary P6) skips the JPEG decoding or encoding on that side, so that the
// resampler and the effects can be checked byte for byte by other tools.
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "imaging/jpeg_stream.h"
#include "imaging/picture_file.h"
#include "imaging/ppm.h"
#include "imaging/resample.h"
#include "outputs/reduce_pipeline.h"
#include "platform/file_ops.h"
#include "platform/path.h"

namespace sortelia::cli {
namespace {

imaging::Bitmap loadPpmResampled(const std::string& path, int width, int height) {
  const auto bytes = fs::readFile(path, 1u << 30);
  if (!bytes) throw outputs::ReductionError("cannot read \"" + path + "\"");
  std::string error;
  auto bitmap = imaging::readPpm(*bytes, &error);
  if (!bitmap) throw outputs::ReductionError("\"" + path + "\": " + error);
  imaging::ResampleBitmap(*bitmap, width, height);
  return std::move(*bitmap);
}

// As outputs::loadPictureResampled, but damaged data that could be decoded only in part are
// reported on standard error, naming the file, before the picture is reduced as decoded.
imaging::Bitmap loadPictureResampledWithWarning(const std::string& path, int width, int height) {
  const auto bytes = imaging::readPictureFile(path);
  if (!bytes) {
    const int err = fs::readError(path);
    throw outputs::ReductionError("cannot read \"" + path + "\"" +
                                  (err != 0 ? std::string(": ") + std::strerror(err) : ""));
  }
  imaging::JpegDecodeResult r = imaging::decodePictureResampled(*bytes, width, height);
  if (!r.ok()) throw outputs::ReductionError("\"" + path + "\": " + r.error);
  if (r.partial) {
    std::fprintf(stderr,
                 "sortelia-cli reduce: warning: \"%s\": %s; the picture is reduced as far as it "
                 "could be decoded\n",
                 path.c_str(), r.error.c_str());
  }
  return std::move(r.bitmap);
}

void savePpm(const imaging::Bitmap& picture, const std::string& path, int /*level*/) {
  const fs::FileResult r = fs::writeFileAtomic(path, imaging::writePpm(picture));
  if (!r.ok()) {
    throw outputs::ReductionError("cannot write \"" + r.path + "\": " + std::strerror(r.error));
  }
}

struct ReduceArgs {
  std::optional<int> width, height;
  int level = 8;
  bool sepia = false, bw = false, exif = false;
};

Syntax reduceSyntax(ReduceArgs& r) {
  const std::string sizeRange = "width and height must be at least 1 pixel";
  const int most = std::numeric_limits<int>::max();
  return operandsFirst(syntaxOf(
      "reduce",
      {required(
           withRangeText(integerFlag("--width", "W", "the largest width of the result, in pixels",
                                     1, most, r.width),
                         sizeRange)),
       required(
           withRangeText(integerFlag("--height", "H", "the largest height of the result, in pixels",
                                     1, most, r.height),
                         sizeRange)),
       withRangeText(
           integerFlag("--level", "L", "the JPEG quality level, 1 to 10 (8)", 1, 10, r.level),
           "the level must be between 1 and 10"),
       switchFlag("--sepia", "sepia tones", r.sepia), switchFlag("--bw", "black and white", r.bw),
       switchFlag("--exif", "keep the source's EXIF record", r.exif)},
      "SRC DST", 2, 2));
}

int runReduce(const std::vector<std::string>& args) {
  ReduceArgs r;
  const auto operands = parseOrReport(reduceSyntax(r), args);
  if (!operands) return 2;
  const std::vector<std::string>& paths = *operands;
  outputs::PictureFiles files;
  files.loadResampled =
      fs::hasExtension(paths[0], ".ppm") ? loadPpmResampled : loadPictureResampledWithWarning;
  if (fs::hasExtension(paths[1], ".ppm")) files.save = savePpm;
  outputs::FToFJpgStrchTD(paths[0], paths[1],
                          {.sepia = r.sepia, .blackAndWhite = r.bw, .addExif = r.exif},
                          {.width = *r.width, .height = *r.height}, r.level, files);
  return 0;
}

const Registrar registrar{declaredCommand(reduceSyntax, runReduce)};

}  // namespace
}  // namespace sortelia::cli

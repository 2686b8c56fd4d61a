// sortelia-cli reduce: the file-to-file reduction from a terminal. A ".ppm" source or
// destination (binary P6) skips the JPEG decoding or encoding on that side, so that the
// resampler and the effects can be checked byte for byte by other tools.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "imaging/jpeg_stream.h"
#include "imaging/ppm.h"
#include "imaging/resample.h"
#include "outputs/reduce_pipeline.h"
#include "platform/file_ops.h"
#include "platform/path.h"

namespace sortelia::cli {
namespace {

constexpr const char* kUsage =
    "reduce SRC DST --width W --height H [--level L] [--sepia] [--bw] [--exif]";

imaging::Bitmap loadPpmResampled(const std::string& path, int width, int height) {
  const auto bytes = fs::readFile(path, 1u << 30);
  if (!bytes) throw outputs::ReductionError("cannot read \"" + path + "\"");
  std::string error;
  auto bitmap = imaging::readPpm(*bytes, &error);
  if (!bitmap) throw outputs::ReductionError("\"" + path + "\": " + error);
  imaging::ResampleBitmap(*bitmap, width, height);
  return std::move(*bitmap);
}

// As outputs::loadJpegResampled, but damaged data that could be decoded only in part are
// reported on standard error, naming the file, before the picture is reduced as decoded.
imaging::Bitmap loadJpegResampledWithWarning(const std::string& path, int width, int height) {
  const auto bytes = fs::readFile(path, imaging::kMaxJpegFileBytes);
  if (!bytes) {
    const int err = fs::readError(path);
    throw outputs::ReductionError("cannot read \"" + path + "\"" +
                                  (err != 0 ? std::string(": ") + std::strerror(err) : ""));
  }
  imaging::JpegDecodeResult r = imaging::decodeJpegResampled(*bytes, width, height);
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
  std::vector<std::string> files;
  std::optional<int> width, height;
  int level = 8;
  bool sepia = false, bw = false, exif = false;
};

// Parses the arguments; prints the problem and returns nullopt when they are not usable.
std::optional<ReduceArgs> parseArgs(const std::vector<std::string>& args) {
  ReduceArgs r;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--sepia") {
      r.sepia = true;
    } else if (a == "--bw") {
      r.bw = true;
    } else if (a == "--exif") {
      r.exif = true;
    } else if (a == "--width" || a == "--height" || a == "--level") {
      const auto v = i + 1 < args.size() ? parseInt(args[i + 1]) : std::nullopt;
      if (!v) {
        std::fprintf(stderr, "sortelia-cli reduce: %s needs a whole number\n", a.c_str());
        return std::nullopt;
      }
      ++i;
      if (a == "--width") {
        r.width = *v;
      } else if (a == "--height") {
        r.height = *v;
      } else {
        r.level = *v;
      }
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "sortelia-cli reduce: unknown option %s\n", a.c_str());
      return std::nullopt;
    } else {
      r.files.push_back(a);
    }
  }
  if (r.files.size() != 2 || !r.width || !r.height) {
    std::fprintf(stderr, "usage: sortelia-cli %s\n", kUsage);
    return std::nullopt;
  }
  if (*r.width < 1 || *r.height < 1) {
    std::fprintf(stderr, "sortelia-cli reduce: width and height must be at least 1 pixel\n");
    return std::nullopt;
  }
  if (r.level < 1 || r.level > 10) {
    std::fprintf(stderr, "sortelia-cli reduce: the level must be between 1 and 10\n");
    return std::nullopt;
  }
  return r;
}

int runReduce(const std::vector<std::string>& args) {
  const auto r = parseArgs(args);
  if (!r) return 2;
  outputs::PictureFiles files;
  files.loadResampled =
      fs::hasExtension(r->files[0], ".ppm") ? loadPpmResampled : loadJpegResampledWithWarning;
  if (fs::hasExtension(r->files[1], ".ppm")) files.save = savePpm;
  outputs::FToFJpgStrchTD(r->files[0], r->files[1],
                          {.sepia = r->sepia, .blackAndWhite = r->bw, .addExif = r->exif},
                          {.width = *r->width, .height = *r->height}, r->level, files);
  return 0;
}

const Registrar registrar{{"reduce", kUsage, runReduce}};

}  // namespace
}  // namespace sortelia::cli

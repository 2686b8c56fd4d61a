#include "outputs/reduce_pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "imaging/color_effects.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_stream.h"
#include "imaging/picture_file.h"
#include "imaging/resample.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/path.h"
#include "platform/safe_copy.h"

namespace sortelia::outputs {
namespace {

// The largest side a JPEG file can declare.
constexpr int kMaxJpegSide = 65535;

void requirePositiveSize(int width, int height) {
  if (width < 1 || height < 1) {
    throw ReductionError("the reduced width and height must be at least 1 pixel (asked for " +
                         std::to_string(width) + " x " + std::to_string(height) + ")");
  }
  if (width > kMaxJpegSide || height > kMaxJpegSide) {
    throw ReductionError("a JPEG picture cannot be wider or taller than 65535 pixels (asked for " +
                         std::to_string(width) + " x " + std::to_string(height) + ")");
  }
}

// Start of the file name within a path (after the last "/").
std::size_t nameStart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

void writeOrThrow(const std::string& file, std::string_view bytes) {
  const fs::FileResult r = fs::writeFileAtomic(file, bytes);
  if (!r.ok()) {
    throw ReductionError("cannot write \"" + r.path + "\": " + std::strerror(r.error));
  }
}

}  // namespace

int jpegQualityForLevel(int level) {
  const long double l = std::clamp(level, 1, 10);
  return static_cast<int>(
      std::trunc(std::sqrt(std::sqrt(l / 0.099L)) * std::numbers::pi_v<long double> * 10));
}

imaging::Bitmap ReduceWithEffects(imaging::Bitmap picture, int width, int height, bool sepia,
                                  bool blackAndWhite) {
  requirePositiveSize(width, height);
  imaging::ResampleBitmap(picture, width, height);
  if (sepia) imaging::ApplySepia(picture);
  if (blackAndWhite) imaging::ApplyBlackAndWhite(picture);
  return picture;
}

std::string encodeJpegAtLevel(const imaging::Bitmap& picture, int level) {
  try {
    return imaging::encodeJpeg(picture, jpegQualityForLevel(level));
  } catch (const std::runtime_error& e) {
    throw ReductionError(e.what());
  }
}

void SaveJpegAtLevel(const imaging::Bitmap& picture, const std::string& file, int level,
                     std::string_view exifSegment) {
  std::string bytes;
  try {
    bytes = encodeJpegAtLevel(picture, level);
  } catch (const ReductionError& e) {
    throw ReductionError("\"" + file + "\": " + e.what());
  }
  bytes.insert(2, exifSegment);
  writeOrThrow(file, bytes);
}

std::string MakeReducedName(const std::string& file, int width, int height, int level, bool sepia) {
  const std::size_t start = nameStart(file);
  const std::string dir = file.substr(0, start);
  const std::size_t dot = file.rfind('.');
  const std::string base =
      file.substr(start, dot == std::string::npos || dot < start ? std::string::npos : dot - start);
  if (sepia) {
    return format("%s%s%s%s-%dx%d-%d.jpg", {dir, "0_", "S_", base, width, height, level});
  }
  return format("%s%s%s-%dx%d-%d.jpg", {dir, "0_", base, width, height, level});
}

imaging::Bitmap loadPictureResampled(const std::string& file, int width, int height) {
  requirePositiveSize(width, height);
  const auto bytes = imaging::readPictureFile(file);
  if (!bytes) throw ReductionError("cannot read \"" + file + "\"");
  imaging::JpegDecodeResult r = imaging::decodePictureResampled(*bytes, width, height);
  if (!r.ok()) throw ReductionError("\"" + file + "\": " + r.error);
  return std::move(r.bitmap);
}

void FToFJpgStrchTD(const std::string& source, const std::string& dest,
                    const ReduceOptions& options, ReduceSize size, int level,
                    const PictureFiles& files) {
  int width = size.width, height = size.height;
  requirePositiveSize(width, height);
  if (options.addExif && files.save) {
    throw ReductionError("\"" + dest + "\": EXIF data can only be added to a JPEG file");
  }
  // The full-size picture would be gone for good.
  if (fs::FileOperations().sameFile(source, dest)) {
    throw ReductionError("\"" + dest +
                         "\" is the picture being reduced; it is not replaced by its reduction");
  }
  exif::TExifInfo info;
  const bool found = info.HasExif(source);
  info.setImageFileName(source);
  // A picture that its EXIF data call landscape stays landscape in a portrait box.
  if (found && info.PixelYDimension < info.PixelXDimension && height > width) {
    std::swap(width, height);
  }
  // Decoding and resampling in one go: the full-size picture is never held in memory.
  imaging::Bitmap reduced = files.loadResampled(source, width, height);
  if (options.sepia) imaging::ApplySepia(reduced);
  if (options.blackAndWhite) imaging::ApplyBlackAndWhite(reduced);
  if (files.save) {
    files.save(reduced, dest, level);
    return;
  }
  std::string bytes;
  try {
    bytes = encodeJpegAtLevel(reduced, level);
  } catch (const ReductionError& e) {
    throw ReductionError("\"" + dest + "\": " + e.what());
  }
  // The EXIF segment goes directly after SOI, with the size the encoded picture declares.
  if (options.addExif) {
    bytes.insert(2, exif::buildExifSegment(info, reduced.width(), reduced.height()));
  }
  writeOrThrow(dest, bytes);
}

std::string reducedPathInFolder(const std::string& source, const std::string& folder, bool sepia) {
  std::string dest = folder;
  if (!dest.empty() && dest.back() != '/') dest += '/';
  dest += sepia ? "0_S_" : "0_";
  dest += source.substr(nameStart(source));
  // The reduced copy of a HEIF or RAW picture is a JPEG: it says so by its name, which stays
  // apart from the reduced copy of a JPEG of the same stem.
  if (!fs::hasExtension(source, ".jpg")) dest += ".jpg";
  return dest;
}

std::string FToFJpgStrch(const std::string& source, const std::string& folder,
                         const ReduceOptions& options, ReduceSize size, int level) {
  std::string dest = reducedPathInFolder(source, folder, options.sepia);
  FToFJpgStrchTD(source, dest, options, size, level);
  return dest;
}

}  // namespace sortelia::outputs

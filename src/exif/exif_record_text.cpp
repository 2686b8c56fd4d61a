#include "exif/exif_record_text.h"

#include "platform/format.h"

namespace sortelia::exif {
namespace {

// Appends "Name: value" lines.
class Lines {
 public:
  explicit Lines(std::string& out) : out_(out) {}
  void text(const char* name, const std::string& v) { line(name, v); }
  void number(const char* name, long long v) { line(name, std::to_string(v)); }
  void rational(const char* name, const TExifRational& r) {
    line(name, r.Text + " " + format("%g", {r.Value}));
  }
  void enumerated(const char* name, const TExifStringValue& v) {
    line(name, std::to_string(v.Value) + " " + v.Text);
  }

 private:
  void line(const char* name, const std::string& v) {
    out_ += name;
    out_ += ": ";
    out_ += v;
    out_ += '\n';
  }
  std::string& out_;
};

}  // namespace

std::string recordText(const TExifInfo& x) {
  std::string out;
  Lines l(out);
  l.text("MotorolaOrder", x.MotorolaOrder ? "true" : "false");
  l.rational("ApertureValue", x.ApertureValue);
  l.rational("BrightnessValue", x.BrightnessValue);
  l.enumerated("ColorSpace", x.ColorSpace);
  l.enumerated("Compression", x.Compression);
  l.rational("CompressedBitsPerPixel", x.CompressedBitsPerPixel);
  l.text("Copyright", x.Copyright);
  l.text("DateTime", x.DateTime);
  l.text("DateTimeDigitized", x.DateTimeDigitized);
  l.text("DateTimeOriginal", x.DateTimeOriginal);
  l.text("ExifVersion", x.ExifVersion);
  l.rational("ExposureBiasValue", x.ExposureBiasValue);
  l.enumerated("ExposureProgram", x.ExposureProgram);
  l.rational("ExposureTime", x.ExposureTime);
  l.enumerated("Flash", x.Flash);
  l.text("FlashpixVersion", x.FlashpixVersion);
  l.rational("FNumber", x.FNumber);
  l.rational("FocalLength", x.FocalLength);
  l.enumerated("FocalPlaneResolutionUnit", x.FocalPlaneResolutionUnit);
  l.rational("FocalPlaneXResolution", x.FocalPlaneXResolution);
  l.rational("FocalPlaneYResolution", x.FocalPlaneYResolution);
  l.text("ImageDescription", x.ImageDescription);
  l.text("ImageFileName", x.ImageFileName());
  l.number("PixelYDimension", x.PixelYDimension);
  l.number("PixelXDimension", x.PixelXDimension);
  l.number("ISOSpeedRatings", x.ISOSpeedRatings);
  l.number("JPEGInterchangeFormat", x.JPEGInterchangeFormat);
  l.number("JPEGInterchangeFormatLength", x.JPEGInterchangeFormatLength);
  l.enumerated("LightSource", x.LightSource);
  l.text("Make", x.Make);
  l.number("MakerNoteSize", x.MakerNoteSize);
  l.number("MakerNoteOffset", x.MakerNoteOffset);
  l.rational("MaxApertureValue", x.MaxApertureValue);
  l.enumerated("MeteringMode", x.MeteringMode);
  l.text("Model", x.Model);
  l.number("Orientation", x.Orientation);
  l.enumerated("PhotometricInterpretation", x.PhotometricInterpretation);
  l.number("PlanarConfiguration", x.PlanarConfiguration);
  l.text("RelatedSoundFile", x.RelatedSoundFile);
  l.enumerated("ResolutionUnit", x.ResolutionUnit);
  l.number("SamplesPerPixel", x.SamplesPerPixel);
  l.number("SearchRange", x.SearchRange);
  l.enumerated("SensingMethod", x.SensingMethod);
  l.rational("ShutterSpeedValue", x.ShutterSpeedValue);
  l.text("Software", x.Software);
  l.rational("SubjectDistance", x.SubjectDistance);
  l.text("SubSecTime", x.SubSecTime);
  l.text("SubSecTimeDigitized", x.SubSecTimeDigitized);
  l.text("SubSecTimeOriginal", x.SubSecTimeOriginal);
  l.number("ImageLength", x.ImageLength);
  l.number("ImageWidth", x.ImageWidth);
  l.number("ThumbOrientation", x.ThumbOrientation);
  l.enumerated("ThumbResolutionUnit", x.ThumbResolutionUnit);
  l.rational("ThumbXResolution", x.ThumbXResolution);
  l.rational("ThumbYResolution", x.ThumbYResolution);
  for (const std::string& item : x.UserComment) l.text("UserComment", item);
  l.rational("XResolution", x.XResolution);
  l.rational("YResolution", x.YResolution);
  return out;
}

}  // namespace sortelia::exif

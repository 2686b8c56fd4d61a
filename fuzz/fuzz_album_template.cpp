// libFuzzer target: an album page template over arbitrary file contents. The template is split
// into its sections and filled in, as the album run does, for a small list of made-up pictures:
// ordinary ones, one with a name full of characters that must be escaped, one with extreme
// numbers, and one whose texts are the first line of the input itself.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "outputs/album/album_template.h"
#include "outputs/album/album_text.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"

namespace {

using sortelia::outputs::album::PictureText;

// The longest text of the input a made-up picture carries; long enough to hold every
// placeholder and escape, short enough that a template repeating [*GEXP*] stays fast.
constexpr std::size_t kPictureTextCap = 256;

std::vector<PictureText> madeUpPictures(std::string_view firstLine) {
  std::vector<PictureText> pictures(4);
  const std::string sourceDir = "/home/user/DCIM/100CANON/";

  PictureText& plain = pictures[0];
  plain.path = sourceDir + "IMG_0001.JPG";
  plain.record.Comment = "Birthday";
  plain.record.CameraMaker = "Canon";
  plain.record.CameraModel = "Canon EOS 40D";
  plain.record.ShotDate = "2008:05:30";
  plain.record.ShotTime = "15:56:01";
  plain.record.Iso = 100;
  plain.record.FlashOn = 1;
  plain.record.Width = 3888;
  plain.record.Height = 2592;
  plain.record.ExposureCode = 1600;
  plain.record.FNumber10 = 71;
  plain.record.ExposureBias10 = -3;
  plain.record.FocalLength10 = 1350;
  plain.record.FileSize = 2'345'678;
  plain.infoText = "Canon EOS 40D\r\n2008.05.30 15:56:01\r\n";

  PictureText& odd = pictures[1];
  odd.path = sourceDir + "家族 #1 <100%> & \"Ann's\".jpg";
  odd.record.Comment = "<script>alert('x')</script> 写真";
  odd.record.CameraMaker = "Ñikon & Co";
  odd.infoText = "a\r\nb\r\n\r\n&<>\"'";
  odd.sepia = true;

  PictureText& extreme = pictures[2];
  extreme.path = "/elsewhere/no_source_dir.jpg";
  extreme.record.Iso = std::numeric_limits<std::int32_t>::min();
  extreme.record.Width = std::numeric_limits<std::int32_t>::max();
  extreme.record.Height = -1;
  extreme.record.ExposureCode = std::numeric_limits<std::int32_t>::max();
  extreme.record.FNumber10 = 255;
  extreme.record.ExposureBias10 = std::numeric_limits<std::int32_t>::min();
  extreme.record.FocalLength10 = std::numeric_limits<std::int32_t>::max();
  extreme.record.FileSize = std::numeric_limits<std::int32_t>::max();

  PictureText& fromInput = pictures[3];
  const std::string text(firstLine.substr(0, kPictureTextCap));
  fromInput.path = sourceDir + text;
  fromInput.record.Comment = text;
  fromInput.record.CameraModel = text;
  fromInput.record.ShotDate = text;
  fromInput.infoText = text;

  for (std::size_t i = 0; i < pictures.size(); ++i) {
    pictures[i].sourceDir = sourceDir;
    pictures[i].number = static_cast<int>(i) + 1;
  }
  return pictures;
}

// A kept section is whole lines, each ended by CR LF.
bool wholeLines(const std::string& section) { return section.empty() || section.ends_with("\r\n"); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace album = sortelia::outputs::album;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // As ReadTemplate reads the file: CP932 or UTF-8, any line ends.
  const std::vector<std::string> lines =
      sortelia::splitLines(sortelia::text::decodeExternal(bytes));
  const album::Template t = album::parseTemplate(lines);
  if (!wholeLines(t.front) || !wholeLines(t.middle) || !wholeLines(t.back)) __builtin_trap();

  const std::string page1 = "/home/user/DCIM/100CANON/0_Box640x480-8/100CANON_1.html";
  const std::string page2 = "/home/user/DCIM/100CANON/0_Box640x480-8/100CANON_2 #.html";
  std::string page = album::pageBytes(album::expandFront(t.front, album::albumTitle(0), page2));
  const bool hasPlaceholders = t.middle.find("[*") != std::string::npos;
  const std::vector<PictureText> pictures = madeUpPictures(lines.empty() ? "" : lines[0]);
  for (const PictureText& picture : pictures) {
    const std::string row = album::ExpandPicture(t.middle, picture);
    // Text without a placeholder is copied as it stands.
    if (!hasPlaceholders && row != t.middle) __builtin_trap();
    page += album::pageBytes(row);
    page += album::pageBytes(album::gridCell(row, picture.number, 3));
  }
  page += album::pageBytes(t.back);
  (void)album::pageBytes(album::expandFront(t.front, "", page1));
  return 0;
}

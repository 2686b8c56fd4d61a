// The page layout of a printed picture: the scale onto the printable page, where the two
// comment lines go and how they are clipped, the text colours, and the file list text.
#pragma once

#include <string>
#include <vector>

#include "exif/photo_info.h"
#include "outputs/browse/thumb_geometry.h"

namespace sortelia::outputs {

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// The size of a w x h picture on a pageWidth x pageHeight page: scaled to the page width when
// the page is proportionally at least as tall as the picture, else to the page height; each
// side rounded to the nearest integer, ties to even.
Size printScale(int w, int h, int pageWidth, int pageHeight);

// A clip rectangle by its edges (right and bottom exclusive).
struct ClipRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const ClipRect&) const = default;
};

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// Where DrawCommentLine puts a line of text in a picture pageHeight pixels high: the white
// text, the coloured text one pixel up and left of it, and the rectangle both are clipped to
// (as wide as the text's length in Shift-JIS bytes times size).
struct CommentLineLayout {
  Point white;
  Point coloured;
  ClipRect clip;
};
CommentLineLayout layoutCommentLine(const std::string& text, bool atTop, int size, int pageHeight);

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  bool operator==(const Rgb&) const = default;
};

// The text colour of ComboBox1's text: "赤" red, "青" blue, "緑" green, anything else red.
Rgb printColour(const std::string& comboText);

// The print window's file list: items separated by commas or white space, each possibly in
// double quotes (a doubled quote inside quotes stands for one quote).
std::vector<std::string> parseFileList(const std::string& list);

// A list of paths as the print window takes it: each path in double quotes (quotes inside
// doubled), CR LF between.
std::string quotedFileList(const std::vector<std::string>& paths);

// The choices of the print window: the parts of the top and bottom comment lines, the text
// size and colour, and whether date and time come from the EXIF data.
struct CommentChoice {
  bool name = false, date = false, time = false, comment = false;
  std::string freeText;
};
struct PrintOptions {
  CommentChoice top, bottom;
  int size = 50;                  // 10..100
  std::string colourText = "赤";  // "赤", "青" or "緑"
  bool exifDateTime = true;
};

// The top and bottom comment lines of a page for the photo record of path.
struct CommentLines {
  std::string top, bottom;
};
CommentLines makeCommentLines(const exif::PhotoRecord& record, const std::string& path,
                              const PrintOptions& options);

}  // namespace sortelia::outputs

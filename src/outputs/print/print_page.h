// The printed page without a toolkit: the picture scaled to the printable page with the two
// comment lines drawn on it (text rendered with FreeType in a font that shows Japanese), and a
// PDF file of such pages for the command line.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/bitmap.h"
#include "outputs/print/print_layout.h"

namespace sortelia::outputs {

// Thrown when a picture cannot be printed (it cannot be decoded, or the font is missing).
class PrintError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The font file the comment lines are drawn in (IPA P Gothic); "" when none is installed.
std::string commentFontPath();

// DrawCommentLine onto a Bgr24 page: the text in white at the layout's place, then in colour
// one pixel up and left, both clipped to the layout's rectangle; the font's em height is size.
void DrawCommentLine(imaging::Bitmap& page, const std::string& text, bool atTop, Rgb colour,
                     int size);

// PrintPicture's page for the picture at path on a printable area of pageWidth x pageHeight
// device pixels: B of the scaled size, to be drawn at the page's top-left corner.
imaging::Bitmap renderPrintPage(const std::string& path, const CommentLines& lines, Rgb colour,
                                int size, int pageWidth, int pageHeight);

// A page for a PDF file: its picture, JPEG-encoded, and the picture's size in pixels.
struct PdfPage {
  std::string jpeg;
  int width = 0;
  int height = 0;
};
PdfPage makePdfPage(const imaging::Bitmap& page);

// Writes pages to a PDF file, one page each of widthPt x heightPt points, each picture at the
// top-left corner at dpi dots per inch. Throws PrintError when the file cannot be written.
void writePdf(const std::string& path, const std::vector<PdfPage>& pages, double widthPt,
              double heightPt, int dpi);

}  // namespace sortelia::outputs

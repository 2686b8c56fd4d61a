#include "outputs/print/print_page.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <sys/stat.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "imaging/jpeg_codec.h"
#include "imaging/picture_file.h"
#include "platform/file_ops.h"

namespace sortelia::outputs {

namespace {

// The Unicode code points of UTF-8 text (a broken sequence gives U+FFFD).
std::u32string codePoints(const std::string& s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    char32_t cp = n == 1 ? c : c & (0x7F >> n);
    for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += n;
  }
  return out;
}

struct FtLibrary {
  FT_Library lib = nullptr;
  FtLibrary() {
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
  }
  ~FtLibrary() {
    if (lib) FT_Done_FreeType(lib);
  }
};

struct FtFace {
  FT_Face face = nullptr;
  ~FtFace() {
    if (face) FT_Done_Face(face);
  }
};

// Draws text with its em box's top-left at (x, y), blending colour by glyph coverage, inside
// the clip rectangle.
void drawText(FT_Face face, imaging::Bitmap& page, const std::u32string& text, int x, int y,
              Rgb colour, const ClipRect& clip) {
  const int left = std::max(clip.left, 0), top = std::max(clip.top, 0);
  const int right = std::min(clip.right, page.width());
  const int bottom = std::min(clip.bottom, page.height());
  const int baseline = y + static_cast<int>(face->size->metrics.ascender >> 6);
  int pen = x;
  for (char32_t cp : text) {
    if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot g = face->glyph;
    const FT_Bitmap& b = g->bitmap;
    for (unsigned row = 0; row < b.rows; ++row) {
      const int py = baseline - g->bitmap_top + static_cast<int>(row);
      if (py < top || py >= bottom) continue;
      const unsigned char* coverage = b.buffer + static_cast<std::ptrdiff_t>(row) * b.pitch;
      for (unsigned col = 0; col < b.width; ++col) {
        const int px = pen + g->bitmap_left + static_cast<int>(col);
        if (px < left || px >= right || coverage[col] == 0) continue;
        std::uint8_t* p = page.row(py) + 3 * px;
        const int a = coverage[col];
        p[0] = static_cast<std::uint8_t>((colour.b * a + p[0] * (255 - a)) / 255);
        p[1] = static_cast<std::uint8_t>((colour.g * a + p[1] * (255 - a)) / 255);
        p[2] = static_cast<std::uint8_t>((colour.r * a + p[2] * (255 - a)) / 255);
      }
    }
    pen += static_cast<int>(g->advance.x >> 6);
  }
}

}  // namespace

std::string commentFontPath() {
  for (const char* p : {"/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf",
                        "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
                        "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf"}) {
    struct stat st {};
    if (::stat(p, &st) == 0) return p;
  }
  return {};
}

void DrawCommentLine(imaging::Bitmap& page, const std::string& text, bool atTop, Rgb colour,
                     int size) {
  if (text.empty() || page.empty()) return;
  const std::string font = commentFontPath();
  if (font.empty()) throw PrintError("no font for the comment lines (fonts-ipafont-gothic)");
  static thread_local FtLibrary library;
  FtFace face;
  if (!library.lib || FT_New_Face(library.lib, font.c_str(), 0, &face.face) != 0 ||
      FT_Set_Pixel_Sizes(face.face, 0, static_cast<FT_UInt>(size)) != 0)
    throw PrintError("cannot load the font \"" + font + "\"");
  const CommentLineLayout l = layoutCommentLine(text, atTop, size, page.height());
  const std::u32string cps = codePoints(text);
  drawText(face.face, page, cps, l.white.x, l.white.y, Rgb{255, 255, 255}, l.clip);
  drawText(face.face, page, cps, l.coloured.x, l.coloured.y, colour, l.clip);
}

imaging::Bitmap renderPrintPage(const std::string& path, const CommentLines& lines, Rgb colour,
                                int size, int pageWidth, int pageHeight) {
  imaging::JpegDecodeResult decoded = imaging::decodePictureFile(path, imaging::JpegScale::Full);
  if (!decoded.ok()) throw PrintError(path + "\r\n" + decoded.error);
  imaging::convertTo24Bit(decoded.bitmap);
  const Size s = printScale(decoded.bitmap.width(), decoded.bitmap.height(), pageWidth, pageHeight);
  imaging::Bitmap page = stretchBitmap(decoded.bitmap, s.width, s.height);
  DrawCommentLine(page, lines.top, true, colour, size);
  DrawCommentLine(page, lines.bottom, false, colour, size);
  return page;
}

PdfPage makePdfPage(const imaging::Bitmap& page) {
  return {imaging::encodeJpeg(page, 95), page.width(), page.height()};
}

void writePdf(const std::string& path, const std::vector<PdfPage>& pages, double widthPt,
              double heightPt, int dpi) {
  std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<std::size_t> offsets;  // of objects 1..n
  auto object = [&](const std::string& body) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
  };
  char number[64];
  auto fmt = [&](double v) {
    std::snprintf(number, sizeof number, "%.3f", v);
    return std::string(number);
  };
  // Objects: 1 catalog, 2 page tree, then per page: page, content, image.
  const int n = static_cast<int>(pages.size());
  object("<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (int i = 0; i < n; ++i) kids += std::to_string(3 + 3 * i) + " 0 R ";
  object("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(n) + " >>");
  for (int i = 0; i < n; ++i) {
    const PdfPage& b = pages[i];
    const double w = b.width * 72.0 / dpi, h = b.height * 72.0 / dpi;
    const std::string content =
        "q " + fmt(w) + " 0 0 " + fmt(h) + " 0 " + fmt(heightPt - h) + " cm /Im0 Do Q";
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + fmt(widthPt) + " " + fmt(heightPt) +
           "] /Resources << /XObject << /Im0 " + std::to_string(5 + 3 * i) +
           " 0 R >> >> /Contents " + std::to_string(4 + 3 * i) + " 0 R >>");
    object("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
           "\nendstream");
    const std::string& jpeg = b.jpeg;
    object("<< /Type /XObject /Subtype /Image /Width " + std::to_string(b.width) + " /Height " +
           std::to_string(b.height) +
           " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode /Length " +
           std::to_string(jpeg.size()) + " >>\nstream\n" + jpeg + "\nendstream");
  }
  const std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
  for (std::size_t o : offsets) {
    std::snprintf(number, sizeof number, "%010zu 00000 n \n", o);
    pdf += number;
  }
  pdf += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  const fs::FileResult r = fs::writeFileAtomic(path, pdf);
  if (!r.ok()) throw PrintError("cannot write \"" + path + "\": " + std::strerror(r.error));
}

}  // namespace sortelia::outputs

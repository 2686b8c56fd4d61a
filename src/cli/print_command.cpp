// sortelia-cli print: the print window's pages written to a PDF file, one A4 portrait page
// (300 dots per inch, no margins) per picture, with the same comment lines, scale and clips.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command.h"
#include "exif/camera_params.h"
#include "exif/photo_info.h"
#include "outputs/print/print_page.h"
#include "platform/file_kinds.h"
#include "platform/file_ops.h"
#include "platform/path.h"

namespace sortelia::cli {
namespace {

constexpr int kDpi = 300;
constexpr double kA4WidthPt = 595.276, kA4HeightPt = 841.89;
// The comment colours as the print window names them, in the order of --colour's choices.
constexpr const char* kColourTexts[] = {"赤", "青", "緑"};

// "name,date,time,comment" (any subset) into a choice; false on an unknown part.
bool parseParts(const std::string& list, outputs::CommentChoice& c) {
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = std::min(list.find(',', start), list.size());
    const std::string part = list.substr(start, end - start);
    if (part == "name")
      c.name = true;
    else if (part == "date")
      c.date = true;
    else if (part == "time")
      c.time = true;
    else if (part == "comment")
      c.comment = true;
    else if (!part.empty())
      return false;
    start = end + 1;
  }
  return true;
}

// Why path cannot be printed before it is even read: empty for a regular file, else what it
// really is (or the look-up's error).
std::string notPrintable(const std::string& path) {
  fs::FileKind kind = fs::FileKind::Other;
  const int error = fs::fileKind(path, kind);
  if (error == ENOENT || error == ENOTDIR) return "no such file";
  if (error != 0) return std::strerror(error);
  switch (kind) {
    case fs::FileKind::Regular:
      return "";
    case fs::FileKind::Directory:
      return "a folder";
    case fs::FileKind::Fifo:
      return "a FIFO";
    case fs::FileKind::Device:
      return "a device";
    case fs::FileKind::Socket:
      return "a socket";
    case fs::FileKind::Other:
      break;
  }
  return "not a regular file";
}

struct PrintArgs {
  outputs::PrintOptions o;
  std::string out;
};

Syntax printSyntax(PrintArgs& a) {
  outputs::PrintOptions& o = a.o;
  return syntaxOf(
      "print",
      {required(textFlag("--pdf", "OUT.pdf", "the PDF file to write", a.out,
                         [](const std::string& v) { return !v.empty(); })),
       textFlag("--top", "name,date,time,comment", "what the top comment line shows",
                [&o](const std::string& v) { return parseParts(v, o.top); }),
       textFlag("--top-text", "TEXT", "a text of its own on the top line", o.top.freeText),
       textFlag("--bottom", "...", "what the bottom comment line shows, as --top",
                [&o](const std::string& v) { return parseParts(v, o.bottom); }),
       textFlag("--bottom-text", "TEXT", "a text of its own on the bottom line", o.bottom.freeText),
       integerFlag("--size", "N", "the height of the comment letters, 10 to 100 (50)", 10, 100,
                   o.size),
       choiceFlag("--colour", "the colour of the comment lines (red)", {"red", "blue", "green"},
                  [&o](std::size_t k) { o.colourText = kColourTexts[k]; }),
       switchFlag("--no-exif-date", "dates and times from the file, not the shooting time",
                  o.exifDateTime, false)},
      "FILE...", 1);
}

int runPrint(const std::vector<std::string>& args) {
  PrintArgs a;
  const auto files = parseOrReport(printSyntax(a), args);
  if (!files) return 2;
  const outputs::PrintOptions& o = a.o;
  const std::string& out = a.out;
  // "--pdf *.jpg" makes the first picture the output: a file of the kinds the program sorts is
  // never replaced by the PDF.
  if (fs::exists(out) && fs::kindOfName(fs::fileNameOf(out))) {
    std::fprintf(stderr,
                 "sortelia-cli print: \"%s\" exists and is named as a picture, a movie or a "
                 "companion file; the PDF is not written over it\n",
                 out.c_str());
    return 1;
  }
  const outputs::Rgb colour = outputs::printColour(o.colourText);
  const int pageWidth = static_cast<int>(kA4WidthPt * kDpi / 72.0);
  const int pageHeight = static_cast<int>(kA4HeightPt * kDpi / 72.0);
  exif::CameraParams params;
  exif::PhotoInfo info;
  std::vector<outputs::PdfPage> pages;
  int status = 0;
  for (const std::string& path : *files) {
    if (const std::string why = notPrintable(path); !why.empty()) {
      // Skipped as the print window skips a file that is gone; the others are printed.
      std::fprintf(stderr, "skipped (%s): %s\n", why.c_str(), path.c_str());
      continue;
    }
    try {
      info.GetPdata(path, exif::kDefaultExifItemMask, params.table[0]);
      const outputs::CommentLines lines = outputs::makeCommentLines(info.record, path, o);
      pages.push_back(outputs::makePdfPage(
          outputs::renderPrintPage(path, lines, colour, o.size, pageWidth, pageHeight)));
    } catch (const std::exception& e) {
      // As in the window, a picture that cannot be printed ends the run; earlier pages stay.
      std::fprintf(stderr, "%s\n", e.what());
      status = 1;
      break;
    }
  }
  if (pages.empty()) {
    std::fprintf(stderr, "sortelia-cli print: no picture could be printed; no PDF written\n");
    return 1;
  }
  try {
    outputs::writePdf(out, pages, kA4WidthPt, kA4HeightPt, kDpi);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "sortelia-cli print: %s\n", e.what());
    return 1;
  }
  std::printf("%zu page(s) written to %s\n", pages.size(), out.c_str());
  return status;
}

const Registrar registrar{declaredCommand(printSyntax, runPrint)};

}  // namespace
}  // namespace sortelia::cli

// sortelia-cli print: the print window's pages written to a PDF file, one A4 portrait page
// (300 dots per inch, no margins) per picture, with the same comment lines, scale and clips.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command.h"
#include "exif/camera_params.h"
#include "exif/photo_info.h"
#include "outputs/print/print_page.h"
#include "platform/file_ops.h"

namespace sortelia::cli {
namespace {

constexpr const char* kUsage =
    "print --pdf OUT.pdf [--top name,date,time,comment] [--top-text TEXT] "
    "[--bottom ...] [--bottom-text TEXT] [--size N] [--colour red|blue|green] "
    "[--no-exif-date] FILE...";
constexpr int kDpi = 300;
constexpr double kA4WidthPt = 595.276, kA4HeightPt = 841.89;

int usage() {
  std::fprintf(stderr, "usage: sortelia-cli %s\n", kUsage);
  return 2;
}

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

int runPrint(const std::vector<std::string>& args) {
  outputs::PrintOptions o;
  std::string out;
  std::vector<std::string> files;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& a = args[k];
    const bool hasValue = k + 1 < args.size();
    if (a == "--pdf" && hasValue) {
      out = args[++k];
    } else if ((a == "--top" || a == "--bottom") && hasValue) {
      if (!parseParts(args[++k], a == "--top" ? o.top : o.bottom)) return usage();
    } else if (a == "--top-text" && hasValue) {
      o.top.freeText = args[++k];
    } else if (a == "--bottom-text" && hasValue) {
      o.bottom.freeText = args[++k];
    } else if (a == "--size" && hasValue) {
      const std::string& v = args[++k];
      int n = 0;
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
      if (ec != std::errc() || end != v.data() + v.size() || n < 10 || n > 100) return usage();
      o.size = n;
    } else if (a == "--colour" && hasValue) {
      const std::string& v = args[++k];
      if (v == "red")
        o.colourText = "赤";
      else if (v == "blue")
        o.colourText = "青";
      else if (v == "green")
        o.colourText = "緑";
      else
        return usage();
    } else if (a == "--no-exif-date") {
      o.exifDateTime = false;
    } else if (a.rfind("--", 0) == 0) {
      return usage();
    } else {
      files.push_back(a);
    }
  }
  if (out.empty() || files.empty()) return usage();

  const outputs::Rgb colour = outputs::PrintColour(o.colourText);
  const int pageWidth = static_cast<int>(kA4WidthPt * kDpi / 72.0);
  const int pageHeight = static_cast<int>(kA4HeightPt * kDpi / 72.0);
  exif::CameraParams params;
  exif::PhotoInfo info;
  std::vector<outputs::PdfPage> pages;
  int status = 0;
  for (const std::string& path : files) {
    if (const std::string why = notPrintable(path); !why.empty()) {
      // Skipped as the print window skips a file that is gone; the others are printed.
      std::fprintf(stderr, "skipped (%s): %s\n", why.c_str(), path.c_str());
      continue;
    }
    try {
      info.GetPdata(path, exif::kDefaultExifItemMask, params.table[0]);
      const outputs::CommentLines lines = outputs::MakeCommentLines(info.record, path, o);
      pages.push_back(outputs::MakePdfPage(
          outputs::RenderPrintPage(path, lines, colour, o.size, pageWidth, pageHeight)));
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
    outputs::WritePdf(out, pages, kA4WidthPt, kA4HeightPt, kDpi);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "sortelia-cli print: %s\n", e.what());
    return 1;
  }
  std::printf("%zu page(s) written to %s\n", pages.size(), out.c_str());
  return status;
}

const Registrar registrar{{"print", kUsage, runPrint, ""}};

}  // namespace
}  // namespace sortelia::cli

// The texts of the album pages: placeholders filled in, text from pictures and file names
// made safe for HTML, links percent-encoded, and the page bytes in CP932.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "exif/photo_info.h"

namespace sortelia::outputs::album {

// text with &, <, >, " and ' written as character references, for HTML text and attributes.
std::string htmlEscape(std::string_view text);

// A path as a URL path: every byte other than ASCII letters, digits, "-", ".", "_", "~" and
// "/" becomes %XX (UTF-8 bytes of other characters included), so blanks, "#", "%", "?" and
// quotes in names still link, and nothing in the result can end an attribute.
std::string urlEncodePath(std::string_view path);

// The bytes of page text (UTF-8) in CP932; a character CP932 lacks becomes a numeric
// character reference ("&#128512;"), a byte that is not UTF-8 becomes "&#65533;".
std::string pageBytes(std::string_view text);

// text with every occurrence of placeholder, in any ASCII letter case, replaced by value;
// the inserted values are not searched again.
std::string replaceIgnoringCase(std::string_view text, std::string_view placeholder,
                                std::string_view value);

// The page title: "Pictures by ZEL[ yyyy/MM/dd H:mm:ss ]" for the local time of now.
std::string albumTitle(std::time_t now);

// The front of a page with [*TTL*] replaced by title, then [*LNK*] by the link to the other
// page (its path, percent-encoded).
std::string expandFront(const std::string& front, const std::string& title,
                        const std::string& otherPage);

// The link from the output folder to the full-size picture: "../" + the part of path after
// sourceDir (sourceDir ends with "/"), percent-encoded. A path outside sourceDir links to its
// full path.
std::string pictureLink(const std::string& sourceDir, const std::string& path);

// The name of the reduced picture in the output folder: "0_" (or "0_S_" with sepia) + the
// file name of path.
std::string sampleName(const std::string& path, bool sepia);

// What one picture's part of the pages is made of.
struct PictureText {
  std::string path;          // the picture's full path
  std::string sourceDir;     // the source folder, ending with "/"
  int number = 0;            // running number, from 1
  bool sepia = false;        // the reduced pictures carry the sepia prefix
  exif::PhotoRecord record;  // GetPdata of the picture
  std::string infoText;      // MakeDspPdat of the picture
};

// ExpandPicture: the middle of a template with the picture placeholders replaced in their
// fixed order ([*GEXP*], [*GLNK*], [*GSMP*], [*NUMBER*], [*CMT*], [*COLTD*], [*MODEL*],
// [*DATE*], [*TIME*], [*ISO*], [*FLASH*], [*WIDE*], [*HEIGHT*], [*SHUTTER*], [*F*], [*EV*],
// [*ZOOM*], [*FSIZE*], [*FNAME*]), each over the whole text so far, in any letter case.
// Texts are HTML-escaped, links percent-encoded.
std::string ExpandPicture(const std::string& middle, const PictureText& picture);

// The grid page's cell for picture n: "<tr>" in front of the first, "</tr><tr>" after every
// one that ends a row of columns.
std::string gridCell(const std::string& expanded, int n, int columns);

// Cells per grid row for a window of windowWidth pixels and pictures of width pixels:
// Trunc((windowWidth - 10) / (width + 5)), at least 1.
int albumColumns(int windowWidth, int width);

}  // namespace sortelia::outputs::album

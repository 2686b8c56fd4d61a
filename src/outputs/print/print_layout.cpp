#include "outputs/print/print_layout.h"

#include <cmath>

#include "exif/comment_line.h"
#include "platform/quoted_text.h"
#include "platform/text_codec.h"

namespace sortelia::outputs {

Size printScale(int w, int h, int pageWidth, int pageHeight) {
  if (w <= 0 || h <= 0 || pageWidth <= 0 || pageHeight <= 0) return {};
  const double scale = static_cast<double>(pageHeight) / pageWidth >= static_cast<double>(h) / w
                           ? static_cast<double>(pageWidth) / w
                           : static_cast<double>(pageHeight) / h;
  // nearbyint rounds in the default mode, to nearest with ties to even.
  return {static_cast<int>(std::nearbyint(w * scale)), static_cast<int>(std::nearbyint(h * scale))};
}

CommentLineLayout layoutCommentLine(const std::string& text, bool atTop, int size, int pageHeight) {
  const int right = static_cast<int>(text::cp932Width(text)) * size + 20;
  if (atTop) return {{20, 20}, {19, 19}, {20, 20, right, size + 21}};
  const int y = pageHeight - size - 20;
  return {{20, y}, {19, y - 1}, {20, y, right, pageHeight - 19}};
}

Rgb printColour(const std::string& comboText) {
  if (comboText == "青") return {0, 0, 255};
  if (comboText == "緑") return {0, 255, 0};
  return {255, 0, 0};
}

std::vector<std::string> parseFileList(const std::string& list) {
  std::vector<std::string> items;
  std::size_t i = 0;
  const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < list.size()) {
    while (i < list.size() && blank(list[i])) ++i;
    if (i >= list.size()) break;
    std::string item;
    if (list[i] == '"') {
      item = text::readQuotedText(list, i);
    } else {
      while (i < list.size() && list[i] != ',' && !blank(list[i])) item += list[i++];
    }
    items.push_back(item);
    while (i < list.size() && blank(list[i])) ++i;
    if (i < list.size() && list[i] == ',') ++i;
  }
  return items;
}

std::string quotedFileList(const std::vector<std::string>& paths) {
  std::string list;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (i > 0) list += "\r\n";
    list += text::quoteText(paths[i]);
  }
  return list;
}

CommentLines makeCommentLines(const exif::PhotoRecord& record, const std::string& path,
                              const PrintOptions& o) {
  const auto line = [&](const CommentChoice& c) {
    return exif::makecmt(record, path, c.name, c.freeText, c.comment, c.time, c.date,
                         o.exifDateTime);
  };
  return {line(o.top), line(o.bottom)};
}

}  // namespace sortelia::outputs

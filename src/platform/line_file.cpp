#include "platform/line_file.h"

#include "platform/text_codec.h"

namespace sortelia {
namespace {

// The UTF-8 byte order mark: the file's text stands behind it as the program holds it.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(current));
      current.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

std::optional<std::vector<std::string>> readTextLines(const std::string& path) {
  auto bytes = fs::readFile(path, kMaxTextFileBytes);
  if (!bytes) return std::nullopt;
  if (bytes->starts_with(kByteOrderMark)) return splitLines(bytes->substr(kByteOrderMark.size()));
  return splitLines(text::decodeExternal(*bytes));
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += lines[i];
  }
  return out;
}

fs::FileResult writeTextLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& line : lines) {
    all += line;
    all += "\r\n";
  }
  // Bytes that are not UTF-8 would make the whole file read as CP932, and every name in it
  // come back as another one.
  const std::string bytes =
      text::isValidUtf8(all) ? text::encodeForFile(all) : std::string(kByteOrderMark) + all;
  return fs::writeFileAtomic(path, bytes, fs::ReadOnlyFile::Replace);
}

}  // namespace sortelia

#include "exif/rotation_mark.h"

#include "platform/text_codec.h"

namespace sortelia::exif {

std::string rotationMarkOf(std::string_view text) {
  for (const char* mark : {"@090:", "@180:", "@270:"}) {
    if (text.starts_with(mark)) return mark;
  }
  return {};
}

void ApplyRotationMark(const std::string& mark, std::string& text) {
  // Everything behind an old mark stays: the comment field shows only its first characters,
  // but a turn changes the mark alone.
  text = mark + text.substr(rotationMarkOf(text).size());
}

std::string withoutRotationMark(std::string_view text) {
  if (rotationMarkOf(text).empty()) return std::string(text);
  return text::firstCharacters(text.substr(5), kMaxCharactersAfterMark);
}

std::string trimText(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t b = 0, e = text.size();
  while (b < e && blank(text[b])) ++b;
  while (e > b && blank(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

std::string keepRotationMark(std::string_view oldComment, std::string_view newText) {
  return rotationMarkOf(oldComment) + trimText(newText);
}

}  // namespace sortelia::exif

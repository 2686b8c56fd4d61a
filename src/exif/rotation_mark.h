// The rotation mark a picture's user comment may start with, and text trimming as the
// comment editor does it.
#pragma once

#include <string>
#include <string_view>

namespace sortelia::exif {

// The most characters of a comment kept behind a rotation mark.
inline constexpr std::size_t kMaxCharactersAfterMark = 512;

// "@090:", "@180:" or "@270:" when text starts with one of them, otherwise "".
std::string rotationMarkOf(std::string_view text);

// Puts mark ("" or one of the three marks) in front of text. When text starts with a mark,
// that mark is replaced and all of the text after it is kept; the empty mark removes an
// existing mark.
void ApplyRotationMark(const std::string& mark, std::string& text);

// The comment behind the rotation mark text starts with (at most kMaxCharactersAfterMark
// characters), or text itself when it has no mark.
std::string withoutRotationMark(std::string_view text);

// text without leading and trailing blanks and control characters (bytes up to " ").
std::string trimText(std::string_view text);

// The single comment line that replaces oldComment when the user types newText: the rotation
// mark oldComment starts with (if any), then newText trimmed at both ends.
std::string keepRotationMark(std::string_view oldComment, std::string_view newText);

}  // namespace sortelia::exif

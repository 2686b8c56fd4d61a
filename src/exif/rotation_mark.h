// The rotation mark a picture's user comment may start with, and text trimming as the
// comment editor does it.
#pragma once

#include <string>
#include <string_view>

namespace sortelia::exif {

// "@090:", "@180:" or "@270:" when text starts with one of them, otherwise "".
std::string rotationMarkOf(std::string_view text);

// text without leading and trailing blanks and control characters (bytes up to " ").
std::string trimText(std::string_view text);

// The single comment line that replaces oldComment when the user types newText: the rotation
// mark oldComment starts with (if any), then newText trimmed at both ends.
std::string keepRotationMark(std::string_view oldComment, std::string_view newText);

}  // namespace sortelia::exif

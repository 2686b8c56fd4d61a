// Texts in double quotes, as the undo journal and the print window's file list keep paths: a
// quote inside the text is doubled, so any path reads back exactly.
#pragma once

#include <cstddef>
#include <string>

namespace sortelia::text {

// The text in double quotes, each quote inside doubled.
std::string quoteText(const std::string& text);

// Reads one quoted text starting at s[i] == '"' and returns it with its doubled quotes made
// single; i ends after the closing quote, or at the end of s when the quote is never closed.
std::string readQuotedText(const std::string& s, std::size_t& i);

}  // namespace sortelia::text

#include "platform/quoted_text.h"

namespace sortelia::text {

std::string quoteText(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::string readQuotedText(const std::string& s, std::size_t& i) {
  std::string item;
  ++i;
  while (i < s.size()) {
    if (s[i] == '"') {
      if (i + 1 < s.size() && s[i + 1] == '"') {
        item += '"';
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    item += s[i++];
  }
  return item;
}

}  // namespace sortelia::text

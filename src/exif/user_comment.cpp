// DecodeUserComment: the character code of an EXIF user comment and its text.
#include <cstdint>
#include <string>
#include <string_view>

#include "exif/exif_info.h"
#include "platform/text_codec.h"

namespace sortelia::exif {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kShiftOut = 0x0E;
constexpr unsigned char kShiftIn = 0x0F;

// One JIS X 0208 character (two 7-bit bytes) as its two Shift-JIS bytes.
void appendShiftJis(std::string& out, int j1, int j2) {
  int s2 = (j1 % 2 != 0) ? j2 + 31 : j2 + 126;
  if (s2 >= 127 && s2 <= 157) ++s2;
  const int half = (j1 - 33) / 2;
  const int s1 = half + (half > 30 ? 193 : 129);
  out += static_cast<char>(s1 & 0xFF);
  out += static_cast<char>(s2 & 0xFF);
}

// ISO-2022-JP bytes to Shift-JIS bytes. Escape sequences switch between one-byte text and
// two-byte JIS X 0208 pairs; SO and SI switch half-width katakana (JIS X 0201) on and off.
std::string jisToShiftJis(std::string_view in) {
  std::string out;
  bool twoByte = false;
  bool katakana = false;
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(in[k]); };
  while (i < in.size()) {
    const unsigned char c = at(i);
    if (c == kEsc) {
      if (i + 1 >= in.size()) break;
      const unsigned char n = at(i + 1);
      if (n == 0x24) {  // ESC $ B, ESC $ @, ESC $ ( D
        i += 2;
        if (i < in.size() && at(i) == 0x28) ++i;
        i += 1;
        twoByte = true;
      } else if (n == 0x26) {  // ESC & @ ESC $ B
        i += 6;
        twoByte = true;
      } else if (n == 0x28) {  // ESC ( B, ESC ( J
        i += 3;
        twoByte = false;
      } else {
        i += 1;
      }
      continue;
    }
    if (c == kShiftOut || c == kShiftIn) {
      katakana = c == kShiftOut;
      ++i;
      continue;
    }
    if (twoByte) {
      if (i + 1 >= in.size()) break;
      appendShiftJis(out, c, at(i + 1));
      i += 2;
      continue;
    }
    out += static_cast<char>(katakana && c >= 0x21 && c <= 0x5F ? c + 0x80 : c);
    ++i;
  }
  return out;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-16 code units in the file's byte order to UTF-8; an unpaired surrogate becomes U+FFFD,
// an odd trailing byte is ignored.
std::string utf16ToUtf8(std::string_view in, bool bigEndian) {
  std::string out;
  const auto unit = [&](std::size_t k) -> std::uint32_t {
    const auto a = static_cast<unsigned char>(in[2 * k]);
    const auto b = static_cast<unsigned char>(in[2 * k + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  const std::size_t n = in.size() / 2;
  for (std::size_t k = 0; k < n; ++k) {
    std::uint32_t u = unit(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < n && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00);
      ++k;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = 0xFFFD;
    }
    if (u != 0) appendUtf8(out, u);
  }
  return out;
}

std::string withoutNul(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (char c : in) {
    if (c != 0) out += c;
  }
  return out;
}

}  // namespace

std::string DecodeUserComment(std::string_view bytes, bool motorolaOrder) {
  const std::string code = text::asciiLower(withoutNul(bytes.substr(0, 8)));
  const std::string_view rest = bytes.size() > 8 ? bytes.substr(8) : std::string_view();
  if (code == "ascii") return text::decodeExternal(withoutNul(rest));
  if (code == "unicode") return utf16ToUtf8(rest, motorolaOrder);
  if (code == "jis") return withoutNul(text::fromCp932(jisToShiftJis(rest)));
  return {};
}

}  // namespace sortelia::exif

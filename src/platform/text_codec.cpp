#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>

namespace sortelia::text {
namespace {

// iconv descriptor owned for the length of one conversion.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Decodes one UTF-8 character at s[i]; returns its code point or -1 when malformed.
long decodeOne(std::string_view s, std::size_t i, std::size_t* len) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = utf8SequenceLength(c);
  *len = 1;
  if (c < 0x80) return c;
  if (n == 1 || i + n > s.size()) return -1;
  long cp = c & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    const auto cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (cc & 0x3F);
  }
  static const long kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  *len = n;
  return cp;
}

}  // namespace

std::size_t utf8SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

bool isValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::size_t len = 0;
    if (decodeOne(bytes, i, &len) < 0) return false;
    i += len;
  }
  return true;
}

std::string escapeInvalidUtf8(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::size_t len = 0;
    if (decodeOne(bytes, i, &len) < 0) {
      const auto c = static_cast<unsigned char>(bytes[i]);
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out.append(bytes.substr(i, len));
    }
    i += len;
  }
  return out;
}

std::string fromCp932(std::string_view bytes) {
  std::string out;
  Converter conv("UTF-8", "CP932");
  if (!conv.ok()) return std::string(bytes);
  out.reserve(bytes.size() * 3 / 2 + 4);
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char buf[4096];
  while (inLeft > 0) {
    char* o = buf;
    std::size_t oLeft = sizeof buf;
    std::size_t r = iconv(conv.get(), &in, &inLeft, &o, &oLeft);
    out.append(buf, o - buf);
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // Undefined or truncated sequence: mark it and go on with the next byte.
      out.append("\xEF\xBF\xBD");
      ++in;
      --inLeft;
      iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

std::optional<std::string> toCp932(std::string_view utf8) {
  if (!isValidUtf8(utf8)) return std::nullopt;
  Converter conv("CP932", "UTF-8");
  if (!conv.ok()) return std::nullopt;
  std::string out;
  out.reserve(utf8.size());
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char buf[4096];
  while (inLeft > 0) {
    char* o = buf;
    std::size_t oLeft = sizeof buf;
    std::size_t r = iconv(conv.get(), &in, &inLeft, &o, &oLeft);
    out.append(buf, o - buf);
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return std::nullopt;
  }
  return out;
}

std::string decodeExternal(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  return fromCp932(bytes);
}

std::string encodeForFile(std::string_view utf8) {
  if (auto sjis = toCp932(utf8); sjis && fromCp932(*sjis) == utf8) return *sjis;
  return std::string(utf8);
}

std::string firstCharacters(std::string_view utf8, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t count = 0; i < utf8.size() && count < n; ++count) {
    std::size_t len = 0;
    decodeOne(utf8, i, &len);
    i += len;
  }
  return std::string(utf8.substr(0, i));
}

std::size_t cp932Width(std::string_view utf8) {
  std::size_t width = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t len = 0;
    long cp = decodeOne(utf8, i, &len);
    width += (cp >= 0 && (cp < 0x80 || (cp >= 0xFF61 && cp <= 0xFF9F))) ? 1 : 2;
    i += len;
  }
  return width;
}

std::string cutToCp932Width(std::string_view utf8, std::size_t maxWidth) {
  std::size_t width = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t len = 0;
    long cp = decodeOne(utf8, i, &len);
    std::size_t w = (cp >= 0 && (cp < 0x80 || (cp >= 0xFF61 && cp <= 0xFF9F))) ? 1 : 2;
    if (width + w > maxWidth) break;
    width += w;
    i += len;
  }
  return std::string(utf8.substr(0, i));
}

std::string asciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace sortelia::text

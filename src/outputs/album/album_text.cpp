#include "outputs/album/album_text.h"

#include <cstdio>

#include "platform/format.h"
#include "platform/path.h"
#include "platform/text_codec.h"

namespace sortelia::outputs::album {
namespace {

bool isUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

// The code point of the UTF-8 sequence of length len at s; -1 when it is not valid UTF-8.
long codePointOf(std::string_view s) {
  if (!text::isValidUtf8(s)) return -1;
  const auto c = static_cast<unsigned char>(s[0]);
  if (s.size() == 1) return c;
  long cp = c & (0x7F >> s.size());
  for (std::size_t k = 1; k < s.size(); ++k) cp = (cp << 6) | (s[k] & 0x3F);
  return cp;
}

// One character at a time: CP932 where it has a form, a character reference where not.
std::string pageBytesByCharacter(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    std::size_t len = text::utf8SequenceLength(c);
    if (i + len > text.size()) len = 1;
    const std::string_view one = text.substr(i, len);
    const long cp = len > 1 ? codePointOf(one) : -1;
    if (cp < 0) {
      out += "&#65533;";
      ++i;
      continue;
    }
    if (const auto sjis = text::toCp932(one)) {
      out += *sjis;
    } else {
      out += "&#" + std::to_string(cp) + ";";
    }
    i += len;
  }
  return out;
}

// A number over ten in the shortest decimal form ("2.8", "4", "-0.3").
std::string tenths(long long v) { return format("%g", {static_cast<double>(v) / 10.0}); }

}  // namespace

std::string htmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string urlEncodePath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if (isUnreserved(c) || c == '/') {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

std::string pageBytes(std::string_view text) {
  if (auto sjis = text::toCp932(text)) return std::move(*sjis);
  return pageBytesByCharacter(text);
}

std::string replaceIgnoringCase(std::string_view text, std::string_view placeholder,
                                std::string_view value) {
  if (placeholder.empty()) return std::string(text);
  const std::string lowerText = text::asciiLower(text);
  const std::string lowerPlaceholder = text::asciiLower(placeholder);
  std::string out;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = lowerText.find(lowerPlaceholder, from);
    if (at == std::string::npos) break;
    out.append(text, from, at - from);
    out += value;
    from = at + placeholder.size();
  }
  out.append(text, from);
  return out;
}

std::string albumTitle(std::time_t now) {
  std::tm tm{};
  if (!::localtime_r(&now, &tm)) return "Pictures by ZEL[  ]";
  char when[64];
  std::snprintf(when, sizeof when, "%04d/%02d/%02d %d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return format("Pictures by ZEL[ %s ]", {std::string(when)});
}

std::string expandFront(const std::string& front, const std::string& title,
                        const std::string& otherPage) {
  const std::string text = replaceIgnoringCase(front, "[*TTL*]", htmlEscape(title));
  return replaceIgnoringCase(text, "[*LNK*]", urlEncodePath(otherPage));
}

std::string pictureLink(const std::string& sourceDir, const std::string& path) {
  if (!sourceDir.empty() && path.starts_with(sourceDir)) {
    return "../" + urlEncodePath(std::string_view(path).substr(sourceDir.size()));
  }
  return urlEncodePath(path);
}

std::string sampleName(const std::string& path, bool sepia) {
  return (sepia ? "0_S_" : "0_") + fs::fileNameOf(path);
}

std::string ExpandPicture(const std::string& middle, const PictureText& p) {
  const exif::PhotoRecord& r = p.record;
  std::string info = htmlEscape(p.infoText);
  info = replaceIgnoringCase(info, "\r\n", "</br>\r\n");
  std::string date = r.ShotDate;
  for (char& c : date) {
    if (c == ':') c = '.';
  }
  const std::pair<const char*, std::string> values[] = {
      {"[*GEXP*]", info},
      {"[*GLNK*]", pictureLink(p.sourceDir, p.path)},
      {"[*GSMP*]", urlEncodePath(sampleName(p.path, p.sepia))},
      {"[*NUMBER*]", std::to_string(p.number)},
      {"[*CMT*]", htmlEscape(r.Comment)},
      {"[*COLTD*]", htmlEscape(r.CameraMaker)},
      {"[*MODEL*]", htmlEscape(r.CameraModel)},
      {"[*DATE*]", htmlEscape(date)},
      {"[*TIME*]", htmlEscape(r.ShotTime)},
      {"[*ISO*]", std::to_string(r.Iso)},
      {"[*FLASH*]", r.FlashOn != 0 ? "ON" : "OFF"},
      {"[*WIDE*]", std::to_string(r.Width)},
      {"[*HEIGHT*]", std::to_string(r.Height)},
      {"[*SHUTTER*]", htmlEscape(exif::ret_shutter(r.ExposureCode))},
      {"[*F*]", tenths(r.FNumber10)},
      {"[*EV*]", tenths(r.ExposureBias10)},
      {"[*ZOOM*]", tenths(r.FocalLength10)},
      {"[*FSIZE*]", std::to_string(roundHalfEven(r.FileSize / 1024.0)) + " KB"},
      {"[*FNAME*]", htmlEscape(fs::fileNameOf(p.path))},
  };
  std::string text = middle;
  for (const auto& [placeholder, value] : values) {
    text = replaceIgnoringCase(text, placeholder, value);
  }
  return text;
}

std::string gridCell(const std::string& expanded, int n, int columns) {
  std::string text = n == 1 ? "<tr>" + expanded : expanded;
  if (columns <= 1 || n % columns == 0) text += "</tr><tr>";
  return text;
}

int albumColumns(int windowWidth, int width) {
  if (width + 5 <= 0) return 1;
  const int columns = (windowWidth - 10) / (width + 5);
  return columns < 1 ? 1 : columns;
}

}  // namespace sortelia::outputs::album

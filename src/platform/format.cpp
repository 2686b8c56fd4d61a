#include "platform/format.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "platform/text_codec.h"

namespace sortelia {
namespace {

// A finite non-negative value as decimal digits: value = 0.digits * 10^exponent.
struct Decimal {
  std::string digits;  // no leading zero unless the value is zero ("0")
  int exponent = 0;
};

Decimal toDecimal(double v) {
  Decimal d;
  if (v == 0) {
    d.digits = "0";
    d.exponent = 1;
    return d;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17e", v);  // d.ddddddddddddddddde[+-]xx
  std::string s(buf);
  const auto e = s.find('e');
  d.digits = s.substr(0, 1) + s.substr(2, e - 2);
  d.exponent = std::stoi(s.substr(e + 1)) + 1;
  return d;
}

// Keeps the first keep digits, rounding half away from zero on the digit after them.
void roundTo(Decimal& d, int keep) {
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits = "0";
    d.exponent = 1;
    return;
  }
  const bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
      ++d.digits[i];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  if (d.digits.empty()) {
    d.digits = "0";
    d.exponent = 1;
  }
}

bool isZero(const Decimal& d) { return d.digits.find_first_not_of('0') == std::string::npos; }

char digitAt(const Decimal& d, int i) {
  return (i >= 0 && i < static_cast<int>(d.digits.size())) ? d.digits[i] : '0';
}

std::string groupThousands(const std::string& intPart) {
  std::string out;
  const int n = static_cast<int>(intPart.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out.push_back(',');
    out.push_back(intPart[i]);
  }
  return out;
}

std::string fixedText(double v, int decimals, bool thousands) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  Decimal d = toDecimal(std::fabs(v));
  roundTo(d, d.exponent + decimals);
  std::string intPart;
  for (int i = 0; i < d.exponent; ++i) intPart.push_back(digitAt(d, i));
  if (intPart.empty()) intPart = "0";
  std::string out = thousands ? groupThousands(intPart) : intPart;
  if (decimals > 0) {
    out.push_back('.');
    for (int i = 0; i < decimals; ++i) out.push_back(digitAt(d, d.exponent + i));
  }
  if (v < 0 && !isZero(d)) out.insert(out.begin(), '-');
  return out;
}

std::string exponentText(int e, int minDigits, bool plusSign) {
  std::string out = "E";
  if (e < 0) {
    out.push_back('-');
  } else if (plusSign) {
    out.push_back('+');
  }
  std::string n = std::to_string(e < 0 ? -e : e);
  while (static_cast<int>(n.size()) < minDigits) n.insert(n.begin(), '0');
  return out + n;
}

std::string scientificText(double v, int precision) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  Decimal d = toDecimal(std::fabs(v));
  roundTo(d, precision);
  std::string out(1, digitAt(d, 0));
  out.push_back('.');
  for (int i = 1; i < precision; ++i) out.push_back(digitAt(d, i));
  out += exponentText(isZero(d) ? 0 : d.exponent - 1, 3, true);
  if (v < 0 && !isZero(d)) out.insert(out.begin(), '-');
  return out;
}

std::string generalText(double v, int precision) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  Decimal d = toDecimal(std::fabs(v));
  roundTo(d, precision);
  if (isZero(d)) return "0";
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  const int n = static_cast<int>(d.digits.size());
  std::string out;
  const bool fixed = d.exponent <= precision && d.exponent >= -4;  // >= 0.00001
  if (fixed) {
    if (d.exponent <= 0) {
      out = "0." + std::string(-d.exponent, '0') + d.digits;
    } else {
      for (int i = 0; i < d.exponent; ++i) out.push_back(digitAt(d, i));
      if (n > d.exponent) out += "." + d.digits.substr(d.exponent);
    }
  } else {
    out = d.digits.substr(0, 1);
    if (n > 1) out += "." + d.digits.substr(1);
    out += exponentText(d.exponent - 1, 0, false);
  }
  if (v < 0) out.insert(out.begin(), '-');
  return out;
}

std::string integerText(std::int64_t v, int precision, bool hex) {
  const bool neg = v < 0 && !hex;
  std::uint64_t mag = neg ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  char buf[32];
  std::snprintf(buf, sizeof buf, hex ? "%llX" : "%llu", static_cast<unsigned long long>(mag));
  std::string digits(buf);
  while (static_cast<int>(digits.size()) < precision) digits.insert(digits.begin(), '0');
  return neg ? "-" + digits : digits;
}

[[noreturn]] void fail(std::string_view fmt, const char* why) {
  throw std::invalid_argument(std::string("format \"") + std::string(fmt) + "\": " + why);
}

}  // namespace

std::string formatFixed(double v, int decimals) { return fixedText(v, decimals, false); }

std::int64_t roundHalfEven(double v) { return static_cast<std::int64_t>(std::nearbyint(v)); }

std::string format(std::string_view fmt, std::initializer_list<FormatArg> args) {
  std::vector<const FormatArg*> list;
  for (const auto& a : args) list.push_back(&a);
  std::size_t next = 0;
  std::string out;
  std::size_t i = 0;
  while (i < fmt.size()) {
    const char c = fmt[i++];
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    if (i < fmt.size() && fmt[i] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    bool left = false;
    if (i < fmt.size() && fmt[i] == '-') {
      left = true;
      ++i;
    }
    int width = 0;
    while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') width = width * 10 + (fmt[i++] - '0');
    int precision = -1;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      precision = 0;
      while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
        precision = precision * 10 + (fmt[i++] - '0');
      }
    }
    if (i >= fmt.size()) fail(fmt, "directive without type");
    const char type = static_cast<char>(fmt[i++] | 0x20);  // types are case-insensitive
    if (next >= list.size()) fail(fmt, "missing argument");
    const auto& value = list[next++]->value();
    std::string text;
    const auto* iv = std::get_if<std::int64_t>(&value);
    const auto* dv = std::get_if<double>(&value);
    const auto* sv = std::get_if<std::string>(&value);
    switch (type) {
      case 'd':
      case 'u':
      case 'x':
        if (!iv) fail(fmt, "integer directive needs an integer");
        text = integerText(*iv, precision, type == 'x');
        break;
      case 's':
        if (!sv) fail(fmt, "%s needs a text");
        text = precision >= 0 ? text::cutToCp932Width(*sv, precision) : *sv;
        break;
      case 'f':
      case 'n':
      case 'e':
      case 'g': {
        if (!iv && !dv) fail(fmt, "float directive needs a number");
        const double v = dv ? *dv : static_cast<double>(*iv);
        if (type == 'f') text = fixedText(v, precision < 0 ? 2 : precision, false);
        if (type == 'n') text = fixedText(v, precision < 0 ? 2 : precision, true);
        if (type == 'e') text = scientificText(v, precision < 0 ? 15 : std::max(precision, 1));
        if (type == 'g') text = generalText(v, precision < 0 ? 15 : precision);
        break;
      }
      default:
        fail(fmt, "unknown directive");
    }
    const std::size_t w = text::cp932Width(text);
    if (static_cast<std::size_t>(width) > w) {
      const std::string pad(width - w, ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}

}  // namespace sortelia

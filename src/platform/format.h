// The program's Format: printf-like directives with the semantics the program's texts rely on.
//
//   %[-][width][.prec]type   type: d u x s f n e g %
//   d, u   integer; prec = minimum digits (zero padded)
//   x      upper-case hexadecimal; prec = minimum digits ("%0.4x" of 10 -> "000A")
//   s      text; prec = maximum CP932 width; width pads by CP932 width ("%-23s")
//   f, n   fixed point, prec decimals (default 2), halves rounded away from zero;
//          n adds "," thousands separators ("%.0n" of 1234567 -> "1,234,567")
//   e      scientific, prec significant digits (default 15), exponent "E+000"
//   g      general, prec significant digits (default 15): fixed when the value has at most
//          prec integer digits and is at least 0.00001, else scientific ("1E20"); trailing
//          zeros and a bare decimal point are dropped
// A directive whose type does not match its argument, or a missing argument, throws
// std::invalid_argument: that is a programming error, never outside input.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace sortelia {

class FormatArg {
 public:
  FormatArg(int v) : v_(static_cast<std::int64_t>(v)) {}
  FormatArg(long v) : v_(static_cast<std::int64_t>(v)) {}
  FormatArg(long long v) : v_(static_cast<std::int64_t>(v)) {}
  FormatArg(unsigned v) : v_(static_cast<std::int64_t>(v)) {}
  FormatArg(unsigned long v) : v_(static_cast<std::int64_t>(v)) {}
  FormatArg(unsigned long long v) : v_(static_cast<std::int64_t>(v)) {}
  FormatArg(double v) : v_(v) {}
  FormatArg(long double v) : v_(static_cast<double>(v)) {}
  FormatArg(const char* v) : v_(std::string(v)) {}
  FormatArg(std::string v) : v_(std::move(v)) {}
  FormatArg(std::string_view v) : v_(std::string(v)) {}

  const std::variant<std::int64_t, double, std::string>& value() const { return v_; }

 private:
  std::variant<std::int64_t, double, std::string> v_;
};

// Formats fmt with args as described above.
std::string format(std::string_view fmt, std::initializer_list<FormatArg> args);

// Fixed-point text of v with decimals digits after the point, halves away from zero.
std::string formatFixed(double v, int decimals);

// Round with ties to even, as the program's Round does.
std::int64_t roundHalfEven(double v);

}  // namespace sortelia

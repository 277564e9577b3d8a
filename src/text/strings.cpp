#include "text/strings.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zr {

namespace {

constexpr int kSignificantDigits = 15;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The standard text form of a value: 15 significant digits, a blank in front
// of a non-negative value and "-" in front of a negative one, no "0" before
// the point below 1, no trailing zeros, no point for whole numbers, "0" alone
// for zero. Magnitudes below 1E-04 and from 1E+15 up are written in exponent
// form (mantissa, "E", the exponent's sign, at least two digits).
std::string StandardText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : " Inf";
  if (value == 0) return "0";
  // "%.14e" gives d.dddddddddddddde[+-]xx: exactly 15 significant digits,
  // rounded, and the decimal exponent after that rounding.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, std::fabs(value));
  std::string formatted(buffer);
  std::size_t e_pos = formatted.find('e');
  std::string digits;
  for (std::size_t i = 0; i < e_pos; ++i) {
    if (IsDigit(formatted[i])) digits += formatted[i];
  }
  int exponent = std::atoi(formatted.c_str() + e_pos + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text = value < 0 ? "-" : " ";
  if (exponent < -4 || exponent >= kSignificantDigits) {
    text += digits[0];
    if (digits.size() > 1) {
      text += '.';
      text.append(digits, 1);
    }
    text += exponent < 0 ? "E-" : "E+";
    if (std::abs(exponent) < 10) text += '0';  // at least two exponent digits
    return text + std::to_string(std::abs(exponent));
  }
  if (exponent < 0) {
    return text + "." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  std::size_t integer_digits = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= integer_digits) {
    return text + digits + std::string(integer_digits - digits.size(), '0');
  }
  return text + digits.substr(0, integer_digits) + "." + digits.substr(integer_digits);
}

// Rewrites an exponent-form text (sign position, mantissa, "E", exponent)
// in plain decimals, keeping the sign position in front. A negative exponent
// gives "-0." and zeros before the mantissa's digits (the "-" is the sign
// position that the split removes again for a positive value); a positive
// one gives the mantissa's digits followed by zeros.
std::string RewriteExponentForm(const std::string& text) {
  std::size_t e_pos = text.find('E');
  if (e_pos == std::string::npos) return text;
  int exponent = static_cast<std::int16_t>(ParseNumber(text.substr(e_pos + 1)));
  std::string mantissa_digits;
  for (std::size_t i = 0; i < e_pos; ++i) {
    if (IsDigit(text[i])) mantissa_digits += text[i];
  }
  if (mantissa_digits.empty()) return text;
  if (exponent < 0) {
    return "-0." + std::string(static_cast<std::size_t>(std::abs(exponent + 1)), '0') +
           mantissa_digits;
  }
  std::size_t integer_digits = static_cast<std::size_t>(exponent) + 1;
  std::string sign_position = text.substr(0, 1);
  if (mantissa_digits.size() <= integer_digits) {
    return sign_position + mantissa_digits +
           std::string(integer_digits - mantissa_digits.size(), '0');
  }
  return sign_position + mantissa_digits.substr(0, integer_digits) + "." +
         mantissa_digits.substr(integer_digits);
}

// Reads a double from a clean "digits[.digits][e[-]digits]" text; 0 when it
// cannot. An overflow keeps the value read before the exponent, an
// underflow gives 0.
double ReadClean(const std::string& mantissa, const std::string& exponent) {
  std::string whole = exponent.empty() ? mantissa : mantissa + "e" + exponent;
  double value = 0;
  auto result = std::from_chars(whole.data(), whole.data() + whole.size(), value);
  if (result.ec == std::errc()) return value;
  if (!exponent.empty() && exponent[0] == '-') return 0;
  if (!exponent.empty()) {
    result = std::from_chars(mantissa.data(), mantissa.data() + mantissa.size(), value);
    if (result.ec == std::errc()) return value;
  }
  return 0;
}

// Length in bytes of the UTF-8 character that starts at `text[0]`.
std::size_t FirstCharacterLength(const std::string& text) {
  if (text.empty()) return 0;
  std::size_t length = 1;
  while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    ++length;
  }
  return length;
}

std::string TrimSpaces(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string NumberToText(double value, std::int16_t width, std::int16_t decimals) {
  const std::size_t pad_width = static_cast<std::size_t>(std::abs(static_cast<int>(width)));
  const char pad = width > 0 ? ' ' : '0';
  const std::size_t places = static_cast<std::size_t>(std::abs(static_cast<int>(decimals)));

  std::string text = StandardText(value);
  // Nudge: one unit of the next decimal place is added when the text shows
  // more decimals than asked for (always for a negative decimals). This is
  // not a rounding; the cut below truncates.
  std::size_t point = text.find('.');
  if (point != std::string::npos &&
      (decimals < 0 || text.size() - point - 1 > static_cast<std::size_t>(decimals))) {
    value += std::pow(10.0, -static_cast<double>(places + 1));
    text = StandardText(value);
  }
  text = RewriteExponentForm(text);

  point = text.find('.');
  std::string integer_part = text.substr(0, point);
  std::string fraction =
      point == std::string::npos ? std::string(".") : text.substr(point, places + 1);
  if (value > 0 && !integer_part.empty()) integer_part.erase(0, 1);
  if (integer_part.empty() || integer_part == "-") integer_part.push_back('0');
  if (integer_part.size() < pad_width) {
    integer_part.insert(0, pad_width - integer_part.size(), pad);
  }

  if (decimals > 0) {
    while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
    if (fraction == ".") fraction.clear();
  } else if (decimals == 0) {
    fraction.clear();
  } else if (fraction.size() < places + 1) {
    fraction.append(places + 1 - fraction.size(), '0');
  }
  return integer_part + fraction;
}

double ParseNumber(const std::string& text) {
  std::string work = TrimSpaces(text);
  for (char& c : work) {
    if (c == ',') c = '.';
  }
  if (work.empty() || work == ".") return 0;

  std::size_t i = 0;
  auto skip_spaces = [&] {
    while (i < work.size() && work[i] == ' ') ++i;
  };
  bool negative = false;
  if (i < work.size() && (work[i] == '-' || work[i] == '+')) {
    negative = work[i] == '-';
    ++i;
  }
  std::string mantissa;
  bool seen_point = false;
  bool seen_digit = false;
  for (;; ++i) {
    skip_spaces();
    if (i >= work.size()) break;
    char c = work[i];
    if (IsDigit(c)) {
      mantissa += c;
      seen_digit = true;
    } else if (c == '.' && !seen_point) {
      mantissa += c;
      seen_point = true;
    } else {
      break;
    }
  }
  if (!seen_digit) return 0;
  if (mantissa.back() == '.') mantissa.pop_back();
  if (mantissa.front() == '.') mantissa.insert(mantissa.begin(), '0');

  std::string exponent;
  if (i < work.size() && (work[i] == 'E' || work[i] == 'e' || work[i] == 'D' || work[i] == 'd')) {
    ++i;
    skip_spaces();
    std::string sign;
    if (i < work.size() && (work[i] == '-' || work[i] == '+')) {
      if (work[i] == '-') sign = "-";
      ++i;
    }
    std::string exponent_digits;
    for (;; ++i) {
      skip_spaces();
      if (i >= work.size() || !IsDigit(work[i])) break;
      exponent_digits += work[i];
    }
    if (!exponent_digits.empty()) exponent = sign + exponent_digits;
  }
  double value = ReadClean(mantissa, exponent);
  return negative ? -value : value;
}

std::string ReplaceAll(const std::string& text, std::string find, std::string replacement,
                       ReplaceForm form) {
  if (form == ReplaceForm::kFirstCharacter) {
    find = find.substr(0, FirstCharacterLength(find));
    replacement = replacement.substr(0, FirstCharacterLength(replacement));
  } else {
    find = TrimSpaces(find);
    replacement = TrimSpaces(replacement);
  }
  if (find.empty()) return text;
  // One pass from left to right: the search goes on after the inserted
  // replacement, so a replacement holding the find text cannot loop.
  std::string result;
  std::size_t from = 0;
  for (std::size_t pos = text.find(find); pos != std::string::npos; pos = text.find(find, from)) {
    result.append(text, from, pos - from);
    result += replacement;
    from = pos + find.size();
  }
  result.append(text, from, std::string::npos);
  return result;
}

std::string SetTrailingBackslash(std::string path, bool with) {
  if (with) {
    if (path.empty() || path.back() != '\\') path += '\\';
  } else if (!path.empty() && path.back() == '\\') {
    path.pop_back();
  }
  return path;
}

std::string TrimLeadingBlanks(const std::string& text) {
  std::size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  return text.substr(first);
}

std::string TrimTrailingBlanks(const std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

std::string TrimBlanks(const std::string& text) {
  return TrimLeadingBlanks(TrimTrailingBlanks(text));
}

std::string CutAtNul(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string ToUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string ToLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace zr

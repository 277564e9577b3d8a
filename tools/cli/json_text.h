// A JSON text of a string, for the commands that print one JSON document.
#ifndef ZARIREVO_TOOLS_CLI_JSON_TEXT_H_
#define ZARIREVO_TOOLS_CLI_JSON_TEXT_H_

#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace zr::cli {

/// `text` (UTF-8) quoted, with '"', '\' and control characters escaped.
inline std::string Json(const std::string& text) {
  std::string result = "\"";
  for (char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      result += '\\';
      result += c;
    } else if (code < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
      result += escaped;
    } else {
      result += c;
    }
  }
  return result + "\"";
}

/// "2003-06-05", or "" for no date.
inline std::string DateText(const Date& date) {
  if (date.year == 0) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year % 10000, date.month % 100,
                date.day % 100);
  return text;
}

}  // namespace zr::cli

#endif  // ZARIREVO_TOOLS_CLI_JSON_TEXT_H_

// A JSON text of a string, for the commands that print one JSON document.
#ifndef ZARIREVO_TOOLS_CLI_JSON_TEXT_H_
#define ZARIREVO_TOOLS_CLI_JSON_TEXT_H_

#include <cstdio>
#include <string>

#include "app/operation_report.h"
#include "platform/platform.h"

namespace zr::cli {

/// `text` (UTF-8) quoted, with '"', '\' and control characters escaped:
/// the same JSON string as the operations' reports give.
inline std::string Json(const std::string& text) { return JsonString(text); }

/// The host form of a Windows path, "" when its drive is not mapped.
inline std::string HostPathOf(Platform& platform, const std::string& windows) {
  std::string host;
  IgnoreStatus(platform.ToHostPath(windows, &host), "an unmapped drive has no host path");
  return host;
}

/// `"key":"C:\\X","key_host":"/host/x"`, as the operations' reports give a path.
inline std::string PathJson(const std::string& key, const std::string& windows,
                            Platform& platform) {
  return JsonPathMembers(key, windows,
                         [&platform](const std::string& path) { return HostPathOf(platform, path); });
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

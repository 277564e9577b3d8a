#include "platform/host_clock.h"

#include <chrono>
#include <cstdlib>
#include <ctime>

namespace zr {

Date HostToday() {
  Date today;
  const char* fixed = std::getenv("ZARIREVO_TODAY");
  if (fixed != nullptr && ParseIsoDate(fixed, &today.year, &today.month, &today.day)) {
    return today;
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  today.year = local.tm_year + 1900;
  today.month = local.tm_mon + 1;
  today.day = local.tm_mday;
  return today;
}

std::string HostEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace zr

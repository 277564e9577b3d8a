// Today's date and the environment on Windows (see host_clock.h).
#include <windows.h>

#include "platform/host_clock.h"
#include "platform/win32_text.h"

namespace zr {

Date HostToday() {
  Date today;
  if (ParseIsoDate(HostEnvironment("ZARIREVO_TODAY"), &today.year, &today.month, &today.day)) {
    return today;
  }
  SYSTEMTIME local{};
  ::GetLocalTime(&local);
  return {local.wYear, local.wMonth, local.wDay};
}

std::string HostEnvironment(const char* name) {
  const std::wstring wide_name = win32::Widen(name);
  const DWORD size = ::GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(wide_name.c_str(), value.data(), size);
  value.resize(length < size ? length : 0);
  return win32::Narrow(value);
}

}  // namespace zr

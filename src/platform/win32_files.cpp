// Whether a host file can be read, on Windows (see host_files.h).
#include <windows.h>

#include "platform/host_files.h"
#include "platform/win32_text.h"

namespace zr::host {

std::string ReadRefusal(const std::string& host_path) {
  HANDLE handle = ::CreateFileW(win32::Widen(host_path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  DWORD error = ERROR_SUCCESS;
  if (handle == INVALID_HANDLE_VALUE) {
    error = ::GetLastError();
  } else {
    // A range locked by its program (LockFileEx) refuses the read itself.
    char byte;
    DWORD got = 0;
    if (!::ReadFile(handle, &byte, 1, &got, nullptr)) error = ::GetLastError();
    ::CloseHandle(handle);
  }
  if (error == ERROR_SUCCESS) return "";
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    return "in use by another program";
  }
  return error == ERROR_ACCESS_DENIED ? "access denied" : "Windows error " + std::to_string(error);
}

}  // namespace zr::host

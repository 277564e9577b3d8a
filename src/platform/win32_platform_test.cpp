// The Win32 platform in a temporary world of its own: two drives mapped to
// folders below the host's temporary folder, removed at the end.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/host_platform.h"
#include "platform/platform.h"
#include "platform/win32_text.h"

namespace zr {
namespace {

using win32::Narrow;
using win32::Widen;

class Win32PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    const DWORD length = ::GetTempPathW(MAX_PATH, temp);
    // Wine gives small process numbers that come back: the tick count keeps
    // the folder apart from one an earlier run may have left.
    root_ = Narrow({temp, length}) + "zrwin-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(::GetTickCount64());
    for (const std::string& folder : {root_, root_ + "\\a", root_ + "\\c"}) {
      ASSERT_TRUE(::CreateDirectoryW(Widen(folder).c_str(), nullptr)) << folder;
    }
    DriveMap map;
    map.drives['A'] = root_ + "\\a";
    map.drives['C'] = root_ + "\\c\\";
    platform_ = CreateHostPlatform(map);
  }

  void TearDown() override { Remove(Widen(root_)); }

  static void Remove(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(path);
        } else {
          ::DeleteFileW(path.c_str());
        }
      } while (::FindNextFileW(find, &data));
      ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
  }

  std::string root_;
  std::unique_ptr<Platform> platform_;
};

// A file another program holds open without sharing: in use, not read-only.
TEST_F(Win32PlatformTest, AFileHeldByAnotherProgramIsInUse) {
  ASSERT_TRUE(platform_->WriteFile("C:\\X.TXT", "x").ok());
  HANDLE held = ::CreateFileW(Widen(root_ + "\\c\\X.TXT").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string bytes;
  EXPECT_EQ(platform_->ReadFile("C:\\X.TXT", &bytes).error, kErrFileInUse);
  EXPECT_EQ(platform_->CopyFile("C:\\X.TXT", "A:\\X.TXT").error, kErrFileInUse);
  ::CloseHandle(held);
  // A map written with "/" finds the host paths the system gives back.
  DriveMap slashes;
  slashes.drives['C'] = root_ + "/c/";
  EXPECT_EQ(CreateHostPlatform(slashes)->FromHostPath(root_ + "\\c\\X.TXT"), "C:\\X.TXT");
}

TEST_F(Win32PlatformTest, RunStartsAProgramOfTheWorldAndGivesItsExitCode) {
  wchar_t system[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring cmd = std::wstring(system, length) + L"\\cmd.exe";
  ASSERT_TRUE(::CopyFileW(cmd.c_str(), Widen(root_ + "\\c\\CMD.EXE").c_str(), TRUE));
  int code = -1;
  ASSERT_TRUE(platform_->Run("C:\\cmd /c exit 3", &code).ok());
  EXPECT_EQ(code, 3);
  EXPECT_EQ(platform_->Run("C:\\NONE /c exit 3", &code).error, kErrFileNotFound);
  EXPECT_EQ(platform_->Run("D:\\CMD", &code).error, kErrDiskNotReady);
}

}  // namespace
}  // namespace zr

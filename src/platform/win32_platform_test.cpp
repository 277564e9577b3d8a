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
    map.drives['M'] = root_ + "\\missing";
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

  std::vector<std::string> Names(const std::string& pattern) {
    std::vector<FolderEntry> entries;
    EXPECT_TRUE(platform_->List(pattern, ListKind::kFilesAndFolders, &entries).ok()) << pattern;
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries) names.push_back(entry.name);
    return names;
  }

  std::string root_;
  std::unique_ptr<Platform> platform_;
};

TEST_F(Win32PlatformTest, MissingThingsGiveTheRunTimeNumbers) {
  ASSERT_TRUE(platform_->CreateFolder("C:\\FULL").ok());
  ASSERT_TRUE(platform_->WriteFile("C:\\FULL\\X.TXT", "x").ok());
  unsigned attributes = 0;
  struct Case {
    const char* path;
    int error;
  };
  for (const Case& c :
       {Case{"C:\\NONE.TXT", kErrFileNotFound}, Case{"C:\\NODIR\\NONE.TXT", kErrPathNotFound},
        Case{"D:\\X.TXT", kErrDiskNotReady}, Case{"M:\\X.TXT", kErrDiskNotReady}}) {
    EXPECT_EQ(platform_->GetAttributes(c.path, &attributes).error, c.error) << c.path;
    std::string bytes;
    EXPECT_EQ(platform_->ReadFile(c.path, &bytes).error, c.error) << c.path;
  }
  EXPECT_EQ(platform_->CreateFolder("C:\\full").error, kErrPathFileAccess);
  EXPECT_EQ(platform_->CreateFolder("C:\\NODIR\\SUB").error, kErrPathNotFound);
  EXPECT_EQ(platform_->RemoveFolder("C:\\FULL").error, kErrPathFileAccess);
  EXPECT_EQ(platform_->WriteFile("C:\\NODIR\\X.TXT", "x").error, kErrPathNotFound);
  EXPECT_EQ(platform_->CopyFile("C:\\FULL\\X.TXT", "C:\\NODIR\\X.TXT").error, kErrPathNotFound);
  EXPECT_EQ(platform_->DeleteFile("C:\\FULL").error, kErrPathFileAccess);
  std::vector<FolderEntry> entries;
  EXPECT_EQ(platform_->List("C:\\NODIR\\*", ListKind::kFilesOnly, &entries).error,
            kErrPathNotFound);
  EXPECT_EQ(platform_->List("D:\\*", ListKind::kFilesOnly, &entries).error, kErrDiskNotReady);
  // A file another program holds open without sharing: in use, not read-only.
  HANDLE held = ::CreateFileW(Widen(root_ + "\\c\\FULL\\X.TXT").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string bytes;
  EXPECT_EQ(platform_->ReadFile("C:\\FULL\\X.TXT", &bytes).error, kErrFileInUse);
  EXPECT_EQ(platform_->CopyFile("C:\\FULL\\X.TXT", "A:\\X.TXT").error, kErrFileInUse);
  ::CloseHandle(held);
}

TEST_F(Win32PlatformTest, NamesAreUtf8AndListingsFollowOurWildcardRule) {
  ASSERT_TRUE(platform_->WriteFile("C:\\CAFFÈ.TXT", "caffè").ok());
  ASSERT_TRUE(platform_->WriteFile("C:\\b.txt", "b").ok());
  ASSERT_TRUE(platform_->WriteFile("C:\\NOTE", "n").ok());
  ASSERT_TRUE(platform_->WriteFile("C:\\SECRET.TXT", "s").ok());
  ASSERT_TRUE(platform_->SetAttributes("C:\\SECRET.TXT", kAttrHidden).ok());
  ASSERT_TRUE(platform_->CreateFolder("C:\\DIR").ok());
  std::string bytes;
  ASSERT_TRUE(platform_->ReadFile("c:\\caffè.txt", &bytes).ok());
  EXPECT_EQ(bytes, "caffè");
  EXPECT_EQ(Names("C:\\*.TXT"), (std::vector<std::string>{"b.txt", "CAFFÈ.TXT"}));
  EXPECT_EQ(Names("C:\\*"), (std::vector<std::string>{"b.txt", "CAFFÈ.TXT", "DIR", "NOTE"}));
  EXPECT_EQ(Names("C:\\NOTE.*"), (std::vector<std::string>{"NOTE"}));
  EXPECT_EQ(Names("C:\\*."), (std::vector<std::string>{"DIR", "NOTE"}));
  std::vector<FolderEntry> files;
  ASSERT_TRUE(platform_->List("C:\\*", ListKind::kFilesOnly, &files).ok());
  EXPECT_EQ(files.size(), 3u);
}

TEST_F(Win32PlatformTest, ReadOnlyIsRefusedAndCopiesReplaceWhole) {
  ASSERT_TRUE(platform_->WriteFile("C:\\SRC.TXT", "new").ok());
  ASSERT_TRUE(platform_->AppendFile("C:\\SRC.TXT", "er").ok());
  ASSERT_TRUE(platform_->WriteFile("A:\\OLD.TXT", "old").ok());
  ASSERT_TRUE(platform_->SetAttributes("A:\\OLD.TXT", kAttrReadOnly).ok());
  unsigned attributes = 0;
  ASSERT_TRUE(platform_->GetAttributes("A:\\OLD.TXT", &attributes).ok());
  EXPECT_EQ(attributes, kAttrReadOnly);
  EXPECT_EQ(platform_->DeleteFile("A:\\OLD.TXT").error, kErrPermissionDenied);
  EXPECT_EQ(platform_->WriteFile("A:\\OLD.TXT", "x").error, kErrPermissionDenied);
  EXPECT_EQ(platform_->CopyFile("C:\\SRC.TXT", "A:\\OLD.TXT").error, kErrPermissionDenied);
  EXPECT_EQ(platform_->RenameFile("C:\\SRC.TXT", "A:\\OLD.TXT").error, kErrPermissionDenied);
  EXPECT_EQ(platform_->CopyFile("C:\\SRC.TXT", "C:\\src.txt").error, kErrPathFileAccess);
  ASSERT_TRUE(platform_->SetAttributes("A:\\OLD.TXT", kAttrNormal).ok());
  ASSERT_TRUE(platform_->CopyFile("C:\\SRC.TXT", "A:\\OLD.TXT").ok());
  std::string bytes;
  ASSERT_TRUE(platform_->ReadFile("A:\\OLD.TXT", &bytes).ok());
  EXPECT_EQ(bytes, "newer");
  EXPECT_EQ(Names("A:\\*"), (std::vector<std::string>{"OLD.TXT"}));  // no temporary left
  ASSERT_TRUE(platform_->RenameFile("C:\\SRC.TXT", "A:\\OLD.TXT").ok());
  EXPECT_EQ(Names("C:\\*"), std::vector<std::string>{});
  ASSERT_TRUE(platform_->DeleteFile("A:\\OLD.TXT").ok());
}

TEST_F(Win32PlatformTest, PlacesFoldersAndHostPathsGoThroughTheMap) {
  ASSERT_TRUE(platform_->CreateFolder("C:\\KY").ok());
  ASSERT_TRUE(platform_->ChangeFolder("c:\\ky").ok());
  EXPECT_EQ(platform_->CurrentFolder(), "c:\\ky");
  EXPECT_EQ(platform_->ChangeFolder("C:\\NONE").error, kErrPathNotFound);
  ASSERT_TRUE(platform_->WriteFile("REL.TXT", "r").ok());
  EXPECT_TRUE(FileExists(*platform_, "C:\\KY\\REL.TXT"));
  std::string host;
  ASSERT_TRUE(platform_->ToHostPath("C:\\KY\\REL.TXT", &host).ok());
  EXPECT_EQ(platform_->FromHostPath(host), "C:\\KY\\REL.TXT");
  EXPECT_EQ(platform_->FromHostPath(root_ + "\\elsewhere"), "");
  EXPECT_EQ(PlaceOf(*platform_, "C:\\KY\\NEW\\X", "c:\\ky"), Placement::kBelow);
  EXPECT_EQ(PlaceOf(*platform_, "C:\\KY", "C:\\ky\\"), Placement::kSame);
  EXPECT_EQ(PlaceOf(*platform_, "A:\\KY", "C:\\KY"), Placement::kApart);
  // A map written with "/" finds the host paths the system gives back.
  DriveMap slashes;
  slashes.drives['C'] = root_ + "/c/";
  EXPECT_EQ(CreateHostPlatform(slashes)->FromHostPath(root_ + "\\c\\KY"), "C:\\KY");
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

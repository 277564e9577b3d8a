#include "tests/test_world.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "platform/host_portable.h"

namespace fs = std::filesystem;

namespace zr::testing {

namespace {

// A fresh folder below the temporary folder, made by this call alone.
std::string MakeTempRoot() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = base / ("zarirevo-test-" + std::to_string(random() % 1000000000));
    if (fs::create_directory(candidate)) return host::FsText(candidate);
  }
  throw std::runtime_error("test world: no fresh temporary folder");
}

}  // namespace

TestWorld::TestWorld()
    : TestWorld([](Platform& platform, UserInterface& ui) {
        return std::make_shared<Session>(platform, ui);
      }) {}

TestWorld::TestWorld(const SessionMaker& make) : root_(MakeTempRoot()) {
  for (char letter : {'A', 'C', 'D'}) {
    std::string folder = root_ + "/" + static_cast<char>(letter - 'A' + 'a');
    fs::create_directories(host::FsPath(folder));
    map_.drives[letter] = folder;
  }
  map_.unc_root = root_ + "/unc";
  fs::create_directories(host::FsPath(map_.unc_root));
  map_.windows_folder = "C:\\WINDOWS";
  fs::create_directories(host::FsPath(root_ + "/c/WINDOWS"));
  platform_ = CreateHostPlatform(map_);
  if (!platform_->ChangeFolder("C:\\").ok()) throw std::runtime_error("test world: no C:\\");
  session_ = make(*platform_, ui_);
}

TestWorld::~TestWorld() {
  session_.reset();
  platform_.reset();
  std::error_code ignored;
  // Files made read-only by a test must not stop the clean-up.
  for (auto it = fs::recursive_directory_iterator(host::FsPath(root_), ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (!it->is_symlink()) {
      fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(host::FsPath(root_), ignored);
}

std::string TestWorld::HostShown(const std::string& windows_path, bool json) {
  std::string host;
  if (!platform_->ToHostPath(windows_path, &host).ok()) {
    throw std::invalid_argument("TestWorld::HostShown: no host path for " + windows_path);
  }
  if (!json) return host;
  std::string escaped;
  for (char c : host) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return escaped;
}

std::string TestWorld::Host(const std::string& windows_path) const {
  std::string p = windows_path;
  std::replace(p.begin(), p.end(), '\\', '/');
  if (p.rfind("//", 0) == 0) return map_.unc_root + "/" + p.substr(2);
  if (p.size() >= 2 && p[1] == ':') {
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])));
    auto it = map_.drives.find(letter);
    std::string base = it != map_.drives.end() ? it->second : root_ + "/unmapped";
    std::string rest = p.substr(2);
    if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
    return rest.empty() ? base : base + "/" + rest;
  }
  throw std::invalid_argument("TestWorld::Host needs a full path: " + windows_path);
}

void TestWorld::WriteFile(const std::string& windows_path, const std::string& bytes) {
  fs::path host = host::FsPath(Host(windows_path));
  fs::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void TestWorld::WriteLines(const std::string& windows_path, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  WriteFile(windows_path, bytes);
}

void TestWorld::MakeFolder(const std::string& windows_path) {
  fs::create_directories(host::FsPath(Host(windows_path)));
}

bool TestWorld::Exists(const std::string& windows_path) const {
  std::error_code ec;
  return fs::exists(fs::symlink_status(host::FsPath(Host(windows_path)), ec));
}

std::string TestWorld::ReadFile(const std::string& windows_path) const {
  std::ifstream in(host::FsPath(Host(windows_path)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void TestWorld::RemoveDrive(char letter) {
  std::error_code ignored;
  fs::remove_all(host::FsPath(map_.drives.at(letter)), ignored);
}

void TestWorld::RestoreDrive(char letter) {
  fs::create_directories(host::FsPath(map_.drives.at(letter)));
}

bool TestWorld::MakeLink(const std::string& windows_target, const std::string& windows_link) {
  const fs::path target = host::FsPath(Host(windows_target));
  const fs::path link = host::FsPath(Host(windows_link));
  std::error_code ec;
  if (fs::is_directory(target, ec)) {
    fs::create_directory_symlink(target, link, ec);
  } else {
    fs::create_symlink(target, link, ec);
  }
  return !ec && fs::is_symlink(link, ec);
}

std::vector<std::string> TestWorld::Tree(const std::string& windows_folder) const {
  std::vector<std::string> files;
  fs::path base = host::FsPath(Host(windows_folder));
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(base, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file()) {
      files.push_back(host::FsText(fs::relative(it->path(), base).generic_u8string()));
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string TestWorld::ArchiverBinary() {
#ifdef ZARIREVO_ARCHIVER_BINARY
  return ZARIREVO_ARCHIVER_BINARY;
#else
  const char* dir = std::getenv("ZARIREVO_BINARY_DIR");
  std::string base = dir ? dir : ".";
  return base + "/tools/pkzip25/pkzip25";
#endif
}

void TestWorld::InstallArchiver(const std::string& windows_path) {
  fs::path host = host::FsPath(Host(windows_path));
  fs::create_directories(host.parent_path());
  fs::copy_file(ArchiverBinary(), host, fs::copy_options::overwrite_existing);
  fs::permissions(host, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
}

std::vector<std::string> ArchiveEntries(const std::string& host_archive) {
  std::vector<std::string> names;
  int error = 0;
  zip_t* archive = zip_open(host_archive.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) return names;
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    if (const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW)) {
      names.emplace_back(name);
    }
  }
  zip_discard(archive);
  return names;
}

void WriteArchive(const std::string& host_archive,
                  const std::vector<std::pair<std::string, std::string>>& entries, bool stored) {
  std::filesystem::create_directories(host::FsPath(host_archive).parent_path());
  int error = 0;
  zip_t* archive = zip_open(host_archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) throw std::runtime_error("WriteArchive: cannot create " + host_archive);
  for (const auto& [given, bytes] : entries) {
    const bool link = given.starts_with("link:");
    const std::string name = link ? given.substr(5) : given;
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) throw std::runtime_error("WriteArchive: cannot add " + name);
    if (stored)
      zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    if (link) {
      zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                       0120777u << 16);
    }
  }
  if (zip_close(archive) != 0)
    throw std::runtime_error("WriteArchive: cannot write " + host_archive);
}

bool FlipEntryByte(const std::string& host_archive, const std::string& entry) {
  std::fstream file(host_archive, std::ios::in | std::ios::out | std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // The entry's local header: signature, then its name at 30, its data after
  // the name and the extra field.
  for (std::size_t at = bytes.find("PK\x03\x04"); at != std::string::npos;
       at = bytes.find("PK\x03\x04", at + 4)) {
    const auto word = [&](std::size_t offset) {
      return static_cast<unsigned char>(bytes[at + offset]) |
             static_cast<unsigned char>(bytes[at + offset + 1]) << 8;
    };
    const std::size_t name_length = word(26), extra_length = word(28);
    if (bytes.compare(at + 30, name_length, entry) != 0) continue;
    const std::size_t data = at + 30 + name_length + extra_length;
    file.seekp(static_cast<std::streamoff>(data));
    file.put(static_cast<char>(bytes[data] ^ 0x55));
    return static_cast<bool>(file);
  }
  return false;
}

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value != nullptr ? value : "");
#else
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
#endif
}

}  // namespace zr::testing

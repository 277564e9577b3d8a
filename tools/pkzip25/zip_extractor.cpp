#include "zip_extractor.h"

#include <archive.h>
#include <archive_entry.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#ifdef _WIN32
#include <direct.h>
#include <windows.h>

#include "platform/win32_text.h"
#else
#include <iconv.h>
#endif

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

#include "entry_names.h"
#include "platform/host_paths.h"
#include "platform/host_portable.h"

namespace pkzip {

namespace {

namespace fs = std::filesystem;

struct ReadFree {
  void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteFree {
  void operator()(archive* a) const { archive_write_free(a); }
};

#ifdef _WIN32
// Windows has no lstat and no link mode bits: a reparse point (symbolic link,
// junction) is taken as a link, as lstat takes one on POSIX.
constexpr unsigned short kLinkMode = 0xA000;
bool S_ISLNK(unsigned short mode) { return (mode & S_IFMT) == kLinkMode; }
int lstat(const char* path, struct stat* info) {
  const DWORD attributes = ::GetFileAttributesW(zr::win32::Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return -1;
  *info = {};
  info->st_mode = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? kLinkMode
                  : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0   ? S_IFDIR
                                                                   : S_IFREG;
  return 0;
}
#endif

std::string ErrorOf(archive* a) {
  const char* text = archive_error_string(a);
  return text != nullptr ? text : "unknown error";
}

bool IsValidUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80                     ? 1
                          : (lead >= 0xC2 && lead < 0xE0) ? 2
                          : (lead >= 0xE0 && lead < 0xF0) ? 3
                          : (lead >= 0xF0 && lead < 0xF5) ? 4
                                                          : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

// A name that is not UTF-8 comes from a DOS-era archiver, which wrote names
// in the OEM code page: 850 on Italian machines.
#ifdef _WIN32
// Windows: libarchive decodes the names without the UTF-8 flag itself, in
// the code page given to it (850, see ExtractArchive), and keeps no bytes.
// Those bytes are the name in 850 again; when they are UTF-8 after all, the
// name is taken as UTF-8, as on the other hosts. A name that 850 cannot hold
// had the flag.
std::string EntryName(archive_entry* entry) {
  const wchar_t* wide = archive_entry_pathname_w(entry);
  if (wide == nullptr) return {};
  const std::string name = zr::win32::Narrow(wide);
  if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) return name;
  BOOL lost = FALSE;
  const int length =
      ::WideCharToMultiByte(850, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0, nullptr, &lost);
  if (length <= 1 || lost) return name;
  std::string bytes(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(850, WC_NO_BEST_FIT_CHARS, wide, -1, bytes.data(), length, nullptr, &lost);
  bytes.pop_back();  // the terminating zero
  return !lost && IsValidUtf8(bytes) ? bytes : name;
}
#else
// Unconvertible bytes become "_".
std::string OemToUtf8(const std::string& raw) {
  iconv_t cd = iconv_open("UTF-8", "CP850");
  if (cd == reinterpret_cast<iconv_t>(-1)) return raw;
  std::string out;
  for (char c : raw) {
    char in_byte = c;
    char buffer[8];
    char* in_ptr = &in_byte;
    char* out_ptr = buffer;
    size_t in_left = 1;
    size_t out_left = sizeof(buffer);
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1)) {
      out += '_';
    } else {
      out.append(buffer, static_cast<size_t>(out_ptr - buffer));
    }
  }
  iconv_close(cd);
  return out;
}

std::string EntryName(archive_entry* entry) {
  const char* utf8 = archive_entry_pathname_utf8(entry);
  const char* raw = utf8 != nullptr ? utf8 : archive_entry_pathname(entry);
  std::string name = raw != nullptr ? raw : "";
  if (!IsValidUtf8(name)) name = OemToUtf8(name);
  return name;
}
#endif

// Works in the destination folder while alive, so that the names handed to
// libarchive are relative (its absolute-path guard stays on), and returns to
// the previous working folder afterwards.
#ifdef _WIN32
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& folder) {
    if (wchar_t* current = ::_wgetcwd(nullptr, 0)) {
      previous_ = current;
      std::free(current);
      entered_ = ::_wchdir(zr::win32::Widen(folder).c_str()) == 0;
    }
  }
  ~WorkingFolder() {
    if (entered_ && ::_wchdir(previous_.c_str()) != 0) {
      // Nothing left to do: the program ends right after the extraction.
    }
  }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;
  bool entered() const { return entered_; }

 private:
  std::wstring previous_;
  bool entered_ = false;
};
#else
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& folder) : previous_(open(".", O_RDONLY | O_DIRECTORY)) {
    entered_ = previous_ >= 0 && chdir(folder.c_str()) == 0;
  }
  ~WorkingFolder() {
    if (previous_ >= 0) {
      if (entered_ && fchdir(previous_) != 0) {
        // Nothing left to do: the program ends right after the extraction.
      }
      close(previous_);
    }
  }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;
  bool entered() const { return entered_; }

 private:
  int previous_;
  bool entered_ = false;
};
#endif

// What the folders of the destination hold, each learnt by one scan when an
// entry first reaches it and kept true across the extraction's own creates
// and removals. Names are matched as the platform matches them: the exact
// name first, else the smallest in byte order among those equal without
// regard to case. Folders are keyed by their path relative to the
// destination ("" for the destination itself), which is the working folder.
class NameMemory {
 public:
  enum class Kind { kFolder, kLink, kOther };
  struct Found {
    std::string name;
    Kind kind;
  };

  std::optional<Found> Find(const std::string& folder, const std::string& name) {
    Folder& known = Load(folder);
    auto exact = known.kinds.find(name);
    if (exact != known.kinds.end()) return Found{name, exact->second};
    auto folded = known.folded.find(zr::FoldCase(name));
    if (folded == known.folded.end() || folded->second.empty()) return std::nullopt;
    const std::string& host = *folded->second.begin();
    return Found{host, known.kinds.at(host)};
  }
  void Add(const std::string& folder, const std::string& name, Kind kind) {
    Folder& known = Load(folder);
    if (known.kinds.emplace(name, kind).second) {
      known.folded[zr::FoldCase(name)].insert(name);
    }
  }
  void Remove(const std::string& folder, const std::string& name) {
    auto it = folders_.find(folder);
    if (it == folders_.end() || it->second.kinds.erase(name) == 0) return;
    it->second.folded[zr::FoldCase(name)].erase(name);
  }

 private:
  struct Folder {
    std::unordered_map<std::string, Kind> kinds;                    // host name -> kind
    std::unordered_map<std::string, std::set<std::string>> folded;  // folded -> host names
  };

  Folder& Load(const std::string& folder) {
    auto [it, fresh] = folders_.try_emplace(folder);
    if (!fresh) return it->second;
    // A folder that cannot be read is taken as empty: the names are then
    // created as given, and the write reports what goes wrong.
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return it->second;
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
#ifdef _WIN32
      Kind kind = Kind::kOther;  // no entry types in a Windows listing
      const bool unknown = true;
#else
      Kind kind = entry->d_type == DT_DIR   ? Kind::kFolder
                  : entry->d_type == DT_LNK ? Kind::kLink
                                            : Kind::kOther;
      const bool unknown = entry->d_type == DT_UNKNOWN;
#endif
      if (unknown) {
        struct stat info {};
        const std::string path = folder.empty() ? name : folder + "/" + name;
        if (lstat(path.c_str(), &info) == 0) {
          kind = S_ISDIR(info.st_mode)   ? Kind::kFolder
                 : S_ISLNK(info.st_mode) ? Kind::kLink
                                         : Kind::kOther;
        }
      }
      it->second.kinds.emplace(name, kind);
      it->second.folded[zr::FoldCase(name)].insert(name);
    }
    closedir(dir);
    return it->second;
  }

  std::unordered_map<std::string, Folder> folders_;
};

std::string JoinRelative(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

// The path of an entry relative to the destination, with existing folders
// and files matched without regard to case; `existing` receives how many of
// its leading components are already there. Refuses a component on the way
// that is a symbolic link.
bool RelativeHostPath(NameMemory& memory, const std::vector<std::string>& parts,
                      std::string* relative, size_t* existing, std::string* reason) {
  relative->clear();
  *existing = 0;
  bool searching = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string name = parts[i];
    if (searching) {
      std::optional<NameMemory::Found> found = memory.Find(*relative, name);
      const bool last = i + 1 == parts.size();
      if (found && found->kind == NameMemory::Kind::kLink) {
        *reason = "would land outside the destination through a symbolic link";
        return false;
      }
      if (found && (last || found->kind == NameMemory::Kind::kFolder)) {
        name = found->name;
        ++*existing;
      } else {
        searching = false;
      }
    }
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
      *reason = "would land outside the destination";
      return false;
    }
    // What the memory says exists must be on the disk as it says: a real
    // folder on the way (or the file itself), never a link that leads elsewhere.
    *relative = JoinRelative(*relative, name);
    struct stat info {};
    if (searching && lstat(relative->c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
      *reason = "would land outside the destination through a symbolic link";
      return false;
    }
  }
  return true;
}

// Copies the data of the current entry; false with `reason` on damage.
// `fatal` is set when the archive cannot be read any further; `over` when
// the bytes written would pass `*budget` (what is left of the bound).
bool CopyData(archive* in, archive* out, uint64_t* budget, std::string* reason, bool* fatal,
              bool* over) {
  for (;;) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    const int status = archive_read_data_block(in, &block, &size, &offset);
    if (status == ARCHIVE_EOF) return true;
    if (status != ARCHIVE_OK) {  // a warning here is a CRC mismatch
      *reason = "damaged data: " + ErrorOf(in);
      *fatal = status == ARCHIVE_FATAL;
      return false;
    }
    if (size > *budget) {
      *over = true;
      return false;
    }
    *budget -= size;
    if (archive_write_data_block(out, block, size, offset) != ARCHIVE_OK) {
      *reason = "cannot write: " + ErrorOf(out);
      return false;
    }
  }
}

// The sum of the sizes the archive declares for its entries (saturating).
uint64_t DeclaredSize(zip_t* archive) {
  uint64_t total = 0;
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st) != 0) continue;
    if ((st.valid & ZIP_STAT_SIZE) == 0) continue;
    total = st.size > UINT64_MAX - total ? UINT64_MAX : total + st.size;
  }
  return total;
}

// What this extraction made, so that it can be taken back.
struct Made {
  std::vector<std::string> files;    // relative paths written (new or overwritten)
  std::vector<std::string> folders;  // relative paths created, in order
  std::set<std::string> written;     // the same files, for the look-up below
};

}  // namespace

uint64_t ExtractLimits::BoundFor(uint64_t archive_size) const {
  const uint64_t scaled =
      ratio != 0 && archive_size > UINT64_MAX / ratio ? UINT64_MAX : archive_size * ratio;
  return std::max(scaled, floor);
}

ExtractOutcome ExtractArchive(const std::string& archive_host, const std::string& destination_host,
                              std::ostream& report, const ExtractLimits& limits) {
  ExtractOutcome outcome;
  std::unique_ptr<archive, ReadFree> in(archive_read_new());
  std::unique_ptr<archive, WriteFree> out(archive_write_disk_new());
  if (!in || !out) {
    report << "out of memory\n";
    outcome.damaged = true;
    return outcome;
  }
  // libzip checks the central directory more strictly than libarchive, which
  // takes some garbage after an end record for an empty archive.
  int code = 0;
  uint64_t declared = 0;
  if (zip_t* check = zip_open(archive_host.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code)) {
    declared = DeclaredSize(check);
    zip_discard(check);
  } else {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    report << "damaged archive: " << zip_error_strerror(&error) << "\n";
    zip_error_fini(&error);
    outcome.damaged = true;
    return outcome;
  }
  std::error_code size_error;
  const std::uintmax_t archive_size = fs::file_size(zr::host::FsPath(archive_host), size_error);
  if (size_error) {
    report << "cannot read the archive: " << archive_host << "\n";
    outcome.damaged = true;
    return outcome;
  }
  const uint64_t bound = limits.BoundFor(static_cast<uint64_t>(archive_size));
  if (limits.check_declared && declared > bound) {
    report << "archive refused: its entries would expand to " << declared
           << " bytes, more than the limit of " << bound << " bytes\n";
    outcome.too_large = true;
    return outcome;
  }
  archive_read_support_format_zip(in.get());
#ifdef _WIN32
  // Without this, libarchive on Windows reads the bytes of such names as
  // Latin-1 ("prova \x8A.txt" as U+008A, not "è").
  if (archive_read_set_format_option(in.get(), "zip", "hdrcharset", "CP850") != ARCHIVE_OK) {
    report << "cannot read the archive: " << ErrorOf(in.get()) << "\n";
    outcome.damaged = true;
    return outcome;
  }
#endif
  archive_write_disk_set_options(out.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                ARCHIVE_EXTRACT_SECURE_NOABSOLUTEPATHS);
#ifdef _WIN32
  // The name in UTF-16: the narrow call would take it in the ANSI code page.
  const int opened =
      archive_read_open_filename_w(in.get(), zr::win32::Widen(archive_host).c_str(), 64 * 1024);
#else
  const int opened = archive_read_open_filename(in.get(), archive_host.c_str(), 64 * 1024);
#endif
  if (opened != ARCHIVE_OK) {
    report << "cannot read the archive: " << ErrorOf(in.get()) << "\n";
    outcome.damaged = true;
    return outcome;
  }
  WorkingFolder working(destination_host);
  if (!working.entered()) {
    report << "cannot enter the destination folder " << destination_host << "\n";
    outcome.damaged = true;
    return outcome;
  }

  NameMemory memory;
  Made made;
  uint64_t budget = bound;
  for (;;) {
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(in.get(), &entry);
    if (status == ARCHIVE_EOF) break;
    if (status < ARCHIVE_WARN) {
      report << "damaged archive: " << ErrorOf(in.get()) << "\n";
      outcome.damaged = true;
      break;
    }
    const std::string name = EntryName(entry);

    std::vector<std::string> parts;
    std::string reason;
    std::string relative;
    size_t existing = 0;
    const mode_t type = archive_entry_filetype(entry);
    bool accepted = true;
    if (archive_entry_hardlink(entry) != nullptr || type == AE_IFLNK) {
      reason = "link entries are not extracted";
      accepted = false;
    } else if (type != AE_IFREG && type != AE_IFDIR) {
      reason = "not a file or folder";
      accepted = false;
    } else {
      accepted = CheckEntryName(name, &parts, &reason) &&
                 RelativeHostPath(memory, parts, &relative, &existing, &reason);
    }
    // Two entries whose names differ only in case land on one file: the
    // second would silently replace the first.
    if (accepted && type == AE_IFREG && made.written.count(relative) != 0) {
      reason = "another entry of the archive has the same name without regard to case";
      accepted = false;
    }
    if (!accepted) {
      report << "refused entry \"" << name << "\": " << reason << "\n";
      ++outcome.refused;
      continue;  // its data is skipped by the next header read
    }

#ifdef _WIN32
    // libarchive would read a narrow name in the C library's code page.
    archive_entry_copy_pathname_w(entry, zr::win32::Widen(relative).c_str());
#else
    archive_entry_copy_pathname(entry, relative.c_str());
#endif
    archive_entry_set_perm(entry, type == AE_IFDIR ? 0755 : 0644);
    const int written = archive_write_header(out.get(), entry);
    // The folders on the way that were not there are there now (libarchive
    // makes them even when the entry itself then fails).
    std::string folder;
    for (size_t i = 0; i < parts.size(); ++i) {
      const size_t slash = relative.find('/', folder.empty() ? 0 : folder.size() + 1);
      const std::string path = relative.substr(0, slash);
      const std::string component = path.substr(folder.empty() ? 0 : folder.size() + 1);
      const bool last = i + 1 == parts.size();
      if (i >= existing && (!last || type == AE_IFDIR)) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) break;
        memory.Add(folder, component, NameMemory::Kind::kFolder);
        made.folders.push_back(path);
      }
      folder = path;
    }
    if (written < ARCHIVE_WARN) {
      report << "refused entry \"" << name << "\": " << ErrorOf(out.get()) << "\n";
      ++outcome.refused;
      continue;
    }
    if (type == AE_IFREG) {
      const size_t slash = relative.rfind('/');
      memory.Add(slash == std::string::npos ? "" : relative.substr(0, slash),
                 relative.substr(slash == std::string::npos ? 0 : slash + 1),
                 NameMemory::Kind::kOther);
      made.files.push_back(relative);
      made.written.insert(relative);
    }
    bool fatal = false;
    bool over = false;
    const bool copied =
        type != AE_IFREG || CopyData(in.get(), out.get(), &budget, &reason, &fatal, &over);
    const bool finished = archive_write_finish_entry(out.get()) >= ARCHIVE_WARN;
    if (over) {
      report << "archive refused: its entries expand past the limit of " << bound
             << " bytes; what was extracted from it is removed\n";
      outcome.too_large = true;
      break;
    }
    if (!copied || !finished) {
      if (copied) reason = "cannot write: " + ErrorOf(out.get());
      report << "entry \"" << name << "\" not extracted: " << reason << "\n";
      ++outcome.failed;
      if (type == AE_IFREG) {
        unlink(relative.c_str());
        made.files.pop_back();
        made.written.erase(relative);
        const size_t slash = relative.rfind('/');
        memory.Remove(slash == std::string::npos ? "" : relative.substr(0, slash),
                      relative.substr(slash == std::string::npos ? 0 : slash + 1));
      }
      if (fatal) {
        outcome.damaged = true;
        break;
      }
      continue;
    }
    ++outcome.extracted;
  }
  if (archive_write_close(out.get()) != ARCHIVE_OK) {
    report << "cannot finish the extraction: " << ErrorOf(out.get()) << "\n";
    ++outcome.failed;
  }
  if (outcome.too_large) {
    for (const std::string& file : made.files) unlink(file.c_str());
    for (auto it = made.folders.rbegin(); it != made.folders.rend(); ++it) rmdir(it->c_str());
    outcome.extracted = 0;
  }
  return outcome;
}

}  // namespace pkzip

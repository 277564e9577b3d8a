#include "zip_extractor.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <memory>
#include <vector>

#include "host_resolve.h"

namespace pkzip {

namespace {

struct ReadFree {
  void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteFree {
  void operator()(archive* a) const { archive_write_free(a); }
};

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
// in the OEM code page: 850 on Italian machines. Unconvertible bytes become "_".
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

// Works in the destination folder while alive, so that the names handed to
// libarchive are relative (its absolute-path guard stays on), and returns to
// the previous working folder afterwards.
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

// The host path of an entry relative to the destination, with existing
// folders and files matched without regard to case. Refuses a result outside
// the destination and any component on the way that is a symbolic link.
bool RelativeHostPath(zr::Platform& platform, const WindowsPath& destination,
                      const std::string& destination_host, const std::vector<std::string>& parts,
                      std::string* relative, std::string* reason) {
  WindowsPath target = destination;
  target.components.insert(target.components.end(), parts.begin(), parts.end());
  std::string host;
  if (!ResolveHostPath(platform, target, &host).ok()) {
    *reason = "cannot resolve its place below the destination";
    return false;
  }
  const std::string prefix =
      destination_host.back() == '/' ? destination_host : destination_host + "/";
  if (host.compare(0, prefix.size(), prefix) != 0 || host.size() == prefix.size()) {
    *reason = "would land outside the destination";
    return false;
  }
  *relative = host.substr(prefix.size());
  // Every existing component on the way must be a real folder (or the file
  // itself), never a link that leads elsewhere.
  std::string walked = prefix;
  size_t start = 0;
  while (start <= relative->size()) {
    size_t end = relative->find('/', start);
    if (end == std::string::npos) end = relative->size();
    walked = prefix + relative->substr(0, end);
    struct stat info {};
    if (lstat(walked.c_str(), &info) != 0) break;  // the rest is new
    if (S_ISLNK(info.st_mode)) {
      *reason = "would land outside the destination through a symbolic link";
      return false;
    }
    start = end + 1;
  }
  return true;
}

// Copies the data of the current entry; false with `reason` on damage.
// `fatal` is set when the archive cannot be read any further.
bool CopyData(archive* in, archive* out, std::string* reason, bool* fatal) {
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
    if (archive_write_data_block(out, block, size, offset) != ARCHIVE_OK) {
      *reason = "cannot write: " + ErrorOf(out);
      return false;
    }
  }
}

}  // namespace

ExtractOutcome ExtractArchive(zr::Platform& platform, const std::string& archive_host,
                              const WindowsPath& destination, const std::string& destination_host,
                              std::ostream& report) {
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
  if (zip_t* check = zip_open(archive_host.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code)) {
    zip_discard(check);
  } else {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    report << "damaged archive: " << zip_error_strerror(&error) << "\n";
    zip_error_fini(&error);
    outcome.damaged = true;
    return outcome;
  }
  archive_read_support_format_zip(in.get());
  archive_write_disk_set_options(out.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                ARCHIVE_EXTRACT_SECURE_NOABSOLUTEPATHS);
  if (archive_read_open_filename(in.get(), archive_host.c_str(), 64 * 1024) != ARCHIVE_OK) {
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

  for (;;) {
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(in.get(), &entry);
    if (status == ARCHIVE_EOF) break;
    if (status < ARCHIVE_WARN) {
      report << "damaged archive: " << ErrorOf(in.get()) << "\n";
      outcome.damaged = true;
      break;
    }
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const char* raw = utf8 != nullptr ? utf8 : archive_entry_pathname(entry);
    std::string name = raw != nullptr ? raw : "";
    if (!IsValidUtf8(name)) name = OemToUtf8(name);

    std::vector<std::string> parts;
    std::string reason;
    std::string relative;
    const mode_t type = archive_entry_filetype(entry);
    bool accepted = true;
    if (archive_entry_hardlink(entry) != nullptr || type == AE_IFLNK) {
      reason = "link entries are not extracted";
      accepted = false;
    } else if (type != AE_IFREG && type != AE_IFDIR) {
      reason = "not a file or folder";
      accepted = false;
    } else {
      accepted =
          CheckEntryName(name, &parts, &reason) &&
          RelativeHostPath(platform, destination, destination_host, parts, &relative, &reason);
    }
    if (!accepted) {
      report << "refused entry \"" << name << "\": " << reason << "\n";
      ++outcome.refused;
      continue;  // its data is skipped by the next header read
    }

    archive_entry_copy_pathname(entry, relative.c_str());
    archive_entry_set_perm(entry, type == AE_IFDIR ? 0755 : 0644);
    if (archive_write_header(out.get(), entry) < ARCHIVE_WARN) {
      report << "refused entry \"" << name << "\": " << ErrorOf(out.get()) << "\n";
      ++outcome.refused;
      continue;
    }
    bool fatal = false;
    const bool copied = type != AE_IFREG || CopyData(in.get(), out.get(), &reason, &fatal);
    const bool finished = archive_write_finish_entry(out.get()) >= ARCHIVE_WARN;
    if (!copied || !finished) {
      if (copied) reason = "cannot write: " + ErrorOf(out.get());
      report << "entry \"" << name << "\" not extracted: " << reason << "\n";
      ++outcome.failed;
      if (type == AE_IFREG) unlink(relative.c_str());
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
  return outcome;
}

}  // namespace pkzip

// The archives a service engineer has: those on the backup unit (in the
// backup destination and in each customer folder directly below it) and
// those filed on the selected product's server folder. Finding them,
// listing them (name, date from the ddmmyy of the name, size, entries) and
// verifying them (every entry decompressed and its CRC-32 checked). Each
// operation takes a request and returns a report; nothing is written.
#ifndef ZARIREVO_SERVER_UNIT_ARCHIVES_H_
#define ZARIREVO_SERVER_UNIT_ARCHIVES_H_

#include <cstdint>
#include <string>
#include <vector>

#include "app/session.h"
#include "archive/archive_check.h"

namespace zr {

/// Where to look: the backup unit (BackupPath) or the selected product's server folder.
enum class ArchivePlace { kUnit, kServer };

/// The archive files of a place, sorted by path. Server folders are walked
/// eight levels deep at most, each once by its real location (links resolved).
std::vector<std::string> FindArchives(Session& program, ArchivePlace place);

/// An archive name's customer and date: "METAL_050603.ZIP" and
/// "METAL_050603_2.ZIP" give METAL and 5 June 2003; a name without a date
/// gives the whole stem and no date (year 0).
struct ArchiveName {
  std::string customer;
  Date date;
};
ArchiveName ParseArchiveName(const std::string& file_name);

struct ListRequest {
  ArchivePlace place = ArchivePlace::kUnit;
  std::string customer;  // only this customer's archives, any case ("" all)
};
struct ListedArchive {
  std::string path;
  std::string name;
  std::string customer;
  Date date;
  std::uint64_t size = 0;
  std::size_t entries = 0;  // 0 also when it cannot be read
  bool readable = false;
  // On the server: the levels it is filed under.
  std::string product, post_processor, machine;
};
struct ListReport {
  std::vector<ListedArchive> archives;  // newest first, then by name
};
ListReport ListArchives(Session& program, const ListRequest& request);

/// Why an archive cannot be read, in the program's words: "archivio
/// A:\X.ZIP illeggibile (errore 53: file non trovato)".
std::string UnreadableArchiveText(const std::string& archive, const Status& status);

/// The archive a user names: a path as it is; a file name (".ZIP") in the
/// backup destination; a customer's name alone for that customer's newest
/// archive on the unit (the name in the backup destination when it has none).
std::string ResolveArchive(Session& program, const std::string& named);

struct VerifyRequest {
  std::vector<std::string> archives;  // names or paths; empty: every archive of `place`
  ArchivePlace place = ArchivePlace::kUnit;
};
struct VerifyReport {
  std::vector<ArchiveCheckReport> archives;
  bool all_whole() const;
};
/// Each named archive as ResolveArchive finds it.
VerifyReport VerifyArchives(Session& program, const VerifyRequest& request);

}  // namespace zr

#endif  // ZARIREVO_SERVER_UNIT_ARCHIVES_H_

// Bringing files back from an archive: its entries extracted below a folder
// the engineer names, byte for byte (each entry's CRC-32 checked), with the
// stored folders recreated below it.
//
// Entry names are untrusted. An absolute name, a drive, "..", a link, a name
// Windows cannot hold, or a path that would leave the folder through a link
// already there is not restored, and the report says why. The folder itself
// is refused when it is, or lies inside, a product installation, the product
// list folder, the settings folder or a temporary folder of the program:
// putting files back into a running installation is the engineer's own step.
// Each file is written beside its place and renamed over it when whole.
#ifndef ZARIREVO_SERVER_ARCHIVE_RESTORE_H_
#define ZARIREVO_SERVER_ARCHIVE_RESTORE_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/session.h"

namespace zr {

struct RestoreRequest {
  std::string archive;  // Windows form
  std::string to;       // the folder to restore into (made when missing)
  std::string only;     // "" all; else entries whose name matches (* and ?, any case)
};

struct RestoreReport {
  std::string refused;                // why nothing was restored ("" when the restore ran)
  std::vector<std::string> restored;  // the files written
  std::vector<std::pair<std::string, std::string>> skipped;  // entry, why
  std::uint64_t bytes = 0;

  bool complete() const { return refused.empty() && skipped.empty(); }
};

RestoreReport RestoreArchive(Session& program, const RestoreRequest& request);

/// Whether `name` matches `pattern` (* any run, ? one character, any case);
/// a pattern without "/" is matched against the name's last part.
bool EntryMatches(const std::string& pattern, const std::string& name);

}  // namespace zr

#endif  // ZARIREVO_SERVER_ARCHIVE_RESTORE_H_

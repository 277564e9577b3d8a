// Filing the backup unit's archives on the server, sorted by product,
// post-processor and machine; the unpacking of the backup unit it starts from;
// and the erase of the backup unit.
#ifndef ZARIREVO_SERVER_SERVER_COPY_H_
#define ZARIREVO_SERVER_SERVER_COPY_H_

#include <string>
#include <vector>

#include "app/session.h"

namespace zr {

struct ExtractedArchive {
  std::string name;         // the archive on the unit (BackupPath & its name, shown safely)
  std::string folder;       // ProductFolder & "\~TMPCOPYZIP\EXTRACT_" & base name & "\"
  std::string server_name;  // base name with "." replaced by "-", & ".ZIP"
  std::string failure;      // why the archive was not unpacked whole; "" when it was
};
using ExtractedArchives = std::vector<ExtractedArchive>;

/// ProductFolder & "\~TMPCOPYZIP\": where the archives are unpacked.
std::string CopyTemporaryFolder(const Session& program);

/// What the unpacking of the backup unit gave.
struct [[nodiscard]] UnitExtraction {
  ExtractedArchives table;  // one row per archive listed
  bool found = false;       // the unit holds archives
  /// Why nothing could be unpacked: "cartella temporanea <folder> non creata
  /// (errore <n>)" (the error box has been shown); "" otherwise.
  std::string failure;
};

/// Unpacks every archive of BackupPath.
UnitExtraction ExtractBackupUnit(Session& program);
/// The server copy (Menu12). True when every archive was filed ("Copia Eseguita"); the run's
/// report (program.run) holds every archive and copy with its outcome.
bool CopyConfigurationsToServer(Session& program);
/// The erase of the backup unit `unit` (the window's BackupPath): asks,
/// then erases. True when it was erased; the run's report holds every file
/// with its outcome.
bool EraseFloppy(Session& program, const std::string& unit);
/// Deletes everything below `folder`. False when it was refused (a box says
/// why) or did not complete (the error was shown).
bool EraseBackupUnit(Session& program, const std::string& folder);
/// Why erasing `folder` would destroy the program's own or the system's
/// folders (it is, or lies above, one of them); "" when it may be erased.
std::string ErasureRefusal(Session& program, const std::string& folder);

}  // namespace zr

#endif  // ZARIREVO_SERVER_SERVER_COPY_H_

// Filing the backup unit's archives on the server, sorted by product,
// post-processor and machine; the unpacking of the backup unit it starts from;
// and the erase of the backup unit.
#ifndef ZARIREVO_SERVER_SERVER_COPY_H_
#define ZARIREVO_SERVER_SERVER_COPY_H_

#include <string>
#include <vector>

#include "app/program_state.h"

namespace zr {

struct ExtractedArchive {
  std::string folder;       // ProductFolder & "\~TMPCOPYZIP\EXTRACT_" & base name & "\"
  std::string server_name;  // base name with "." replaced by "-", & ".ZIP"
};
using ExtractedArchives = std::vector<ExtractedArchive>;

/// Unpacks every archive of BackupPath; false when it holds none.
bool ExtractBackupUnit(Program& program, ExtractedArchives& table);
/// Menu12. True when every archive was filed ("Copia Eseguita").
bool CopyConfigurationsToServer(Program& program);
/// Menu32: asks, then erases the backup unit. True when it was erased.
bool FormattaFloppyClick(Program& program);
void EraseBackupUnit(Program& program, const std::string& folder);

}  // namespace zr

#endif  // ZARIREVO_SERVER_SERVER_COPY_H_

// The product collectors: for the selected product, which files are copied
// into the customer folder and which are only entered in the archive list.
// Each reads the file items' check marks when its step is reached.
// A file that cannot be copied is reported and counted in FilesNotCopied
// (file_operations.h); the collector goes on with the next.
#ifndef ZARIREVO_BACKUP_COLLECTORS_H_
#define ZARIREVO_BACKUP_COLLECTORS_H_

#include <cstdint>

#include "app/program_state.h"

namespace zr {

void CollectDaxorFiles(Program& program, std::int16_t& add_to_list);
void CollectTrelunFiles(Program& program, std::int16_t& add_to_list);
void CollectPlovikFiles(Program& program, std::int16_t& add_to_list);

}  // namespace zr

#endif  // ZARIREVO_BACKUP_COLLECTORS_H_

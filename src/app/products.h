// Products installed under c:\kyconfig: folder name to product row, the first
// folder of a product family, stepping to the next installed product.
#ifndef ZARIREVO_APP_PRODUCTS_H_
#define ZARIREVO_APP_PRODUCTS_H_

#include <string>

#include "app/session.h"

namespace zr {

inline constexpr const char* kProductListFolder = "c:\\kyconfig\\";

/// The row of the product whose folder family starts `name`, or -1; with
/// `check`, the folder also needs HasInstallDir(prefix & name).
int ProductIndexOfFolder(Session& program, const std::string& prefix, const std::string& name,
                         bool check);
/// "c:\kyconfig\" & the first folder of that product family whose INI names
/// an Installdir, else the first folder of the family (or nothing).
std::string FindProductConfigFolder(Session& program, int row);
/// The next installed product whose configuration can be read; `current`
/// when none can.
std::string NextInstalledSoftware(Session& program, const std::string& current);
/// The row whose name in `ProductTable` is `name` (exact), or -1; -1 also
/// before the settings named the rows.
int TableRowOfName(const Session& program, const std::string& name);
/// Whether the folder lies under c:\kyconfig.
bool ClassifyStartFolder(const std::string& folder);

}  // namespace zr

#endif  // ZARIREVO_APP_PRODUCTS_H_

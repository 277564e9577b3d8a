// What the user chose for one customer backup: the groups of files (the
// check marks of the main window's file items), where the archive goes
// (ZipMode), the destination (BackupPath) and the customer.
//
// The main window's logic builds it from its menu state when OK is pressed
// (CurrentBackupSelection in ui/base_form.h); the job and the product
// collectors read only this value, never the menus. The file groups are read
// when a collector's step is reached, not once at the start: a group ticked
// while the copy runs (the window keeps handling input) counts for the steps
// not yet reached. So `items` reads them; the rest is fixed at the start.
#ifndef ZARIREVO_BACKUP_BACKUP_SELECTION_H_
#define ZARIREVO_BACKUP_BACKUP_SELECTION_H_

#include <functional>
#include <string>

#include "app/session.h"

namespace zr {

/// The file groups, one per file item of the menus. What a group means for a
/// product is stated by its collector.
struct BackupItems {
  bool machines = false;            // Menu211 "&Macchina"
  bool post_processor = false;      // Menu212 "&PostProcessor"
  bool customisations = false;      // Menu213 "Pe&Rsonalizzazioni"
  bool reports = false;             // Menu214 "&Stampe"
  bool product_files = false;       // Menu215 (caption: the product's name)
  bool transmissions = false;       // Menu216 "&Trasmissioni"
  bool windows_files = false;       // Menu217 "&Windows"
  bool post_processor_exe = false;  // Menu221 "&PostProcessor" (Eseguibili)
  bool laser_tables = false;        // Menu231 "&Tabelle_Laser"
  bool tables_mdb = false;          // Menu232 "Ta&Belle_Mdb"
  bool material_mdb = false;        // Menu233 "&Material_Mdb"
  bool punches = false;             // Menu241 "&Punzoni"
  bool dies = false;                // Menu242 "&Matrici"
  // Offered for the product (the items' Enabled), checked or not: the DAXOR
  // collector lists the machine files whenever the tool items are offered.
  bool punches_offered = false;  // Menu241 enabled
  bool dies_offered = false;     // Menu242 enabled
};

struct BackupSelection {
  std::function<BackupItems()> items;           // the groups as they are now
  ZipTarget zip_mode = ZipTarget::kBackupPath;  // ZipMode
  std::string destination;                      // BackupPath, normally ending with "\"
  std::string customer;                         // the customer name box, NomeCliente
};

}  // namespace zr

#endif  // ZARIREVO_BACKUP_BACKUP_SELECTION_H_

// The folder picker: a dialog that shows only the folders of the mapped
// drives (and the network root, when mapped) and answers with a Windows-form
// path.
//
// Contract: the user never reaches a host folder outside the drive map; the
// result is a drive root with its backslash ("A:\"), any other folder
// without a trailing backslash ("C:\KYCONFIG\SYSTEM"), a network folder as
// "\\SRV\SHARE\DIR", or "" when cancelled or when the choice lies outside the
// map.
#ifndef ZARIREVO_UI_QT_FOLDER_PICKER_H_
#define ZARIREVO_UI_QT_FOLDER_PICKER_H_

#include <QDialog>
#include <string>
#include <vector>

#include "platform/platform.h"

class QFileSystemModel;
class QLabel;
class QListWidget;
class QTreeView;

namespace zr::qt {

/// A mapped root that the picker offers.
struct MappedRoot {
  std::string windows_path;  // "A:\", "C:\", "\\"
  std::string host_path;     // the host folder behind it
};

/// Drives A: to Z: that are ready, then the network root when it is mapped.
std::vector<MappedRoot> MappedRoots(Platform& platform);

/// The picker's answer for a host folder: its Windows form through the map,
/// a drive root with its backslash and any other folder without one; "" when
/// no mapped root holds it.
std::string PickedFolder(Platform& platform, const std::string& host_path);

class FolderPickerDialog : public QDialog {
  Q_OBJECT

 public:
  FolderPickerDialog(Platform& platform, const std::string& prompt, QWidget* parent = nullptr);

  /// The chosen folder in Windows form, "" when none is chosen.
  std::string SelectedFolder() const;
  /// Shows the folders of the root at `index` of the side list.
  void SelectRoot(int index);
  /// Selects a host folder in the tree (for tests and the screenshot).
  void SelectHostFolder(const std::string& host_path);

 private:
  void UpdatePathLabel();

  Platform& platform_;
  std::vector<MappedRoot> roots_;
  QListWidget* drives_ = nullptr;
  QTreeView* tree_ = nullptr;
  QFileSystemModel* model_ = nullptr;
  QLabel* path_label_ = nullptr;
};

/// Shows the picker modally; "" on cancel.
std::string PickFolder(Platform& platform, const std::string& prompt, QWidget* parent);

}  // namespace zr::qt

#endif  // ZARIREVO_UI_QT_FOLDER_PICKER_H_

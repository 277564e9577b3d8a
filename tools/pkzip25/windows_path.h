// Windows-form path texts as PkZip25 reads them from its command line, its
// list file and the entry names of an archive: making a name full against the
// current folder, normalising it (separators, ".", "..", trailing dots and
// blanks as Windows drops them), the stored name of a file ("C:\A\B.TXT" ->
// "A/B.TXT", "\\SRV\S\X" -> "SRV/S/X"), comparison without regard to case, and
// the safety check of an entry name before it is extracted.
#ifndef ZARIREVO_TOOLS_PKZIP25_WINDOWS_PATH_H_
#define ZARIREVO_TOOLS_PKZIP25_WINDOWS_PATH_H_

#include <string>
#include <vector>

namespace pkzip {

/// A full path: a root ("C:" with an upper-case letter, or "\\" for UNC
/// names) and its components, none empty, ".", or "..".
struct WindowsPath {
  std::string root;
  std::vector<std::string> components;
};

/// Makes `path` full against `current_folder` (itself full): "X:\..." and
/// "\\..." stay, "\..." takes the current drive (or UNC share), "X:rest" is
/// taken against the current folder when X is its drive, else against X:\,
/// anything else is appended to the current folder.
std::string MakeFullPath(const std::string& current_folder, const std::string& path);

/// Splits and normalises a full path; false when it is not full.
/// ".." climbs one component but never above the root (as Windows does).
bool ParseFullPath(const std::string& full, WindowsPath* out);

/// "C:\A\B" ("C:\" for the bare root), "\\SRV\S\X".
std::string JoinWindows(const WindowsPath& path);

/// The path less its drive and leading separators, "/" separated.
std::string StoredName(const WindowsPath& path);

/// True when the last component holds a dot that is not its last character.
bool HasExtension(const std::string& component);

/// Folds case for comparisons: ASCII and every letter of Windows-1252, in
/// UTF-8. Other bytes pass unchanged.
std::string FoldCase(const std::string& utf8);
bool EqualNoCase(const std::string& a, const std::string& b);

/// Checks an archive entry name before extraction. On success fills the
/// components to create below the destination (at least one). On refusal
/// fills `reason` and returns false: empty name, control character, absolute
/// name, drive letter or ":", a character Windows does not allow in names,
/// "..", or a component that Windows would reduce to nothing.
bool CheckEntryName(const std::string& name, std::vector<std::string>* components,
                    std::string* reason);

}  // namespace pkzip

#endif  // ZARIREVO_TOOLS_PKZIP25_WINDOWS_PATH_H_

// The names PkZip25 stores and extracts, on the platform's Windows paths
// (platform/windows_path.h): the path of a file made full against the current
// folder, the stored name of a file ("C:\A\B.TXT" -> "A/B.TXT",
// "\\SRV\S\X" -> "SRV/S/X"), and the safety check of an entry name before it
// is extracted.
#ifndef ZARIREVO_TOOLS_PKZIP25_ENTRY_NAMES_H_
#define ZARIREVO_TOOLS_PKZIP25_ENTRY_NAMES_H_

#include <optional>
#include <string>
#include <vector>

#include "platform/windows_path.h"

namespace pkzip {

using zr::FoldCase;
using zr::WindowsPath;

/// `text` made full against `current_folder` (itself full), the drive letter
/// in upper case; an empty text names the current folder. Nothing when the
/// text is no path (a UNC name without server and share).
std::optional<WindowsPath> MakeFullPath(const std::string& current_folder, const std::string& text);

/// The path less its drive and leading separators, "/" separated.
std::string StoredName(const WindowsPath& path);

/// True when the last component holds a dot that is not its last character.
bool HasExtension(const std::string& component);

/// Checks an archive entry name before extraction. On success fills the
/// components to create below the destination (at least one). On refusal
/// fills `reason` and returns false: empty name, control character, absolute
/// name, drive letter or ":", a character Windows does not allow in names,
/// "..", or a component that Windows would reduce to nothing.
bool CheckEntryName(const std::string& name, std::vector<std::string>* components,
                    std::string* reason);

}  // namespace pkzip

#endif  // ZARIREVO_TOOLS_PKZIP25_ENTRY_NAMES_H_

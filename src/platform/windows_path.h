// Windows path texts as values, with no call to the host: parsing against a
// current folder, the parts of a path, joining, the parent, the drive
// completion of the program's paths, "lies below" by the texts, the one case
// rule of names and the one rule of the characters Windows refuses in a name.
// The POSIX platform resolves these paths through its drive map; a platform
// built on Windows itself would take them as they are.
//
// A parsed path keeps the text as it was typed (drive letter and component
// case included); only "." and ".." are applied ("..” never climbs above the
// drive root or the share) and the trailing dots and blanks of each component
// dropped, as Windows drops them where a name is opened.
//
// Names are compared after folding the letters of Windows-1252, in UTF-8, to
// lower case: ASCII, U+00C0..U+00DE to U+00E0..U+00FE (except U+00D7), and
// Š, Œ, Ž, Ÿ to š, œ, ž, ÿ. This is the one case rule of the program (the
// archiver folds by it too). Other bytes pass unchanged; the folded text has
// the same length as the original, byte for byte.
#ifndef ZARIREVO_PLATFORM_WINDOWS_PATH_H_
#define ZARIREVO_PLATFORM_WINDOWS_PATH_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zr {

/// An absolute Windows path: a drive (letter as typed) or a UNC start, and
/// its components. For UNC paths parts[0] is the server and parts[1] the share.
struct WindowsPath {
  char drive = 'C';  // 0 for a UNC path
  std::vector<std::string> parts;

  /// Makes `text` absolute against `current`. "/" and "\" both separate;
  /// "X:\..." is absolute, "X:name" is relative to the current folder when X
  /// is the current drive (to X's root otherwise), "\name" starts at the
  /// current drive's root (the share of a UNC current folder), anything else
  /// is relative to the current folder. Nothing for an empty text or a UNC
  /// text without server and share.
  static std::optional<WindowsPath> Parse(std::string_view text, const WindowsPath& current);
  /// Parse against "C:\".
  static std::optional<WindowsPath> Parse(std::string_view text);

  bool is_unc() const { return drive == 0; }
  /// Number of leading parts that form the root ("..” never goes above it).
  std::size_t root_parts() const { return is_unc() ? 2 : 0; }
  /// A drive root "C:\" or a share "\\SRV\SHARE".
  bool is_root() const { return parts.size() <= root_parts(); }
  /// "c:\a\b", "C:\", "\\SRV\SHARE\X".
  std::string Text() const;
  /// The path with the components of the relative text `below` added ("."
  /// and ".." applied, never above the root).
  WindowsPath Join(std::string_view below) const;
  /// The folder that holds this path; a root is its own parent.
  WindowsPath Parent() const;
  /// The text folded by the case rule (drive letter included): equal keys
  /// name the same place.
  std::string Key() const;
  bool SameAs(const WindowsPath& other) const { return Key() == other.Key(); }
  /// True when this path lies strictly below `folder`, by the texts.
  bool LiesBelow(const WindowsPath& folder) const;
};

/// The drive completion of the program's paths: "\X" and ":\X" go to drive
/// C: ("C:\X"), a text without a drive becomes "C:\" plus the text; a UNC
/// text ("\\...") and a text with a drive stay as they are.
std::string CompleteDrive(std::string path);

/// The form of a folder picker's answer: a drive root keeps its backslash
/// ("A:" and "A:\" give "A:\"), any other folder loses trailing ones
/// ("C:\DIR\" gives "C:\DIR"); the bare network root "\\" (or "\") is no
/// folder one can write to and gives "", as a cancelled picker.
std::string PickedFolderForm(std::string path);

/// The splits of a path text as typed, with no normalisation: the folder
/// part, up to and including the last of `separators` ("" when the text
/// holds none), and the name after it (the whole text when none).
/// "C:\A\B.TXT" gives "C:\A\" and "B.TXT".
std::string_view FolderOfText(std::string_view text, std::string_view separators = "\\");
std::string_view NameOfText(std::string_view text, std::string_view separators = "\\");

/// Drops trailing dots and blanks, as Windows does where a name is opened.
std::string CleanComponent(std::string_view name);

/// Codes 0 to 31 and 127.
bool IsControlCharacter(char c);
/// True for a character no name of a file or folder may hold: a control
/// character (codes 0 to 31 and 127) or one of \ / : * ? " < > |.
bool IsForbiddenInName(char c);
/// True for the names of Windows's devices: CON, PRN, AUX, NUL, COM1 to COM9
/// and LPT1 to LPT9, in any case, alone or with an extension ("nul.ini"): in
/// any folder such a name opens the device, not a file.
bool IsDeviceName(std::string_view name);
/// True when `name` can be created as one name: not empty, not a device's
/// name and no character IsForbiddenInName refuses.
bool IsCreatableName(std::string_view name);

std::string FoldCase(std::string_view text);
/// True when `candidate` folds to `folded` (a FoldCase result), without
/// building the folded copy: a folder scan compares every entry.
bool FoldsTo(std::string_view candidate, std::string_view folded);
bool EqualsNoCase(std::string_view a, std::string_view b);
/// Orders names without regard to case, ties broken by bytes.
bool LessNoCase(std::string_view a, std::string_view b);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_WINDOWS_PATH_H_

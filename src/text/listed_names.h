// Names read from a folder listing of a unit the program does not control (a
// floppy, a share, a folder of another system). Such a name becomes one
// component of a Windows path or a word of a command line only when Windows
// itself could hold it as one name; anything else could name another place
// ("a\..\b"), split a command line (tab, quote) or be opened as another file
// (a trailing dot or blank is dropped where a name is opened).
#ifndef ZARIREVO_TEXT_LISTED_NAMES_H_
#define ZARIREVO_TEXT_LISTED_NAMES_H_

#include <string>
#include <string_view>

namespace zr {

/// True when `name` cannot stand as one Windows file or folder name: empty,
/// holding "\", "/", ":", "*", "?", '"', "<", ">", "|" or a control character
/// (codes 0 to 31 and 127), or ending in a dot or a blank.
bool IsForbiddenName(std::string_view name);

/// `name` for a message line: every control character shown as "?".
std::string ShownName(std::string_view name);

}  // namespace zr

#endif  // ZARIREVO_TEXT_LISTED_NAMES_H_

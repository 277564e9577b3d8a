// Private-profile (INI) files with the behaviour of the Windows functions
// GetPrivateProfileStringA and WritePrivateProfileStringA: sections and keys
// found without regard to case; blanks (codes 0 to 32) around names and
// values ignored; a value in matching single or double quotes loses them;
// lines starting with ";" are comments; results cut to the buffer size less
// one. Only the first section of a name counts: a later section of the same
// name is ignored by reads and writes. Writing replaces the key's line in
// place and keeps every other byte of the file as it was (other lines,
// comments, blank lines, each line's own line end); a missing key goes after
// the last key line of its section, a missing section at the end, a missing
// file is created (not its folder); new lines end with CR LF. A value that
// would not read back as written (blanks at an end, or wrapped in matching
// quotes) is written in double quotes. The file is rewritten through
// Platform::RewriteFile: a failed write (disk full) leaves it as it was, and
// a link, the file's other names, its owner and mode stay.
//
// Files are Windows-1252; UTF-8 when they start with a UTF-8 byte-order mark
// and UTF-16 LE when they start with a UTF-16 LE one (what Notepad's
// "Unicode" writes), each mark kept; texts here are UTF-8. The line work
// happens on the file's bytes (on its 16-bit units), so bytes that have no
// character survive a write untouched; in UTF-8 and UTF-16 files only ASCII
// letters fold, and a UTF-16 file counts sizes in 16-bit units.
// Arguments holding a line break, an empty key, "=" in the key, a key that
// starts with ";" or "[", or "]" in the section are refused (they would
// break the file's lines); a NUL ends an argument, as in a C string.
#ifndef ZARIREVO_PLATFORM_PROFILE_H_
#define ZARIREVO_PLATFORM_PROFILE_H_

#include <cstddef>
#include <string>

#include "platform/platform.h"

namespace zr {

/// The value of `key` in `section` of `file`, or `default_value` (its
/// trailing blanks trimmed) when the file, section or key is missing; at most
/// `size` - 1 characters.
std::string GetPrivateProfileString(Platform& platform, const std::string& section,
                                    const std::string& key, const std::string& default_value,
                                    std::size_t size, const std::string& file);

/// Writes `key`=`value` in `section` of `file`. A read error other than a
/// missing file (53) is returned and nothing is written; refused arguments
/// (or text a UTF-16 file cannot hold) give error 75, a read-only file 70. Nothing is written when
/// the file holds the value already; on any failure the file keeps its old bytes.
Status WritePrivateProfileString(Platform& platform, const std::string& section,
                                 const std::string& key, const std::string& value,
                                 const std::string& file);

/// The read and the change of the two functions above on the bytes of a
/// file held in memory, with texts in UTF-8. ProfileSet gives error 75 (and
/// leaves `*content` unchanged) for the arguments it refuses.
std::string ProfileGet(const std::string& content, const std::string& section,
                       const std::string& key, const std::string& default_value, std::size_t size);
Status ProfileSet(std::string* content, const std::string& section, const std::string& key,
                  const std::string& value);

/// The same rules on the bytes of a file; section, key, value, default and
/// result are in the file's encoding (Windows-1252, or UTF-8 after a UTF-8
/// byte-order mark) and the size counts its characters; for a UTF-16 file
/// they are UTF-8 (text that is not valid UTF-8 is refused). ProfileUpdate
/// gives the new bytes of the file, or `content` unchanged for refused
/// arguments.
std::string ProfileLookup(const std::string& content, const std::string& section,
                          const std::string& key, const std::string& default_value,
                          std::size_t size);
std::string ProfileUpdate(const std::string& content, const std::string& section,
                          const std::string& key, const std::string& value);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_PROFILE_H_

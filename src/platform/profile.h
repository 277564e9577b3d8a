// Private-profile (INI) files with the behaviour of the Windows functions
// GetPrivateProfileStringA and WritePrivateProfileStringA: sections and keys
// found without regard to case; blanks around names and values ignored; a
// value in matching single or double quotes loses them; results cut to the
// buffer size less one. Writing replaces the key's line in place and keeps
// every other line as it was; a missing key goes after the last key of its
// section, a missing section at the end, a missing file is created (not its
// folder). Files are Windows-1252 with CR LF; texts here are UTF-8.
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

/// Writes `key`=`value` in `section` of `file`.
Status WritePrivateProfileString(Platform& platform, const std::string& section,
                                 const std::string& key, const std::string& value,
                                 const std::string& file);

/// The same rules on the text of a file (UTF-8), for tests and tools.
std::string ProfileLookup(const std::string& content, const std::string& section,
                          const std::string& key, const std::string& default_value,
                          std::size_t size);
std::string ProfileUpdate(const std::string& content, const std::string& section,
                          const std::string& key, const std::string& value);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_PROFILE_H_

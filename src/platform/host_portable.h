// The parts of the host layer that hold on every host: the Windows wildcard
// rule of listings, the drive map's settings, host folder texts, the C
// run-time's split of a command line.
#ifndef ZARIREVO_PLATFORM_HOST_PORTABLE_H_
#define ZARIREVO_PLATFORM_HOST_PORTABLE_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host_platform.h"

namespace zr::host {

bool HasWildcards(std::string_view pattern);
/// Windows wildcard match without regard to case: "*" any run, "?" one
/// character, "*" and "*.*" match every name, "NAME.*" also matches "NAME",
/// a pattern ending in "." also matches names without a dot.
bool WildcardMatch(std::string_view pattern, std::string_view name);

/// Splits a listing pattern into its folder text ("" for the current
/// folder, "C:" for the current folder of drive C:) and its last component,
/// "*" when the pattern ends in a separator.
void SplitListPattern(const std::string& pattern, std::string* folder, std::string* name);

/// Strips trailing "/" (but keeps "/").
std::string TrimHostFolder(std::string folder);

/// The drive map of the settings ZARIREVO_DRIVES ("A=/tmp/w/a;C=/tmp/w/c"),
/// ZARIREVO_UNC and ZARIREVO_WINDIR (each "" when not set); no drives when
/// `drives` names none: each host then fills in its own default.
DriveMap ParseDriveMap(const std::string& drives, const std::string& unc,
                       const std::string& windir);

/// Splits a command line as the Microsoft C run-time does: blanks and tabs
/// separate; double quotes group (and are removed); in the program name (the
/// first word) quotes only group; elsewhere 2n backslashes before a quote give
/// n backslashes and the quote groups, 2n+1 give n backslashes and a literal
/// quote, backslashes before anything else are literal, and "" inside a quoted
/// run is a literal quote.
std::vector<std::string> SplitCommandLine(const std::string& command_line);

/// A host path (UTF-8, as every host path of this program) for the standard
/// file system library, and back. On Windows its narrow form would go through
/// the C library's locale, not UTF-8, and lose every accented letter.
std::filesystem::path FsPath(const std::string& host_path);
std::string FsText(const std::filesystem::path& path);

}  // namespace zr::host

#endif  // ZARIREVO_PLATFORM_HOST_PORTABLE_H_

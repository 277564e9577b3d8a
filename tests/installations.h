// Small product installations for tests of the start-up, built inside a
// TestWorld: KY-GEN.CNF files of fixed 85-byte records, product folders under
// C:\KYCONFIG with their INI files, and the installation folders they name.
#ifndef ZARIREVO_TESTS_INSTALLATIONS_H_
#define ZARIREVO_TESTS_INSTALLATIONS_H_

#include <algorithm>
#include <string>
#include <vector>

#include "tests/test_world.h"

namespace zr::testing {

/// The words of a text split at blanks: a long list of paths written compactly.
inline std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  for (std::size_t at = 0; (at = text.find_first_not_of(' ', at)) != std::string::npos;) {
    const std::size_t end = std::min(text.find(' ', at), text.size());
    words.push_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

/// KY-GEN.CNF content: `records` records of 83 characters and CR LF;
/// record 15 holds `language` (nothing when empty).
inline std::string CnfBytes(const std::string& language, int records = 20) {
  std::string bytes;
  for (int n = 1; n <= records; ++n) {
    std::string text = n == 15 ? language : "REC" + std::to_string(n);
    text.resize(83, ' ');
    bytes += text + "\r\n";
  }
  return bytes;
}

/// An old DAXOR installation: `folder` with KY-GEN.CNF.
inline void InstallDaxorFolder(TestWorld& world, const std::string& folder,
                               const std::string& language = "ITA") {
  world.WriteFile(folder + "\\KY-GEN.CNF", CnfBytes(language));
}

/// A product under C:\KYCONFIG: C:\KYCONFIG\<name>\<name>.ini with the
/// given lines (CR LF).
inline void RegisterProduct(TestWorld& world, const std::string& name,
                            const std::vector<std::string>& ini_lines) {
  world.WriteLines("C:\\KYCONFIG\\" + name + "\\" + name + ".ini", ini_lines);
}

/// A product whose Installdir names an existing folder (created here).
inline void InstallProduct(TestWorld& world, const std::string& name,
                           const std::string& install_dir,
                           const std::vector<std::string>& extra_lines = {}) {
  std::vector<std::string> lines = {"[SETTINGS]", "Installdir=" + install_dir};
  lines.insert(lines.end(), extra_lines.begin(), extra_lines.end());
  RegisterProduct(world, name, lines);
  world.MakeFolder(install_dir);
}

/// One of the products as the window tests start it (DAXOR2D, PLOVIK,
/// TRELUN in English, or an old DAXOR with no product folder); answers the
/// program's command line that finds it.
inline std::string InstallForTheWindows(TestWorld& world, const std::string& product) {
  if (product == "DAXOR2D") InstallProduct(world, "DAXOR1401", "C:\\ORVEL\\DAXOR");
  if (product == "DAXOR2D") InstallDaxorFolder(world, "C:\\ORVEL\\DAXOR", "ITA");
  if (product == "PLOVIK") InstallProduct(world, "PLOVIK0102", "C:\\PLOVIK");
  if (product == "TRELUN")
    InstallProduct(world, "TRELUN0102", "C:\\TRELUN", {"[OPTION]", "LINGUA=1"});
  if (product == "DAXOR_OLD") InstallDaxorFolder(world, "C:\\ORVEL\\VER14", "ITA");
  return product == "DAXOR_OLD" ? "/FC:\\ORVEL\\VER14" : "/FC:\\KYCONFIG\\SYSTEM";
}

}  // namespace zr::testing

#endif  // ZARIREVO_TESTS_INSTALLATIONS_H_

// Helpers for the tests of the file operations and the collectors: a program
// with distinct message colours and Italian error texts, a fixture with a
// product folder and a customer folder, the archive list read back line by
// line, and the file groups chosen.
#ifndef ZARIREVO_BACKUP_COLLECTOR_TEST_SUPPORT_H_
#define ZARIREVO_BACKUP_COLLECTOR_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "app/message_area.h"
#include "app/session.h"
#include "backup/backup_selection.h"
#include "tests/fault_platform.h"
#include "tests/installations.h"
#include "tests/test_world.h"
#include "text/strings.h"

namespace zr::testing {

/// Gives every message colour its own small value (1 to 12), so that lines
/// can be told apart, loads the Italian error texts.
inline void PrepareProgram(Session& program) {
  Color value = 0;
  for (auto colour :
       {&Session::ColorBlue, &Session::ColorGreen, &Session::ColorCyan, &Session::ColorRed,
        &Session::ColorMagenta, &Session::ColorGray, &Session::ColorLightGreen,
        &Session::ColorLightRed, &Session::ColorLightYellow, &Session::ColorBlack,
        &Session::ColorStop, &Session::ColorLightCyan})
    program.*colour = ++value;
  program.Language = "ITA";
  LoadErrorTexts(program);
}

/// A file's bytes without the section [CONFIGURA] holding only the empty key
/// APPLICATION, that every settings read adds to the file read, and without
/// trailing line ends.
inline std::string WithoutConfiguraKey(std::string bytes) {
  const std::string added = "[CONFIGURA]\r\nAPPLICATION=\r\n";
  for (std::size_t at; (at = bytes.find(added)) != std::string::npos;)
    bytes.erase(at, added.size());
  while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
  return bytes;
}

/// The lines of a CR LF text file of the world ("" gives no line).
inline std::vector<std::string> ReadCrLfLines(const TestWorld& world, const std::string& path) {
  std::vector<std::string> lines;
  std::string bytes = world.ReadFile(path);
  for (std::size_t end; !bytes.empty(); bytes.erase(0, end + 2)) {
    if ((end = bytes.find("\r\n")) == std::string::npos) {
      lines.push_back(bytes + "<no CR LF>");
      break;
    }
    lines.push_back(bytes.substr(0, end));
  }
  return lines;
}

/// Every file below `folders` (Windows paths) with its bytes (as
/// WithoutConfiguraKey gives them), less those below `left_out`: taken
/// before and after a run, a backup's sources must compare equal.
inline std::map<std::string, std::string> FilesOf(const TestWorld& world,
                                                  const std::vector<std::string>& folders,
                                                  const std::vector<std::string>& left_out) {
  std::map<std::string, std::string> files;
  for (const std::string& folder : folders) {
    for (std::string relative : world.Tree(folder)) {
      std::replace(relative.begin(), relative.end(), '/', '\\');
      const std::string path = SetTrailingBackslash(folder, true) + relative;
      const bool skipped = std::any_of(left_out.begin(), left_out.end(), [&](const std::string& f) {
        return ToUpper(path).rfind(ToUpper(SetTrailingBackslash(f, true)), 0) == 0;
      });
      if (!skipped) files[path] = WithoutConfiguraKey(world.ReadFile(path));
    }
  }
  return files;
}

/// A test world whose program, over a fault platform (no faults until a test
/// sets some), is prepared (PrepareProgram) and copies into `customer_folder`
/// (made here) from `product_folder` (its ~TMPZIP made); the file groups
/// chosen are `items_`, read by the collectors as they reach each step.
class ProductFixture : public ::testing::Test {
 protected:
  ProductFixture(const std::string& product_folder, const std::string& customer_folder)
      : faulty_(world_.platform()), program_(faulty_, world_.ui()), ui_(world_.ui()) {
    PrepareProgram(program_);
    program_.ProductFolder = product_folder;
    program_.CustomerFolder = customer_folder + "\\";
    world_.MakeFolder(product_folder + "\\~TMPZIP");
    world_.MakeFolder(customer_folder);
  }

  /// Every group chosen or none; the tool groups offered or not.
  void SetAllItems(bool chosen, bool offered) {
    for (bool BackupItems::*item :
         {&BackupItems::machines, &BackupItems::post_processor, &BackupItems::customisations,
          &BackupItems::reports, &BackupItems::product_files, &BackupItems::transmissions,
          &BackupItems::windows_files, &BackupItems::post_processor_exe,
          &BackupItems::laser_tables, &BackupItems::tables_mdb, &BackupItems::material_mdb,
          &BackupItems::punches, &BackupItems::dies})
      items_.*item = chosen;
    items_.punches_offered = items_.dies_offered = offered;
  }

  /// Only the given groups chosen (the tool groups offered).
  void Check(std::initializer_list<bool BackupItems::*> items) {
    SetAllItems(false, true);
    for (auto item : items) items_.*item = true;
  }

  /// Runs a collector, then checks that the installation (drives C: and D:,
  /// less the customer folder and the temporary folder) is byte for byte
  /// what it was.
  void RunKeepingSources(void (*collector)(Session&, const BackupSelection&)) {
    const std::vector<std::string> left_out = {program_.CustomerFolder, program_.TemporaryFolder()};
    const auto before = FilesOf(world_, {"C:\\", "D:\\"}, left_out);
    BackupSelection selection;
    selection.items = [this] { return items_; };
    selection.zip_mode = program_.ZipMode;
    selection.destination = program_.BackupPath;
    collector(program_, selection);
    EXPECT_EQ(FilesOf(world_, {"C:\\", "D:\\"}, left_out), before);
    // A sum kept for a listed file is that of the file as the archiver will
    // read it: a file the run changed after its copy (a read's mark) has none.
    for (const std::string& line : ReadCrLfLines(world_, program_.ArchiveListFile())) {
      FileSum now;
      if (const FileSum* kept = program_.listed_sums.Find(line);
          kept != nullptr && world_.platform().SumFile(line, &now).ok()) {
        EXPECT_EQ(kept->crc32, now.crc32) << line;
        EXPECT_EQ(kept->size, now.size) << line;
      }
    }
  }

  TestWorld world_;
  FaultPlatform faulty_;
  Session program_;
  ScriptedUi& ui_;
  BackupItems items_;
};

inline std::vector<std::string> ArchiveList(const TestWorld& world, const Session& program) {
  return ReadCrLfLines(world, program.ArchiveListFile());
}

/// Writes "x" into every file of a blank-separated list of Windows paths.
inline void WriteFiles(TestWorld& world, const std::string& paths) {
  for (const std::string& path : Words(paths)) world.WriteFile(path, "x");
}

/// The texts of the lines written so far.
inline std::vector<std::string> LineTexts(const ScriptedUi& ui) {
  std::vector<std::string> texts;
  for (const auto& line : ui.lines()) texts.push_back(line.text);
  return texts;
}

/// The texts of the message boxes shown so far.
inline std::vector<std::string> BoxTexts(const ScriptedUi& ui) {
  std::vector<std::string> texts;
  for (const auto& box : ui.boxes()) texts.push_back(box.request.title + "|" + box.request.text);
  return texts;
}

}  // namespace zr::testing

#endif  // ZARIREVO_BACKUP_COLLECTOR_TEST_SUPPORT_H_

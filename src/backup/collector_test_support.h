// Helpers for the tests of the file operations and the collectors: a program
// with distinct message colours and Italian error texts, a fixture with a
// product folder and a customer folder, the archive list read back line by
// line, the file items switched on or off, and fixed-record KY-GEN.CNF
// contents.
#ifndef ZARIREVO_BACKUP_COLLECTOR_TEST_SUPPORT_H_
#define ZARIREVO_BACKUP_COLLECTOR_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "tests/test_world.h"
#include "ui/message_area.h"

namespace zr::testing {

/// Gives every message colour its own small value (1 to 12), so that lines
/// can be told apart, loads the Italian error texts and sets BackupRunning.
inline void PrepareProgram(Program& program) {
  program.ColorBlue = 1;
  program.ColorGreen = 2;
  program.ColorCyan = 3;
  program.ColorRed = 4;
  program.ColorMagenta = 5;
  program.ColorGray = 6;
  program.ColorLightGreen = 7;
  program.ColorLightRed = 8;
  program.ColorLightYellow = 9;
  program.ColorBlack = 10;
  program.ColorStop = 11;
  program.ColorLightCyan = 12;
  program.Language = "ITA";
  LoadErrorTexts(program);
  program.BackupRunning = true;
}

/// Sets Checked (and Enabled) of every file item.
inline void SetAllFileItems(Program& program, bool checked, bool enabled) {
  for (auto item : FileItems()) {
    (program.menus.*item).checked = checked;
    (program.menus.*item).enabled = enabled;
  }
}

/// A test world whose program is prepared (PrepareProgram) and copies into
/// `customer_folder` (made here) from `product_folder` (its ~TMPZIP made).
class ProductFixture : public ::testing::Test {
 protected:
  ProductFixture(const std::string& product_folder, const std::string& customer_folder)
      : program_(world_.program()), ui_(world_.ui()) {
    PrepareProgram(program_);
    program_.ProductFolder = product_folder;
    program_.CustomerFolder = customer_folder + "\\";
    world_.MakeFolder(product_folder + "\\~TMPZIP");
    world_.MakeFolder(customer_folder);
  }

  /// Only the given file items checked (all of them enabled).
  void Check(std::initializer_list<MenuItem BaseFormMenus::*> items) {
    SetAllFileItems(program_, false, true);
    for (auto item : items) (program_.menus.*item).checked = true;
  }

  TestWorld world_;
  Program& program_;
  ScriptedUi& ui_;
};

/// The lines of a CR LF text file of the world ("" gives no line).
inline std::vector<std::string> ReadCrLfLines(const TestWorld& world, const std::string& path) {
  std::vector<std::string> lines;
  const std::string bytes = world.ReadFile(path);
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start) + "<no CR LF>");
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

inline std::vector<std::string> ArchiveList(const TestWorld& world, const Program& program) {
  return ReadCrLfLines(world, program.ArchiveListFile());
}

/// A KY-GEN.CNF of `count` fixed records (83 characters and CR LF each);
/// `records` gives the text of some of them (numbered from 1).
inline std::string CnfRecords(int count, const std::map<int, std::string>& records) {
  std::string bytes;
  for (int n = 1; n <= count; ++n) {
    auto it = records.find(n);
    std::string text = it == records.end() ? "" : it->second;
    text.resize(83, ' ');
    bytes += text + "\r\n";
  }
  return bytes;
}

/// The texts of the message boxes shown so far.
inline std::vector<std::string> BoxTexts(const ScriptedUi& ui) {
  std::vector<std::string> texts;
  for (const auto& box : ui.boxes()) texts.push_back(box.request.title + "|" + box.request.text);
  return texts;
}

}  // namespace zr::testing

#endif  // ZARIREVO_BACKUP_COLLECTOR_TEST_SUPPORT_H_

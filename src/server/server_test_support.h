// Test helpers for the server copy and the erase: a world with a product
// folder, the archiver installed where the program looks for it, server roots
// on drive D:, and stored (uncompressed) ZIP archives of any entry names,
// also the hostile ones an honest archiver refuses to write.
#ifndef ZARIREVO_SERVER_SERVER_TEST_SUPPORT_H_
#define ZARIREVO_SERVER_SERVER_TEST_SUPPORT_H_

#include <string>
#include <utility>
#include <vector>

#include "tests/fault_platform.h"
#include "tests/test_world.h"

namespace zr::testing {

using ZipEntries = std::vector<std::pair<std::string, std::string>>;  // name, content

/// Writes a ZIP archive of `entries` stored without compression into the
/// world, names as given ("/" separates folders).
inline void WriteStoredZip(TestWorld& world, const std::string& windows_path,
                           const ZipEntries& entries) {
  WriteArchive(world.Host(windows_path), entries, true);
}

/// A machine file naming its post-processor.
inline std::string MachineFile(const std::string& post_processor) {
  return "MACCHINA|L3030|\r\nPOST-PROCESSOR|" + post_processor + "|\r\nTAB-UT|L3030.UT|\r\n";
}

/// A world set up for the server copy: product folder C:\ORVEL\VER14, the
/// archiver in C:\ORVEL\VER14\TOOLS (where extraction always looks on the
/// current drive C:), backup unit A:\, existing server roots on D:.
class ServerWorld : public TestWorld {
 public:
  ServerWorld() {
    MakeFolder("C:\\ORVEL\\VER14");
    InstallArchiver("C:\\ORVEL\\VER14\\TOOLS\\PkZip25.EXE");
    Session& p = program();
    for (std::size_t row = 0; row < Products().size(); ++row)
      p.ProductTable[row].Name = Products()[row].name;
    p.ProductTable[ProductRow("DAXOR_OLD")].ServerFolder = "D:\\OLD\\";  // never filed under
    p.ProductTable[ProductRow("DAXOR2D")].ServerFolder = "D:\\SERVER\\DAXOR\\";
    p.ProductTable[ProductRow("PLOVIK")].ServerFolder = "D:\\SERVER\\PLOVIK\\";
    p.ProductTable[ProductRow("TRELUN")].ServerFolder = "D:\\SERVER\\TRELUN\\";
    // The roots are the server's shares: they exist, the levels below are made.
    for (const char* root : {"D:\\SERVER\\DAXOR", "D:\\SERVER\\PLOVIK", "D:\\SERVER\\TRELUN"}) {
      MakeFolder(root);
    }
    p.ProductFolder = "C:\\ORVEL\\VER14";
    p.SystemFolder = "C:\\KYCONFIG\\SYSTEM";
    p.ArchiverPath = "C:\\ORVEL\\VER14\\TOOLS\\PkZip25";
    p.BackupPath = "A:\\";
    p.ColorBlue = 0x0000FF;
    p.ColorBlack = 0x000001;
  }

  /// A DAXOR backup archive on the unit: KyConfig\DAXOR1401\ and one machine
  /// file per (name, post-processor).
  void DaxorArchive(const std::string& name,
                    const std::vector<std::pair<std::string, std::string>>& machines) {
    ZipEntries entries = {{"KyConfig/DAXOR1401/DAXOR.INI", "[SETTINGS]\r\n"}};
    for (const auto& [machine, pp] : machines) {
      entries.push_back({"ORVEL/VER14/MAC/" + machine, MachineFile(pp)});
    }
    WriteStoredZip(*this, "A:\\" + name, entries);
  }

  /// Texts of the message-area lines.
  std::vector<std::string> LineTexts() {
    std::vector<std::string> texts;
    for (const auto& line : ui().lines()) texts.push_back(line.text);
    return texts;
  }
};

/// A session over a fault-injecting wrapper of the world's platform, with the
/// settings a server copy or an erase reads and the world's UI.
struct FaultyProgram {
  explicit FaultyProgram(ServerWorld& world)
      : platform(world.platform()), program(platform, world.ui()) {
    const Session& from = world.program();
    program.ProductTable = from.ProductTable;
    program.ProductFolder = from.ProductFolder;
    program.SystemFolder = from.SystemFolder;
    program.CnfFolder = from.CnfFolder;
    program.ArchiverPath = from.ArchiverPath;
    program.BackupPath = from.BackupPath;
    program.ErrorTexts = from.ErrorTexts;
    program.ErrorTitles = from.ErrorTitles;
    program.ColorBlue = from.ColorBlue;
    program.ColorBlack = from.ColorBlack;
  }
  FaultPlatform platform;
  Session program;
};

}  // namespace zr::testing

#endif  // ZARIREVO_SERVER_SERVER_TEST_SUPPORT_H_

// Test helpers for the server copy and the erase: a world with a product
// folder, the archiver installed where the program looks for it, server roots
// on drive D:, and a small writer of stored (uncompressed) ZIP archives, so
// that tests can make any entry name, also the hostile ones an honest
// archiver refuses to write.
#ifndef ZARIREVO_SERVER_SERVER_TEST_SUPPORT_H_
#define ZARIREVO_SERVER_SERVER_TEST_SUPPORT_H_

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/fault_platform.h"
#include "tests/test_world.h"

namespace zr::testing {

using ZipEntries = std::vector<std::pair<std::string, std::string>>;  // name, content

inline std::uint32_t Crc32(const std::string& bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

/// The bytes of a ZIP archive holding `entries` stored without compression.
/// Names are written as given ("/" separates folders).
inline std::string StoredZip(const ZipEntries& entries) {
  // Appends little-endian fields of `width` bytes each.
  auto put = [](std::string& out, int width, std::initializer_list<std::uint32_t> fields) {
    for (std::uint32_t value : fields) {
      for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
  };
  std::string body, central;
  for (const auto& [name, content] : entries) {
    const auto offset = static_cast<std::uint32_t>(body.size());
    const std::uint32_t crc = Crc32(content), size = static_cast<std::uint32_t>(content.size());
    const auto length = static_cast<std::uint32_t>(name.size());
    // Version 2.0, no flags, stored, time 0, date 1980-01-01.
    put(body, 4, {0x04034b50});
    put(body, 2, {20, 0, 0, 0, 0x21});
    put(body, 4, {crc, size, size});
    put(body, 2, {length, 0});
    body += name + content;
    put(central, 4, {0x02014b50});
    put(central, 2, {20, 20, 0, 0, 0, 0x21});
    put(central, 4, {crc, size, size});
    put(central, 2, {length, 0, 0, 0, 0});  // no extra, comment; disk 0; internal attributes
    put(central, 4, {0, offset});           // external attributes, where the entry starts
    central += name;
  }
  const auto count = static_cast<std::uint32_t>(entries.size());
  std::string zip = body + central;
  put(zip, 4, {0x06054b50});
  put(zip, 2, {0, 0, count, count});
  put(zip, 4,
      {static_cast<std::uint32_t>(central.size()), static_cast<std::uint32_t>(body.size())});
  put(zip, 2, {0});
  return zip;
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
    WriteFile("A:\\" + name, StoredZip(entries));
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

// Test helpers for the server copy and the erase: a world with a product
// folder, the archiver installed where the program looks for it, server roots
// on drive D:, and a small writer of stored (uncompressed) ZIP archives, so
// that tests can make any entry name, also the hostile ones an honest
// archiver refuses to write.
#ifndef ZARIREVO_SERVER_SERVER_TEST_SUPPORT_H_
#define ZARIREVO_SERVER_SERVER_TEST_SUPPORT_H_

#include <array>
#include <cstdint>
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
  auto u16 = [](std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
  };
  auto u32 = [&](std::string& out, std::uint32_t v) {
    u16(out, v & 0xFFFF);
    u16(out, v >> 16);
  };
  std::string body;
  std::string central;
  for (const auto& [name, content] : entries) {
    const std::uint32_t offset = static_cast<std::uint32_t>(body.size());
    const std::uint32_t crc = Crc32(content);
    const auto size = static_cast<std::uint32_t>(content.size());
    u32(body, 0x04034b50);
    u16(body, 20);    // version needed
    u16(body, 0);     // flags
    u16(body, 0);     // stored
    u16(body, 0);     // time
    u16(body, 0x21);  // date: 1980-01-01
    u32(body, crc);
    u32(body, size);
    u32(body, size);
    u16(body, static_cast<unsigned>(name.size()));
    u16(body, 0);
    body += name + content;

    u32(central, 0x02014b50);
    u16(central, 20);
    u16(central, 20);
    u16(central, 0);
    u16(central, 0);
    u16(central, 0);
    u16(central, 0x21);
    u32(central, crc);
    u32(central, size);
    u32(central, size);
    u16(central, static_cast<unsigned>(name.size()));
    u16(central, 0);  // extra
    u16(central, 0);  // comment
    u16(central, 0);  // disk
    u16(central, 0);  // internal attributes
    u32(central, 0);  // external attributes
    u32(central, offset);
    central += name;
  }
  std::string zip = body + central;
  u32(zip, 0x06054b50);
  u16(zip, 0);
  u16(zip, 0);
  u16(zip, static_cast<unsigned>(entries.size()));
  u16(zip, static_cast<unsigned>(entries.size()));
  u32(zip, static_cast<std::uint32_t>(central.size()));
  u32(zip, static_cast<std::uint32_t>(body.size()));
  u16(zip, 0);
  return zip;
}

/// Copies the settings a server copy or an erase reads into a Program that
/// runs over another platform (a fault-injecting wrapper) and the same UI.
inline void CopySettings(const Program& from, Program& to) {
  to.ProductTable = from.ProductTable;
  to.ProductFolder = from.ProductFolder;
  to.SystemFolder = from.SystemFolder;
  to.CnfFolder = from.CnfFolder;
  to.ArchiverPath = from.ArchiverPath;
  to.BackupPath = from.BackupPath;
  to.ErrorTexts = from.ErrorTexts;
  to.ErrorTitles = from.ErrorTitles;
  to.ColorBlue = from.ColorBlue;
  to.ColorBlack = from.ColorBlack;
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
    Program& p = program();
    for (int row = 0; row < kProductCount; ++row) p.ProductTable[row].Name = kProductNames[row];
    p.ProductTable[kDaxor2D].ServerFolder = "D:\\SERVER\\DAXOR\\";
    p.ProductTable[kPlovik].ServerFolder = "D:\\SERVER\\PLOVIK\\";
    p.ProductTable[kTrelun].ServerFolder = "D:\\SERVER\\TRELUN\\";
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

  /// Texts of the message-area lines, and which of them were alarms.
  std::vector<std::string> LineTexts() {
    std::vector<std::string> texts;
    for (const auto& line : ui().lines()) texts.push_back(line.text);
    return texts;
  }
  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : ui().boxes()) texts.push_back(box.request.text);
    return texts;
  }
};

}  // namespace zr::testing

#endif  // ZARIREVO_SERVER_SERVER_TEST_SUPPORT_H_

// The archiver's command line and the names it reads: a split line either
// gives a usage error or paths that are full and normalised, and an entry
// name it accepts never leaves the destination.
#include "command_line.h"
#include "entry_names.h"
#include "fuzz/fuzz_targets.h"
#include "platform/host_process.h"

namespace zrfuzz {

namespace {

void CheckFull(const std::string& current, const std::string& text) {
  std::optional<pkzip::WindowsPath> path = pkzip::MakeFullPath(current, text);
  if (!path) return;
  for (const std::string& part : path->parts) {
    ZRFUZZ_CHECK("pkzip_command", !part.empty() && part != "." && part != "..", text);
    ZRFUZZ_CHECK("pkzip_command", part.find_first_of("\\/") == std::string::npos, text);
  }
  pkzip::StoredName(*path);
  path->Text();
}

}  // namespace

int PkZipCommand(const uint8_t* data, size_t size) {
  const std::vector<std::string> f = Fields(data, size, 3);
  const std::string &line = f[0], &entry = f[1], &current = f[2];

  std::vector<std::string> args = zr::host::SplitCommandLine("PkZip25 " + line);
  args.erase(args.begin());
  if (auto command = pkzip::ParseCommandLine(args)) {
    const std::string folder = current.empty() ? "C:\\WORK" : current;
    for (const std::string* text :
         {&command->archive, &command->list_file, &command->folder, &command->destination}) {
      ZRFUZZ_CHECK("pkzip_command", text->find('"') == std::string::npos, *text);
      CheckFull(folder, *text);
    }
  }

  std::vector<std::string> parts;
  std::string reason;
  if (pkzip::CheckEntryName(entry, &parts, &reason)) {
    ZRFUZZ_CHECK("pkzip_command", !parts.empty(), entry);
    for (const std::string& part : parts) {
      ZRFUZZ_CHECK("pkzip_command", !part.empty() && part != "." && part != "..", entry);
      ZRFUZZ_CHECK("pkzip_command", part.find_first_of("\\/:") == std::string::npos, entry);
    }
  }
  pkzip::FoldCase(entry);
  return 0;
}

}  // namespace zrfuzz

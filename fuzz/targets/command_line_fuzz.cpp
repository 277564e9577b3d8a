// The command-line splitter: every split, quoted back as the C run-time
// expects, splits again into the same arguments.
#include "fuzz/fuzz_targets.h"
#include "platform/host_process.h"

namespace zrfuzz {

namespace {

std::string Quote(const std::string& arg) {
  std::string out = "\"";
  size_t slashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    out.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, '\\');
  return out + "\"";
}

}  // namespace

int CommandLine(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> args = zr::host::SplitCommandLine(line);
  if (args.empty()) return 0;
  if (args[0].find_first_of(std::string("\"\0", 2)) != std::string::npos) return 0;
  std::string again(1, '"');
  again.append(args[0]) += '"';
  for (size_t i = 1; i < args.size(); ++i) again.append(1, ' ') += Quote(args[i]);
  ZRFUZZ_CHECK("command_line", zr::host::SplitCommandLine(again) == args, again);
  return 0;
}

}  // namespace zrfuzz

// Windows-form names on the host: making a path absolute, folding case,
// matching wildcards.
#include "fuzz/fuzz_targets.h"
#include "platform/host_paths.h"

namespace zrfuzz {

int Names(const uint8_t* data, size_t size) {
  const std::vector<std::string> f = Fields(data, size, 4);
  const std::string &text = f[0], &current_text = f[1], &pattern = f[2], &name = f[3];
  using zr::host::WinPath;

  WinPath current;
  if (!zr::host::MakeAbsolute(current_text, WinPath{'C', {}}, &current)) current = WinPath{'C', {}};
  WinPath out;
  if (zr::host::MakeAbsolute(text, current, &out)) {
    ZRFUZZ_CHECK("names", out.parts.size() >= out.root_parts(), text);
    for (const std::string& part : out.parts) {
      ZRFUZZ_CHECK("names", !part.empty() && part != "." && part != "..", text);
      ZRFUZZ_CHECK("names", part.find_first_of("\\/") == std::string::npos, text);
    }
    // The text of an absolute path stands for the same path.
    WinPath again;
    ZRFUZZ_CHECK("names", zr::host::MakeAbsolute(out.Text(), current, &again), out.Text());
    ZRFUZZ_CHECK("names", again.parts == out.parts && again.drive == out.drive, out.Text());
  }

  const std::string folded = zr::host::FoldCase(name);
  ZRFUZZ_CHECK("names", zr::host::FoldCase(folded) == folded, name);
  ZRFUZZ_CHECK("names", zr::host::EqualsNoCase(name, folded), name);
  ZRFUZZ_CHECK("names", !zr::host::LessNoCase(name, name), name);
  ZRFUZZ_CHECK("names", zr::host::WildcardMatch("*", name), name);
  if (!zr::host::HasWildcards(name)) {
    ZRFUZZ_CHECK("names", zr::host::WildcardMatch(name, name), name);
  }
  zr::host::WildcardMatch(pattern, name);
  return 0;
}

}  // namespace zrfuzz

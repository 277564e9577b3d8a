// Windows-form names on the host: making a path absolute, folding case,
// matching wildcards.
#include "fuzz/fuzz_targets.h"
#include "platform/host_paths.h"

namespace zrfuzz {

int Names(const uint8_t* data, size_t size) {
  const std::vector<std::string> f = Fields(data, size, 4);
  const std::string &text = f[0], &current_text = f[1], &pattern = f[2], &name = f[3];
  using zr::WindowsPath;

  const WindowsPath current = WindowsPath::Parse(current_text).value_or(WindowsPath{});
  if (std::optional<WindowsPath> parsed = WindowsPath::Parse(text, current)) {
    const WindowsPath& out = *parsed;
    ZRFUZZ_CHECK("names", out.parts.size() >= out.root_parts(), text);
    for (const std::string& part : out.parts) {
      ZRFUZZ_CHECK("names", !part.empty() && part != "." && part != "..", text);
      ZRFUZZ_CHECK("names", part.find_first_of("\\/") == std::string::npos, text);
    }
    // The text of an absolute path stands for the same path.
    std::optional<WindowsPath> again = WindowsPath::Parse(out.Text(), current);
    ZRFUZZ_CHECK("names", again.has_value(), out.Text());
    ZRFUZZ_CHECK("names", again->parts == out.parts && again->drive == out.drive, out.Text());
    ZRFUZZ_CHECK("names", again->SameAs(out) && !out.LiesBelow(out), out.Text());
    ZRFUZZ_CHECK("names", out.is_root() || out.LiesBelow(out.Parent()), out.Text());
  }

  const std::string folded = zr::FoldCase(name);
  ZRFUZZ_CHECK("names", zr::FoldCase(folded) == folded, name);
  ZRFUZZ_CHECK("names", zr::EqualsNoCase(name, folded), name);
  ZRFUZZ_CHECK("names", !zr::LessNoCase(name, name), name);
  ZRFUZZ_CHECK("names", zr::host::WildcardMatch("*", name), name);
  if (!zr::host::HasWildcards(name)) {
    ZRFUZZ_CHECK("names", zr::host::WildcardMatch(name, name), name);
  }
  zr::host::WildcardMatch(pattern, name);
  return 0;
}

}  // namespace zrfuzz

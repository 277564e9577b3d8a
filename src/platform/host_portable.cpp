#include "platform/host_portable.h"

#include <cctype>
#include <chrono>
#include <cstdlib>

#include "platform/host_clock.h"
#include "platform/windows_path.h"

namespace zr {

namespace {

bool IsDigits(const std::string& text, std::size_t from, std::size_t count) {
  for (std::size_t i = from; i < from + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

}  // namespace

bool ParseIsoDate(const std::string& text, int* year, int* month, int* day) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  if (!IsDigits(text, 0, 4) || !IsDigits(text, 5, 2) || !IsDigits(text, 8, 2)) return false;
  const int y = std::atoi(text.substr(0, 4).c_str());
  const int m = std::atoi(text.substr(5, 2).c_str());
  const int d = std::atoi(text.substr(8, 2).c_str());
  const std::chrono::year_month_day date{std::chrono::year{y},
                                         std::chrono::month{static_cast<unsigned>(m)},
                                         std::chrono::day{static_cast<unsigned>(d)}};
  if (!date.ok()) return false;
  *year = y;
  *month = m;
  *day = d;
  return true;
}

namespace host {

namespace {

bool GlobMatch(std::string_view p, std::string_view s) {
  std::size_t pi = 0, si = 0, star = std::string_view::npos, mark = 0;
  while (si < s.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == s[si])) {
      ++pi;
      ++si;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = si;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      si = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool HasWildcards(std::string_view pattern) {
  return pattern.find_first_of("*?") != std::string_view::npos;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (pattern == "*" || pattern == "*.*") return true;
  std::string p = FoldCase(pattern), s = FoldCase(name);
  if (GlobMatch(p, s)) return true;
  bool no_dot = s.find('.') == std::string::npos;
  if (no_dot && p.size() > 2 && p.compare(p.size() - 2, 2, ".*") == 0) {
    return GlobMatch(std::string_view(p).substr(0, p.size() - 2), s);
  }
  if (no_dot && p.size() > 1 && p.back() == '.') {
    return GlobMatch(std::string_view(p).substr(0, p.size() - 1), s);
  }
  return false;
}

std::string TrimHostFolder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

DriveMap ParseDriveMap(const std::string& drives, const std::string& unc,
                       const std::string& windir) {
  DriveMap map;
  std::size_t start = 0;
  while (!drives.empty() && start <= drives.size()) {
    std::size_t end = drives.find(';', start);
    if (end == std::string::npos) end = drives.size();
    std::string item = drives.substr(start, end - start);
    if (item.size() >= 3 && item[1] == '=' && std::isalpha(static_cast<unsigned char>(item[0]))) {
      char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(item[0])));
      map.drives[letter] = TrimHostFolder(item.substr(2));
    }
    start = end + 1;
  }
  if (!unc.empty()) map.unc_root = TrimHostFolder(unc);
  if (!windir.empty()) map.windows_folder = windir;
  return map;
}

void SplitListPattern(const std::string& pattern, std::string* folder, std::string* name) {
  if (std::string_view part = FolderOfText(pattern, "\\/"); !part.empty()) {
    *folder = part;
    *name = pattern.substr(part.size());
  } else if (pattern.size() >= 2 && pattern[1] == ':' &&
             std::isalpha(static_cast<unsigned char>(pattern[0]))) {
    *folder = pattern.substr(0, 2);
    *name = pattern.substr(2);
  } else {
    folder->clear();
    *name = pattern;
  }
  if (name->empty()) *name = "*";
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> args;
  std::size_t i = 0, n = line.size();
  while (i < n && IsBlank(line[i])) ++i;
  if (i == n) return args;

  // The program name: quotes group, backslashes are plain characters.
  std::string name;
  bool quoted = false;
  for (; i < n; ++i) {
    char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (IsBlank(c) && !quoted) {
      break;
    } else {
      name += c;
    }
  }
  args.push_back(std::move(name));

  while (true) {
    while (i < n && IsBlank(line[i])) ++i;
    if (i == n) break;
    std::string arg;
    quoted = false;
    while (i < n) {
      std::size_t slashes = 0;
      while (i < n && line[i] == '\\') {
        ++slashes;
        ++i;
      }
      if (i < n && line[i] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2 == 1) {
          arg += '"';
          ++i;
        } else if (quoted && i + 1 < n && line[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
        continue;
      }
      arg.append(slashes, '\\');
      if (i == n) break;
      if (IsBlank(line[i]) && !quoted) break;
      arg += line[i++];
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::filesystem::path FsPath(const std::string& host_path) {
  return std::filesystem::path(std::u8string(host_path.begin(), host_path.end()));
}

std::string FsText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace host

std::string DriveMap::DrivesVariable() const {
  std::string text;
  for (const auto& [letter, folder] : drives) {
    if (!text.empty()) text += ';';
    text += letter;
    text += '=';
    text += folder;
  }
  return text;
}
}  // namespace zr

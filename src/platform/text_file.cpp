#include "platform/text_file.h"

#include "platform/codepage.h"

namespace zr {

Status ReadTextLines(Platform& platform, const std::string& path, std::vector<std::string>* lines) {
  lines->clear();
  std::string bytes;
  Status status = platform.ReadFile(path, &bytes);
  if (!status.ok()) return status;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
    if (end == std::string::npos) end = bytes.size();
    // A CR just before the line end (or before the end of the file) belongs
    // to the line end, not to the line.
    if (end > start && bytes[end - 1] == '\r') --end;
    lines->push_back(Cp1252ToUtf8(bytes.substr(start, end - start)));
    start = next;
  }
  return status;
}

Status AppendTextLine(Platform& platform, const std::string& path, const std::string& line) {
  return platform.AppendFile(path, Utf8ToCp1252(line) + "\r\n");
}

std::string TextLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += Utf8ToCp1252(line) + "\r\n";
  return bytes;
}

Status AppendTextLines(Platform& platform, const std::string& path,
                       const std::vector<std::string>& lines) {
  return platform.AppendFile(path, TextLines(lines));
}

}  // namespace zr

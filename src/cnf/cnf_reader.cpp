#include "cnf/cnf_reader.h"

#include <vector>

#include "platform/codepage.h"
#include "platform/text_file.h"
#include "text/strings.h"

namespace zr {

namespace {

constexpr const char* kCnfName = "KY-GEN.CNF";
constexpr const char* kCnfPrompt = "Selezionare la cartella dov'è installato Daxor:";
constexpr std::size_t kRecordLength = 85;  // 83 characters, CR, LF
constexpr std::size_t kRecordText = 80;    // the part of a record that is read

// True when `folder` is a real folder text that holds KY-GEN.CNF. An empty
// folder (a cancelled picker) holds nothing, rather than standing for the
// root of the current drive.
bool HoldsCnf(CnfSession& program, const std::string& folder) {
  if (folder.empty()) return false;
  return FileExists(program.platform, folder + "\\" + kCnfName);
}

}  // namespace

std::string LocateCnfFolder(CnfSession& program, bool force_question) {
  const std::string current = program.platform.CurrentFolder();
  std::string chosen;
  if (!HoldsCnf(program, current) || force_question) {
    for (;;) {
      chosen = program.ui.BrowseForFolder(kCnfPrompt);
      if (HoldsCnf(program, chosen) || HoldsCnf(program, current)) break;
      MessageBoxRequest box;
      box.text = "File Ky-gen.cnf non trovato\rVuoi chiudere l'applicazione ?";
      box.title = "File not found";
      box.buttons = Buttons::kYesNo;
      if (program.ui.ShowMessageBox(box) == Answer::kYes) program.ui.EndProgram();
    }
  }
  return HoldsCnf(program, chosen) ? chosen : current;
}

std::string ReadCnfRecord(CnfSession& program, std::int16_t number) {
  if (number < 1) return {};
  // Read-only access: a missing file is not created and gives "".
  std::string bytes;
  if (!program.platform.ReadFile("KY-GEN.cnf", &bytes).ok()) return {};
  const std::size_t offset = static_cast<std::size_t>(number - 1) * kRecordLength;
  if (offset >= bytes.size()) return {};
  return TrimBlanks(Cp1252ToUtf8(bytes.substr(offset, kRecordText)));
}

std::optional<std::string> GetCnfParameter(CnfSession& program, const std::string& file,
                                           const std::string& key, std::int16_t number) {
  std::vector<std::string> lines;
  const Status status = ReadTextLines(program.platform, file, &lines);
  if (!status.ok()) {
    if (status.error == kErrFileNotFound) {
      const std::string& cnf = program.CnfFolder;
      const std::string shown = file.size() > cnf.size() ? file.substr(cnf.size()) : std::string();
      MessageBoxRequest box;
      box.text = "Non esiste il file " + shown + "\n\rTrovarlo e metterlo nella cartella " + cnf;
      box.title = "File non trovato";
      box.buttons = Buttons::kOk;
      program.ui.ShowMessageBox(box);
    }
    return std::string();
  }
  // Reading past the end of an empty file is an error: no value, no message.
  if (lines.empty()) return std::string();

  const std::string* found = nullptr;
  for (const std::string& line : lines) {
    if (line.compare(0, key.size(), key) == 0 && line.size() >= key.size()) {
      found = &line;
      break;
    }
  }
  if (found == nullptr) return std::nullopt;

  std::array<std::string, kMaxFields + 1> fields;
  std::int16_t count = 0;
  SplitFields(*found, "|", fields, count);
  if (number < 0 || number + 1 > kMaxFields) return std::string();
  return StripComment(fields[static_cast<std::size_t>(number + 1)]);
}

void SplitFields(const std::string& line, const std::string& separator,
                 std::array<std::string, kMaxFields + 1>& fields, std::int16_t& count) {
  for (std::size_t i = 1; i < fields.size(); ++i) fields[i].clear();
  std::string rest = TrimBlanks(line);
  count = 0;
  while (!rest.empty() && count < kMaxFields) {
    ++count;
    rest = TrimLeadingBlanks(rest);
    const std::size_t at = separator.empty() ? std::string::npos : rest.find(separator);
    if (at == std::string::npos) {
      fields[static_cast<std::size_t>(count)] = rest;
      break;
    }
    fields[static_cast<std::size_t>(count)] = rest.substr(0, at);
    rest = rest.substr(at + separator.size());
  }
}

std::string StripComment(const std::string& text) {
  std::string value = TrimBlanks(text);
  const std::size_t apostrophe = value.find('\'');
  if (apostrophe != std::string::npos) value.resize(apostrophe);
  const std::size_t tab = value.find('\t');
  if (tab != std::string::npos) value.resize(tab);
  return value;
}

}  // namespace zr

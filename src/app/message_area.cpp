#include "app/message_area.h"

#include <cstddef>

#include "text/strings.h"

namespace zr {

namespace {

// Entries of a fixed table, or "" for a number outside it.
template <std::size_t N>
const std::string& EntryOrEmpty(const std::array<std::string, N>& table, int index) {
  static const std::string kEmpty;
  if (index < 0 || static_cast<std::size_t>(index) >= N) return kEmpty;
  return table[static_cast<std::size_t>(index)];
}

}  // namespace

void WriteMessageLine(Session& program, const std::string& text, bool alarm, Color colour,
                      bool zip_only) {
  Color background = kBackgroundNormal;
  if (alarm) {
    program.ui.Beep();
    background = kBackgroundAlarm;
  }
  std::string suffix;
  if (zip_only) {
    suffix = kZipOnlySuffix;
    background = kBackgroundZipOnly;
  }
  program.MessageBackground = background;
  program.ui.SetMessageBackground(background);
  program.ui.AppendMessageLine(text + suffix, colour);
}

Answer ShowErrorBox(Session& program, int number, int title_index, ErrorBoxButtons buttons,
                    const std::string& before, const std::string& after) {
  std::string title;
  bool titled = false;
  if (number == kErrFileNotFound) {
    title = EntryOrEmpty(program.ErrorTitles, 1);
    titled = true;
  } else if (number == kErrDiskNotReady || number == kErrPathFileAccess ||
             number == kErrPathNotFound) {
    title = EntryOrEmpty(program.ErrorTitles, 2);
    titled = true;
  }
  if (!titled) title = EntryOrEmpty(program.ErrorTitles, title_index);

  MessageBoxRequest box;
  box.text = before + "\r" + EntryOrEmpty(program.ErrorTexts, number) + "\r" + after;
  box.title = title;
  if (buttons == ErrorBoxButtons::kOkOnly) {
    box.buttons = Buttons::kOk;
    program.ui.ShowMessageBox(box);
    return Answer::kOk;
  }
  box.buttons = Buttons::kOkCancel;
  return program.ui.ShowMessageBox(box) == Answer::kOk ? Answer::kOk : Answer::kCancel;
}

void LoadErrorTexts(Session& program) {
  if (ToUpper(program.Language) != "ITA") return;
  auto& texts = program.ErrorTexts;
  texts[1] = "NON FUNZIONA";
  texts[2] = "NON FUNZIONA";
  texts[kErrFileNotFound] = "Non esiste il file";
  texts[kErrFileInUse] = "Il file è in uso da un altro programma";
  texts[kErrPermissionDenied] = "Attiva protezione in scrittura";
  texts[kErrDiskNotReady] = "non è accessibile ";
  texts[kErrPathFileAccess] = "Non posso creare la cartella perchè già essitente";
  texts[kErrPathNotFound] = "Cartella errata";
  program.ErrorTitles[1] = "ERRORE SUI FILE";
  program.ErrorTitles[2] = "ERRORE SULLE CARTELLE";
}

}  // namespace zr

#include "ui/help_layout.h"

#include <algorithm>
#include <cmath>

namespace zr {

const std::array<std::string, kHelpNoteCount>& HelpNotes() {
  // UTF-8 texts; "\r" is the paragraph break inside one label.
  static const std::array<std::string, kHelpNoteCount> notes = {
      "NOTE SULL'INSTALLAZIONE",
      "Con le versioni vecchie di Daxor (versione 14.1 SP8) bisogna far partire l 'eseguibile "
      "dalla cartella dove è installato Daxor, oppure indicare questa cartella nella riga di "
      "comandi o nel file Za-Rirevo.ini (come spiegato dopo).\r"
      "Per le nuove versioni di Daxor (dopo la 14.1 SP8), per Trelun e Plovik invece bisogna "
      "avviare l'eseguibile da dove si vuole (le installazioni lo salvano in C:\\kyconfig\\system) "
      "con l'accortezza di indicare la cartella dove si trova l 'elenco dei software KY installati "
      "(elenco di cartelle: Daxor1401, Trelun0102 Plovik0102 ...) che dovrebbe essere c:\\KyConfig",
      "Esecuzione dell'eseguibile da una cartella diversa: Per indicare la cartella di ricerca dei "
      "software basta aggiungere nella riga comandi (quella aggiunta all'avvio dell'eseguibile: "
      "C:\\Za-Rirevo.exe /comandi) la seguente dicitura: /Fc:\\kyconfig\\system, oppure nel file "
      "(crearlo se non esiste) Za-Rirevo.ini aggiungere :\r"
      "[PATH]\r"
      "KYSYSTEM=c:\\kyconfig\\system",
      "Il file Za-Rirevo.ini, nel caso in cui non c'è (al primo avvio) viene creato con delle "
      "impostazioni di default",
      "Za-Rirevo utilizza il file, esterno, PkZip25.exe.\r"
      "Lo cerca nella cartella dove abbiamo avviato il ZA-Rirevo quando non siamo nella cartella "
      "di Daxor (non trova il file Ky-gen.cnf)\r"
      "Se invece avvio il ZA-Rirevo da C:\\Orvel\\ver14 (percorso di Daxor) lo cerca nella "
      "cartella figlia Tools (C:\\Orvel\\Ver14\\Tools)\r"
      "Comunque è possibile indicare nel file ZA-Rirevo.ini dove trovarlo:\r"
      "[PATH]\r"
      "ZIPFILE=c:\\kyconfig\\system\\PKZIP25"};
  return notes;
}

HelpLayout LayoutHelpForm(int client_width, int title_height, int note0_height) {
  // A window narrower than the margin gives labels of width 0, not negative.
  const int width = std::max(0, client_width - kHelpWidthMargin);
  HelpLayout layout;
  layout.title = {kHelpLeft, kHelpTop, width, std::max(0, title_height)};
  int y = kHelpTop + layout.title.height + kHelpGap;
  for (int i = 0; i < kHelpNoteCount; ++i) {
    const int height = i == 0 ? std::max(0, note0_height) : kHelpFixedHeights[i - 1];
    layout.notes[i] = {kHelpLeft, y, width, height};
    y += height + kHelpGap;
  }
  return layout;
}

int TwipsToPixels(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

int PixelsToTwips(int pixels, double dpi) {
  if (dpi <= 0) return 0;
  return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

}  // namespace zr

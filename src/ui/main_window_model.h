// The main window's model: its menu tree, the controls of the main window
// and of the launcher, with their captions and states. Program (ui/program.h)
// holds one beside the session; the front-ends show it and the selection of
// a backup is read from it.
#ifndef ZARIREVO_UI_MAIN_WINDOW_MODEL_H_
#define ZARIREVO_UI_MAIN_WINDOW_MODEL_H_

#include <string>
#include <vector>

#include "platform/user_interface.h"

namespace zr {

/// A menu item or a control: caption, Enabled and Checked.
struct MenuItem {
  std::string caption;
  bool enabled = true;
  bool checked = false;
};

/// The menu tree of the main window, with the design-time captions and states.
struct BaseFormMenus {
  MenuItem Menu1{"&File"};
  MenuItem Menu11{"&Apri CNF"};
  MenuItem Menu12{"Copia sul &Server"};
  MenuItem Menu13{"&Chiudi"};
  MenuItem Menu2{"File&ToCopy"};
  MenuItem Menu21{"File_Configurazioni"};
  MenuItem Menu211{"&Macchina", true, true};
  MenuItem Menu212{"&PostProcessor", true, true};
  MenuItem Menu213{"Pe&Rsonalizzazioni", true, true};
  MenuItem Menu214{"&Stampe"};
  MenuItem Menu215{"", true, true};
  MenuItem Menu216{"&Trasmissioni", true, true};
  MenuItem Menu217{"&Windows", true, true};
  MenuItem Menu22{"&Eseguibili"};
  MenuItem Menu221{"&PostProcessor"};
  MenuItem Menu23{"&DataBase"};
  MenuItem Menu231{"&Tabelle_Laser"};
  MenuItem Menu232{"Ta&Belle_Mdb"};
  MenuItem Menu233{"&Material_Mdb"};
  MenuItem Menu24{"&Utensili"};
  MenuItem Menu241{"&Punzoni"};
  MenuItem Menu242{"&Matrici"};
  MenuItem Menu25{"&Tutti"};
  MenuItem Menu3{"&Configurazione"};
  MenuItem Menu31{"&Configurazione_ZIP"};
  MenuItem Menu311{"&Non compattare"};
  MenuItem Menu312{"&Compatta nella root", true, true};
  MenuItem Menu313{"&Compatta nella cartella"};
  MenuItem Menu32{"&Formatta Floppy"};
  MenuItem Menu33{"&Percorsi"};
  MenuItem Menu331{"&Backup Cliente"};
  MenuItem Menu332{"Backup &Server"};
  MenuItem Menu3321{""};
  MenuItem Menu3322{""};
  MenuItem Menu3323{""};
  MenuItem Menu3324{"Dunra: ", false, false};
  MenuItem Menu4{"&?"};
  MenuItem Menu41{"&Help"};
};

/// One entry of the menu tree, for walking it in order (front-ends, tests).
struct MenuEntry {
  const char* name;    // "Menu211"
  const char* parent;  // "Menu21", or "" for a bar menu
  MenuItem BaseFormMenus::*item;
};
/// Every menu item in tree order.
const std::vector<MenuEntry>& MenuTree();
/// The submenus that hold the item `name`, from the bar down ({"Menu2",
/// "Menu21"} for "Menu211"): the path a click on it opens again. Empty for
/// a bar menu or a name not in the tree.
std::vector<std::string> MenuPathTo(const std::string& name);
/// The file items in the order "&Tutti" walks them (Menu211 ... Menu242).
const std::vector<MenuItem BaseFormMenus::*>& FileItems();

/// Controls of the main window `BaseForm` besides its menus.
struct BaseFormControls {
  std::string Caption;  // "ZA-Rirevo Vers. 6.8.1"
  MenuItem Software_B;  // caption = the selected product
  MenuItem EsciB{"ESCI"};
  MenuItem StopB{"STOP", false};
  MenuItem OK_B{"OK", false};
  std::string NomeCliente;       // customer name box
  std::string DataOggi{"data"};  // today's date in the short date form
};

/// Controls of the launcher `BackupBotton`.
struct LauncherControls {
  MenuItem Software_B;
  MenuItem Backup{"BACKUP"};
};

/// The launcher, the main window's controls and its menus.
struct MainWindowModel {
  LauncherControls launcher;
  BaseFormControls main;
  BaseFormMenus menus;
};

}  // namespace zr

#endif  // ZARIREVO_UI_MAIN_WINDOW_MODEL_H_

#include "ui/base_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/product_catalog.h"
#include "app/startup.h"
#include "backup/backup_job.h"
#include "tests/installations.h"
#include "tests/ui_test_world.h"
#include "ui/commands.h"

namespace zr {
namespace {

using Path = std::vector<std::string>;

// The file items as "name=enabled,checked,caption" for compact comparisons.
std::string FileStates(const BaseFormMenus& menus) {
  std::string text;
  for (const MenuEntry& entry : MenuTree()) {
    if (!IsFileItem(entry.name)) continue;
    const MenuItem& item = menus.*(entry.item);
    text += std::string(entry.name) + "=" + (item.enabled ? "E" : "-") +
            (item.checked ? "C" : "-") + item.caption + " ";
  }
  return text;
}

// The same, as the product's row sets the items over the window's own ones
// (Menu215 named after the product).
std::string RowStates(const ProductDescriptor& product) {
  BaseFormMenus menus;
  for (const FileItemState& state : product.file_items) {
    for (const MenuEntry& entry : MenuTree()) {
      if (std::string(state.item) != entry.name) continue;
      MenuItem& item = menus.*(entry.item);
      if (state.caption != nullptr) item.caption = state.caption;
      item.enabled = state.enabled;
      item.checked = state.checked;
    }
  }
  menus.Menu215.caption = product.name;
  return FileStates(menus);
}
const ProductDescriptor& Row(const char* name) {
  return Products()[static_cast<std::size_t>(ProductRow(name))];
}

class BaseFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SetEnvironment("ZARIREVO_TODAY", "2024-03-07");
    world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  }
  void TearDown() override { testing::SetEnvironment("ZARIREVO_TODAY", nullptr); }
  // Installs each product in C:\<its first letter>, then starts the program.
  void Start(std::initializer_list<const char*> products = {}) {
    for (const char* product : products) {
      testing::InstallProduct(world_, product, std::string("C:\\") + product[0]);
    }
    StartProgram(program_, "/Fc:\\kyconfig\\system");
    OpenMainWindow(program_, {});
  }
  testing::UiTestWorld world_;
  Program& program_ = world_.program();
  MainWindowCommands commands_{program_};
  ScriptedUi& ui_ = world_.ui();
  BaseFormMenus& menus_ = program_.menus;
};

// Whatever product came before, a product with file items shows them as its
// row says (an item it leaves unnamed with its own caption), one without
// leaves them as they are; Menu215 takes the product's name.
TEST_F(BaseFormTest, EachProductSetsTheFileItemsOfItsRow) {
  Start({"PLOVIK0102"});
  for (const ProductDescriptor& before : Products()) {
    for (const ProductDescriptor& product : Products()) {
      SCOPED_TRACE(std::string(before.name) + " then " + product.name);
      ApplyProductMenus(program_, before.name);
      BaseFormMenus kept = menus_;
      kept.Menu215.caption = product.name;
      ApplyProductMenus(program_, product.name);
      const bool sets = !product.file_items.empty();
      EXPECT_EQ(FileStates(menus_), sets ? RowStates(product) : FileStates(kept));
      EXPECT_EQ(menus_.Menu24.caption, sets ? product.tools_caption : kept.Menu24.caption);
    }
  }
}

TEST_F(BaseFormTest, Daxor2DItalianLoad) {
  testing::InstallDaxorFolder(world_, "C:\\D", "ita");
  Start({"DAXOR1401"});
  EXPECT_EQ(program_.main.Caption, "ZA-Rirevo Vers. 6.8.1");
  EXPECT_EQ(program_.main.DataOggi, "07/03/2024");
  EXPECT_FALSE(program_.main.OK_B.enabled || StopEnabled(program_));
  EXPECT_EQ(program_.main.Software_B.caption, "DAXOR2D");
  EXPECT_EQ(menus_.Menu313.caption, "Comapatta nella cartella cliente");
  EXPECT_EQ(menus_.Menu331.caption, "Backup Cliente: A:\\");
  EXPECT_EQ(menus_.Menu3321.caption, "DAXOR2D: ");
  EXPECT_FALSE(menus_.Menu11.enabled);
  EXPECT_TRUE(menus_.Menu312.checked);
  EXPECT_FALSE(menus_.Menu311.checked || menus_.Menu313.checked);
  EXPECT_FALSE(menus_.Menu3324.enabled);
}

// The product found is applied when the window opens; the language follows
// it (PLOVIK is English, TRELUN as LINGUA says); Tutti checks the enabled
// items only.
TEST_F(BaseFormTest, LoadAppliesTheProductAndTuttiChecksOnlyEnabledItems) {
  Start({"PLOVIK0102"});
  EXPECT_EQ(FileStates(menus_), RowStates(Row("PLOVIK")));
  EXPECT_EQ(menus_.Menu3.caption, "Configuration");
  EXPECT_EQ(menus_.Menu313.caption, "Compress on client folder");
  EXPECT_EQ(menus_.Menu331.caption, "Backup Client: A:\\");
  Menu25Click(program_);
  for (auto item : FileItems()) EXPECT_EQ((menus_.*item).checked, (menus_.*item).enabled);
  EXPECT_FALSE(menus_.Menu212.checked);
  EXPECT_EQ(ui_.reopened_menus().back(), Path{"Menu2"});

  testing::UiTestWorld trelun;
  testing::InstallProduct(trelun, "TRELUN0102", "C:\\T", {"[OPTION]", "LINGUA=1"});
  trelun.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  StartProgram(trelun.program(), "/Fc:\\kyconfig\\system");
  OpenMainWindow(trelun.program(), {});
  EXPECT_EQ(FileStates(trelun.program().menus), RowStates(Row("TRELUN")));
  EXPECT_EQ(trelun.program().menus.Menu3.caption, "Configurazione");
}

TEST_F(BaseFormTest, OldDaxorKeepsTheDesignStatesAndEnablesApriCnf) {
  testing::InstallDaxorFolder(world_, "C:\\KYCONFIG\\SYSTEM", "ENG");
  Start();
  EXPECT_EQ(program_.SelectedSoftware, "DAXOR_OLD");
  BaseFormMenus design;
  design.Menu215.caption = "DAXOR_OLD";
  EXPECT_EQ(FileStates(menus_), FileStates(design));
  EXPECT_TRUE(menus_.Menu11.enabled);
  // Apri CNF asks for the folder again.
  ui_.QueuePick("C:\\KYCONFIG\\SYSTEM");
  EXPECT_EQ(commands_.Run("Menu11"), CommandResult::kDone);
  EXPECT_EQ(ui_.prompts().size(), 1u);
}

TEST_F(BaseFormTest, FileItemsToggleAndReopenTheirSubmenu) {
  Start({"DAXOR1401"});
  Menu211Click(program_);
  EXPECT_FALSE(menus_.Menu211.checked);
  Menu211Click(program_);
  EXPECT_TRUE(menus_.Menu211.checked);
  Menu221Click(program_);
  Menu232Click(program_);
  Menu242Click(program_);
  EXPECT_TRUE(menus_.Menu242.checked);
  EXPECT_EQ(ui_.reopened_menus(),
            (std::vector<Path>{{"Menu2", "Menu21"}, {"Menu2", "Menu21"}, {"Menu2", "Menu22"},
                               {"Menu2", "Menu23"}, {"Menu2", "Menu24"}}));
}

TEST_F(BaseFormTest, CompressionItemsAndUnknownZipMode) {
  Start({"PLOVIK0102"});
  Menu313Click(program_);
  EXPECT_EQ(program_.ZipMode, ZipTarget::kCustomerFolder);
  EXPECT_TRUE(menus_.Menu313.checked);
  EXPECT_FALSE(menus_.Menu312.checked);
  Menu311Click(program_);
  EXPECT_EQ(program_.ZipMode, ZipTarget::kNone);
  EXPECT_EQ(ui_.reopened_menus().back(), (Path{"Menu3", "Menu31"}));

  // A load with a mode outside 0 to 2 leaves no item checked.
  LauncherLoad(program_, "/Fc:\\kyconfig\\system");
  LauncherBackupClick(program_);
  program_.SelectedSoftware = "DUNRA";  // nothing is read, so the mode stays
  program_.ZipMode = static_cast<ZipTarget>(7);
  BaseFormLoad(program_);
  EXPECT_FALSE(menus_.Menu311.checked || menus_.Menu312.checked || menus_.Menu313.checked);
}

// Each file item chooses its own group of the backup, read when the job asks
// (an item ticked while the copy runs counts), and the tool items offered
// say so apart from their check marks.
TEST_F(BaseFormTest, EachFileItemChoosesItsOwnGroup) {
  const std::pair<MenuItem BaseFormMenus::*, bool BackupItems::*> groups[] = {
      {&BaseFormMenus::Menu211, &BackupItems::machines},
      {&BaseFormMenus::Menu212, &BackupItems::post_processor},
      {&BaseFormMenus::Menu213, &BackupItems::customisations},
      {&BaseFormMenus::Menu214, &BackupItems::reports},
      {&BaseFormMenus::Menu215, &BackupItems::product_files},
      {&BaseFormMenus::Menu216, &BackupItems::transmissions},
      {&BaseFormMenus::Menu217, &BackupItems::windows_files},
      {&BaseFormMenus::Menu221, &BackupItems::post_processor_exe},
      {&BaseFormMenus::Menu231, &BackupItems::laser_tables},
      {&BaseFormMenus::Menu232, &BackupItems::tables_mdb},
      {&BaseFormMenus::Menu233, &BackupItems::material_mdb},
      {&BaseFormMenus::Menu241, &BackupItems::punches},
      {&BaseFormMenus::Menu242, &BackupItems::dies}};
  const BackupSelection selection = CurrentBackupSelection(program_);
  for (std::size_t i = 0; i < std::size(groups); ++i) {
    SCOPED_TRACE(i);
    for (auto item : FileItems()) {
      (menus_.*item).checked = item == groups[i].first;
      (menus_.*item).enabled = false;
    }
    const BackupItems chosen = selection.items();
    for (const auto& [item, group] : groups) EXPECT_EQ(chosen.*group, item == groups[i].first);
    EXPECT_FALSE(chosen.punches_offered || chosen.dies_offered);
  }
  menus_.Menu241.enabled = true;
  EXPECT_TRUE(selection.items().punches_offered && !selection.items().dies_offered);
  menus_.Menu241.enabled = false;
  menus_.Menu242.enabled = true;
  EXPECT_TRUE(!selection.items().punches_offered && selection.items().dies_offered);
}

TEST_F(BaseFormTest, LauncherButtonStepsAndBackupTakesTheCaption) {
  testing::InstallProduct(world_, "DAXOR1401", "C:\\D");
  testing::InstallDaxorFolder(world_, "C:\\D", "ITA");
  testing::InstallProduct(world_, "PLOVIK0102", "C:\\P");
  testing::InstallProduct(world_, "TRELUN0102", "C:\\T", {"[OPTION]", "LINGUA=1"});
  LauncherLoad(program_, "/Fc:\\kyconfig\\system");
  EXPECT_EQ(program_.launcher.Backup.caption, "ZA-Rirevo\rVers.6.8.1");
  EXPECT_EQ(program_.launcher.Software_B.caption, "DAXOR2D");
  LauncherSoftwareClick(program_);
  EXPECT_EQ(program_.launcher.Software_B.caption, "PLOVIK");
  EXPECT_EQ(program_.SelectedSoftware, "DAXOR2D");
  LauncherSoftwareClick(program_);
  LauncherSoftwareClick(program_);
  EXPECT_EQ(program_.launcher.Software_B.caption, "DAXOR2D");
  LauncherSoftwareClick(program_);
  LauncherBackupClick(program_);
  EXPECT_EQ(program_.SelectedSoftware, "PLOVIK");
}

TEST_F(BaseFormTest, CustomerFolderPickerRepeatsWhilePathHoldsABlank) {
  Start({"PLOVIK0102"});
  world_.MakeFolder("D:\\BACKUP");
  ui_.QueuePick("D:\\MY BACKUP");
  ui_.QueuePick("D:\\A B");
  ui_.QueuePick("D:\\BACKUP");
  Menu331Click(program_);
  EXPECT_EQ(ui_.prompts().size(), 3u);
  EXPECT_EQ(ui_.prompts()[0], "Selezionare la cartella dove eseguire la copia di Backup :");
  EXPECT_EQ(program_.BackupPath, "D:\\BACKUP\\");
  EXPECT_EQ(menus_.Menu331.caption, "Backup Cliente: D:\\BACKUP\\");
  EXPECT_EQ(ui_.reopened_menus().back(), (Path{"Menu3", "Menu33"}));

  ui_.QueuePick("A:\\");
  Menu331Click(program_);
  EXPECT_EQ(program_.BackupPath, "A:\\");
  program_.BackupPath = "D:\\OLD\\";
  menus_.Menu331.caption = "Backup Client: D:\\OLD\\";
  Menu331Click(program_);  // cancelled: the path and its caption stay
  EXPECT_EQ(program_.BackupPath, "D:\\OLD\\");
  EXPECT_EQ(menus_.Menu331.caption, "Backup Client: D:\\OLD\\");
  // A folder that could not be saved as it is: a box says why, nothing changes.
  for (const std::string& pick : {std::string("D:\\GONE"), "D:\\" + std::string(300, 'X')}) {
    ui_.QueuePick(pick);
    Menu331Click(program_);
    EXPECT_EQ(program_.BackupPath, "D:\\OLD\\");
    EXPECT_EQ(ui_.boxes().back().request.title, "Folder Error");
  }
}

TEST_F(BaseFormTest, ServerFolderPickers) {
  world_.WriteLines("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI", {"[PATH]", "SERVER_TRELUN=S:\\T\\"});
  menus_.Menu12.enabled = false;
  Start({"PLOVIK0102"});  // a server root in the settings shows in its caption and enables the copy
  EXPECT_EQ(menus_.Menu3322.caption, "TRELUN: S:\\T\\");
  EXPECT_TRUE(menus_.Menu12.enabled);
  menus_.Menu12.enabled = false;
  Menu3322Click(program_);  // cancelled: the root, its caption and the copy item stay
  EXPECT_EQ(program_.ProductTable[ProductRow("TRELUN")].ServerFolder, "S:\\T\\");
  EXPECT_FALSE(menus_.Menu12.enabled);
  EXPECT_EQ(menus_.Menu3322.caption, "TRELUN: S:\\T\\");
  EXPECT_EQ(ui_.reopened_menus().back(), (Path{"Menu3", "Menu33", "Menu332"}));
  const std::string daxor_caption = menus_.Menu3321.caption;
  ui_.QueuePick("");  // a choice outside the drive map answers as a cancel
  Menu3321Click(program_);
  EXPECT_EQ(menus_.Menu3321.caption, daxor_caption);
  EXPECT_EQ(program_.ProductTable[ProductRow("DAXOR2D")].ServerFolder, "");

  ui_.QueuePick("S:\\DAXOR");
  Menu3321Click(program_);
  EXPECT_EQ(program_.ProductTable[ProductRow("DAXOR2D")].ServerFolder, "S:\\DAXOR\\");
  EXPECT_EQ(program_.ProductTable[ProductRow("DAXOR_OLD")].ServerFolder, "S:\\DAXOR\\");
  EXPECT_EQ(menus_.Menu3321.caption, "Daxor: S:\\DAXOR\\");
  ui_.QueuePick("S:\\PL\\");
  Menu3323Click(program_);
  EXPECT_EQ(program_.ProductTable[ProductRow("PLOVIK")].ServerFolder, "S:\\PL\\");
  EXPECT_EQ(ui_.prompts().back(),
            "Selezionare la cartella sul server dove salvare le Configurazioni Plovik  :");
  // Every picker's answer in one form: the bare network root is no folder
  // (as a cancel), a folder loses its extra trailing backslashes.
  for (const auto& [pick, root] : {std::pair{"\\\\", "S:\\PL\\"}, {"S:\\PL2\\\\", "S:\\PL2\\"}}) {
    ui_.QueuePick(pick);
    Menu3323Click(program_);
    EXPECT_EQ(program_.ProductTable[ProductRow("PLOVIK")].ServerFolder, root) << pick;
  }
  EXPECT_EQ(commands_.Run("Menu3324"), CommandResult::kDisabled);
  // Chiudi after the cancel saves the old root, and the backup path.
  program_.BackupPath = "D:\\X\\";
  EXPECT_THROW(commands_.Run("Menu13"), ProgramEnded);
  const std::string saved = world_.ReadFile("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI");
  EXPECT_NE(saved.find("SERVER_TRELUN=S:\\T\\"), std::string::npos);
  EXPECT_NE(saved.find("BACKUPCLIENTE=D:\\X\\"), std::string::npos);
}

TEST_F(BaseFormTest, ProductButtonAppliesTheNextProduct) {
  Start({"DAXOR1401", "PLOVIK0102"});
  Menu214Click(program_);
  BaseFormSoftwareClick(program_);
  EXPECT_EQ(program_.SelectedSoftware, "PLOVIK");
  EXPECT_EQ(program_.main.Software_B.caption, "PLOVIK");
  EXPECT_FALSE(menus_.Menu214.enabled);
  EXPECT_FALSE(menus_.Menu214.checked);
  EXPECT_EQ(menus_.Menu215.caption, "PLOVIK");
}

}  // namespace
}  // namespace zr

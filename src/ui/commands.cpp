#include "ui/commands.h"

#include <utility>

#include "backup/backup_job.h"
#include "server/server_copy.h"

namespace zr {

bool Job::Run(const std::function<bool()>& work) {
  const RunContext::Hold hold(program_.run);
  if (!hold.taken()) return false;
  succeeded_ = false;
  succeeded_ = work();
  return true;
}

void Job::Cancel() { StopButtonClick(program_); }

MainWindowCommands::MainWindowCommands(Program& program)
    : program_(program), job_(program), exit_(program) {
  BaseFormMenus& m = program.menus;
  BaseFormControls& main = program.main;
  const auto click = [&program](void (*handler)(Program&)) {
    return [&program, handler] {
      handler(program);
      return true;
    };
  };
  // The menus.
  Add("Menu11", &m.Menu11, click(Menu11Click));
  Add("Menu12", &m.Menu12, [&program] { return Menu12Click(program); });
  Add("Menu13", &m.Menu13, click(Menu13Click));
  const std::pair<const char*, void (*)(Program&)> file_items[] = {
      {"Menu211", Menu211Click},   {"Menu212", Menu212Click},   {"Menu213", Menu213Click},
      {"Menu214", Menu214Click},   {"Menu215", Menu215Click},   {"Menu216", Menu216Click},
      {"Menu217", Menu217Click},   {"Menu221", Menu221Click},   {"Menu231", Menu231Click},
      {"Menu232", Menu232Click},   {"Menu233", Menu233Click},   {"Menu241", Menu241Click},
      {"Menu242", Menu242Click},   {"Menu25", Menu25Click},     {"Menu311", Menu311Click},
      {"Menu312", Menu312Click},   {"Menu313", Menu313Click},   {"Menu331", Menu331Click},
      {"Menu3321", Menu3321Click}, {"Menu3322", Menu3322Click}, {"Menu3323", Menu3323Click},
      {"Menu3324", Menu3324Click},
  };
  for (const auto& [name, handler] : file_items)
    Add(name, FindMenuItem(program, name), click(handler));
  Add("Menu32", &m.Menu32, [&program] { return FormattaFloppyClick(program); });
  Add("Menu41", &m.Menu41, nullptr);  // the front-end's own (the help window)
  // The buttons and the name box's Enter, which runs the OK handler even
  // while OK_B is disabled.
  Add("Software_B", &main.Software_B, click(BaseFormSoftwareClick));
  Add("OK_B", &main.OK_B, [&program] {
    return OkButtonClick(program, CurrentBackupSelection(program)) == JobResult::kCompleted;
  });
  Add("NomeCliente", nullptr, [&program] {
    return NomeClienteKeyPress(program, 13, CurrentBackupSelection(program)) ==
           JobResult::kCompleted;
  });
  // During an operation.
  Add(
      "StopB", nullptr,
      [this] {
        job_.Cancel();
        return true;
      },
      true);
  commands_["StopB"].enabled = [&program] { return StopEnabled(program); };
  Add(
      "EsciB", &main.EsciB,
      [this] {
        exit_.EsciClick();
        return true;
      },
      true);
  Add(
      "Close", nullptr,
      [this] {
        exit_.CloseClick();
        return true;
      },
      true);
}

void MainWindowCommands::Add(const std::string& name, MenuItem* control,
                             std::function<bool()> handler, bool while_busy) {
  std::function<bool()> enabled;
  if (control != nullptr) enabled = [control] { return control->enabled; };
  commands_[name] = Command{std::move(handler), std::move(enabled), while_busy};
}

void MainWindowCommands::SetFrontEndHandler(const std::string& name,
                                            std::function<void()> handler) {
  Command& command = commands_[name];
  command.handler = [handler = std::move(handler)] {
    handler();
    return true;
  };
}

const MainWindowCommands::Command* MainWindowCommands::Find(const std::string& name) const {
  const auto it = commands_.find(name);
  return it == commands_.end() || !it->second.handler ? nullptr : &it->second;
}

CommandResult MainWindowCommands::Refusal(const Command* command) const {
  if (command == nullptr) return CommandResult::kUnknown;
  if (command->enabled && !command->enabled()) return CommandResult::kDisabled;
  if (program_.run.held() && !command->while_busy) return CommandResult::kBusy;
  return CommandResult::kDone;
}

bool MainWindowCommands::CanRun(const std::string& name) const {
  return Refusal(Find(name)) == CommandResult::kDone;
}

CommandResult MainWindowCommands::Run(const std::string& name) {
  const Command* command = Find(name);
  if (const CommandResult refused = Refusal(command); refused != CommandResult::kDone) {
    return refused;
  }
  bool done = true;
  if (command->while_busy) {
    done = command->handler();
  } else {
    exit_.RunOperation([&] {
      job_.Run(command->handler);
      done = job_.succeeded();
    });
  }
  program_.ui.StateChanged();
  return done ? CommandResult::kDone : CommandResult::kNotDone;
}

ShownMainWindow MainWindowCommands::Shown() const {
  const bool idle = !busy();
  ShownMainWindow shown;
  shown.controls = program_.main;
  BaseFormControls& controls = shown.controls;
  controls.Software_B.enabled = controls.Software_B.enabled && idle;
  controls.OK_B.enabled = controls.OK_B.enabled && idle;
  controls.StopB.enabled = StopEnabled(program_);
  controls.EsciB.enabled = controls.EsciB.enabled && !exit_.exit_asked();
  shown.menu_bar_enabled = idle;
  shown.customer_read_only = !idle;
  return shown;
}

void MainWindowCommands::TypeCustomer(const std::string& text) {
  if (program_.run.held()) return;
  NomeClienteChange(program_, text);
}

}  // namespace zr

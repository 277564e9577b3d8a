#include "ui/qt/base_form_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/startup.h"
#include "ui/base_form.h"
#include "ui/commands.h"
#include "ui/qt/help_window.h"
#include "ui/qt/message_view.h"

namespace zr::qt {

namespace {

bool IsCompressionItem(const std::string& name) {
  return name == "Menu311" || name == "Menu312" || name == "Menu313";
}

/// A button caption: carriage returns as line breaks, "&" shown as itself.
QString ButtonText(const std::string& caption) {
  return DisplayText(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

BaseFormWindow::BaseFormWindow(Program& program, QtUi& ui, QWidget* parent)
    : QMainWindow(parent), program_(program), ui_(ui), commands_(program) {
  commands_.SetFrontEndHandler("Menu41", [this] { OpenHelp(); });
  setObjectName(QStringLiteral("BaseForm"));
  BuildControls();
  BuildMenus();
  ui_.set_message_view(message_view_);
  ui_.set_state_listener([this] { Refresh(); });
  clock_.start();
  progress_ = std::make_unique<RunProgress>(
      [this] { return static_cast<double>(clock_.elapsed()) / 1000.0; },
      [this](const std::string& text) { statusBar()->showMessage(QString::fromStdString(text)); });
  program_.run.watcher = progress_.get();
  ui_.set_menu_reopener([this](const std::vector<std::string>& path) {
    if (path.empty()) return;
    // After the click has closed the menus, open the same path again.
    QTimer::singleShot(0, this, [this, path] { OpenMenuPath(path); });
  });
  Refresh();
}

BaseFormWindow::~BaseFormWindow() {
  if (program_.run.watcher == progress_.get()) program_.run.watcher = nullptr;
  ui_.set_message_view(nullptr);
  ui_.set_state_listener(nullptr);
  ui_.set_menu_reopener(nullptr);
}

void BaseFormWindow::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  auto* top = new QHBoxLayout();
  software_ = new QPushButton(central);
  software_->setObjectName(QStringLiteral("Software_B"));
  software_->setMinimumSize(140, 64);
  QFont bold = software_->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 2);
  software_->setFont(bold);
  top->addWidget(software_);

  auto* customer_frame = new QGroupBox(QStringLiteral("Cliente"), central);
  customer_frame->setObjectName(QStringLiteral("Frame1"));
  auto* customer_layout = new QHBoxLayout(customer_frame);
  customer_ = new QLineEdit(customer_frame);
  customer_->setObjectName(QStringLiteral("NomeCliente"));
  customer_->setMinimumWidth(220);
  date_ = new QLabel(customer_frame);
  date_->setObjectName(QStringLiteral("DataOggi"));
  customer_layout->addWidget(customer_, 1);
  customer_layout->addWidget(date_);
  top->addWidget(customer_frame, 1);

  auto* buttons = new QGridLayout();
  ok_ = new QPushButton(central);
  ok_->setObjectName(QStringLiteral("OK_B"));
  stop_ = new QPushButton(central);
  stop_->setObjectName(QStringLiteral("StopB"));
  exit_ = new QPushButton(central);
  exit_->setObjectName(QStringLiteral("EsciB"));
  for (QPushButton* button : {ok_, stop_, exit_}) {
    button->setMinimumSize(80, 30);
    button->setAutoDefault(false);
  }
  // STOP answers Escape, the desktop's key for breaking off; it acts only
  // while enabled (during a backup or a server copy).
  // (A shortcut of its own, as setText() replaces a button's shortcut.)
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, stop_,
          &QPushButton::click);
  stop_->setToolTip(QStringLiteral("Ferma la copia in corso (Esc)"));
  ok_->setToolTip(QStringLiteral("Avvia il backup per il cliente indicato (Invio nel nome)"));
  exit_->setToolTip(
      QStringLiteral("Salva le impostazioni ed esce; durante una copia la ferma "
                     "prima"));
  buttons->addWidget(ok_, 0, 0);
  buttons->addWidget(stop_, 0, 1);
  buttons->addWidget(exit_, 1, 0, 1, 2);
  top->addLayout(buttons);
  layout->addLayout(top);

  auto* messages_frame = new QGroupBox(QStringLiteral("Elenco File Backup"), central);
  messages_frame->setObjectName(QStringLiteral("Frame"));
  auto* messages_layout = new QVBoxLayout(messages_frame);
  message_view_ = new MessageView(messages_frame);
  message_view_->setObjectName(QStringLiteral("RigaCom1"));
  messages_layout->addWidget(message_view_);
  layout->addWidget(messages_frame, 1);
  setCentralWidget(central);
  resize(760, 520);

  connect(software_, &QPushButton::clicked, this, [this] { Handle("Software_B"); });
  connect(exit_, &QPushButton::clicked, this, [this] { Handle("EsciB"); });
  connect(stop_, &QPushButton::clicked, this, [this] { Handle("StopB"); });
  connect(ok_, &QPushButton::clicked, this, [this] { Handle("OK_B"); });
  connect(customer_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (refreshing_ || commands_.busy()) return;
    if (RunHandler(ui_, [this, text] { commands_.TypeCustomer(text.toStdString()); })) Refresh();
  });
  connect(customer_, &QLineEdit::returnPressed, this, [this] { Handle("NomeCliente"); });
}

void BaseFormWindow::BuildMenus() {
  std::set<std::string> parents;
  for (const MenuEntry& entry : MenuTree()) parents.insert(entry.parent);
  for (const MenuEntry& entry : MenuTree()) {
    const std::string name = entry.name;
    const std::string parent = entry.parent;
    if (parents.count(name) != 0) {
      QMenu* submenu =
          parent.empty() ? menuBar()->addMenu(QString()) : menus_[parent]->addMenu(QString());
      submenu->setObjectName(QString::fromStdString(name));
      menus_[name] = submenu;
      actions_[name] = submenu->menuAction();
      continue;
    }
    QAction* item = menus_[parent]->addAction(QString());
    item->setObjectName(QString::fromStdString(name));
    item->setCheckable(IsFileItem(name) || IsCompressionItem(name));
    connect(item, &QAction::triggered, this, [this, name] { MenuClicked(name); });
    actions_[name] = item;
  }
}

void BaseFormWindow::Refresh() {
  refreshing_ = true;
  if (!program_.main.Caption.empty()) setWindowTitle(QString::fromStdString(program_.main.Caption));
  for (const MenuEntry& entry : MenuTree()) {
    const MenuItem& item = program_.menus.*entry.item;
    QAction* action = actions_.at(entry.name);
    const QString caption = QString::fromStdString(item.caption);
    if (QMenu* submenu = menu(entry.name)) {
      submenu->setTitle(caption);
    } else {
      action->setText(caption);
    }
    action->setEnabled(item.enabled);
    if (action->isCheckable()) action->setChecked(item.checked);
  }
  if (progress_ != nullptr && !commands_.busy()) progress_->Clear();  // the run has ended
  const ShownMainWindow shown = commands_.Shown();
  const BaseFormControls& controls = shown.controls;
  menuBar()->setEnabled(shown.menu_bar_enabled);
  software_->setText(ButtonText(controls.Software_B.caption));
  software_->setEnabled(controls.Software_B.enabled);
  exit_->setText(ButtonText(controls.EsciB.caption));
  exit_->setEnabled(controls.EsciB.enabled);
  stop_->setText(ButtonText(controls.StopB.caption));
  stop_->setEnabled(controls.StopB.enabled);
  ok_->setText(ButtonText(controls.OK_B.caption));
  ok_->setEnabled(controls.OK_B.enabled);
  const QString customer = QString::fromStdString(controls.NomeCliente);
  if (customer_->text() != customer) customer_->setText(customer);
  customer_->setReadOnly(shown.customer_read_only);
  date_->setText(QString::fromStdString(controls.DataOggi));
  if (message_view_->background() != program_.MessageBackground) {
    message_view_->SetBackground(program_.MessageBackground);
  }
  refreshing_ = false;
}

QAction* BaseFormWindow::action(const std::string& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* BaseFormWindow::menu(const std::string& name) const {
  const auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second;
}

void BaseFormWindow::OpenMenuPath(const std::vector<std::string>& path) {
  if (path.empty() || ui_.ended() || !isVisible()) return;
  QAction* bar_action = action(path.front());
  QMenu* current = menu(path.front());
  if (bar_action == nullptr || current == nullptr || !bar_action->isEnabled()) return;
  // Open are the path's menus, no others (a menu a command left open closes).
  for (const MenuEntry& entry : MenuTree()) {
    QMenu* open = menu(entry.name);
    if (open != nullptr && open->isVisible() &&
        std::find(path.begin(), path.end(), entry.name) == path.end()) {
      open->hide();
    }
  }
  menuBar()->setActiveAction(bar_action);  // opens the bar menu
  for (std::size_t i = 1; i < path.size(); ++i) {
    QAction* next = action(path[i]);
    QMenu* next_menu = menu(path[i]);
    if (next == nullptr || next_menu == nullptr || !next->isEnabled()) return;
    current->setActiveAction(next);  // highlights the item and opens its submenu
    if (!next_menu->isVisible()) {
      next_menu->popup(current->mapToGlobal(current->actionGeometry(next).topRight()));
    }
    current = next_menu;
  }
}

void BaseFormWindow::Handle(const std::string& name) {
  // A refused command changes nothing; the refresh undoes the check mark Qt
  // toggled on the click.
  if (RunHandler(ui_, [this, &name] { commands_.Run(name); })) Refresh();
}

void BaseFormWindow::MenuClicked(const std::string& name) {
  Handle(name);
  // A checkable action toggles itself before the handler; the state shown is
  // always the program's.
  if (!ui_.ended()) Refresh();
}

void BaseFormWindow::OpenHelp() {
  if (help_ == nullptr) help_ = new HelpWindow(this);
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void BaseFormWindow::closeEvent(QCloseEvent* event) {
  // The close box ends the program without saving; a running backup is
  // stopped first and the window closes once it has cleaned up.
  if (!ui_.ended()) Handle("Close");
  if (!ui_.ended()) {
    event->ignore();
    return;
  }
  if (help_ != nullptr) help_->close();
  event->accept();
}

}  // namespace zr::qt

#include "ui/qt/folder_picker.h"

#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/windows_path.h"

namespace zr::qt {

std::vector<MappedRoot> MappedRoots(Platform& platform) {
  std::vector<MappedRoot> roots;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    std::string host;
    if (platform.ToHostPath(root, &host).ok() && !host.empty()) roots.push_back({root, host});
  }
  std::string host;
  if (platform.ToHostPath("\\\\", &host).ok() && !host.empty()) roots.push_back({"\\\\", host});
  return roots;
}

std::string PickedFolder(Platform& platform, const std::string& host_path) {
  if (host_path.empty()) return "";
  // A drive root keeps its backslash, the bare network root is no answer:
  // the rule of every picker's answer.
  return PickedFolderForm(platform.FromHostPath(host_path));
}

FolderPickerDialog::FolderPickerDialog(Platform& platform, const std::string& prompt,
                                       QWidget* parent)
    : QDialog(parent), platform_(platform), roots_(MappedRoots(platform)) {
  setWindowTitle(QStringLiteral("Sfoglia per cartelle"));
  auto* layout = new QVBoxLayout(this);
  auto* prompt_label = new QLabel(QString::fromStdString(prompt), this);
  prompt_label->setWordWrap(true);
  layout->addWidget(prompt_label);

  auto* middle = new QHBoxLayout();
  drives_ = new QListWidget(this);
  drives_->setObjectName(QStringLiteral("drives"));
  for (const MappedRoot& root : roots_) {
    const std::string shown = root.windows_path == "\\\\" ? "\\\\ (rete)" : root.windows_path;
    drives_->addItem(QString::fromStdString(shown));
  }
  drives_->setMaximumWidth(120);
  middle->addWidget(drives_);

  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setReadOnly(true);
  tree_ = new QTreeView(this);
  tree_->setObjectName(QStringLiteral("folders"));
  tree_->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) tree_->hideColumn(column);
  tree_->header()->hide();
  middle->addWidget(tree_, 1);
  layout->addLayout(middle, 1);

  path_label_ = new QLabel(this);
  path_label_->setObjectName(QStringLiteral("path"));
  layout->addWidget(path_label_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { UpdatePathLabel(); });
  connect(drives_, &QListWidget::currentRowChanged, this, [this](int row) { SelectRoot(row); });
  resize(520, 400);

  if (!roots_.empty()) drives_->setCurrentRow(0);
}

void FolderPickerDialog::SelectRoot(int index) {
  if (index < 0 || index >= static_cast<int>(roots_.size())) return;
  if (drives_->currentRow() != index) {
    drives_->setCurrentRow(index);  // comes back here through the signal
    return;
  }
  const QString host = QString::fromStdString(roots_[index].host_path);
  const QModelIndex root = model_->setRootPath(host);
  tree_->setRootIndex(root);
  // The tree's root is the drive itself: with nothing below selected, the
  // answer is the drive root.
  tree_->selectionModel()->clear();
  UpdatePathLabel();
}

void FolderPickerDialog::SelectHostFolder(const std::string& host_path) {
  const QModelIndex index = model_->index(QString::fromStdString(host_path));
  if (!index.isValid()) return;
  tree_->setCurrentIndex(index);
  tree_->scrollTo(index);
  UpdatePathLabel();
}

std::string FolderPickerDialog::SelectedFolder() const {
  const int row = drives_->currentRow();
  if (row < 0 || row >= static_cast<int>(roots_.size())) return "";
  const QModelIndex current = tree_->currentIndex();
  std::string host = roots_[row].host_path;
  if (current.isValid()) host = model_->filePath(current).toStdString();
  std::string path = PickedFolder(platform_, host);
  // The choice must lie below the chosen root (the tree cannot leave it, but
  // a stale index from another root must not answer).
  const std::string& root = roots_[row].windows_path;
  if (path.size() < 2 || QString::fromStdString(path.substr(0, 2)).toUpper() !=
                             QString::fromStdString(root.substr(0, 2)).toUpper()) {
    return "";
  }
  return path;
}

void FolderPickerDialog::UpdatePathLabel() {
  path_label_->setText(QString::fromStdString(SelectedFolder()));
}

std::string PickFolder(Platform& platform, const std::string& prompt, QWidget* parent) {
  FolderPickerDialog dialog(platform, prompt, parent);
  if (dialog.exec() != QDialog::Accepted) return "";
  return dialog.SelectedFolder();
}

}  // namespace zr::qt

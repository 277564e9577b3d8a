#include "tests/fault_platform.h"

#include <cctype>
#include <stdexcept>

namespace zr::testing {

std::optional<Status> FaultPlatform::Enter(Call call, const std::string& path,
                                           const std::string& other) {
  const int count = ++counts_[static_cast<int>(call)];
  for (const auto& [kind, limit] : limits_) {
    if (kind == call && count > limit) throw std::logic_error("a call keeps coming back: " + path);
  }
  std::optional<Status> outcome;
  for (Rule& rule : rules_) {
    if (rule.call != call) continue;
    if (!rule.where.empty() && path.find(rule.where) == std::string::npos &&
        other.find(rule.where) == std::string::npos) {
      continue;
    }
    if (rule.before) rule.before(path);
    if (rule.error != kErrNone && !outcome && (rule.nth == 0 || ++rule.seen == rule.nth)) {
      outcome = Status::Error(rule.error, "injected");
    }
  }
  for (char letter : gone_drives_) {
    for (const std::string* p : {&path, &other}) {
      const bool on_drive = p->size() > 1 && (*p)[1] == ':' && std::toupper((*p)[0]) == letter;
      if (on_drive && !outcome) outcome = Status::Error(kErrDiskNotReady, "injected: drive gone");
    }
  }
  return outcome;
}

Status FaultPlatform::Leave(Call call, const std::string& path, Status status) {
  for (Rule& rule : rules_) {
    if (rule.call == call && rule.after && path.find(rule.where) != std::string::npos) {
      rule.after(path);
    }
  }
  return status;
}

Status FaultPlatform::List(const std::string& pattern, ListKind kind,
                           std::vector<FolderEntry>* entries) {
  if (auto fault = Enter(Call::kList, pattern)) return *fault;
  return Leave(Call::kList, pattern, target_.List(pattern, kind, entries));
}
Status FaultPlatform::GetAttributes(const std::string& path, unsigned* attributes) {
  if (auto fault = Enter(Call::kGetAttributes, path)) {
    *attributes = kAttrFolder;  // what a careless caller would believe
    return *fault;
  }
  return Leave(Call::kGetAttributes, path, target_.GetAttributes(path, attributes));
}
Status FaultPlatform::SetAttributes(const std::string& path, unsigned attributes) {
  if (auto fault = Enter(Call::kSetAttributes, path)) return *fault;
  return Leave(Call::kSetAttributes, path, target_.SetAttributes(path, attributes));
}
Status FaultPlatform::CopyFile(const std::string& from, const std::string& to) {
  if (auto fault = Enter(Call::kCopyFile, from, to)) return *fault;
  return Leave(Call::kCopyFile, from, target_.CopyFile(from, to));
}
Status FaultPlatform::DeleteFile(const std::string& path) {
  if (auto fault = Enter(Call::kDeleteFile, path)) return *fault;
  return Leave(Call::kDeleteFile, path, target_.DeleteFile(path));
}
Status FaultPlatform::CreateFolder(const std::string& path) {
  if (auto fault = Enter(Call::kCreateFolder, path)) return *fault;
  return Leave(Call::kCreateFolder, path, target_.CreateFolder(path));
}
Status FaultPlatform::RemoveFolder(const std::string& path) {
  if (auto fault = Enter(Call::kRemoveFolder, path)) return *fault;
  return Leave(Call::kRemoveFolder, path, target_.RemoveFolder(path));
}
Status FaultPlatform::SumFile(const std::string& path, FileSum* sum) {
  if (auto fault = Enter(Call::kSumFile, path)) return *fault;
  return Leave(Call::kSumFile, path, target_.SumFile(path, sum));
}
Status FaultPlatform::ReadFile(const std::string& path, std::string* bytes) {
  if (auto fault = Enter(Call::kReadFile, path)) return *fault;
  return Leave(Call::kReadFile, path, target_.ReadFile(path, bytes));
}
Status FaultPlatform::WriteFile(const std::string& path, const std::string& bytes) {
  if (auto fault = Enter(Call::kWriteFile, path)) return *fault;
  if (bytes.size() > room_) {
    IgnoreStatus(target_.WriteFile(path, bytes.substr(0, room_)),
                 "the disk is full after `room_` bytes either way");
    return Status::Error(kErrDiskFull, "injected: disk full");
  }
  return Leave(Call::kWriteFile, path, target_.WriteFile(path, bytes));
}
Status FaultPlatform::AppendFile(const std::string& path, const std::string& bytes) {
  if (auto fault = Enter(Call::kAppendFile, path)) return *fault;
  return Leave(Call::kAppendFile, path, target_.AppendFile(path, bytes));
}
namespace {

class FaultAppending : public AppendingFile {
 public:
  FaultAppending(std::unique_ptr<AppendingFile> target, std::string path,
                 std::function<std::optional<Status>(const std::string&)> enter)
      : target_(std::move(target)), path_(std::move(path)), enter_(std::move(enter)) {}
  Status Append(const std::string& bytes) override {
    if (auto fault = enter_(path_)) return *fault;
    return target_->Append(bytes);
  }
  Status Close() override { return target_->Close(); }

 private:
  std::unique_ptr<AppendingFile> target_;
  std::string path_;
  std::function<std::optional<Status>(const std::string&)> enter_;
};

}  // namespace

Status FaultPlatform::OpenAppending(const std::string& path,
                                    std::unique_ptr<AppendingFile>* file) {
  std::unique_ptr<AppendingFile> opened;
  if (Status s = target_.OpenAppending(path, &opened); !s.ok()) return s;
  *file = std::make_unique<FaultAppending>(
      std::move(opened), path,
      [this](const std::string& at) { return Enter(Call::kAppendFile, at); });
  return Status::Ok();
}

Status FaultPlatform::RenameFile(const std::string& from, const std::string& to) {
  if (auto fault = Enter(Call::kRenameFile, from, to)) return *fault;
  return Leave(Call::kRenameFile, from, target_.RenameFile(from, to));
}
Status FaultPlatform::RewriteFile(const std::string& path, const std::string& bytes) {
  if (auto fault = Enter(Call::kRewriteFile, path)) return *fault;
  if (bytes.size() > room_) return Status::Error(kErrDiskFull, "injected: disk full");
  return Leave(Call::kRewriteFile, path, target_.RewriteFile(path, bytes));
}
Status FaultPlatform::ChangeFolder(const std::string& path) {
  if (auto fault = Enter(Call::kChangeFolder, path)) return *fault;
  return Leave(Call::kChangeFolder, path, target_.ChangeFolder(path));
}
Status FaultPlatform::Run(const std::string& command_line, int* exit_code,
                          const std::function<bool()>& poll) {
  if (auto fault = Enter(Call::kRun, command_line)) return *fault;
  if (fake_exit_code_ < 0)
    return Leave(Call::kRun, command_line, target_.Run(command_line, exit_code, poll));
  commands_.push_back(command_line);
  if (fake_start_error_ != kErrNone) return Status::Error(fake_start_error_, "injected");
  *exit_code = fake_exit_code_;
  if (on_run_) on_run_(command_line);
  // The fake program takes one look of its caller's before it ends.
  if (poll && !poll()) return Leave(Call::kRun, command_line, Status::Error(kErrCancelled));
  return Leave(Call::kRun, command_line, Status::Ok());
}

}  // namespace zr::testing

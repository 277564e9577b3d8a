// A platform for tests that forwards every call to another one, counts the
// calls by kind and injects faults by rule: fail the Nth call of a kind, or
// every call whose path holds a text, with a given error; a full disk after
// so many bytes; a drive that goes away; a hook before or after a call; a
// fixed date; a watchdog on a kind of call; the archiver's runs recorded
// instead of done.
#ifndef ZARIREVO_TESTS_FAULT_PLATFORM_H_
#define ZARIREVO_TESTS_FAULT_PLATFORM_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zr::testing {

/// The calls that rules and counters know.
enum class Call {
  kList,
  kGetAttributes,
  kSetAttributes,
  kCopyFile,
  kDeleteFile,
  kCreateFolder,
  kRemoveFolder,
  kReadFile,
  kWriteFile,
  kAppendFile,
  kRenameFile,
  kRewriteFile,
  kChangeFolder,
  kRun,
  kSumFile,
  kCount_
};

class FaultPlatform : public ForwardingPlatform {
 public:
  using Hook = std::function<void(const std::string& path)>;

  explicit FaultPlatform(Platform& target) : ForwardingPlatform(target) {}

  /// Calls of a kind so far, failed ones included.
  int calls(Call call) const { return counts_[static_cast<int>(call)]; }

  /// Fails calls of `call` with `error`: when `where` is not empty only the
  /// calls with a path (either path of a copy or rename) that holds it;
  /// when `nth` > 0 only the nth such call, counted from this rule on.
  /// A failing GetAttributes leaves garbage (a folder) in its result.
  void Fail(Call call, int error, std::string where = {}, int nth = 0) {
    rules_.push_back({call, std::move(where), nth, error, 0, {}, {}});
  }
  /// Runs `hook` before (or after) every call of `call` with a path holding `where`.
  void Before(Call call, std::string where, Hook hook) {
    rules_.push_back({call, std::move(where), 0, kErrNone, 0, std::move(hook), {}});
  }
  void After(Call call, std::string where, Hook hook) {
    rules_.push_back({call, std::move(where), 0, kErrNone, 0, {}, std::move(hook)});
  }
  /// WriteFile writes only the first `room` bytes of a longer content and
  /// fails with 61; RewriteFile of a longer content fails with 61 and, as
  /// the platform promises, leaves the file as it was.
  void DiskFullAfter(std::size_t room) { room_ = room; }
  /// From now on every call on the drive (an upper-case letter) fails with 71.
  void DriveGone(char letter) { gone_drives_.push_back(letter); }
  /// The drive is back.
  void DriveBack(char letter) { std::erase(gone_drives_, letter); }
  /// A kind of call made more than `limit` times throws: a loop is caught at once.
  void Watchdog(Call call, int limit) { limits_.push_back({call, limit}); }
  /// FreeSpace() gives this many bytes.
  void SetFreeSpace(std::uint64_t bytes) { free_ = bytes; }
  /// Today() returns this date.
  void SetToday(Date date) { today_ = date; }
  /// Run records the command line and returns `exit_code` (or `start_error`)
  /// without starting anything; `on_run` may leave what the program would.
  void FakeRun(int exit_code, int start_error = kErrNone, Hook on_run = {}) {
    fake_exit_code_ = exit_code;
    fake_start_error_ = start_error;
    on_run_ = std::move(on_run);
  }
  /// Command lines given to Run, in order.
  std::vector<std::string>& commands() { return commands_; }

  Status List(const std::string& pattern, ListKind kind,
              std::vector<FolderEntry>* entries) override;
  Status GetAttributes(const std::string& path, unsigned* attributes) override;
  Status SetAttributes(const std::string& path, unsigned attributes) override;
  Status CopyFile(const std::string& from, const std::string& to) override;
  Status DeleteFile(const std::string& path) override;
  Status CreateFolder(const std::string& path) override;
  Status RemoveFolder(const std::string& path) override;
  Status ReadFile(const std::string& path, std::string* bytes) override;
  Status WriteFile(const std::string& path, const std::string& bytes) override;
  Status AppendFile(const std::string& path, const std::string& bytes) override;
  /// The target's handle, each Append counted and ruled as an AppendFile.
  Status OpenAppending(const std::string& path, std::unique_ptr<AppendingFile>* file) override;
  Status RenameFile(const std::string& from, const std::string& to) override;
  Status RewriteFile(const std::string& path, const std::string& bytes) override;
  Status ChangeFolder(const std::string& path) override;
  Status Run(const std::string& command_line, int* exit_code,
             const std::function<bool()>& poll = {}) override;
  Date Today() override { return today_ ? *today_ : target_.Today(); }
  Status SumFile(const std::string& path, FileSum* sum) override;
  Status FreeSpace(const std::string& path, std::uint64_t* bytes) override {
    if (!free_) return target_.FreeSpace(path, bytes);
    *bytes = *free_;
    return Status::Ok();
  }

 private:
  struct Rule {
    Call call;
    std::string where;
    int nth, error, seen;
    Hook before, after;
  };
  // Counts the call, runs the hooks before it, gives the injected outcome if any.
  std::optional<Status> Enter(Call call, const std::string& path, const std::string& other = {});
  Status Leave(Call call, const std::string& path, Status status);

  int counts_[static_cast<int>(Call::kCount_)] = {};
  std::vector<Rule> rules_;
  std::vector<std::pair<Call, int>> limits_;
  std::vector<char> gone_drives_;
  std::size_t room_ = std::string::npos;
  std::optional<Date> today_;
  std::optional<std::uint64_t> free_;
  int fake_exit_code_ = -1;
  int fake_start_error_ = kErrNone;
  Hook on_run_;
  std::vector<std::string> commands_;
};

}  // namespace zr::testing

#endif  // ZARIREVO_TESTS_FAULT_PLATFORM_H_

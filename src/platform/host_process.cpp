#include "platform/host_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "platform/host_errors.h"

extern char** environ;

namespace zr::host {

namespace {

std::string EnvironmentName(const std::string& setting) {
  return setting.substr(0, setting.find('='));
}

// Keeps a posix_spawn helper object initialised exactly as long as needed.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

Status SpawnAndWait(const std::string& program, const std::vector<std::string>& args,
                    const std::string& work_folder, const std::vector<std::string>& environment,
                    int* exit_code, const std::function<bool()>& poll) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  if (argv.empty()) argv.push_back(const_cast<char*>(program.c_str()));
  argv.push_back(nullptr);

  std::set<std::string> replaced;
  for (const std::string& setting : environment) replaced.insert(EnvironmentName(setting));
  std::vector<char*> envp;
  for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
    if (replaced.count(EnvironmentName(*e)) == 0) envp.push_back(*e);
  }
  for (const std::string& setting : environment) envp.push_back(const_cast<char*>(setting.c_str()));
  envp.push_back(nullptr);

  SpawnSetup setup;
  int rc = posix_spawn_file_actions_addchdir_np(&setup.actions, work_folder.c_str());
  if (rc != 0) return ErrnoStatus(rc, "start", program);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&setup.attributes, &signals);
  sigaddset(&signals, SIGPIPE);
  posix_spawnattr_setsigdefault(&setup.attributes, &signals);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (poll) {
    posix_spawnattr_setpgroup(&setup.attributes, 0);
    flags |= POSIX_SPAWN_SETPGROUP;
  }
  posix_spawnattr_setflags(&setup.attributes, flags);

  pid_t pid = 0;
  rc = posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(),
                   envp.data());
  if (rc != 0) return ErrnoStatus(rc, "start", program);

  int status = 0;
  if (poll) {
    constexpr int kPollMilliseconds = 50;
    constexpr int kGraceMilliseconds = 2000;
    bool ending = false;
    int waited = 0;
    // The wait between two looks ends as soon as the child does (a pidfd is
    // readable then), so a short archive is not held up by the look's period.
    const int exit_fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    struct pollfd child_exit = {exit_fd, POLLIN, 0};
    for (;;) {
      const pid_t ended = ::waitpid(pid, &status, WNOHANG);
      if (ended == pid) break;
      if (ended < 0 && errno != EINTR) {
        const int error = errno;
        if (exit_fd >= 0) ::close(exit_fd);
        return ErrnoStatus(error, "wait", program);
      }
      if (!ending && !poll()) {
        ::kill(pid, SIGTERM);
        ending = true;
      } else if (ending && (waited += kPollMilliseconds) >= kGraceMilliseconds) {
        ::kill(pid, SIGKILL);
      }
      if (exit_fd >= 0) {
        ::poll(&child_exit, 1, kPollMilliseconds);
      } else {
        ::poll(nullptr, 0, kPollMilliseconds);
      }
    }
    if (exit_fd >= 0) ::close(exit_fd);
    if (ending) return Status::Error(kErrCancelled, "ended on request: " + program);
  } else {
    while (::waitpid(pid, &status, 0) < 0) {
      if (errno != EINTR) return ErrnoStatus(errno, "wait", program);
    }
  }
  if (WIFEXITED(status)) {
    *exit_code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    *exit_code = 128 + WTERMSIG(status);
  } else {
    *exit_code = -1;
  }
  return Status::Ok();
}

}  // namespace zr::host

// Starting a program on the host and waiting for its end.
//
// SplitCommandLine (host_portable.h) splits a command line as the Microsoft C
// run-time does.
//
// SpawnAndWait starts a host program with posix_spawn in a given working
// folder with the inherited environment plus some overrides, and waits for
// it, blocked or polling; nothing of it (process, descriptor) outlives the
// call. A polled child runs in a process group of its own, so that the
// terminal's Ctrl-C reaches only the caller, which ends the child itself
// (SIGTERM, then SIGKILL after two seconds) when its poll says so. The layer opens
// every descriptor with O_CLOEXEC, so the child inherits only 0, 1 and 2 and
// whatever the host process itself left inheritable.
#ifndef ZARIREVO_PLATFORM_HOST_PROCESS_H_
#define ZARIREVO_PLATFORM_HOST_PROCESS_H_

#include <functional>
#include <string>
#include <vector>

#include "platform/host_portable.h"
#include "platform/platform.h"

namespace zr::host {

/// Runs `program` (host path) with `args` (args[0] is the name the program
/// sees) in `work_folder`; `environment` holds "NAME=value" settings that
/// replace or add to the inherited environment. Ok with `*exit_code` when it
/// ran (128 + the signal number when a signal ended it); an error, at once,
/// when it could not be started. With `poll` (see Platform::Run), error 18
/// when the poll ended it.
Status SpawnAndWait(const std::string& program, const std::vector<std::string>& args,
                    const std::string& work_folder, const std::vector<std::string>& environment,
                    int* exit_code, const std::function<bool()>& poll = {});

}  // namespace zr::host

#endif  // ZARIREVO_PLATFORM_HOST_PROCESS_H_

// Runs a program as a child process for the tests that check a built program
// from outside (the console, the archiver), on POSIX hosts and on Windows.
#ifndef ZARIREVO_TESTS_RUN_PROGRAM_H_
#define ZARIREVO_TESTS_RUN_PROGRAM_H_

#include <string>
#include <utility>
#include <vector>

namespace zr::testing {

struct ProgramRun {
  int exit_code = -1;  // -1 when it could not start or did not end normally
  std::string out;     // standard output and error as they came (on Windows, CR LF as LF)
};

/// Runs `argv` (argv[0] a host path, or a name looked up in PATH on POSIX)
/// with its standard input empty, in host folder `folder` ("": this one),
/// with `environment` added to this process's, and waits for it. With
/// `keep_errors` false its standard error goes nowhere, so `out` is its
/// standard output alone.
ProgramRun RunProgram(const std::vector<std::string>& argv,
                      const std::vector<std::pair<std::string, std::string>>& environment = {},
                      const std::string& folder = "", bool keep_errors = true);

}  // namespace zr::testing

#endif  // ZARIREVO_TESTS_RUN_PROGRAM_H_

#include "tests/run_program.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32_text.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <optional>

namespace zr::testing {

namespace {

#ifdef _WIN32

// Standard output in text mode: each line end written as CR LF.
std::string WithoutCarriageReturns(std::string text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

// One argument quoted as the C run-time splits a command line: backslashes
// are literal unless they come before a quote.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
    } else if (c == L'"') {
      out.append(backslashes * 2 + 1, L'\\');
      backslashes = 0;
    } else {
      out.append(backslashes, L'\\');
      backslashes = 0;
    }
    if (c != L'\\') out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

ProgramRun Run(const std::vector<std::string>& argv,
               const std::vector<std::pair<std::string, std::string>>& environment,
               const std::string& folder, bool keep_errors) {
  ProgramRun run;
  std::wstring command;
  for (const std::string& arg : argv)
    command += (command.empty() ? L"" : L" ") + Quoted(win32::Widen(arg));
  // The child inherits this process's environment, the additions set for
  // the time of the start only.
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved;
  for (const auto& [name, value] : environment) {
    const std::wstring wide_name = win32::Widen(name);
    wchar_t old[32768];
    const DWORD length = GetEnvironmentVariableW(wide_name.c_str(), old, 32768);
    saved.emplace_back(wide_name,
                       length > 0 ? std::optional(std::wstring(old, length)) : std::nullopt);
    SetEnvironmentVariableW(wide_name.c_str(), win32::Widen(value).c_str());
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  CreatePipe(&read_end, &write_end, &inherit, 0);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nothing;
  startup.hStdOutput = write_end;
  HANDLE no_errors = keep_errors
                         ? nullptr
                         : CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inherit, OPEN_EXISTING, 0, nullptr);
  startup.hStdError = keep_errors ? write_end : no_errors;
  PROCESS_INFORMATION process{};
  const std::wstring wide_folder = win32::Widen(folder);
  const BOOL started =
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                     folder.empty() ? nullptr : wide_folder.c_str(), &startup, &process);
  for (const auto& [name, value] : saved) {
    SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
  }
  CloseHandle(write_end);
  CloseHandle(nothing);
  if (no_errors != nullptr) CloseHandle(no_errors);
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      run.out.append(buffer, got);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) run.exit_code = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(read_end);
  return run;
}

#else

ProgramRun Run(const std::vector<std::string>& argv,
               const std::vector<std::pair<std::string, std::string>>& environment,
               const std::string& folder, bool keep_errors) {
  ProgramRun run;
  int pipe_ends[2];
  if (argv.empty() || pipe(pipe_ends) != 0) return run;
  const pid_t child = fork();
  if (child == 0) {
    const int nothing = open("/dev/null", O_RDONLY);
    dup2(nothing, 0);
    dup2(pipe_ends[1], 1);
    dup2(keep_errors ? pipe_ends[1] : open("/dev/null", O_WRONLY), 2);
    close(pipe_ends[0]);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(pipe_ends[1]);
  char buffer[4096];
  ssize_t got;
  while ((got = read(pipe_ends[0], buffer, sizeof buffer)) > 0) {
    run.out.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipe_ends[0]);
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    run.exit_code = WEXITSTATUS(status);
  }
  return run;
}

#endif

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv,
                      const std::vector<std::pair<std::string, std::string>>& environment,
                      const std::string& folder, bool keep_errors) {
  ProgramRun run = Run(argv, environment, folder, keep_errors);
#ifdef _WIN32
  run.out = WithoutCarriageReturns(std::move(run.out));
#endif
  return run;
}

}  // namespace zr::testing

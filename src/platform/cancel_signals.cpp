#include "platform/cancel_signals.h"

#include <cerrno>
#include <csignal>
#include <initializer_list>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zr {

namespace {

volatile std::sig_atomic_t pending = 0;  // a CancelSignal, the first one only

void Note(CancelSignal signal) {
  if (pending == 0) pending = static_cast<std::sig_atomic_t>(signal);
}

#ifdef _WIN32
BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      Note(CancelSignal::kInterrupt);
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      Note(CancelSignal::kHangUp);
      return TRUE;
    default:
      return FALSE;
  }
}
#else
extern "C" void OnSignal(int number) {
  Note(number == SIGTERM  ? CancelSignal::kTerminate
       : number == SIGHUP ? CancelSignal::kHangUp
                          : CancelSignal::kInterrupt);
}
#endif

}  // namespace

void InstallCancelSignals() {
#ifdef _WIN32
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  std::signal(SIGTERM, [](int) { Note(CancelSignal::kTerminate); });
#else
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a wait in progress returns and looks
  for (int number : {SIGINT, SIGTERM, SIGHUP}) sigaction(number, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
#endif
}

CancelSignal PendingCancelSignal() { return static_cast<CancelSignal>(pending); }

void RaiseCancelSignal(CancelSignal signal) { Note(signal); }

bool IsClosedOutput(int error_number) {
#ifdef _WIN32
  return error_number == EPIPE || error_number == EINVAL;
#else
  return error_number == EPIPE;
#endif
}

}  // namespace zr

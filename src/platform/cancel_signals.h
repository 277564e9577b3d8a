// The host's requests to stop a console program: Ctrl-C (SIGINT), SIGTERM,
// SIGHUP, and on Windows the console's Ctrl-C, Ctrl-Break and close events.
//
// InstallCancelSignals replaces the host's default (ending the process at
// once, leaving half a backup behind) with a note that the program reads at
// its next look (PendingCancelSignal), so that the running operation stops as
// STOP stops it and cleans up. A write to a closed pipe no longer ends the
// process either (SIGPIPE is ignored): the write fails with EPIPE, which the
// writer takes as a request to stop (IsClosedOutput). Nothing here blocks or
// allocates in a signal handler.
#ifndef ZARIREVO_PLATFORM_CANCEL_SIGNALS_H_
#define ZARIREVO_PLATFORM_CANCEL_SIGNALS_H_

namespace zr {

enum class CancelSignal { kNone, kInterrupt, kTerminate, kHangUp };

/// Installs the handlers (once per process).
void InstallCancelSignals();
/// The first request that arrived since the start, or kNone.
CancelSignal PendingCancelSignal();
/// Records a request as a handler would (for tests and front-ends).
void RaiseCancelSignal(CancelSignal signal);
/// True when the last failed write's error (errno) says the reader is gone.
bool IsClosedOutput(int error_number);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_CANCEL_SIGNALS_H_

// Cost of the backup's progress lines in the main window, offscreen: one
// coloured line per file written into the real message area, then the window
// processes pending input, as the copy loop does between two files. Halfway
// through, a click on STOP is queued; the counters tell how many files went
// by before the window answered it and the longest wait between two looks at
// the input, so a faster area never comes from a deaf window.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/message_view_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "ui/program.h"
#include "app/startup.h"
#include "platform/host_platform.h"
#include "app/message_area.h"
#include "ui/qt/base_form_window.h"
#include "ui/qt/qt_ui.h"

namespace {

void BM_ProgressLines(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto platform = zr::CreateHostPlatform(zr::DriveMap{});
    zr::qt::QtUi ui;
    zr::Program program(*platform, ui);
    program.ColorBlue = zr::Rgb(0, 0, 128);
    program.ColorGreen = zr::Rgb(0, 128, 0);
    program.ColorStop = zr::Rgb(128, 0, 0);
    auto window = std::make_unique<zr::qt::BaseFormWindow>(program, ui);
    window->show();
    QApplication::processEvents();
    program.run.Begin(zr::Operation::kBackup, zr::Stage::kCollecting);  // STOP enabled
    window->Refresh();
    char path[64];
    int stop_posted_at = -1;
    int stop_seen_at = -1;
    qint64 longest_wait_ns = 0;
    QElapsedTimer clock;
    state.ResumeTiming();

    clock.start();
    qint64 last_look = 0;
    for (int i = 0; i < files; ++i) {
      std::snprintf(path, sizeof path, "C:\\ORVEL\\VER14\\MAC\\M%06d.MAC", i);
      zr::WriteMessageLine(program, path, false,
                           i % 2 == 0 ? program.ColorBlue : program.ColorGreen, false);
      if (i == files / 2) {
        QMetaObject::invokeMethod(window->stop_button(), "click", Qt::QueuedConnection);
        stop_posted_at = i;
      }
      program.ui.ProcessPendingInput();
      const qint64 now = clock.nsecsElapsed();
      longest_wait_ns = std::max(longest_wait_ns, now - last_look);
      last_look = now;
      if (stop_seen_at < 0 && stop_posted_at >= 0 && program.run.cancelled()) {
        stop_seen_at = i;
        program.run.Begin(zr::Operation::kBackup, zr::Stage::kCollecting);  // on to the full count
      }
    }
    QApplication::processEvents();  // the last lines are shown

    state.PauseTiming();
    state.counters["files_before_stop_answered"] =
        stop_seen_at < 0 ? -1 : stop_seen_at - stop_posted_at;
    state.counters["longest_step_ms"] = static_cast<double>(longest_wait_ns) / 1e6;
    window.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * files);
}
BENCHMARK(BM_ProgressLines)
    ->Arg(4500)
    ->Arg(18000)
    ->Arg(72000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

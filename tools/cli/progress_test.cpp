// The progress line: the figures of the run, and while the archiver runs the
// archive stage with its own elapsed time; the line cut to the terminal.
#include "progress.h"

#include <gtest/gtest.h>

namespace zr::cli {
namespace {

TEST(ConsoleProgressTest, TheArchiveStageShowsItsElapsedTime) {
  double now = 100;
  ConsoleProgress progress(nullptr, false, [&now] { return now; });
  RunContext run;
  run.watcher = &progress;
  run.Begin(Operation::kBackup, Stage::kCollecting);
  run.FilesKnown(2);
  run.FileStarted("C:\\P\\A.MAC");
  run.FileDone("C:\\P\\A.MAC", FileOutcome::kDone, {}, 2048);
  now = 105;
  EXPECT_EQ(progress.Text(run), "1/2 files, 2.0 KB, 0:05  C:\\P\\A.MAC");
  run.SetStage(Stage::kArchiving);
  now = 172;
  EXPECT_TRUE(run.Poll());
  EXPECT_EQ(progress.Text(run), "1/2 files, 2.0 KB, 1:12  archiving 1:07");
  run.Cancel(CancelCause::kInterrupt);
  EXPECT_FALSE(run.Poll());
}

// A progress line as wide as the terminal or wider wraps, and every update
// then leaves a copy behind; a cut inside a character would garble the end.
TEST(ConsoleProgressTest, LineFitsTheTerminalInWholeCharacters) {
  EXPECT_EQ(FitToColumns("3/9 files, 10 B, 0:01  A:\\CAFF\xC3\x88.TXT", 28),
            "3/9 files, 10 B, 0:01  A:\\C");
  EXPECT_EQ(FitToColumns("A:\\CAFF\xC3\x88.TXT", 9), "A:\\CAFF\xC3\x88");
  EXPECT_EQ(FitToColumns("A:\\CAFF\xC3\x88.TXT", 0), "A:\\CAFF\xC3\x88.TXT");
  EXPECT_EQ(FitToColumns("A:\\B", 5), "A:\\B");
}

}  // namespace
}  // namespace zr::cli

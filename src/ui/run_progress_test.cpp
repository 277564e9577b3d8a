#include "ui/run_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zr {
namespace {

// The line follows the run: files and time while copying, the archiver's own
// time once the archive stage begins, nothing once the window is idle again.
TEST(RunProgressTest, TheArchiveStageShowsItsOwnTime) {
  double now = 100;
  std::vector<std::string> shown;
  RunProgress progress([&now] { return now; },
                       [&shown](const std::string& text) { shown.push_back(text); });
  RunContext run;
  run.watcher = &progress;
  run.Begin(Operation::kBackup, Stage::kCollecting);
  run.FilesKnown(2);
  now = 107;
  run.FileDone("A.MAC", FileOutcome::kDone);
  now = 110;
  run.SetStage(Stage::kArchiving);
  now = 172.5;
  run.Poll();
  run.End();
  progress.Clear();
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "Copia in corso: 0 di 0 file, 0:00",  // the next within 0.1 s waits
                       "Copia in corso: 1 di 2 file, 0:07",
                       "Compressione in corso da 0:00 (1 di 2 file, 0:10 in tutto)",
                       "Compressione in corso da 1:02 (1 di 2 file, 1:12 in tutto)", ""}));
}

}  // namespace
}  // namespace zr

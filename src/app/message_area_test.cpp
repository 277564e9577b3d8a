#include "app/message_area.h"

#include <gtest/gtest.h>

#include "tests/test_world.h"

namespace zr {
namespace {

class MessageAreaTest : public ::testing::Test {
 protected:
  testing::TestWorld world_;
  Session& program_ = world_.program();
  ScriptedUi& ui_ = world_.ui();
};

TEST_F(MessageAreaTest, AlarmLineBeepsTurnsRedAndNextLineGrey) {
  WriteMessageLine(program_, "Copia fermata dall'utente", true, Rgb(128, 0, 0), false);
  ASSERT_EQ(ui_.lines().size(), 1u);
  EXPECT_EQ(ui_.beeps(), 1);
  EXPECT_EQ(ui_.lines()[0].background, kBackgroundAlarm);
  EXPECT_EQ(ui_.lines()[0].color, Rgb(128, 0, 0));
  EXPECT_EQ(program_.MessageBackground, kBackgroundAlarm);

  WriteMessageLine(program_, "C:\\X\\A.MAC", false, Rgb(0, 0, 128), false);
  EXPECT_EQ(ui_.beeps(), 1);
  EXPECT_EQ(ui_.lines()[1].background, kBackgroundNormal);
  EXPECT_EQ(ui_.background(), kBackgroundNormal);
  // A list-only line: the suffix and the light red background, no beep.
  WriteMessageLine(program_, "C:\\X\\A.UT", false, Rgb(0, 128, 0), true);
  EXPECT_EQ(ui_.lines()[2].text, "C:\\X\\A.UT     -only ZIP-");
  EXPECT_EQ(ui_.lines()[2].background, Rgb(255, 0, 0));
  EXPECT_EQ(ui_.beeps(), 1);
}

TEST_F(MessageAreaTest, OtherLanguagesKeepWhatWasLoaded) {
  program_.Language = "ENG";
  LoadErrorTexts(program_);
  EXPECT_EQ(program_.ErrorTexts[53], "");
  program_.Language = "ITA";
  LoadErrorTexts(program_);
  program_.Language = "ENG";
  LoadErrorTexts(program_);
  EXPECT_EQ(program_.ErrorTexts[53], "Non esiste il file");
}

TEST_F(MessageAreaTest, EnglishDiskNotReadyHasEmptyMiddleLineAndNoTitle) {
  program_.Language = "ENG";
  LoadErrorTexts(program_);
  ShowErrorBox(program_, 71, 0, ErrorBoxButtons::kOkOnly, "A:\\\r", "after");
  ASSERT_EQ(ui_.boxes().size(), 1u);
  EXPECT_EQ(ui_.boxes()[0].request.text, "A:\\\r\r\rafter");
  EXPECT_EQ(ui_.boxes()[0].request.title, "");
  EXPECT_EQ(ui_.boxes()[0].request.buttons, Buttons::kOk);
}

TEST_F(MessageAreaTest, TitleComesFromNumberOrElseFromIndex) {
  program_.Language = "ITA";
  LoadErrorTexts(program_);
  ShowErrorBox(program_, 53, 2, ErrorBoxButtons::kOkOnly, "b", "a");
  EXPECT_EQ(ui_.boxes().back().request.title, "ERRORE SUI FILE");
  ShowErrorBox(program_, 76, 1, ErrorBoxButtons::kOkOnly, "b", "a");
  EXPECT_EQ(ui_.boxes().back().request.title, "ERRORE SULLE CARTELLE");
  ShowErrorBox(program_, 70, 1, ErrorBoxButtons::kOkOnly, "b", "a");  // no title of its own
  EXPECT_EQ(ui_.boxes().back().request.title, "ERRORE SUI FILE");
  EXPECT_EQ(ui_.boxes().back().request.text, "b\rAttiva protezione in scrittura\ra");
}

// Nothing loaded: numbers and indexes outside the tables give empty texts;
// an Ok/Cancel box returns the answer.
TEST_F(MessageAreaTest, OkCancelAnswersAndNumbersOutsideTheTables) {
  ShowErrorBox(program_, 999, 42, ErrorBoxButtons::kOkOnly, "b", "a");
  ShowErrorBox(program_, -1, -3, ErrorBoxButtons::kOkOnly, "b", "a");
  EXPECT_EQ(ui_.boxes().back().request.text, "b\r\ra");
  EXPECT_EQ(ui_.boxes().back().request.title, "");
  ui_.QueueAnswer(Answer::kOk);
  EXPECT_EQ(ShowErrorBox(program_, 71, 0, ErrorBoxButtons::kOkCancel, "b", "a"), Answer::kOk);
  EXPECT_EQ(ui_.boxes().back().request.buttons, Buttons::kOkCancel);
  // nothing queued: Cancel
  EXPECT_EQ(ShowErrorBox(program_, 71, 0, ErrorBoxButtons::kOkCancel, "b", "a"), Answer::kCancel);
}

}  // namespace
}  // namespace zr

#include "ui/help_layout.h"

#include <gtest/gtest.h>

namespace zr {
namespace {

TEST(HelpLayoutTest, StacksTitleAndNotesWithFixedHeightsAndGaps) {
  const HelpLayout layout = LayoutHelpForm(9000, 300, 250);
  EXPECT_EQ(layout.title, (LabelBox{60, 200, 8820, 300}));
  // y = 200 + 300 + 120 = 620 for label 0 (its own height 250).
  EXPECT_EQ(layout.notes[0], (LabelBox{60, 620, 8820, 250}));
  EXPECT_EQ(layout.notes[1], (LabelBox{60, 990, 8820, 2000}));
  EXPECT_EQ(layout.notes[2], (LabelBox{60, 3110, 8820, 1500}));
  EXPECT_EQ(layout.notes[3], (LabelBox{60, 4730, 8820, 600}));
  EXPECT_EQ(layout.notes[4], (LabelBox{60, 5450, 8820, 2000}));
}

TEST(HelpLayoutTest, NarrowWindowGivesZeroWidthNeverNegative) {
  for (int width : {180, 100, 0, -500}) {
    const HelpLayout layout = LayoutHelpForm(width, 300, 250);
    EXPECT_EQ(layout.title.width, 0) << width;
    for (const LabelBox& box : layout.notes) EXPECT_EQ(box.width, 0) << width;
  }
  EXPECT_EQ(LayoutHelpForm(181, 0, 0).title.width, 1);
}

TEST(HelpLayoutTest, NegativeMeasuredHeightsCountAsZero) {
  const HelpLayout layout = LayoutHelpForm(5000, -10, -20);
  EXPECT_EQ(layout.title.height, 0);
  EXPECT_EQ(layout.notes[0].top, 320);
  EXPECT_EQ(layout.notes[0].height, 0);
  EXPECT_EQ(layout.notes[1].top, 440);
}

TEST(HelpLayoutTest, TwipsAndPixels) {
  EXPECT_EQ(TwipsToPixels(15, 96), 1);
  EXPECT_EQ(TwipsToPixels(1440, 96), 96);
  EXPECT_EQ(TwipsToPixels(2000, 96), 133);
  EXPECT_EQ(TwipsToPixels(1440, 144), 144);
  EXPECT_EQ(PixelsToTwips(96, 96), 1440);
  EXPECT_EQ(PixelsToTwips(10, 0), 0);
}

}  // namespace
}  // namespace zr

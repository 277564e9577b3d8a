// The help window's content and layout rule, free of any widget toolkit.
//
// Contract: `LayoutHelpForm` places the title and the five note labels in
// twips from the window's client width alone, so that laying out again after
// any number of resizes gives the same result (nothing accumulates). The text
// width is the client width minus 180 twips, never below 0. Label heights
// 1 to 4 are fixed (2000, 1500, 600, 2000); the title and label 0 keep the
// heights the caller measured for them. Text that does not fit its label is
// clipped by the window, not moved.
#ifndef ZARIREVO_UI_HELP_LAYOUT_H_
#define ZARIREVO_UI_HELP_LAYOUT_H_

#include <array>
#include <string>

namespace zr {

/// The window's caption and the title label's text.
inline constexpr const char* kHelpCaption = "Help";
inline constexpr const char* kHelpTitle = "ZA-Rirevo";
inline constexpr int kHelpNoteCount = 5;

/// The five installation notes (UTF-8); "\r" separates paragraphs in a label.
const std::array<std::string, kHelpNoteCount>& HelpNotes();

/// A label's place, in twips.
struct LabelBox {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const LabelBox&) const = default;
};

struct HelpLayout {
  LabelBox title;                              // centred text
  std::array<LabelBox, kHelpNoteCount> notes;  // left-aligned text
  bool operator==(const HelpLayout&) const = default;
};

inline constexpr int kHelpLeft = 60;
inline constexpr int kHelpTop = 200;
inline constexpr int kHelpGap = 120;
inline constexpr int kHelpWidthMargin = 180;
/// Fixed heights of labels 1 to 4; label 0 keeps its own.
inline constexpr std::array<int, 4> kHelpFixedHeights = {2000, 1500, 600, 2000};

/// The layout for a client width, with the title's and label 0's own heights
/// (negative heights count as 0).
HelpLayout LayoutHelpForm(int client_width, int title_height, int note0_height);

/// Twips to pixels at a logical resolution (dots per inch), rounded to nearest.
int TwipsToPixels(int twips, double dpi);
/// Pixels to twips at a logical resolution, rounded to nearest.
int PixelsToTwips(int pixels, double dpi);

}  // namespace zr

#endif  // ZARIREVO_UI_HELP_LAYOUT_H_

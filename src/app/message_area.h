// The message area and the error boxes: coloured progress lines with an alarm
// background, and message boxes that join the caller's texts with a fixed
// Italian text for a run-time error number.
#ifndef ZARIREVO_APP_MESSAGE_AREA_H_
#define ZARIREVO_APP_MESSAGE_AREA_H_

#include <cstdint>
#include <string>

#include "app/session.h"

namespace zr {

/// Suffix of a line for a file that goes only into the archive.
inline constexpr const char* kZipOnlySuffix = "     -only ZIP-";

/// Appends a line to the message area: an alarm beeps and turns the
/// background red, otherwise it becomes light grey; a zip-only line gets the
/// suffix and a light red background.
void WriteMessageLine(Session& program, const std::string& text, bool alarm, Color colour,
                      bool zip_only);

/// Shows a box with `before` CR error text CR `after`; the title comes from
/// the error number (53: title 1; 71, 75, 76: title 2) or else from
/// `title_index`. Returns the button pressed (always Answer::kOk for an
/// OK-only box).
enum class ErrorBoxButtons { kOkOnly, kOkCancel };
Answer ShowErrorBox(Session& program, int number, int title_index, ErrorBoxButtons buttons,
                    const std::string& before, const std::string& after);

/// Fills `ErrorTexts` and `ErrorTitles` when `Language` is "ITA" (any case);
/// with any other language leaves them as they are.
void LoadErrorTexts(Session& program);

}  // namespace zr

#endif  // ZARIREVO_APP_MESSAGE_AREA_H_

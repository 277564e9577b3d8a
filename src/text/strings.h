// The program's small text routines: number to text, text to number,
// replacing, trimming blanks (every character with a code 0 to 32), cutting
// at NUL, and the final backslash of a path. Pure functions, no state.
#ifndef ZARIREVO_TEXT_STRINGS_H_
#define ZARIREVO_TEXT_STRINGS_H_

#include <cstdint>
#include <string>

namespace zr {

/// `value` written with at least |width| integer characters (padded with
/// blanks when width > 0, "0" when width <= 0) and the decimals rule: > 0 at
/// most that many digits, no trailing zeros; 0 none; < 0 exactly |decimals|.
/// A value with more decimals first gets one unit of the next place added.
std::string NumberToText(double value, std::int16_t width, std::int16_t decimals);
/// The leading number of a text ("," read as "."); 0 when there is none.
double ParseNumber(const std::string& text);
/// Replaces every occurrence of `find` by `replacement`, left to right, once.
/// Mode 0 cuts both to their first character, any other mode trims their
/// spaces; the cut or trimmed values are written back. An empty find changes
/// nothing.
std::string ReplaceAll(std::string text, std::string& find, std::string& replacement,
                       std::int16_t mode);
/// With `with`, appends "\" unless the last character is one (so "" gives
/// "\"); without, removes one final "\".
std::string SetTrailingBackslash(std::string path, bool with);
std::string TrimLeadingBlanks(const std::string& text);
std::string TrimTrailingBlanks(const std::string& text);
std::string TrimBlanks(const std::string& text);
/// The text before its first NUL character.
std::string CutAtNul(const std::string& text);

/// ASCII upper and lower case (the program compares names this way).
std::string ToUpper(std::string text);
std::string ToLower(std::string text);

}  // namespace zr

#endif  // ZARIREVO_TEXT_STRINGS_H_

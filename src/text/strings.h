// The program's small text routines: number to text, text to number,
// replacing, trimming blanks (every character with a code 0 to 32), cutting
// at NUL, and the final backslash of a path. Pure functions, no state.
#ifndef ZARIREVO_TEXT_STRINGS_H_
#define ZARIREVO_TEXT_STRINGS_H_

#include <cstdint>
#include <string>

namespace zr {

/// `value` written with at least |width| integer characters (padded in front
/// of the sign with blanks when width > 0, "0" when width <= 0) and the
/// decimals rule: > 0 at most that many digits, no trailing zeros; 0 none;
/// < 0 exactly |decimals|. A value showing more decimals first gets one unit
/// of the next place added (always upwards), then the fraction is cut. The
/// value is first written with 15 significant digits; magnitudes below 1E-04
/// and from 1E+15 come out as plain digits too. NaN and infinities give
/// "NaN", "Inf" and "-Inf".
std::string NumberToText(double value, std::int16_t width, std::int16_t decimals);
/// The leading number of a text: spaces at the ends and inside skipped, ","
/// read as ".", an optional sign, digits with at most one point, an optional
/// exponent after "E" or "D". 0 when the text does not begin with a number.
/// Out of range: an exponent that overflows is dropped, one that underflows
/// gives 0, digits that overflow on their own give 0.
double ParseNumber(const std::string& text);
/// Replaces every occurrence of `find` by `replacement` in one pass from left
/// to right; the search goes on after each inserted replacement, so it always
/// ends, also when the replacement holds the find text. `kFirstCharacter`
/// cuts both to their first (UTF-8) character, `kTrimSpaces` trims their
/// spaces. An empty find (after that) changes nothing.
enum class ReplaceForm { kFirstCharacter, kTrimSpaces };
std::string ReplaceAll(const std::string& text, std::string find, std::string replacement,
                       ReplaceForm form);
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

#include "text/strings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace zr {
namespace {

using namespace std::string_literals;

TEST(NumberToTextTest, PaddingDecimalsNudgeAndMagnitudes) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double value;
    int width, decimals;
    const char* text;
  };
  // clang-format off
  const Case cases[] = {
      {4, 1, 0, "4"}, {0, 1, 0, "0"}, {-7, 1, 0, "-7"}, {123456, 1, 0, "123456"},
      {12, 4, 0, "  12"}, {12, -4, 0, "0012"}, {0, 4, 0, "   0"},
      {-5, -3, 0, "0-5"},  // the padding goes before the sign
      {12345, 2, 0, "12345"}, {12, 0, 0, "12"}, {0.5, 1, 1, "0.5"}, {-0.5, 1, 1, "-0.5"},
      {0.25, 1, 2, "0.25"}, {0.06, 1, 1, "0"},  // 0.07 cut to ".0", then dropped
      {-1.25, 4, 1, "  -1.2"},  // towards zero: -1.24
      {2.345, 1, 2, "2.34"},  // not a rounding to the nearest
      {1.9999, 1, 2, "2"}, {2.5, 1, 0, "2"}, {-2.5, 1, 0, "-2"}, {-0.0001, 1, 2, "0"},
      {2.5, 1, 2, "2.5"},  // no trailing zeros for decimals > 0
      {3, 1, 2, "3"}, {4, 1, -2, "4.00"},  // exactly |decimals| for decimals < 0
      {2.5, 1, -2, "2.50"}, {0, 3, -1, "  0.0"}, {3.14159, 1, -3, "3.141"},
      {0.00001234, 1, 8, "0.00001234"}, {1.5e-5, 1, 6, "0.000015"}, {-1.5e-5, 1, 6, "-0.000015"},
      {1e-5, 1, 5, "0.00001"}, {1e-5, 1, 0, "0"}, {1e-300, 1, 2, "0"},
      {0.0001, 1, 4, "0.0001"},  // still in plain form
      {999999999999999.0, 1, 0, "999999999999999"}, {1e15, 1, 0, "1000000000000000"},
      {-1.5e20, 1, 0, "-150000000000000000000"}, {0.1 + 0.2, 1, 20, "0.3"},
      {1234567.891, 1, 3, "1234567.891"}, {kInf, 1, 0, "Inf"}, {-kInf, 1, 0, "-Inf"},
      {kNaN, 1, 0, "NaN"},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(NumberToText(c.value, c.width, c.decimals), c.text)
        << c.value << ' ' << c.width << ' ' << c.decimals;
  }
  EXPECT_EQ(NumberToText(7, std::numeric_limits<std::int16_t>::min(), 0).size(), 32768u);
  EXPECT_EQ(NumberToText(1e300, 1, 0).size(), 301u);
}

TEST(ParseNumberTest, CommasBlanksSignsAndExponents) {
  struct Case {
    const char* text;
    double value;
  };
  // clang-format off
  const Case cases[] = {
      {"", 0}, {".", 0}, {"   ", 0}, {",", 0}, {" 3,25 ", 3.25}, {"1,5", 1.5}, {"1 2 3", 123},
      {"- 5", -5}, {"1,5,3", 1.5},  // a second point ends the number
      {"-05", -5}, {"+20", 20}, {"12abc", 12}, {".5", 0.5}, {"7.", 7}, {"abc12", 0}, {"-", 0},
      {"+-3", 0}, {"\t5", 0},  // only spaces are blanks here
      {"1.5E-05", 1.5e-5}, {"2D3", 2000}, {"2e+2", 200}, {"3E", 3},  // no exponent digits
      {"3Ex", 3}, {"4E999", 4}, {"4E-999", 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(ParseNumber(c.text), c.value) << c.text;
  }
  EXPECT_EQ(ParseNumber(std::string(400, '9')), 0);
  EXPECT_DOUBLE_EQ(ParseNumber(std::string(300, '0') + "1"), 1);
}

// The find and replacement texts are cut or trimmed first; the search goes
// on after each replacement, so it always ends.
TEST(ReplaceAllTest, CutsOrTrimsThenReplacesInOnePass) {
  constexpr auto kFirst = ReplaceForm::kFirstCharacter;
  constexpr auto kTrim = ReplaceForm::kTrimSpaces;
  const struct {
    const char *text, *find, *replacement;
    ReplaceForm form;
    const char* result;
  } rows[] = {
      {"A B.C", " ", "_", kFirst, "A_B.C"},    {"XYX-Y", "XY", "Z", kFirst, "ZYZ-Y"},
      {"café", "éa", "ee", kFirst, "cafe"},  // one character of two bytes stays whole
      {"ab-ab", "  ab ", " x ", kTrim, "x-x"}, {"abc", "", "x", kFirst, "abc"},
      {"aaa", "a", "a", kFirst, "aaa"},        {"a.a", "a", "ba", kTrim, "ba.ba"},
      {"a b", "   ", "x", kTrim, "a b"},  // trims to empty
      {"A.B.C.", ".", "", kFirst, "ABC"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ReplaceAll(row.text, row.find, row.replacement, row.form), row.result) << row.text;
  }
}

TEST(SetTrailingBackslashTest, AddsAndRemovesOne) {
  EXPECT_EQ(SetTrailingBackslash("", true), "\\");
  EXPECT_EQ(SetTrailingBackslash("A:", true), "A:\\");
  EXPECT_EQ(SetTrailingBackslash("A:\\", true), "A:\\");
  EXPECT_EQ(SetTrailingBackslash("C:\\X\\\\", false), "C:\\X\\");
  EXPECT_EQ(SetTrailingBackslash("C:\\X", false), "C:\\X");
  EXPECT_EQ(SetTrailingBackslash("", false), "");
}

TEST(TrimTest, BlanksAreAllCodesUpTo32) {
  EXPECT_EQ(TrimBlanks(" \t\0\r\n\x1f"s), "");
  EXPECT_EQ(TrimBlanks("\tA B\r\n"), "A B");
  EXPECT_EQ(TrimBlanks(""), "");
  EXPECT_EQ(TrimLeadingBlanks("  x  "), "x  ");
  EXPECT_EQ(TrimTrailingBlanks("  x  "), "  x");
  EXPECT_EQ(TrimBlanks("\x7f!"), "\x7f!");
  EXPECT_EQ(TrimBlanks("\xC3\xA0 "), "\xC3\xA0");  // non-ASCII letters are never blanks
}

TEST(CutAtNulTest, CutsAtTheFirstNul) {
  EXPECT_EQ(CutAtNul("ABC\0DEF\0"s), "ABC");
  EXPECT_EQ(CutAtNul("\0ABC"s), "");
  EXPECT_EQ(CutAtNul("ABC"), "ABC");
  EXPECT_EQ(CutAtNul(""), "");
}

TEST(CaseTest, AsciiOnly) {
  EXPECT_EQ(ToUpper("ky-gen.cnf é"), "KY-GEN.CNF é");
  EXPECT_EQ(ToLower("DAXOR2D É"), "daxor2d É");
}

}  // namespace
}  // namespace zr

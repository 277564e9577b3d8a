#include "text/strings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace zr {
namespace {

using namespace std::string_literals;

TEST(NumberToTextTest, WholeNumbersAsTheCallersUseThem) {
  EXPECT_EQ(NumberToText(4, 1, 0), "4");
  EXPECT_EQ(NumberToText(0, 1, 0), "0");
  EXPECT_EQ(NumberToText(-7, 1, 0), "-7");
  EXPECT_EQ(NumberToText(123456, 1, 0), "123456");
}

TEST(NumberToTextTest, WidthPadsInFrontAndNeverShortens) {
  EXPECT_EQ(NumberToText(12, 4, 0), "  12");
  EXPECT_EQ(NumberToText(12, -4, 0), "0012");
  EXPECT_EQ(NumberToText(0, 4, 0), "   0");
  EXPECT_EQ(NumberToText(-5, -3, 0), "0-5");  // the padding goes before the sign
  EXPECT_EQ(NumberToText(12345, 2, 0), "12345");
  EXPECT_EQ(NumberToText(12, 0, 0), "12");
  EXPECT_EQ(NumberToText(7, std::numeric_limits<std::int16_t>::min(), 0).size(), 32768u);
}

TEST(NumberToTextTest, FractionsBelowOneGetALeadingZero) {
  EXPECT_EQ(NumberToText(0.5, 1, 1), "0.5");
  EXPECT_EQ(NumberToText(-0.5, 1, 1), "-0.5");
  EXPECT_EQ(NumberToText(0.25, 1, 2), "0.25");
}

TEST(NumberToTextTest, NudgeAddsOneUnitOfTheNextPlaceThenCuts) {
  EXPECT_EQ(NumberToText(0.06, 1, 1), "0");        // 0.07 cut to ".0", then dropped
  EXPECT_EQ(NumberToText(-1.25, 4, 1), "  -1.2");  // towards zero: -1.24
  EXPECT_EQ(NumberToText(2.345, 1, 2), "2.34");    // not a rounding to the nearest
  EXPECT_EQ(NumberToText(1.9999, 1, 2), "2");
  EXPECT_EQ(NumberToText(2.5, 1, 0), "2");
  EXPECT_EQ(NumberToText(-2.5, 1, 0), "-2");
  // A small negative value nudged past zero is written as a positive one.
  EXPECT_EQ(NumberToText(-0.0001, 1, 2), "0");
}

TEST(NumberToTextTest, DecimalsRules) {
  EXPECT_EQ(NumberToText(2.5, 1, 2), "2.5");  // no trailing zeros for decimals > 0
  EXPECT_EQ(NumberToText(3, 1, 2), "3");
  EXPECT_EQ(NumberToText(4, 1, -2), "4.00");  // exactly |decimals| for decimals < 0
  EXPECT_EQ(NumberToText(2.5, 1, -2), "2.50");
  EXPECT_EQ(NumberToText(0, 3, -1), "  0.0");
  EXPECT_EQ(NumberToText(3.14159, 1, -3), "3.141");
}

TEST(NumberToTextTest, TinyMagnitudesAreRewrittenAsPlainDecimals) {
  EXPECT_EQ(NumberToText(0.00001234, 1, 8), "0.00001234");
  EXPECT_EQ(NumberToText(1.5e-5, 1, 6), "0.000015");
  EXPECT_EQ(NumberToText(-1.5e-5, 1, 6), "-0.000015");
  EXPECT_EQ(NumberToText(1e-5, 1, 5), "0.00001");
  EXPECT_EQ(NumberToText(1e-5, 1, 0), "0");
  EXPECT_EQ(NumberToText(1e-300, 1, 2), "0");
  EXPECT_EQ(NumberToText(0.0001, 1, 4), "0.0001");  // still in plain form
}

TEST(NumberToTextTest, HugeMagnitudesComeOutAsPlainDigits) {
  EXPECT_EQ(NumberToText(999999999999999.0, 1, 0), "999999999999999");
  EXPECT_EQ(NumberToText(1e15, 1, 0), "1000000000000000");
  EXPECT_EQ(NumberToText(-1.5e20, 1, 0), "-150000000000000000000");
  EXPECT_EQ(NumberToText(1e300, 1, 0).size(), 301u);
}

TEST(NumberToTextTest, KeepsFifteenSignificantDigits) {
  EXPECT_EQ(NumberToText(0.1 + 0.2, 1, 20), "0.3");
  EXPECT_EQ(NumberToText(1234567.891, 1, 3), "1234567.891");
}

TEST(NumberToTextTest, NonFiniteValuesDoNotCrash) {
  EXPECT_EQ(NumberToText(std::numeric_limits<double>::infinity(), 1, 0), "Inf");
  EXPECT_EQ(NumberToText(-std::numeric_limits<double>::infinity(), 1, 0), "-Inf");
  EXPECT_EQ(NumberToText(std::numeric_limits<double>::quiet_NaN(), 1, 0), "NaN");
}

TEST(ParseNumberTest, EmptyAndPointAloneGiveZero) {
  EXPECT_EQ(ParseNumber(""), 0);
  EXPECT_EQ(ParseNumber("."), 0);
  EXPECT_EQ(ParseNumber("   "), 0);
  EXPECT_EQ(ParseNumber(","), 0);
}

TEST(ParseNumberTest, CommaIsAPointAndSpacesAreSkipped) {
  EXPECT_DOUBLE_EQ(ParseNumber(" 3,25 "), 3.25);
  EXPECT_DOUBLE_EQ(ParseNumber("1,5"), 1.5);
  EXPECT_DOUBLE_EQ(ParseNumber("1 2 3"), 123);
  EXPECT_DOUBLE_EQ(ParseNumber("- 5"), -5);
  EXPECT_DOUBLE_EQ(ParseNumber("1,5,3"), 1.5);  // a second point ends the number
}

TEST(ParseNumberTest, SignsAndLeadingNumber) {
  EXPECT_DOUBLE_EQ(ParseNumber("-05"), -5);
  EXPECT_DOUBLE_EQ(ParseNumber("+20"), 20);
  EXPECT_DOUBLE_EQ(ParseNumber("12abc"), 12);
  EXPECT_DOUBLE_EQ(ParseNumber(".5"), 0.5);
  EXPECT_DOUBLE_EQ(ParseNumber("7."), 7);
  EXPECT_EQ(ParseNumber("abc12"), 0);
  EXPECT_EQ(ParseNumber("-"), 0);
  EXPECT_EQ(ParseNumber("+-3"), 0);
  EXPECT_EQ(ParseNumber("\t5"), 0);  // only spaces are blanks here
}

TEST(ParseNumberTest, ExponentsWithEOrD) {
  EXPECT_DOUBLE_EQ(ParseNumber("1.5E-05"), 1.5e-5);
  EXPECT_DOUBLE_EQ(ParseNumber("2D3"), 2000);
  EXPECT_DOUBLE_EQ(ParseNumber("2e+2"), 200);
  EXPECT_DOUBLE_EQ(ParseNumber("3E"), 3);  // no exponent digits
  EXPECT_DOUBLE_EQ(ParseNumber("3Ex"), 3);
}

TEST(ParseNumberTest, OutOfRangeGivesTheNumberReachedSoFar) {
  EXPECT_DOUBLE_EQ(ParseNumber("4E999"), 4);
  EXPECT_EQ(ParseNumber("4E-999"), 0);
  EXPECT_EQ(ParseNumber(std::string(400, '9')), 0);
  EXPECT_DOUBLE_EQ(ParseNumber(std::string(300, '0') + "1"), 1);
}

TEST(ReplaceAllTest, ModeZeroCutsToOneCharacterAndWritesBack) {
  std::string find = " ";
  std::string replacement = "_";
  EXPECT_EQ(ReplaceAll("A B.C", find, replacement, 0), "A_B.C");

  find = "XY";
  replacement = "Z";
  EXPECT_EQ(ReplaceAll("XYX-Y", find, replacement, 0), "ZYZ-Y");
  EXPECT_EQ(find, "X");
  EXPECT_EQ(replacement, "Z");

  find = "éa";  // one character of two bytes stays whole
  replacement = "ee";
  EXPECT_EQ(ReplaceAll("café", find, replacement, 0), "cafe");
  EXPECT_EQ(find, "é");
  EXPECT_EQ(replacement, "e");
}

TEST(ReplaceAllTest, OtherModesTrimSpacesAndWriteBack) {
  std::string find = "  ab ";
  std::string replacement = " x ";
  EXPECT_EQ(ReplaceAll("ab-ab", find, replacement, 1), "x-x");
  EXPECT_EQ(find, "ab");
  EXPECT_EQ(replacement, "x");
}

TEST(ReplaceAllTest, EndsForEmptyFindAndSelfContainingReplacement) {
  std::string find;
  std::string replacement = "x";
  EXPECT_EQ(ReplaceAll("abc", find, replacement, 0), "abc");

  find = "a";
  replacement = "a";
  EXPECT_EQ(ReplaceAll("aaa", find, replacement, 0), "aaa");

  find = "a";
  replacement = "ba";
  EXPECT_EQ(ReplaceAll("a.a", find, replacement, 1), "ba.ba");

  find = "   ";  // trims to empty
  replacement = "x";
  EXPECT_EQ(ReplaceAll("a b", find, replacement, 1), "a b");
  EXPECT_EQ(find, "");
}

TEST(ReplaceAllTest, EmptyReplacementRemoves) {
  std::string find = ".";
  std::string replacement;
  EXPECT_EQ(ReplaceAll("A.B.C.", find, replacement, 0), "ABC");
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

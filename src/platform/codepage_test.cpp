#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace zr {
namespace {

using namespace std::string_literals;

TEST(CodepageTest, AsciiAndNulPassUnchanged) {
  const std::string ascii = "C:\\KYCONFIG\\KY-GEN.CNF\0|x\r\n"s;
  EXPECT_EQ(Cp1252ToUtf8(ascii), ascii);
  EXPECT_EQ(Utf8ToCp1252(ascii), ascii);
  EXPECT_EQ(Cp1252ToUtf8(""), "");
}

TEST(CodepageTest, EveryDefinedByteRoundTrips) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) {
    if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) continue;
    all += static_cast<char>(byte);
  }
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(CodepageTest, BytesWithoutCharacterBecomeQuestionMarks) {
  EXPECT_EQ(Cp1252ToUtf8("a\x81"
                         "b\x8D\x8F\x90\x9D"
                         "c"),
            "a?b????c");
}

TEST(CodepageTest, UnmappableOrBrokenUtf8BecomesOneQuestionMarkEach) {
  EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD"
                         "b"),
            "a?b");                                    // a Chinese character
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80!"), "?!");  // an emoji
  EXPECT_EQ(Utf8ToCp1252("x\x80y"), "x?y");            // stray continuation byte
  EXPECT_EQ(Utf8ToCp1252("x\xC3"), "x?");              // cut at the end
  EXPECT_EQ(Utf8ToCp1252("x\xC3y"), "x?y");            // lead byte without its tail
  EXPECT_EQ(Utf8ToCp1252("\xFF\xFE"
                         "a"),
            "??a");
}

TEST(CodepageTest, LongTextsConvertWhole) {
  std::string cp1252(100000, '\xE8');
  std::string utf8;
  for (int i = 0; i < 100000; ++i) utf8 += "è";
  EXPECT_EQ(Cp1252ToUtf8(cp1252), utf8);
  EXPECT_EQ(Utf8ToCp1252(utf8), cp1252);
}

TEST(CodepageTest, BuiltinTableAgreesWithIconv) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(Cp1252ToUtf8Builtin(one), Cp1252ToUtf8(one)) << byte;
    const std::string utf8 = Cp1252ToUtf8(one);
    EXPECT_EQ(Utf8ToCp1252Builtin(utf8), Utf8ToCp1252(utf8)) << byte;
  }
  for (const std::string text : {"a\xE4\xB8\xAD"
                                 "b",
                                 "\xF0\x9F\x98\x80!", "x\x80y", "x\xC3", "x\xC3y",
                                 "\xFF\xFE"
                                 "a",
                                 "\xC0\x80", "\xED\xA0\x80"}) {
    EXPECT_EQ(Utf8ToCp1252Builtin(text), Utf8ToCp1252(text)) << text;
  }
}

// UTF-16 units go to CESU-8 and back unchanged, lone surrogates included;
// as UTF-8 a pair joins and a lone surrogate becomes U+FFFD; only valid
// UTF-8 becomes CESU-8.
TEST(CodepageTest, Utf16UnitsRoundTripThroughCesu8) {
  std::string every;
  for (int unit = 0; unit < 0x10000; ++unit) {
    every += static_cast<char>(unit & 0xFF);
    every += static_cast<char>(unit >> 8);
  }
  EXPECT_EQ(Cesu8ToUtf16Le(Utf16LeToCesu8(every)), every);
  const std::string pair_lone_a =
      "\x3D\xD8\x00\xDE\x00\xD8"
      "A\x00"s;
  EXPECT_EQ(Cesu8ToUtf8(Utf16LeToCesu8(pair_lone_a)),
            "\xF0\x9F\x98\x80\xEF\xBF\xBD"
            "A");
  std::string cesu8;
  ASSERT_TRUE(Utf8ToCesu8("\xC3\xA8\xF0\x9F\x98\x80", &cesu8));
  EXPECT_EQ(Cesu8ToUtf16Le(cesu8), "\xE8\x00\x3D\xD8\x00\xDE"s);
  EXPECT_EQ(Cesu8ToUtf16Le("\xF4\x90\x80\x80"), "\xFD\xFF"s);
  for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "x\xC3", "\x80", "\xF4\x90\x80\x80"}) {
    EXPECT_FALSE(Utf8ToCesu8(bad, &cesu8)) << bad;
  }
}

}  // namespace
}  // namespace zr

#include "text/listed_names.h"

#include <gtest/gtest.h>

namespace zr {
namespace {

TEST(IsForbiddenNameTest, OnlyNamesWindowsCouldHoldAsOneNamePass) {
  for (const char* name : {"ALFA_050603.ZIP", "CUST ONE.ZIP", "METAL.V2.ZIP", ".HIDDEN",
                           "VER\xC3\x80"
                           "14",
                           "a..b"}) {
    EXPECT_FALSE(IsForbiddenName(name)) << name;
  }
  for (const char* name :
       {"", ".", "..", "X.", "X ", "..\\..\\KYCONFIG\\SYSTEM.zip", "a/b", "p.zip\tS:\"q.ZIP",
        "S:X.ZIP", "*.ZIP", "A?.ZIP", "Q\".ZIP", "L\x7F", "a<b", "a|b", "NUL.ZIP"}) {
    EXPECT_TRUE(IsForbiddenName(name)) << ShownName(name);
  }
}

TEST(ShownNameTest, ControlCharactersBecomeQuestionMarks) {
  EXPECT_EQ(ShownName("p.zip\tS:\"q.ZIP\r"), "p.zip?S:\"q.ZIP?");
}

}  // namespace
}  // namespace zr

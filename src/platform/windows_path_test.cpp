#include "platform/windows_path.h"

#include <gtest/gtest.h>

namespace zr {
namespace {

struct Case {
  const char* text;
  const char* want;  // "" when the text does not parse
};

std::string Parsed(const std::string& text, const std::string& current) {
  const WindowsPath base = WindowsPath::Parse(current).value();
  std::optional<WindowsPath> path = WindowsPath::Parse(text, base);
  return path ? path->Text() : "";
}

TEST(WindowsPathTest, ParsesAgainstTheCurrentFolder) {
  const Case cases[] = {
      // The typed spelling stays; separators are normalised.
      {"c:\\kyconfig\\system", "c:\\kyconfig\\system"},
      {"c:/kyconfig//system\\\\", "c:\\kyconfig\\system"},
      {"A:\\\\X", "A:\\X"},
      {"A:", "A:\\"},
      // Trailing dots and blanks of each component go, leading blanks stay.
      {"C:\\REPORT. .\\F.TXT.", "C:\\REPORT\\F.TXT"},
      {"C:\\ LEAD   ", "C:\\ LEAD"},
      {"C:\\A\\...\\B", "C:\\A\\B"},
      // "." and ".." never climb above the drive root or the share.
      {"C:\\A\\.\\B\\..\\C", "C:\\A\\C"},
      {"C:\\..\\..\\X", "C:\\X"},
      {"\\\\SRV\\SHARE\\..\\..\\X", "\\\\SRV\\SHARE\\X"},
      // Relative forms.
      {"MAC\\L1.MAC", "C:\\WORK\\SUB\\MAC\\L1.MAC"},
      {"..\\X", "C:\\WORK\\X"},
      {"\\WINDOWS", "C:\\WINDOWS"},
      {"c:F.TXT", "c:\\WORK\\SUB\\F.TXT"},  // same drive: the current folder
      {"D:F.TXT", "D:\\F.TXT"},             // another drive: its root
      // Refused: nothing, and UNC names without server and share.
      {"", ""},
      {"\\\\SRV", ""},
      {"\\\\SRV\\", ""},
      {"\\\\SRV\\..\\X", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Parsed(c.text, "C:\\WORK\\SUB"), c.want) << c.text;
  EXPECT_EQ(Parsed("\\X", "\\\\SRV\\SHARE\\DIR"), "\\\\SRV\\SHARE\\X");
  EXPECT_EQ(Parsed("Y", "\\\\SRV\\SHARE\\DIR"), "\\\\SRV\\SHARE\\DIR\\Y");
}

TEST(WindowsPathTest, JoinParentAndRoot) {
  const WindowsPath folder = WindowsPath::Parse("C:\\A\\B").value();
  EXPECT_EQ(folder.Join("C\\..\\D.\\E.TXT").Text(), "C:\\A\\B\\D\\E.TXT");
  EXPECT_EQ(folder.Join("..\\..\\..").Text(), "C:\\");
  const Case parents[] = {
      {"C:\\A\\B", "C:\\A"},
      {"C:\\A", "C:\\"},
      {"C:\\", "C:\\"},
      {"\\\\SRV\\SHARE\\X", "\\\\SRV\\SHARE"},
      {"\\\\SRV\\SHARE", "\\\\SRV\\SHARE"},
  };
  for (const Case& c : parents) {
    const WindowsPath path = WindowsPath::Parse(c.text).value();
    EXPECT_EQ(path.Parent().Text(), c.want) << c.text;
    EXPECT_EQ(path.is_root(), std::string(c.text) == c.want) << c.text;
  }
}

TEST(WindowsPathTest, DriveCompletion) {
  const Case cases[] = {
      {"\\DATI", "C:\\DATI"}, {":\\DATI", "C:\\DATI"},      {"DATI", "C:\\DATI"}, {"", "C:\\"},
      {"A:DATI", "A:DATI"},   {"\\\\SRV\\S", "\\\\SRV\\S"}, {"D:\\", "D:\\"},     {"1", "C:\\1"},
  };
  for (const Case& c : cases) EXPECT_EQ(CompleteDrive(c.text), c.want) << c.text;
}

TEST(WindowsPathTest, SplitsOfTheTypedText) {
  const Case cases[] = {
      {"C:\\A\\B.TXT", "C:\\A\\"}, {"C:\\A\\", "C:\\A\\"}, {"B.TXT", ""}, {"\\\\S\\X", "\\\\S\\"}};
  for (const Case& c : cases) {
    EXPECT_EQ(FolderOfText(c.text), c.want) << c.text;
    EXPECT_EQ(std::string(FolderOfText(c.text)) + std::string(NameOfText(c.text)), c.text);
  }
  EXPECT_EQ(NameOfText("C:/A\\B/C.EXE", "\\/"), "C.EXE");
  EXPECT_EQ(NameOfText("C:/A\\B/C.EXE"), "B/C.EXE");
}

TEST(WindowsPathTest, SameAndBelowByTheCaseRule) {
  struct Pair {
    const char* path;
    const char* folder;
    bool same;
    bool below;
  };
  const Pair pairs[] = {
      {"c:\\dati\\à", "C:\\DATI\\À", true, false},
      {"C:\\DATI\\X", "c:\\dati", false, true},
      {"C:\\DATI", "C:\\", false, true},
      {"C:\\DATI2", "C:\\DATI", false, false},  // a longer name is no folder below
      {"D:\\DATI\\X", "C:\\DATI", false, false},
      {"\\\\SRV\\S\\X", "\\\\srv\\s", false, true},
      {"C:\\DATI", "C:\\DATI\\X", false, false},
  };
  for (const Pair& p : pairs) {
    const WindowsPath path = WindowsPath::Parse(p.path).value();
    const WindowsPath folder = WindowsPath::Parse(p.folder).value();
    EXPECT_EQ(path.SameAs(folder), p.same) << p.path << " " << p.folder;
    EXPECT_EQ(path.LiesBelow(folder), p.below) << p.path << " " << p.folder;
  }
}

TEST(WindowsPathTest, FoldsTheWindows1252LettersOnly) {
  EXPECT_TRUE(EqualsNoCase("KY-GEN.CNF", "ky-gen.cnf"));
  EXPECT_TRUE(EqualsNoCase("PERCORSO À", "percorso à"));
  EXPECT_TRUE(EqualsNoCase("ŠA.TXT", "ša.txt"));
  EXPECT_EQ(FoldCase("ŠŒŽŸÞÀ"), "šœžÿþà");
  EXPECT_EQ(FoldCase("ĀŁЖ\xC5\xC5\xB8\xFF\xC3"), "ĀŁЖ\xC5ÿ\xFF\xC3");  // the rest stays
  EXPECT_TRUE(FoldsTo("ĀBŸ", "Ābÿ"));
  EXPECT_FALSE(EqualsNoCase("A×B", "A÷B"));  // × and ÷ are no letter pair
  EXPECT_FALSE(EqualsNoCase("ABC", "ABCD"));
  EXPECT_TRUE(LessNoCase("a.txt", "B.TXT"));
  EXPECT_TRUE(LessNoCase("A.txt", "a.TXT"));  // same folded: bytes decide
  EXPECT_FALSE(LessNoCase("a.TXT", "A.txt"));
  EXPECT_TRUE(LessNoCase("DAXOR", "DAXOR2D"));
}

TEST(WindowsPathTest, NamesWindowsRefuses) {
  for (const char* name : {"", "A:B", "A\\B", "A/B", "A*", "A?", "A\"", "A<", "A>", "A|", "A\tB",
                           "A\x7F", "NUL", "con.ini", "Aux .ZIP", "com1", "LPT9.TXT"}) {
    EXPECT_FALSE(IsCreatableName(name)) << name;
  }
  for (const char* name : {"A.TXT", " LEAD", "PROVA È", "A.B.C", "A+B,C;D=E[F]", "NULL", "COM0",
                           "CONFIG.SYS", "XNUL"}) {
    EXPECT_TRUE(IsCreatableName(name)) << name;
  }
}

}  // namespace
}  // namespace zr

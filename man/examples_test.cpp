// The examples of the man pages and of README.md, run as a user types them.
//
// What counts as an example (write new ones in the same forms):
//  - man/*.h2m: in an [EXAMPLES] section, the line after each ".TP", a ".B"
//    line with the command; roff's escapes (\e \- \(aq \fB \fI \fR) are read
//    back as the characters a user types, so `\(aq/Fc:\ekyconfig\esystem\(aq`
//    is '/Fc:\kyconfig\system'.
//  - README.md: every line of a ```sh block but blank and comment-only lines
//    (a line ending in " \" goes on with the next).
// The examples of one page, and those of one README block, run in that order
// in one bash, as typed one after the other: a later one sees what an earlier
// one made (the backup before the server copy, `cli()` before `cli show`),
// so a new example goes after those that make what it needs (and before one
// that takes it away: za-rirevo-cli(1)'s erase empties A:). Each must end
// with exit status 0. Each example is a test of its own, named after its
// source, block and number (README_md_7_3), with the earlier ones of its
// block run first.
//
// They run in a temporary world: the working folder and HOME are in it, the
// demo installation of scripts/make-demo-world is there with ZARIREVO_DRIVES
// naming it, with what the pages take as there: C:\TEMP\LIST.TXT listing two
// of its files (the archiver's list) and the folder C:\BACKUP. The built
// programs come first on PATH, and build/ and scripts/ in the working folder
// lead to the build and to the sources' scripts.
//
// Skipped, each with its reason shown ("not run here: ..."): what a test
// must not do or cannot do (kNotRunHere): act as root (sudo, apt), use a
// real disk or share (a README block naming /mnt/ or /media/, mount), open
// the windows (they need a display and a person), run a whole build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "tests/run_program.h"
#include "tests/test_world.h"

namespace zr {
namespace {

struct Example {
  std::string name;                 // for the test's name: source, block, number
  std::string where;                // "README.md line 40", "man/pkzip25.h2m line 30"
  std::vector<std::string> before;  // the examples of its block that run first
  std::string command;
  std::string skipped;  // why it is not run here, or ""
};

struct Rule {
  const char* pattern;
  const char* reason;
};

// Examples that are not run, by a pattern of the line.
const Rule kNotRunHere[] = {
    {R"((^|[\s;&|])(sudo|apt|apt-get)\s)", "acts as root on this machine"},
    {R"(\bmount\b)", "needs a real disk or share"},
    {R"((^|[\s/])za-rirevo\s+['"/])", "opens the windows (a display and a person)"},
    {R"(bash scripts/)", "a whole build and test run of its own"},
    {R"(wine|build-windows)", "the Windows build"},
};
// README blocks that are not run at all, by a pattern of any of their lines.
const Rule kBlockNotRunHere = {R"(/mnt/|/media/)", "needs a real disk or share"};

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// roff's escapes as typed; "\e" last, so that the backslash it gives starts
// no escape of its own.
std::string Unroff(std::string text) {
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"\\(aq", "'"},
                                 {"\\(dq", "\""},
                                 {"\\fB", ""},
                                 {"\\fI", ""},
                                 {"\\fR", ""},
                                 {"\\fP", ""},
                                 {"\\-", "-"},
                                 {"\\&", ""},
                                 {"\\ ", " "},
                                 {"\\e", "\\"}}) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
}

std::string Slug(std::string text) {
  for (char& c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return text;
}

std::string SkipReason(const std::string& command, const std::string& block_reason) {
  if (!block_reason.empty()) return block_reason;
  for (const Rule& rule : kNotRunHere) {
    if (std::regex_search(command, std::regex(rule.pattern))) return rule.reason;
  }
  return {};
}

// One block's commands (with their line numbers) as examples.
void AddBlock(const std::string& source, int block,
              const std::vector<std::pair<int, std::string>>& commands,
              std::vector<Example>& examples) {
  std::string block_reason;
  for (const auto& [line, command] : commands) {
    if (source == "README.md" && std::regex_search(command, std::regex(kBlockNotRunHere.pattern))) {
      block_reason = kBlockNotRunHere.reason;
    }
  }
  std::vector<std::string> before;
  int number = 0;
  for (const auto& [line, command] : commands) {
    Example example{Slug(source) + "_" + std::to_string(block) + "_" + std::to_string(++number),
                    source + " line " + std::to_string(line), before, command,
                    SkipReason(command, block_reason)};
    if (example.skipped.empty()) before.push_back(command);
    examples.push_back(example);
  }
}

std::vector<Example> ReadExamples() {
  const std::string sources = ZARIREVO_SOURCE_DIR;
  std::vector<Example> examples;
  // README.md: the ```sh blocks.
  const std::vector<std::string> readme = ReadLines(sources + "/README.md");
  std::vector<std::pair<int, std::string>> block;
  int blocks = 0;
  bool inside = false;
  for (std::size_t i = 0; i < readme.size(); ++i) {
    const std::string& line = readme[i];
    if (!inside) {
      inside = line == "```sh";
      continue;
    }
    if (line == "```") {
      AddBlock("README.md", ++blocks, block, examples);
      block.clear();
      inside = false;
      continue;
    }
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos || line[first] == '#') continue;
    const bool goes_on =
        !block.empty() && block.back().second.size() > 1 && block.back().second.ends_with(" \\");
    if (goes_on) {
      block.back().second += "\n" + line;
    } else {
      block.emplace_back(static_cast<int>(i + 1), line);
    }
  }
  // The man pages: the ".B" line after each ".TP" of [EXAMPLES].
  std::vector<std::string> pages;
  for (const auto& entry : std::filesystem::directory_iterator(sources + "/man")) {
    if (entry.path().extension() == ".h2m") pages.push_back(entry.path().filename().string());
  }
  std::sort(pages.begin(), pages.end());
  for (const std::string& page : pages) {
    const std::vector<std::string> lines = ReadLines(sources + "/man/" + page);
    std::vector<std::pair<int, std::string>> commands;
    bool in_examples = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (!lines[i].empty() && lines[i][0] == '[') in_examples = lines[i] == "[EXAMPLES]";
      if (in_examples && lines[i] == ".TP" && i + 1 < lines.size() &&
          lines[i + 1].starts_with(".B ")) {
        commands.emplace_back(static_cast<int>(i + 2), Unroff(lines[i + 1].substr(3)));
      }
    }
    AddBlock("man/" + page, 1, commands, examples);
  }
  return examples;
}

// In the test's list: where the example is and what it runs.
void PrintTo(const Example& example, std::ostream* out) {
  *out << example.where << ": " << example.command.substr(0, 60);
}

class ExamplesTest : public ::testing::TestWithParam<Example> {};

TEST_P(ExamplesTest, RunsAsTyped) {
  const Example& example = GetParam();
  if (!example.skipped.empty()) GTEST_SKIP() << "not run here: " << example.skipped;
  testing::TestWorld world;
  namespace fs = std::filesystem;
  const fs::path root = world.root();
  const fs::path work = root / "work", home = root / "home", bin = root / "bin";
  for (const fs::path& folder : {work, home, bin}) fs::create_directories(folder);
  fs::create_directory_symlink(ZARIREVO_BINARY_DIR, work / "build");
  fs::create_directory_symlink(std::string(ZARIREVO_SOURCE_DIR) + "/scripts", work / "scripts");
  for (const std::string program : {ZARIREVO_CLI_PROGRAM, ZARIREVO_ARCHIVER, ZARIREVO_WINDOWS}) {
    if (!program.empty()) fs::create_symlink(program, bin / fs::path(program).filename());
  }
  const testing::ProgramRun demo =
      testing::RunProgram({"python3", std::string(ZARIREVO_SOURCE_DIR) + "/scripts/make-demo-world",
                           (root / "demo").string(), "--archiver", ZARIREVO_ARCHIVER});
  ASSERT_EQ(demo.exit_code, 0) << demo.out;
  std::string drives = demo.out;  // its last line
  drives.erase(drives.find_last_not_of('\n') + 1);
  drives.erase(0, drives.rfind('\n') + 1);
  fs::create_directories(root / "demo/c/TEMP");
  fs::create_directories(root / "demo/c/BACKUP");
  std::ofstream(root / "demo/c/TEMP/LIST.TXT")
      << "C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI\r\nC:\\ORVEL\\VER14\\KY-GEN.CNF\r\n";
  // The earlier examples of the block first; the last one's status is the script's.
  std::string script;
  for (const std::string& command : example.before) {
    script += "{ " + command + "\n} || { echo 'an earlier example failed'; exit 99; }\n";
  }
  script += example.command + "\n";
  const testing::ProgramRun run =
      testing::RunProgram({"bash", "-c", script},
                          {{"PATH", bin.string() + ":" + std::getenv("PATH")},
                           {"HOME", home.string()},
                           {"ZARIREVO_DRIVES", drives}},
                          work.string());
  EXPECT_EQ(run.exit_code, 0) << example.where << ": " << example.command << "\n" << run.out;
}

// The bash completion the package installs, made from --help, offers the
// commands, a command's options and an option's choices.
TEST(CompletionTest, OffersCommandsOptionsAndChoices) {
  const std::string script =
      std::string("source '") + ZARIREVO_BINARY_DIR +
      "/za-rirevo-cli.bash'\n"
      "offer() { COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _za_rirevo_cli; "
      "echo \"${COMPREPLY[*]}\"; }\n"
      "offer za-rirevo-cli --cmdline x se\n"
      "offer za-rirevo-cli erase --y\n"
      "offer za-rirevo-cli --answer ''\n";
  const testing::ProgramRun run = testing::RunProgram({"bash", "-c", script});
  EXPECT_EQ(run.out, "server-copy\n--yes\nok cancel yes no\n");
}

INSTANTIATE_TEST_SUITE_P(Pages, ExamplesTest, ::testing::ValuesIn(ReadExamples()),
                         [](const ::testing::TestParamInfo<Example>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace zr

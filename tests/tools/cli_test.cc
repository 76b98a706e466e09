// Bad input to tavopl: each case ends with one line on stderr, the
// documented exit code, and no output file, whole or partial.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "run_tool.h"

namespace tavo::testing {
namespace {

namespace fs = std::filesystem;

// One line, "tavopl: ..." and nothing else.
void ExpectOneErrorLine(const ToolRun& run) {
  EXPECT_EQ(0u, run.err.rfind("tavopl: ", 0)) << run.err;
  ASSERT_FALSE(run.err.empty());
  EXPECT_EQ(run.err.size() - 1, run.err.find('\n')) << run.err;
}

class CliTest : public ::testing::Test {
 protected:
  // A database folder with an empty database and the sample presets.
  void MakeDatabase() {
    const ToolRun run = box_.Run({"--db", "db", "presets"});
    ASSERT_EQ(0, run.exit_code) << run.err;
  }
  ToolSandbox box_{"tavopl_cli_test"};
};

TEST_F(CliTest, BadInputIsOneLineAndADocumentedExitCode) {
  MakeDatabase();
  fs::create_directory(box_.Path("a-folder"));
  std::ofstream(box_.Path("not-a-folder")) << "x";
  struct Case {
    std::vector<std::string> args;
    int exit_code;
  } cases[] = {
      {{}, 2},
      {{"frobnicate"}, 2},
      {{"ls", "--no-such-option"}, 2},
      {{"--db", "db", "ls", "--year", "1999-1990"}, 2},
      {{"--db", "db", "ls", "--plays", "many"}, 2},
      {{"--db", "db", "rate", "x.mp3", "500"}, 2},
      {{"--db", "db", "lists", "moods"}, 2},
      {{"--db", "db", "--lang", "klingon", "presets"}, 2},
      {{"--db", "db", "generate"}, 2},
      {{"--db", "db", "generate", "Nineties", "--m3u", "--xspf"}, 2},
      {{"--db", "db", "generate", "More by These Artists"}, 2},  // needs --select
      {{"--db", "missing", "ls"}, 3},
      {{"--db", "missing", "generate", "Nineties"}, 3},
      {{"--db", "missing", "check"}, 3},
      {{"--db", "missing", "backup", "bk"}, 3},
      {{"--db", "db", "generate", "No Such Preset"}, 5},
      {{"--db", "db", "generate", "--file", "missing.xml"}, 5},
      {{"--db", "db", "scan", "no-such-folder"}, 5},
      {{"--db", "db", "scan", "a-folder", "not-a-folder"}, 5},
      {{"--db", "db", "restore", "a-folder"}, 5},
      {{"--db", "db", "generate", "Nineties", "-o", "no-such-folder/list.m3u8"}, 6},
      {{"--db", "db", "generate", "Nineties", "-o", "a-folder"}, 6},
      {{"--db", "not-a-folder", "scan", "a-folder"}, 6},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& a : c.args) line += a + " ";
    SCOPED_TRACE(line);
    const ToolRun run = box_.Run(c.args);
    EXPECT_EQ(c.exit_code, run.exit_code) << run.err;
    ExpectOneErrorLine(run);
  }
  EXPECT_FALSE(fs::exists(box_.Path("missing")));  // a failed read made no database
  EXPECT_FALSE(fs::exists(box_.Path("no-such-folder")));
  EXPECT_TRUE(fs::is_empty(box_.Path("a-folder")));  // nothing half written
}

TEST_F(CliTest, ADamagedDatabaseIsReportedNotRebuilt) {
  MakeDatabase();
  for (const char* file : {"tavoplm.pdb", "tavoplm.idx"})
    std::ofstream(box_.Path(std::string("db/") + file), std::ios::trunc) << std::string(300, '\x5a');
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--db", "db", "presets"},
                                               std::vector<std::string>{"--db", "db", "check"}}) {
    const ToolRun run = box_.Run(args);
    EXPECT_EQ(4, run.exit_code) << run.err;
    ExpectOneErrorLine(run);
  }
  EXPECT_EQ(std::string(300, '\x5a'), ToolSandbox::Read(box_.Path("db/tavoplm.pdb")));
}

TEST_F(CliTest, HelpForEveryCommandListsTheExitCodes) {
  for (const char* command : {"scan", "ls", "presets", "generate", "played", "rate", "lists", "check", "reindex",
                              "backup", "restore", "correlates", "demo"}) {
    const ToolRun run = box_.Run({command, "--help"});
    EXPECT_EQ(0, run.exit_code) << command;
    EXPECT_NE(std::string::npos, run.out.find("Exit codes:")) << command;
    EXPECT_TRUE(run.err.empty()) << command << ": " << run.err;
  }
}

TEST_F(CliTest, ANewDatabaseFolderGetsTheSamplePresets) {
  const ToolRun run = box_.Run({"--db", "fresh", "presets", "--json"});
  ASSERT_EQ(0, run.exit_code) << run.err;
  EXPECT_TRUE(fs::exists(box_.Path("fresh/samplepresets.xml")));
  EXPECT_NE(std::string::npos, run.out.find("\"Nineties\"")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("\"Popular Hour\"")) << run.out;
  // The default folder lies under $XDG_DATA_HOME.
  ASSERT_EQ(0, box_.Run({"presets"}).exit_code);
  EXPECT_TRUE(fs::exists(box_.Path("xdg/tavopl/samplepresets.xml")));
}

TEST_F(CliTest, GenerateReadsTheGeneratorsOfAPresetFile) {
  MakeDatabase();
  const std::string file = std::string(TAVO_SOURCE_DIR) + "/share/samplepresets.xml";
  const ToolRun unnamed = box_.Run({"--db", "db", "generate", "--file", file});
  EXPECT_EQ(2, unnamed.exit_code);
  EXPECT_NE(std::string::npos, unnamed.err.find("holds 16 generators")) << unnamed.err;
  const ToolRun named = box_.Run({"--db", "db", "generate", "--file", file, "Popular Hour", "--json"});
  EXPECT_TRUE(named.exit_code == 0 || named.exit_code == 7) << named.err;  // 7: not generating yet
  EXPECT_TRUE(fs::exists(box_.Path("db/tavoplm.pdb")));
}

TEST_F(CliTest, BackupAndRestoreCopyTheDatabase) {
  MakeDatabase();
  ASSERT_EQ(0, box_.Run({"--db", "db", "backup", "bk"}).exit_code);
  const ToolRun restore = box_.Run({"--db", "db2", "restore", "bk"});
  ASSERT_EQ(0, restore.exit_code) << restore.err;
  EXPECT_EQ(ToolSandbox::Read(box_.Path("db/tavoplm.pdb")), ToolSandbox::Read(box_.Path("db2/tavoplm.pdb")));
  EXPECT_EQ(0, box_.Run({"--db", "db2", "check"}).exit_code);
}

}  // namespace
}  // namespace tavo::testing

// The whole road on the demo music: scan, every sample preset generated as
// M3U8 listing existing files, XSPF and JSON output, the library listing,
// plays and ratings.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "data/xml/xml.h"
#include "run_tool.h"

namespace tavo::testing {
namespace {

namespace fs = std::filesystem;

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string make = std::string("'") + TAVO_MAKE_DEMO_FILE + "' '" + box_.Path("music") + "' >/dev/null";
    ASSERT_EQ(0, std::system(make.c_str()));
    const ToolRun scan = box_.Run({"--db", "db", "scan", "music"});
    ASSERT_EQ(0, scan.exit_code) << scan.err;
    EXPECT_NE(std::string::npos, scan.out.find("added 240, skipped 0, failed 0")) << scan.out;
  }

  // Generates `preset` with `args` added.
  ToolRun Generate(const std::string& preset, std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", "db", "generate", preset});
    return box_.Run(args);
  }

  ToolSandbox box_{"tavopl_end_to_end_test"};
};

TEST_F(EndToEndTest, EveryPresetWritesAnM3uOfExistingFiles) {
  const ToolRun presets = box_.Run({"--db", "db", "presets", "--json"});
  ASSERT_EQ(0, presets.exit_code) << presets.err;
  const nlohmann::json list = nlohmann::json::parse(presets.out);
  ASSERT_FALSE(list.empty());
  std::string some_track;
  for (const auto& e : fs::recursive_directory_iterator(box_.Path("music")))
    if (e.is_regular_file()) some_track = e.path().string();
  for (const auto& p : list) {
    const std::string name = p["name"];
    SCOPED_TRACE(name);
    // A selection-based generator starts from a track; others ignore it.
    const ToolRun run = Generate(name, {"--m3u", "-o", "list.m3u8", "--select", some_track});
    ASSERT_EQ(0, run.exit_code) << run.err;
    std::istringstream lines(ToolSandbox::Read(box_.Path("list.m3u8")));
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ("#EXTM3U", line);
    while (std::getline(lines, line)) {
      if (!line.empty() && line[0] != '#') {
        EXPECT_TRUE(fs::is_regular_file(line)) << line;
      }
    }
  }
}

TEST_F(EndToEndTest, DemoPresetsGiveTracksInEveryFormat) {
  for (const char* preset : {"Nineties", "Similar to Blues Rock", "Popular Hour"}) {
    SCOPED_TRACE(preset);
    const ToolRun json = Generate(preset, {"--json", "--seed", "7"});
    ASSERT_EQ(0, json.exit_code) << json.err;
    const nlohmann::json playlist = nlohmann::json::parse(json.out);
    EXPECT_EQ(preset, playlist["name"]);
    EXPECT_FALSE(playlist["tracks"].empty());

    ASSERT_EQ(0, Generate(preset, {"-o", "list.xspf"}).exit_code);
    const std::string text = ToolSandbox::Read(box_.Path("list.xspf"));
    XmlNode* root = nullptr;
    ASSERT_EQ(0, XmlDocument_Parse(text.data(), text.size(), &root));
    EXPECT_STREQ("http://xspf.org/ns/0/", XmlNode_GetAttribute(root, "xmlns"));
    XmlNode* tracks = XmlNode_FindChild(root, "trackList");
    ASSERT_NE(nullptr, tracks);
    EXPECT_EQ(playlist["tracks"].size(), XmlNode_ChildCount(tracks));
    for (XmlNode* t = XmlNode_FirstChild(tracks); t; t = XmlNode_NextSibling(t))
      EXPECT_EQ(0u, std::string(XmlNode_GetTextByPath(t, "location")).rfind("file:///", 0));
    XmlNode_Free(root);
  }
}

TEST_F(EndToEndTest, ListingPlaysAndRatings) {
  const ToolRun all = box_.Run({"--db", "db", "ls", "--json"});
  ASSERT_EQ(0, all.exit_code) << all.err;
  const nlohmann::json tracks = nlohmann::json::parse(all.out);
  ASSERT_EQ(240u, tracks.size());
  const std::string path = tracks[0]["path"];
  ASSERT_TRUE(fs::is_regular_file(path)) << path;

  const ToolRun played = box_.Run({"--db", "db", "played", path});
  ASSERT_EQ(0, played.exit_code) << played.err;
  EXPECT_NE(std::string::npos, played.out.find("played 1 times")) << played.out;
  ASSERT_EQ(0, box_.Run({"--db", "db", "rate", path, "80"}).exit_code);
  const ToolRun rated = box_.Run({"--db", "db", "ls", "--json", "--rating", "80"});
  ASSERT_EQ(0, rated.exit_code) << rated.err;
  const nlohmann::json found = nlohmann::json::parse(rated.out);
  ASSERT_EQ(1u, found.size());
  EXPECT_EQ(path, found[0]["path"]);
  EXPECT_EQ(1, found[0]["plays"]);

  // A second scan adds nothing and says why.
  const ToolRun again = box_.Run({"--db", "db", "scan", "music"});
  ASSERT_EQ(0, again.exit_code) << again.err;
  EXPECT_NE(std::string::npos, again.out.find("added 0, skipped 240, failed 0")) << again.out;
  EXPECT_NE(std::string::npos, again.out.find("already in the library")) << again.out;
}

}  // namespace
}  // namespace tavo::testing

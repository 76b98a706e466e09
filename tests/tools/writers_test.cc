// The output writers of tavopl: each format parsed back, the awkward
// characters of real tags, and the whole-or-nothing file write.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "atomic_file.h"
#include "data/xml/xml.h"
#include "file_uri.h"
#include "json_writer.h"
#include "m3u_writer.h"
#include "table_writer.h"
#include "xml_text.h"
#include "xspf_writer.h"

namespace tavo::tool {
namespace {

namespace fs = std::filesystem;

Playlist Sample() {
  Playlist p{"Rock & <Roll>", "the \"best\" of 'em", {}};
  Track a;
  a.path = "/music/AC & DC/Été #1?.mp3";
  a.artist = "AC & DC";
  a.title = "Hells <Bells>";
  a.album = "Back\nin Black";
  a.seconds = 312;
  Track b;
  b.path = "/music/plain.mp3";
  b.title = std::string("bad \xC3 byte \x01 ctl");
  p.tracks = {a, b};
  return p;
}

TEST(FileUriTest, PercentEncodesEverythingButUnreservedAndSlash) {
  struct Case {
    const char* path;
    const char* uri;
  } cases[] = {
      {"/a/b.mp3", "file:///a/b.mp3"},
      {"/a b/c#d?.mp3", "file:///a%20b/c%23d%3F.mp3"},
      {"/50%/x", "file:///50%25/x"},
      {"/\xC3\xA9t\xC3\xA9/~_-.mp3", "file:///%C3%A9t%C3%A9/~_-.mp3"},
      {"/back\\slash", "file:///back%5Cslash"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.uri, FileUri(c.path)) << c.path;
  EXPECT_EQ(FileUri((fs::current_path() / "rel.mp3").string()), FileUri("rel.mp3"));
}

// The children of `node` named `name`.
std::vector<XmlNode*> Children(const XmlNode* node, const char* name) {
  std::vector<XmlNode*> out;
  for (XmlNode* c = XmlNode_FirstChild(node); c; c = XmlNode_NextSibling(c))
    if (std::string(XmlNode_GetName(c)) == name) out.push_back(c);
  return out;
}

TEST(XspfWriterTest, IsXspfOneWithFileUriLocations) {
  const std::string text = WriteXspf(Sample());
  XmlNode* root = nullptr;
  ASSERT_EQ(0, XmlDocument_Parse(text.data(), text.size(), &root)) << text;
  ASSERT_NE(nullptr, root);
  EXPECT_STREQ("playlist", XmlNode_GetName(root));
  EXPECT_STREQ("http://xspf.org/ns/0/", XmlNode_GetAttribute(root, "xmlns"));
  EXPECT_STREQ("1", XmlNode_GetAttribute(root, "version"));
  EXPECT_STREQ("Rock & <Roll>", XmlNode_GetTextByPath(root, "title"));
  const auto lists = Children(root, "trackList");
  ASSERT_EQ(1u, lists.size());
  const auto tracks = Children(lists[0], "track");
  ASSERT_EQ(2u, tracks.size());
  EXPECT_STREQ("file:///music/AC%20%26%20DC/%C3%89t%C3%A9%20%231%3F.mp3", XmlNode_GetTextByPath(tracks[0], "location"));
  EXPECT_STREQ("Hells <Bells>", XmlNode_GetTextByPath(tracks[0], "title"));
  EXPECT_STREQ("AC & DC", XmlNode_GetTextByPath(tracks[0], "creator"));
  EXPECT_STREQ("312000", XmlNode_GetTextByPath(tracks[0], "duration"));
  // A broken byte becomes U+FFFD and a control character is dropped.
  EXPECT_STREQ("bad \xEF\xBF\xBD byte  ctl", XmlNode_GetTextByPath(tracks[1], "title"));
  EXPECT_EQ(nullptr, XmlNode_FindChild(tracks[1], "duration"));  // unknown length
  XmlNode_Free(root);
}

TEST(XmlEscapeTest, ReplacesMarkupAndKeepsUtf8) {
  EXPECT_EQ("&amp;&lt;&gt;&quot;&apos; \xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5\t", XmlEscape("&<>\"' \xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5\t"));
  EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD", XmlEscape("\xED\xA0\x80").substr(0, 6));  // a surrogate is no character
  EXPECT_EQ("\xEF\xBF\xBD", XmlEscape("\xC0\xAF").substr(0, 3));                  // nor an overlong form
}

TEST(M3uWriterTest, ExtinfLinesAndPathsOneEntryPerTrack) {
  const std::string text = WriteM3u8(Sample());
  std::istringstream lines(text);
  std::vector<std::string> l;
  for (std::string line; std::getline(lines, line);) l.push_back(line);
  ASSERT_EQ(6u, l.size()) << text;
  EXPECT_EQ("#EXTM3U", l[0]);
  EXPECT_EQ("#PLAYLIST:Rock & <Roll>", l[1]);
  EXPECT_EQ("#EXTINF:312,AC & DC - Hells <Bells>", l[2]);
  EXPECT_EQ("/music/AC & DC/Été #1?.mp3", l[3]);
  EXPECT_EQ("#EXTINF:-1,bad \xC3 byte \x01 ctl", l[4]);  // no artist, unknown length
  EXPECT_EQ("/music/plain.mp3", l[5]);
}

TEST(JsonWriterTest, RoundTripsThroughAParser) {
  const nlohmann::json j = nlohmann::json::parse(WriteJson(Sample()));
  EXPECT_EQ("Rock & <Roll>", j["name"]);
  ASSERT_EQ(2u, j["tracks"].size());
  EXPECT_EQ("/music/AC & DC/Été #1?.mp3", j["tracks"][0]["path"]);
  EXPECT_EQ("Back\nin Black", j["tracks"][0]["album"]);
  EXPECT_EQ(312, j["tracks"][0]["seconds"]);
  EXPECT_EQ("bad \xEF\xBF\xBD byte \x01 ctl", j["tracks"][1]["title"]);
}

TEST(TableWriterTest, PadsByCharactersAndCutsLongCells) {
  const std::string text = WriteTable({{"name", 6}, {"n", 3, true}}, {{"Été", "7"}, {"abcdefghij", "123"}, {"x"}});
  EXPECT_EQ(
      "name      n\n"
      "------  ---\n"  // each column as wide as its widest cell, the title's included
      "Été       7\n"
      "abcde…  123\n"
      "x\n",
      text);
}

TEST(TableWriterTest, DurationIsMinutesAndSeconds) {
  EXPECT_EQ("", Duration(0));
  EXPECT_EQ("0:07", Duration(7));
  EXPECT_EQ("61:01", Duration(3661));
}

class AtomicFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* base = std::getenv("TAVO_TEST_TMPDIR");
    dir_ = fs::path(base ? base : "/tmp") / ("atomic_file_test_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    ::chmod(dir_.c_str(), 0755);
    fs::remove_all(dir_);
  }
  std::string Read(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  size_t Entries() { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator())); }
  fs::path dir_;
};

TEST_F(AtomicFileTest, WritesAndReplacesWholeFiles) {
  std::string error;
  const fs::path target = dir_ / "list.m3u8";
  ASSERT_TRUE(WriteFileAtomically(target.string(), "one", &error)) << error;
  ASSERT_TRUE(WriteFileAtomically(target.string(), "two", &error)) << error;
  EXPECT_EQ("two", Read(target));
  EXPECT_EQ(1u, Entries());  // no temporary file left
}

TEST_F(AtomicFileTest, FailureLeavesTargetAndFolderAsTheyWere) {
  std::string error;
  const fs::path target = dir_ / "list.m3u8";
  ASSERT_TRUE(WriteFileAtomically(target.string(), "old", &error));
  EXPECT_FALSE(WriteFileAtomically((dir_ / "missing" / "x.m3u8").string(), "new", &error));
  EXPECT_NE(std::string::npos, error.find("missing/x.m3u8")) << error;
  fs::create_directory(dir_ / "sub");
  EXPECT_FALSE(WriteFileAtomically((dir_ / "sub").string(), "new", &error));
  EXPECT_NE(std::string::npos, error.find("directory")) << error;
  if (::geteuid() != 0) {  // root writes anywhere
    ::chmod(dir_.c_str(), 0555);
    EXPECT_FALSE(WriteFileAtomically(target.string(), "new", &error));
    ::chmod(dir_.c_str(), 0755);
  }
  EXPECT_EQ("old", Read(target));
  EXPECT_EQ(2u, Entries());  // the target and "sub"
}

}  // namespace
}  // namespace tavo::tool

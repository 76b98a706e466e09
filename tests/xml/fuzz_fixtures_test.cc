// Replays every fixture under tests/xml/data/fuzz_parse/ and
// fuzz_file/ through the bodies of the two XML fuzz targets. Each finding of
// a fuzzing run is kept there under a name saying what it found.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fs/env.h"
#include "xml_fuzz_targets.h"

namespace tavo {
namespace {

std::vector<std::string> Fixtures(const std::string& folder, std::vector<std::string>* names) {
  std::vector<DirEntry> entries;
  const std::string dir = std::string(TAVO_SOURCE_DIR) + "/tests/xml/data/" + folder;
  EXPECT_EQ(Env::Default()->ListDir(dir, &entries), 0) << dir;
  std::vector<std::string> data;
  for (const DirEntry& e : entries) {
    if (e.is_directory || e.name.empty() || e.name[0] == '.') continue;
    std::string bytes;
    EXPECT_EQ(Env::Default()->ReadAll(dir + "/" + e.name, &bytes), 0);
    names->push_back(e.name);
    data.push_back(bytes);
  }
  return data;
}

TEST(XmlFuzzFixtures, ParseTarget) {
  std::vector<std::string> names;
  auto data = Fixtures("fuzz_parse", &names);
  EXPECT_FALSE(data.empty());
  for (size_t i = 0; i < data.size(); ++i) {
    SCOPED_TRACE(names[i]);
    FuzzXmlParse(reinterpret_cast<const uint8_t*>(data[i].data()), data[i].size());
  }
}

TEST(XmlFuzzFixtures, FileTarget) {
  std::vector<std::string> names;
  auto data = Fixtures("fuzz_file", &names);
  EXPECT_FALSE(data.empty());
  for (size_t i = 0; i < data.size(); ++i) {
    SCOPED_TRACE(names[i]);
    FuzzXmlFile(reinterpret_cast<const uint8_t*>(data[i].data()), data[i].size());
  }
}

}  // namespace
}  // namespace tavo

#include "data/presets/preset_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "control/scratch_dir.h"
#include "data/presets/preset_test_util.h"
#include "data/xml/xml_file.h"
#include "support/env/fault_env.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

// `count` generators named "<prefix> <i>", each with one criterion.
GeneratorChain Chain(const std::string& prefix, int count) {
  GeneratorChain chain;
  for (int i = 0; i < count; ++i) {
    auto g = std::make_shared<GeneratorRecord>();
    g->name = prefix + " " + std::to_string(i);
    auto c = std::make_shared<CriterionRecord>();
    c->set_field(txpl_crit_field_track_artist_name);
    c->field_type = txpl_crit_field_type_string;
    c->op = txpl_crit_op_str_cont;
    c->set_str_param(0, prefix);
    g->AddCriterion(-1, c);
    chain.Append(g);
  }
  return chain;
}

GeneratorChain Load(const std::string& path, int* status = nullptr, Env* env = nullptr) {
  GeneratorChain chain;
  uint16_t count = 0;
  const int s = PresetFile_Load(path.c_str(), nullptr, nullptr, &chain, &count, env);
  if (status != nullptr) *status = s;
  EXPECT_EQ(chain.size(), count);
  return chain;
}

TEST(PresetFile, SavesTheCompanionAndReadsEitherForm) {
  ScratchDir dir;
  const std::string path = dir.File("list.xml");
  const GeneratorChain saved = Chain("saved", 3);
  ASSERT_EQ(0, PresetFile_Save(&saved, path.c_str(), nullptr));
  EXPECT_TRUE(std::filesystem::exists(dir.File("list.bml")));
  EXPECT_FALSE(std::filesystem::exists(path));
  ExpectSameChain(saved, Load(path));

  // Without a companion the plain document is read.
  std::string text;
  ASSERT_TRUE(PresetFile_Text(Chain("plain", 2), nullptr, &text));
  dir.Write("list.xml", text);
  std::filesystem::remove(dir.File("list.bml"));
  ExpectSameChain(Chain("plain", 2), Load(path));

  // A file name without ".xml" has no companion.
  const std::string other = dir.File("presets.txt");
  ASSERT_EQ(0, PresetFile_Save(&saved, other.c_str(), nullptr));
  ExpectSameChain(saved, Load(other));
}

TEST(PresetFile, Statuses) {
  ScratchDir dir;
  GeneratorChain chain = Chain("kept", 1);
  uint16_t count = 0;
  EXPECT_EQ(kPresetMissingPath, PresetFile_Load(nullptr, nullptr, nullptr, &chain, &count));
  EXPECT_EQ(kPresetMissingPath, PresetFile_Load("x.xml", nullptr, nullptr, nullptr, &count));
  EXPECT_EQ(kXmlFileCannotOpen, PresetFile_Load(dir.File("none.xml").c_str(), nullptr, nullptr, &chain, &count));
  dir.Write("bad.xml", "<LIST><PSET></LIST>");
  EXPECT_EQ(kXmlMalformed, PresetFile_Load(dir.File("bad.xml").c_str(), nullptr, nullptr, &chain, &count));
  ExpectSameChain(Chain("kept", 1), chain);  // failures leave the chain alone

  EXPECT_EQ(kPresetMissingArgument, PresetFile_Save(nullptr, dir.File("a.xml").c_str(), nullptr));
  EXPECT_EQ(kPresetMissingArgument, PresetFile_Save(&chain, nullptr, nullptr));
  EXPECT_EQ(kXmlFileCannotOpen, PresetFile_Save(&chain, dir.File("no/such/dir/a.xml").c_str(), nullptr));

  // An empty chain is a document without generators.
  const GeneratorChain empty;
  ASSERT_EQ(0, PresetFile_Save(&empty, dir.File("empty.xml").c_str(), nullptr));
  int status = -1;
  EXPECT_EQ(0u, Load(dir.File("empty.xml"), &status).size());
  EXPECT_EQ(0, status);
}

TEST(PresetFile, XmlExtension) {
  for (const char* yes : {"list.xml", "list.XML", "/a.b/list.Xml", ".xml"}) EXPECT_TRUE(PresetFile_HasXmlExtension(yes)) << yes;
  for (const char* no : {"list.txt", "list", "list.xml.bak", "/a.xml/list", "list.xm"}) {
    EXPECT_FALSE(PresetFile_HasXmlExtension(no)) << no;
  }
}

// A save that fails at any point (the disk fills after any number of bytes)
// or is cut short (a temporary file left behind) leaves the previous presets
// readable: the file is replaced only by a rename.
TEST(PresetFile, AFailedSaveLeavesTheOldPresets) {
  ScratchDir dir;
  const std::string path = dir.File("userplaylists.xml");
  const GeneratorChain old_presets = Chain("old", 4);
  const GeneratorChain new_presets = Chain("new", 40);
  std::string new_text;
  ASSERT_TRUE(PresetFile_Text(new_presets, nullptr, &new_text));
  // A document is written in one piece, so budgets a little apart cover
  // every outcome: nothing written, the companion written, the plain file.
  for (uint64_t budget = 0; budget <= new_text.size() + 16; budget += new_text.size() / 24) {
    ASSERT_EQ(0, PresetFile_Save(&old_presets, path.c_str(), nullptr));
    FaultEnv env(Env::Default());
    env.FailWritesAfter(budget);
    const int status = PresetFile_Save(&new_presets, path.c_str(), nullptr, &env);
    int load_status = -1;
    const GeneratorChain loaded = Load(path, &load_status);
    ASSERT_EQ(0, load_status) << "budget " << budget;
    ExpectSameChain(status == 0 ? new_presets : old_presets, loaded);
    std::filesystem::remove(path);
  }
  ASSERT_EQ(0, PresetFile_Save(&old_presets, path.c_str(), nullptr));
  dir.Write("userplaylists.bml.tmp", "half a companion");
  ExpectSameChain(old_presets, Load(path));
}

// Saves from several threads at once, with loads in between: every save
// succeeds and every load sees one whole chain.
TEST(PresetFile, ConcurrentSavesAndLoads) {
  ScratchDir dir;
  const std::string path = dir.File("shared.xml");
  ASSERT_EQ(0, PresetFile_Save(std::make_unique<GeneratorChain>(Chain("t0", 5)).get(), path.c_str(), nullptr));
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      const GeneratorChain mine = Chain("t" + std::to_string(t), 5);
      for (int i = 0; i < 25; ++i) {
        if (PresetFile_Save(&mine, path.c_str(), nullptr) != 0) ++failures;
        GeneratorChain seen;
        if (PresetFile_Load(path.c_str(), nullptr, nullptr, &seen, nullptr) != 0 || seen.size() != 5) ++failures;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(0, failures.load());
}

}  // namespace
}  // namespace tavo

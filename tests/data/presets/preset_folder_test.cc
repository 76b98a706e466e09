#include "data/presets/preset_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "control/scratch_dir.h"
#include "data/presets/preset_file.h"
#include "data/presets/preset_test_util.h"
#include "data/xml/xml_file.h"

namespace tavo {
namespace {

GeneratorChain Named(std::initializer_list<const char*> names) {
  GeneratorChain chain;
  for (const char* name : names) {
    auto g = std::make_shared<GeneratorRecord>();
    g->name = name;
    chain.Append(g);
  }
  return chain;
}

// The folder as the host gives it, with or without its separator, holds both
// files: "samplepresets.xml" never lands beside the folder.
TEST(PresetFolder, PathsLieInsideTheFolder) {
  ScratchDir dir;
  for (const std::string& folder : {dir.path(), dir.path() + "/"}) {
    PresetFolder presets(folder);
    EXPECT_EQ(dir.File("samplepresets.xml"), presets.sample_path());
    EXPECT_EQ(dir.File("userplaylists.xml"), presets.user_path());
  }
  const GeneratorChain samples = Named({"a", "b"});
  ASSERT_EQ(0, PresetFile_Save(&samples, dir.File("samplepresets.xml").c_str(), nullptr));
  LoadedPresets loaded = PresetFolder(dir.path()).Load(nullptr, nullptr);
  EXPECT_EQ(0, loaded.sample_status);
  ExpectSameChain(samples, loaded.sample);
}

TEST(PresetFolder, MissingFilesGiveNoSamplesAndNoUserGenerators) {
  ScratchDir dir;
  PresetFolder presets(dir.path());
  LoadedPresets loaded = presets.Load(nullptr, nullptr);
  EXPECT_EQ(kXmlFileCannotOpen, loaded.sample_status);
  EXPECT_EQ(0u, loaded.user.size());
  EXPECT_FALSE(loaded.user_unreadable);
  const GeneratorChain mine = Named({"mine"});
  ASSERT_EQ(0, presets.SaveUser(mine, nullptr));
  ExpectSameChain(mine, presets.Load(nullptr, nullptr).user);
  EXPECT_FALSE(std::filesystem::exists(dir.File("userplaylists.bml.unreadable")));
}

// An unreadable user file loads as an empty list; the next save moves it
// aside instead of replacing the user's generators with that empty list.
TEST(PresetFolder, AnUnreadableUserFileIsMovedAsideBeforeTheFirstSave) {
  ScratchDir dir;
  dir.Write("userplaylists.bml", "00000400 this is no zlib stream");  // a damaged companion ...
  dir.Write("userplaylists.xml", "<LIST><PSET><NAME>half");           // ... and a cut plain file
  PresetFolder presets(dir.path() + "/");
  LoadedPresets loaded = presets.Load(nullptr, nullptr);
  EXPECT_TRUE(loaded.user_unreadable);
  EXPECT_EQ(0u, loaded.user.size());

  const GeneratorChain first = Named({"first"});
  ASSERT_EQ(0, presets.SaveUser(first, nullptr));
  EXPECT_EQ("00000400 this is no zlib stream", ReadWholeFile(dir.File("userplaylists.bml.unreadable")));
  EXPECT_EQ("<LIST><PSET><NAME>half", ReadWholeFile(dir.File("userplaylists.xml.unreadable")));
  ExpectSameChain(first, presets.Load(nullptr, nullptr).user);

  // Only once: later saves replace the file as usual.
  const GeneratorChain second = Named({"second"});
  ASSERT_EQ(0, presets.SaveUser(second, nullptr));
  EXPECT_FALSE(std::filesystem::exists(dir.File("userplaylists.bml.unreadable.2")));

  // A second damaged file keeps the first one set aside.
  dir.Write("userplaylists.bml", "garbage");
  std::filesystem::remove(dir.File("userplaylists.xml"));
  EXPECT_TRUE(presets.Load(nullptr, nullptr).user_unreadable);
  ASSERT_EQ(0, presets.SaveUser(first, nullptr));
  EXPECT_EQ("garbage", ReadWholeFile(dir.File("userplaylists.bml.unreadable.2")));
  EXPECT_EQ("00000400 this is no zlib stream", ReadWholeFile(dir.File("userplaylists.bml.unreadable")));
}

// The user file is a directory: it cannot be moved into place over, and the
// save fails instead of losing anything.
TEST(PresetFolder, ASaveThatCannotSetTheFileAsideFails) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.File("userplaylists.bml/inside"));
  PresetFolder presets(dir.path());
  EXPECT_TRUE(presets.Load(nullptr, nullptr).user_unreadable);
  std::filesystem::create_directories(dir.File("userplaylists.bml.unreadable/blocked"));
  for (int n = 2; n <= 1000; ++n) {
    std::filesystem::create_directories(dir.File("userplaylists.bml.unreadable." + std::to_string(n)));
  }
  EXPECT_EQ(kPresetCannotSetAside, presets.SaveUser(Named({"x"}), nullptr));
  EXPECT_TRUE(std::filesystem::exists(dir.File("userplaylists.bml/inside")));
}

}  // namespace
}  // namespace tavo

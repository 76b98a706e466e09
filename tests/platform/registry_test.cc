// The file-backed registry and the registration-script interpreter.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/automation/registry.h"
#include "platform/fs/env.h"

namespace tavo {
namespace {

constexpr std::string_view kHeader = "TavoRegistry 1\n";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("tavo-registry-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "registry.reg").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Reads the registry file afresh; its lock is released before returning.
  RegistryKey* Find(const std::string& key_path) {
    RegistryTransaction txn(path_);
    snapshot_ = std::make_unique<Registry>();
    snapshot_->Parse(txn.registry().Serialize());
    return snapshot_->root().Find(key_path);
  }

  std::filesystem::path dir_;
  std::string path_;
  std::unique_ptr<Registry> snapshot_;
};

constexpr const char* kScript = R"(
HKCR
{
  Demo.Thing.1 = s 'Thing Class'
  {
    CLSID = s '{11111111-2222-3333-4444-555555555555}'
  }
  NoRemove CLSID
  {
    ForceRemove {11111111-2222-3333-4444-555555555555} = s 'Thing Class'
    {
      ForceRemove 'Programmable'
      InprocServer32 = s '%MODULE%'
      {
        val ThreadingModel = s 'Apartment'
      }
    }
  }
}
)";

TEST_F(RegistryTest, RegisterThenUnregisterKeepsNoRemoveKeys) {
  // A path with a quote must arrive with the quote doubled.
  ASSERT_EQ(S_OK, RunRegistrationScript(kScript, {{"MODULE", "/opt/it''s/lib.so"}}, true, path_));
  RegistryKey* server = Find("HKEY_CLASSES_ROOT\\CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32");
  ASSERT_NE(nullptr, server);
  EXPECT_EQ("/opt/it's/lib.so", server->default_value.value_or(""));
  EXPECT_EQ("Apartment", server->values["threadingmodel"]);  // names ignore case
  EXPECT_NE(nullptr, Find("HKEY_CLASSES_ROOT\\Demo.Thing.1"));

  // A key of someone else's under CLSID survives unregistration.
  ASSERT_EQ(S_OK, RunRegistrationScript("HKCR { NoRemove CLSID { Other = s 'x' } }", {}, true, path_));
  ASSERT_EQ(S_OK, RunRegistrationScript(kScript, {{"MODULE", "x"}}, false, path_));
  EXPECT_EQ(nullptr, Find("HKEY_CLASSES_ROOT\\Demo.Thing.1"));
  EXPECT_EQ(nullptr, Find("HKEY_CLASSES_ROOT\\CLSID\\{11111111-2222-3333-4444-555555555555}"));
  EXPECT_NE(nullptr, Find("HKEY_CLASSES_ROOT\\CLSID\\Other"));
}

TEST_F(RegistryTest, MalformedScriptsChangeNothing) {
  ASSERT_EQ(S_OK, RunRegistrationScript("HKLM { Keep = s 'me' }", {}, true, path_));
  std::string before;
  Env::Default()->ReadAll(path_, &before);
  for (const char* bad : {
           "HKCR { Key = s 'unterminated }",
           "HKCR { Key = s 'v' ",              // missing brace
           "NOTAROOT { Key }",
           "HKCR { Key = d '1' }",             // unsupported value type
           "HKCR { val = s 'x' }",
           "HKCR { Key = s '%UNDEFINED%' }",
       }) {
    EXPECT_EQ(DISP_E_EXCEPTION, RunRegistrationScript(bad, {}, true, path_)) << bad;
  }
  std::string after;
  Env::Default()->ReadAll(path_, &after);
  EXPECT_EQ(before, after);
}

TEST_F(RegistryTest, DeepNestingIsRefused) {
  std::string script = "HKCR {";
  for (int i = 0; i < 100000; ++i) script += " K {";
  EXPECT_EQ(DISP_E_EXCEPTION, RunRegistrationScript(script, {}, true, path_));
}

// A key `levels` deep: the root key and levels - 1 keys named "k".
std::string DeepPath(size_t levels) {
  std::string path = "HKEY_CLASSES_ROOT";
  for (size_t i = 1; i < levels; ++i) path += "\\k";
  return path;
}

TEST_F(RegistryTest, KeyDepthIsBoundedAndOutputFollowsInput) {
  Registry r;
  const std::string deepest = std::string(kHeader) + "[" + DeepPath(kRegistryMaxDepth) + "]\n@=\"v\"\n";
  ASSERT_TRUE(r.Parse(deepest));
  EXPECT_NE(nullptr, r.root().Find(DeepPath(kRegistryMaxDepth)));
  // One line per key with values or without subkeys: the keys on the way are
  // implied, so the text is not rewritten with the whole path on each level.
  EXPECT_EQ(deepest, r.Serialize());
  for (size_t levels : {kRegistryMaxDepth + 1, size_t{100000}}) {
    EXPECT_FALSE(r.Parse(std::string(kHeader) + "[" + DeepPath(levels) + "]\n")) << levels;
  }
  EXPECT_EQ(nullptr, r.root().Create(DeepPath(kRegistryMaxDepth + 1)));
  EXPECT_TRUE(r.root().children.empty());  // a refused path creates nothing

  // A registry file that breaks the bound is reported, never rewritten.
  const std::string deep_file = std::string(kHeader) + "[" + DeepPath(10000) + "]\n";
  ASSERT_EQ(0, Env::Default()->WriteAtomically(path_, deep_file.data(), deep_file.size()));
  EXPECT_EQ(REGDB_E_READREGDB, RunRegistrationScript("HKCR { A }", {}, true, path_));
  std::string after;
  Env::Default()->ReadAll(path_, &after);
  EXPECT_EQ(deep_file, after);
}

TEST_F(RegistryTest, KeysTheFileCannotHoldFailTheWholeScript) {
  ASSERT_EQ(S_OK, RunRegistrationScript("HKLM { Keep = s 'me' }", {}, true, path_));
  std::string before;
  Env::Default()->ReadAll(path_, &before);
  std::string too_deep = "HKCR { ";
  for (size_t i = 1; i < kRegistryMaxDepth; ++i) too_deep += "k { ";
  too_deep += "k }";
  for (size_t i = 1; i < kRegistryMaxDepth; ++i) too_deep += " }";
  const std::string long_name(kRegistryMaxKeyNameLength + 1, 'n');
  for (const std::string& bad : {
           std::string("HKCR { First 'line\nbreak' = s 'v' }"),
           std::string("HKCR { 'carriage\rreturn' }"),
           std::string("HKCR { 'tab\there' }"),
           std::string("HKCR { Ok { '") + long_name + "' } }",
           std::string("HKCR { 'a\\") + DeepPath(kRegistryMaxDepth).substr(18) + "' }",
           too_deep,
       }) {
    EXPECT_EQ(DISP_E_EXCEPTION, RunRegistrationScript(bad, {}, true, path_)) << bad.substr(0, 60);
  }
  std::string after;
  Env::Default()->ReadAll(path_, &after);
  EXPECT_EQ(before, after);

  // At the bounds, and with line breaks in values, registration succeeds and
  // the file reads back.
  std::string deepest = "HKCR { ";
  for (size_t i = 2; i < kRegistryMaxDepth; ++i) deepest += "k { ";
  deepest += "k = s 'multi\nline' { val 'named\nvalue' = s 'x' }";
  for (size_t i = 2; i < kRegistryMaxDepth; ++i) deepest += " }";
  deepest += " }";
  ASSERT_EQ(S_OK, RunRegistrationScript(deepest, {}, true, path_));
  ASSERT_EQ(S_OK, RunRegistrationScript("HKCR { '" + std::string(kRegistryMaxKeyNameLength, 'n') + "' }", {},
                                        true, path_));
  RegistryKey* deep = Find(DeepPath(kRegistryMaxDepth));
  ASSERT_NE(nullptr, deep);
  EXPECT_EQ("multi\nline", deep->default_value.value_or(""));
  EXPECT_EQ("x", deep->values["named\nvalue"]);
  EXPECT_NE(nullptr, Find("HKEY_CLASSES_ROOT\\" + std::string(kRegistryMaxKeyNameLength, 'n')));
}

TEST_F(RegistryTest, FileRoundTripAndDamagedFile) {
  Registry r;
  RegistryKey* k = r.root().Create("HKEY_CURRENT_USER\\Software\\Quote\"And\\Back");
  k->default_value = "line1\nline2 \\ \"q\"";
  k->values["Name"] = "";
  Registry back;
  ASSERT_TRUE(back.Parse(r.Serialize()));
  EXPECT_EQ(r.Serialize(), back.Serialize());

  for (const char* bad : {"TavoRegistry 1\n@=\"orphan\"\n", "TavoRegistry 1\n[NOROOT\\x]\n",
                          "TavoRegistry 1\n[HKEY_CLASSES_ROOT\\x]\n\"unterminated=\"v\"\n", "garbage"}) {
    EXPECT_FALSE(back.Parse(bad)) << bad;
  }
  // A damaged registry file is reported, never replaced.
  ASSERT_EQ(0, Env::Default()->WriteAtomically(path_, "garbage", 7));
  EXPECT_EQ(REGDB_E_READREGDB, RunRegistrationScript("HKCR { A }", {}, true, path_));
  std::string after;
  Env::Default()->ReadAll(path_, &after);
  EXPECT_EQ("garbage", after);
}

}  // namespace
}  // namespace tavo

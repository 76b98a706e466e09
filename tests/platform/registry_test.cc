// The file-backed registry and the registration-script interpreter.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/automation/registry.h"
#include "platform/fs/env.h"

namespace tavo {
namespace {

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

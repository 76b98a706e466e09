// Document files and their ".bml" companions, on the real file
// system and on an in-memory Env with injected failures.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "data/xml/xml.h"
#include "data/xml/xml_file.h"
#include "support/env/fault_env.h"
#include "support/env/mem_env.h"

namespace tavo {
namespace {

std::string TempDir() {
  const char* base = std::getenv("TAVO_TEST_TMPDIR");
  std::string dir = base != nullptr ? base : "/tmp";
  Env::Default()->CreateDir(dir);
  dir += "/xml_file_test." + std::to_string(::getpid());
  Env::Default()->CreateDir(dir);
  return dir;
}

bool Exists(const std::string& path) {
  FileInfo info;
  return Env::Default()->Stat(path, &info) == 0 && info.exists;
}

std::string ReadRaw(const std::string& path) {
  std::string data;
  EXPECT_EQ(Env::Default()->ReadAll(path, &data), 0) << path;
  return data;
}

void WriteRaw(const std::string& path, const std::string& data) {
  ASSERT_EQ(Env::Default()->WriteAtomically(path, data.data(), data.size()), 0) << path;
}

std::string Read(const std::string& path, Env* env = nullptr, int expect = 0) {
  char* text = nullptr;
  EXPECT_EQ(XmlFile_Read(path.c_str(), &text, env), expect) << path;
  std::string s = text != nullptr ? text : "<none>";
  XmlText_Free(text);
  return s;
}

// The companion bytes for `text`, built independently with zlib's compress2.
std::string Companion(const std::string& text, int level = 1) {
  const uLong total = text.size() + 1;
  uLongf cap = compressBound(total);
  std::string stream(cap, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(&stream[0]), &cap,
                      reinterpret_cast<const Bytef*>(text.c_str()), total, level),
            Z_OK);
  stream.resize(cap);
  char header[9];
  std::snprintf(header, sizeof(header), "%08x", static_cast<unsigned>(total));
  return std::string(header, 8) + stream;
}

class XmlFileTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = TempDir(); }
  void TearDown() override {
    for (const char* name : {"list.xml", "list.bml", "list.bml.tmp", "list.xml.tmp", "plain.txt",
                             "doc.xml", "doc.bml"}) {
      Env::Default()->Remove(dir_ + "/" + name);
    }
    ::rmdir(dir_.c_str());
  }
  std::string Path(const char* name) const { return dir_ + "/" + name; }
  std::string dir_;
};

// --- Storage as companion and fallback ------------------------------------

TEST_F(XmlFileTest, ListXmlIsStoredAsListBml) {
  const std::string doc = "<LIST NAME=\"PRESETS\">\n  <PSET></PSET>\n</LIST>\n";
  ASSERT_EQ(XmlFile_Write(Path("list.xml").c_str(), doc.c_str()), 0);
  EXPECT_TRUE(Exists(Path("list.bml")));
  EXPECT_FALSE(Exists(Path("list.xml")));  // the plain file is not written at all
  EXPECT_FALSE(Exists(Path("list.bml.tmp")));
  // Byte for byte: "%08x" of the length with its NUL, then zlib level 1.
  EXPECT_EQ(ReadRaw(Path("list.bml")), Companion(doc));
  EXPECT_EQ(ReadRaw(Path("list.bml")).substr(0, 8), "0000002f");
  EXPECT_EQ(Read(Path("list.xml")), doc);
}

TEST_F(XmlFileTest, ReadBackAfterDeletingEither) {
  const std::string plain = "<LIST><OLD/></LIST>";
  const std::string doc = "<LIST><NEW/></LIST>";
  WriteRaw(Path("list.xml"), plain);
  ASSERT_EQ(XmlFile_Write(Path("list.xml").c_str(), doc.c_str()), 0);
  EXPECT_EQ(ReadRaw(Path("list.xml")), plain);  // left alone
  EXPECT_EQ(Read(Path("list.xml")), doc);       // the companion wins
  // Deleting the plain file: the companion is still read.
  ASSERT_EQ(Env::Default()->Remove(Path("list.xml")), 0);
  EXPECT_EQ(Read(Path("list.xml")), doc);
  // Deleting the companion: the next read falls back to the plain file.
  WriteRaw(Path("list.xml"), plain);
  ASSERT_EQ(Env::Default()->Remove(Path("list.bml")), 0);
  EXPECT_EQ(Read(Path("list.xml")), plain);
  // Neither: status 72.
  ASSERT_EQ(Env::Default()->Remove(Path("list.xml")), 0);
  EXPECT_EQ(Read(Path("list.xml"), nullptr, kXmlFileCannotOpen), "<none>");
}

TEST_F(XmlFileTest, RatioGuard) {
  WriteRaw(Path("list.xml"), "<PLAIN/>");
  // A 32-byte file (bytes after the zlib stream are not looked at) claiming
  // 3231 bytes: 3231 / 32 = 100 is allowed...
  std::string c = Companion("<A/>");
  ASSERT_LE(c.size(), 32u);
  c.resize(32, '\0');
  std::string fits = c;
  fits.replace(0, 8, "00000c9f");
  WriteRaw(Path("list.bml"), fits);
  EXPECT_EQ(Read(Path("list.xml")), "<A/>");
  // ...3232 / 32 = 101 is not: the plain file is read.
  std::string lies = c;
  lies.replace(0, 8, "00000ca0");
  WriteRaw(Path("list.bml"), lies);
  EXPECT_EQ(Read(Path("list.xml")), "<PLAIN/>");
}

TEST_F(XmlFileTest, LengthCap) {
  // Files large enough for the ratio rule, claiming the cap and one byte past
  // it: only the first is inflated (bytes after the stream are not looked at).
  WriteRaw(Path("list.xml"), "<PLAIN/>");
  std::string c = Companion("<A/>");
  c.resize(kXmlFileMaxInflatedLength / 100 + 1, '\0');
  char header[9];
  for (const uint32_t claim : {kXmlFileMaxInflatedLength, kXmlFileMaxInflatedLength + 1}) {
    std::snprintf(header, sizeof(header), "%08x", claim);
    c.replace(0, 8, header, 8);
    WriteRaw(Path("list.bml"), c);
    EXPECT_EQ(Read(Path("list.xml")), claim <= kXmlFileMaxInflatedLength ? "<A/>" : "<PLAIN/>") << claim;
  }
}

// --- Damaged companions are skipped -----------------------------------------

TEST_F(XmlFileTest, DamagedCompanionsFallBackToPlain) {
  WriteRaw(Path("list.xml"), "<PLAIN/>");
  const std::string good = Companion("<GOOD/>");
  const std::string damaged[] = {
      "",
      "0000000",                              // shorter than 8 bytes
      "zzzzzzzz" + good.substr(8),            // header is not hex
      "00000008" + std::string(20, 'x'),      // not a zlib stream
      good.substr(0, good.size() - 3),        // truncated stream
      "00000003" + good.substr(8),            // claims fewer bytes than the stream has
      "ffffffff" + good.substr(8),            // far beyond the ratio
  };
  for (const std::string& d : damaged) {
    WriteRaw(Path("list.bml"), d);
    EXPECT_EQ(Read(Path("list.xml")), "<PLAIN/>") << d.size();
  }
  // A damaged companion without a plain file: status 72.
  ASSERT_EQ(Env::Default()->Remove(Path("list.xml")), 0);
  EXPECT_EQ(Read(Path("list.xml"), nullptr, kXmlFileCannotOpen), "<none>");
}

TEST_F(XmlFileTest, LengthLargerThanStreamStillReads) {
  // A header that claims more than the stream holds (within the ratio): the
  // stream ends early and its own NUL ends the text.
  std::string c = Companion("<A/>");
  c.replace(0, 8, "00000020");
  WriteRaw(Path("list.bml"), c);
  EXPECT_EQ(Read(Path("list.xml")), "<A/>");
}

TEST_F(XmlFileTest, PathsWithoutXmlHaveNoCompanion) {
  ASSERT_EQ(XmlFile_Write(Path("plain.txt").c_str(), "<T/>"), 0);
  EXPECT_EQ(ReadRaw(Path("plain.txt")), "<T/>");
  EXPECT_EQ(Read(Path("plain.txt")), "<T/>");
  std::string companion;
  EXPECT_FALSE(XmlFile_CompanionPath("list.XML", &companion));
  EXPECT_FALSE(XmlFile_CompanionPath("listxml", &companion));
  ASSERT_TRUE(XmlFile_CompanionPath("/a.xml.d/list.xml", &companion));
  EXPECT_EQ(companion, "/a.bml.d/list.xml");  // the first ".xml"
  ASSERT_TRUE(XmlFile_CompanionPath("list.xmlx", &companion));
  EXPECT_EQ(companion, "list.bmlx");
}

TEST_F(XmlFileTest, Arguments) {
  char* text = nullptr;
  EXPECT_EQ(XmlFile_Read(nullptr, &text), kXmlFileMissingArgument);
  EXPECT_EQ(XmlFile_Read(Path("list.xml").c_str(), nullptr), kXmlFileMissingArgument);
  EXPECT_EQ(XmlFile_Write(nullptr, "x"), kXmlFileMissingArgument);
  EXPECT_EQ(XmlFile_Write(Path("list.xml").c_str(), nullptr), kXmlFileMissingArgument);
  EXPECT_EQ(XmlFile_Write((dir_ + "/missing-dir/list.xml").c_str(), "<A/>"), kXmlFileCannotOpen);
  EXPECT_EQ(Read(dir_ + "/missing-dir/list.xml", nullptr, kXmlFileCannotOpen), "<none>");
}

// --- Plain files are read as text, line by line -----------------------------

TEST_F(XmlFileTest, PlainReadingDropsBytesAfterNulInAPiece) {
  WriteRaw(Path("plain.txt"), std::string("ab\0cd\nef\0gh", 11));
  // "ab\0cd\n" is one piece: its bytes after the NUL, line feed included, go.
  EXPECT_EQ(Read(Path("plain.txt")), "abef");
  // Pieces are at most 1023 bytes: a NUL only cuts its own piece.
  std::string longline(1023, 'x');
  longline += std::string("\0y", 2) + std::string(1000, 'z') + "\nend";
  WriteRaw(Path("plain.txt"), longline);
  EXPECT_EQ(Read(Path("plain.txt")), std::string(1023, 'x') + "end");
  // Empty file: empty text.
  WriteRaw(Path("plain.txt"), "");
  EXPECT_EQ(Read(Path("plain.txt")), "");
  // A large file comes back whole.
  std::string big;
  for (int i = 0; i < 20000; ++i) big += "<LINE n=\"" + std::to_string(i) + "\">text</LINE>\n";
  WriteRaw(Path("plain.txt"), big);
  EXPECT_EQ(Read(Path("plain.txt")), big);
}

TEST_F(XmlFileTest, LargeDocumentRoundTrip) {
  std::string big = "<LIST>";
  for (int i = 0; i < 50000; ++i) big += "<ITEM ID=\"" + std::to_string(i) + "\">x</ITEM>";
  big += "</LIST>";
  ASSERT_EQ(XmlFile_Write(Path("doc.xml").c_str(), big.c_str()), 0);
  EXPECT_LT(ReadRaw(Path("doc.bml")).size(), big.size() / 4);
  EXPECT_EQ(Read(Path("doc.xml")), big);
}

// --- Failures while writing lose nothing ------------------------------------

TEST(XmlFileFaults, FullDiskOnCompanionWritesPlainAndDropsStaleCompanion) {
  MemEnv env;
  ASSERT_EQ(XmlFile_Write("d/list.xml", "<OLD/>", &env), 0);
  ASSERT_EQ(env.files.count("d/list.bml"), 1u);
  FaultEnv full(&env);
  full.FailWritesAfter(5, ".bml.tmp");
  ASSERT_EQ(XmlFile_Write("d/list.xml", "<NEW/>", &full), 0);
  EXPECT_EQ(env.files.count("d/list.bml.tmp"), 0u);  // the partial temporary is gone
  EXPECT_EQ(env.files.count("d/list.bml"), 0u);      // the stale companion too
  EXPECT_EQ(env.files["d/list.xml"], "<NEW/>");
  EXPECT_EQ(Read("d/list.xml", &env), "<NEW/>");
}

TEST(XmlFileFaults, FullDiskEverywhereKeepsTheOldDocument) {
  MemEnv env;
  ASSERT_EQ(XmlFile_Write("d/list.xml", "<OLD/>", &env), 0);
  const std::string old_companion = env.files["d/list.bml"];
  FaultEnv full(&env);
  full.FailWritesAfter(3, ".tmp");
  EXPECT_EQ(XmlFile_Write("d/list.xml", "<NEW/>", &full), kXmlFileCannotOpen);
  EXPECT_EQ(env.files["d/list.bml"], old_companion);  // untouched
  EXPECT_EQ(env.files.count("d/list.xml"), 0u);
  EXPECT_EQ(Read("d/list.xml", &env), "<OLD/>");
}

TEST(XmlFileFaults, CrashMidWriteLeavesOnlyATemporary) {
  // A process that dies after writing part of the temporary file leaves the
  // companion as it was; a read never sees the partial bytes.
  MemEnv env;
  ASSERT_EQ(XmlFile_Write("list.xml", "<OLD/>", &env), 0);
  env.files["list.bml.tmp"] = env.files["list.bml"].substr(0, 9);  // what a crash leaves
  EXPECT_EQ(Read("list.xml", &env), "<OLD/>");
}

TEST(XmlFileFaults, ReadFailures) {
  MemEnv env;
  env.files["x.bml"] = "garbage!";
  EXPECT_EQ(Read("x.xml", &env, kXmlFileCannotOpen), "<none>");
  env.files["x.xml"] = "<X/>";
  EXPECT_EQ(Read("x.xml", &env), "<X/>");
}

TEST(XmlFileFaults, OutOfMemory) {
  MemEnv env;
  ASSERT_EQ(XmlFile_Write("x.xml", "<X>1</X>", &env), 0);
  env.files["x.xml"] = "<PLAIN/>";
  // The companion's block cannot be allocated: the plain file is read.
  XmlTesting_FailAllocationAfter(1);
  EXPECT_EQ(Read("x.xml", &env), "<PLAIN/>");
  // Nothing can be allocated for the plain text either: 72.
  XmlTesting_FailAllocationAfter(1);
  env.files.erase("x.bml");
  EXPECT_EQ(Read("x.xml", &env, kXmlFileCannotOpen), "<none>");
  XmlTesting_FailAllocationAfter(0);
}

}  // namespace
}  // namespace tavo

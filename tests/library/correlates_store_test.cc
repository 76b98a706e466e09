// The correlates store: values and tables written are read back equal after
// close and open; tables are not kept in plain form.
#include "storage/library/big_endian_words.h"
#include "storage/library/correlates_cipher.h"
#include "storage/library/correlates_store.h"

#include <cstring>
#include <fstream>
#include "library_test_util.h"

namespace tavo::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<CorrelateEntry> kTable = {{301, 10}, {-7, 0}, {2147483647, -2147483647 - 1}, {9000, 5}};

TEST(CorrelatesStore, WrittenValuesReadBackAfterCloseAndOpen) {
  const std::string dir = ScratchDir();
  {
    LibraryDatabasePtr db = OpenDb(dir);
    CorrelatesStore* store = LibraryDatabase_Correlates(db.get());
    EXPECT_EQ(store->WriteTable(300, kTable), kStoreAccessDenied);  // opened for reading
    ASSERT_EQ(store->OpenForWriting(), kLibraryOk);
    ASSERT_EQ(store->WriteLevelTexts(2, "rev 7", std::string(100, 't')), kLibraryOk);
    ASSERT_EQ(store->WriteWeightRange(1, 10), kLibraryOk);
    ASSERT_EQ(store->WriteIdRange(300, 9999), kLibraryOk);
    ASSERT_EQ(store->WriteTable(300, std::vector<CorrelateEntry>{{1, 1}}), kLibraryOk);
    ASSERT_EQ(store->WriteTable(300, kTable), kLibraryOk);  // replaces
    ASSERT_EQ(store->WriteTable(-5, std::vector<CorrelateEntry>{}), kLibraryOk);
    ASSERT_EQ(store->OpenForReading(), kLibraryOk);
  }
  EXPECT_TRUE(fs::exists(dir + "/tavoplm.gcf"));
  EXPECT_TRUE(fs::exists(dir + "/tavoplm.lsf"));
  LibraryDatabasePtr db = OpenDb(dir);
  CorrelatesStore* store = LibraryDatabase_Correlates(db.get());
  EXPECT_FALSE(store->writable());
  std::vector<CorrelateEntry> table;
  ASSERT_EQ(store->ReadTable(300, &table), kLibraryOk);
  EXPECT_EQ(table, kTable);
  ASSERT_EQ(store->ReadTable(-5, &table), kLibraryOk);
  EXPECT_TRUE(table.empty());
  EXPECT_EQ(store->ReadTable(301, &table), kStoreNotFound);
  std::string first, second;
  ASSERT_EQ(store->ReadLevelTexts(2, &first, &second), kLibraryOk);
  EXPECT_EQ(first, "rev 7");
  EXPECT_EQ(second, std::string(100, 't'));
  EXPECT_EQ(store->ReadLevelTexts(1, &first, &second), kStoreNotFound);
  int32_t a = 0, b = 0;
  ASSERT_EQ(store->ReadWeightRange(&a, &b), kLibraryOk);
  EXPECT_EQ(std::make_pair(a, b), std::make_pair(1, 10));
  ASSERT_EQ(store->ReadIdRange(&a, &b), kLibraryOk);
  EXPECT_EQ(std::make_pair(a, b), std::make_pair(300, 9999));
}

TEST(CorrelatesStore, MissingFilesReadAsEmptyAndRefuseBadValues) {
  LibraryDatabasePtr db = OpenDb(ScratchDir());
  CorrelatesStore* store = LibraryDatabase_Correlates(db.get());
  std::vector<CorrelateEntry> table;
  std::string first, second;
  int32_t a = 0, b = 0;
  EXPECT_EQ(store->ReadTable(300, &table), kStoreNotFound);
  EXPECT_EQ(store->ReadLevelTexts(0, &first, &second), kStoreNotFound);
  EXPECT_EQ(store->ReadWeightRange(&a, &b), kStoreNotFound);
  ASSERT_EQ(store->OpenForWriting(), kLibraryOk);
  EXPECT_EQ(store->WriteLevelTexts(0, std::string(101, 'x'), ""), kLibraryInvalidArgument);
  EXPECT_EQ(store->WriteLevelTexts(3, "", ""), kLibraryInvalidArgument);
  EXPECT_EQ(store->PutBlob({0x10000, 1, 1}, std::vector<uint8_t>{}), kLibraryInvalidArgument);
}

TEST(CorrelatesStore, TablesAreEncipheredInTheFile) {
  const std::string dir = ScratchDir();
  {
    LibraryDatabasePtr db = OpenDb(dir);
    CorrelatesStore* store = LibraryDatabase_Correlates(db.get());
    ASSERT_EQ(store->OpenForWriting(), kLibraryOk);
    ASSERT_EQ(store->WriteTable(300, kTable), kLibraryOk);
  }
  StoreFilePtr file;
  ASSERT_EQ(LibraryFile_Open(LibraryFile::kCorrelates, dir + "/tavoplm.gcf", kStoreRead, nullptr, &file), kLibraryOk);
  StoreRecordPtr record;
  const int32_t genre = 300;
  ASSERT_EQ(FindRecord(file.get(), 0, &genre, 4, &record), kLibraryOk);
  std::vector<uint8_t> plain;
  for (const CorrelateEntry& e : kTable) {
    AppendBigEndian32(&plain, static_cast<uint32_t>(e.related_id));
    AppendBigEndian32(&plain, static_cast<uint32_t>(e.weight));
  }
  std::vector<uint8_t> stored(record->data(), record->data() + record->data_length());
  ASSERT_EQ(stored.size(), plain.size());
  EXPECT_NE(stored, plain);
  CorrelatesCipher_Decrypt(stored.data(), stored.size());
  EXPECT_EQ(stored, plain);
}

// The published form of the cipher: one block under the fixed key.
TEST(CorrelatesStore, CipherMatchesItsDocumentedForm) {
  uint8_t block[8] = {0, 0, 1, 0x2D, 0, 0, 0, 10};  // (301, 10)
  const uint8_t original[8] = {0, 0, 1, 0x2D, 0, 0, 0, 10};
  CorrelatesCipher_Encrypt(block, 8);
  // Reference: XTEA encipher of v0 = 0x0000012D, v1 = 0x0000000A, 32 cycles,
  // key 0x7461766F 0x706C6D2E 0x6763662E 0x6C736621.
  uint32_t v0 = 0x12D, v1 = 0xA, sum = 0;
  const uint32_t key[4] = {0x7461766F, 0x706C6D2E, 0x6763662E, 0x6C736621};
  for (int i = 0; i < 32; ++i) {
    v0 += (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + key[sum & 3]);
    sum += 0x9E3779B9;
    v1 += (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + key[(sum >> 11) & 3]);
  }
  EXPECT_EQ(ReadBigEndian32(block), v0);
  EXPECT_EQ(ReadBigEndian32(block + 4), v1);
  CorrelatesCipher_Decrypt(block, 8);
  EXPECT_EQ(std::memcmp(block, original, 8), 0);
}

TEST(CorrelatesStore, BlobsAreKeyedByClassKindAndId) {
  const std::string dir = ScratchDir();
  {
    LibraryDatabasePtr db = OpenDb(dir);
    CorrelatesStore* store = LibraryDatabase_Correlates(db.get());
    ASSERT_EQ(store->OpenForWriting(), kLibraryOk);
    const std::vector<uint8_t> header = {'g', 'e', 'n', 'r', 'e', 's', 0};
    ASSERT_EQ(store->PutBlob({2, 3, 0}, header), kLibraryOk);
    for (uint32_t id : {5u, 1u, 3u}) {
      ASSERT_EQ(store->PutBlob({3, 3, id}, std::vector<uint8_t>(id, static_cast<uint8_t>(id))), kLibraryOk);
    }
    ASSERT_EQ(store->PutBlob({3, 4, 1}, std::vector<uint8_t>{9}), kLibraryOk);  // another kind
    ASSERT_EQ(store->PutBlob({3, 3, 3}, std::vector<uint8_t>{7, 7}), kLibraryOk);  // replaces
    ASSERT_EQ(store->DeleteBlob({3, 3, 5}), kLibraryOk);
    ASSERT_EQ(store->DeleteBlob({3, 3, 42}), kLibraryOk);
  }
  LibraryDatabasePtr db = OpenDb(dir);
  CorrelatesStore* store = LibraryDatabase_Correlates(db.get());
  std::vector<uint8_t> data;
  ASSERT_EQ(store->GetBlob({2, 3, 0}, &data), kLibraryOk);
  EXPECT_EQ(data.size(), 7u);
  std::vector<Blob> blobs;
  ASSERT_EQ(store->ListBlobs(3, 3, &blobs), kLibraryOk);
  ASSERT_EQ(blobs.size(), 2u);
  EXPECT_EQ(blobs[0].id, 1u);
  EXPECT_EQ(blobs[0].data, std::vector<uint8_t>{1});
  EXPECT_EQ(blobs[1].id, 3u);
  EXPECT_EQ(blobs[1].data, (std::vector<uint8_t>{7, 7}));
  ASSERT_EQ(store->OpenForWriting(), kLibraryOk);
  ASSERT_EQ(store->DeleteBlobs(3, 3), kLibraryOk);
  ASSERT_EQ(store->ListBlobs(3, 3, &blobs), kLibraryOk);
  EXPECT_TRUE(blobs.empty());
  ASSERT_EQ(store->ListBlobs(3, 4, &blobs), kLibraryOk);
  EXPECT_EQ(blobs.size(), 1u);
}

// Correlates can be fetched again: a damaged or foreign file does not keep
// the library from opening.
TEST(CorrelatesStore, ForeignOrDamagedFilesAreMadeAnew) {
  const std::string dir = ScratchDir();
  {
    StoreFilePtr other;
    ASSERT_EQ(LibraryFile_Create(LibraryFile::kIndex, dir + "/tavoplm.gcf", nullptr, &other), kLibraryOk);
  }
  std::ofstream(dir + "/tavoplm.lsf", std::ios::binary) << "TXDB but not much else";
  LibraryDatabasePtr db = OpenDb(dir);
  ASSERT_TRUE(db);
  std::vector<CorrelateEntry> table;
  EXPECT_EQ(LibraryDatabase_Correlates(db.get())->ReadTable(1, &table), kStoreNotFound);
  StoreFilePtr file;
  EXPECT_EQ(LibraryFile_Open(LibraryFile::kCorrelates, dir + "/tavoplm.gcf", kStoreRead, nullptr, &file), kLibraryOk);
  EXPECT_EQ(LibraryFile_Open(LibraryFile::kCompanion, dir + "/tavoplm.lsf", kStoreRead, nullptr, &file), kLibraryOk);
}

}  // namespace
}  // namespace tavo::testing

// The bytes a store file is made of: header words, key descriptors, record
// images, byte order, and the header checks made when a file is opened.
#include <cstring>
#include <fstream>
#include <vector>

#include "store_test_util.h"

namespace tavo::testing {
namespace {

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t BigEndianWord(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

void PutBigEndianWord(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// A closed library-shaped file (most significant byte first) with one track.
std::string MakeLibraryFile(const std::string& name) {
  const std::string path = ScratchPath(name);
  StoreFile* file = nullptr;
  const StoreFileDef def = TrackLikeDef();
  EXPECT_EQ(Store_Create(&file, path, kStoreReadWrite, &def, BigEndianType()), kStoreOk);
  EXPECT_EQ(InsertTrack(file, "song.mp3", 0x01020304, "payload"), kStoreOk);
  EXPECT_EQ(Store_Close(file), kStoreOk);
  return path;
}

TEST(StoreFormat, HeaderWordsOfALibraryFile) {
  const std::vector<uint8_t> b = ReadFileBytes(MakeLibraryFile("lib.pdb"));
  ASSERT_GE(b.size(), 512u);
  EXPECT_EQ(std::memcmp(b.data(), "TXDB", 4), 0);
  EXPECT_EQ((std::vector<uint8_t>{b[4], b[5], b[6], b[7]}), (std::vector<uint8_t>{0, 0, 0, 1}));
  EXPECT_EQ(BigEndianWord(b, 8), 1u);     // kind
  EXPECT_EQ(BigEndianWord(b, 12), 4u);    // keys
  EXPECT_EQ(BigEndianWord(b, 16), 256u);  // node size
  EXPECT_EQ(BigEndianWord(b, 20), 128u);
  EXPECT_EQ(BigEndianWord(b, 24), 128u);
  EXPECT_EQ(BigEndianWord(b, 28), 256u);  // user block size
  const uint32_t types[] = {7, 3, 3, 7}, methods[] = {12, 5, 5, 12};
  for (uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(BigEndianWord(b, 44 + 12 * i), types[i]);
    EXPECT_EQ(BigEndianWord(b, 48 + 12 * i), methods[i]);
  }
  EXPECT_NE(BigEndianWord(b, 52), 0u);       // key 0 has a root
  EXPECT_NE(BigEndianWord(b, 52 + 12), 0u);  // key 1 got one on insert
  EXPECT_EQ(BigEndianWord(b, 52 + 24), 0u);  // keys 2, 3 are still empty
  // Zeros up to the commit stamp, which records where the file ended.
  for (size_t i = 44 + 12 * 4; i < 480; ++i) ASSERT_EQ(b[i], 0) << i;
  EXPECT_EQ(std::memcmp(&b[480], "TXCS", 4), 0);
  EXPECT_EQ(BigEndianWord(b, 484), b.size());
  for (size_t i = 504; i < 512; ++i) ASSERT_EQ(b[i], 0) << i;
}

TEST(StoreFormat, RecordImageBytesAreBigEndian) {
  const std::vector<uint8_t> b = ReadFileBytes(MakeLibraryFile("image.pdb"));
  // The record's integer key appears as 01 02 03 04; find it via key 1's leaf.
  const uint32_t leaf = BigEndianWord(b, 52 + 12);
  ASSERT_EQ(BigEndianWord(b, leaf), 1u);      // a leaf
  ASSERT_EQ(BigEndianWord(b, leaf + 4), 1u);  // one entry
  EXPECT_EQ(BigEndianWord(b, leaf + 12), 0x01020304u);
  const uint32_t image = BigEndianWord(b, leaf + 16);
  EXPECT_EQ(BigEndianWord(b, image), 0u);
  // 4 keys, "song.mp3\0" (9) + 4 asked: area 16 + 12, data at 12 + 32 + 28.
  EXPECT_EQ(BigEndianWord(b, image + 4), 72u);
  EXPECT_EQ(BigEndianWord(b, image + 8), 7u);
  EXPECT_EQ(BigEndianWord(b, image + 12), 44u);  // key 0 value offset
  EXPECT_EQ(BigEndianWord(b, image + 16), 9u);
  EXPECT_EQ(BigEndianWord(b, image + 20), 56u);  // key 1 after the padded name
  EXPECT_EQ(BigEndianWord(b, image + 24), 4u);
  EXPECT_EQ(std::memcmp(&b[image + 44], "song.mp3", 9), 0);
  EXPECT_EQ((std::vector<uint8_t>(b.begin() + image + 56, b.begin() + image + 60)),
            (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(std::memcmp(&b[image + 72], "payload", 7), 0);
}

TEST(StoreFormat, OtherByteOrderNeedsAFileType) {
  const std::string path = MakeLibraryFile("order.pdb");
  StoreFile* file = nullptr;
  if (NativeByteOrder() != kStoreBigEndian) {
    EXPECT_EQ(Store_Open(&file, path, kStoreRead, nullptr), kStoreOtherOrder);
  }
  ASSERT_EQ(Store_Open(&file, path, kStoreRead, BigEndianType()), kStoreOk);
  const uint32_t id = 0x01020304;
  EXPECT_EQ(FindData(file, 1, &id, 4), "payload");
  EXPECT_EQ(FindByName(file, "SONG.MP3"), "payload");
  EXPECT_EQ(Store_Close(file), kStoreOk);
  EXPECT_EQ(Store_Verify(path, kStoreRead, BigEndianType()), kStoreOk);
}

TEST(StoreFormat, DataAndUserBlockConvertersRunAcrossOrders) {
  if (NativeByteOrder() == kStoreBigEndian) GTEST_SKIP() << "needs a little-endian machine";
  // Swaps the first word of the data, like the track file's fixed part.
  StoreFileType type{kStoreBigEndian, [](uint8_t* d, uint32_t n, StoreConvert) {
                       if (n >= 4) std::swap(d[0], d[3]), std::swap(d[1], d[2]);
                     }, nullptr, [](uint8_t* d, uint32_t n, StoreConvert) {
                       if (n >= 4) std::swap(d[0], d[3]), std::swap(d[1], d[2]);
                     }};
  const std::string path = ScratchPath("conv.pdb");
  StoreFile* file = nullptr;
  const StoreFileDef def = TrackLikeDef(16);
  ASSERT_EQ(Store_Create(&file, path, kStoreReadWrite, &def, &type), kStoreOk);
  const uint32_t word = 0x11223344;
  ASSERT_EQ(InsertTrack(file, "a", 7, std::string(reinterpret_cast<const char*>(&word), 4)), kStoreOk);
  ASSERT_EQ(Store_WriteUserBlock(file, &word, 4), kStoreOk);
  ASSERT_EQ(Store_Close(file), kStoreOk);
  const std::vector<uint8_t> b = ReadFileBytes(path);
  const uint8_t expected[] = {0x11, 0x22, 0x33, 0x44};
  EXPECT_NE(std::search(b.begin(), b.end(), expected, expected + 4), b.end());
  ASSERT_EQ(Store_Open(&file, path, kStoreRead, &type), kStoreOk);
  EXPECT_EQ(FindByName(file, "a"), std::string(reinterpret_cast<const char*>(&word), 4));
  uint8_t* block = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(Store_ReadUserBlock(file, &block, &length), kStoreOk);
  EXPECT_EQ(std::memcmp(block, &word, 4), 0);
  Store_FreeUserBlock(file, block);
  Store_Close(file);
}

TEST(StoreFormat, CreationClampsSizesAndLimitsKeys) {
  struct Case {
    uint32_t asked, stored;
  };
  for (Case c : {Case{2000, 1024}, Case{10, 32}, Case{256, 256}, Case{100, 100}}) {
    StoreFileDef def;
    def.node_size = def.alloc_a = def.alloc_b = c.asked;
    StoreFile* file = nullptr;
    ASSERT_EQ(Store_Create(&file, ScratchPath("clamp.pdb"), kStoreReadWrite, &def, nullptr), kStoreOk);
    StoreInfo info;
    ASSERT_EQ(Store_GetInfo(file, &info), kStoreOk);
    EXPECT_EQ(info.node_size, c.stored);
    EXPECT_EQ(info.alloc_a, c.stored);
    EXPECT_EQ(info.alloc_b, c.stored);
    Store_Close(file);
  }
  StoreFileDef many;
  many.keys.assign(17, StoreKeyDef{});
  StoreFile* file = nullptr;
  EXPECT_EQ(Store_Create(&file, ScratchPath("17.pdb"), kStoreReadWrite, &many, nullptr), kStoreInvalidArgument);
  EXPECT_EQ(file, nullptr);
}

TEST(StoreFormat, KeyAreaSizeAndOverflow) {
  StoreFileDef def;
  def.keys.assign(2, StoreKeyDef{});
  StoreFile* file = nullptr;
  ASSERT_EQ(Store_Create(&file, ScratchPath("area.pdb"), kStoreReadWrite, &def, nullptr), kStoreOk);
  StoreRecord* record = nullptr;
  ASSERT_EQ(Store_NewRecord(file, &record, "xyz", 3, 10), kStoreOk);
  // 10 key bytes reserve 12 + 4: the data starts at 12 + 16 + 16.
  uint32_t data_offset;
  std::memcpy(&data_offset, record->image().data() + 4, 4);
  EXPECT_EQ(data_offset, 44u);
  EXPECT_EQ(record->image().size(), 48u);
  EXPECT_EQ(Store_SetKey(file, record, 0, "0123456789", 10), kStoreOk);  // takes 12
  EXPECT_EQ(Store_SetKey(file, record, 1, "abcde", 5), kStoreNoSpace);    // 8 > 4 left
  EXPECT_EQ(Store_SetKey(file, record, 1, "abcd", 4), kStoreOk);
  EXPECT_EQ(Store_SetKey(file, record, 2, "a", 1), kStoreInvalidArgument);
  Store_FreeRecord(file, record);
  Store_Close(file);
}

// Each case damages the header of a good file and names the status of opening it.
TEST(StoreFormat, HeaderChecksOnOpen) {
  const std::string good = MakeLibraryFile("good.pdb");
  const std::vector<uint8_t> bytes = ReadFileBytes(good);
  struct Case {
    const char* what;
    void (*damage)(std::vector<uint8_t>&);
    StoreStatus expected;
  };
  const Case cases[] = {
      {"40 bytes", [](std::vector<uint8_t>& b) { b.resize(40); }, kStoreHeaderUnreadable},
      {"55 bytes", [](std::vector<uint8_t>& b) { b.resize(55); }, kStoreHeaderUnreadable},
      {"magic", [](std::vector<uint8_t>& b) { b[0] = 'X'; }, kStoreBadMagic},
      {"version 2", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 4, 2); }, kStoreBadVersion},
      {"no keys", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 12, 0); }, kStoreDamagedHeader},
      {"65 keys", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 12, 65); }, kStoreDamagedHeader},
      {"40 keys overflow 512", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 12, 40); }, kStoreDamagedHeader},
      {"node size 0", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 16, 0); }, kStoreDamagedHeader},
      {"node size 4097", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 16, 4097); }, kStoreDamagedHeader},
      {"A 0", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 20, 0); }, kStoreDamagedHeader},
      {"root beyond end", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 52, 0x7FFFFFF0); }, kStoreDamagedHeader},
      {"root misaligned", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 52, BigEndianWord(b, 52) + 2); },
       kStoreDamagedHeader},
      {"root not a node", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 52, 600); }, kStoreDamagedHeader},
      {"anchor beyond end", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 32, 0x10000000); }, kStoreDamagedHeader},
      {"user block inside header", [](std::vector<uint8_t>& b) { PutBigEndianWord(b, 40, 100); },
       kStoreDamagedHeader},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> damaged = bytes;
    c.damage(damaged);
    const std::string path = ScratchPath("damaged.pdb");
    WriteFileBytes(path, damaged);
    StoreFile* file = nullptr;
    EXPECT_EQ(Store_Open(&file, path, kStoreRead, BigEndianType()), c.expected) << c.what;
    EXPECT_EQ(file, nullptr) << c.what;
    EXPECT_EQ(Store_Verify(path, kStoreRead, BigEndianType()), c.expected) << c.what;
  }
}

TEST(StoreFormat, MoreKeysThanCreationAllowsStillVerify) {
  StoreFileDef def;
  def.keys.assign(16, StoreKeyDef{});
  const std::string path = ScratchPath("twenty.pdb");
  StoreFile* file = nullptr;
  ASSERT_EQ(Store_Create(&file, path, kStoreReadWrite, &def, BigEndianType()), kStoreOk);
  ASSERT_EQ(Store_Close(file), kStoreOk);
  std::vector<uint8_t> b = ReadFileBytes(path);
  PutBigEndianWord(b, 12, 20);  // descriptors 16..19 are zero: empty trees
  WriteFileBytes(path, b);
  EXPECT_EQ(Store_Verify(path, kStoreRead, BigEndianType()), kStoreOk);
}

TEST(StoreFormat, MissingFileAndCreateOverExisting) {
  StoreFile* file = nullptr;
  EXPECT_EQ(Store_Open(&file, ScratchPath("absent.pdb"), kStoreRead, nullptr), kStoreNotFound);
  const std::string path = MakeLibraryFile("recreate.pdb");
  const StoreFileDef def = TrackLikeDef();
  ASSERT_EQ(Store_Create(&file, path, kStoreReadWrite, &def, BigEndianType()), kStoreOk);
  EXPECT_EQ(FindByName(file, "song.mp3"), "<" + std::to_string(kStoreNotFound) + ">");
  Store_Close(file);
  EXPECT_EQ(Store_Verify(path, kStoreRead, BigEndianType()), kStoreOk);
}

}  // namespace
}  // namespace tavo::testing

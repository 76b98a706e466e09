#include "media/wma_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/env/fault_env.h"
#include "support/env/mem_env.h"

namespace tavo {
namespace {

std::string Le(uint64_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
  return out;
}

std::string Hex(const char* hex) {
  std::string out;
  for (; hex[0] && hex[1]; hex += 2) out += static_cast<char>(std::stoi(std::string(hex, 2), nullptr, 16));
  return out;
}

// An ASF header object holding only the two objects the properties come from:
// file properties (play duration and preroll) and one audio stream's
// properties (its average byte rate, in the wave format at byte 62 of the body).
std::string AsfHeader(uint64_t play_duration_100ns, uint64_t preroll_ms, uint32_t bytes_per_s) {
  std::string file_props = std::string(16, '\0')  // file id
                           + Le(0, 8) + Le(0, 8) + Le(1, 8)  // size, date, packets
                           + Le(play_duration_100ns, 8) + Le(play_duration_100ns, 8)
                           + Le(preroll_ms, 8) + Le(2, 4) + Le(3200, 4) + Le(3200, 4)
                           + Le(bytes_per_s * 8, 4);
  file_props = Hex("a1dcab8c47a9cf118ee400c00c205365") + Le(24 + file_props.size(), 8) + file_props;

  const std::string wave_format = Le(0x161, 2) + Le(2, 2) + Le(44100, 4) + Le(bytes_per_s, 4) +
                                  Le(2973, 2) + Le(16, 2) + Le(0, 2);
  std::string stream_props = Hex("409e69f84d5bcf11a8fd00805f5c442b")  // audio media
                             + Hex("50cdc3bf8f61cf118bb200aa00b4e220")  // no error correction
                             + Le(0, 8) + Le(wave_format.size(), 4) + Le(0, 4) + Le(1, 2) +
                             Le(0, 4) + wave_format;
  stream_props = Hex("9107dcb7b7a9cf118ee600c00c205365") + Le(24 + stream_props.size(), 8) + stream_props;

  const std::string objects = file_props + stream_props;
  return Hex("3026b2758e66cf11a6d900aa0062ce6c") + Le(30 + objects.size(), 8) + Le(2, 4) +
         "\x01\x02" + objects;
}

class WmaReaderTest : public testing::Test {
 protected:
  void TearDown() override { WmaReader::SetSupportForTesting(WmaSupport::kUnchecked); }
  MemEnv files_;
  FaultEnv env_{&files_};
  WmaReader reader_{&env_};
};

TEST_F(WmaReaderTest, ReadsFileMadeByEncoder) {
  // See data/sine_2s_32kbps.wma.txt: play duration 5.142 s less 3.1 s preroll.
  WmaReader reader;
  ASSERT_EQ(reader.Read(TAVO_SOURCE_DIR "/tests/media/data/sine_2s_32kbps.wma"), WmaStatus::kOk);
  EXPECT_EQ(reader.DurationMs(), 2042u);
  EXPECT_EQ(reader.BitRate(), 32u);
  EXPECT_EQ(WmaReader::Support(), WmaSupport::kAvailable);
}

TEST_F(WmaReaderTest, DurationAndBitRateFromHeader) {
  // 1,234,567,890 x 100 ns = 123,456.789 ms, rounded to the millisecond;
  // 16,000 bytes/s = 128 kbps.
  files_.Put("/a.wma", AsfHeader(1'234'567'890, 0, 16'000));
  ASSERT_EQ(reader_.Read("/a.wma"), WmaStatus::kOk);
  EXPECT_EQ(reader_.DurationMs(), 123'457u);
  EXPECT_EQ(reader_.BitRate(), 128u);

  // Preroll is buffering, not play time.
  files_.Put("/b.wma", AsfHeader(1'234'567'890, 3'000, 16'000));
  ASSERT_EQ(reader_.Read("/b.wma"), WmaStatus::kOk);
  EXPECT_EQ(reader_.DurationMs(), 120'457u);
}

TEST_F(WmaReaderTest, UnreadableFilesFailWithBothValuesZero) {
  const std::string good = AsfHeader(1'234'567'890, 0, 16'000);
  files_.Put("/ok.wma", good);
  files_.Put("/mp3.wma", std::string("\xFF\xFB\x90\x00", 4) + std::string(4000, '\0'));
  files_.Put("/empty.wma", std::string());
  files_.Put("/cut.wma", good.substr(0, good.size() / 2));
  files_.Put("/vanished.wma", good);
  env_.SetFileFaults("/vanished.wma", {.readable = 0});
  files_.Put("/failing.wma", good);
  env_.SetFileFaults("/failing.wma", {.fail_reads = true});
  for (const char* path :
       {"/missing.wma", "/mp3.wma", "/empty.wma", "/cut.wma", "/vanished.wma", "/failing.wma"}) {
    SCOPED_TRACE(path);
    ASSERT_EQ(reader_.Read("/ok.wma"), WmaStatus::kOk);
    EXPECT_EQ(reader_.Read(path), WmaStatus::kUnreadable);
    EXPECT_EQ(reader_.DurationMs(), 0u);
    EXPECT_EQ(reader_.BitRate(), 0u);
  }
}

TEST_F(WmaReaderTest, UnavailableSupportFailsEveryRead) {
  files_.Put("/a.wma", AsfHeader(1'234'567'890, 0, 16'000));
  ASSERT_EQ(reader_.Read("/a.wma"), WmaStatus::kOk);
  WmaReader::SetSupportForTesting(WmaSupport::kUnavailable);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(reader_.Read("/a.wma"), WmaStatus::kUnavailable);
    EXPECT_EQ(static_cast<uint32_t>(reader_.Read("/a.wma")), 0xC000007Eu);
    EXPECT_EQ(reader_.DurationMs(), 0u);
    EXPECT_EQ(reader_.BitRate(), 0u);
  }
}

}  // namespace
}  // namespace tavo

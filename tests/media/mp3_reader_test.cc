#include "media/mp3_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "media/frame_search.h"
#include "support/env/fault_env.h"
#include "support/env/mem_env.h"
#include "tests/media/mp3_fixture.h"

namespace tavo {
namespace {

using fixture::BigEndian;
using fixture::HeaderFields;
using fixture::HeaderWord;
using fixture::PutAt;
using fixture::VbrFrame;

const std::string kHeader128 = BigEndian(HeaderWord({}));  // FF FB 90 00

class Mp3ReaderTest : public testing::Test {
 protected:
  Mp3Status Open(std::string data, FaultEnv::FileFaults faults = {}) {
    files_.Put("/a.mp3", std::move(data));
    env_.SetFileFaults("/a.mp3", faults);
    return reader_.Open("/a.mp3");
  }

  MemEnv files_;
  FaultEnv env_{&files_};
  Mp3Reader reader_{&env_};
};

TEST_F(Mp3ReaderTest, ConstantBitRateFromTableAndSize) {
  // 1,600,000 audio bytes at 128 kbps: 12,800,000 bits, 100 s.
  std::string file = kHeader128;
  file.resize(1'600'000, '\0');
  ASSERT_EQ(Open(file), Mp3Status::kOk);
  EXPECT_FALSE(reader_.is_vbr());
  EXPECT_EQ(reader_.audio_start(), 0u);
  EXPECT_EQ(reader_.audio_size(), 1'600'000u);
  EXPECT_EQ(reader_.BitRate(), 128u);
  EXPECT_EQ(reader_.Duration(), 10000u);
  // 128000 / 44100 * 144 = 417.96, truncated to 417 bytes per frame.
  EXPECT_EQ(reader_.FrameCount(), 1'600'000u / 417);
  // The measurement reads the head of the file, never the audio.
  EXPECT_LT(env_.bytes_read(), 16'384u);
}

TEST_F(Mp3ReaderTest, Id3v2TagIsSkipped) {
  // Size bytes 0 0 2 1: 2 << 7 | 1 = 257 bytes of tag after its 10-byte header.
  std::string file = fixture::Id3v2Header(0, 0, 2, 1);
  PutAt(&file, 100, kHeader128);  // a false sync inside the tag
  PutAt(&file, 267, BigEndian(HeaderWord({.bit_rate = 5})));  // 64 kbps
  file.resize(267 + 8000, '\0');
  ASSERT_EQ(Open(file), Mp3Status::kOk);
  EXPECT_EQ(reader_.audio_start(), 267u);
  EXPECT_EQ(reader_.audio_size(), 8000u);
  EXPECT_EQ(reader_.BitRate(), 64u);
  EXPECT_EQ(reader_.Duration(), 100u);  // 8000 bytes at 8000 bytes/s
}

TEST_F(Mp3ReaderTest, MalformedId3v2HeaderIsNotSkipped) {
  // A size byte with its top bit set, or a version byte of 255, is not a tag
  // header: the search starts at 0 and finds the header at 100.
  const std::string headers[] = {fixture::Id3v2Header(0, 0, 0x82, 1),
                                 fixture::Id3v2Header(0, 0, 2, 1, /*major=*/255)};
  for (const std::string& tag : headers) {
    std::string file = tag;
    PutAt(&file, 100, kHeader128);
    PutAt(&file, 267, kHeader128);
    file.resize(1000, '\0');
    ASSERT_EQ(Open(file), Mp3Status::kOk);
    EXPECT_EQ(reader_.audio_start(), 100u);
  }
}

TEST_F(Mp3ReaderTest, FindsHeadersAcrossSearchBlockBoundaries) {
  // Blocks of 8208 bytes overlap by three so that no start position is lost:
  // the second block starts at 8205, the third at 16410.
  const size_t block = kFrameSearchBlock;
  for (size_t at : {size_t{1}, block - 4, block - 3, block - 2, block - 1, block,
                    2 * block - 7, 2 * block - 6, 2 * block - 5}) {
    SCOPED_TRACE(at);
    std::string file;
    PutAt(&file, at, kHeader128);
    file.resize(at + 4, '\0');  // the header ends the file
    ASSERT_EQ(Open(file), Mp3Status::kOk);
    EXPECT_EQ(reader_.audio_start(), at);
  }
  // Likewise counted from the end of an ID3v2 tag.
  std::string file = fixture::Id3v2Header(0, 0, 2, 1);
  PutAt(&file, 267 + block - 2, kHeader128);
  ASSERT_EQ(Open(file), Mp3Status::kOk);
  EXPECT_EQ(reader_.audio_start(), 267 + block - 2);
}

TEST_F(Mp3ReaderTest, XingHeaderGivesVariableBitRate) {
  // MPEG-1 stereo: 1000 frames of 1152 samples at 44100 Hz, 400,000 audio bytes
  // after the Xing frame. The next frame is searched from 100 bytes on.
  std::string file = VbrFrame({}, 0xF, 1000, 400'417);
  PutAt(&file, 417, BigEndian(HeaderWord({.bit_rate = 14})));
  file.resize(417 + 400'000, '\0');
  ASSERT_EQ(Open(file), Mp3Status::kOk);
  EXPECT_TRUE(reader_.is_vbr());
  EXPECT_EQ(reader_.xing().flags, 0xFu);
  EXPECT_EQ(reader_.xing().byte_count, 400'417u);
  EXPECT_EQ(reader_.xing().quality, 57);
  EXPECT_EQ(reader_.audio_start(), 417u);
  EXPECT_EQ(reader_.FrameCount(), 1000u);
  EXPECT_EQ(reader_.BitRate(), 122u);   // 44100 * 400 / 144000 = 122.5
  EXPECT_EQ(reader_.Duration(), 2612u);  // 1000 * 1152 * 100 / 44100 = 2612.2
}

TEST_F(Mp3ReaderTest, XingOffsetsFollowVersionAndMode) {
  struct Case {
    HeaderFields fields;
    uint32_t frames;
    uint32_t duration;  // hundredths
    uint32_t bit_rate;  // for 30,900 audio bytes
  };
  const Case cases[] = {
      // MPEG-1 mono, Xing at 21: 100 * 1152 / 44100 s.
      {{.mode = 3}, 100, 261, 94},
      // MPEG-2 stereo, Xing at 21: layer III frames hold 576 samples, so an
      // 8.07 s file of 309 frames at 22050 Hz is 807 hundredths, not twice that.
      {{.version = 2, .bit_rate = 8}, 309, 807, 30},
      // MPEG-2 mono, Xing at 13.
      {{.version = 2, .bit_rate = 8, .mode = 3}, 309, 807, 30},
      // MPEG-2.5 mono at 11025 Hz: 100 * 576 / 11025 s.
      {{.version = 0, .bit_rate = 8, .mode = 3}, 100, 522, 47},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << c.fields.version << " mode "
                                    << c.fields.mode);
    std::string file = VbrFrame(c.fields, 1, c.frames, 0);
    PutAt(&file, 417, BigEndian(HeaderWord(c.fields)));
    file.resize(417 + 30'900, '\0');
    ASSERT_EQ(Open(file), Mp3Status::kOk);
    EXPECT_TRUE(reader_.is_vbr());
    EXPECT_EQ(reader_.FrameCount(), c.frames);
    EXPECT_EQ(reader_.Duration(), c.duration);
    EXPECT_EQ(reader_.BitRate(), c.bit_rate);
  }
}

TEST_F(Mp3ReaderTest, InfoFrameIsConstantBitRate) {
  std::string file = VbrFrame({}, 0xF, 1000, 0, "Info");
  PutAt(&file, 417, kHeader128);
  file.resize(160'000, '\0');
  ASSERT_EQ(Open(file), Mp3Status::kOk);
  EXPECT_FALSE(reader_.is_vbr());
  EXPECT_EQ(reader_.audio_start(), 0u);
  EXPECT_EQ(reader_.BitRate(), 128u);
  EXPECT_EQ(reader_.Duration(), 1000u);
}

TEST_F(Mp3ReaderTest, XingWithoutFrameCountKeepsTableBitRate) {
  // A count of 0, or no count at all: no division by zero, length unknown.
  for (uint32_t flags : {1u, 0u, 2u}) {
    SCOPED_TRACE(flags);
    std::string file = VbrFrame({}, flags, 0, 5000);
    PutAt(&file, 417, kHeader128);
    file.resize(5000, '\0');
    ASSERT_EQ(Open(file), Mp3Status::kOk);
    EXPECT_TRUE(reader_.is_vbr());
    EXPECT_EQ(reader_.BitRate(), 128u);
    EXPECT_EQ(reader_.Duration(), 0u);
  }
}

TEST_F(Mp3ReaderTest, HugeXingFrameCountSaturates) {
  std::string file = VbrFrame({}, 1, 0xFFFFFFFF, 0);
  PutAt(&file, 417, kHeader128);
  ASSERT_EQ(Open(file), Mp3Status::kOk);
  EXPECT_EQ(reader_.Duration(), 0xFFFFFFFFu);
  EXPECT_EQ(reader_.BitRate(), 0u);
}

TEST_F(Mp3ReaderTest, XingFrameWithoutFollowingFrameHasNoAudio) {
  std::string file = VbrFrame({}, 1, 10, 0);
  file.resize(4000, '\0');
  EXPECT_EQ(Open(file), Mp3Status::kNoFrame);
  EXPECT_EQ(reader_.BitRate(), 0u);
  EXPECT_EQ(reader_.Duration(), 0u);
}

TEST_F(Mp3ReaderTest, FilesWithoutUsableFrame) {
  std::string free_format;  // bit-rate index 0 is never a header
  PutAt(&free_format, 0, BigEndian(HeaderWord({.bit_rate = 0})));
  free_format.resize(20'000, '\0');
  std::string tag_past_end = fixture::Id3v2Header(0x7F, 0x7F, 0x7F, 0x7F);
  PutAt(&tag_past_end, 100, kHeader128);
  const std::string files[] = {"", std::string("\xFF\xFB\x90", 3), free_format,
                               std::string(50'000, '\0'), tag_past_end};
  for (const std::string& file : files) {
    SCOPED_TRACE(file.size());
    EXPECT_EQ(Open(file), Mp3Status::kNoFrame);
  }
}

TEST_F(Mp3ReaderTest, FilesThatCannotBeRead) {
  std::string good = kHeader128;
  good.resize(10'000, '\0');
  EXPECT_EQ(reader_.Open("/missing.mp3"), Mp3Status::kCannotOpen);
  EXPECT_EQ(Open(good, {.fail_reads = true}), Mp3Status::kCannotOpen);
  EXPECT_EQ(Open(good, {.fail_size = true}), Mp3Status::kCannotOpen);
  // Gone between sizing and reading: nothing left to read.
  EXPECT_EQ(Open(good, {.readable = 0}), Mp3Status::kNoFrame);
}

TEST_F(Mp3ReaderTest, FailedOpenClearsEarlierValues) {
  std::string good = kHeader128;
  good.resize(16'000, '\0');
  ASSERT_EQ(Open(good), Mp3Status::kOk);
  ASSERT_EQ(reader_.Duration(), 100u);
  ASSERT_EQ(Open(std::string(10, '\0')), Mp3Status::kNoFrame);
  EXPECT_EQ(reader_.BitRate(), 0u);
  EXPECT_EQ(reader_.FrameCount(), 0u);
  EXPECT_EQ(reader_.Duration(), 0u);
}

TEST_F(Mp3ReaderTest, RandomBytesGiveStatusOrConsistentValues) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    std::string file(20'000, '\0');
    for (char& c : file) c = static_cast<char>(random());
    const Mp3Status status = Open(file);
    ASSERT_TRUE(status == Mp3Status::kOk || status == Mp3Status::kNoFrame);
    if (status == Mp3Status::kOk) {
      EXPECT_EQ(reader_.audio_start() + reader_.audio_size(), file.size());
    }
  }
}

}  // namespace
}  // namespace tavo

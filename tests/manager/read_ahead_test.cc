// The read-ahead of a folder scan: every file's own reading, in order,
// whatever the two threads' pace; dropped files are never handed out.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "manager/ingestion/read_ahead.h"

namespace tavo {
namespace {

TEST(ReadAheadTest, HandsOutEachFilesOwnReadingInOrder) {
  // Reader pace against the taker's: slow files make the taker read ahead
  // itself; fast ones let the helper run to the end of its window.
  const struct {
    const char* name;
    int reader_micros;
    int taker_micros;
    int drop_every;  // 0: none
  } cases[] = {
      {"slow reader", 300, 0, 0},
      {"slow taker", 0, 300, 0},
      {"drops", 100, 100, 3},
      {"all dropped", 50, 0, 1},
  };
  for (const auto& c : cases) {
    std::vector<std::string> files;
    for (int i = 0; i < 200; ++i) files.push_back(std::to_string(i));
    std::atomic<int> reads{0};
    {
      ReadAhead ahead(files, [&](const std::string& path) {
        ++reads;
        std::this_thread::sleep_for(std::chrono::microseconds(c.reader_micros * (std::stoi(path) % 3)));
        FileReading reading;
        reading.size = std::stoull(path);
        return reading;
      });
      for (size_t i = 0; i < files.size(); ++i) {
        if (c.drop_every != 0 && i % c.drop_every == 0) {
          ahead.Drop(i);
          continue;
        }
        EXPECT_EQ(i, ahead.Take(i).size) << c.name;
        std::this_thread::sleep_for(std::chrono::microseconds(c.taker_micros));
      }
    }
    EXPECT_LE(reads.load(), static_cast<int>(files.size())) << c.name << ": a file read twice";
  }
}

TEST(ReadAheadTest, StoppingEarlyDropsWhatWasReadAhead) {
  std::vector<std::string> files(100, "x");
  std::atomic<int> reads{0};
  {
    ReadAhead ahead(files, [&](const std::string&) {
      ++reads;
      return FileReading{};
    });
    ahead.Take(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }  // the scan stops after the first file
  EXPECT_LE(reads.load(), static_cast<int>(1 + ReadAhead::kWindow));
}

}  // namespace
}  // namespace tavo

// The correlates download: what reaches the store, which levels are asked
// for again, and that a level is marked current only once all of it is
// stored.
#include <gtest/gtest.h>

#include "fake_list_service.h"
#include "library/library_test_util.h"
#include "manager/library/manager_status.h"
#include "manager/library/media_library.h"
#include "support/env/fault_env.h"

namespace tavo {
namespace {

using testing::FakeListService;

CorrelatesLevel LevelData(int level, int tables) {
  CorrelatesLevel data;
  data.first_text = "rev" + std::to_string(level);
  data.second_text = "tag";
  data.scale_min = 0;
  data.scale_max = 10 + level;
  for (int g = 0; g < tables; ++g) {
    data.tables.push_back({300 + g, {{301 + g, 7}, {400 + g, 3}}});
  }
  return data;
}

struct Stored {
  std::string first, second;
  std::vector<CorrelateEntry> table;
  int32_t min = 0, max = 0, smallest = 0, largest = 0;
};

Stored Read(MediaLibrary& library, int level, int32_t genre) {
  Stored s;
  library.WithCorrelates([&](CorrelatesStore& store) {
    store.ReadLevelTexts(level, &s.first, &s.second);
    store.ReadTable(genre, &s.table);
    store.ReadWeightRange(&s.min, &s.max);
    store.ReadIdRange(&s.smallest, &s.largest);
    return kLibraryOk;
  });
  return s;
}

class CorrelatesDownloadTest : public ::testing::Test {
 protected:
  void Open(Env* env = nullptr) {
    MediaLibrary::Options options;
    options.env = env;
    library_ = std::make_unique<MediaLibrary>(options);
    ASSERT_EQ(kLibraryOk, library_->Open(dir_, service_));
  }

  std::string dir_ = testing::ScratchDir();
  std::shared_ptr<FakeListService> service_ = std::make_shared<FakeListService>();
  std::unique_ptr<MediaLibrary> library_;
};

TEST_F(CorrelatesDownloadTest, StoresEveryLevelAndAsksAgainOnlyWhenForced) {
  for (int level = 0; level < 3; ++level) service_->ServeCorrelates(level, LevelData(level, 3));
  Open();
  EXPECT_EQ(kManagerNoList, library_->DownloadCorrelates(false));  // the fake serves no lists
  EXPECT_EQ(std::vector<int>({2, 1, 0}), service_->correlate_requests());
  const Stored level1 = Read(*library_, 1, 301);
  EXPECT_EQ("rev1", level1.first);
  EXPECT_EQ(std::vector<CorrelateEntry>({{302, 7}, {401, 3}}), level1.table);
  EXPECT_EQ(10, level1.max);  // level 0 came last
  EXPECT_EQ(300, level1.smallest);
  EXPECT_EQ(302, level1.largest);

  Open();  // the tables outlive the library
  EXPECT_EQ("rev2", Read(*library_, 2, 300).first);
  service_->ClearLog();
  library_->DownloadCorrelates(false);
  EXPECT_TRUE(service_->correlate_requests().empty());
  library_->DownloadCorrelates(true);
  EXPECT_EQ(std::vector<int>({2, 1, 0}), service_->correlate_requests());
}

// A level whose download fails stays unmarked and is asked for next time;
// the levels after it are not asked for at all.
TEST_F(CorrelatesDownloadTest, AFailedLevelIsDownloadedAgainNextTime) {
  service_->ServeCorrelates(2, LevelData(2, 2));
  service_->RefuseCorrelates(1, kManagerServiceFailed);
  service_->ServeCorrelates(0, LevelData(0, 2));
  Open();
  library_->DownloadCorrelates(false);
  EXPECT_EQ(std::vector<int>({2, 1}), service_->correlate_requests());
  EXPECT_EQ("", Read(*library_, 1, 300).first);

  service_->ServeCorrelates(1, LevelData(1, 2));
  service_->ClearLog();
  library_->DownloadCorrelates(false);
  EXPECT_EQ(std::vector<int>({1, 0}), service_->correlate_requests());
  EXPECT_EQ("rev1", Read(*library_, 1, 300).first);
}

// A disk that fills while the tables are written leaves the level without
// its texts, so the download is not taken for done.
TEST_F(CorrelatesDownloadTest, AFullDiskLeavesTheLevelUnmarked) {
  FaultEnv env(Env::Default());
  service_->ServeCorrelates(2, LevelData(2, 400));
  Open(&env);
  env.FailWritesAfter(4096);
  library_->DownloadCorrelates(false);
  env.Heal();
  EXPECT_EQ("", Read(*library_, 2, 300).first);

  service_->ClearLog();
  library_->DownloadCorrelates(false);
  EXPECT_EQ(2, service_->correlate_requests().front());
  EXPECT_EQ("rev2", Read(*library_, 2, 300).first);
  EXPECT_EQ(2u, Read(*library_, 2, 699).table.size());
  library_.reset();  // closes its files before the Env they were opened through goes
}

}  // namespace
}  // namespace tavo

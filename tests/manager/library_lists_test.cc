// Where the library's descriptor lists come from: the database copy, the
// service, the refresh rule, the genre mappings, and damaged documents.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fake_list_service.h"
#include "library/library_test_util.h"
#include "manager/library/manager_status.h"
#include "manager/library/media_library.h"

namespace tavo {
namespace {

using testing::FakeListService;
using testing::Item;
using testing::ListDocument;
using testing::ScratchDir;

const std::string kEras = ListDocument("eras", "3", "t1",
                                       Item(101, "1980s", {}, "<RANGE_START_DATE>1980</RANGE_START_DATE>"
                                                              "<RANGE_END_DATE>1989</RANGE_END_DATE>"));
// Item 1000 names 500, which is no item: the child-id mapping gives 1000.
const std::string kGenres =
    ListDocument("genres", "3", "t1", Item(1000, "Rock", {500, 1001}) + Item(1001, "Hard Rock"));
const std::string kFamilies = ListDocument("genre-families", "3", "t1",
                                           Item(1, "Guitars", {1000}, "<GENRE_ID>1000</GENRE_ID>"));
const std::string kVersions =
    ListDocument("genres-v1-to-v2", "3", "t1", Item(2, "Rock Classics", {1001}, "<GENRE_ID>1001</GENRE_ID>"));

class LibraryListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchDir();
    testing::g_test_now = {2024, 6, 1, 12, 0};
    service_ = std::make_shared<FakeListService>();
    service_->Serve(DescriptorKind::kEras, kEras);
    service_->Serve(DescriptorKind::kGenres, kGenres);
    service_->Serve(DescriptorKind::kGenreFamilies, kFamilies);
    service_->ServeVersions(kVersions);
    service_->Serve(DescriptorKind::kOrigins, ListDocument("origins", "3", "t1", Item(1, "Europe")));
    service_->Serve(DescriptorKind::kArtistTypes, ListDocument("artist-types", "3", "t1", Item(1, "Group")));
    service_->Serve(DescriptorKind::kPopularityRanges, ListDocument("popularity", "3", "t1", Item(1, "Top")));
  }

  // A library opened anew over the same folder and service.
  void Reopen() {
    library_.reset();
    MediaLibrary::Options options;
    options.clock = testing::TestNow;
    library_ = std::make_unique<MediaLibrary>(options);
    EXPECT_EQ(kLibraryOk, library_->Open(dir_, service_));
  }

  std::string dir_;
  std::shared_ptr<FakeListService> service_;
  std::unique_ptr<MediaLibrary> library_;
};

TEST_F(LibraryListsTest, OpenLoadsGenresFamiliesAndVersionsWithTheirMappings) {
  Reopen();
  EXPECT_EQ(1u, service_->RequestsFor(DescriptorKind::kGenres));
  EXPECT_EQ(1000, library_->Mapping(MappingKind::kGenreChildIds)->Translate(500));
  EXPECT_EQ(1000, library_->Mapping(MappingKind::kGenreFamilies)->Translate(1));
  EXPECT_EQ(1001, library_->Mapping(MappingKind::kGenreVersions)->Translate(2));
  EXPECT_EQ(0u, service_->RequestsFor(DescriptorKind::kEras));  // the others wait for their first use

  // Opened again within 14 days, everything comes from the database copies.
  service_->ClearLog();
  Reopen();
  EXPECT_TRUE(service_->requests().empty());
  EXPECT_EQ(1000, library_->Mapping(MappingKind::kGenreChildIds)->Translate(500));
  EXPECT_EQ(1001, library_->Mapping(MappingKind::kGenreVersions)->Translate(2));
  DescriptorListPtr genres;
  ASSERT_EQ(kLibraryOk, library_->List(DescriptorKind::kGenres, &genres));
  EXPECT_EQ(2u, genres->size());
}

// The copy serves while it is recent, or when it has no revision to ask
// about; otherwise the service is asked with the copy's revision, and a
// service without a newer document leaves the copy in use.
TEST_F(LibraryListsTest, ACopyIsRefreshedAfterFourteenDays) {
  const struct {
    DateTime now;
    std::string level;
    size_t requests;
  } cases[] = {
      {{2024, 6, 14, 23, 59}, "3", 0},  // 13 days old
      {{2024, 6, 15, 0, 0}, "3", 1},    // 14 days old
      {{2024, 5, 31, 0, 0}, "3", 1},    // stored after now: a clock went back
      {{2025, 6, 1, 0, 0}, "", 0},      // no revision: served as it is
  };
  for (const auto& c : cases) {
    SetUp();
    service_->Serve(DescriptorKind::kEras, ListDocument("eras", c.level, c.level.empty() ? "" : "t1",
                                                         Item(101, "1980s")));
    Reopen();
    DescriptorListPtr eras;
    ASSERT_EQ(kLibraryOk, library_->List(DescriptorKind::kEras, &eras));
    testing::g_test_now = c.now;
    service_->Refuse(DescriptorKind::kEras, kManagerNoDocument);
    service_->ClearLog();
    Reopen();
    ASSERT_EQ(kLibraryOk, library_->List(DescriptorKind::kEras, &eras));
    EXPECT_EQ(1u, eras->size());
    ASSERT_EQ(c.requests, service_->RequestsFor(DescriptorKind::kEras)) << c.now.day << "." << c.now.month;
    if (c.requests > 0) {
      EXPECT_EQ("3", service_->requests().back().level);
      EXPECT_EQ("t1", service_->requests().back().tag);
    }
  }
}

// Without a copy a list that the service does not give is a failure; a
// document whose hierarchy has a cycle is refused, and a copy, when there
// is one, stands in for it.
TEST_F(LibraryListsTest, AFailingServiceOrACyclicDocumentLeavesTheCopyOrNothing) {
  service_->Refuse(DescriptorKind::kOrigins, kManagerServiceFailed);
  service_->Serve(DescriptorKind::kArtistTypes,
                  ListDocument("artist-types", "3", "t1", Item(1, "Group", {2}) + Item(2, "Band", {1})));
  service_->Serve(DescriptorKind::kPopularityRanges, "<LIST><ITEM ID=");
  Reopen();
  DescriptorListPtr list;
  EXPECT_EQ(kManagerNoList, library_->List(DescriptorKind::kOrigins, &list));
  EXPECT_EQ(kManagerCyclicList, library_->List(DescriptorKind::kArtistTypes, &list));
  EXPECT_EQ(kManagerNoList, library_->List(DescriptorKind::kPopularityRanges, &list));

  ASSERT_EQ(kLibraryOk, library_->List(DescriptorKind::kEras, &list));
  testing::g_test_now = {2024, 7, 1, 0, 0};
  service_->Serve(DescriptorKind::kEras, ListDocument("eras", "4", "t2", Item(1, "A", {1})));
  Reopen();
  ASSERT_EQ(kLibraryOk, library_->List(DescriptorKind::kEras, &list));
  EXPECT_EQ(101, list->items()[0].id);  // the copy, not the cyclic document
}

// A genre list whose child-id mapping is missing from the database is asked
// for again although its copy is recent; a reload gives new list objects and
// leaves the old ones whole.
TEST_F(LibraryListsTest, AMissingMappingAsksTheServiceAndAReloadReplacesLists) {
  Reopen();
  DescriptorListPtr before;
  ASSERT_EQ(kLibraryOk, library_->List(DescriptorKind::kGenres, &before));
  ASSERT_EQ(kLibraryOk, library_->WithCorrelates([](CorrelatesStore& store) {
    const bool was_read_only = !store.writable();
    if (was_read_only) store.OpenForWriting();
    const LibraryStatus s = store.DeleteBlob({kBlobClassMapping, static_cast<uint32_t>(MappingKind::kGenreChildIds), 0});
    if (was_read_only) store.OpenForReading();
    return s;
  }));
  service_->ClearLog();
  Reopen();
  EXPECT_EQ(1u, service_->RequestsFor(DescriptorKind::kGenres));
  EXPECT_EQ(1000, library_->Mapping(MappingKind::kGenreChildIds)->Translate(500));

  DescriptorListPtr first;
  ASSERT_EQ(kLibraryOk, library_->List(DescriptorKind::kGenres, &first));
  ASSERT_EQ(kLibraryOk, library_->ReloadLists());
  DescriptorListPtr second;
  ASSERT_EQ(kLibraryOk, library_->List(DescriptorKind::kGenres, &second));
  EXPECT_NE(first, second);
  EXPECT_EQ("Rock", first->items()[0].display_name);
  EXPECT_EQ("Rock", before->items()[0].display_name);  // from a library long closed
}

TEST_F(LibraryListsTest, NamedListsStayInsideTheFolder) {
  Reopen();
  std::ofstream(dir_ + "/moods.xml") << ListDocument("moods", "", "", Item(7, "Calm"));
  std::ofstream(dir_ + "/loops.xml") << ListDocument("loops", "", "", Item(1, "A", {1}));
  DescriptorListPtr list;
  ASSERT_EQ(kLibraryOk, library_->NamedList("moods", &list));
  EXPECT_EQ(1u, list->size());
  ASSERT_EQ(kLibraryOk, library_->NamedList("absent", &list));
  EXPECT_EQ(0u, list->size());
  ASSERT_EQ(kLibraryOk, library_->NamedList("loops", &list));
  EXPECT_EQ(0u, list->size());
  EXPECT_EQ(kLibraryInvalidArgument, library_->NamedList("../moods", &list));
  EXPECT_EQ(kLibraryInvalidArgument, library_->NamedList(std::string_view("moods\0x", 7), &list));
}

}  // namespace
}  // namespace tavo

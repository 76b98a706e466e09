// A host of both modules: it loads them with dlopen, registers the control
// in a scratch registry, creates it by class identifier and drives every
// call the manager relies on through the vtables.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <cstdlib>
#include <cstring>

#include "demo_writer.h"
#include "platform/automation/utf.h"
#include "platform/com/com_ptr.h"
#include "scratch_dir.h"
#include "silent_mp3.h"
#include "tavo/control.h"

namespace tavo {
namespace {

using ExportFn = HRESULT (*)();

std::string Take(HRESULT hr, BSTR& s) {  // s by reference: read after the call
  std::string out = hr == S_OK ? BstrToUtf8(s) : "<failed>";
  SysFreeString(s);
  return out;
}

struct Bstr {
  BSTR s;
  explicit Bstr(std::string_view utf8) : s(BstrFromUtf8(utf8)) {}
  ~Bstr() { SysFreeString(s); }
};

class ControlHostTest : public ::testing::Test {
 protected:
  // The registry is chosen before anything reads it; both modules stay
  // loaded for the whole suite.
  static void SetUpTestSuite() {
    scratch_ = new ScratchDir();
    ::setenv("TAVO_REGISTRY", scratch_->File("registry.reg").c_str(), 1);
    ::unsetenv("TAVO_CATALOG");
    control_module_ = ::dlopen(TAVO_CONTROL_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, control_module_) << ::dlerror();
    auto reg = reinterpret_cast<ExportFn>(::dlsym(control_module_, "DllRegisterServer"));
    ASSERT_NE(nullptr, reg);
    ASSERT_EQ(S_OK, reg());
#ifdef TAVO_MODULE_FILE
    component_module_ = ::dlopen(TAVO_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, component_module_) << ::dlerror();
    auto set_control = reinterpret_cast<HRESULT (*)(HMODULE)>(::dlsym(component_module_, "DllSetTavoHINST"));
    ASSERT_NE(nullptr, set_control);
    ASSERT_EQ(S_OK, set_control(control_module_));
#endif
  }
  static void TearDownTestSuite() {
    delete scratch_;
    scratch_ = nullptr;
  }

  void SetUp() override {
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_TAVOControl, nullptr, CLSCTX_INPROC_SERVER, IID_ITAVOControl,
                                     control_.ReleaseAndGetVoidAddressOf()));
    ASSERT_EQ(S_OK, control_->QueryInterface(IID_ITAVOControlEx, extended_.ReleaseAndGetVoidAddressOf()));
    ASSERT_EQ(S_OK, extended_->GetService(TAVOCTL_SERVICE_KIND, service_.ReleaseAndGetAddressOf()));
  }

  void TearDown() override {
    service_ = nullptr;
    extended_ = nullptr;
    control_ = nullptr;
    auto can_unload = reinterpret_cast<ExportFn>(::dlsym(control_module_, "DllCanUnloadNow"));
    EXPECT_EQ(S_OK, can_unload()) << "an object of the control is still alive";
  }

  static ScratchDir* scratch_;
  static void* control_module_;
  static void* component_module_;
  ComPtr<ITAVOControl> control_;
  ComPtr<ITAVOControlEx> extended_;
  ComPtr<ITAVOService> service_;
};

ScratchDir* ControlHostTest::scratch_ = nullptr;
void* ControlHostTest::control_module_ = nullptr;
void* ControlHostTest::component_module_ = nullptr;

TEST_F(ControlHostTest, VersionPassesTheManagersCheck) {
  BSTR v = nullptr;
  const std::string version = Take(control_->get_Version(&v), v);
  int a = 0, b = 0, c = 0, d = 0;
  ASSERT_EQ(4, std::sscanf(version.c_str(), "TAVOControl %d.%d.%d.%d", &a, &b, &c, &d)) << version;
  EXPECT_TRUE(a > 2 || (a == 2 && (b > 1 || (b == 1 && d >= 4)))) << version;
  ComPtr<ITAVOService> other;
  EXPECT_EQ(E_INVALIDARG, extended_->GetService(3, other.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(other);
}

// The same call through IDispatch, as a script host makes it.
TEST_F(ControlHostTest, DispatchReachesTheVersion) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(u"Version")};
  DISPID id = 0;
  ASSERT_EQ(S_OK, control_->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, control_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
  ASSERT_EQ(VT_BSTR, result.vt);
  EXPECT_EQ(0, BstrToUtf8(result.bstrVal).rfind("TAVOControl 2.1", 0));
  VariantClear(&result);
}

std::string Between(const std::string& text, const std::string& open, const std::string& close) {
  const size_t a = text.find(open);
  const size_t b = a == std::string::npos ? a : text.find(close, a + open.size());
  return b == std::string::npos ? std::string() : text.substr(a + open.size(), b - a - open.size());
}

TEST_F(ControlHostTest, EveryListDocumentComesOnceUntilCurrent) {
  using ListCall = HRESULT (STDMETHODCALLTYPE ITAVOService::*)(BSTR, BSTR, VARIANT*);
  const std::pair<const char*, ListCall> calls[] = {
      {"eras", &ITAVOService::GetEraList},
      {"origins", &ITAVOService::GetOriginList},
      {"artist-types", &ITAVOService::GetArtistTypeList},
      {"genres", &ITAVOService::GetGenreList},
      {"genre-families", &ITAVOService::GetGenreFamilyList},
      {"popularity-ranges", &ITAVOService::GetPopularityRangeList},
      {"genres-v1-to-v2", nullptr},
  };
  Bstr named("genres-v1-to-v2");
  for (const auto& [name, call] : calls) {
    SCOPED_TRACE(name);
    auto request = [&](const std::string& level, const std::string& tag, VARIANT* doc) {
      Bstr l(level), t(tag);
      return call ? (service_.Get()->*call)(l.s, t.s, doc) : service_->GetNamedList(named.s, l.s, t.s, doc);
    };
    VARIANT doc;
    ASSERT_EQ(S_OK, request("", "", &doc));
    ASSERT_EQ(VT_BYREF | VT_UI1, doc.vt);
    const std::string text(reinterpret_cast<const char*>(doc.pbVal));
    EXPECT_EQ(strlen(text.c_str()) + 1, GlobalSize(doc.pbVal));
    EXPECT_NE(std::string::npos, text.find(std::string("<LIST NAME=\"") + name + "\""));
    EXPECT_EQ(nullptr, GlobalFree(doc.pbVal));
    const std::string level = Between(text, "<LEVEL>", "</LEVEL>"), tag = Between(text, "<TAG>", "</TAG>");
    ASSERT_FALSE(level.empty() || tag.empty());
    EXPECT_EQ(S_FALSE, request(level, tag, &doc));
    EXPECT_EQ(VT_EMPTY, doc.vt);
  }
}

TEST_F(ControlHostTest, LookupGivesTheRecordingsServiceData) {
  const Recording& r = DemoRecordings()[7];
  ComPtr<ITAVOLookup> lookup;
  LONG track = 0;
  ASSERT_EQ(S_OK, service_->Lookup(Bstr(r.tag_id).s, lookup.ReleaseAndGetAddressOf(), &track));
  EXPECT_EQ(r.track, track);
  const std::pair<HRESULT (STDMETHODCALLTYPE ITAVOLookup::*)(LONG*), int32_t> numbers[] = {
      {&ITAVOLookup::get_GenreV1, r.genre_v1}, {&ITAVOLookup::get_GenreV2, r.genre_v2},
      {&ITAVOLookup::get_Era, r.era},          {&ITAVOLookup::get_Origin, r.origin},
      {&ITAVOLookup::get_ArtistType, r.artist_type}, {&ITAVOLookup::get_Year, r.year},
      {&ITAVOLookup::get_TotalTracks, r.total_tracks}, {&ITAVOLookup::get_AlbumPopularity, r.album_popularity},
      {&ITAVOLookup::get_GlobalPopularity, r.global_popularity}};
  for (const auto& [getter, want] : numbers) {
    LONG value = -99;
    EXPECT_EQ(S_OK, (lookup.Get()->*getter)(&value));
    EXPECT_EQ(want, value);
  }
  BSTR s = nullptr;
  EXPECT_EQ(r.title_sort, Take(lookup->get_TitleSort(&s), s));
  EXPECT_EQ(r.artist_sorts.front(), Take(lookup->GetArtistSort(1, &s), s));
  EXPECT_EQ(r.label, Take(lookup->get_Label(&s), s));
  LONG album = 0, global = 0;
  EXPECT_EQ(S_OK, service_->GetPopularity(Bstr(r.tag_id).s, r.track, &album, &global));
  EXPECT_EQ(r.global_popularity, global);

  EXPECT_EQ(TAVOCTL_E_UNKNOWN_TAGID, service_->Lookup(Bstr("3CD3PU99999").s, lookup.ReleaseAndGetAddressOf(), &track));
  EXPECT_FALSE(lookup);
  EXPECT_EQ(E_INVALIDARG, service_->Lookup(nullptr, lookup.ReleaseAndGetAddressOf(), &track));
}

TEST_F(ControlHostTest, CorrelatesOfAllThreeLevels) {
  // Slots 7, 20 and 19 serve levels 0, 1 and 2.
  using CorrelateCall = HRESULT (*)(ITAVOService*, BSTR, BSTR, ITAVOCorrelateList**);
  const CorrelateCall calls[] = {
      [](ITAVOService* s, BSTR l, BSTR t, ITAVOCorrelateList** out) { return s->GetCorrelates0(l, t, out); },
      [](ITAVOService* s, BSTR l, BSTR t, ITAVOCorrelateList** out) { return s->GetCorrelates1(l, t, out); },
      [](ITAVOService* s, BSTR l, BSTR t, ITAVOCorrelateList** out) { return s->GetCorrelates2(l, t, out); }};
  for (int level = 0; level < 3; ++level) {
    SCOPED_TRACE(level);
    ComPtr<ITAVOCorrelateList> list;
    // A caller that already holds this revision still gets the list.
    ASSERT_EQ(S_OK, calls[level](service_.Get(), Bstr("3").s, Bstr("offline-2024.06").s,
                                 list.ReleaseAndGetAddressOf()));
    LONG count = 0, min = 0, max = 0, got_level = -1;
    BSTR s = nullptr;
    EXPECT_EQ(S_OK, list->get_Count(&count));
    EXPECT_GT(count, 10);
    EXPECT_EQ(S_OK, list->get_ScaleMin(&min));
    EXPECT_EQ(S_OK, list->get_ScaleMax(&max));
    EXPECT_EQ(1, min);
    EXPECT_EQ(10, max);
    EXPECT_EQ(S_OK, list->get_Level(&got_level));
    EXPECT_EQ(level, got_level);
    EXPECT_EQ("3", Take(list->get_RevisionLevel(&s), s));
    EXPECT_EQ("offline-2024.06", Take(list->get_RevisionTag(&s), s));
    ComPtr<ITAVOCorrelateEntry> entry;
    EXPECT_EQ(E_INVALIDARG, list->GetEntry(0, entry.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, list->GetEntry(count, entry.ReleaseAndGetAddressOf()));
    list = nullptr;  // entries keep what they need
    LONG genre = 0;
    EXPECT_EQ(S_OK, entry->get_GenreID(&genre));
    EXPECT_NE("", Take(entry->get_Name(&s), s));
    ComPtr<ITAVORelatedList> related;
    ASSERT_EQ(S_OK, entry->get_Related(related.ReleaseAndGetAddressOf()));
    LONG items = 0;
    ASSERT_EQ(S_OK, related->get_Count(&items));
    ASSERT_GT(items, 0);
    for (LONG i = 1; i <= items; ++i) {
      ComPtr<ITAVORelatedItem> item;
      ASSERT_EQ(S_OK, related->GetItem(i, item.ReleaseAndGetAddressOf()));
      LONG id = 0, weight = 0;
      EXPECT_EQ(S_OK, item->get_GenreID(&id));
      EXPECT_EQ(S_OK, item->get_Weight(&weight));
      EXPECT_NE(genre, id);
      EXPECT_TRUE(weight >= min && weight <= max) << weight;
    }
  }
}

// Reads one file through a reader created by class identifier, as the
// manager does; returns the tag identifier.
std::string TagIdThroughRegistry(const std::string& path, std::string* title) {
  ComPtr<ITAVOMP3Reader> reader;
  EXPECT_EQ(S_OK, CoCreateInstance(CLSID_TAVOMP3Reader, nullptr, CLSCTX_INPROC_SERVER, IID_ITAVOMP3Reader,
                                   reader.ReleaseAndGetVoidAddressOf()));
  if (!reader) return {};
  EXPECT_EQ(S_OK, reader->Open(Bstr(path).s, TAVOCTL_OPEN_READ));
  ComPtr<ITAVOTag> tag;
  EXPECT_EQ(S_OK, reader->QueryInterface(IID_ITAVOTag, tag.ReleaseAndGetVoidAddressOf()));
  BSTR s = nullptr;
  *title = Take(tag->get_Title(&s), s);
  return Take(tag->get_TagID(&s), s);
}

TEST_F(ControlHostTest, ReadsTagIdentifiersOfDemoAndForeignFiles) {
  ScratchDir dir;
  for (size_t i = 0; i < 4; ++i) {
    const Recording& r = DemoRecordings()[i * 31];
    const std::string path = dir.File("demo" + std::to_string(i) + ".mp3");
    std::string error, title;
    ASSERT_TRUE(WriteDemoFile(path, r, &error)) << error;
    EXPECT_EQ(r.tag_id, TagIdThroughRegistry(path, &title));
    EXPECT_EQ(r.title, title);
    ComPtr<ITAVOLookup> lookup;
    EXPECT_EQ(S_OK, service_->Lookup(Bstr(r.tag_id).s, lookup.ReleaseAndGetAddressOf(), nullptr));
  }
  const std::string foreign = dir.Write("foreign.mp3", SilentMp3(true, 1500, 9));
  {
    TagLib::MPEG::File file(foreign.c_str());
    file.ID3v2Tag(true)->setTitle("Borrowed Tune");
    auto* id = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::UTF8);
    id->setDescription(TAVOCTL_TAGID_ID3_DESCRIPTION);
    id->setText(DemoRecordings().back().tag_id);
    file.ID3v2Tag()->addFrame(id);
    ASSERT_TRUE(file.save());
  }
  std::string title;
  EXPECT_EQ(DemoRecordings().back().tag_id, TagIdThroughRegistry(foreign, &title));
  EXPECT_EQ("Borrowed Tune", title);
  // The control's own factory picks the reader by extension.
  ComPtr<IDispatch> reader;
  EXPECT_EQ(S_OK, control_->CreateTagReader(Bstr(foreign).s, reader.ReleaseAndGetAddressOf()));
  EXPECT_EQ(E_INVALIDARG, control_->CreateTagReader(Bstr(dir.File("song.ogg")).s, reader.ReleaseAndGetAddressOf()));
  EXPECT_EQ(TAVOCTL_E_FILE, control_->CreateTagReader(Bstr(dir.File("gone.mp3")).s, reader.ReleaseAndGetAddressOf()));
}

TEST_F(ControlHostTest, DiscFromRegistryFillsAndReads) {
  ComPtr<ITAVODisc> disc;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_TAVODisc, nullptr, CLSCTX_INPROC_SERVER, IID_ITAVODisc,
                                   disc.ReleaseAndGetVoidAddressOf()));
  ComPtr<ITAVODiscData> data;
  ASSERT_EQ(S_OK, disc->QueryInterface(IID_ITAVODiscData, data.ReleaseAndGetVoidAddressOf()));
  EXPECT_EQ(S_OK, data->put_Title(Bstr("Far Shore").s));
  EXPECT_EQ(S_OK, data->put_Artist(Bstr("The Other Band").s));
  EXPECT_EQ(S_OK, data->put_Year(Bstr("1999").s));
  EXPECT_EQ(S_OK, data->put_TrackNumber(Bstr("4").s));
  ITAVOTrack* track = nullptr;
  EXPECT_EQ(S_OK, data->SetTrack(1, Bstr("Windward").s, &track));
  track->Release();
  EXPECT_EQ(S_OK, data->SetExtended(0, Bstr("PLM_genrev2id").s, Bstr("2768").s));
  BSTR s = nullptr;
  EXPECT_EQ("Far Shore", Take(disc->get_Title(&s), s));
  EXPECT_EQ("1999", Take(data->get_Year(&s), s));
  EXPECT_EQ("Windward", Take(data->get_TrackTitle(&s), s));
  EXPECT_EQ("2768", Take(data->GetExtended(0, Bstr("PLM_genrev2id").s, &s), s));
  ComPtr<ITAVODisc> made;
  EXPECT_EQ(S_OK, control_->CreateDisc(made.ReleaseAndGetAddressOf()));
  EXPECT_EQ(TAVOCTL_E_NO_VALUE, made->get_Title(&s));
}

TEST_F(ControlHostTest, CatalogPathPropertyAndMissingCatalog) {
  BSTR s = nullptr;
  const std::string original = Take(control_->get_CatalogPath(&s), s);
  EXPECT_EQ(TAVO_SOURCE_DIR "/share/catalog", original);
  EXPECT_EQ(S_OK, extended_->CheckCatalog());
  ASSERT_EQ(S_OK, control_->put_CatalogPath(Bstr(scratch_->File("nowhere")).s));
  ComPtr<ITAVOService> service;
  EXPECT_EQ(TAVOCTL_E_CATALOG, extended_->GetService(TAVOCTL_SERVICE_KIND, service.ReleaseAndGetAddressOf()));
  EXPECT_EQ(TAVOCTL_E_CATALOG, extended_->CheckCatalog());
  EXPECT_EQ(E_INVALIDARG, control_->put_CatalogPath(nullptr));
  // A service made before keeps its catalog.
  VARIANT doc;
  ASSERT_EQ(S_OK, service_->GetEraList(nullptr, nullptr, &doc));
  GlobalFree(doc.pbVal);
}

#ifdef TAVO_MODULE_FILE
TEST_F(ControlHostTest, ComponentModuleCreatesObjectsBesideTheControl) {
  auto get_object = reinterpret_cast<HRESULT (*)(REFCLSID, REFIID, void**)>(::dlsym(component_module_, "DllGetObject"));
  ASSERT_NE(nullptr, get_object);
  ComPtr<IDispatch> stamp;
  EXPECT_EQ(S_OK, get_object(CLSID_TavoPL2Timestamp, IID_IDispatch, stamp.ReleaseAndGetVoidAddressOf()));
}
#endif

}  // namespace
}  // namespace tavo

// A generator list saves itself as a preset file: the file reads back, bad
// paths are refused, and genre criteria carry their master genre only when
// the list was given one of our genre display lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "control/scratch_dir.h"
#include "data/descriptors/list_document.h"
#include "data/descriptors/objects/descriptor_objects.h"
#include "data/descriptors/objects/list_classes.h"
#include "data/presets/preset_file.h"
#include "data/xml/xml.h"
#include "data/xml/xml_file.h"
#include "generation_test_util.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

// A genre display list that is not ours: every member answers E_NOTIMPL.
class HostGenreList : public ComObject<HostGenreList, ITavoGenreDisplayList> {
 public:
  TAVO_OWN_ITavoPLDataList(TAVO_TEST_HOST_SLOT, ITavoPLDataList)
  TAVO_OWN_ITavoGenreDisplayList(TAVO_TEST_HOST_SLOT, ITavoGenreDisplayList)
};

HRESULT Save(ITavoPLGeneratorList* list, std::u16string_view path) {
  BSTR text = SysAllocStringLen(path.data(), static_cast<UINT>(path.size()));
  const HRESULT hr = list->SavePLGensToFile(text);
  SysFreeString(text);
  return hr;
}

std::u16string Utf16(const std::string& utf8) { return Utf8ToUtf16(utf8); }

std::string DocumentText(const std::string& path) {
  char* text = nullptr;
  if (XmlFile_Read(path.c_str(), &text) != 0) return "<unreadable>";
  XmlTextPtr owned(text);
  return text;
}

// "Eighties" with one genre criterion naming the genre 500.
ComPtr<ITavoPLGeneratorList> ListWithGenreCriterion() {
  ComPtr<ITavoPLGenerator> g = NewGenerator();
  ComPtr<ITavoPLGenCriteria> c = NewCriteria(txpl_crit_field_track_genrev2);
  c->put_FieldType(txpl_crit_field_type_enum);
  c->put_Operation(txpl_crit_op_enum_eq);
  c->put_IntParam1(500);
  EXPECT_EQ(S_OK, CriteriaOf(g.Get())->AddCriteria(0, c.Get()));
  BSTR name = SysAllocString(u"Eighties");
  g->put_Name(name);
  SysFreeString(name);
  ComPtr<ITavoPLGeneratorList> list = HostCreate<TavoPLGeneratorList, ITavoPLGeneratorList>();
  EXPECT_EQ(S_OK, list->AddPLGenerator(g.Get()));
  return list;
}

ComPtr<ITavoGenreDisplayList> OurGenreList() {
  const std::string text =
      "<LIST><ITEM ID=\"500\"><MASTER_ID>7</MASTER_ID><SYSTEM_LEVEL>2</SYSTEM_LEVEL></ITEM></LIST>";
  DescriptorListPtr genres;
  EXPECT_EQ(kDescOk, ReadListDocument(DescriptorKind::kGenres, text.data(), text.size(), &genres));
  ComPtr<ITavoGenreDisplayList> object;
  EXPECT_EQ(S_OK, MakeDescriptorListObject(genres).As(&object));
  return object;
}

TEST(GeneratorListSaveTest, TheSavedFileReadsBackWithTheMasterGenreOnlyFromOurList) {
  ScratchDir dir;
  ComPtr<ITavoPLGeneratorList> list = ListWithGenreCriterion();
  const struct {
    const char* what;
    ComPtr<ITavoGenreDisplayList> genres;
    bool master_genre_written;
  } cases[] = {
      {"no genre list", nullptr, false},
      {"our genre list", OurGenreList(), true},
      {"a host's genre list", ComPtr<ITavoGenreDisplayList>(HostGenreList::Make().Get()), false},
      {"our list made by the class factory", HostCreate<TavoGenreDisplayList, ITavoGenreDisplayList>(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(S_OK, list->SetGenreDisplayList(c.genres.Get()));
    const std::string path = dir.File("saved.xml");
    ASSERT_EQ(S_OK, Save(list.Get(), Utf16(path)));
    EXPECT_TRUE(std::filesystem::exists(dir.File("saved.bml")));  // the compressed companion
    const std::string text = DocumentText(path);
    EXPECT_EQ(c.master_genre_written, text.find("MASTERID=\"7\" IDSYSLEVEL=\"2\"") != std::string::npos) << text;

    GeneratorChain read;
    ASSERT_EQ(0, PresetFile_Load(path.c_str(), nullptr, nullptr, &read, nullptr));
    ASSERT_EQ(1u, read.size());
    EXPECT_EQ("Eighties", read.At(0)->name);
    ASSERT_EQ(1u, read.At(0)->criteria().size());
    EXPECT_EQ(txpl_crit_field_track_genrev2, read.At(0)->criteria()[0]->field());
    EXPECT_EQ(500, read.At(0)->criteria()[0]->int_param(0));
  }
}

TEST(GeneratorListSaveTest, BadPathsAreRefusedAndWriteFailuresReported) {
  ScratchDir dir;
  ComPtr<ITavoPLGeneratorList> list = ListWithGenreCriterion();
  const struct {
    std::u16string path;
    HRESULT expected;
  } cases[] = {
      {u"", E_INVALIDARG},
      {Utf16(dir.File("list.txt")), E_INVALIDARG},
      {Utf16(dir.File("list.xml.bak")), E_INVALIDARG},
      {Utf16(dir.File("list")), E_INVALIDARG},
      {Utf16(dir.File("cut")) + u'\0' + u".xml", E_INVALIDARG},  // would name another file
      {Utf16(dir.File("no/such/folder/list.xml")), E_FAIL},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, Save(list.Get(), c.path)) << Utf16ToUtf8(c.path);
  EXPECT_EQ(E_INVALIDARG, list->SavePLGensToFile(nullptr));
  EXPECT_FALSE(std::filesystem::exists(dir.File("cut")));

  // The extension compares in any case, but only ".xml" in lower case has a
  // compressed companion: "list.XML" is written as it is named.
  ASSERT_EQ(S_OK, Save(list.Get(), Utf16(dir.File("list.XML"))));
  EXPECT_TRUE(std::filesystem::exists(dir.File("list.XML")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("list.bml")));
  GeneratorChain read;
  ASSERT_EQ(0, PresetFile_Load(dir.File("list.XML").c_str(), nullptr, nullptr, &read, nullptr));
  EXPECT_EQ(1u, read.size());
}

}  // namespace
}  // namespace tavo

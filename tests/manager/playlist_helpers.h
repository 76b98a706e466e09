// What the manager's playlist tests do as a host: generators built through
// their interfaces, and the file names of a playlist handed back.
#ifndef TAVO_TESTS_MANAGER_PLAYLIST_HELPERS_H_
#define TAVO_TESTS_MANAGER_PLAYLIST_HELPERS_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generation/objects/generator_classes.h"
#include "host_helpers.h"

namespace tavo::testing {

inline ComPtr<ITavoPLGenCriteria> NewCriteria(LONG field, LONG op, LONG p1 = 0, bool selection_based = false) {
  ComPtr<ITavoPLGenCriteria> c;
  EXPECT_EQ(S_OK, TavoPLGenCriteria::Create(nullptr, IID_ITavoPLGenCriteria, c.ReleaseAndGetVoidAddressOf()));
  c->put_Field(field);
  c->put_Operation(op);
  c->put_IntParam1(p1);
  c->put_SelectionBased(selection_based ? 1 : 0);
  return c;
}

// A generator the way a host builds one: a new object, a criterion added
// through its criteria list.
inline ComPtr<ITavoPLGenerator> NewGenerator(const ComPtr<ITavoPLGenCriteria>& criterion) {
  ComPtr<ITavoPLGenerator> g;
  EXPECT_EQ(S_OK, TavoPLGenerator::Create(nullptr, IID_ITavoPLGenerator, g.ReleaseAndGetVoidAddressOf()));
  ComPtr<ITavoPLGenCriteriaList> list;
  EXPECT_EQ(S_OK, g->get_CriteriaList(list.ReleaseAndGetAddressOf()));
  EXPECT_EQ(S_OK, list->AddCriteria(0, criterion.Get()));
  return g;
}

// A variant holding an array of strings (VT_ARRAY | VT_BSTR), cleared when
// it goes.
struct NameArray {
  VARIANT v;
  explicit NameArray(const std::vector<std::string>& names) {
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_BSTR;
    v.parray = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(names.size()));
    for (LONG i = 0; i < static_cast<LONG>(names.size()); ++i) {
      BSTR s = BstrFromUtf8(names[i]);
      SafeArrayPutElement(v.parray, &i, s);
      SysFreeString(s);
    }
  }
  ~NameArray() { VariantClear(&v); }
  NameArray(const NameArray&) = delete;
  NameArray& operator=(const NameArray&) = delete;
};

// The file names of a result list, in playlist order.
inline std::vector<std::string> FileNamesOf(ITavoPL2ResultList* list) {
  std::vector<std::string> names;
  LONG count = 0;
  EXPECT_EQ(S_OK, list->get_Count(&count));
  for (LONG i = 1; i <= count; ++i) {
    ComPtr<ITavoPL2Result> result;
    EXPECT_EQ(S_OK, list->GetResult(i, result.ReleaseAndGetAddressOf()));
    BSTR name = nullptr;
    EXPECT_EQ(S_OK, result->GetFilename(&name));
    names.push_back(Take(name));
  }
  return names;
}

}  // namespace tavo::testing

#endif  // TAVO_TESTS_MANAGER_PLAYLIST_HELPERS_H_

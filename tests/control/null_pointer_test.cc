// The null-pointer test of every member of every object of the control's
// library, generated from its interface description
// (support/null_out_calls.h): a null [out] pointer gives E_POINTER, or the
// member's documented status.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "control/control_object.h"
#include "control/disc.h"
#include "control/tag_reader.h"
#include "demo_catalog.h"
#include "support/null_out_calls.h"

namespace tavo::control {
namespace {

using null_out::DescribedInterface;

#define TAVO_DESCRIBED(I) TAVO_NULL_OUT_ENTRY(I)
const std::vector<DescribedInterface> kInterfaces = {
#include "platform/com/description_table_begin.h"
#include "tavo/standard_interfaces.def"
#include "tavo/control_interfaces.def"
#include "platform/com/description_table_end.h"
};
#undef TAVO_DESCRIBED

// Members whose documented answer differs: SetTrack's track pointer is
// optional, and the generated call's position 0 is refused.
const std::map<std::string, HRESULT> kDocumented = {{"ITAVODiscData::SetTrack", E_INVALIDARG}};

// Every object kind of the library, reached the way a host reaches it.
std::vector<std::pair<std::string, ComPtr<IUnknown>>> EveryObjectKind() {
  std::vector<std::pair<std::string, ComPtr<IUnknown>>> objects;
  auto add = [&](const char* what, IUnknown* object) { objects.emplace_back(what, ComPtr<IUnknown>(object)); };

  ComPtr<Control> control = Control::Make();
  add("control", static_cast<ITAVOControlEx*>(control.Get()));
  add("MP3 reader", static_cast<ITAVOMP3Reader*>(Mp3TagReader::Make().Get()));
  add("WMA reader", static_cast<ITAVOWMAReader*>(WmaTagReader::Make().Get()));
  ComPtr<Disc> disc = Disc::Make();
  add("disc", static_cast<ITAVODisc*>(disc.Get()));
  ComPtr<ITAVOTrack> track;
  BSTR title = SysAllocString(u"a track");
  EXPECT_EQ(S_OK, disc->SetTrack(1, title, track.ReleaseAndGetAddressOf()));
  SysFreeString(title);
  add("track", track.Get());

  ComPtr<ITAVOService> service;
  EXPECT_EQ(S_OK, control->GetService(TAVOCTL_SERVICE_KIND, service.ReleaseAndGetAddressOf()));
  add("service", service.Get());
  ComPtr<ITAVOLookup> lookup;
  BSTR tag_id = BstrFromUtf8(DemoRecordings().front().tag_id);
  EXPECT_EQ(S_OK, service->Lookup(tag_id, lookup.ReleaseAndGetAddressOf(), nullptr));
  SysFreeString(tag_id);
  add("lookup", lookup.Get());
  ComPtr<ITAVOCorrelateList> correlates;
  EXPECT_EQ(S_OK, service->GetCorrelates2(nullptr, nullptr, correlates.ReleaseAndGetAddressOf()));
  add("correlate list", correlates.Get());
  ComPtr<ITAVOCorrelateEntry> entry;
  EXPECT_EQ(S_OK, correlates->GetEntry(1, entry.ReleaseAndGetAddressOf()));
  add("correlate entry", entry.Get());
  ComPtr<ITAVORelatedList> related;
  EXPECT_EQ(S_OK, entry->get_Related(related.ReleaseAndGetAddressOf()));
  add("related list", related.Get());
  ComPtr<ITAVORelatedItem> item;
  EXPECT_EQ(S_OK, related->GetItem(1, item.ReleaseAndGetAddressOf()));
  add("related item", item.Get());
  return objects;
}

TEST(ControlNullPointerTest, EveryMemberOfEveryObjectRefusesNullOutPointers) {
  for (const auto& [what, object] : EveryObjectKind()) {
    ASSERT_TRUE(object) << what;
    EXPECT_EQ("", null_out::UnexpectedNullOutStatuses(object.Get(), kInterfaces, kDocumented)) << what;
  }
}

}  // namespace
}  // namespace tavo::control

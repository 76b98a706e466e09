// Disc objects through their data interface, as the manager fills them and
// as a host reads them back.
#include "control/disc.h"

#include <gtest/gtest.h>

namespace tavo::control {
namespace {

struct Bstr {
  BSTR s;
  explicit Bstr(const char16_t* text) : s(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(s); }
};

std::string Take(HRESULT hr, BSTR& s) {  // s by reference: read after the call
  std::string out = hr == S_OK ? BstrToUtf8(s) : "<failed>";
  SysFreeString(s);
  return out;
}

class DiscTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, Disc::Create(nullptr, IID_ITAVODisc, disc_.ReleaseAndGetVoidAddressOf()));
    ASSERT_EQ(S_OK, disc_->QueryInterface(IID_ITAVODiscData, data_.ReleaseAndGetVoidAddressOf()));
  }
  std::string Extended(LONG scope, const char16_t* name) {
    BSTR v = nullptr;
    Bstr n(name);
    return Take(data_->GetExtended(scope, n.s, &v), v);
  }

  ComPtr<ITAVODisc> disc_;
  ComPtr<ITAVODiscData> data_;
};

TEST_F(DiscTest, FilledThroughDataInterfaceReadsBack) {
  ASSERT_EQ(S_OK, data_->put_Title(Bstr(u"Golden Chronicles").s));
  ASSERT_EQ(S_OK, data_->put_Artist(Bstr(u"Teodor Okafor").s));
  ASSERT_EQ(S_OK, data_->put_Year(Bstr(u"1952").s));
  ASSERT_EQ(S_OK, data_->put_TrackNumber(Bstr(u"4").s));
  ITAVOTrack* track = nullptr;
  ASSERT_EQ(S_OK, data_->SetTrack(1, Bstr(u"Slow Morning").s, &track));
  ASSERT_NE(nullptr, track);
  track->Release();  // the disc keeps its own reference
  ASSERT_EQ(S_OK, data_->SetExtended(0, Bstr(u"PLM_bitrate").s, Bstr(u"32").s));
  ASSERT_EQ(S_OK, data_->SetExtended(0, Bstr(u"PLM_label").s, Bstr(u"").s));
  ASSERT_EQ(S_OK, data_->SetExtended(0, Bstr(u"PLM_bitrate").s, Bstr(u"40").s));
  ASSERT_EQ(S_OK, data_->SetExtended(1, Bstr(u"PLM_tracklen").s, Bstr(u"180").s));

  BSTR s = nullptr;
  EXPECT_EQ("Golden Chronicles", Take(disc_->get_Title(&s), s));
  EXPECT_EQ("Teodor Okafor", Take(data_->get_Artist(&s), s));
  EXPECT_EQ("1952", Take(disc_->get_Year(&s), s));
  EXPECT_EQ("4", Take(data_->get_TrackNumber(&s), s));
  EXPECT_EQ("Slow Morning", Take(data_->get_TrackTitle(&s), s));
  EXPECT_EQ("40", Extended(0, u"PLM_bitrate"));
  EXPECT_EQ("", Extended(0, u"PLM_label"));  // given as empty is not absent
  EXPECT_EQ("180", Extended(1, u"PLM_tracklen"));
  EXPECT_EQ("<failed>", Extended(0, u"PLM_tracklen"));
  LONG count = 0;
  EXPECT_EQ(S_OK, data_->GetExtendedCount(0, &count));
  EXPECT_EQ(2, count);
  EXPECT_EQ("PLM_label", Take(data_->GetExtendedName(0, 2, &s), s));

  ComPtr<ITAVOTrack> first;
  ASSERT_EQ(S_OK, disc_->GetTrack(1, first.ReleaseAndGetAddressOf()));
  EXPECT_EQ("Slow Morning", Take(first->get_Title(&s), s));
  ComPtr<ITAVODiscData> same;
  ASSERT_EQ(S_OK, disc_->get_Data(same.ReleaseAndGetAddressOf()));
  EXPECT_EQ(data_.Get(), same.Get());
}

TEST_F(DiscTest, AbsentValuesAndBadPositionsFail) {
  BSTR s = nullptr;
  LONG id = 0;
  EXPECT_EQ(TAVOCTL_E_NO_VALUE, data_->get_Title(&s));
  EXPECT_EQ(nullptr, s);
  EXPECT_EQ(TAVOCTL_E_NO_VALUE, data_->get_TrackTitle(&s));
  EXPECT_EQ(TAVOCTL_E_NO_VALUE, data_->get_GenreV2(&id));
  EXPECT_EQ(E_INVALIDARG, data_->SetTrack(2, Bstr(u"gap").s, nullptr));
  EXPECT_EQ(E_INVALIDARG, data_->SetExtended(1, Bstr(u"PLM_x").s, Bstr(u"1").s));  // no track 1 yet
  EXPECT_EQ(E_INVALIDARG, data_->SetExtended(0, nullptr, Bstr(u"1").s));
  EXPECT_EQ(E_POINTER, data_->GetExtended(0, Bstr(u"PLM_x").s, nullptr));
  EXPECT_EQ(E_NOTIMPL, data_->Reserved40());
}

TEST_F(DiscTest, RemovingATrackRenumbersTheRest) {
  for (const char16_t* title : {u"one", u"two", u"three"}) {
    LONG count = 0;
    data_->get_TrackCount(&count);
    ASSERT_EQ(S_OK, data_->SetTrack(count + 1, Bstr(title).s, nullptr));
  }
  ASSERT_EQ(S_OK, data_->SetExtended(3, Bstr(u"PLM_n").s, Bstr(u"3").s));
  ASSERT_EQ(S_OK, data_->RemoveTrack(2));
  ComPtr<ITAVOTrack> track;
  ASSERT_EQ(S_OK, data_->GetTrack(2, track.ReleaseAndGetAddressOf()));
  LONG position = 0;
  BSTR s = nullptr;
  EXPECT_EQ(S_OK, track->get_Position(&position));
  EXPECT_EQ(2, position);
  EXPECT_EQ("three", Take(track->get_Title(&s), s));
  EXPECT_EQ("3", Extended(2, u"PLM_n"));
  ASSERT_EQ(S_OK, data_->Clear());
  LONG count = 5;
  EXPECT_EQ(S_OK, data_->get_TrackCount(&count));
  EXPECT_EQ(0, count);
}

}  // namespace
}  // namespace tavo::control

// Binary layouts and the C functions of the automation runtime.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/automation/guid_text.h"
#include "platform/automation/utf.h"
#include "tavo/automation.h"

namespace tavo {
namespace {

static_assert(sizeof(VARIANT) == 24);
static_assert(sizeof(GUID) == 16);
static_assert(sizeof(LONG) == 4 && sizeof(VARIANT_BOOL) == 2 && sizeof(OLECHAR) == 2);
static_assert(offsetof(VARIANT, lVal) == 8);
static_assert(sizeof(DISPPARAMS) == 24);

TEST(BstrTest, LayoutLengthPrefixAndTerminator) {
  BSTR s = SysAllocString(u"abc");
  ASSERT_NE(nullptr, s);
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<char*>(s) - 4, 4);
  EXPECT_EQ(6u, bytes);
  EXPECT_EQ(3u, SysStringLen(s));
  EXPECT_EQ(0, s[3]);
  SysFreeString(s);

  // Embedded NULs are part of the string; a null BSTR is empty.
  const OLECHAR with_nul[] = {u'a', 0, u'b'};
  s = SysAllocStringLen(with_nul, 3);
  EXPECT_EQ(3u, SysStringLen(s));
  SysFreeString(s);
  EXPECT_EQ(0u, SysStringLen(nullptr));
  EXPECT_EQ(nullptr, SysAllocString(nullptr));
  SysFreeString(nullptr);
  BSTR odd = SysAllocStringByteLen("xyz", 3);
  EXPECT_EQ(3u, SysStringByteLen(odd));
  EXPECT_EQ(1u, SysStringLen(odd));
  SysFreeString(odd);
}

TEST(UtfTest, RoundTripsOutsideTheBasicPlane) {
  const std::string title = "Caf\xC3\xA9 \xF0\x9F\x8E\xB8 \xE6\x97\xA5";  // é, guitar emoji, CJK
  const std::u16string wide = Utf8ToUtf16(title);
  EXPECT_EQ(9u, wide.size());  // the emoji is a surrogate pair
  EXPECT_EQ(0xD83C, wide[5]);
  EXPECT_EQ(title, Utf16ToUtf8(wide));
  BSTR b = BstrFromUtf8(title);
  EXPECT_EQ(title, BstrToUtf8(b));
  SysFreeString(b);
}

TEST(UtfTest, MalformedInputBecomesReplacementCharacters) {
  struct Case {
    std::string in;
    size_t units;
  } cases[] = {
      {"\xC3", 1},              // truncated
      {"\xC0\xAF", 2},          // overlong: each byte replaced
      {"\xED\xA0\x80", 3},      // a surrogate code point
      {"\xF4\x90\x80\x80", 4},  // past U+10FFFF
      {"\xFF", 1},
  };
  for (const Case& c : cases) {
    const std::u16string w = Utf8ToUtf16(c.in);
    EXPECT_EQ(c.units, w.size()) << c.in;
    for (char16_t u : w) EXPECT_EQ(0xFFFD, u);
  }
  EXPECT_EQ("\xEF\xBF\xBD", Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))));  // lone low surrogate
}

TEST(VariantTest, ChangeTypeTable) {
  struct Case {
    VARTYPE from;
    int64_t value;
    VARTYPE to;
    HRESULT hr;
    int64_t expect;
  } cases[] = {
      {VT_I4, 70000, VT_I2, DISP_E_OVERFLOW, 0},
      {VT_I4, -5, VT_UI4, DISP_E_OVERFLOW, 0},
      {VT_I2, -2, VT_I4, S_OK, -2},
      {VT_I4, 3, VT_BOOL, S_OK, -1},
      {VT_BOOL, -1, VT_I4, S_OK, -1},
      {VT_EMPTY, 0, VT_I4, S_OK, 0},
  };
  for (const Case& c : cases) {
    VARIANT src, dst;
    VariantInit(&src);
    VariantInit(&dst);
    src.vt = c.from;
    src.llVal = 0;
    if (c.from == VT_I2 || c.from == VT_BOOL) src.iVal = static_cast<SHORT>(c.value);
    else src.lVal = static_cast<LONG>(c.value);
    EXPECT_EQ(c.hr, VariantChangeType(&dst, &src, 0, c.to)) << c.from << "->" << c.to;
    if (c.hr == S_OK) {
      const int64_t got = c.to == VT_I2 || c.to == VT_BOOL ? dst.iVal : dst.lVal;
      EXPECT_EQ(c.expect, got);
    }
  }
}

TEST(VariantTest, StringsConvertBothWaysAndCopiesAreDeep) {
  VARIANT s, n;
  VariantInit(&s);
  VariantInit(&n);
  s.vt = VT_BSTR;
  s.bstrVal = SysAllocString(u"-123");
  ASSERT_EQ(S_OK, VariantChangeType(&n, &s, 0, VT_I4));
  EXPECT_EQ(-123, n.lVal);
  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(S_OK, VariantCopy(&copy, &s));
  EXPECT_NE(s.bstrVal, copy.bstrVal);
  VariantClear(&s);
  EXPECT_EQ("-123", BstrToUtf8(copy.bstrVal));
  // In place, number to text.
  ASSERT_EQ(S_OK, VariantChangeType(&n, &n, 0, VT_BSTR));
  EXPECT_EQ("-123", BstrToUtf8(n.bstrVal));
  VariantClear(&n);
  VariantClear(&copy);
  s.vt = VT_BSTR;
  s.bstrVal = SysAllocString(u"12abc");
  EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantChangeType(&n, &s, 0, VT_I4));
  VariantClear(&s);
  // By reference reads through.
  LONG target = 9;
  VARIANT ref;
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = &target;
  ASSERT_EQ(S_OK, VariantChangeType(&n, &ref, 0, VT_BSTR));
  EXPECT_EQ("9", BstrToUtf8(n.bstrVal));
  VariantClear(&n);
}

TEST(SafeArrayTest, BstrVectorOwnsItsStrings) {
  SAFEARRAY* a = SafeArrayCreateVector(VT_BSTR, 0, 2);
  ASSERT_NE(nullptr, a);
  VARTYPE vt;
  ASSERT_EQ(S_OK, SafeArrayGetVartype(a, &vt));
  EXPECT_EQ(VT_BSTR, vt);
  BSTR one = SysAllocString(u"one");
  LONG i = 0;
  ASSERT_EQ(S_OK, SafeArrayPutElement(a, &i, one));  // copies
  SysFreeString(one);
  i = 2;
  EXPECT_EQ(DISP_E_BADINDEX, SafeArrayPutElement(a, &i, nullptr));
  i = 0;
  BSTR out = nullptr;
  ASSERT_EQ(S_OK, SafeArrayGetElement(a, &i, &out));
  EXPECT_EQ("one", BstrToUtf8(out));
  SysFreeString(out);
  LONG lo, hi;
  SafeArrayGetLBound(a, 1, &lo);
  SafeArrayGetUBound(a, 1, &hi);
  EXPECT_EQ(0, lo);
  EXPECT_EQ(1, hi);

  VARIANT v, copy;
  VariantInit(&copy);
  v.vt = VT_ARRAY | VT_BSTR;
  v.parray = a;
  ASSERT_EQ(S_OK, VariantCopy(&copy, &v));
  EXPECT_NE(v.parray, copy.parray);
  void* data;
  SafeArrayAccessData(a, &data);
  EXPECT_EQ(TAVO_HR(0x8002000D), SafeArrayDestroy(a));  // locked
  SafeArrayUnaccessData(a);
  VariantClear(&v);
  VariantClear(&copy);
  EXPECT_EQ(nullptr, SafeArrayCreateVector(static_cast<VARTYPE>(36), 0, 1));
}

TEST(GuidTest, ParseFormatAndReject) {
  GUID g;
  ASSERT_TRUE(ParseGuid("{bc172a2a-ad09-404c-895b-d04994f10b88}", &g));
  EXPECT_EQ(0xbc172a2au, g.Data1);
  EXPECT_EQ(0x404c, g.Data3);
  EXPECT_EQ(0x88, g.Data4[7]);
  EXPECT_EQ("{bc172a2a-ad09-404c-895b-d04994f10b88}", FormatGuid(g, true));
  EXPECT_EQ("{BC172A2A-AD09-404C-895B-D04994F10B88}", FormatGuid(g));
  for (const char* bad : {"", "{bc172a2a-ad09-404c-895b-d04994f10b8}", "{bc172a2a-ad09-404c-895b-d04994f10b8g}",
                          "{bc172a2a_ad09-404c-895b-d04994f10b88}", "bc172a2a-ad09-404c-895b-d04994f10b88}"})
    EXPECT_FALSE(ParseGuid(bad, &g)) << bad;
  OLECHAR text[39];
  EXPECT_EQ(39, StringFromGUID2(g, text, 39));
  EXPECT_EQ(0, StringFromGUID2(g, text, 38));
  GUID back;
  EXPECT_EQ(S_OK, IIDFromString(text, &back));
  EXPECT_TRUE(IsEqualGUID(g, back));
  EXPECT_EQ(CO_E_CLASSSTRING, IIDFromString(u"{nonsense}", &back));
}

TEST(GlobalMemoryTest, SizeIsKeptAndNullIsHarmless) {
  HGLOBAL block = GlobalAlloc(GPTR, 100);
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(100u, GlobalSize(block));
  EXPECT_EQ(0, static_cast<char*>(block)[99]);
  EXPECT_EQ(nullptr, GlobalFree(block));
  EXPECT_EQ(nullptr, GlobalFree(nullptr));
}

TEST(ErrorInfoTest, SetThenGetClearsTheSlot) {
  ICreateErrorInfo* create = nullptr;
  ASSERT_EQ(S_OK, CreateErrorInfo(&create));
  create->SetDescription(const_cast<LPOLESTR>(u"broken"));
  IErrorInfo* info = nullptr;
  create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
  create->Release();
  SetErrorInfo(0, info);
  info->Release();
  IErrorInfo* got = nullptr;
  ASSERT_EQ(S_OK, GetErrorInfo(0, &got));
  BSTR text = nullptr;
  got->GetDescription(&text);
  EXPECT_EQ("broken", BstrToUtf8(text));
  SysFreeString(text);
  got->Release();
  EXPECT_EQ(S_FALSE, GetErrorInfo(0, &got));
}

}  // namespace
}  // namespace tavo

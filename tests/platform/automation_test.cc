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

TEST(VariantTest, TextAndDoublesConvertOnlyWhatTheTargetHolds) {
  struct Case {
    const char16_t* text;  // null: the R8 value below is the source
    double value;
    VARTYPE to;
    HRESULT hr;
    double expect;
  } cases[] = {
      {u" -1.5e2 ", 0, VT_R8, S_OK, -150},
      {u"1e-400", 0, VT_R8, S_OK, 0},  // too small for a double: the nearest one
      {u"1e400", 0, VT_R8, DISP_E_OVERFLOW, 0},
      {u"1e400", 0, VT_I4, DISP_E_OVERFLOW, 0},
      {u"1e300", 0, VT_R4, DISP_E_OVERFLOW, 0},
      {nullptr, 1e300, VT_R4, DISP_E_OVERFLOW, 0},
      {nullptr, -1e39, VT_R4, DISP_E_OVERFLOW, 0},
      {nullptr, 3e38, VT_R4, S_OK, 3e38f},
      {u"nan", 0, VT_R8, DISP_E_TYPEMISMATCH, 0},
      {u"inf", 0, VT_R8, DISP_E_TYPEMISMATCH, 0},
      {u"-Infinity", 0, VT_R4, DISP_E_TYPEMISMATCH, 0},
      {u"0x10", 0, VT_I4, DISP_E_TYPEMISMATCH, 0},
      {u"1e", 0, VT_R8, DISP_E_TYPEMISMATCH, 0},
      {u".", 0, VT_R8, DISP_E_TYPEMISMATCH, 0},
      {u"", 0, VT_R8, DISP_E_TYPEMISMATCH, 0},
  };
  for (const Case& c : cases) {
    VARIANT src, dst;
    VariantInit(&src);
    VariantInit(&dst);
    if (c.text != nullptr) {
      src.vt = VT_BSTR;
      src.bstrVal = SysAllocString(c.text);
    } else {
      src.vt = VT_R8;
      src.dblVal = c.value;
    }
    const std::string what = c.text != nullptr ? Utf16ToUtf8(c.text) : std::to_string(c.value);
    EXPECT_EQ(c.hr, VariantChangeType(&dst, &src, 0, c.to)) << what << " -> " << c.to;
    if (c.hr == S_OK) {
      EXPECT_EQ(c.expect, c.to == VT_R4 ? dst.fltVal : dst.dblVal) << what;
    }
    VariantClear(&src);
    VariantClear(&dst);
  }
}

TEST(VariantTest, ReferencesAreFollowedOnce) {
  LONG target = 9;
  VARIANT to_long, outer, a, b, dst;
  VariantInit(&dst);
  to_long.vt = VT_BYREF | VT_I4;
  to_long.plVal = &target;
  outer.vt = VT_BYREF | VT_VARIANT;
  outer.pvarVal = &to_long;
  ASSERT_EQ(S_OK, VariantChangeType(&dst, &outer, 0, VT_I2));
  EXPECT_EQ(9, dst.iVal);
  // Two references to variants that refer to each other: a status, not a loop.
  a.vt = b.vt = VT_BYREF | VT_VARIANT;
  a.pvarVal = &b;
  b.pvarVal = &a;
  EXPECT_EQ(DISP_E_BADVARTYPE, VariantChangeType(&dst, &a, 0, VT_I4));
}

TEST(VariantTest, CopiesKeepOddLengthByteStrings) {
  VARIANT v, copy;
  VariantInit(&copy);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringByteLen("xyz", 3);
  ASSERT_EQ(S_OK, VariantCopy(&copy, &v));
  ASSERT_EQ(3u, SysStringByteLen(copy.bstrVal));
  EXPECT_EQ(0, std::memcmp(copy.bstrVal, "xyz", 3));
  SAFEARRAY* a = SafeArrayCreateVector(VT_BSTR, 0, 1);
  const LONG i = 0;
  ASSERT_EQ(S_OK, SafeArrayPutElement(a, &i, v.bstrVal));
  BSTR out = nullptr;
  ASSERT_EQ(S_OK, SafeArrayGetElement(a, &i, &out));
  EXPECT_EQ(3u, SysStringByteLen(out));
  SysFreeString(out);
  SafeArrayDestroy(a);
  VariantClear(&v);
  VariantClear(&copy);
}

TEST(SafeArrayTest, BothBoundsMustBeLongs) {
  struct Case {
    LONG lower;
    ULONG count;
    bool made;
  } cases[] = {
      {INT32_MAX, 1, true}, {INT32_MAX, 2, false}, {INT32_MAX - 9, 10, true}, {1, 0x7FFFFFFF / 4 + 1, false},
      {INT32_MIN, 1, true}, {INT32_MIN, 0, false},  // upper bound lower - 1
  };
  for (const Case& c : cases) {
    SAFEARRAY* a = SafeArrayCreateVector(VT_I4, c.lower, c.count);
    EXPECT_EQ(c.made, a != nullptr) << c.lower << " + " << c.count;
    if (a == nullptr) continue;
    LONG lo, hi;
    SafeArrayGetLBound(a, 1, &lo);
    SafeArrayGetUBound(a, 1, &hi);
    EXPECT_EQ(c.lower, lo);
    EXPECT_EQ(int64_t{c.lower} + c.count - 1, hi);
    SafeArrayDestroy(a);
  }
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

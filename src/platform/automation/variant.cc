// Variants: initialisation, release, deep copy and the type changes that the
// interfaces' parameter types need (integers, booleans, doubles, strings,
// interfaces). Sources given by reference (VT_BYREF) are read through.
#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <cmath>
#include <string>

#include "platform/automation/utf.h"
#include "tavo/automation.h"

namespace {

constexpr HRESULT DISP_E_ARRAYISLOCKED_ = TAVO_HR(0x8002000D);

// The variant a VT_BYREF variant refers to, as a plain (non-reference) value
// that borrows the referent's resources. A VT_BYREF|VT_VARIANT may refer to
// a plain value or to a reference to one, but not to another
// VT_BYREF|VT_VARIANT: two such variants could refer to each other.
bool Deref(const VARIANT* src, VARIANT* out) {
  if (src->vt == (VT_BYREF | VT_VARIANT)) {
    src = src->pvarVal;
    if (src == nullptr || src->vt == (VT_BYREF | VT_VARIANT)) return false;
  }
  *out = *src;
  if ((src->vt & VT_BYREF) == 0) return true;
  if (src->byref == nullptr) return false;
  const VARTYPE base = src->vt & ~VT_BYREF;
  out->vt = base;
  out->llVal = 0;
  if (base & VT_ARRAY) {
    out->parray = *src->pparray;
    return true;
  }
  switch (base) {
    case VT_I2: case VT_UI2: case VT_BOOL: out->iVal = *src->piVal; return true;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_ERROR:
      out->lVal = *src->plVal; return true;
    case VT_I1: case VT_UI1: out->bVal = *src->pbVal; return true;
    case VT_I8: case VT_UI8: out->llVal = *src->pllVal; return true;
    case VT_R4: out->fltVal = *reinterpret_cast<FLOAT*>(src->byref); return true;
    case VT_R8: case VT_DATE: out->dblVal = *src->pdblVal; return true;
    case VT_BSTR: out->bstrVal = *src->pbstrVal; return true;
    case VT_DISPATCH: out->pdispVal = *src->ppdispVal; return true;
    case VT_UNKNOWN: out->punkVal = *src->ppunkVal; return true;
    default: return false;
  }
}

// A number as automation reads text: white space, an optional sign, digits
// with at most one decimal point, an optional exponent, white space. Words such as
// "nan" or "inf" and hexadecimal forms are no numbers (DISP_E_TYPEMISMATCH);
// a number beyond the range of a double is DISP_E_OVERFLOW, one too small for
// it reads as the nearest double (0 or a denormal).
HRESULT ParseNumber(const std::string& text, double* out) {
  size_t i = 0;
  const auto skip_blanks = [&] {
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  };
  const auto skip_digits = [&] {
    const size_t from = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - from;
  };
  skip_blanks();
  const size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = skip_digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    digits += skip_digits();
  }
  if (digits == 0) return DISP_E_TYPEMISMATCH;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (skip_digits() == 0) return DISP_E_TYPEMISMATCH;
  }
  const size_t end = i;
  skip_blanks();
  if (i != text.size()) return DISP_E_TYPEMISMATCH;
  // The syntax is checked; strtod in the "C" locale gives the value, whatever
  // locale the host has set.
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
  const std::string number = text.substr(start, end - start);
  errno = 0;
  const double d = strtod_l(number.c_str(), nullptr, c_locale);
  if (errno == ERANGE && std::isinf(d)) return DISP_E_OVERFLOW;
  *out = d;
  return S_OK;
}

// Integral value of a scalar variant; false when it is no number.
bool ToInteger(const VARIANT& v, int64_t* out, bool* is_number) {
  *is_number = true;
  switch (v.vt) {
    case VT_EMPTY: *out = 0; return true;
    case VT_I1: *out = static_cast<signed char>(v.cVal); return true;
    case VT_UI1: *out = v.bVal; return true;
    case VT_I2: *out = v.iVal; return true;
    case VT_UI2: *out = v.uiVal; return true;
    case VT_BOOL: *out = v.boolVal ? -1 : 0; return true;
    case VT_I4: case VT_INT: case VT_ERROR: *out = v.lVal; return true;
    case VT_UI4: case VT_UINT: *out = v.ulVal; return true;
    case VT_I8: *out = v.llVal; return true;
    case VT_UI8:
      if (v.ullVal > static_cast<uint64_t>(INT64_MAX)) return false;
      *out = static_cast<int64_t>(v.ullVal);
      return true;
    case VT_R4: case VT_R8: {
      const double d = v.vt == VT_R4 ? v.fltVal : v.dblVal;
      if (!std::isfinite(d) || d < -9.2e18 || d > 9.2e18) return false;
      *out = static_cast<int64_t>(std::nearbyint(d));  // banker's rounding, as automation does
      return true;
    }
    case VT_BSTR: {
      const std::string text = tavo::BstrToUtf8(v.bstrVal);
      if (text == "True" || text == "true" || text == "#TRUE#") return *out = -1, true;
      if (text == "False" || text == "false" || text == "#FALSE#") return *out = 0, true;
      double d;
      const HRESULT hr = ParseNumber(text, &d);
      *is_number = hr != DISP_E_TYPEMISMATCH;
      if (hr != S_OK || d < -9.2e18 || d > 9.2e18) return false;
      *out = static_cast<int64_t>(std::nearbyint(d));
      return true;
    }
    default:
      *is_number = false;
      return false;
  }
}

HRESULT ToDouble(const VARIANT& v, double* out) {
  if (v.vt == VT_R8 || v.vt == VT_DATE) return *out = v.dblVal, S_OK;
  if (v.vt == VT_R4) return *out = v.fltVal, S_OK;
  if (v.vt == VT_BSTR) return ParseNumber(tavo::BstrToUtf8(v.bstrVal), out);
  int64_t i;
  bool is_number;
  if (!ToInteger(v, &i, &is_number)) return is_number ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
  *out = static_cast<double>(i);
  return S_OK;
}

BSTR ToText(const VARIANT& v, HRESULT* hr) {
  *hr = S_OK;
  std::string text;
  switch (v.vt) {
    case VT_EMPTY: break;
    case VT_BOOL: text = v.boolVal ? "True" : "False"; break;
    case VT_R4: case VT_R8: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.15g", v.vt == VT_R4 ? v.fltVal : v.dblVal);
      text = buf;
      break;
    }
    default: {
      int64_t i;
      bool is_number;
      if (!ToInteger(v, &i, &is_number)) {
        *hr = DISP_E_TYPEMISMATCH;
        return nullptr;
      }
      text = v.vt == VT_UI8 ? std::to_string(v.ullVal) : std::to_string(i);
    }
  }
  BSTR s = tavo::BstrFromUtf8(text);
  if (s == nullptr) *hr = E_OUTOFMEMORY;
  return s;
}

struct IntRange {
  VARTYPE vt;
  int64_t lo, hi;
};
constexpr IntRange kIntRanges[] = {
    {VT_I1, -128, 127},         {VT_UI1, 0, 255},
    {VT_I2, -32768, 32767},     {VT_UI2, 0, 65535},
    {VT_I4, INT32_MIN, INT32_MAX}, {VT_INT, INT32_MIN, INT32_MAX},
    {VT_UI4, 0, UINT32_MAX},    {VT_UINT, 0, UINT32_MAX},
    {VT_I8, INT64_MIN, INT64_MAX}, {VT_ERROR, INT32_MIN, INT32_MAX},
};

// Sets `out` (already cleared) to the value of plain variant `v` as type vt.
HRESULT Convert(const VARIANT& v, VARTYPE vt, VARIANT* out) {
  if (v.vt == vt) return VariantCopy(out, &v);
  out->llVal = 0;
  for (const IntRange& r : kIntRanges) {
    if (r.vt != vt) continue;
    int64_t i;
    bool is_number;
    if (!ToInteger(v, &i, &is_number)) return is_number ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
    if (i < r.lo || i > r.hi) return DISP_E_OVERFLOW;
    out->vt = vt;
    out->llVal = i;  // little-endian: the narrow members read the low bytes
    if (vt == VT_I2) out->iVal = static_cast<SHORT>(i);
    if (vt == VT_I4 || vt == VT_INT || vt == VT_ERROR) out->lVal = static_cast<LONG>(i);
    return S_OK;
  }
  HRESULT hr = S_OK;
  switch (vt) {
    case VT_EMPTY:
      out->vt = VT_EMPTY;
      return S_OK;
    case VT_BOOL: {
      int64_t i;
      bool is_number;
      if (!ToInteger(v, &i, &is_number)) return is_number ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
      out->vt = VT_BOOL;
      out->boolVal = i ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    case VT_R8: case VT_R4: case VT_DATE: {
      double d;
      if ((hr = ToDouble(v, &d)) != S_OK) return hr;
      if (vt == VT_R4) {
        const auto f = static_cast<FLOAT>(d);
        if (std::isinf(f) && !std::isinf(d)) return DISP_E_OVERFLOW;
        out->fltVal = f;
      } else {
        out->dblVal = d;
      }
      out->vt = vt;
      return S_OK;
    }
    case VT_BSTR: {
      BSTR s = ToText(v, &hr);
      if (FAILED(hr)) return hr;
      out->vt = VT_BSTR;
      out->bstrVal = s;
      return S_OK;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH: {
      if (v.vt != VT_UNKNOWN && v.vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
      IUnknown* unk = v.punkVal;
      out->vt = vt;
      out->punkVal = nullptr;
      if (unk == nullptr) return S_OK;
      if (vt == VT_UNKNOWN) return unk->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&out->punkVal));
      hr = unk->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&out->pdispVal));
      if (FAILED(hr)) out->vt = VT_EMPTY;
      return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
    }
    default:
      return DISP_E_BADVARTYPE;
  }
}

}  // namespace

TAVO_AUTO_API void VariantInit(VARIANT* v) {
  if (v == nullptr) return;
  v->vt = VT_EMPTY;
  v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
  v->brecVal.pvRecord = v->brecVal.pRecInfo = nullptr;
}

TAVO_AUTO_API HRESULT VariantClear(VARIANT* v) {
  if (v == nullptr) return E_INVALIDARG;
  if ((v->vt & VT_BYREF) == 0) {
    if (v->vt & VT_ARRAY) {
      if (v->parray != nullptr) {
        const HRESULT hr = SafeArrayDestroy(v->parray);
        if (hr == DISP_E_ARRAYISLOCKED_) return hr;
      }
    } else {
      switch (v->vt) {
        case VT_BSTR: SysFreeString(v->bstrVal); break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
          if (v->punkVal != nullptr) v->punkVal->Release();
          break;
        default: break;
      }
    }
  }
  VariantInit(v);
  return S_OK;
}

TAVO_AUTO_API HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if (dest == src) return S_OK;
  VARIANT copy = *src;
  if ((src->vt & VT_BYREF) == 0) {
    if (src->vt & VT_ARRAY) {
      if (src->parray != nullptr) {
        const HRESULT hr = SafeArrayCopy(src->parray, &copy.parray);
        if (FAILED(hr)) return hr;
      }
    } else if (src->vt == VT_BSTR) {
      if (src->bstrVal != nullptr) {
        // By bytes: a string made by SysAllocStringByteLen may have an odd length.
        copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<const char*>(src->bstrVal),
                                             SysStringByteLen(src->bstrVal));
        if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
      }
    } else if (src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) {
      if (src->punkVal != nullptr) src->punkVal->AddRef();
    }
  }
  VariantClear(dest);
  *dest = copy;
  return S_OK;
}

TAVO_AUTO_API HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  VARIANT plain;
  if (!Deref(src, &plain)) return DISP_E_BADVARTYPE;
  VARIANT result;
  VariantInit(&result);
  const HRESULT hr = Convert(plain, vt, &result);
  if (FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  VariantClear(dest);  // dest may be src: plain borrowed nothing we still need
  *dest = result;
  return S_OK;
}

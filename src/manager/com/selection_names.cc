#include "manager/com/selection_names.h"

#include <new>

#include "platform/automation/utf.h"

namespace tavo {
namespace {

constexpr VARTYPE kStringArray = VT_ARRAY | VT_BSTR;

// The array `files` carries, in *array (null for a null array); false for a
// variant of another kind.
bool ArrayOf(const VARIANT& files, SAFEARRAY** array) {
  const VARIANT* v = &files;
  if (v->vt == (VT_BYREF | VT_VARIANT)) {
    v = v->pvarVal;
    if (v == nullptr) return false;
  }
  if (v->vt == kStringArray) {
    *array = v->parray;
    return true;
  }
  if (v->vt == (VT_BYREF | kStringArray) && v->pparray != nullptr) {
    *array = *v->pparray;
    return true;
  }
  return false;
}

}  // namespace

HRESULT SelectionNames(const VARIANT& files, std::vector<std::string>* names) noexcept try {
  names->clear();
  SAFEARRAY* array = nullptr;
  if (!ArrayOf(files, &array)) return E_INVALIDARG;
  if (array == nullptr) return S_OK;
  VARTYPE element = VT_EMPTY;
  if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetVartype(array, &element)) || element != VT_BSTR) {
    return E_INVALIDARG;
  }
  LONG lower = 0, upper = -1;
  if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper))) {
    return E_INVALIDARG;
  }
  if (upper < lower) return S_OK;
  BSTR* strings = nullptr;
  if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&strings)))) return E_INVALIDARG;
  HRESULT hr = S_OK;
  try {
    const size_t count = static_cast<size_t>(static_cast<int64_t>(upper) - lower + 1);
    names->reserve(count);
    for (size_t i = 0; i < count; ++i) names->push_back(BstrToUtf8(strings[i]));
  } catch (const std::bad_alloc&) {
    names->clear();
    hr = E_OUTOFMEMORY;
  }
  SafeArrayUnaccessData(array);
  return hr;
} catch (const std::bad_alloc&) {
  return E_OUTOFMEMORY;
}

}  // namespace tavo

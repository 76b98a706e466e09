/* A host written in C loads the module with dlopen, gets the timestamp's
 * class object through DllGetClassObject, creates one, sets it through the
 * vtable and reads it back through IDispatch::Invoke. */
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

#include "tavo/tavo.h"

typedef HRESULT (*GetClassObjectFn)(REFCLSID, REFIID, void**);

static int failures = 0;
#define CHECK(cond)                                               \
  do {                                                            \
    if (!(cond)) {                                                \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                 \
    }                                                             \
  } while (0)

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  CHECK(module != NULL);
  if (module == NULL) return 1;
  GetClassObjectFn get_class_object = (GetClassObjectFn)dlsym(module, "DllGetClassObject");
  CHECK(get_class_object != NULL);

  IClassFactory* factory = NULL;
  CHECK(get_class_object(&CLSID_TavoPL2Timestamp, &IID_IClassFactory, (void**)&factory) == S_OK);
  ITavoPL2Timestamp* stamp = NULL;
  CHECK(factory->lpVtbl->CreateInstance(factory, NULL, &IID_ITavoPL2Timestamp, (void**)&stamp) == S_OK);
  factory->lpVtbl->Release(factory);

  BSTR text = SysAllocString(u"2007/3/5:14:7");
  CHECK(stamp->lpVtbl->SetAsString(stamp, text) == S_OK);
  SysFreeString(text);
  LONG month = 0;
  CHECK(stamp->lpVtbl->get_Month(stamp, &month) == S_OK && month == 3);
  CHECK(stamp->lpVtbl->get_Month(stamp, NULL) == 87);

  /* Through dispatch: GetIDsOfNames then Invoke with no arguments. */
  IDispatch* dispatch = NULL;
  CHECK(stamp->lpVtbl->QueryInterface(stamp, &IID_IDispatch, (void**)&dispatch) == S_OK);
  LPOLESTR name = (LPOLESTR)u"GetAsString";
  DISPID id = 0;
  CHECK(dispatch->lpVtbl->GetIDsOfNames(dispatch, &IID_NULL, &name, 1, 0, &id) == S_OK);
  DISPPARAMS none = {NULL, NULL, 0, 0};
  VARIANT result;
  VariantInit(&result);
  CHECK(dispatch->lpVtbl->Invoke(dispatch, id, &IID_NULL, 0, DISPATCH_METHOD, &none, &result, NULL, NULL) == S_OK);
  CHECK(result.vt == VT_BSTR);
  const OLECHAR expected[] = u"2007:03:05:14:07";
  CHECK(SysStringLen(result.bstrVal) == 16 && memcmp(result.bstrVal, expected, sizeof expected) == 0);
  VariantClear(&result);
  dispatch->lpVtbl->Release(dispatch);
  stamp->lpVtbl->Release(stamp);

  typedef HRESULT (*CanUnloadFn)(void);
  CanUnloadFn can_unload = (CanUnloadFn)dlsym(module, "DllCanUnloadNow");
  CHECK(can_unload != NULL && can_unload() == S_OK);

  printf("c_host_test: %d passed, %d failed\n", failures ? 0 : 1, failures ? 1 : 0);
  return failures ? 1 : 0;
}

// A module whose DllGetClassObject answers S_OK but hands out no class object,
// the way a broken or hostile module might. creation_test.cc registers it.
#include "tavo/automation.h"

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID, REFIID, void** out) {
  if (out != nullptr) *out = nullptr;
  return S_OK;
}

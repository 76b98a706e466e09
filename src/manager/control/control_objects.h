// Creation of objects that the recognition-service control's library
// implements (tag readers, disc objects): through the control module's own
// DllGetClassObject when the host named that module with DllSetTavoHINST,
// else through ordinary creation by class identifier from the registry.
#ifndef TAVO_MANAGER_CONTROL_CONTROL_OBJECTS_H_
#define TAVO_MANAGER_CONTROL_CONTROL_OBJECTS_H_

#include "tavo/automation.h"

namespace tavo {

using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);

// Stores the control module and looks up its "DllGetClassObject"; a null
// handle clears both.
void SetControlModule(HMODULE module);
HRESULT CreateControlObject(REFCLSID clsid, REFIID iid, void** ppv);

}  // namespace tavo

#endif  // TAVO_MANAGER_CONTROL_CONTROL_OBJECTS_H_

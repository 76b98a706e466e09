/* The C side of the interface checks: the slot of every member in the C
 * view, made from the descriptions themselves (see interface_checks_test.cc). */
#include "interface_slots.h"

#include "tavo/control.h"
#include "tavo/tavo.h"

#define C_SLOT_ENTRY(T, id, kind, Method, rv, ...) {#T, #Method, offsetof(T##Vtbl, Method) / sizeof(void*)},
#define TAVO_DESCRIBED(I) TAVO_CHAIN(I, C_SLOT_ENTRY, I)

const struct InterfaceSlot kCInterfaceSlots[] = {
#include "platform/com/description_table_begin.h"
#include "tavo/standard_interfaces.def"
#include "tavo/interfaces.def"
#include "tavo/control_interfaces.def"
#include "platform/com/description_table_end.h"
};
const size_t kCInterfaceSlotCount = sizeof kCInterfaceSlots / sizeof kCInterfaceSlots[0];

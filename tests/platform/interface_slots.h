/* One vtable slot of a described interface: the member's position in the
 * vtable, as one language view computes it. Shared by the C side
 * (interface_slots.c) and the C++ side of the interface checks. */
#ifndef TAVO_TESTS_PLATFORM_INTERFACE_SLOTS_H_
#define TAVO_TESTS_PLATFORM_INTERFACE_SLOTS_H_

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

struct InterfaceSlot {
  const char* interface_name;
  const char* method;
  size_t slot;
};

/* Every member of every interface of the standard, component and control
 * descriptions, each interface with its whole chain, as the C view has it:
 * offsetof the member in the C vtable struct divided by a pointer's size. */
extern const struct InterfaceSlot kCInterfaceSlots[];
extern const size_t kCInterfaceSlotCount;

#ifdef __cplusplus
}
#endif

#endif /* TAVO_TESTS_PLATFORM_INTERFACE_SLOTS_H_ */

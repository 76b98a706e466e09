// Checks made from the interface descriptions themselves (standard,
// component and control), so that no member can be left out: every member
// of every interface's chain
//  - has the same slot in the C view (interface_slots.c: offsetof in the C
//    vtable struct) as in the C++ view (its index in the C++ vtable);
//  - has a (dispatch id, kind) pair of its own within its interface;
//  - ends in a pointer parameter when it is a retval member.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "interface_slots.h"
#include "tavo/control.h"
#include "tavo/tavo.h"

namespace tavo {
namespace {

// Itanium C++ ABI (gcc and clang on Linux): a pointer to a virtual member
// function holds 1 plus the member's offset into the vtable, in bytes.
template <class M>
size_t VtableIndex(M member) {
  struct Representation {
    uintptr_t ptr;
    ptrdiff_t adjustment;
  };
  static_assert(sizeof(M) == sizeof(Representation));
  Representation r;
  std::memcpy(&r, &member, sizeof r);
  return (r.ptr & 1) ? (r.ptr - 1) / sizeof(void*) : SIZE_MAX;
}

template <class C, class... A>
constexpr bool EndsInPointer(HRESULT (STDMETHODCALLTYPE C::*)(A...)) {
  if constexpr (sizeof...(A) == 0) {
    return false;
  } else {
    return std::is_pointer_v<std::tuple_element_t<sizeof...(A) - 1, std::tuple<A...>>>;
  }
}

struct Member {
  std::string interface_name;
  std::string method;
  size_t slot;
  DISPID id;
  int kind;
  bool retval;
  bool ends_in_pointer;
};

#define CXX_MEMBER(T, id, kind, Method, rv, ...) \
  Member{#T, #Method, VtableIndex(&T::Method), id, TAVO_KIND_##kind, TAVO_RV_##rv != 0, EndsInPointer(&T::Method)},
#define TAVO_DESCRIBED(I) TAVO_CHAIN(I, CXX_MEMBER, I)

const std::vector<Member>& CxxMembers() {
  static const std::vector<Member> members = {
#include "platform/com/description_table_begin.h"
#include "tavo/standard_interfaces.def"
#include "tavo/interfaces.def"
#include "tavo/control_interfaces.def"
#include "platform/com/description_table_end.h"
  };
  return members;
}

std::string NameOf(const std::string& interface_name, const std::string& method) {
  return interface_name + "::" + method;
}

TEST(InterfaceChecksTest, EveryMemberHasTheSameSlotInTheCAndCxxViews) {
  std::map<std::string, size_t> c_slots;
  for (size_t i = 0; i < kCInterfaceSlotCount; ++i) {
    const InterfaceSlot& s = kCInterfaceSlots[i];
    c_slots[NameOf(s.interface_name, s.method)] = s.slot;
  }
  ASSERT_EQ(c_slots.size(), CxxMembers().size()) << "the views list different members";
  for (const Member& m : CxxMembers()) {
    const std::string name = NameOf(m.interface_name, m.method);
    const auto c = c_slots.find(name);
    ASSERT_NE(c, c_slots.end()) << name << " is missing from the C view";
    EXPECT_EQ(c->second, m.slot) << name << ": C slot " << c->second << ", C++ vtable index " << m.slot;
  }
}

TEST(InterfaceChecksTest, DispatchIdAndKindArePairedOncePerInterface) {
  std::map<std::string, std::set<std::pair<DISPID, int>>> seen;
  for (const Member& m : CxxMembers()) {
    if (m.kind == TAVO_KIND_VTBL) continue;
    EXPECT_TRUE(seen[m.interface_name].insert({m.id, m.kind}).second)
        << NameOf(m.interface_name, m.method) << " repeats dispatch id " << m.id << " of kind " << m.kind;
  }
  EXPECT_GT(seen.size(), 30u);  // the walk reached the component's and the control's interfaces
}

TEST(InterfaceChecksTest, RetvalMembersEndInAPointer) {
  for (const Member& m : CxxMembers()) {
    if (m.retval) {
      EXPECT_TRUE(m.ends_in_pointer) << NameOf(m.interface_name, m.method);
    }
  }
}

}  // namespace
}  // namespace tavo

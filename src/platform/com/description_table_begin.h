// Included, with description_table_end.h after it, around the inclusion of
// an interface description (a .def file of include/tavo) inside an array
// initializer: each TAVO_INTERFACE(I, ...) line becomes TAVO_DESCRIBED(I),
// which the including file defines, and nothing else of the description
// leaves a trace. For example, the interfaces a type library registers:
//
//   #define TAVO_DESCRIBED(I) {#I, &IID_##I},
//   constexpr ServedInterface kInterfaces[] = {
//   #include "platform/com/description_table_begin.h"
//   #include "tavo/interfaces.def"
//   #include "platform/com/description_table_end.h"
//   };
//
// The three macros get their usual meanings back at the end.
#pragma push_macro("TAVO_FORWARD")
#pragma push_macro("TAVO_INTERFACE")
#pragma push_macro("TAVO_DISPINTERFACE")
#undef TAVO_FORWARD
#undef TAVO_INTERFACE
#undef TAVO_DISPINTERFACE
#define TAVO_FORWARD(I)
#define TAVO_INTERFACE(I, ...) TAVO_DESCRIBED(I)
#define TAVO_DISPINTERFACE(I, ...)

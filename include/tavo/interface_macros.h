/* Declaring interfaces from one description.
 *
 * Each interface is described once, as a member list macro:
 *
 *   #define TAVO_OWN_IFoo(X, T) \
 *     X(T, 1, PROPGET, get_Count, Count, RV,   LONG* count) \
 *     X(T, 2, METHOD,  Clear,     Clear, NORV)
 *   #define TAVO_SLOTS_IFoo(X, T) TAVO_SLOTS_IDispatch(X, T) TAVO_OWN_IFoo(X, T)
 *   TAVO_INTERFACE(IFoo, IDispatch, 0x..., 0x..., 0x..., 0x.., ...)
 *
 * A member is (interface, dispatch id, kind, vtable method name, dispatch name,
 * whether the last parameter is the [out, retval] one, parameters). Kinds are
 * METHOD, PROPGET, PROPPUT, PROPPUTREF, and VTBL for slots that dispatch does
 * not reach (those of IUnknown and IDispatch and of non-automation interfaces).
 * The order of the list is the vtable order.
 *
 * From that one list TAVO_INTERFACE produces: the IID constant IID_IFoo; in C
 * a struct IFoo { const IFooVtbl* lpVtbl; } whose vtable starts with IUnknown's
 * three slots and continues with TAVO_SLOTS_IFoo; in C++ an abstract struct
 * deriving from its base, plus tavo::InterfaceTraits<IFoo> (IID, name, base,
 * and a visitor over the dispatchable members that the dispatch engine turns
 * into its GetIDsOfNames/Invoke table). */
#ifndef TAVO_INTERFACE_MACROS_H_
#define TAVO_INTERFACE_MACROS_H_

#define TAVO_KIND_METHOD 1
#define TAVO_KIND_PROPGET 2
#define TAVO_KIND_PROPPUT 4
#define TAVO_KIND_PROPPUTREF 8
#define TAVO_RV_RV true
#define TAVO_RV_NORV false

#ifdef __cplusplus

namespace tavo {
/* Specialized for every declared interface. */
template <class I>
struct InterfaceTraits;
}  // namespace tavo

#define TAVO_CXX_SLOT(T, id, kind, Method, Name, rv, ...) \
  virtual HRESULT STDMETHODCALLTYPE Method(__VA_ARGS__) = 0;

#define TAVO_VISIT_SLOT(T, id, kind, Method, Name, rv, ...) TAVO_VISIT_##kind(T, id, kind, Method, Name, rv)
#define TAVO_VISIT_VTBL(T, id, kind, Method, Name, rv)
#define TAVO_VISIT_MEMBER(T, id, kind, Method, Name, rv) \
  visitor.template Member<&T::Method, TAVO_KIND_##kind, TAVO_RV_##rv>(id, #Name);
#define TAVO_VISIT_METHOD TAVO_VISIT_MEMBER
#define TAVO_VISIT_PROPGET TAVO_VISIT_MEMBER
#define TAVO_VISIT_PROPPUT TAVO_VISIT_MEMBER
#define TAVO_VISIT_PROPPUTREF TAVO_VISIT_MEMBER

#define TAVO_FORWARD(I) struct I;

#define TAVO_INTERFACE(I, B, ...)                                        \
  TAVO_DEFINE_GUID(IID_##I, __VA_ARGS__);                                \
  struct I : public B {                                                  \
    TAVO_OWN_##I(TAVO_CXX_SLOT, I)                                       \
  };                                                                     \
  template <>                                                            \
  struct tavo::InterfaceTraits<I> {                                      \
    using Base = B;                                                      \
    static constexpr const IID& iid = IID_##I;                           \
    static constexpr const char* name = #I;                              \
    template <class Visitor>                                             \
    static void VisitMembers(Visitor& visitor) {                         \
      TAVO_SLOTS_##I(TAVO_VISIT_SLOT, I)                                 \
    }                                                                    \
  };

#else /* C */

#define TAVO_C_SLOT(T, id, kind, Method, Name, rv, ...) \
  HRESULT(STDMETHODCALLTYPE* Method)(T * This __VA_OPT__(, ) __VA_ARGS__);
#define TAVO_C_IUNKNOWN_SLOTS(T)                                               \
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(T * This, REFIID riid, void** ppv); \
  ULONG(STDMETHODCALLTYPE* AddRef)(T * This);                                  \
  ULONG(STDMETHODCALLTYPE* Release)(T * This);

#define TAVO_FORWARD(I) typedef struct I I;

#define TAVO_INTERFACE(I, B, ...)                  \
  TAVO_DEFINE_GUID(IID_##I, __VA_ARGS__);          \
  typedef struct I I;                              \
  typedef struct I##Vtbl {                         \
    TAVO_C_IUNKNOWN_SLOTS(I)                       \
    TAVO_SLOTS_##I(TAVO_C_SLOT, I)                 \
  } I##Vtbl;                                       \
  struct I {                                       \
    const struct I##Vtbl* lpVtbl;                  \
  };

#endif /* __cplusplus */

/* An outgoing dispatch-only interface (events): its IID and one constant per
 * member, DISPID_<interface>_<name>. Sinks implement plain IDispatch. */
#define TAVO_DISPID_ENUM(T, id, kind, Method, Name, rv, ...) DISPID_##T##_##Name = id,
#define TAVO_DISPINTERFACE(I, ...)        \
  TAVO_DEFINE_GUID(DIID_##I, __VA_ARGS__); \
  enum { TAVO_OWN_##I(TAVO_DISPID_ENUM, I) };

#endif /* TAVO_INTERFACE_MACROS_H_ */

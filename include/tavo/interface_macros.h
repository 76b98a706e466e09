/* Declaring interfaces from one description.
 *
 * Each interface is described once: the name of its base, and its own
 * members in vtable order:
 *
 *   #define TAVO_BASE_IFoo IDispatch
 *   #define TAVO_OWN_IFoo(X, T)                                   \
 *     X(T, 1, PROPGET, get_Count, RV,   (LONG*, count))           \
 *     X(T, 2, METHOD,  Add,       NORV, (LONG, where), (BSTR, text))
 *   TAVO_INTERFACE(IFoo, 0x..., 0x..., 0x..., 0x.., ...)
 *
 * A member is X(interface, dispatch id, kind, method name, retval,
 * parameters), each parameter a (type, name) pair. Kinds are METHOD,
 * PROPGET, PROPPUT, PROPPUTREF, and VTBL for slots that dispatch does not
 * reach (those of IDispatch itself and of non-automation interfaces). RV
 * says that the last parameter is the [out, retval] one. The dispatch name
 * is the method name without its property prefix ("get_", "put_",
 * "putref_"), which the kind demands: a PROPGET named anything but get_...
 * does not compile.
 *
 * A description is only macro definitions and TAVO_FORWARD, TAVO_INTERFACE
 * and TAVO_DISPINTERFACE lines, so a .def file can be included again with
 * those three redefined to make tables of its interfaces (the interface
 * checks in tests/platform do).
 *
 * From the description TAVO_INTERFACE produces: the IID constant IID_IFoo;
 * in C a struct IFoo { const IFooVtbl* lpVtbl; } whose vtable holds
 * IUnknown's three slots and then the members of every interface of the
 * chain, root first; in C++ an abstract struct deriving from its base, plus
 * tavo::InterfaceTraits<IFoo>: IID, name, base, a visitor over the own
 * members (which the dispatch engine turns into its GetIDsOfNames/Invoke
 * table) and Forwarders, the layer that overrides every own member to call
 * the implementation inside the object's exception guard (see
 * src/platform/com/object.h). */
#ifndef TAVO_INTERFACE_MACROS_H_
#define TAVO_INTERFACE_MACROS_H_

#define TAVO_KIND_VTBL 0
#define TAVO_KIND_METHOD 1
#define TAVO_KIND_PROPGET 2
#define TAVO_KIND_PROPPUT 4
#define TAVO_KIND_PROPPUTREF 8
#define TAVO_RV_RV 1
#define TAVO_RV_NORV 0

/* ---- Parameter lists ----------------------------------------------------
 * TAVO_PARAMS((LONG, a), (BSTR*, b)) is "LONG a, BSTR* b"; TAVO_ARGS of the
 * same is "a, b". Up to twelve parameters. */
#define TAVO_PP_CAT(a, b) TAVO_PP_CAT_(a, b)
#define TAVO_PP_CAT_(a, b) a##b
#define TAVO_PP_COUNT(...) TAVO_PP_COUNT_(__VA_OPT__(__VA_ARGS__, ) 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)
#define TAVO_PP_COUNT_(p1, p2, p3, p4, p5, p6, p7, p8, p9, p10, p11, p12, n, ...) n
#define TAVO_PP_MAP(f, ...) TAVO_PP_CAT(TAVO_PP_MAP_, TAVO_PP_COUNT(__VA_ARGS__))(f, __VA_ARGS__)
#define TAVO_PP_MAP_0(f, ...)
#define TAVO_PP_MAP_1(f, p) f p
#define TAVO_PP_MAP_2(f, p, ...) f p, TAVO_PP_MAP_1(f, __VA_ARGS__)
#define TAVO_PP_MAP_3(f, p, ...) f p, TAVO_PP_MAP_2(f, __VA_ARGS__)
#define TAVO_PP_MAP_4(f, p, ...) f p, TAVO_PP_MAP_3(f, __VA_ARGS__)
#define TAVO_PP_MAP_5(f, p, ...) f p, TAVO_PP_MAP_4(f, __VA_ARGS__)
#define TAVO_PP_MAP_6(f, p, ...) f p, TAVO_PP_MAP_5(f, __VA_ARGS__)
#define TAVO_PP_MAP_7(f, p, ...) f p, TAVO_PP_MAP_6(f, __VA_ARGS__)
#define TAVO_PP_MAP_8(f, p, ...) f p, TAVO_PP_MAP_7(f, __VA_ARGS__)
#define TAVO_PP_MAP_9(f, p, ...) f p, TAVO_PP_MAP_8(f, __VA_ARGS__)
#define TAVO_PP_MAP_10(f, p, ...) f p, TAVO_PP_MAP_9(f, __VA_ARGS__)
#define TAVO_PP_MAP_11(f, p, ...) f p, TAVO_PP_MAP_10(f, __VA_ARGS__)
#define TAVO_PP_MAP_12(f, p, ...) f p, TAVO_PP_MAP_11(f, __VA_ARGS__)
#define TAVO_PP_DECL(type, name) type name
#define TAVO_PP_NAME(type, name) name
#define TAVO_PARAMS(...) TAVO_PP_MAP(TAVO_PP_DECL, __VA_ARGS__)
#define TAVO_ARGS(...) TAVO_PP_MAP(TAVO_PP_NAME, __VA_ARGS__)

/* ---- The chain of bases -------------------------------------------------
 * IUnknown is the root; its three slots are declared by hand. TAVO_CHAIN
 * expands the members of I's bases, root first, and then I's own, with T as
 * the interface; six levels below IUnknown are enough, and a deeper chain
 * does not compile. */
#define TAVO_OWN_IUnknown(X, T)
#define TAVO_BASE_IUnknown TAVO_NO_BASE
#define TAVO_OWN_TAVO_NO_BASE(X, T)
#define TAVO_BASE_TAVO_NO_BASE TAVO_NO_BASE
#define TAVO_CHAIN_TOO_DEEP_TAVO_NO_BASE
#define TAVO_CHAIN(I, X, T) TAVO_CHAIN_6(I, X, T)
#define TAVO_CHAIN_6(I, X, T) TAVO_CHAIN_5_(TAVO_BASE_##I, X, T) TAVO_OWN_##I(X, T)
#define TAVO_CHAIN_5_(B, X, T) TAVO_CHAIN_5(B, X, T)
#define TAVO_CHAIN_5(I, X, T) TAVO_CHAIN_4_(TAVO_BASE_##I, X, T) TAVO_OWN_##I(X, T)
#define TAVO_CHAIN_4_(B, X, T) TAVO_CHAIN_4(B, X, T)
#define TAVO_CHAIN_4(I, X, T) TAVO_CHAIN_3_(TAVO_BASE_##I, X, T) TAVO_OWN_##I(X, T)
#define TAVO_CHAIN_3_(B, X, T) TAVO_CHAIN_3(B, X, T)
#define TAVO_CHAIN_3(I, X, T) TAVO_CHAIN_2_(TAVO_BASE_##I, X, T) TAVO_OWN_##I(X, T)
#define TAVO_CHAIN_2_(B, X, T) TAVO_CHAIN_2(B, X, T)
#define TAVO_CHAIN_2(I, X, T) TAVO_CHAIN_1_(TAVO_BASE_##I, X, T) TAVO_OWN_##I(X, T)
#define TAVO_CHAIN_1_(B, X, T) TAVO_CHAIN_1(B, X, T)
#define TAVO_CHAIN_1(I, X, T) TAVO_CHAIN_0_(TAVO_BASE_##I, X, T) TAVO_OWN_##I(X, T)
#define TAVO_CHAIN_0_(B, X, T) TAVO_CHAIN_0(B, X, T)
#define TAVO_CHAIN_0(I, X, T) TAVO_CHAIN_TOO_DEEP_##I

#ifdef __cplusplus

namespace tavo {

/* Specialized for every declared interface. */
template <class I>
struct InterfaceTraits;

/* The dispatch name of a member: its method name without the prefix its
 * kind demands. Evaluated at compile time; a wrong prefix does not compile. */
consteval const char* DispatchNameOf(const char* method, int kind) {
  const char* prefix = kind == TAVO_KIND_PROPGET      ? "get_"
                       : kind == TAVO_KIND_PROPPUT    ? "put_"
                       : kind == TAVO_KIND_PROPPUTREF ? "putref_"
                                                      : "";
  int n = 0;
  for (; prefix[n] != 0; ++n) {
    if (method[n] != prefix[n]) throw "a property member's name must start with its kind's prefix";
  }
  return method + n;
}

}  // namespace tavo

#define TAVO_CXX_SLOT(T, id, kind, Method, rv, ...) \
  virtual HRESULT STDMETHODCALLTYPE Method(TAVO_PARAMS(__VA_ARGS__)) = 0;

#define TAVO_VISIT_SLOT(T, id, kind, Method, rv, ...)                                             \
  visitor.template Member<&T::Method, TAVO_KIND_##kind, static_cast<bool>(TAVO_RV_##rv)>( \
      id, ::tavo::DispatchNameOf(#Method, TAVO_KIND_##kind), #Method);

/* Overrides member Method of T: the implementation's own Method, called
 * (not virtually) inside the guard that the layer below provides. */
#define TAVO_FORWARD_SLOT(T, id, kind, Method, rv, ...)                            \
  HRESULT STDMETHODCALLTYPE Method(TAVO_PARAMS(__VA_ARGS__)) override {            \
    return TavoBelow::template Guard<T>(#T "::" #Method, [&]() -> HRESULT {      \
      return this->TavoImpl::Method(TAVO_ARGS(__VA_ARGS__));                       \
    });                                                                            \
  }

#define TAVO_FORWARD(I) struct I;

#define TAVO_INTERFACE(I, ...)                                    \
  TAVO_DEFINE_GUID(IID_##I, __VA_ARGS__);                         \
  struct I : public TAVO_BASE_##I {                               \
    TAVO_OWN_##I(TAVO_CXX_SLOT, I)                                \
  };                                                              \
  template <>                                                     \
  struct tavo::InterfaceTraits<I> {                               \
    using Base = TAVO_BASE_##I;                                   \
    static constexpr const IID& iid = IID_##I;                    \
    static constexpr const char* name = #I;                       \
    /* visitor.Member<&I::M, kind, retval>(id, dispatch name, method name) per own member */ \
    template <class Visitor>                                      \
    static void VisitOwn([[maybe_unused]] Visitor& visitor) {     \
      TAVO_OWN_##I(TAVO_VISIT_SLOT, I)                            \
    }                                                             \
    template <class TavoBelow>                                    \
    struct Forwarders : TavoBelow {                               \
      using TavoBelow::TavoBelow;                                 \
      using TavoImpl = typename TavoBelow::Implementation;        \
      TAVO_OWN_##I(TAVO_FORWARD_SLOT, I)                          \
    };                                                            \
  };

#else /* C */

#define TAVO_C_SLOT(T, id, kind, Method, rv, ...) \
  HRESULT(STDMETHODCALLTYPE* Method)(T * This __VA_OPT__(, TAVO_PARAMS(__VA_ARGS__)));
#define TAVO_C_IUNKNOWN_SLOTS(T)                                               \
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(T * This, REFIID riid, void** ppv); \
  ULONG(STDMETHODCALLTYPE* AddRef)(T * This);                                  \
  ULONG(STDMETHODCALLTYPE* Release)(T * This);

#define TAVO_FORWARD(I) typedef struct I I;

#define TAVO_INTERFACE(I, ...)                  \
  TAVO_DEFINE_GUID(IID_##I, __VA_ARGS__);       \
  typedef struct I I;                           \
  typedef struct I##Vtbl {                      \
    TAVO_C_IUNKNOWN_SLOTS(I)                    \
    TAVO_CHAIN(I, TAVO_C_SLOT, I)               \
  } I##Vtbl;                                    \
  struct I {                                    \
    const struct I##Vtbl* lpVtbl;               \
  };

#endif /* __cplusplus */

/* An outgoing dispatch-only interface (events): its IID and one constant per
 * member, DISPID_<interface>_<method>. Sinks implement plain IDispatch. */
#define TAVO_DISPID_ENUM(T, id, kind, Method, rv, ...) DISPID_##T##_##Method = id,
#define TAVO_DISPINTERFACE(I, ...)        \
  TAVO_DEFINE_GUID(DIID_##I, __VA_ARGS__); \
  enum { TAVO_OWN_##I(TAVO_DISPID_ENUM, I) };

#endif /* TAVO_INTERFACE_MACROS_H_ */

#pragma once

// Building blocks of the "PPB_OpenGLES2;1.0" table (browser_opengles2.cpp):
// an entry that forwards a member to the GL function of the same name, an
// entry the host writes itself, and the table made of them, in member order,
// with that order checked while compiling.
#include <type_traits>

#include "devhost/browser/instance_graphics.h"
#include "devhost/gl/gl_api.h"
#include "host/ppapi/ppb_opengles2.h"

namespace pphost {

class GlContext;

// The GL context behind `context`, made current for a GL call; null when it
// is unknown, lost, or not one drawn with GL (browser_opengles2.cpp).
GlContext* CurrentGlContext(PP_Resource context);

}  // namespace pphost

namespace pphost::gles2 {

// What an entry answers for a lost or unknown context: nothing (0, GL_FALSE,
// null). The two entries that answer a GLint are location queries, and their
// "nothing" is -1, no location.
template <typename R>
R LostAnswer() {
  return R();
}
template <>
inline GLint LostAnswer<GLint>() {
  return -1;
}

// What `&glFoo` is: the address of a function, or where the GL functions
// are loaded at run time (gl_api.h) that of the variable holding it.
template <typename GlRef>
constexpr bool kLoaded = std::is_pointer_v<std::remove_pointer_t<GlRef>>;

// The GL function's pointer type, either way.
template <typename GlRef>
using GlPointer = std::conditional_t<kLoaded<GlRef>, std::remove_pointer_t<GlRef>, GlRef>;

// Calls the GL function `GlFn` refers to.
template <auto GlFn, typename... Args>
auto CallGl(Args... args) {
  if constexpr (kLoaded<decltype(GlFn)>) {
    return (*GlFn)(args...);
  } else {
    return GlFn(args...);
  }
}

// The function type of a table member, from a pointer to the member.
template <typename Member>
struct SlotOf;
template <typename R, typename... Args>
struct SlotOf<R (PP_CALL* PPB_OpenGLES2_1_0::*)(PP_Resource, Args...)> {
  using Function = R(PP_CALL*)(PP_Resource, Args...);

  // Makes the context current and calls `GlFn` with the other arguments
  // as they came.
  template <auto GlFn>
  static R Forward(PP_Resource context, Args... args) {
    if (CurrentGlContext(context) == nullptr) return LostAnswer<R>();
    return CallGl<GlFn>(args...);
  }
};

// A type with every const on its pointer levels taken off: how GL and the
// table may spell the same pointer differently.
template <typename T>
struct Unqualified {
  using Type = T;
};
template <typename T>
struct Unqualified<T*> {
  using Type = typename Unqualified<std::remove_cv_t<T>>::Type*;
};

// A member's argument reaches GL as it is: the same type, or a pointer GL
// takes with more const (the table's `const char**` for GL's
// `const GLchar* const*`), never another type or size.
template <typename Ours, typename Gls>
constexpr bool kPassesAs = std::is_same_v<Ours, Gls> ||
                           (std::is_convertible_v<Ours, Gls> && std::is_pointer_v<Ours> &&
                            std::is_same_v<typename Unqualified<Ours>::Type, typename Unqualified<Gls>::Type>);

// A member that matches a GL function: the same result and, after the
// context, the same parameters. The pattern spells GL's own calling
// convention (GL_APIENTRY) so that it holds wherever that is not the default.
template <typename Member, typename GlFunction>
constexpr bool kMatchesGl = false;
template <typename R, typename... Args, typename GlR, typename... GlArgs>
constexpr bool kMatchesGl<R (PP_CALL* PPB_OpenGLES2_1_0::*)(PP_Resource, Args...), GlR(GL_APIENTRY*)(GlArgs...)> =
    std::is_same_v<R, GlR> && sizeof...(Args) == sizeof...(GlArgs) && (kPassesAs<Args, GlArgs> && ...);

// The entry of member `Slot` that forwards to GL's `GlFn`.
template <auto Slot, auto GlFn>
struct Gl {
  static_assert(kMatchesGl<decltype(Slot), GlPointer<decltype(GlFn)>>,
                "the member and the GL function differ in signature");
  static constexpr auto kSlot = Slot;
  static constexpr typename SlotOf<decltype(Slot)>::Function kFunction =
      &SlotOf<decltype(Slot)>::template Forward<GlFn>;
};

// The entry of member `Slot` that the host writes itself.
template <auto Slot, typename SlotOf<decltype(Slot)>::Function Function>
struct Own {
  static constexpr auto kSlot = Slot;
  static constexpr typename SlotOf<decltype(Slot)>::Function kFunction = Function;
};

// Whether two entries name the same member.
template <typename A, typename B>
constexpr bool SameMember(A a, B b) {
  if constexpr (std::is_same_v<A, B>) {
    return a == b;
  } else {
    return false;
  }
}

template <typename... Entries>
struct EntryList {};

// How many of the entries name member `Slot`.
template <auto Slot, typename... Entries>
constexpr int TimesNamed(EntryList<Entries...> /*entries*/) {
  return (int{SameMember(Slot, Entries::kSlot)} + ...);
}

// Instantiated for every entry: a compile error that names the entry when
// another entry names its member too, or when the table has put it at
// another member's place.
template <typename Entry, int kTimesNamed, bool kInItsPlace>
struct CheckEntry {
  static_assert(kTimesNamed == 1, "this entry's member has another entry too");
  static_assert(kInItsPlace, "this entry stands at another member's place: keep the declaration's order");
  static constexpr bool kValue = kTimesNamed == 1 && kInItsPlace;
};

// The table: one entry a member, in the declaration's order. Each entry
// fills the next member (a function of another type does not compile);
// with as many entries as members, each naming another member, every
// member has one; and each entry must then be what its own member holds.
template <typename... Entries>
constexpr PPB_OpenGLES2_1_0 TableOf() {
  static_assert(sizeof...(Entries) * sizeof(void (*)()) == sizeof(PPB_OpenGLES2_1_0), "one entry a member");
  constexpr PPB_OpenGLES2_1_0 table = {Entries::kFunction...};
  constexpr EntryList<Entries...> entries;
  static_assert(
      (CheckEntry<Entries, TimesNamed<Entries::kSlot>(entries), table.*Entries::kSlot == Entries::kFunction>::kValue &&
       ...));
  return table;
}

}  // namespace pphost::gles2

// A class as the public headers describe it, written once: the
// descriptions tavo/classes.def and tavo/control_classes.def give each class
// as TAVO_CLASS(name, identifier literals), and TAVO_CLASS_ID turns one such
// line into a ClassId whose name, identifier and registry text all come
// from it. The text keeps the case the literals are written in, so
// "{EE7EAFC9-CFA9-4b35-A22A-8D336FDEF2F7}" stays as the registration
// scripts have always written it.
#ifndef TAVO_PLATFORM_COM_CLASS_ID_H_
#define TAVO_PLATFORM_COM_CLASS_ID_H_

#include <array>
#include <string_view>

#include "tavo/automation.h"

namespace tavo {

struct ClassId {
  std::string_view name;  // "TavoPeltaPlaylist2Mgr"
  const CLSID* clsid;
  std::string_view text;  // "{bc172a2a-ad09-404c-895b-d04994f10b88}"
};

using GuidText = std::array<char, 38>;

// "{llllllll-wwww-wwww-bbbb-bbbbbbbbbbbb}" from the eleven literals of a
// GUID definition as written ("0xEE7EAFC9", "0x4b35", "0xA2", ...). Each
// literal must have its full number of hex digits, or this does not compile.
consteval GuidText GuidTextOfLiterals(std::array<std::string_view, 11> literals) {
  constexpr int kDigits[11] = {8, 4, 4, 2, 2, 2, 2, 2, 2, 2, 2};
  GuidText text{};
  size_t at = 0;
  text[at++] = '{';
  for (int i = 0; i < 11; ++i) {
    const std::string_view literal = literals[i];
    if (literal.size() != 2 + static_cast<size_t>(kDigits[i]) || literal[0] != '0' ||
        (literal[1] != 'x' && literal[1] != 'X'))
      throw "a class identifier literal needs all its hex digits";
    if (i == 1 || i == 2 || i == 3 || i == 5) text[at++] = '-';
    for (size_t d = 2; d < literal.size(); ++d) text[at++] = literal[d];
  }
  text[at++] = '}';
  return text;
}

}  // namespace tavo

// One TAVO_CLASS line of a class description as constants in the current
// namespace: <name>_text and <name>, the ClassId.
#define TAVO_CLASS_ID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                         \
  inline constexpr ::tavo::GuidText name##_text =                                              \
      ::tavo::GuidTextOfLiterals({#l, #w1, #w2, #b1, #b2, #b3, #b4, #b5, #b6, #b7, #b8});      \
  inline constexpr ::tavo::ClassId name{#name, &CLSID_##name, {name##_text.data(), name##_text.size()}};

#endif  // TAVO_PLATFORM_COM_CLASS_ID_H_

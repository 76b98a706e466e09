// The tokenizer of the XML layer, shared by XmlReader_Next and the parser
// (which inlines it). Not for callers.
//
// Tokens are (kind, start, length): 2 "<" of a start tag, 3 ">", 4 "</",
// 5 "=", 6 a name / quoted string's contents / run of text, 7 "/" not
// followed by ">", 8 "/>". The tokenizer is this state machine, one byte at a
// time; the end of the input before a token is complete is status 4:
//
//   state  byte              action
//   0      "<"               go to 1, advance
//   0      ">"               emit 3, go to 2, advance
//   0      "="               emit 5, advance
//   0      double quote      go to 5, advance
//   0      "/"               go to 9, advance
//   0      name character    go to 3
//   0      whitespace        advance
//   0      other             status 5
//   1      "/"               emit 4, go to 0, advance
//   1      other             emit 2, go to 0
//   2      whitespace        advance (leading whitespace of content is dropped)
//   2      "<"               go to 0
//   2      other             go to 7
//   3      name character    mark start, go to 4, advance
//   3      other             status 5
//   4      name character    advance
//   4      other             emit 6 (start to here), go to 0
//   5      double quote      emit 6 of length 0, go to 0, advance
//   5      other             mark start, go to 6, advance
//   6      double quote      emit 6 (start to here), go to 0, advance
//   6      other             advance
//   7      (not "<")         mark start, go to 8, advance
//   8      "<"               emit 6 (start to here), go to 0
//   8      other             advance
//   9      ">"               emit 8, go to 0, advance
//   9      other             emit 7, go to 0
//
// So only ">" enters content mode: after "/>" the tokenizer stays in state 0
// and text there is scanned as names; a text run ends only at "<", keeping
// its trailing whitespace; "<" and ">" may stand inside quoted values.
#ifndef TAVO_DATA_XML_XML_TOKENIZER_H_
#define TAVO_DATA_XML_XML_TOKENIZER_H_

#include <cstring>

#include "data/xml/xml.h"
#include "data/xml/xml_internal.h"

namespace tavo::xml_internal {

// The state machine above. The inner loops of states 4, 6 and 8 scan ahead
// instead of stepping once per byte; the tokens and errors are the same.
struct Lexer {
  const char* data;
  size_t length;
  size_t pos;
  int state;

  // 0 with *t filled, 4 at the end of the input, 5 at an illegal character.
  inline int Next(XmlToken* t) {
    const unsigned char* const p = reinterpret_cast<const unsigned char*>(data);
    const size_t n = length;
    size_t i = pos;
    size_t start = 0;
    int st = state;
    int rc;
    for (;;) {
      if (i >= n) {
        rc = kXmlTruncated;
        break;
      }
      const unsigned char c = p[i];
      switch (st) {
        case 0:
          if (c == '<') {
            st = 1;
            ++i;
            continue;
          }
          if (c == '>') return Emit(t, kXmlTokenClose, i, 1, i + 1, 2);
          if (c == '=') return Emit(t, kXmlTokenEquals, i, 1, i + 1);
          if (c == '"') {
            st = 5;
            ++i;
            continue;
          }
          if (c == '/') {
            st = 9;
            ++i;
            continue;
          }
          if (IsNameChar(c)) {
            st = 3;
            continue;
          }
          if (IsSpaceChar(c)) {
            ++i;
            continue;
          }
          rc = kXmlIllegalCharacter;
          break;
        case 1:
          if (c == '/') return Emit(t, kXmlTokenEndOpen, i - 1, 2, i + 1);
          return Emit(t, kXmlTokenOpen, i - 1, 1, i);
        case 2:
          if (IsSpaceChar(c)) {
            ++i;
          } else if (c == '<') {
            st = 0;
          } else {
            st = 7;
          }
          continue;
        case 3:
          if (!IsNameChar(c)) {
            rc = kXmlIllegalCharacter;
            break;
          }
          start = i;
          st = 4;
          [[fallthrough]];
        case 4:
          while (i < n && IsNameChar(p[i])) ++i;
          if (i >= n) continue;
          return Emit(t, kXmlTokenString, start, i - start, i);
        case 5:
          if (c == '"') return Emit(t, kXmlTokenString, i, 0, i + 1);
          start = i;
          st = 6;
          ++i;
          [[fallthrough]];
        case 6:
          i = Find(i, '"');
          if (i >= n) continue;
          return Emit(t, kXmlTokenString, start, i - start, i + 1);
        case 7:  // entered from state 2 on a byte other than "<"
          start = i;
          st = 8;
          ++i;
          [[fallthrough]];
        case 8:
          i = Find(i, '<');
          if (i >= n) continue;
          return Emit(t, kXmlTokenString, start, i - start, i);
        case 9:
          if (c == '>') return Emit(t, kXmlTokenEmptyClose, i - 1, 2, i + 1);
          return Emit(t, kXmlTokenSlash, i - 1, 1, i);
        default:
          rc = kXmlIllegalCharacter;
          break;
      }
      break;
    }
    pos = i;
    state = st;
    return rc;
  }

  // Hands out the token (kind, data + at, len); scanning goes on at `next` in
  // `next_state`.
  inline int Emit(XmlToken* t, int kind, size_t at, size_t len, size_t next, int next_state = 0) {
    t->kind = kind;
    t->start = data + at;
    t->length = len;
    pos = next;
    state = next_state;
    return kXmlOk;
  }

  // The position of the first `byte` at or after i, or the length.
  inline size_t Find(size_t i, char byte) const {
    if (i >= length) return length;
    const void* at = std::memchr(data + i, byte, length - i);
    return at != nullptr ? static_cast<size_t>(static_cast<const char*>(at) - data) : length;
  }
};

}  // namespace tavo::xml_internal

#endif  // TAVO_DATA_XML_XML_TOKENIZER_H_

// XmlReader: the tokenizer as a public call, for tests and tools.
#include "data/xml/xml_tokenizer.h"

namespace tavo {

using xml_internal::Lexer;

void XmlReader_Init(XmlReader* reader, const char* data, size_t length) noexcept {
  if (reader == nullptr) return;
  reader->data = data;
  reader->length = data != nullptr ? length : 0;
  reader->position = 0;
  reader->state = 0;
}

int XmlReader_Next(XmlReader* reader, XmlToken* token) noexcept {
  if (reader == nullptr || token == nullptr) return kXmlInvalidArgument;
  Lexer lx{reader->data, reader->length, reader->position, reader->state};
  const int rc = lx.Next(token);
  reader->position = lx.pos;
  reader->state = lx.state;
  return rc;
}

}  // namespace tavo

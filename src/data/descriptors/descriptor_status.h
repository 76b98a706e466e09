// Status codes of the descriptor-list layer. The automation classes turn every
// failure into E_FAIL, except their own index checks (E_INVALIDARG).
//
// Reading a document also passes on the XML layer's parse statuses (1 to 5,
// data/xml/xml.h) and, for files, its document-file statuses (72).
#ifndef TAVO_DATA_DESCRIPTORS_DESCRIPTOR_STATUS_H_
#define TAVO_DATA_DESCRIPTORS_DESCRIPTOR_STATUS_H_

#include <cstdint>

namespace tavo {

enum DescStatus : int {
  kDescOk = 0,
  kDescUnknownId = 2,       // no item with that id, or it has no children to walk
  kDescMissingList = 4,     // no list (or no output) given to a query
  kDescNoText = 8193,       // missing or empty document text
  kDescNoMemory = 8194,     // an item or an id array could not be allocated
  kDescIdNotFound = 8195,   // the plain lookup by id found nothing
  kDescTooLarge = 8196,     // more than 65,535 items, children or parents: counts are 16-bit
  kDescTooMany = 8197,      // a walk would list more than 65,535 ids
  kDescDamaged = 8198,      // a stored copy whose bytes do not decode
};

// Counts of items, of ids per item and of ids a walk hands out are 16-bit.
inline constexpr uint32_t kDescMaxCount = 65535;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_DESCRIPTOR_STATUS_H_

// IdMapping: the genre id mappings the manager keeps (the child-id mapping
// of the genre list, the version mapping from "genres-v1-to-v2", the mapping
// of the genre families list). A sequence of (key, value) pairs in the order
// they were added; looking a key up gives the value of the last pair with
// that key.
//
// Stored form (every number big-endian):
//
//   OFFSET  SIZE  DESCRIPTION
//   0       4     pair count n
//   4       8n    the pairs in order: key (4), value (4)
#ifndef TAVO_DATA_DESCRIPTORS_ID_MAPPING_H_
#define TAVO_DATA_DESCRIPTORS_ID_MAPPING_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/descriptors/descriptor_status.h"
#include "data/xml/xml.h"

namespace tavo {

struct IdPair {
  int32_t key = 0;
  int32_t value = 0;
  bool operator==(const IdPair&) const = default;
};

class IdMapping {
 public:
  // Throws std::bad_alloc.
  void Add(int32_t key, int32_t value);

  std::optional<int32_t> Find(int32_t key) const noexcept;
  // The value for `key`, 0 when there is none (the genre translation of
  // similarity runs reads it so).
  int32_t Translate(int32_t key) const noexcept { return Find(key).value_or(0); }
  std::span<const IdPair> pairs() const { return pairs_; }
  bool empty() const { return pairs_.empty(); }

  // Throws std::bad_alloc.
  std::string ToBytes() const;
  // kDescDamaged when the bytes are not a stored mapping; *out unchanged then.
  static DescStatus FromBytes(std::string_view bytes, IdMapping* out) noexcept;

  bool operator==(const IdMapping& other) const { return pairs_ == other.pairs_; }

 private:
  std::vector<IdPair> pairs_;
  std::unordered_map<int32_t, int32_t> last_value_;
};

// The mapping of a version list ("genres-v1-to-v2", the genre families): for
// each ITEM of the document, with its id taken from the ITEM's first
// attribute, each CHILD_ID child adds (child id, item id) and each non-zero
// GENRE_ID child adds (item id, genre id), in document order. Statuses as
// ReadListDocument's.
DescStatus ReadVersionMapping(const char* text, size_t length, IdMapping* out) noexcept;
DescStatus ReadVersionMapping(const XmlNode* root, IdMapping* out) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_ID_MAPPING_H_

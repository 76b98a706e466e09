// TextPool: the texts of the library view, each a numbered entry. Titles,
// artists, albums, labels and folders are interned (one entry per distinct
// text) and keep a folded copy for comparisons; file names are unique and
// are added without either.
//
// Entry bytes (one allocation for both forms):
//
//   OFFSET   SIZE     CONTENT
//   0        length   the text as stored
//   length   length   the text with A-Z folded to a-z (folded entries only)
//
// Invariants:
//  - id 0 is no text; ids 1..count-1 are entries, never changed or moved
//    once added. Entry blocks and text bytes are never reallocated.
//  - Only the writer (the view's owner, under its lock) adds entries.
//    Readers see a TextPoolReader made at publication: it covers the entries
//    that existed then, so the writer's later additions (past its count, in
//    memory the reader never touches) do not race with it.
#ifndef TAVO_GENERATION_ENGINE_TEXT_POOL_H_
#define TAVO_GENERATION_ENGINE_TEXT_POOL_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tavo {

// 16 bytes: the top bit of `sized` says whether a folded copy follows.
struct TextEntry {
  static constexpr uint32_t kFoldedBit = 0x80000000u;
  const char* bytes = nullptr;
  uint32_t sized = 0;
  uint32_t hash = 0;  // HashText of the text (interned entries)

  uint32_t length() const { return sized & ~kFoldedBit; }
  bool folded() const { return (sized & kFoldedBit) != 0; }
};

class TextPool;

// What a snapshot sees of the pool.
class TextPoolReader {
 public:
  TextPoolReader() = default;
  uint32_t count() const { return count_; }
  std::string_view Text(uint32_t id) const { return View(Entry(id)); }
  // The folded copy, or the text itself for entries without one.
  std::string_view Folded(uint32_t id) const;
  bool HasFolded(uint32_t id) const { return Entry(id).folded(); }

 private:
  friend class TextPool;
  static constexpr uint32_t kBlockBits = 14;
  const TextEntry& Entry(uint32_t id) const {
    return blocks_[id >> kBlockBits][id & ((1u << kBlockBits) - 1)];
  }
  static std::string_view View(const TextEntry& e) { return std::string_view(e.bytes, e.length()); }

  std::shared_ptr<const TextPool> owner_;
  std::vector<const TextEntry*> blocks_;
  uint32_t count_ = 0;
};

class TextPool : public std::enable_shared_from_this<TextPool> {
 public:
  static std::shared_ptr<TextPool> Make();
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;

  // The id of a non-empty `text` (below 2 GiB), added with its folded copy
  // when it is new. Throws std::bad_alloc.
  uint32_t Intern(std::string_view text);
  // A new entry for a non-empty `text`, neither looked up nor folded.
  uint32_t Add(std::string_view text);

  std::string_view Text(uint32_t id) const { return TextPoolReader::View(Entry(id)); }
  uint32_t count() const { return count_; }
  TextPoolReader Reader() const;
  size_t MemoryBytes() const;

 private:
  TextPool();
  static constexpr uint32_t kBlockBits = TextPoolReader::kBlockBits;
  static constexpr uint32_t kBlockEntries = 1u << kBlockBits;
  static constexpr size_t kByteChunk = size_t{1} << 20;

  const TextEntry& Entry(uint32_t id) const { return blocks_[id >> kBlockBits][id & (kBlockEntries - 1)]; }
  uint32_t Append(std::string_view text, uint32_t hash, bool folded);
  char* Allocate(size_t n);
  void GrowIndex();

  std::vector<std::unique_ptr<TextEntry[]>> blocks_;
  uint32_t count_ = 1;  // id 0 is no text
  std::vector<std::unique_ptr<char[]>> chunks_;
  char* cursor_ = nullptr;
  size_t left_ = 0;
  size_t byte_total_ = 0;
  // Open addressing over interned ids (0 = empty slot), at most half full.
  std::vector<uint32_t> index_;
  uint32_t interned_ = 0;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_TEXT_POOL_H_

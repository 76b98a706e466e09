#include "generation/engine/view_state.h"

#include "generation/engine/text_fold.h"

namespace tavo {
namespace {

uint32_t HashId(uint32_t id) {
  uint64_t h = uint64_t{id} * 0x9E3779B97F4A7C15ull;
  return static_cast<uint32_t>(h >> 32);
}

}  // namespace

ViewState::ViewState() : texts_(TextPool::Make()) {}

ViewChunk& ViewState::Writable(uint32_t slot) {
  std::shared_ptr<ViewChunk>& chunk = chunks_[slot >> kChunkBits];
  if (chunk->epoch != epoch_) chunk = chunk->Clone(epoch_);
  return *chunk;
}

std::string_view ViewState::FileNameOf(uint32_t slot) const {
  return texts_->Text(chunks_[slot >> kChunkBits]->Text(slot & kChunkMask, kTextFileName));
}

uint32_t ViewState::IdOf(uint32_t slot) const { return chunks_[slot >> kChunkBits]->id[slot & kChunkMask]; }

uint32_t ViewState::FindByFile(std::string_view file_name, uint32_t hash) const {
  return by_file_.Find(hash, [&](uint32_t slot) { return EqualFolded(FileNameOf(slot), file_name); });
}

uint32_t ViewState::FindById(uint32_t id) const {
  return by_id_.Find(HashId(id), [&](uint32_t slot) { return IdOf(slot) == id; });
}

uint32_t ViewState::TakeSlot() {
  if (!free_slots_.empty()) {
    const uint32_t slot = free_slots_.back();
    free_slots_.pop_back();
    return slot;
  }
  if ((slot_end_ >> kChunkBits) == chunks_.size()) {
    auto chunk = std::make_shared<ViewChunk>();
    chunk->epoch = epoch_;
    chunks_.push_back(std::move(chunk));
  }
  return slot_end_++;
}

void ViewState::Release(uint32_t slot) {
  const auto file_hash = [this](uint32_t s) { return HashFoldedText(FileNameOf(s)); };
  const auto id_hash = [this](uint32_t s) { return HashId(IdOf(s)); };
  by_file_.Erase(file_hash(slot), slot, file_hash);
  by_id_.Erase(id_hash(slot), slot, id_hash);
  Writable(slot).Clear(slot & kChunkMask);
  free_slots_.push_back(slot);
  --live_count_;
  published_.reset();
}

void ViewState::InternTexts(const TrackRow& row, std::array<uint32_t, kTextColumnCount>* ids) {
  for (uint8_t c = 0; c < kTextColumnCount; ++c) {
    (*ids)[c] = c != kTextFileName && !row.text[c].empty() ? texts_->Intern(row.text[c]) : 0;
  }
}

void ViewState::AddNew(const TrackRow& row, uint32_t file_hash, std::array<uint32_t, kTextColumnCount>* ids) {
  const uint32_t slot = TakeSlot();
  (*ids)[kTextFileName] = texts_->Add(row.text[kTextFileName]);
  Writable(slot).Put(slot & kChunkMask, row.id, *ids, row.number, row.present, row.size);
  by_file_.Insert(file_hash, slot, [this](uint32_t s) { return HashFoldedText(FileNameOf(s)); });
  by_id_.Insert(HashId(row.id), slot, [this](uint32_t s) { return HashId(IdOf(s)); });
  ++live_count_;
  published_.reset();
}

void ViewState::Store(const TrackRow& row) {
  const std::string_view file_name = row.text[kTextFileName];
  const uint32_t file_hash = HashFoldedText(file_name);
  const uint32_t slot = FindByFile(file_name, file_hash);
  // One record per identifier: another file that held this one was replaced.
  if (const uint32_t holder = FindById(row.id); holder != SlotIndex::kNone && holder != slot) Release(holder);
  std::array<uint32_t, kTextColumnCount> ids;
  InternTexts(row, &ids);
  if (slot == SlotIndex::kNone) {
    AddNew(row, file_hash, &ids);
    return;
  }
  // The same file: the record file keeps the key the track was added under.
  ids[kTextFileName] = chunks_[slot >> kChunkBits]->Text(slot & kChunkMask, kTextFileName);
  const bool id_changed = IdOf(slot) != row.id;
  const auto id_hash_of = [this](uint32_t s) { return HashId(IdOf(s)); };
  if (id_changed) by_id_.Erase(id_hash_of(slot), slot, id_hash_of);
  Writable(slot).Put(slot & kChunkMask, row.id, ids, row.number, row.present, row.size);
  if (id_changed) by_id_.Insert(HashId(row.id), slot, id_hash_of);
  published_.reset();
}

void ViewState::Remove(std::string_view file_name) {
  const uint32_t slot = FindByFile(file_name, HashFoldedText(file_name));
  if (slot != SlotIndex::kNone) Release(slot);
}

ViewSnapshotPtr ViewState::Publish() {
  if (published_) return published_;
  std::vector<std::shared_ptr<const ViewChunk>> chunks(chunks_.begin(), chunks_.end());
  published_ = std::make_shared<const ViewSnapshot>(std::move(chunks), texts_->Reader(), slot_end_, live_count_);
  ++epoch_;  // every chunk is now shared with the snapshot
  return published_;
}

size_t ViewState::MemoryBytes() const {
  size_t bytes = texts_->MemoryBytes() + by_file_.MemoryBytes() + by_id_.MemoryBytes() +
                 free_slots_.capacity() * sizeof(uint32_t) + chunks_.capacity() * sizeof(chunks_[0]);
  for (const auto& chunk : chunks_) bytes += chunk->MemoryBytes();
  return bytes;
}

}  // namespace tavo

// The correlate list objects over one parsed correlate table. Every object
// shares the table, so entries and items stay valid after the list is
// released.
#ifndef TAVO_CONTROL_CORRELATES_H_
#define TAVO_CONTROL_CORRELATES_H_

#include <map>
#include <memory>

#include "control/catalog.h"
#include "platform/com/out_values.h"
#include "platform/com/object.h"

namespace tavo::control {

// The table with the display names of the genres it mentions.
struct NamedCorrelates {
  std::shared_ptr<const CorrelateTable> table;
  std::map<int32_t, std::string> names;

  std::string_view NameOf(int32_t id) const {
    const auto it = names.find(id);
    return it == names.end() ? std::string_view() : std::string_view(it->second);
  }
};

class RelatedItem : public ComObject<RelatedItem, ITAVORelatedItem> {
 public:
  RelatedItem(std::shared_ptr<const NamedCorrelates> data, CorrelateRelated item)
      : data_(std::move(data)), item_(item) {}
  HRESULT STDMETHODCALLTYPE get_GenreID(LONG* id) override { return StoreOut(id, item_.id); }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override { return StoreText(name, data_->NameOf(item_.id)); }
  HRESULT STDMETHODCALLTYPE get_Weight(LONG* weight) override { return StoreOut(weight, item_.weight); }

 private:
  const std::shared_ptr<const NamedCorrelates> data_;
  const CorrelateRelated item_;
};

class RelatedList : public ComObject<RelatedList, ITAVORelatedList> {
 public:
  RelatedList(std::shared_ptr<const NamedCorrelates> data, size_t entry) : data_(std::move(data)), entry_(entry) {}
  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
    return StoreOut(count, static_cast<LONG>(Items().size()));
  }
  HRESULT STDMETHODCALLTYPE GetItem(LONG index, ITAVORelatedItem** item) override {
    if (item == nullptr) return E_POINTER;
    *item = nullptr;
    if (index < 1 || static_cast<size_t>(index) > Items().size()) return E_INVALIDARG;
    return StoreObject(item, RelatedItem::Make(data_, Items()[index - 1]));
  }

 private:
  const std::vector<CorrelateRelated>& Items() const { return data_->table->entries[entry_].related; }
  const std::shared_ptr<const NamedCorrelates> data_;
  const size_t entry_;
};

class CorrelateEntryObject : public ComObject<CorrelateEntryObject, ITAVOCorrelateEntry> {
 public:
  CorrelateEntryObject(std::shared_ptr<const NamedCorrelates> data, size_t entry)
      : data_(std::move(data)), entry_(entry) {}
  HRESULT STDMETHODCALLTYPE get_GenreID(LONG* id) override { return StoreOut(id, Id()); }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override { return StoreText(name, data_->NameOf(Id())); }
  HRESULT STDMETHODCALLTYPE get_Related(ITAVORelatedList** list) override {
    return StoreObject(list, RelatedList::Make(data_, entry_));
  }

 private:
  int32_t Id() const { return data_->table->entries[entry_].genre_id; }
  const std::shared_ptr<const NamedCorrelates> data_;
  const size_t entry_;
};

class CorrelateList : public ComObject<CorrelateList, ITAVOCorrelateList> {
 public:
  explicit CorrelateList(std::shared_ptr<const NamedCorrelates> data) : data_(std::move(data)) {}
  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
    return StoreOut(count, static_cast<LONG>(data_->table->entries.size()));
  }
  HRESULT STDMETHODCALLTYPE GetEntry(LONG index, ITAVOCorrelateEntry** entry) override {
    if (entry == nullptr) return E_POINTER;
    *entry = nullptr;
    if (index < 1 || static_cast<size_t>(index) > data_->table->entries.size()) return E_INVALIDARG;
    return StoreObject(entry, CorrelateEntryObject::Make(data_, static_cast<size_t>(index - 1)));
  }
  HRESULT STDMETHODCALLTYPE get_Level(LONG* level) override { return StoreOut(level, data_->table->level); }
  HRESULT STDMETHODCALLTYPE get_RevisionLevel(BSTR* text) override {
    return StoreText(text, data_->table->revision_level);
  }
  HRESULT STDMETHODCALLTYPE get_RevisionTag(BSTR* text) override { return StoreText(text, data_->table->revision_tag); }
  HRESULT STDMETHODCALLTYPE get_ScaleMax(LONG* value) override { return StoreOut(value, data_->table->scale_max); }
  HRESULT STDMETHODCALLTYPE get_ScaleMin(LONG* value) override { return StoreOut(value, data_->table->scale_min); }

 private:
  const std::shared_ptr<const NamedCorrelates> data_;
};

}  // namespace tavo::control

#endif  // TAVO_CONTROL_CORRELATES_H_

// TavoPLGeneratorList: an ordered list of generators (the preset list, the
// user list), 0-based.
//
// The list owns its chain of generator records; the generator objects it
// hands out are views that share those records. Adding a generator links the
// generator's own record (no copy), so later changes through the host's
// object show in the list.
//
// SavePLGensToFile writes the chain as a preset file (data/presets/
// preset_file.h). Genre criteria are written with the master id and system
// level of their genre when the genre display list last given with
// SetGenreDisplayList is one of ours; a host's own list, or none, writes
// them without.
#ifndef TAVO_GENERATION_OBJECTS_PL_GENERATOR_LIST_H_
#define TAVO_GENERATION_OBJECTS_PL_GENERATOR_LIST_H_

#include "generation/records/generator_chain.h"
#include "platform/com/collection.h"
#include "platform/com/object.h"
#include "tavo/tavo.h"

namespace tavo {

class TavoPLGeneratorList : public ComObject<TavoPLGeneratorList, ITavoPLGeneratorList>,
                            public CollectionOf<TavoPLGeneratorList, ITavoPLGenerator> {
 public:
  TavoPLGeneratorList() = default;
  explicit TavoPLGeneratorList(GeneratorChain chain) : chain_(std::move(chain)) {}

  GeneratorChain& chain() { return chain_; }
  ITavoGenreDisplayList* genre_display_list() const { return genres_.Get(); }

  // The collection: a new generator view of the record at a 0-based position.
  size_t ItemCount() const { return chain_.size(); }
  HRESULT MakeItem(size_t position, ComPtr<ITavoPLGenerator>* out) const;

  HRESULT STDMETHODCALLTYPE get_Count(SHORT* count) override;
  HRESULT STDMETHODCALLTYPE GetPLGenerator(LONG index, ITavoPLGenerator** generator) override;
  HRESULT STDMETHODCALLTYPE AddPLGenerator(ITavoPLGenerator* generator) override;
  // A position below 1 appends; the position used is written back.
  HRESULT STDMETHODCALLTYPE AddPLGeneratorAtIndex(ITavoPLGenerator* generator, LONG* position) override;
  HRESULT STDMETHODCALLTYPE RemovePLGenerator(ITavoPLGenerator* generator) override;
  HRESULT STDMETHODCALLTYPE SetGenreDisplayList(ITavoGenreDisplayList* genres) override;
  // E_INVALIDARG unless the path's extension (from its last ".") is ".xml"
  // in any case, or when the path holds a NUL; E_FAIL when the file cannot
  // be written.
  HRESULT STDMETHODCALLTYPE SavePLGensToFile(BSTR filepath) override;
  HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) override;
  // The same as GetPLGenerator.
  HRESULT STDMETHODCALLTYPE get_Item(LONG index, ITavoPLGenerator** generator) override;

 private:
  HRESULT Insert(ITavoPLGenerator* generator, LONG position, LONG* used);

  GeneratorChain chain_;
  ComPtr<ITavoGenreDisplayList> genres_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_PL_GENERATOR_LIST_H_

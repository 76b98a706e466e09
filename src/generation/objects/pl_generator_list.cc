#include "generation/objects/pl_generator_list.h"

#include <string>

#include "data/descriptors/objects/descriptor_objects.h"
#include "data/presets/preset_file.h"
#include "generation/objects/gen_status.h"
#include "generation/objects/pl_generator.h"
#include "platform/automation/utf.h"

namespace tavo {

HRESULT TavoPLGeneratorList::MakeItem(size_t position, ComPtr<ITavoPLGenerator>* out) const {
  GeneratorPtr record = chain_.At(position);
  if (record == nullptr) return E_FAIL;
  ComPtr<TavoPLGenerator> view = TavoPLGenerator::Make(std::move(record));
  if (!view) return E_OUTOFMEMORY;
  *out = ComPtr<ITavoPLGenerator>(view.Get());
  return S_OK;
}

HRESULT TavoPLGeneratorList::get_Count(SHORT* count) { return StoreCount(count); }

HRESULT TavoPLGeneratorList::GetPLGenerator(LONG index, ITavoPLGenerator** generator) {
  if (generator == nullptr) return E_POINTER;
  *generator = nullptr;
  if (index < 0 || static_cast<size_t>(index) > chain_.size()) return E_INVALIDARG;
  return StoreItem(static_cast<size_t>(index), generator);  // index == Count: past the end, E_FAIL
}

HRESULT TavoPLGeneratorList::get_Item(LONG index, ITavoPLGenerator** generator) {
  return GetPLGenerator(index, generator);
}

HRESULT TavoPLGeneratorList::Insert(ITavoPLGenerator* generator, LONG position, LONG* used) {
  ComPtr<TavoPLGenerator> own = AsOwn<TavoPLGenerator>(generator);
  if (!own) return E_INVALIDARG;
  if (own->record() == nullptr) return E_FAIL;
  return GenHresult(chain_.Insert(own->record(), position, used));
}

HRESULT TavoPLGeneratorList::AddPLGenerator(ITavoPLGenerator* generator) { return Insert(generator, -1, nullptr); }

HRESULT TavoPLGeneratorList::AddPLGeneratorAtIndex(ITavoPLGenerator* generator, LONG* position) {
  if (position == nullptr) return E_POINTER;
  return Insert(generator, *position, position);
}

HRESULT TavoPLGeneratorList::RemovePLGenerator(ITavoPLGenerator* generator) {
  ComPtr<TavoPLGenerator> own = AsOwn<TavoPLGenerator>(generator);
  if (!own) return E_INVALIDARG;
  return GenHresult(chain_.Remove(own->record().get()));
}

HRESULT TavoPLGeneratorList::SetGenreDisplayList(ITavoGenreDisplayList* genres) {
  genres_ = ComPtr<ITavoGenreDisplayList>(genres);
  return S_OK;
}

HRESULT TavoPLGeneratorList::SavePLGensToFile(BSTR filepath) {
  const std::string path = BstrToUtf8(filepath);
  // A NUL inside the text would cut the path short of what the host named.
  if (!PresetFile_HasXmlExtension(path) || path.find('\0') != std::string::npos) return E_INVALIDARG;
  const DescriptorListPtr genres = DescriptorListOf(genres_.Get());
  return PresetFile_Save(&chain_, path.c_str(), genres.get()) == 0 ? S_OK : E_FAIL;
}

HRESULT TavoPLGeneratorList::get__NewEnum(IUnknown** enumerator) { return StoreEnumerator(enumerator); }

}  // namespace tavo

#include "generation/pl_generator_list.h"
#include "generation/out_value.h"

#include <strings.h>

#include <vector>

#include "generation/pl_generator.h"
#include "platform/automation/utf.h"
#include "platform/com/enumerator.h"

namespace tavo {
namespace {

GeneratorListSaver g_saver = nullptr;

// The extension from the last "." must be ".xml", in any case.
bool HasXmlExtension(const std::string& path) {
  const size_t dot = path.rfind('.');
  return dot != std::string::npos && strcasecmp(path.c_str() + dot, ".xml") == 0;
}

}  // namespace

void SetGeneratorListSaver(GeneratorListSaver saver) { g_saver = saver; }

HRESULT TavoPLGeneratorList::get_Count(SHORT* count) { return StoreOut(count, static_cast<SHORT>(chain_.size())); }

HRESULT TavoPLGeneratorList::GetPLGenerator(LONG index, ITavoPLGenerator** generator) {
  if (generator == nullptr) return E_POINTER;
  *generator = nullptr;
  if (index < 0 || static_cast<size_t>(index) > chain_.size()) return E_INVALIDARG;
  GeneratorPtr record = chain_.At(static_cast<size_t>(index));
  if (record == nullptr) return E_FAIL;  // index == Count: past the chain's end
  *generator = TavoPLGenerator::Make(std::move(record)).Detach();
  return *generator ? S_OK : E_OUTOFMEMORY;
}

HRESULT TavoPLGeneratorList::get_Item(LONG index, ITavoPLGenerator** generator) {
  return GetPLGenerator(index, generator);
}

HRESULT TavoPLGeneratorList::Insert(ITavoPLGenerator* generator, LONG position, LONG* used) {
  ComPtr<TavoPLGenerator> own = AsOwn<TavoPLGenerator>(generator);
  if (!own) return E_INVALIDARG;
  if (own->record() == nullptr) return E_FAIL;
  return chain_.Insert(own->record(), position, used) == kGenOk ? S_OK : E_FAIL;
}

HRESULT TavoPLGeneratorList::AddPLGenerator(ITavoPLGenerator* generator) { return Insert(generator, -1, nullptr); }

HRESULT TavoPLGeneratorList::AddPLGeneratorAtIndex(ITavoPLGenerator* generator, LONG* position) {
  if (position == nullptr) return E_POINTER;
  return Insert(generator, *position, position);
}

HRESULT TavoPLGeneratorList::RemovePLGenerator(ITavoPLGenerator* generator) {
  ComPtr<TavoPLGenerator> own = AsOwn<TavoPLGenerator>(generator);
  if (!own) return E_INVALIDARG;
  return chain_.Remove(own->record().get()) == kGenOk ? S_OK : E_FAIL;
}

HRESULT TavoPLGeneratorList::SetGenreDisplayList(ITavoGenreDisplayList* genres) {
  genres_ = ComPtr<ITavoGenreDisplayList>(genres);
  return S_OK;
}

HRESULT TavoPLGeneratorList::SavePLGensToFile(BSTR filepath) {
  const std::string path = BstrToUtf8(filepath);
  if (!HasXmlExtension(path)) return E_INVALIDARG;
  if (g_saver == nullptr) return E_NOTIMPL;
  return g_saver(chain_, genres_.Get(), path) == 0 ? S_OK : E_FAIL;
}

HRESULT TavoPLGeneratorList::get__NewEnum(IUnknown** enumerator) {
  if (enumerator == nullptr) return E_POINTER;
  *enumerator = nullptr;
  std::vector<VARIANT> items;
  items.reserve(chain_.size());
  for (const GeneratorPtr& record : chain_.records()) {
    VARIANT item;
    VariantInit(&item);
    item.vt = VT_DISPATCH;
    item.pdispVal = static_cast<ITavoPLGenerator*>(TavoPLGenerator::Make(record).Detach());
    if (item.pdispVal == nullptr) {
      for (VARIANT& made : items) VariantClear(&made);
      return E_OUTOFMEMORY;
    }
    items.push_back(item);
  }
  ComPtr<VariantEnumerator> walker = VariantEnumerator::Over(std::move(items));
  if (!walker) return E_OUTOFMEMORY;
  *enumerator = static_cast<IEnumVARIANT*>(walker.Detach());
  return S_OK;
}

}  // namespace tavo

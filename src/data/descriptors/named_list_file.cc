#include "data/descriptors/named_list_file.h"

#include <cstring>
#include <new>
#include <string>

#include "data/descriptors/folder_path.h"
#include "data/descriptors/list_document.h"
#include "data/xml/xml_file.h"

namespace tavo {

DescStatus ReadNamedListFile(std::string_view folder, std::string_view name, Env* env,
                             DescriptorListPtr* out) noexcept {
  if (out == nullptr) return kDescMissingList;
  constexpr DescriptorKind kKind = DescriptorKind::kArtistTypes;
  try {
    const std::string path = JoinFolderPath(folder, std::string(name) + ".xml");
    char* text = nullptr;
    DescriptorListPtr list;
    if (XmlFile_Read(path.c_str(), &text, env) == 0) {
      XmlTextPtr owned(text);
      const DescStatus status = ReadListDocument(kKind, text, std::strlen(text), &list);
      if (status == kDescNoMemory) return status;
    }
    if (list == nullptr) list = DescriptorList::Empty(kKind);
    if (list == nullptr) return kDescNoMemory;
    *out = std::move(list);
    return kDescOk;
  } catch (const std::bad_alloc&) {
    return kDescNoMemory;
  }
}

}  // namespace tavo

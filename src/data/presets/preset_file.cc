#include "data/presets/preset_file.h"

#include <cstring>
#include <mutex>
#include <new>

#include "data/descriptors/document_values.h"
#include "data/presets/preset_reader.h"
#include "data/presets/preset_writer.h"
#include "data/xml/xml_file.h"

namespace tavo {
namespace {

// Document files are written through "<file>.tmp" beside the target: two
// saves of one file at once would share that temporary file.
std::mutex& SaveMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

int PresetFile_Load(const char* path, const DescriptorList* genres, const IdMapping* genre_mapping,
                    GeneratorChain* chain, uint16_t* count, Env* env) noexcept {
  if (path == nullptr || chain == nullptr) return kPresetMissingPath;
  char* text = nullptr;
  if (const int status = XmlFile_Read(path, &text, env); status != 0) return status;
  XmlTextPtr owned_text(text);
  XmlNode* root = nullptr;
  if (const int status = XmlDocument_Parse(text, std::strlen(text), &root); status != kXmlOk) return status;
  XmlNodePtr owned_root(root);
  try {
    GeneratorChain read;
    ReadPresetDocument(root, genres, genre_mapping, &read);
    if (count != nullptr) *count = static_cast<uint16_t>(read.size());
    *chain = std::move(read);
    return 0;
  } catch (const std::bad_alloc&) {
    return kXmlOutOfMemory;
  }
}

bool PresetFile_Text(const GeneratorChain& chain, const DescriptorList* genres, std::string* text) noexcept {
  XmlNodePtr root = BuildPresetDocument(chain, genres);
  if (root == nullptr) return false;
  size_t length = 0;
  XmlTextPtr serialized(XmlDocument_SerializePretty(root.get(), false, &length));
  if (serialized == nullptr) return false;
  try {
    text->assign(serialized.get(), length);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

int PresetFile_Save(const GeneratorChain* chain, const char* path, const DescriptorList* genres, Env* env) noexcept {
  if (chain == nullptr || path == nullptr) return kPresetMissingArgument;
  std::string text;
  if (!PresetFile_Text(*chain, genres, &text)) return kPresetCannotBuild;
  std::lock_guard<std::mutex> lock(SaveMutex());
  return XmlFile_Write(path, text.c_str(), env);
}

bool PresetFile_HasXmlExtension(const std::string& path) noexcept {
  const size_t dot = path.rfind('.');
  return dot != std::string::npos && NamesEqual(std::string_view(path).substr(dot), ".xml");
}

}  // namespace tavo

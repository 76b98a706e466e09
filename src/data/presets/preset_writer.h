// Building the preset document (preset_file.h) from a generator chain.
#ifndef TAVO_DATA_PRESETS_PRESET_WRITER_H_
#define TAVO_DATA_PRESETS_PRESET_WRITER_H_

#include "data/descriptors/descriptor_list.h"
#include "data/xml/xml.h"
#include "generation/records/generator_chain.h"

namespace tavo {

// The document of `chain`; genre criteria (field 19, not selection-based)
// whose genre `genres` holds carry that genre's master id and system level.
// None when out of memory.
XmlNodePtr BuildPresetDocument(const GeneratorChain& chain, const DescriptorList* genres) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_PRESETS_PRESET_WRITER_H_

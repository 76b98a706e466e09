// Named lists kept as files in the database folder ("NAME.xml", or its
// ".bml" companion): lists of the artist-type kind that hosts read by name.
#ifndef TAVO_DATA_DESCRIPTORS_NAMED_LIST_FILE_H_
#define TAVO_DATA_DESCRIPTORS_NAMED_LIST_FILE_H_

#include <string_view>

#include "data/descriptors/descriptor_list.h"
#include "platform/fs/env.h"

namespace tavo {

// The list in `folder`/`name`.xml. A missing, unreadable or malformed file
// gives an empty list, not an error: only running out of memory fails
// (kDescNoMemory). `env` null means Env::Default().
DescStatus ReadNamedListFile(std::string_view folder, std::string_view name, Env* env,
                             DescriptorListPtr* out) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_NAMED_LIST_FILE_H_

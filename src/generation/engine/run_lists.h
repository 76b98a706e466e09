// The manager's lists a run consults, borrowed for the run: the descriptor
// lists behind the hierarchy and popularity-range tests, and the genre
// translation map of similarity. Any of them may be missing; a test that
// needs a missing list falls back as the criteria rules say.
#ifndef TAVO_GENERATION_ENGINE_RUN_LISTS_H_
#define TAVO_GENERATION_ENGINE_RUN_LISTS_H_

#include "data/descriptors/descriptor_list.h"
#include "data/descriptors/id_mapping.h"

namespace tavo {

struct RunLists {
  DescriptorListPtr genres;
  DescriptorListPtr origins;
  DescriptorListPtr eras;
  DescriptorListPtr popularity_ranges;
  const IdMapping* genre_translation = nullptr;  // an id without an entry translates to 0
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_RUN_LISTS_H_

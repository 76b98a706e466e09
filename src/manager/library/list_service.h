// ListService: where the media library gets what the recognition service
// supplies, without knowing how it is asked. The automation layer implements
// it over the control's service object; tests implement it with documents
// of their own.
//
// Implementations are called from any thread, one call at a time per
// library (the library serializes its loads and downloads).
#ifndef TAVO_MANAGER_LIBRARY_LIST_SERVICE_H_
#define TAVO_MANAGER_LIBRARY_LIST_SERVICE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/descriptors/descriptor_kind.h"
#include "storage/library/correlates_store.h"
#include "storage/library/library_status.h"

namespace tavo {

// What the service gives for one correlates level.
struct CorrelatesLevel {
  std::string first_text;   // the level's two revision texts
  std::string second_text;
  int32_t scale_min = 1;    // the weights' scale
  int32_t scale_max = 10;
  struct Table {
    int32_t genre = 0;
    std::vector<CorrelateEntry> related;  // in the service's order
  };
  std::vector<Table> tables;
};

class ListService {
 public:
  virtual ~ListService() = default;

  // The document (UTF-8 XML) of the list of `kind`, asked with the revision
  // level and tag of the copy the caller holds (both empty when it holds
  // none). kManagerNoDocument when the service has nothing newer; another
  // non-zero status when the request failed.
  virtual LibraryStatus FetchList(DescriptorKind kind, std::string_view level, std::string_view tag,
                                  std::string* document) = 0;
  // The same for the version mapping of genres ("genres-v1-to-v2").
  virtual LibraryStatus FetchGenreVersions(std::string_view level, std::string_view tag, std::string* document) = 0;

  // The correlates of `level` (0, 1 or 2), asked with the level's two texts
  // the caller holds. A table the service cannot give whole is left out.
  virtual LibraryStatus FetchCorrelates(int level, std::string_view first_text, std::string_view second_text,
                                        CorrelatesLevel* out) = 0;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_LIST_SERVICE_H_

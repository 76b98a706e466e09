// The media library's ListService over the recognition-service control's
// service object: list documents from its list requests, correlates from its
// correlate lists (tavo/control_interfaces.def gives the slots).
//
// The control's objects take no locks of their own, and the manager may ask
// from several threads; every request therefore holds this adapter's lock.
#ifndef TAVO_MANAGER_COM_CONTROL_SERVICE_H_
#define TAVO_MANAGER_COM_CONTROL_SERVICE_H_

#include <mutex>

#include "manager/library/list_service.h"
#include "platform/com/com_ptr.h"
#include "tavo/control.h"

namespace tavo {

// At most this many correlate entries per level and related genres per
// entry are read: a list that claims more is not a genre table.
inline constexpr LONG kMaxCorrelateItems = 65535;

class ControlListService final : public ListService {
 public:
  explicit ControlListService(ComPtr<ITAVOService> service) : service_(std::move(service)) {}

  LibraryStatus FetchList(DescriptorKind kind, std::string_view level, std::string_view tag,
                          std::string* document) override;
  LibraryStatus FetchGenreVersions(std::string_view level, std::string_view tag, std::string* document) override;
  LibraryStatus FetchCorrelates(int level, std::string_view first_text, std::string_view second_text,
                                CorrelatesLevel* out) override;

 private:
  // Runs `request` (level, tag, answer) under the lock and takes the
  // document out of its answer.
  template <class Request>
  LibraryStatus Ask(Request&& request, std::string_view level, std::string_view tag, std::string* document);

  std::mutex mutex_;
  const ComPtr<ITAVOService> service_;
};


}  // namespace tavo

#endif  // TAVO_MANAGER_COM_CONTROL_SERVICE_H_

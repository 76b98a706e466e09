// The media library's events as DPlaylist2Events, fired through the
// manager's connection point to every connected sink in connection order.
//
// Each event is an automation invoke of the event's dispatch identifier with
// the arguments in reverse order. The flags a sink may change (bAddOk and
// bContinue of the pre-events, bAbort of the rebuild progress) are passed as
// VT_BYREF | VT_I4 pointing at the caller's 32-bit flag: an address does not
// fit a 4-byte integer on this platform, and by reference a sink written in
// C, in C++ or against IDispatch sets them alike.
#ifndef TAVO_MANAGER_COM_SINK_EVENTS_H_
#define TAVO_MANAGER_COM_SINK_EVENTS_H_

#include "manager/library/library_events.h"
#include "platform/com/connection_point.h"
#include "tavo/tavo.h"

namespace tavo {

class SinkEvents final : public LibraryEvents {
 public:
  // `point` may outlive the manager: a detached point has no sinks.
  explicit SinkEvents(ComPtr<ConnectionPoint> point) : point_(std::move(point)) {}

  void PreAddFile(std::string_view file_name, int32_t* add_ok, int32_t* go_on) override;
  void PostAddFile(std::string_view file_name) override;
  void PreUpdateFile(std::string_view file_name, int32_t* add_ok, int32_t* go_on) override;
  void PostUpdateFile(std::string_view file_name) override;
  void RebuildIndexProgress(int32_t count, int32_t total, int32_t* abort) override;

 private:
  void FirePre(DISPID id, std::string_view file_name, int32_t* add_ok, int32_t* go_on);
  void FireFile(DISPID id, std::string_view file_name);

  const ComPtr<ConnectionPoint> point_;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_COM_SINK_EVENTS_H_

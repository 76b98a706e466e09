// An event sink for the manager's tests: a plain IDispatch, as a script host
// or a C host implements one, that logs each event and may answer or act.
#ifndef TAVO_TESTS_MANAGER_EVENT_SINK_H_
#define TAVO_TESTS_MANAGER_EVENT_SINK_H_

#include <functional>
#include <memory>
#include <string>

#include "platform/com/object.h"
#include "tavo/tavo.h"

namespace tavo::testing {

class EventSink : public ComObject<EventSink, IDispatch> {
 public:
  // Called with the event's dispatch id and its arguments in declaration
  // order (DISPPARAMS holds them reversed).
  using Action = std::function<void(DISPID id, VARIANT* args, UINT count)>;

  EventSink(std::string name, std::shared_ptr<std::string> log) : name_(std::move(name)), log_(std::move(log)) {}

  void set_action(Action action) { action_ = std::move(action); }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    VARIANT in_order[8];
    const UINT count = params->cArgs < 8 ? params->cArgs : 8;
    for (UINT i = 0; i < count; ++i) in_order[i] = params->rgvarg[params->cArgs - 1 - i];
    *log_ += name_ + ":" + std::to_string(id);
    if (id == DISPID_DPlaylist2Events_RebuildIndexProgress && count == 3 && in_order[0].vt == VT_I4) {
      *log_ += "(" + std::to_string(in_order[0].lVal) + ")";
    }
    *log_ += ";";
    if (action_) action_(id, in_order, count);
    return S_OK;
  }

 private:
  const std::string name_;
  const std::shared_ptr<std::string> log_;
  Action action_;
};

}  // namespace tavo::testing

#endif  // TAVO_TESTS_MANAGER_EVENT_SINK_H_

#include "platform/com/connection_point.h"

namespace tavo {

void ConnectionPoint::DisconnectAll() noexcept { connections_.clear(); }

void ConnectionPoint::Fire(DISPID id, VARIANT* args, UINT count) {
  // A sink may unadvise while it is being called: walk a copy.
  std::vector<ComPtr<IUnknown>> sinks;
  for (const Connection& c : connections_) sinks.push_back(c.sink);
  DISPPARAMS params{args, nullptr, count, 0};
  for (const ComPtr<IUnknown>& sink : sinks) {
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(IID_IDispatch, dispatch.ReleaseAndGetVoidAddressOf()))) continue;
    dispatch->Invoke(id, IID_NULL, 0,
                     DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (out == nullptr) return E_POINTER;
  *out = container_;
  if (container_ == nullptr) return E_UNEXPECTED;
  container_->AddRef();
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  ComPtr<IUnknown> events;
  if (FAILED(sink->QueryInterface(iid_, events.ReleaseAndGetVoidAddressOf())) &&
      FAILED(sink->QueryInterface(IID_IDispatch, events.ReleaseAndGetVoidAddressOf())))
    return CONNECT_E_CANNOTCONNECT;
  connections_.push_back({next_cookie_, std::move(events)});
  *cookie = next_cookie_++;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = connections_.begin(); it != connections_.end(); ++it) {
    if (it->cookie == cookie) {
      connections_.erase(it);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (out == nullptr) return E_POINTER;
  std::vector<CONNECTDATA> items;
  for (const Connection& c : connections_) items.push_back({c.sink.Copy(), c.cookie});
  *out = ConnectionEnumerator::Over(std::move(items)).Detach();
  return *out ? S_OK : E_OUTOFMEMORY;
}

ConnectionPoint* ConnectionPoints::Add(IConnectionPointContainer* container, const IID& iid) {
  ComPtr<ConnectionPoint> point = ConnectionPoint::Make(container, iid);
  if (!point) return nullptr;
  points_.push_back(point);
  return point.Get();
}

ConnectionPoint* ConnectionPoints::Get(const IID& iid) const {
  for (const ComPtr<ConnectionPoint>& point : points_) {
    IID own;
    if (point->GetConnectionInterface(&own) == S_OK && own == iid) return point.Get();
  }
  return nullptr;
}

HRESULT ConnectionPoints::Find(REFIID iid, IConnectionPoint** out) const {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  ConnectionPoint* point = Get(iid);
  if (point == nullptr) return CONNECT_E_NOCONNECTION;
  point->AddRef();
  *out = point;
  return S_OK;
}

HRESULT ConnectionPoints::Enum(IEnumConnectionPoints** out) const {
  if (out == nullptr) return E_POINTER;
  std::vector<IConnectionPoint*> items;
  for (const ComPtr<ConnectionPoint>& point : points_) items.push_back(ComPtr<IConnectionPoint>(point.Get()).Detach());
  *out = ConnectionPointEnumerator::Over(std::move(items)).Detach();
  return *out ? S_OK : E_OUTOFMEMORY;
}

void ConnectionPoints::Detach() noexcept {
  for (const ComPtr<ConnectionPoint>& point : points_) {
    point->DisconnectAll();
    point->DetachContainer();
  }
}

}  // namespace tavo

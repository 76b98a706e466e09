// Running out of memory in a member is E_OUTOFMEMORY, and no reference is
// taken before the last allocation that could fail: a snapshot for an
// enumerator is built from borrowed pointers and takes its references only
// once it exists.
#include "platform/com/connection_point.h"

#include <new>

namespace tavo {
namespace {

void TakeReference(const CONNECTDATA& item) {
  if (item.pUnk != nullptr) item.pUnk->AddRef();
}
void TakeReference(IConnectionPoint* item) {
  if (item != nullptr) item->AddRef();
}

// An enumerator over `borrowed` (pointers without references of their own).
template <class IEnum, class Item>
HRESULT EnumeratorOver(std::vector<Item> borrowed, IEnum** out) noexcept {
  using Snapshot = EnumSnapshot<Item>;
  try {
    std::shared_ptr<const Snapshot> snapshot = std::make_shared<const Snapshot>(std::move(borrowed));
    for (const Item& item : snapshot->items()) TakeReference(item);
    // If this fails, the snapshot goes with its references.
    *out = Enumerator<IEnum, Item>::Make(std::move(snapshot), 0).Detach();
  } catch (const std::bad_alloc&) {
    *out = nullptr;
  }
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

void ConnectionPoint::DisconnectAll() noexcept {
  std::vector<Connection> released;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    released.swap(connections_);
  }
  // The sinks go here, outside the lock.
}

void ConnectionPoint::Fire(DISPID id, VARIANT* args, UINT count) {
  // A sink may unadvise while it is being called: walk a copy.
  std::vector<ComPtr<IUnknown>> sinks;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Connection& c : connections_) sinks.push_back(c.sink);
  }
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
  std::unique_lock<std::mutex> lock(mutex_);
  try {
    connections_.push_back({next_cookie_, events});
  } catch (const std::bad_alloc&) {
    lock.unlock();
    return E_OUTOFMEMORY;  // the reference goes with `events`, outside the lock
  }
  *cookie = next_cookie_++;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  ComPtr<IUnknown> released;  // let go outside the lock
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = connections_.begin(); it != connections_.end(); ++it) {
    if (it->cookie == cookie) {
      released = std::move(it->sink);
      connections_.erase(it);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  // The snapshot borrows the sinks until the enumerator takes its own
  // references, so the list may not change meanwhile.
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<CONNECTDATA> items;
  try {
    items.reserve(connections_.size());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  for (const Connection& c : connections_) items.push_back({c.sink.Get(), c.cookie});
  return EnumeratorOver(std::move(items), out);
}

ConnectionPoint* ConnectionPoints::Add(IConnectionPointContainer* container, const IID& iid) {
  ComPtr<ConnectionPoint> point = ConnectionPoint::Make(container, iid);
  if (!point) return nullptr;
  try {
    points_.push_back(point);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
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
  *out = nullptr;
  std::vector<IConnectionPoint*> items;
  try {
    items.reserve(points_.size());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  for (const ComPtr<ConnectionPoint>& point : points_) items.push_back(point.Get());
  return EnumeratorOver(std::move(items), out);
}

void ConnectionPoints::Detach() noexcept {
  for (const ComPtr<ConnectionPoint>& point : points_) {
    point->DisconnectAll();
    point->DetachContainer();
  }
}

}  // namespace tavo

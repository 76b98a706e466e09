// Outgoing interfaces: a connection point keeps the sinks connected to one
// outgoing interface of its container, in connection order, and fires
// events to them by dispatch.
//
// The container owns the connection point; the connection point points back
// at the container without a reference and the container clears that
// pointer (DetachContainer) before it goes away.
//
// Thread safety: Advise, Unadvise, EnumConnections, Fire and DisconnectAll
// may be called from any thread. The sink list is guarded by a lock that is
// never held while a sink is called or released, so a sink may unadvise or
// call back from inside an event.
#ifndef TAVO_PLATFORM_COM_CONNECTION_POINT_H_
#define TAVO_PLATFORM_COM_CONNECTION_POINT_H_

#include <mutex>
#include <vector>

#include "platform/com/enumerator.h"
#include "platform/com/object.h"

namespace tavo {

class ConnectionPoint : public ComObject<ConnectionPoint, IConnectionPoint> {
 public:
  ConnectionPoint(IConnectionPointContainer* container, const IID& iid) noexcept
      : container_(container), iid_(iid) {}

  void DetachContainer() noexcept { container_ = nullptr; }
  // Releases every sink.
  void DisconnectAll() noexcept;

  // Invokes member `id` on every sink with `args` given last first, as
  // DISPPARAMS wants them. Statuses of the sinks are not looked at.
  void Fire(DISPID id, VARIANT* args, UINT count);

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

 private:
  struct Connection {
    DWORD cookie;
    ComPtr<IUnknown> sink;  // queried for the outgoing interface
  };

  IConnectionPointContainer* container_;
  const IID iid_;
  mutable std::mutex mutex_;
  std::vector<Connection> connections_;  // guarded by mutex_
  DWORD next_cookie_ = 1;                // guarded by mutex_
};

// The connection points of one container object, one per outgoing
// interface. The container's IConnectionPointContainer members delegate
// here; its destructor calls Detach().
class ConnectionPoints {
 public:
  ConnectionPoints() = default;
  ConnectionPoints(const ConnectionPoints&) = delete;
  ConnectionPoints& operator=(const ConnectionPoints&) = delete;
  ~ConnectionPoints() { Detach(); }

  // Adds the connection point for `iid`; null when memory runs out.
  ConnectionPoint* Add(IConnectionPointContainer* container, const IID& iid);
  // The connection point for `iid`, or null.
  ConnectionPoint* Get(const IID& iid) const;

  HRESULT Find(REFIID iid, IConnectionPoint** out) const;  // CONNECT_E_NOCONNECTION when absent
  HRESULT Enum(IEnumConnectionPoints** out) const;
  // Drops every sink and the points' pointers back to the container.
  void Detach() noexcept;

 private:
  std::vector<ComPtr<ConnectionPoint>> points_;
};

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_CONNECTION_POINT_H_

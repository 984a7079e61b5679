// Connection points: the sinks a host attached to one outgoing interface of
// an object, and the container interface's enumeration of them.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <span>
#include <vector>

#include "control/framework/com_base.h"

namespace orvane {

// Lives inside its container object and shares its reference count, so a
// host holding the point keeps the whole object alive.
class ConnectionPoint : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer& container, const IID& iid)
      : m_container(container), m_iid(iid) {}
  ~ConnectionPoint();
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  // Unguarded: the container's count.
  STDMETHODIMP_(ULONG) AddRef() override { return m_container.AddRef(); }
  // Unguarded: as AddRef.
  STDMETHODIMP_(ULONG) Release() override { return m_container.Release(); }

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

  const IID& Iid() const { return m_iid; }
  // The sinks as they are now, each with an added reference that the caller
  // releases; a sink that unadvises while being called stays valid.
  std::vector<IUnknown*> SnapshotSinks() const;
  void ReleaseAll();

 private:
  struct Sink {
    DWORD cookie;
    IUnknown* unknown;
  };
  IConnectionPointContainer& m_container;
  const IID& m_iid;
  std::vector<Sink> m_sinks;
  DWORD m_nextCookie = 1;
};

// IEnumConnectionPoints over a fixed list of points.
HRESULT CreateConnectionPointEnumerator(std::span<IConnectionPoint* const> points,
                                        IEnumConnectionPoints** out);

}  // namespace orvane

#include "control/framework/connection_point.h"

#include <olectl.h>

namespace orvane {
namespace {

// Enumerators over a snapshot of interface pointers (IEnumConnectionPoints)
// or of connection records (IEnumConnections).
template <class Enum, class Item, const IID* EnumIid>
class SnapshotEnumerator : public ComBase<SnapshotEnumerator<Enum, Item, EnumIid>, Enum> {
 public:
  explicit SnapshotEnumerator(std::vector<Item> items) : m_items(std::move(items)) {
    for (Item& item : m_items) AddItemRef(item);
  }
  ~SnapshotEnumerator() override {
    for (Item& item : m_items) ReleaseItem(item);
  }

  static std::span<const InterfaceEntry> Interfaces() {
    static const InterfaceEntry kTable[] = {{EnumIid, &CastTo<SnapshotEnumerator, Enum>}};
    return kTable;
  }

  STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
    return Guarded([&]() -> HRESULT {
      if (out == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
      ULONG n = 0;
      while (n < count && m_next < m_items.size()) {
        out[n] = m_items[m_next++];
        AddItemRef(out[n]);
        ++n;
      }
      if (fetched) *fetched = n;
      return n == count ? S_OK : S_FALSE;
    });
  }
  STDMETHODIMP Skip(ULONG count) override {
    return Guarded([&]() -> HRESULT {
      size_t left = m_items.size() - m_next;
      if (count > left) {
        m_next = m_items.size();
        return S_FALSE;
      }
      m_next += count;
      return S_OK;
    });
  }
  STDMETHODIMP Reset() override {
    return Guarded([&]() -> HRESULT {
      m_next = 0;
      return S_OK;
    });
  }
  STDMETHODIMP Clone(Enum** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return Guarded([&] {
      auto* copy = new SnapshotEnumerator(m_items);
      copy->m_next = m_next;
      *out = copy;
      return S_OK;
    });
  }

 private:
  static void AddItemRef(IConnectionPoint* p) { p->AddRef(); }
  static void ReleaseItem(IConnectionPoint* p) { p->Release(); }
  static void AddItemRef(CONNECTDATA& d) { d.pUnk->AddRef(); }
  static void ReleaseItem(CONNECTDATA& d) { d.pUnk->Release(); }

  std::vector<Item> m_items;
  size_t m_next = 0;
};

using ConnectionPointEnumerator =
    SnapshotEnumerator<IEnumConnectionPoints, IConnectionPoint*, &IID_IEnumConnectionPoints>;
using ConnectionEnumerator =
    SnapshotEnumerator<IEnumConnections, CONNECTDATA, &IID_IEnumConnections>;

}  // namespace

ConnectionPoint::~ConnectionPoint() { ReleaseAll(); }

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** out) {
  return Guarded([&]() -> HRESULT {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
      *out = static_cast<IConnectionPoint*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  });
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  return Guarded([&]() -> HRESULT {
    if (iid == nullptr) return E_POINTER;
    *iid = m_iid;
    return S_OK;
  });
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  return Guarded([&]() -> HRESULT {
    if (out == nullptr) return E_POINTER;
    *out = &m_container;
    m_container.AddRef();
    return S_OK;
  });
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  IUnknown* typed = nullptr;
  if (FAILED(sink->QueryInterface(m_iid, reinterpret_cast<void**>(&typed))) || typed == nullptr) {
    // Event hosts often hand over a plain dispatch sink for the event interface.
    if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&typed))) ||
        typed == nullptr)
      return CONNECT_E_CANNOTCONNECT;
  }
  // The sink's reference goes back should the list not grow.
  ComPtr<IUnknown> held = ComPtr<IUnknown>::Adopt(typed);
  return Guarded([&] {
    m_sinks.push_back({m_nextCookie, held.Get()});
    held.Detach();
    *cookie = m_nextCookie++;
    return S_OK;
  });
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  return Guarded([&]() -> HRESULT {
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
      if (it->cookie == cookie) {
        IUnknown* sink = it->unknown;
        m_sinks.erase(it);
        sink->Release();
        return S_OK;
      }
    }
    return CONNECT_E_NOCONNECTION;
  });
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    std::vector<CONNECTDATA> items;
    for (const Sink& sink : m_sinks) items.push_back({sink.unknown, sink.cookie});
    *out = new ConnectionEnumerator(std::move(items));
    return S_OK;
  });
}

std::vector<IUnknown*> ConnectionPoint::SnapshotSinks() const {
  std::vector<IUnknown*> sinks;
  sinks.reserve(m_sinks.size());
  for (const Sink& sink : m_sinks) {
    sink.unknown->AddRef();
    sinks.push_back(sink.unknown);
  }
  return sinks;
}

void ConnectionPoint::ReleaseAll() {
  std::vector<Sink> sinks;
  sinks.swap(m_sinks);
  for (Sink& sink : sinks) sink.unknown->Release();
}

HRESULT CreateConnectionPointEnumerator(std::span<IConnectionPoint* const> points,
                                        IEnumConnectionPoints** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    *out =
        new ConnectionPointEnumerator(std::vector<IConnectionPoint*>(points.begin(), points.end()));
    return S_OK;
  });
}

}  // namespace orvane

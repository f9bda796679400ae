// Scope guards for what the module obtains from host objects: every collection is released and every named board
// interface given back on every path, early returns included.
#pragma once

#include "brimstead/HostInterfaces.h"

#include <utility>
#include <vector>

// Owns one CHostCollection until the end of its scope. A null collection is allowed and counts 0 items.
class CHostCollectionRef {
public:
  CHostCollectionRef() = default;
  explicit CHostCollectionRef(CHostCollection* collection) : m_collection(collection) {}
  CHostCollectionRef(const CHostCollectionRef&) = delete;
  CHostCollectionRef& operator=(const CHostCollectionRef&) = delete;
  CHostCollectionRef(CHostCollectionRef&& other) noexcept : m_collection(std::exchange(other.m_collection, nullptr)) {}
  CHostCollectionRef& operator=(CHostCollectionRef&& other) noexcept {
    if (this != &other) {
      Reset();
      m_collection = std::exchange(other.m_collection, nullptr);
    }
    return *this;
  }
  ~CHostCollectionRef() { Reset(); }

  void Reset(CHostCollection* collection = nullptr) {
    if (m_collection)
      m_collection->Release();
    m_collection = collection;
  }

  CHostCollection* Get() const { return m_collection; }
  explicit operator bool() const { return m_collection != nullptr; }
  int Count() const { return m_collection ? m_collection->GetCount() : 0; }

  template <class T>
  T* Item(int index) const {
    return HostItemAs<T>(m_collection, index);
  }

private:
  CHostCollection* m_collection = nullptr;
};

// Holds a named interface of a board until the end of its scope, then gives it back to that board.
template <class T>
class CHostInterfaceRef {
public:
  CHostInterfaceRef(CHostBoard* board, const char* name) : m_board(board) {
    if (m_board)
      m_interface = m_board->GetInterface(name);
  }
  CHostInterfaceRef(const CHostInterfaceRef&) = delete;
  CHostInterfaceRef& operator=(const CHostInterfaceRef&) = delete;
  ~CHostInterfaceRef() {
    if (m_board && m_interface)
      m_board->ReleaseInterface(m_interface);
  }

  T* Get() const { return static_cast<T*>(m_interface); }
  T* operator->() const { return Get(); }
  explicit operator bool() const { return m_interface != nullptr; }

private:
  CHostBoard* m_board = nullptr;
  CHostBoardInterface* m_interface = nullptr;
};

// True when some item of the net's item collection answers kind 4 (a plane): the supply nets that the decoupling
// analysis offers have one. The collection is given back.
inline bool HostCollectionHasKind4(CHostNet* net) {
  if (!net)
    return false;
  CHostCollectionRef items(net->GetItems());
  for (int i = 0; i < items.Count(); ++i) {
    CHostNetItem* item = items.Item<CHostNetItem>(i);
    if (item && item->GetKind() == HostNetItemKindPlane)
      return true;
  }
  return false;
}

// The probes selected in the board's view that the board lets the module take as vias (`IsEligible`), in selection
// order: a supply ball or stitching via that the board marks not eligible is never among them. The named interface
// is given back and the collection released.
inline std::vector<CHostProbe*> SelectedEligibleProbes(CHostBoard* board) {
  std::vector<CHostProbe*> probes;
  CHostInterfaceRef<CHostPIProbes> piProbes(board, HostInterfacePIProbes);
  if (!piProbes)
    return probes;
  CHostCollectionRef selected(piProbes->GetSelectedProbes());
  for (int i = 0; i < selected.Count(); ++i) {
    CHostProbe* probe = selected.Item<CHostProbe>(i);
    if (probe && probe->IsEligible())
      probes.push_back(probe);
  }
  return probes;
}

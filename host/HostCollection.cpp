#include "host/HostCollection.h"

#include "host/HostLedger.h"

namespace host {

HostCollection* HostCollection::Make(HostLedger& ledger, std::string what, std::vector<void*> items) {
  ledger.CollectionHandedOut(what);
  if (std::unique_ptr<HostCollection> reused = ledger.Reuse()) {
    reused->Reset(std::move(what), std::move(items));
    return reused.release();
  }
  return new HostCollection(ledger, std::move(what), std::move(items));
}

HostCollection::HostCollection(HostLedger& ledger, std::string what, std::vector<void*> items)
    : m_ledger(ledger), m_what(std::move(what)), m_items(std::move(items)) {}

void HostCollection::Reset(std::string what, std::vector<void*> items) {
  m_what = std::move(what);
  m_items = std::move(items);
  m_released = false;
}

void HostCollection::Release() {
  if (m_released) {
    m_ledger.CollectionReleasedTwice(m_what);
    return;
  }
  m_released = true;
  m_items.clear();
  m_items.shrink_to_fit();
  m_ledger.CollectionReleased(m_what);
  // The ledger keeps the emptied object for reuse, so that a second Release is a counted fault, not a use after free.
  m_ledger.Keep(std::unique_ptr<HostCollection>(this));
}

int HostCollection::GetCount() { return static_cast<int>(m_items.size()); }

void* HostCollection::GetItem(int index) {
  if (index < 0 || index >= static_cast<int>(m_items.size()))
    return nullptr;
  return m_items[static_cast<size_t>(index)];
}

}  // namespace host

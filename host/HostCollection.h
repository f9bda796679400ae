// A collection that the bundled host hands out: a fixed list of interface pointers, counted in the ledger.
#pragma once

#include "brimstead/HostInterfaces.h"

#include <memory>
#include <string>
#include <vector>

namespace host {

class HostLedger;

class HostCollection final : public CHostCollection {
public:
  // Makes a collection of the given items, counted under `what` ("layers", "nets", ...). The items must already be
  // pointers to the interface the collection holds (the caller converts them before they become void*).
  static HostCollection* Make(HostLedger& ledger, std::string what, std::vector<void*> items);

  template <class Interface, class Object>
  static HostCollection* MakeOf(HostLedger& ledger, std::string what, const std::vector<Object*>& objects) {
    std::vector<void*> items;
    items.reserve(objects.size());
    for (Object* object : objects)
      items.push_back(static_cast<void*>(static_cast<Interface*>(object)));
    return Make(ledger, std::move(what), std::move(items));
  }

  void Release() override;
  int GetCount() override;
  void* GetItem(int index) override;   // null outside 0 .. count-1

private:
  HostCollection(HostLedger& ledger, std::string what, std::vector<void*> items);
  void Reset(std::string what, std::vector<void*> items);

  HostLedger& m_ledger;
  std::string m_what;
  std::vector<void*> m_items;
  bool m_released = false;
};

}  // namespace host

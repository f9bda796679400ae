// The leak ledger of the bundled host: it counts every collection and every named board interface that the host
// hands out and every one given back, so that a test can assert that the module gave back everything it took.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace host {

class HostCollection;

class HostLedger {
public:
  HostLedger();
  ~HostLedger();
  HostLedger(const HostLedger&) = delete;
  HostLedger& operator=(const HostLedger&) = delete;

  // Collections: released collections are kept and later reused instead of freed, so that a second Release of
  // one is counted as a fault instead of touching freed memory. The most recent releases are never reused; the
  // memory stays bounded by the largest number of collections out at once plus that reserve.
  void CollectionHandedOut(const std::string& what);
  void CollectionReleased(const std::string& what);
  void CollectionReleasedTwice(const std::string& what);
  void Keep(std::unique_ptr<HostCollection> released);
  // A released collection old enough to be reused, or null.
  std::unique_ptr<HostCollection> Reuse();

  void InterfaceHandedOut(const std::string& name);
  // False when the interface was not out (given back twice, or never taken).
  bool InterfaceReturned(const std::string& name);

  int OutstandingCollections() const;
  int OutstandingInterfaces() const;
  int Faults() const { return m_faults; }
  int CollectionsHandedOut() const { return m_collectionsHanded; }
  int InterfacesHandedOut() const { return m_interfacesHanded; }
  bool IsBalanced() const { return OutstandingCollections() == 0 && OutstandingInterfaces() == 0 && m_faults == 0; }

  // One line per kind still out and per fault, for a test's failure message; empty when balanced.
  std::string Report() const;

private:
  std::map<std::string, int> m_collectionsOut;
  std::map<std::string, int> m_interfacesOut;
  std::vector<std::string> m_faultNotes;
  std::deque<std::unique_ptr<HostCollection>> m_released;
  int m_faults = 0;
  int m_collectionsHanded = 0;
  int m_interfacesHanded = 0;
};

}  // namespace host

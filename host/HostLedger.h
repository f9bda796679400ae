// The leak ledger of the bundled host: it counts every collection and every named board interface that the host
// hands out and every one given back, so that a test can assert that the module gave back everything it took.
#pragma once

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

  // Collections: the ledger keeps every collection it counted, so that a second Release of one is counted as a
  // fault instead of touching freed memory.
  void CollectionHandedOut(const std::string& what);
  void CollectionReleased(const std::string& what);
  void CollectionReleasedTwice(const std::string& what);
  void Keep(std::unique_ptr<HostCollection> released);

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
  std::vector<std::unique_ptr<HostCollection>> m_released;
  int m_faults = 0;
  int m_collectionsHanded = 0;
  int m_interfacesHanded = 0;
};

}  // namespace host

#include "host/HostLedger.h"

#include "host/HostCollection.h"

namespace host {

HostLedger::HostLedger() = default;
HostLedger::~HostLedger() = default;

void HostLedger::CollectionHandedOut(const std::string& what) {
  ++m_collectionsOut[what];
  ++m_collectionsHanded;
}

void HostLedger::CollectionReleased(const std::string& what) { --m_collectionsOut[what]; }

void HostLedger::CollectionReleasedTwice(const std::string& what) {
  ++m_faults;
  m_faultNotes.push_back("collection of " + what + " released twice");
}

void HostLedger::Keep(std::unique_ptr<HostCollection> released) { m_released.push_back(std::move(released)); }

std::unique_ptr<HostCollection> HostLedger::Reuse() {
  // Enough recent releases stay untouched for a second Release of any of them to be caught.
  constexpr size_t Reserve = 256;
  if (m_released.size() <= Reserve)
    return nullptr;
  std::unique_ptr<HostCollection> oldest = std::move(m_released.front());
  m_released.pop_front();
  return oldest;
}

void HostLedger::InterfaceHandedOut(const std::string& name) {
  ++m_interfacesOut[name];
  ++m_interfacesHanded;
}

bool HostLedger::InterfaceReturned(const std::string& name) {
  auto it = m_interfacesOut.find(name);
  if (it == m_interfacesOut.end() || it->second <= 0) {
    ++m_faults;
    m_faultNotes.push_back("interface " + name + " given back but not out");
    return false;
  }
  --it->second;
  return true;
}

int HostLedger::OutstandingCollections() const {
  int total = 0;
  for (const auto& [what, count] : m_collectionsOut)
    total += count;
  return total;
}

int HostLedger::OutstandingInterfaces() const {
  int total = 0;
  for (const auto& [name, count] : m_interfacesOut)
    total += count;
  return total;
}

std::string HostLedger::Report() const {
  std::string report;
  for (const auto& [what, count] : m_collectionsOut)
    if (count != 0)
      report += "collections of " + what + " still out: " + std::to_string(count) + "\n";
  for (const auto& [name, count] : m_interfacesOut)
    if (count != 0)
      report += "interface " + name + " still out: " + std::to_string(count) + "\n";
  for (const std::string& note : m_faultNotes)
    report += note + "\n";
  return report;
}

}  // namespace host

// A placed component of the bundled host and its part.
#pragma once

#include "brimstead/HostInterfaces.h"

#include <string>
#include <vector>

namespace host {

class HostElement;
class HostLayer;
class HostLedger;

class HostPart final : public CHostPart {
public:
  HostPart(std::string name, std::string package, double capacitance, double maxDimension)
      : m_name(std::move(name)), m_package(std::move(package)), m_capacitance(capacitance),
        m_maxDimension(maxDimension) {}

  double GetCapacitance() override { return m_capacitance; }
  double GetMaxDimension() override { return m_maxDimension; }
  const char* GetPartName() override { return m_name.c_str(); }

  const std::string& Name() const { return m_name; }
  const std::string& Package() const { return m_package; }
  double Capacitance() const { return m_capacitance; }

private:
  std::string m_name;
  std::string m_package;
  double m_capacitance;    // farads, 0 for parts that are not capacitors
  double m_maxDimension;   // metres
};

class HostComponent final : public CHostComponent {
public:
  HostComponent(HostLedger& ledger, std::string name, HostPart* part, HostLayer* side)
      : m_ledger(ledger), m_name(std::move(name)), m_part(part), m_side(side) {}

  const char* GetName() override { return m_name.c_str(); }
  CHostCollection* GetPins() override;
  CHostPart* GetPart() override { return m_part; }

  const std::string& Name() const { return m_name; }
  HostPart* Part() const { return m_part; }
  HostLayer* Side() const { return m_side; }
  const std::vector<HostElement*>& Pins() const { return m_pins; }
  void AddPin(HostElement* pin) { m_pins.push_back(pin); }
  bool IsCapacitor() const;

private:
  HostLedger& m_ledger;
  std::string m_name;
  HostPart* m_part;
  HostLayer* m_side;
  std::vector<HostElement*> m_pins;
};

}  // namespace host

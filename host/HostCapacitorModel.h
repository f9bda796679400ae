// Capacitor models held by the bundled host, and its model library.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "host/HostChangeLog.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace host {

struct CapacitorModelData {
  int kind = HostModelCLR;
  bool includesViaMounting = false;
  bool libraryModel = false;
  std::string libraryText;
  std::string libraryModelName;
  double esr = 0.0;           // ohms (C-L-R)
  double esl = 0.0;           // henries (C-L-R)
  double capacitance = 0.0;   // farads (C-L-R)
  std::string fileName;       // Touchstone, SPICE, PLS
  std::string subcircuit;     // SPICE
  bool series = true;         // Touchstone, PLS
  std::map<int, std::string> portPins;   // port (from 1) -> pin name
};

class HostCapacitorModel final : public CHostCapacitorModel {
public:
  explicit HostCapacitorModel(CapacitorModelData data) : m_data(std::move(data)) {}
  // Copies what a model answers now: the module hands in views that are valid only during the call.
  static std::unique_ptr<HostCapacitorModel> Snapshot(CHostCapacitorModel& model);

  int GetKind() override { return m_data.kind; }
  bool IncludesViaMounting() override { return m_data.includesViaMounting; }
  bool IsLibraryModel() override { return m_data.libraryModel; }
  const char* GetLibraryText() override { return m_data.libraryModel ? m_data.libraryText.c_str() : nullptr; }
  const char* GetLibraryModelName() override { return m_data.libraryModelName.c_str(); }
  double GetESR() override { return IsCLR() ? m_data.esr : 0.0; }
  const char* GetFileName() override;
  double GetESL() override { return IsCLR() ? m_data.esl : 0.0; }
  const char* GetSubcircuitName() override;
  bool IsSeries() override;
  double GetCapacitance() override { return IsCLR() ? m_data.capacitance : 0.0; }
  const char* GetPortPin(int port) override;

  const CapacitorModelData& Data() const { return m_data; }

private:
  bool IsCLR() const { return m_data.kind == HostModelCLR; }
  CapacitorModelData m_data;
};

class HostModelLibrary final : public CHostModelLibrary {
public:
  int GetCount() override { return static_cast<int>(m_models.size()); }
  CHostCapacitorModel* GetItem(int index) override;
  void Add(CHostCapacitorModel* model) override;
  void Remove(const char* modelName) override;

  // Adds a model of the board file; a model of the same name is replaced.
  HostCapacitorModel* Put(std::unique_ptr<HostCapacitorModel> model);
  HostCapacitorModel* Find(const std::string& name) const;
  // Where Add and Remove are logged ("ModelLibrary Add <name> <kind>", "ModelLibrary Remove <name>", with
  // " (not found)" when nothing of that name was there).
  void SetChangeLog(HostChangeLog* log) { m_changes = log; }

private:
  std::vector<std::unique_ptr<HostCapacitorModel>> m_models;
  HostChangeLog* m_changes = nullptr;
};

}  // namespace host

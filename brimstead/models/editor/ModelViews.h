// The model editor's result as the host reads models: three views over the editor's record, one per kind. A view
// copies nothing: every answer is read from the record when asked, so it shows edits made after it was made. It
// answers only the forms of its own kind (0.0, false or null otherwise). The views share the record with their
// editor, so a view deleted after its editor, or read after it, is sound.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "brimstead/models/editor/ModelEditorRecord.h"

#include <memory>

class CModelView : public CHostCapacitorModel {
public:
  int GetKind() override { return m_record->header.kind; }
  bool IncludesViaMounting() override { return m_record->header.includesViaMounting; }
  bool IsLibraryModel() override { return m_record->header.libraryModel; }
  const char* GetLibraryText() override { return m_record->header.libraryText; }
  const char* GetLibraryModelName() override { return m_record->header.modelName; }
  double GetESR() override { return 0.0; }
  const char* GetFileName() override { return nullptr; }
  double GetESL() override { return 0.0; }
  const char* GetSubcircuitName() override { return nullptr; }
  bool IsSeries() override { return false; }
  double GetCapacitance() override { return 0.0; }
  const char* GetPortPin(int) override { return nullptr; }

protected:
  explicit CModelView(std::shared_ptr<const ModelRecord> record) : m_record(std::move(record)) {}
  static const char* PinOf(const PortMap& map, int port);

  std::shared_ptr<const ModelRecord> m_record;
};

class CModelViewCLR final : public CModelView {
public:
  explicit CModelViewCLR(std::shared_ptr<const ModelRecord> record) : CModelView(std::move(record)) {}
  double GetESR() override { return m_record->clr.esr; }
  double GetESL() override { return m_record->clr.esl; }
  double GetCapacitance() override { return m_record->clr.capacitance; }
};

class CModelViewSPICE final : public CModelView {
public:
  explicit CModelViewSPICE(std::shared_ptr<const ModelRecord> record) : CModelView(std::move(record)) {}
  const char* GetFileName() override { return m_record->spice.fileName; }
  const char* GetSubcircuitName() override { return m_record->spice.subcircuitName; }
  const char* GetPortPin(int port) override { return PinOf(m_record->spice.portMap, port); }
};

// Over the Touchstone record (kind 2) or the "pls" record (kind 4).
class CModelViewTstone final : public CModelView {
public:
  CModelViewTstone(std::shared_ptr<const ModelRecord> record, const FileModelData& data)
      : CModelView(std::move(record)), m_data(data) {}
  const char* GetFileName() override { return m_data.fileName; }
  bool IsSeries() override { return m_data.series; }
  const char* GetPortPin(int port) override { return PinOf(m_data.portMap, port); }

private:
  const FileModelData& m_data;   // a member of the shared record
};

// A new view of the record's current kind; null for a kind outside 1 to 4.
CHostCapacitorModel* MakeModelView(const std::shared_ptr<ModelRecord>& record);

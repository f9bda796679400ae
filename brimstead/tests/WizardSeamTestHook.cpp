#include "brimstead/tests/WizardSeamTestHook.h"

#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "platform/base/CException.h"

namespace {
template <class T>
T* CurrentAs() {
  CAnalysisData* record = GetAnalysisData();
  return record && record->GetKind() == T::Kind ? static_cast<T*>(record) : nullptr;
}
}  // namespace

CWizardSeamTestHook::CWizardSeamTestHook(CHostGeometryQuery* query, CHostWizardCallback* callback)
    : m_pQuery(query), m_pCallback(callback) {
  RegisterBrimsteadAPI(this);
  RegisterBypassWizardAPI(this);
  RegisterDiffViaModelWizardAPI(this);
  RegisterModelExtractorWizardAPI(this);
}

CWizardSeamTestHook::~CWizardSeamTestHook() {
  RegisterBrimsteadAPI(nullptr);
  RegisterBypassWizardAPI(nullptr);
  RegisterDiffViaModelWizardAPI(nullptr);
  RegisterModelExtractorWizardAPI(nullptr);
}

int CWizardSeamTestHook::BuildEnabledProbeList() {
  auto* record = CurrentAs<CDecouplingAnalysisData>();
  int count = 0;
  for (int i = 0; record && i < record->m_Probes.GetSize(); ++i)
    count += record->m_Probes[i].m_bEnabled ? 1 : 0;
  return count;
}

int CWizardSeamTestHook::HasEnabledProbe() {
  auto* record = CurrentAs<CBypassAnalysisData>();
  for (int i = 0; record && i < record->m_Probes.GetSize(); ++i)
    if (record->m_Probes[i].m_bEnabled)
      return 1;
  return 0;
}

BYTE CWizardSeamTestHook::GetDiffViaType() {
  auto* record = CurrentAs<CDiffViaAnalysisData>();
  return record && record->m_bDiffViaType ? 1 : 0;
}

bool CWizardSeamTestHook::GetExportDifferentialMode() {
  auto* record = CurrentAs<CDiffViaAnalysisData>();
  return record && record->m_bExportDifferentialMode;
}

bool CWizardSeamTestHook::GetExportCommonMode() {
  auto* record = CurrentAs<CDiffViaAnalysisData>();
  return record && record->m_bExportCommonMode;
}

int CWizardSeamTestHook::HasProbes() {
  auto* record = CurrentAs<CDiffViaAnalysisData>();
  if (!record)
    return 0;
  if (!record->m_bBoardMode)
    return record->m_Probes.GetSize();
  for (int i = 0; i < record->m_Probes.GetSize(); ++i)
    if (record->m_Probes[i].m_bEnabled)
      return 1;
  return 0;
}

CViaPairProbe* CWizardSeamTestHook::GetProbe(int index) {
  auto* record = CurrentAs<CDiffViaAnalysisData>();
  if (!record)
    return nullptr;
  if (record->m_bBoardMode) {
    if (index != 0)
      return nullptr;
    for (int i = 0; i < record->m_Probes.GetSize(); ++i)
      if (record->m_Probes[i].m_bEnabled)
        return &record->m_Probes[i];
    return nullptr;
  }
  return index >= 0 && index < record->m_Probes.GetSize() ? &record->m_Probes[index] : nullptr;
}

int CWizardSeamTestHook::BuildEnabledPortList() {
  m_EnabledPorts.clear();
  auto* record = CurrentAs<CModelExtractorAnalysisData>();
  for (CPortProbeArray* ports : {record ? &record->m_SupplyPorts : nullptr, record ? &record->m_ViaPorts : nullptr})
    for (int i = 0; ports && i < ports->GetSize(); ++i)
      if ((*ports)[i].m_bEnabled)
        m_EnabledPorts.push_back(&(*ports)[i]);
  return static_cast<int>(m_EnabledPorts.size());
}

CPortProbe* CWizardSeamTestHook::GetEnabledPort(int index) {
  if (index < 0 || index >= static_cast<int>(m_EnabledPorts.size()))
    AfxThrowInvalidArgException();
  return m_EnabledPorts[static_cast<size_t>(index)];
}

// CViaProbeRecord: what the two via probe records (the bypass wizard's signal via and the via-model wizard's via
// or via pair) share - the host via, the check's flags, the via's connected layers and the check's message. A via
// record has no net, no reference layers and no description; its partner's layers are its own layer text.
#pragma once

#include "brimstead/ProbeLayers.h"
#include "brimstead/ProbeRecord.h"
#include "platform/base/CString.h"

class CViaProbeRecord : public CProbeRecord {
public:
  const char* GetName() override { return m_pHostProbe ? m_pHostProbe->GetName() : nullptr; }
  int GetKind() override { return HostProbeVia; }
  CHostProbe* GetHostProbe() override { return m_pHostProbe; }
  const char* GetNetName() override { return nullptr; }
  const char* GetConnectedLayers() override { return nullptr; }
  const char* GetReferenceLayers() override { return nullptr; }
  const char* GetReferenceNetName() override { return nullptr; }
  const char* GetPartnerViaLayers() override { return GetViaLayers(); }
  const char* GetDescription() override { return nullptr; }
  const char* GetConnectedLayerNames() override { return nullptr; }
  const char* GetReferenceLayersText() override { return nullptr; }

  CHostProbe* m_pHostProbe = nullptr;
  // A new record is not valid and not enabled until it is checked or enabled.
  BYTE m_bValid = 0;
  BYTE m_bEnabled = 0;
  CNameList m_ConnectedLayers;   // the layers the via connects (its count is the via's layer count)
  CString m_Message;             // of the last check

protected:
  CViaProbeRecord() = default;
  ~CViaProbeRecord() = default;
  // Copies the host probe, both flags, the connected layers and the message.
  CViaProbeRecord(const CViaProbeRecord&) = default;
  CViaProbeRecord& operator=(const CViaProbeRecord&) = default;

  // After a check: an invalid via is disabled.
  void DisableIfInvalid() {
    if (!m_bValid)
      m_bEnabled = 0;
  }
};

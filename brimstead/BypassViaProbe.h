// CBypassViaProbe: the signal via of the bypass wizard, with the layers the via check found and the layer pair the
// user chose for the analysis.
#pragma once

#include "brimstead/ProbeLayers.h"
#include "brimstead/ProbeRecord.h"
#include "platform/base/CString.h"

class CBypassViaProbe final : public CProbeRecord {
public:
  CBypassViaProbe() = default;
  CBypassViaProbe(const CBypassViaProbe& other) { *this = other; }
  // Copies the host probe, both flags, the connected-layer and layer-pair names, the chosen pair and the message;
  // not the plane-layer names nor the kept pair text.
  CBypassViaProbe& operator=(const CBypassViaProbe& other);
  ~CBypassViaProbe() = default;

  const char* GetName() override;
  int GetKind() override { return HostProbeVia; }
  CHostProbe* GetHostProbe() override { return m_pHostProbe; }
  const char* GetNetName() override { return nullptr; }
  const char* GetConnectedLayers() override { return nullptr; }
  const char* GetReferenceLayers() override { return nullptr; }
  const char* GetReferenceNetName() override { return nullptr; }
  // "<first chosen>\t<second chosen>", or none when either is empty or there is no host probe.
  const char* GetViaLayers() override;
  const char* GetPartnerViaLayers() override { return GetViaLayers(); }
  const char* GetDescription() override { return nullptr; }
  const char* GetConnectedLayerNames() override { return nullptr; }
  const char* GetReferenceLayersText() override { return nullptr; }

  // False without a host probe; otherwise runs the bypass record's via check and disables an invalid via; true.
  bool Check();

  CHostProbe* m_pHostProbe = nullptr;
  BYTE m_bValid = 0;
  BYTE m_bEnabled = 0;
  CNameList m_ConnectedLayers;   // the layers the via connects (its count is the via's layer count)
  CNameList m_PlaneLayers;       // layers with metal at the via between connected layers
  CNameList m_LayerPairs;        // candidate pairs, two names each
  CString m_FirstLayer;          // the chosen pair
  CString m_SecondLayer;
  CString m_Message;             // of the last check

private:
  CString m_PairText;
};

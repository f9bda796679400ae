// CViaPairProbe: one via, or one differential via pair, of the via-model wizard.
#pragma once

#include "brimstead/ProbeLayers.h"
#include "brimstead/ProbeRecord.h"
#include "platform/base/CString.h"

class CViaPairProbe final : public CProbeRecord {
public:
  CViaPairProbe() = default;
  CViaPairProbe(const CViaPairProbe& other) { *this = other; }
  // Copies the host probe, both flags, both layer lists and the message; the connected-layer text and the T-plane
  // names are not copied.
  CViaPairProbe& operator=(const CViaPairProbe& other);
  ~CViaPairProbe() = default;

  const char* GetName() override;
  int GetKind() override { return HostProbeVia; }
  CHostProbe* GetHostProbe() override { return m_pHostProbe; }
  const char* GetNetName() override { return nullptr; }
  const char* GetConnectedLayers() override { return nullptr; }
  const char* GetReferenceLayers() override { return nullptr; }
  const char* GetReferenceNetName() override { return nullptr; }
  // A tab before every connected layer's name, so the number of tabs is the number of connected layers. The text
  // is rebuilt on each call and kept in the record.
  const char* GetViaLayers() override;
  const char* GetPartnerViaLayers() override { return GetViaLayers(); }
  const char* GetDescription() override { return nullptr; }
  const char* GetConnectedLayerNames() override { return nullptr; }
  const char* GetReferenceLayersText() override { return nullptr; }

  // Checks the record through the current via-model record; an invalid record is disabled. Always true.
  bool Check();

  CHostProbe* m_pHostProbe = nullptr;
  // A new record is not valid and not enabled until it is checked or enabled.
  BYTE m_bValid = 0;
  BYTE m_bEnabled = 0;
  CNameList m_ConnectedLayers;          // the via's connected layers
  CNameList m_PartnerConnectedLayers;   // its partner's, for a differential pair
  CString m_Message;                    // of the last check
  CString m_TPlaneNames;                // the layers with metal the via passes

private:
  CString m_Scratch;
  CString m_ConnectedText;
};

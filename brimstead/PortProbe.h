// CPortProbe: one port of the PDN model extractor, at an IC supply pin or at a signal via or via pair (and a
// record of the decoupling wizard's pin pages).
#pragma once

#include "brimstead/ProbeLayers.h"
#include "brimstead/ProbeRecord.h"
#include "platform/base/CString.h"

class CPortProbe final : public CProbeRecord {
public:
  CPortProbe() = default;
  CPortProbe(const CPortProbe& other) { *this = other; }
  // Copies the display name, the host probe, the three flags, both layer lists and the message; the two kept texts
  // are rebuilt on use.
  CPortProbe& operator=(const CPortProbe& other);
  ~CPortProbe() = default;

  const char* GetName() override;
  int GetKind() override;   // the host probe's kind; -1 without a host probe
  CHostProbe* GetHostProbe() override { return m_pHostProbe; }
  const char* GetNetName() override;
  const char* GetConnectedLayers() override { return GetViaLayers(); }
  const char* GetReferenceLayers() override;   // tab-joined; kept in the second kept text
  const char* GetReferenceNetName() override;
  const char* GetViaLayers() override;          // tab-joined; kept in the first kept text
  // The partner's connected layers, tab-joined: empty without a partner, none without a host probe. It shares the
  // second kept text with GetReferenceLayers: copy one result before asking for the other.
  const char* GetPartnerViaLayers() override;
  const char* GetConnectedLayerNames() override { return GetViaLayers(); }
  const char* GetReferenceLayersText() override { return GetReferenceLayers(); }

  // False without a host probe; otherwise checks the port through the current extractor record and disables an
  // invalid port; true.
  bool Check();
  // The port's identity: the host probe's name; for a via without one, its net's name and "(%.6f,%.6f)" of its
  // element's position. "???" (and false) for a port of another kind.
  bool MakeDisplayName();

  CHostProbe* m_pHostProbe = nullptr;
  BYTE m_bValid = 0;
  BYTE m_bEnabled = 0;
  BYTE m_bExpanded = 0;
  CNameList m_FirstLayers;    // pin: connected layers; via: the via's connected layers
  CNameList m_SecondLayers;   // pin: reference layers; via pair: the partner's connected layers
  CString m_Message;
  CString m_DisplayName;

private:
  CString m_FirstKept;
  CString m_SecondKept;
};

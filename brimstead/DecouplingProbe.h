// CDecouplingProbe: one IC power pin of the decoupling-analysis wizard.
#pragma once

#include "brimstead/ProbeRecord.h"
#include "platform/base/CString.h"

class CDecouplingProbe final : public CProbeRecord {
public:
  CDecouplingProbe() = default;
  CDecouplingProbe(const CDecouplingProbe& other) { *this = other; }
  // Copies the host probe, the element, the three flags and the message; the kept layer texts are rebuilt on use.
  CDecouplingProbe& operator=(const CDecouplingProbe& other);
  ~CDecouplingProbe() = default;

  const char* GetName() override;
  int GetKind() override { return HostProbeSupplyPin; }
  CHostProbe* GetHostProbe() override { return m_pHostProbe; }
  const char* GetNetName() override;
  const char* GetConnectedLayers() override;   // leading-tab form
  const char* GetReferenceLayers() override;   // leading-tab form
  const char* GetReferenceNetName() override;
  const char* GetViaLayers() override { return nullptr; }
  const char* GetPartnerViaLayers() override { return nullptr; }
  const char* GetConnectedLayerNames() override;   // tab-joined
  const char* GetReferenceLayersText() override;   // tab-joined

  // Whether the pin reaches T-plane metal (valid); a pin that does not is disabled and gets a message. Always true.
  // A record without a host probe (the add-probes dialog makes such records) cannot be checked: it is not valid.
  bool Check();

  CHostProbe* m_pHostProbe = nullptr;
  CHostProbeElement* m_pElement = nullptr;   // the pin the probe stands on, when known
  BYTE m_bValid = 0;
  BYTE m_bEnabled = 0;
  BYTE m_bExpanded = 0;   // the pin pages show its group expanded
  CString m_Message;      // of the last Check; empty when valid

private:
  CString m_ConnectedText;
  CString m_ReferenceText;
  CString m_ConnectedNames;
  CString m_ReferenceNames;
};

// "<component>.<pin>" of a pin object: how a settings file's system-mode line, the pin pages and the add-board-probes
// dialog name the pin. What the object lacks (the object, its component) is an empty part. Designators and pin names
// may both hold full stops, so the text is matched whole and never split.
CString ComponentPinText(CHostProbeElement* element);

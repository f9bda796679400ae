// CViaPairProbe: one via, or one differential via pair, of the via-model wizard.
#pragma once

#include "brimstead/ViaProbeRecord.h"

class CViaPairProbe final : public CViaProbeRecord {
public:
  CViaPairProbe() = default;
  CViaPairProbe(const CViaPairProbe& other) : CViaProbeRecord() { *this = other; }
  // Copies the host probe, both flags, both layer lists and the message; the connected-layer text and the T-plane
  // names are not copied.
  CViaPairProbe& operator=(const CViaPairProbe& other);
  ~CViaPairProbe() = default;

  // A tab before every connected layer's name, so the number of tabs is the number of connected layers. The text
  // is rebuilt on each call and kept in the record.
  const char* GetViaLayers() override;

  // Checks the record through the current via-model record; an invalid record is disabled. Always true.
  bool Check();

  CNameList m_PartnerConnectedLayers;   // its partner's, for a differential pair
  CString m_TPlaneNames;                // the layers with metal the via passes

private:
  CString m_ConnectedText;
};

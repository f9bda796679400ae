// CBypassViaProbe: the signal via of the bypass wizard, with the layers the via check found and the layer pair the
// user chose for the analysis.
#pragma once

#include "brimstead/ViaProbeRecord.h"

class CBypassViaProbe final : public CViaProbeRecord {
public:
  CBypassViaProbe() = default;
  CBypassViaProbe(const CBypassViaProbe& other) : CViaProbeRecord() { *this = other; }
  // Copies the host probe, both flags, the connected-layer and layer-pair names, the chosen pair and the message;
  // not the plane-layer names nor the kept pair text.
  CBypassViaProbe& operator=(const CBypassViaProbe& other);
  ~CBypassViaProbe() = default;

  // "<first chosen>\t<second chosen>", or none when either is empty or there is no host probe.
  const char* GetViaLayers() override;

  // False without a host probe; otherwise runs the bypass record's via check and disables an invalid via; true.
  bool Check();

  // Whether the chosen pair is one of the via's pairs (in its order).
  bool HasChosenPair() const;
  // A checked via without one of its pairs chosen takes its first pair: the analysis never gets a via without the
  // layers to analyse. True when it has a pair chosen afterwards.
  bool TakeFirstPairUnlessChosen();
  // The via's pair of the two names, in either order; none when they are not one of its pairs.
  const CString* FindPair(const CString& first, const CString& second) const;

  CNameList m_PlaneLayers;   // layers with metal at the via between connected layers
  CNameList m_LayerPairs;    // candidate pairs, two names each
  CString m_FirstLayer;      // the chosen pair
  CString m_SecondLayer;

private:
  CString m_PairText;
};

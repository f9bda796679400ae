// The interface that all four probe records present to the host and to the wizard pages.
//
// The first nine operations are the table the host calls by position. Two descriptions of what positions 4 to 7
// answer exist, and callers rely on both: one reads position 4 as the probe's net name and 7 as its reference net
// name, with leading-tab layer texts for the decoupling probe; the other reads position 4 as a description (the
// text of the host probe's position-4 object, which is its reference net), 5 and 6 as tab-joined layer texts and 7
// as the net name. Both meanings are offered, each under its own name; positions 8 and 9 mean the same in both.
//
// Layer texts are built from the current record's board (layers of kind 1 skipped, stack order) and kept in the
// record until the same operation builds them again. "none" is a null pointer, distinct from an empty text.
#pragma once

#include "brimstead/HostInterfaces.h"

class CProbeRecord {
public:
  /* 1 */ virtual const char* GetName() = 0;
  /* 2 */ virtual int GetKind() = 0;   // 1 supply pin, 0 via
  /* 3 */ virtual CHostProbe* GetHostProbe() = 0;
  /* 4 */ virtual const char* GetNetName() = 0;
  /* 5 */ virtual const char* GetConnectedLayers() = 0;
  /* 6 */ virtual const char* GetReferenceLayers() = 0;
  /* 7 */ virtual const char* GetReferenceNetName() = 0;
  /* 8 */ virtual const char* GetViaLayers() = 0;
  /* 9 */ virtual const char* GetPartnerViaLayers() = 0;

  // The other reading of positions 4 to 7.
  virtual const char* GetDescription() { return GetReferenceNetName(); }
  virtual const char* GetConnectedLayerNames() = 0;   // tab-joined: no tab before the first name
  virtual const char* GetReferenceLayersText() = 0;   // tab-joined
  // Positions 8 and 9 under their other names.
  const char* GetConnectedLayersText() { return GetViaLayers(); }
  const char* GetPartnerLayersText() { return GetPartnerViaLayers(); }

protected:
  // Records are values held in arrays; the host never deletes one through this interface.
  ~CProbeRecord() = default;
};

// Layer names and layer texts of a host probe over the current record's board (layers of kind 1 skipped, stack
// order), shared by the probe records.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "platform/base/CString.h"

#include <vector>

enum class LayerTest { Connected, Reference };

using CNameList = std::vector<CString>;

// The names of the layers that pass the probe's test; empty without a probe, a record or a board.
CNameList ProbeLayerNames(CHostProbe* probe, LayerTest test);

enum class LayerTextForm {
  LeadingTab,   // a tab before every name
  Separator,    // a tab between names
};
// The same names as one text. A layer without a name adds nothing (in the leading-tab form its tab still goes in).
CString ProbeLayerText(CHostProbe* probe, LayerTest test, LayerTextForm form);

#include "brimstead/ProbeLayers.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/HostObjectRefs.h"

namespace {
template <class Visit>
void ForEachPassingLayer(CHostProbe* probe, LayerTest test, Visit visit) {
  CAnalysisData* record = GetAnalysisData();
  if (!probe || !record || !record->m_pBoard)
    return;
  CHostCollectionRef layers(record->m_pBoard->GetLayers());
  for (int i = 0; i < layers.Count(); ++i) {
    CHostLayer* layer = layers.Item<CHostLayer>(i);
    if (!layer || layer->GetKind() == HostLayerKindSkipped)
      continue;
    const bool passes = test == LayerTest::Connected ? probe->IsConnectedOn(layer) : probe->IsReferenceLayer(layer);
    if (passes)
      visit(layer->GetName());
  }
}
}  // namespace

CNameList ProbeLayerNames(CHostProbe* probe, LayerTest test) {
  CNameList names;
  ForEachPassingLayer(probe, test, [&](const char* name) { names.emplace_back(name ? name : ""); });
  return names;
}

CString ProbeLayerText(CHostProbe* probe, LayerTest test, LayerTextForm form) {
  CString text;
  ForEachPassingLayer(probe, test, [&](const char* name) {
    if (form == LayerTextForm::LeadingTab || !text.IsEmpty())
      text += '\t';
    if (name)
      text += name;
  });
  return text;
}

#include "host/HostGeometryQuery.h"

#include "host/HostLayer.h"
#include "host/HostNet.h"

#include <algorithm>

namespace host {

bool MetalArea::Hits(double x, double y, double size) const {
  const double half = size > 0.0 ? size / 2.0 : 0.0;
  return x >= x1 - half && x <= x2 + half && y >= y1 - half && y <= y2 + half;
}

std::vector<const MetalArea*> HostGeometryQuery::HitsAt(double x, double y, double size) const {
  std::vector<const MetalArea*> hits;
  for (const MetalArea& area : m_areas)
    if (area.Hits(x, y, size))
      hits.push_back(&area);
  std::stable_sort(hits.begin(), hits.end(),
                   [](const MetalArea* a, const MetalArea* b) { return a->layer->Index() < b->layer->Index(); });
  return hits;
}

const char* HostGeometryQuery::QueryMetalAreas(double x, double y, double size, int /*zero*/) {
  ++m_queries;
  m_metalText.clear();
  for (const MetalArea* area : HitsAt(x, y, size))
    m_metalText += area->layer->Name() + "\t" + area->net->Name() + "\n";
  return m_metalText.c_str();
}

const char* HostGeometryQuery::QueryTPlanes(double x, double y, double size, int /*zero*/) {
  ++m_queries;
  m_tplaneText.clear();
  const std::vector<const MetalArea*> hits = HitsAt(x, y, size);
  for (size_t i = 1; i < hits.size(); ++i) {
    const MetalArea* upper = hits[i - 1];
    const MetalArea* lower = hits[i];
    if (upper->net == lower->net || upper->layer == lower->layer)
      continue;
    m_tplaneText += upper->layer->Name() + "\t" + upper->net->Name() + "/" + lower->net->Name() + "\t" +
                    lower->layer->Name() + "\n";
  }
  return m_tplaneText.c_str();
}

}  // namespace host

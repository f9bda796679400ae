#include "brimstead/BoardGeometry.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/HostObjectRefs.h"

#include <algorithm>
#include <cstring>

namespace {

CHostCollectionRef CurrentBoardLayers() {
  CAnalysisData* record = GetAnalysisData();
  CHostBoard* board = record ? record->m_pBoard : nullptr;
  return CHostCollectionRef(board ? board->GetLayers() : nullptr);
}

bool Skipped(CHostLayer* layer) { return !layer || layer->GetKind() == HostLayerKindSkipped; }

const char* NameOf(CHostLayer* layer) {
  const char* name = layer ? layer->GetName() : nullptr;
  return name ? name : "";
}

struct ProbePoint {
  double x = 0.0;
  double y = 0.0;
  double size = 0.0;
};

ProbePoint PointOf(CHostProbe* probe, CHostProbeElement* element) {
  ProbePoint point;
  if (!probe)
    return point;
  const CHostPosition position = probe->GetPosition();
  point.x = position.x;
  point.y = position.y;
  if (!element)
    element = probe->GetElement();
  if (element)
    point.size = element->GetSize();
  return point;
}

bool HasKey(const CStringPairArray& areas, const char* name) {
  return FindEqualRange(areas, name, CompareKeyWithPair, nullptr, nullptr);
}

}  // namespace

CString NextToken(int& position, const char* text, const char* separator) {
  if (!text || position < 0)
    return CString();
  const int length = static_cast<int>(std::strlen(text));
  if (position >= length)
    return CString();
  const char* rest = text + position;
  const char* found = separator && *separator ? std::strstr(rest, separator) : nullptr;
  if (!found) {
    position = length;
    return CString(rest);
  }
  const int offset = static_cast<int>(found - rest);
  position += offset + 1;
  CString token(rest, offset);
  token.Trim();
  return token;
}

int FindLayerIndex(CHostCollection* layers, const char* name) {
  if (!layers || !name)
    return -1;
  const int count = layers->GetCount();
  for (int i = 0; i < count; ++i) {
    CHostLayer* layer = HostItemAs<CHostLayer>(layers, i);
    if (!Skipped(layer) && std::strcmp(NameOf(layer), name) == 0)
      return i;
  }
  return -1;
}

int ComparePairKeys(const CStringPair& a, const CStringPair& b) { return a.key.Compare(b.key); }

int CompareKeyWithPair(const char* key, const CStringPair& pair) { return -pair.key.Compare(key ? key : ""); }

bool FindEqualRange(const CStringPairArray& pairs, const char* key, int (*compare)(const char*, const CStringPair&),
                    int* first, int* last) {
  int low = 0;
  int high = pairs.GetSize() - 1;
  int found = -1;
  while (low <= high) {
    const int middle = low + (high - low) / 2;
    const int order = compare(key, pairs[middle]);
    if (order == 0) {
      found = middle;
      break;
    }
    if (order < 0)
      high = middle - 1;
    else
      low = middle + 1;
  }
  if (found < 0)
    return false;
  if (first) {
    int i = found;
    while (i > 0 && compare(key, pairs[i - 1]) == 0)
      --i;
    *first = i;
  }
  if (last) {
    int i = found;
    while (i + 1 < pairs.GetSize() && compare(key, pairs[i + 1]) == 0)
      ++i;
    *last = i;
  }
  return true;
}

void GetMetalAreasAt(CHostGeometryQuery* query, double x, double y, double size, CStringPairArray& areas) {
  areas.RemoveAll();
  const char* text = query ? query->QueryMetalAreas(x, y, size, 0) : nullptr;
  if (!text)
    return;
  const int length = static_cast<int>(std::strlen(text));
  int position = 0;
  while (position < length) {
    const CString line = NextToken(position, text, "\n");
    const int tab = line.Find('\t');
    if (line.IsEmpty() || tab < 0)
      continue;
    areas.Add(CStringPair{line.Left(tab), line.Mid(tab + 1)});
  }
  CStringPair* data = areas.GetData();
  std::sort(data, data + areas.GetSize(),
            [](const CStringPair& a, const CStringPair& b) { return ComparePairKeys(a, b) < 0; });
}

void GetMetalAreasAtProbe(CHostGeometryQuery* query, CHostProbe* probe, CHostProbeElement* element,
                          CStringPairArray& areas) {
  const ProbePoint point = PointOf(probe, element);
  GetMetalAreasAt(query, point.x, point.y, point.size, areas);
}

void GetTPlaneSpansAt(CHostGeometryQuery* query, double x, double y, double size, CSpanList& spans) {
  spans.clear();
  spans.shrink_to_fit();
  CHostCollectionRef layers = CurrentBoardLayers();
  const char* text = query ? query->QueryTPlanes(x, y, size, 0) : nullptr;
  if (!text || !*text)
    return;
  const int length = static_cast<int>(std::strlen(text));
  int position = 0;
  while (position < length) {
    const CString line = NextToken(position, text, "\n");
    if (line.IsEmpty())
      continue;
    int field = 0;
    const CString first = NextToken(field, line, "\t");
    NextToken(field, line, "\t");
    const CString third = NextToken(field, line, "\t");
    if (first.IsEmpty() || third.IsEmpty())
      continue;
    const int a = FindLayerIndex(layers.Get(), first);
    const int b = FindLayerIndex(layers.Get(), third);
    if (a < 0 || b < 0)
      continue;
    spans.push_back(std::min(a, b));
    spans.push_back(std::max(a, b));
  }
}

CPlanesAtPoint::CPlanesAtPoint(CHostGeometryQuery* query, double x, double y, double size)
    : m_pQuery(query), m_x(x), m_y(y), m_size(size) {
  GetMetalAreasAt(query, x, y, size, m_Areas);
}

CPlanesAtPoint CPlanesAtPoint::AtProbe(CHostGeometryQuery* query, CHostProbe* probe, CHostProbeElement* element) {
  const ProbePoint point = PointOf(probe, element);
  return CPlanesAtPoint(query, point.x, point.y, point.size);
}

bool CPlanesAtPoint::PassesThroughTPlane(int lowLayer, int highLayer, CString* names) {
  CHostCollectionRef layers = CurrentBoardLayers();
  return PassesThroughTPlane(layers.Get(), lowLayer, highLayer, names);
}

bool CPlanesAtPoint::PassesThroughTPlane(CHostCollection* layers, int lowLayer, int highLayer, CString* names) {
  if (names)
    names->Empty();
  bool found = false;
  {
    const int count = layers ? layers->GetCount() : 0;
    for (int i = lowLayer + 1; i < highLayer && i < count; ++i) {
      if (i < 0)
        continue;
      CHostLayer* layer = HostItemAs<CHostLayer>(layers, i);
      if (Skipped(layer) || !HasKey(m_Areas, NameOf(layer)))
        continue;
      found = true;
      if (!names)
        break;
      if (!names->IsEmpty())
        *names += '\t';
      *names += NameOf(layer);
    }
  }
  if (found)
    return true;
  if (!m_bSpansRead) {
    GetTPlaneSpansAt(m_pQuery, m_x, m_y, m_size, m_Spans);
    m_bSpansRead = true;
  }
  for (size_t i = 0; i + 1 < m_Spans.size(); i += 2)
    if (m_Spans[i] <= lowLayer && highLayer <= m_Spans[i + 1])
      return true;
  return false;
}

bool CPlanesAtPoint::SegmentPassesThroughTPlane(const char* layerA, const char* layerB) {
  int a = -1;
  int b = -1;
  {
    CHostCollectionRef layers = CurrentBoardLayers();
    a = FindLayerIndex(layers.Get(), layerA);
    b = FindLayerIndex(layers.Get(), layerB);
  }
  return PassesThroughTPlane(std::min(a, b), std::max(a, b), nullptr);
}

bool PassesThroughTPlane(CHostGeometryQuery* query, double x, double y, double size, int lowLayer, int highLayer,
                         CString* names) {
  return CPlanesAtPoint(query, x, y, size).PassesThroughTPlane(lowLayer, highLayer, names);
}

bool ViaPassesThroughTPlane(CHostGeometryQuery* query, CHostProbe* via, CHostProbeElement* element, CString* names) {
  int lowLayer = 0;
  int highLayer = 0;
  {
    CHostCollectionRef layers = CurrentBoardLayers();
    const int count = layers.Count();
    lowLayer = count;
    for (int i = 0; i < count; ++i) {
      CHostLayer* layer = layers.Item<CHostLayer>(i);
      if (Skipped(layer) || !via || !via->IsConnectedOn(layer))
        continue;
      lowLayer = std::min(lowLayer, i);
      highLayer = std::max(highLayer, i);
    }
  }
  const ProbePoint point = PointOf(via, element);
  return PassesThroughTPlane(query, point.x, point.y, point.size, lowLayer, highLayer, names);
}

bool SegmentPassesThroughTPlane(CHostGeometryQuery* query, CHostProbe* via, CHostProbeElement* element,
                                const char* layerA, const char* layerB) {
  return CPlanesAtPoint::AtProbe(query, via, element).SegmentPassesThroughTPlane(layerA, layerB);
}

bool SupplyPinTouchesTPlane(CHostGeometryQuery* query, CHostProbe* pin, CHostProbeElement* element) {
  if (!pin)
    return false;
  CStringPairArray areas;
  GetMetalAreasAtProbe(query, pin, element, areas);
  CHostNet* net = pin->GetNet();
  const char* netName = net ? net->GetName() : nullptr;
  CAnalysisData* record = GetAnalysisData();
  bool netFound = false;
  // Outside board mode the reference-layer condition alone decides.
  bool connectionFound = !(record && record->m_bBoardMode);
  CHostCollectionRef layers = CurrentBoardLayers();
  const int count = layers.Count();
  for (int i = 0; i < count; ++i) {
    CHostLayer* layer = layers.Item<CHostLayer>(i);
    if (Skipped(layer))
      continue;
    const char* name = NameOf(layer);
    if (!netFound && pin->IsReferenceLayer(layer)) {
      int first = 0;
      int last = -1;
      if (FindEqualRange(areas, name, CompareKeyWithPair, &first, &last)) {
        if (!net) {
          netFound = true;
        } else {
          for (int k = first; k <= last && !netFound; ++k)
            netFound = areas[k].value == (netName ? netName : "");
        }
      }
    }
    if (!connectionFound && pin->IsConnectedOn(layer))
      connectionFound = HasKey(areas, name);
    if (netFound && connectionFound)
      return true;
  }
  return false;
}

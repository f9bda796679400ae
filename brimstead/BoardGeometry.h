// Board-geometry checks: can a probe (a signal via or an IC supply pin) interact with the board's power planes,
// the T-planes? Stateless; they combine the layer stack of the current record's board, the probe's own layer
// predicates and the host's geometry answers at the probe's point. They produce no messages.
//
// Layer indices are positions in the board's layer collection; layers of kind 1 are skipped by every loop and
// lookup but keep their index. A null geometry query, a null answer, no record or no board all mean "nothing
// there". Every layer collection taken is released before the call returns.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "brimstead/RecordArray.h"
#include "platform/base/CString.h"

#include <vector>

// A layer name (key) and the net of a metal area on it (value).
struct CStringPair {
  CString key;
  CString value;
};
using CStringPairArray = CRecordArray<CStringPair>;
// Pairs (lower layer index, upper layer index), one pair per T-plane.
using CSpanList = std::vector<int>;

// The next token of `text` from `position` up to `separator`, trimmed of white space; the position moves past the
// separator. Without a further separator the rest is answered untrimmed and the position becomes the length.
CString NextToken(int& position, const char* text, const char* separator);
// Index of the first layer not of kind 1 whose name equals `name` byte for byte; -1 when none.
int FindLayerIndex(CHostCollection* layers, const char* name);
int ComparePairKeys(const CStringPair& a, const CStringPair& b);
int CompareKeyWithPair(const char* key, const CStringPair& pair);
// Binary search of a key-sorted array; the lowest and highest equal indices go to `first` and `last` (each may be
// null). False when no element equals the key.
bool FindEqualRange(const CStringPairArray& pairs, const char* key, int (*compare)(const char*, const CStringPair&),
                    int* first, int* last);

// Metal areas at a point, sorted by layer name.
void GetMetalAreasAt(CHostGeometryQuery* query, double x, double y, double size, CStringPairArray& areas);
// The same at a probe's point with the size of `element` (or of the probe's own element; 0 without one).
void GetMetalAreasAtProbe(CHostGeometryQuery* query, CHostProbe* probe, CHostProbeElement* element,
                          CStringPairArray& areas);
// T-plane spans at a point whose two layers the board knows.
void GetTPlaneSpansAt(CHostGeometryQuery* query, double x, double y, double size, CSpanList& spans);

// What the host answers at one point, each asked at most once: the metal areas when made, the T-plane spans when a
// test first needs them. The tests of every layer pair of a via then share one answer of each kind.
class CPlanesAtPoint {
public:
  CPlanesAtPoint(CHostGeometryQuery* query, double x, double y, double size);
  // At a probe's point with the size of `element` (or of the probe's own element; 0 without one).
  static CPlanesAtPoint AtProbe(CHostGeometryQuery* query, CHostProbe* probe, CHostProbeElement* element);
  // Sorted by layer name.
  const CStringPairArray& MetalAreas() const { return m_Areas; }
  // PassesThroughTPlane at this point.
  bool PassesThroughTPlane(int lowLayer, int highLayer, CString* names);
  // The same over a layer collection of the current record's board that the caller holds.
  bool PassesThroughTPlane(CHostCollection* layers, int lowLayer, int highLayer, CString* names);
  // PassesThroughTPlane between two named layers at this point.
  bool SegmentPassesThroughTPlane(const char* layerA, const char* layerB);

private:
  CHostGeometryQuery* m_pQuery;
  double m_x;
  double m_y;
  double m_size;
  CStringPairArray m_Areas;
  bool m_bSpansRead = false;
  CSpanList m_Spans;
};

// True when a layer strictly between lowLayer and highLayer has a metal area at the point, or a T-plane at the
// point spans the whole range. With `names`, every in-between layer with metal is listed (tab-joined).
bool PassesThroughTPlane(CHostGeometryQuery* query, double x, double y, double size, int lowLayer, int highLayer,
                         CString* names);
// PassesThroughTPlane between the via's first and last connected layers.
bool ViaPassesThroughTPlane(CHostGeometryQuery* query, CHostProbe* via, CHostProbeElement* element, CString* names);
// PassesThroughTPlane between two named layers at the via.
bool SegmentPassesThroughTPlane(CHostGeometryQuery* query, CHostProbe* via, CHostProbeElement* element,
                                const char* layerA, const char* layerB);
// A supply pin reaches T-plane metal: some reference layer has an area of the pin's net at the pin (any net when
// the pin has none) and, in board mode, some connected layer has any metal area at the pin.
bool SupplyPinTouchesTPlane(CHostGeometryQuery* query, CHostProbe* pin, CHostProbeElement* element);

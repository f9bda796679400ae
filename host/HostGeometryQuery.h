// The bundled host's geometry answers at a point: the metal areas on each layer and the T-planes.
//
// Metal areas are the board's plane areas (rectangles on metal layers). A point hits an area when it lies inside
// the area widened by half the queried size on every side. A T-plane is formed by two areas of different nets hit
// at the point that follow each other in the stack with no other hit area between them: the cavity between a
// power plane and its neighbouring plane.
#pragma once

#include "brimstead/HostInterfaces.h"

#include <string>
#include <vector>

namespace host {

class HostLayer;
class HostNet;

struct MetalArea {
  HostLayer* layer = nullptr;
  HostNet* net = nullptr;
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;   // metres, x1 <= x2, y1 <= y2

  bool Hits(double x, double y, double size) const;
};

class HostGeometryQuery final : public CHostGeometryQuery {
public:
  explicit HostGeometryQuery(const std::vector<MetalArea>& areas) : m_areas(areas) {}

  // "<layer>\t<net>\n" per hit area, in stack order.
  const char* QueryMetalAreas(double x, double y, double size, int zero) override;
  // "<upper layer>\t<upper net>/<lower net>\t<lower layer>\n" per T-plane, from the top of the stack down.
  const char* QueryTPlanes(double x, double y, double size, int zero) override;

  int QueryCount() const { return m_queries; }

private:
  std::vector<const MetalArea*> HitsAt(double x, double y, double size) const;

  const std::vector<MetalArea>& m_areas;
  std::string m_metalText;
  std::string m_tplaneText;
  int m_queries = 0;
};

}  // namespace host

#include "host/HostBoardMarker.h"

#include <algorithm>

namespace host {

CHostMarkGeometry* HostMarkGroup::MakeGeometry(CBoardMarkShape* shape) {
  if (!shape)
    return nullptr;
  MarkShape read;
  if (const double* centre = shape->GetCentre(); centre && shape->GetPointCount() == 0) {
    read.circle = true;
    read.size = shape->GetSize();
    read.centre = {centre[0], centre[1]};
  } else {
    const double* start = shape->GetPoint(0);
    const double* end = shape->GetPoint(1);
    if (start)
      read.start = {start[0], start[1]};
    if (end)
      read.end = {end[0], end[1]};
  }
  m_geometries.push_back(std::make_unique<HostMarkGeometry>(read));
  return m_geometries.back().get();
}

CHostMark* HostMarkGroup::AddMark(CHostMarkGeometry* geometry) {
  auto it = std::find_if(m_geometries.begin(), m_geometries.end(),
                         [&](const auto& g) { return g.get() == geometry; });
  if (it == m_geometries.end())
    return nullptr;
  m_marks.push_back(std::make_unique<HostMark>((*it)->Shape()));
  return m_marks.back().get();
}

CHostMarkGroup* HostBoardMarker::CreateMarkGroup(int /*one*/) {
  m_groups.push_back(std::make_unique<HostMarkGroup>());
  return m_groups.back().get();
}

void HostBoardMarker::RemoveMark(int index) {
  ++m_removals;
  if (index < 0 || index >= GetMarkCount())
    return;
  m_groups.erase(m_groups.begin() + index);
}

}  // namespace host

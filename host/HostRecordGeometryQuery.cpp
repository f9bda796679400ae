#include "host/HostRecordGeometryQuery.h"

#include "host/HostBoard.h"

namespace host {

CHostGeometryQuery* HostRecordGeometryQuery::Current() const {
  // A single board is the record's whatever its index says (in board mode the record may hold none).
  const int index = m_boards.size() == 1 || !m_recordBoard ? 0 : m_recordBoard();
  if (index < 0 || index >= static_cast<int>(m_boards.size()) || !m_boards[static_cast<size_t>(index)])
    return nullptr;
  return &m_boards[static_cast<size_t>(index)]->GeometryQuery();
}

const char* HostRecordGeometryQuery::QueryMetalAreas(double x, double y, double size, int zero) {
  CHostGeometryQuery* query = Current();
  return query ? query->QueryMetalAreas(x, y, size, zero) : "";
}

const char* HostRecordGeometryQuery::QueryTPlanes(double x, double y, double size, int zero) {
  CHostGeometryQuery* query = Current();
  return query ? query->QueryTPlanes(x, y, size, zero) : "";
}

}  // namespace host

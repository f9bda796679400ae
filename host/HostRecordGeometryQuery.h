// The geometry query the host hands a wizard when its system holds several boards. Every board answers for its own
// areas (HostBoard::GeometryQuery); the module's checks combine the layer stack of the board that the analysis record
// holds with the query they were given, so the query must be that board's too. This one passes each question on to
// the query of the board the record holds, which the host reads from the wizard (its board index) at the time of
// the question: a board chosen on the wizard's board page is answered for at once.
#pragma once

#include "brimstead/HostInterfaces.h"

#include <functional>
#include <vector>

namespace host {

class HostBoard;

class HostRecordGeometryQuery final : public CHostGeometryQuery {
public:
  // `boards` in the system's order (not owned); `recordBoard` answers the index of the record's board.
  HostRecordGeometryQuery(std::vector<HostBoard*> boards, std::function<int()> recordBoard)
      : m_boards(std::move(boards)), m_recordBoard(std::move(recordBoard)) {}

  // An index outside the system (no board chosen yet) is answered with no area and no T-plane.
  const char* QueryMetalAreas(double x, double y, double size, int zero) override;
  const char* QueryTPlanes(double x, double y, double size, int zero) override;

private:
  CHostGeometryQuery* Current() const;

  std::vector<HostBoard*> m_boards;
  std::function<int()> m_recordBoard;
};

}  // namespace host

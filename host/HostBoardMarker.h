// The board view's marker of the bundled host: it records the marks the module asks for (shape, colour, width), so
// that the demo can draw them and tests can read them.
#pragma once

#include "brimstead/HostInterfaces.h"

#include <deque>
#include <memory>
#include <vector>

namespace host {

// What the host read from a shape descriptor when it made a geometry.
struct MarkShape {
  bool circle = false;
  double size = 0.0;                         // circle
  CHostPosition centre;                      // circle
  CHostPosition start, end;                  // segment
};

class HostMarkGeometry final : public CHostMarkGeometry {
public:
  explicit HostMarkGeometry(MarkShape shape) : m_shape(shape) {}
  const MarkShape& Shape() const { return m_shape; }

private:
  MarkShape m_shape;
};

class HostMark final : public CHostMark {
public:
  explicit HostMark(MarkShape shape) : m_shape(shape) {}
  void SetColour(COLORREF colour, int /*zero*/) override { m_colour = colour; }
  void SetLineWidth(double width) override { m_width = width; }
  void SetStyle(int style) override { m_style = style; }

  const MarkShape& Shape() const { return m_shape; }
  COLORREF Colour() const { return m_colour; }
  double LineWidth() const { return m_width; }
  int Style() const { return m_style; }

private:
  MarkShape m_shape;
  COLORREF m_colour = 0;
  double m_width = 0.0;
  int m_style = -1;
};

class HostMarkGroup final : public CHostMarkGroup {
public:
  CHostMarkGeometry* MakeGeometry(CBoardMarkShape* shape) override;
  CHostMark* AddMark(CHostMarkGeometry* geometry) override;   // null for a geometry this group did not make

  const std::vector<std::unique_ptr<HostMark>>& Marks() const { return m_marks; }

private:
  std::vector<std::unique_ptr<HostMarkGeometry>> m_geometries;
  std::vector<std::unique_ptr<HostMark>> m_marks;
};

class HostBoardMarker final : public CHostBoardMarker {
public:
  CHostMarkGroup* CreateMarkGroup(int one) override;
  // An index outside the list removes nothing. The first and the last group go in constant time, so that a
  // caller emptying the view from either end takes time linear in the marks.
  void RemoveMark(int index) override;
  int GetMarkCount() override { return static_cast<int>(m_groups.size()); }
  void Refresh() override { ++m_refreshes; }

  const std::deque<std::unique_ptr<HostMarkGroup>>& Groups() const { return m_groups; }
  int Refreshes() const { return m_refreshes; }
  int Removals() const { return m_removals; }

private:
  std::deque<std::unique_ptr<HostMarkGroup>> m_groups;
  int m_refreshes = 0;
  int m_removals = 0;
};

}  // namespace host

// The selection frame: a band three pixels wide around the selected range, from one pixel outside its edge
// to two inside, drawn by inverting pixels (drawing it again removes it) and split over the panes that
// frozen rows and columns make. The frame's range, kind, shown and lock state live here, one object per grid.
//
// Call flow: the engine draws the frame after every block it paints (DrawFrame with eraseOld and no new range:
// within the freshly painted block the frame is inverted back in), asks UpdateFrame before it scrolls (the
// whole grid repaints, so the moved pixels come out right) and locks the frame around inserts and removals.
#pragma once

#include "grid/core/CGXGridFeatures.h"
#include "grid/core/CGXRange.h"

class CGXExcelLikeFrameImp : public CGXGridExcelLikeFrameImp {
 public:
  // Inverts the bands of the frame rectangle within the clip rectangle; sides: 1 top, 2 left, 4 bottom,
  // 8 right. The bands never overlap, so no pixel is inverted twice.
  virtual void DrawFrameRect(CGXGridCore* grid, CDC* dc, const CRect& frame, const CRect& clip, UINT sides);
  // The frame of `range` in every pane where part of it shows.
  virtual void UpdateFrame(CGXGridCore* grid, CDC* dc, const CGXRange& range);
  // With eraseOld and a shown frame the frame is inverted again (removing it, or bringing it back in a
  // block just painted); a new range (normalised to cells below and right of the headers) is stored and,
  // with a device context, drawn.
  void DrawFrame(CGXGridCore* grid, CDC* dc, BOOL eraseOld, const CGXRange* newRange) override;
  // Draws the current frame again through a client device context.
  virtual void RedrawFrame(CGXGridCore* grid);
  // Hides (lock) or shows the frame around the first selected range; the previous lock state.
  BOOL LockFrame(CGXGridCore* grid, BOOL lock, BOOL hint) override;

  // args: CDC*, const CRect* frame, const CRect* clip, sides.
  void SelectionFrameForward0(CGXGridCore* grid, const GXForwardArgs& args) override;
  // Before a scroll: the grid repaints whole, with the frame where it belongs afterwards.
  void UpdateFrame(CGXGridCore* grid, const GXForwardArgs& args) override;

  CGXRange m_range;
  int m_nKind = 0;  // 0 cells, 2 whole rows, 7 whole columns
  BOOL m_bShown = FALSE;
  BOOL m_bLocked = FALSE;
};

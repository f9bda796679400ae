// What a grid keeps for its current cell between lookups: the cell's composed style, the control that
// style names, and the switches that protect entries of the grid's style cache when the caches are freed.
#pragma once

#include "grid/core/CGXStyle.h"
#include "grid/core/gxtypes.h"

class CGXControl;

class CGXGridCurrentCell {
 public:
  // The style lookup composed the current cell's style: the control it names is kept and the style is
  // held until the next Reset, so that later lookups of the current cell need not compose it again.
  void Notify(CGXControl* control, const CGXStyle& style);
  // The current cell changed, an edit completed or a paint begins: the held style is emptied (the control
  // stays until the grid lets go of it, an edit in progress must survive a paint).
  void Reset();
  // The held style, null when there is none.
  const CGXStyle* GetStyle() const { return m_bHoldsStyle ? &m_style : nullptr; }
  // Whether one of the four keep values is set, and whether a cached style of (row, col) is kept by them.
  BOOL HasKeepValues() const;
  BOOL KeepsCell(ROWCOL row, ROWCOL col) const;

  CGXControl* m_pControl = nullptr;
  // On: the current cell's composed style and control survive paints and cache releases.
  BOOL m_bKeepCurrentCell = FALSE;
  // Cached styles of these rows and columns survive the release of the caches (GX_INVALID = not set).
  ROWCOL m_nKeepRows[2] = {GX_INVALID, GX_INVALID};
  ROWCOL m_nKeepCols[2] = {GX_INVALID, GX_INVALID};

 private:
  CGXStyle m_style;
  BOOL m_bHoldsStyle = FALSE;
};

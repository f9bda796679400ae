// Fill by dragging: the user drags the handle at the corner of a selected cell range; the range grows (the
// new cells repeat the selected ones, values or whole styles by the fill flags) or shrinks (the cells left
// out are cleared), as one undo step. Feedback is a pair of focus rectangles around the range to be.
//
// Operations counted from 0: 0 OnStartFill (the engine's StartFill), 1 OnMoveFill (OnFillMove), 2 OnEndFill
// (EndFill), 3 OnCancelFill, 4 DrawFillFeedback, 5 FillCells (FillForward5), 6 SelectFilledRange
// (FillForward6). The fill flags are the parameter object's fill switch: 1 fills values, 2 whole styles.
#pragma once

#include "grid/core/CGXGridFeatures.h"
#include "grid/core/CGXRange.h"

namespace gx {
// Where the mouse at `pt` drags a fill from the source's client rectangle: 0 up, 1 left, 2 down, 3 right,
// 4 inside (shrink). Four tests in turn, a later one overriding an earlier one.
int FillDirection(const CRect& source, POINT pt);
}  // namespace gx

class CGXExcelLikeFillImp : public CGXGridExcelLikeFillImp {
 public:
  virtual void OnStartFill(CGXGridCore* grid, POINT pt, UINT flags, ROWCOL row, ROWCOL col);
  virtual BOOL OnMoveFill(CGXGridCore* grid, POINT pt, UINT flags);
  virtual void OnEndFill(CGXGridCore* grid, POINT pt, UINT flags);
  virtual void OnCancelFill(CGXGridCore* grid);
  virtual void DrawFillFeedback(CGXGridCore* grid, const CGXRange& range, BOOL erase, BOOL draw);
  // Fills (or clears) the target from the source; nothing when they are equal or no fill flag is set.
  virtual void FillCells(CGXGridCore* grid, const CGXRange& source, const CGXRange& target);
  virtual void SelectFilledRange(CGXGridCore* grid, const CGXRange& range);

  void StartFill(CGXGridCore* grid, ROWCOL row, ROWCOL col, UINT keys, POINT pt) override {
    OnStartFill(grid, pt, keys, row, col);
  }
  BOOL OnFillMove(CGXGridCore* grid, UINT keys, POINT pt) override { return OnMoveFill(grid, pt, keys); }
  void EndFill(CGXGridCore* grid, UINT keys, POINT pt) override { OnEndFill(grid, pt, keys); }
  void BeforeScrollWindow(CGXGridCore* grid) override;
  // args: const CGXRange* source, const CGXRange* target.
  void FillForward5(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: const CGXRange* range.
  void FillForward6(CGXGridCore* grid, const GXForwardArgs& args) override;

  BOOL IsFilling() const { return m_bFilling; }
  const CGXRange& GetTarget() const { return m_target; }

 private:
  BOOL m_bFilling = FALSE;
  CGXRange m_source;
  CRect m_feedback;
  CGXRange m_target;
};

// Cut, copy and paste through the clipboard: which formats a copy offers (text, the grid's styles, and the
// in-process mark "GX_DIRECTCOPY" of a direct copy or cut), what a paste takes, and the direct paste that
// copies or moves the copied cells in place.
//
// Operations counted from 0 (the grid's CutPasteForward<n>): 0 CanCopy, 1 Copy, 2 CopyRange,
// 3 CopyTextToClipboard, 4 CopyStylesToClipboard, 5 CanCut, 6 Cut, 7 CutRange (the grid's Cut), 8 CanPaste,
// 9 IsPasteFormatAvailable, 10 Paste, 11 PasteCopiedCells, 12 PasteFromClipboard, 13 ConfirmPasteSizeMismatch.
//
// Call flow of Ctrl+C:  Copy -> (editing control: its own text) -> copied ranges from the selection or the
//   current cell -> CopyRange -> text (TextExchangeForward0), styles (StyleExchangeForward0), direct mark.
// Ctrl+V:  Paste -> (an editing control that can paste: its paste or its refusal ends it) -> multi-area
//   refusal -> direct paste (PasteCopiedCells: GXCopyCells / GXMoveCells per block) or PasteFromClipboard
//   (styles win over text).
#pragma once

#include <cstdint>

#include "grid/core/CGXGridFeatures.h"

class CGXGridParam;

// What "GX_DIRECTCOPY" holds: the parameter object's address, the process and the object's serial number.
// All three must match: the mark is meaningful only in the process that put it there, and a new parameter
// object at a freed one's address has another serial number.
struct GXDirectCopyMark {
  uint64_t address;
  uint64_t process;
  uint64_t serial;
  static GXDirectCopyMark Of(const CGXGridParam* param);
  bool operator==(const GXDirectCopyMark&) const = default;
};

// The registered "GX_DIRECTCOPY" format (registered on first use).
UINT GetDirectCopyFormat();

class CGXCutPasteImp : public CGXGridCutPasteImp {
 public:
  BOOL CanCopy(CGXGridCore* grid) override;
  BOOL Copy(CGXGridCore* grid) override;
  // The formats for the given ranges, each in its own open-set-close sequence on the grid window.
  virtual BOOL CopyRange(CGXGridCore* grid, const CGXRangeList& ranges);
  BOOL CopyTextToClipboard(CGXGridCore* grid, const CGXRangeList& ranges) override;
  BOOL CopyStylesToClipboard(CGXGridCore* grid, const CGXRangeList& ranges, UINT composed) override;
  BOOL CanCut(CGXGridCore* grid) override;
  virtual BOOL Cut(CGXGridCore* grid);
  // Copies and clears the ranges as one "Cut Data." transaction: either both happen or nothing changed.
  virtual BOOL CutRange(CGXGridCore* grid, const CGXRangeList& ranges, BOOL clearStyles);
  BOOL CanPaste(CGXGridCore* grid) override;
  virtual BOOL IsPasteFormatAvailable(CGXGridCore* grid);
  BOOL Paste(CGXGridCore* grid) override;
  virtual BOOL PasteCopiedCells(CGXGridCore* grid, const CGXRange& target);
  // The clipboard is open.
  virtual BOOL PasteFromClipboard(CGXGridCore* grid, const CGXRange& target);
  virtual BOOL ConfirmPasteSizeMismatch(CGXGridCore* grid);
  // "Clipboard size is different from selected range" with OK and Cancel: TRUE on OK.
  static BOOL AskPasteSizeMismatch();

  // The engine's named entries.
  BOOL CopyRanges(CGXGridCore* grid, const CGXRangeList& ranges) override { return CopyRange(grid, ranges); }
  BOOL Cut(CGXGridCore* grid, const CGXRangeList& ranges, UINT flags) override {
    return CutRange(grid, ranges, flags != 0);
  }
  LRESULT CutPasteForward1(CGXGridCore* grid, const GXForwardArgs&) override { return Copy(grid); }
  // args: const CGXRangeList*.
  LRESULT CutPasteForward2(CGXGridCore* grid, const GXForwardArgs& args) override;
  LRESULT CutPasteForward6(CGXGridCore* grid, const GXForwardArgs&) override { return Cut(grid); }
  LRESULT CutPasteForward8(CGXGridCore* grid, const GXForwardArgs&) override { return CanPaste(grid); }
  LRESULT CutPasteForward10(CGXGridCore* grid, const GXForwardArgs&) override { return Paste(grid); }
  // args: const CGXRange* target.
  LRESULT CutPasteForward11(CGXGridCore* grid, const GXForwardArgs& args) override;
  LRESULT CutPasteForward12(CGXGridCore* grid, const GXForwardArgs& args) override;
  LRESULT CutPasteForward13(CGXGridCore* grid, const GXForwardArgs&) override { return ConfirmPasteSizeMismatch(grid); }

 private:
  // Whether the direct paste applies: copied ranges kept, and a pending direct cut, or a direct copy whose
  // mark on the clipboard names this grid's parameter object (checkMark FALSE: the mark is not looked at).
  BOOL DirectPasteReady(CGXGridCore* grid, BOOL checkMark);
};

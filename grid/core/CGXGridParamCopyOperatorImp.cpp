#include "grid/core/CGXGridParamCopyOperatorImp.h"

#include "grid/core/CGXGridParam.h"

void InstallParamCopyOperatorImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pParamCopyOperatorImp) return;
  auto* imp = new CGXGridParamCopyOperatorImp;
  g.m_pParamCopyOperatorImp = imp;
  g.AddToAutoDeleteList(imp);
}

void CGXGridParamCopyOperatorImp::AssignStylesMap(CGXStylesMap& t, const CGXStylesMap& s) {
  if (&t == &s) return;
  t.DeleteContents();
  t.SetStyleClass(s.GetStyleClass());
  for (const auto& [id, e] : s.GetBaseStyles()) {
    auto c = std::make_unique<GXBaseStyleEntry>();
    c->id = e->id;
    c->resourceId = e->resourceId;
    c->name = e->name;
    c->style.reset(e->style ? e->style->Clone() : new CGXStyle);
    c->flags = e->flags;
    t.AddEntry(std::move(c));
  }
  t.GetControlNames() = s.GetControlNames();
  for (const auto& [id, e] : s.GetUserAttributeMap()) {
    auto c = std::make_unique<GXUserAttributeEntry>();
    c->id = e->id;
    c->name = e->name;
    c->style.reset(e->style ? e->style->Clone() : new CGXStyle);
    t.AddUserAttributeEntry(std::move(c));
  }
  t.SetNextId(s.GetNextId());
  t.SetSection(s.GetSection());
  t.UpdateStandardStyleIds();
}

void CGXGridParamCopyOperatorImp::AssignProperties(CGXProperties& t, const CGXProperties& s) { t.CopyFrom(s); }

void CGXGridParamCopyOperatorImp::AssignParam(CGXGridParam& t, const CGXGridParam& s) {
  if (&t == &s) return;
  // 1. Drop what the target owns (and forget what it borrowed).
  t.SetProperties(nullptr, FALSE);
  t.SetStylesMap(nullptr, FALSE);
  t.SetData(nullptr, FALSE);
  t.SetPrintDevice(nullptr, FALSE);

  // 2. The settings.
  t.m_bP1 = s.m_bP1;
  t.m_bP2 = s.m_bP2;
  t.m_bReadOnly = s.m_bReadOnly;
  t.m_bUndoEnabled = s.m_bUndoEnabled;
  t.m_bNumberRows = s.m_bNumberRows;
  t.m_bLetterCols = s.m_bLetterCols;
  t.m_bDragColumns = s.m_bDragColumns;
  t.m_bDragRows = s.m_bDragRows;
  t.m_bP5 = s.m_bP5;
  t.m_bP6 = s.m_bP6;
  t.m_bReadOnlyEnforced = s.m_bReadOnlyEnforced;
  t.m_bP7 = s.m_bP7;
  t.m_wSelectionFlags = s.m_wSelectionFlags;
  t.m_wRowResizeFlags = s.m_wRowResizeFlags;
  t.m_wColResizeFlags = s.m_wColResizeFlags;
  t.m_nFrozenRows = s.m_nFrozenRows;
  t.m_nFrozenCols = s.m_nFrozenCols;
  t.m_nDefaultColWidth = s.m_nDefaultColWidth;
  t.m_nDefaultRowHeight = s.m_nDefaultRowHeight;
  t.m_sName = s.m_sName;
  t.m_wActivateFlags = s.m_wActivateFlags;
  t.m_wCurrentCellFrameMode = s.m_wCurrentCellFrameMode;
  t.m_nMinRowHeight = s.m_nMinRowHeight;
  t.m_nMinColWidth = s.m_nMinColWidth;
  t.m_wW8 = s.m_wW8;
  t.m_nHeaderRows = s.m_nHeaderRows;
  t.m_nHeaderCols = s.m_nHeaderCols;
  t.m_bP8 = s.m_bP8;
  t.m_bP9 = s.m_bP9;
  t.m_bP10 = s.m_bP10;
  t.m_dwD1 = s.m_dwD1;
  t.m_dwD2 = s.m_dwD2;
  t.m_dwD3 = s.m_dwD3;
  t.m_wClickFlags = s.m_wClickFlags;
  t.m_bP11 = s.m_bP11;
  t.m_wEnterKeyAction = s.m_wEnterKeyAction;
  t.m_dwUndoLimit = s.m_dwUndoLimit;
  t.m_bP12 = s.m_bP12;
  t.m_bP13 = s.m_bP13;
  t.m_bP14 = s.m_bP14;
  t.m_bP15 = s.m_bP15;
  t.m_bP16 = s.m_bP16;
  t.m_wW11 = s.m_wW11;
  t.m_bDirectCopyPaste = s.m_bDirectCopyPaste;
  t.m_bMarkingEnabled = s.m_bMarkingEnabled;
  t.m_bDirectCutPaste = s.m_bDirectCutPaste;
  t.m_wW12 = s.m_wW12;
  t.m_bP17 = s.m_bP17;
  t.m_bP18 = s.m_bP18;
  t.m_nLastSortRow = s.m_nLastSortRow;
  t.m_nLastSortCol = s.m_nLastSortCol;
  // The run-time settings that no archive carries are settings all the same. The kept selection range
  // travels with the selection list copied below; the initialised flag belongs to the target's own grids.
  t.m_bHeaderMarking = s.m_bHeaderMarking;
  t.m_bActivateOnClick = s.m_bActivateOnClick;
  t.m_bKeepsCurrentSelRange = s.m_bKeepsCurrentSelRange;
  t.m_bInitialCurrentCell = s.m_bInitialCurrentCell;
  t.m_nInitialCurrentRow = s.m_nInitialCurrentRow;
  t.m_nInitialCurrentCol = s.m_nInitialCurrentCol;
  t.m_bZoomDisabled = s.m_bZoomDisabled;
  t.m_bSmartResize = s.m_bSmartResize;
  t.m_bHintCurrentCellMoves = s.m_bHintCurrentCellMoves;
  t.m_bCurrentCellJoinsSelection = s.m_bCurrentCellJoinsSelection;
  t.m_bSkipEnterRedraw = s.m_bSkipEnterRedraw;
  t.m_bFrozenScroll = s.m_bFrozenScroll;
  t.m_bClearSelectionOnMove = s.m_bClearSelectionOnMove;
  t.m_bFillEnabled = s.m_bFillEnabled;
  t.m_bThumbTrack = s.m_bThumbTrack;
  t.m_nGridLinePosition = s.m_nGridLinePosition;
  t.m_nGridLineStyle = s.m_nGridLineStyle;
  t.m_bCurrentCellFrame = s.m_bCurrentCellFrame;
  t.m_bInvertCurrentCellToo = s.m_bInvertCurrentCellToo;
  t.m_bInvertSelection = s.m_bInvertSelection;
  t.m_bOldDrawing = s.m_bOldDrawing;
  t.m_nPreloadStyles = s.m_nPreloadStyles;
  t.m_bNoControlFrame = s.m_bNoControlFrame;
  t.m_bNoInnerRectCorrection = s.m_bNoInnerRectCorrection;
  t.m_bPasteStyles = s.m_bPasteStyles;
  t.m_bEditUnformatted = s.m_bEditUnformatted;
  t.m_dwRenameSheet = s.m_dwRenameSheet;
  t.m_nDropDownHeight = s.m_nDropDownHeight;
  // The lock, the copied cells and the pending cut belong to the source's grids and its clipboard.

  // 3. Deep copies of whatever the source holds, owned by the target. A source that only borrows an
  // object still hands the target its own copy: the target never shares or frees the source's objects.
  if (const CGXStylesMap* m = s.GetStylesMap()) {
    auto c = std::make_unique<CGXStylesMap>(m->GetStyleClass());
    AssignStylesMap(*c, *m);
    t.SetStylesMap(c.release(), TRUE);
  }
  if (const CGXData* d = s.GetData()) {
    // A derived store (the formula sheet) is copied as its own class.
    std::unique_ptr<CObject> o(d->GetRuntimeClass()->CreateObject());
    auto* c = dynamic_cast<CGXData*>(o.get());
    if (!c) {
      o.reset(new CGXData);
      c = static_cast<CGXData*>(o.get());
    }
    *c = *d;
    o.release();
    t.SetData(c, TRUE);
  }
  if (const CGXProperties* p = s.GetProperties()) {
    auto c = std::make_unique<CGXProperties>();
    AssignProperties(*c, *p);
    t.SetProperties(c.release(), TRUE);
  }
  if (const CGXPrintDevice* d = s.GetPrintDevice()) t.SetPrintDevice(new CGXPrintDevice(*d), TRUE);

  // 4. Lists, maps and byte arrays.
  t.GetSelection() = s.GetSelection();
  t.GetCoveredCells() = s.GetCoveredCells();
  t.SyncCoveredCellPool();
  t.GetRowHeights() = s.GetRowHeights();
  t.GetColWidths() = s.GetColWidths();
  t.m_rowFlags = s.m_rowFlags;
  t.m_colFlags = s.m_colFlags;

  // 5. Floating and merged cells.
  auto clone = [](const auto& p) { return p ? std::make_unique<std::decay_t<decltype(*p)>>(*p) : nullptr; };
  t.m_pFloatDelayed = clone(s.m_pFloatDelayed);
  t.m_pFloatSpans = clone(s.m_pFloatSpans);
  t.m_pMergeDelayed = clone(s.m_pMergeDelayed);
  t.m_pMergeSpansH = clone(s.m_pMergeSpansH);
  t.m_pMergeSpansV = clone(s.m_pMergeSpansV);
  t.m_wFloatingMode = s.m_wFloatingMode;
  t.m_wMergingMode = s.m_wMergingMode;
}

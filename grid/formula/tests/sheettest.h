// The formula sheet tests' fixture: the grid library with the editing features, and grids whose cell store
// is a formula sheet.
#pragma once

#include "grid/core/CGXGridParam.h"
#include "grid/features/tests/featuretest.h"
#include "grid/formula/CGXFormulaSheet.h"

namespace sheettest {

class SheetTest : public featuretest::FeatureTest {
 protected:
  // A grid of rows x cols (20-pixel rows, 50-pixel columns) on a formula sheet (`store`, which the grid
  // takes, or a new one), with empty undo lists.
  CGXGridWnd* MakeSheetGrid(ROWCOL rows, ROWCOL cols, int w = 400, int h = 300, CGXFormulaSheet* store = nullptr) {
    CGXGridWnd* g = MakeGrid(rows, cols, w, h);
    sheet = store ? store : new CGXFormulaSheet;
    sheet->InitParam(g->GetParam());
    g->GetParam()->SetData(sheet, TRUE);
    CGXGridGlobals::Get().AddGridForObject(sheet, g);
    GXInstallFormulaSheetFeatures(g);
    g->SetRowCount(rows, 0);
    g->SetColCount(cols, 0);
    ClearUndo(g);
    return g;
  }
  // The value text and the expression text of a cell.
  CString Value(ROWCOL r, ROWCOL c) const {
    CString t;
    sheet->GetValueText(r, c, t);
    return t;
  }
  CString Expr(ROWCOL r, ROWCOL c) const {
    CString t;
    sheet->GetExpressionText(r, c, t);
    return t;
  }
  void Recalc() { sheet->Recalc(FALSE); }

  CGXFormulaSheet* sheet = nullptr;
};

}  // namespace sheettest

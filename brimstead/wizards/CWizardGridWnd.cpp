#include "brimstead/wizards/CWizardGridWnd.h"

#include "brimstead/wizards/CGXTooltipCheckBox.h"
#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "brimstead/wizards/WizardResources.h"
#include "foundation/ButtonBitmap.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXHeader.h"
#include "grid/controls/CGXStatic.h"
#include "platform/base/ResourceTable.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/CPaintDC.h"

#include <algorithm>
#include <array>

CWizardGridWnd::~CWizardGridWnd() = default;

void CWizardGridWnd::Initialize() {
  CGXGridWnd::Initialize();
  if (CGXGridParam* param = GetParam()) {
    param->m_bUndoEnabled = FALSE;
    // Their rows are selected whole: the current cell of a selected row shows selected like the rest of it, not as
    // a white cell in the row's highlight (a check box clicked in a selected row keeps the row selected).
    param->m_bInvertCurrentCellToo = TRUE;
  }
}

BOOL CWizardGridWnd::ReadStoredStyle(ROWCOL row, ROWCOL col, CGXStyle& style, int mode, int type) const {
  BOOL stored = CGXGridWnd::ReadStoredStyle(row, col, style, mode, type);
  const brimwiz::CPortNumbers* numbers = m_pPortNumbers;
  if (col != 0 || type != 0 || !numbers || !numbers->Covers(row) || numbers->GetRowCount() != GetRowCount())
    return stored;
  switch (mode) {
    case gxCopy:
      if (!stored)
        style.Free();
      break;
    case gxOverride: break;
    case gxApplyNew:
      if (style.GetIncludeValue())
        return stored;
      break;
    default: return stored;
  }
  style.SetValue(numbers->TextOf(row));
  return TRUE;
}

void CReorderingGridWnd::UpdateMovedRows(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint) {
  CWizardGridWnd::UpdateMovedRows(from, to, dest, flags, createHint);
  OnRowsReordered();
}

void CReorderingGridWnd::RefreshAfterSort(const GXForwardArgs& args) {
  CWizardGridWnd::RefreshAfterSort(args);
  OnRowsReordered();
}

namespace brimwiz {

void RegisterBitmapEditControls(CGXGridCore* grid) {
  grid->AddCellControl(IDC_GRID_BITMAP_COLLAPSED, new CGridBitmapEdit(grid, IDB_GRID_PLUS));
  grid->AddCellControl(IDC_GRID_BITMAP_EXPANDED, new CGridBitmapEdit(grid, IDB_GRID_MINUS));
}

void RegisterTooltipCheckBox(CGXGridCore* grid, WORD id) { grid->AddCellControl(id, new CGXTooltipCheckBox(grid)); }

void RegisterDropDownList(CGXGridCore* grid) {
  auto* box = new CGXComboBoxWnd(grid);
  box->CreateComboBox(WS_VSCROLL | CBS_DROPDOWNLIST, IDC_GRID_DROPDOWN_LIST);
  grid->AddCellControl(IDC_GRID_DROPDOWN_LIST, box);
}

void RegisterPlusMinusButtons(CGXGridCore* grid) {
  grid->AddCellControl(IDC_GRID_PLUS_BUTTON, new CGridBitmapBtn(grid, IDB_GRID_PLUS));
  grid->AddCellControl(IDC_GRID_MINUS_BUTTON, new CGridBitmapBtn(grid, IDB_GRID_MINUS));
}

void ResetBitmapEditRowHeights(CGXGridCore* grid) {
  if (grid->GetRowCount() == 0)
    return;
  CGXControl* control = grid->ControlForId(IDC_GRID_BITMAP_COLLAPSED);
  const CGXStyle* standard = grid->GetStandardStyle();
  if (!control || !standard)
    return;
  CGXStyle empty(*standard);
  empty.SetValue("");
  const int height = control->ComputeCellSize(nullptr, 0, 0, empty, nullptr, TRUE).cy;
  grid->SetRowHeight(0, grid->GetRowCount(), height);
  grid->RefreshScrollBars();
}

void FitRowHeaders(CWizardGridWnd& grid, int minimum) {
  if (!grid.GetParam() || !grid.m_hWnd || grid.IsColHidden(0))
    return;
  ROWCOL widest = 0;
  if (const CPortNumbers* numbers = grid.m_pPortNumbers; numbers && numbers->GetRowCount() == grid.GetRowCount()) {
    widest = numbers->FirstLongestRow();
  } else {
    int length = 0;
    for (ROWCOL row = 1; row <= grid.GetRowCount(); ++row) {
      const int chars = grid.GetCellValue(row, 0).GetLength();
      if (chars > length) {
        length = chars;
        widest = row;
      }
    }
  }
  int width = minimum;
  if (widest) {
    if (!grid.GetCalcSizeImp())
      grid.InstallCalcSizeImp();
    CClientDC dc(&grid);
    grid.PrepareDC(&dc);
    width = std::max(width, CellWidthNeeded(grid, dc, widest, 0));
  }
  if (width != grid.GetColWidth(0))
    grid.SetColWidth(0, 0, width);
}

namespace {
// A cell as the column fit sees it: its control (null for none), the width it needs (0 without a control) and
// whether it shows a value, from one composition of its style into `work`.
struct MeasuredCell {
  const CGXControl* control;
  int width;
  bool hasValue;
};

MeasuredCell MeasureCell(CGXGridWnd& grid, CDC& dc, ROWCOL row, ROWCOL col, CGXStyle& work) {
  work.Free();
  grid.ComposeCellStyle(row, col, work);
  CGXControl* control = grid.MatchesCurrentCell(row, col)
                            ? grid.ControlOfCurrentCell()
                            : grid.ControlForId(work.IsIncluded(GX_IN_CONTROLID) ? work.GetControl() : 0);
  if (!control)
    return {nullptr, 0, false};
  const int width = static_cast<int>(control->ComputeCellSize(&dc, row, col, work, nullptr, FALSE).cx);
  return {control, width, work.GetIncludeValue() && !work.GetValue().IsEmpty()};
}
}  // namespace

int CellWidthNeeded(CGXGridWnd& grid, CDC& dc, ROWCOL row, ROWCOL col) {
  CGXStyle* style = grid.NewWorkStyle();
  const int width = MeasureCell(grid, dc, row, col, *style).width;
  grid.ReleaseWorkStyle(style);
  return width;
}

void FitColumnsToWindow(CWizardGridWnd& grid, std::span<const ROWCOL> givers) {
  if (!grid.GetParam() || !grid.m_hWnd)
    return;
  // What an earlier fit gave or took is given back first, so that the columns fit the texts they hold now (a refill's
  // wider texts are not cut); a column sized otherwise since keeps its width.
  for (const CWizardGridWnd::FittedColumn& fitted : grid.m_FittedColumns)
    if (fitted.col <= grid.GetColCount() && grid.GetColWidth(fitted.col) == fitted.fitted)
      grid.SetColWidth(fitted.col, fitted.col, fitted.before);
  grid.m_FittedColumns.clear();
  CRect client;
  grid.GetClientRect(&client);
  const ROWCOL first = grid.IsColHidden(0) ? 1 : 0;
  struct Column {
    ROWCOL col;
    int width;
    int widest;
    int widestText = 0;   // of the rows' cells that show a text (not headers, buttons, check boxes, empty cells)
  };
  // Columns hidden or of no width take no part.
  std::vector<Column> columns;
  int total = 0;
  for (ROWCOL col = first; col <= grid.GetColCount(); ++col)
    if (const int width = grid.IsColHidden(col) ? 0 : grid.GetColWidth(col); width > 0) {
      columns.push_back({col, width, 0});
      total += width;
    }
  if (columns.empty())
    return;
  if (!grid.GetCalcSizeImp())
    grid.InstallCalcSizeImp();
  CClientDC dc(&grid);
  grid.PrepareDC(&dc);
  // The window's room beyond the columns (negative when they overflow it), unless only the givers give.
  const int room = givers.empty() ? client.Width() - total : std::min(0, client.Width() - total);
  int spare = room;
  int shortfall = 0;
  const auto gives = [&givers](ROWCOL col) { return givers.empty() || std::ranges::count(givers, col) > 0; };
  // Each cell's style is composed once for its width, its control and its value.
  CGXStyle* work = grid.NewWorkStyle();
  const ROWCOL rows = grid.GetRowCount();
  for (Column& column : columns) {
    for (ROWCOL row = 0; row <= rows; ++row) {
      const MeasuredCell cell = MeasureCell(grid, dc, row, column.col, *work);
      column.widest = std::max(column.widest, cell.width);
      if (row > 0 && cell.hasValue && dynamic_cast<const CGXStatic*>(cell.control) &&
          !dynamic_cast<const CGXHeader*>(cell.control))
        column.widestText = std::max(column.widestText, cell.width);
    }
    if (gives(column.col))
      spare += std::max(0, column.width - column.widest);
    shortfall += std::max(0, column.widestText - column.width);
  }
  grid.ReleaseWorkStyle(work);
  // A column whose text is cut widens, from the first to the last, by what the window and the other columns can
  // spare; the columns then give up what they have beyond their widest texts, from the last to the first, until
  // they fit the window.
  int grow = std::clamp(spare, 0, shortfall);
  int excess = grow - room;
  const auto resize = [&grid](const Column& column, int width) {
    grid.SetColWidth(column.col, column.col, width);
    grid.m_FittedColumns.push_back({column.col, column.width, width});
  };
  for (const Column& column : columns) {
    const int more = std::min(grow, column.widestText - column.width);
    if (more > 0) {
      resize(column, column.width + more);
      grow -= more;
    }
  }
  std::vector<const Column*> order;
  if (givers.empty()) {
    for (auto column = columns.rbegin(); column != columns.rend(); ++column)
      order.push_back(&*column);
  } else {
    for (ROWCOL col : givers)
      for (const Column& column : columns)
        if (column.col == col)
          order.push_back(&column);
  }
  for (const Column* column : order) {
    const int take = std::min(column->width - column->widest, excess);
    if (take > 0) {
      resize(*column, column->width - take);
      excess -= take;
    }
  }
}

void RegisterGridCellBitmaps() {
  // The bytes are made once and stay; the registration is repeated (tests reset the resource table).
  static const std::array<std::vector<BYTE>, 3> bitmaps = [] {
    // 16 x 16, 16 colours: a black plus or minus in a dark grey framed white box on button grey; the tree's two images (a
    // folder for a group, a pin for an entry) side by side on magenta, the transparent colour.
    // Blue, green, red: grey, black, dark grey, white, yellow, magenta, green.
    static constexpr RGBQUAD kPalette[] = {{192, 192, 192, 0}, {0, 0, 0, 0},     {128, 128, 128, 0},
                                           {255, 255, 255, 0}, {0, 255, 255, 0}, {255, 0, 255, 0},
                                           {0, 128, 0, 0}};
    const std::vector<std::string_view> plus = {
        "................", "................", "..222222222222..", "..233333333332..", "..233331133332..",
        "..233331133332..", "..233331133332..", "..231111111132..", "..231111111132..", "..233331133332..",
        "..233331133332..", "..233331133332..", "..233333333332..", "..222222222222..", "................",
        "................"};
    std::vector<std::string_view> minus = plus;
    for (int row : {4, 5, 6, 9, 10, 11})
      minus[static_cast<size_t>(row)] = "..233333333332..";
    const std::vector<std::string_view> tree = {
        "mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm",
        "mm11111mmmmmmmmmmmmmmm1111mmmmmm", "m1yyyyy1mmmmmmmmmmmmm1gggg1mmmmm",
        "1111111111111mmmmmmm1gggggg1mmmm", "1yyyyyyyyyyy1mmmmmmm1gggggg1mmmm",
        "1yyyyyyyyyyy1mmmmmmm1gggggg1mmmm", "1yyyyyyyyyyy1mmmmmmmm1gggg1mmmmm",
        "1yyyyyyyyyyy1mmmmmmmmm1111mmmmmm", "1yyyyyyyyyyy1mmmmmmmmmm11mmmmmmm",
        "1yyyyyyyyyyy1mmmmmmmmmm11mmmmmmm", "1yyyyyyyyyyy1mmmmmmmmmm11mmmmmmm",
        "1111111111111mmmmmmmmmm11mmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmm11mmmmmmm",
        "mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm"};
    return std::array<std::vector<BYTE>, 3>{foundation::MakePackedDib4(plus, ".123", kPalette),
                                            foundation::MakePackedDib4(minus, ".123", kPalette),
                                            foundation::MakePackedDib4(tree, ".123ymg", kPalette)};
  }();
  const HINSTANCE m = ModuleResources();
  plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(IDB_GRID_PLUS), bitmaps[0]);
  plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(IDB_GRID_MINUS), bitmaps[1]);
  plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(IDB_PROBE_TREE), bitmaps[2]);
}

}  // namespace brimwiz

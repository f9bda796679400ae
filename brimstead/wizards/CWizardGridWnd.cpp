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
    param->m_bDirectCopyPaste = FALSE;
    param->m_bDirectCutPaste = FALSE;
  }
  // Text only (0x0008), never styles (0x0010, 0x0020); no rows (0x0200) or columns (0x0400) added.
  m_nClipboardFlags = (m_nClipboardFlags & ~DWORD{0x0010 | 0x0020}) | 0x0008 | 0x0200 | 0x0400;
}

BOOL CWizardGridWnd::SetCellTextThroughControl(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags,
                                               const CGXStyle* style) {
  CGXStyle composed;
  if (!style) {
    ComposeCellStyle(row, col, composed, TRUE);
    style = &composed;
  }
  CGXControl* control = ControlForId(style->GetControl());
  if (text && *text && control && !control->TakesTypedText()) {
    SetWarningText(brimwiz::PasteRefusedText);
    return FALSE;
  }
  return CGXGridWnd::SetCellTextThroughControl(row, col, text, flags, style);
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

const char* const PasteRefusedText = "A paste would give a value to a cell that takes no text (a check box, label or "
                                     "button: click it instead): nothing is pasted, and the cells keep their values.";

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
// A cell's style composed into `work` and the control that shows it (null for none).
CGXControl* ComposeCell(CGXGridWnd& grid, ROWCOL row, ROWCOL col, CGXStyle& work) {
  work.Free();
  grid.ComposeCellStyle(row, col, work);
  if (grid.MatchesCurrentCell(row, col))
    return grid.ControlOfCurrentCell();
  return grid.ControlForId(work.IsIncluded(GX_IN_CONTROLID) ? work.GetControl() : 0);
}

// The width a composed cell needs (0 without a control).
int WidthNeeded(CGXControl* control, CDC& dc, ROWCOL row, ROWCOL col, const CGXStyle& composed) {
  return control ? static_cast<int>(control->ComputeCellSize(&dc, row, col, composed, nullptr, FALSE).cx) : 0;
}

// The widths of composed cells on a device of the grid's window, for a run of cells: each cell's font is selected
// once and kept for the cells after it that have the same, which their measure is told (as the `previous` cell's
// font), so that it neither selects nor restores the font for each cell. The run's controls are not destroyed.
class CellMeasure {
public:
  CellMeasure(CGXGridWnd& grid, CDC& dc) : m_Grid(grid), m_Dc(dc), m_pSelected(grid.NewWorkStyle()) {}
  ~CellMeasure() {
    if (m_pOriginal)
      m_Dc.SelectObject(m_pOriginal);
    m_Grid.ReleaseWorkStyle(m_pSelected);
  }
  CellMeasure(const CellMeasure&) = delete;
  CellMeasure& operator=(const CellMeasure&) = delete;

  int operator()(CGXControl* control, ROWCOL row, ROWCOL col, const CGXStyle& composed) {
    if (!control)
      return 0;
    const CGXFont* font = composed.GetFontPtr();
    if (!font)
      return WidthNeeded(control, m_Dc, row, col, composed);
    if (!m_bSelected || *font != *m_pSelected->GetFontPtr()) {
      CFont* old = m_Grid.SelectStyleFont(&m_Dc, composed);
      if (!m_bSelected)
        m_pOriginal = old;
      m_bSelected = true;
      m_pSelected->Free();
      m_pSelected->SetFont(*font);
    }
    return static_cast<int>(control->ComputeCellSize(&m_Dc, row, col, composed, m_pSelected, FALSE).cx);
  }

  // Whether a composed cell shows a text that a column's edge can cut: a row's static cell with a value (no header,
  // button, check box or empty cell).
  bool ShowsText(const CGXControl* control, ROWCOL row, const CGXStyle& composed) {
    if (row == 0 || !composed.GetIncludeValue() || composed.GetValue().IsEmpty())
      return false;
    if (control != m_pKnown) {
      m_pKnown = control;
      m_bKnownShowsTexts = dynamic_cast<const CGXStatic*>(control) && !dynamic_cast<const CGXHeader*>(control);
    }
    return m_bKnownShowsTexts;
  }

private:
  CGXGridWnd& m_Grid;
  CDC& m_Dc;
  const CGXControl* m_pKnown = nullptr;   // the last control asked about, and whether it shows texts
  bool m_bKnownShowsTexts = false;
  CGXStyle* m_pSelected;           // the font selected in the device
  bool m_bSelected = false;
  CFont* m_pOriginal = nullptr;    // the device's font before
};

// The column fit's measures of one column. Its rows' texts are measured for every column (a cut text widens its
// column); its other cells (header, buttons, check boxes, empty cells) only when it is asked what it can give, and
// then once.
class FitColumn {
public:
  FitColumn(ROWCOL col, int width) : m_Col(col), m_Width(width) {}
  ROWCOL Col() const { return m_Col; }
  int Width() const { return m_Width; }
  int WidestText() const { return m_WidestText; }

  // Every row's text measured, or with `last` (the texts an earlier fit measured at this width) only the rows that
  // `changed` names.
  void MeasureTexts(CGXGridWnd& grid, CellMeasure& measure, CGXStyle& work, std::vector<int> last,
                    const ChangedRows* changed) {
    ROWCOL first = 1, count = grid.GetRowCount();
    m_Texts = std::move(last);
    if (changed) {
      const auto at = m_Texts.begin() + static_cast<std::ptrdiff_t>(changed->first - 1);
      m_Texts.insert(m_Texts.erase(at, at + static_cast<std::ptrdiff_t>(changed->removed)), changed->inserted, -1);
      first = changed->first;
      count = changed->inserted;
    } else {
      m_Texts.assign(grid.GetRowCount(), -1);
    }
    for (ROWCOL row = first; row < first + count; ++row)
      if (CGXControl* control = ComposeCell(grid, row, m_Col, work); measure.ShowsText(control, row, work))
        m_Texts[row - 1] = measure(control, row, m_Col, work);
    for (int text : m_Texts) {
      m_WidestText = std::max(m_WidestText, text);
      m_bOtherRows = m_bOtherRows || text < 0;
    }
  }
  std::vector<int> TakeTexts() { return std::move(m_Texts); }
  // The width it has beyond its widest cell (header and rows), negative when a cell needs more.
  int Spare(CGXGridWnd& grid, CellMeasure& measure, CGXStyle& work) {
    if (m_WidestOther < 0) {
      m_WidestOther = 0;
      const ROWCOL last = m_bOtherRows ? grid.GetRowCount() : 0;
      for (ROWCOL row = 0; row <= last; ++row)
        if (CGXControl* control = ComposeCell(grid, row, m_Col, work); !measure.ShowsText(control, row, work))
          m_WidestOther = std::max(m_WidestOther, measure(control, row, m_Col, work));
    }
    return m_Width - std::max(m_WidestText, m_WidestOther);
  }

private:
  ROWCOL m_Col;
  int m_Width;
  std::vector<int> m_Texts;   // by row from row 1: the text's width, -1 for a cell that shows none
  int m_WidestText = 0;
  int m_WidestOther = -1;     // not measured yet
  bool m_bOtherRows = false;  // whether a row's cell shows no text
};

// Whether the texts the grid's last fit measured stand for the columns as they are now but the `changed` rows.
bool LastTextsHold(const CWizardGridWnd& grid, const std::vector<FitColumn>& columns, const ChangedRows& changed) {
  if (grid.m_nMeasuredZoom != grid.GetZoom() || grid.m_MeasuredTexts.size() != columns.size() || changed.first == 0)
    return false;
  for (size_t i = 0; i < columns.size(); ++i) {
    const CWizardGridWnd::MeasuredTexts& last = grid.m_MeasuredTexts[i];
    if (last.col != columns[i].Col() || last.width != columns[i].Width() ||
        last.rows.size() + changed.inserted != grid.GetRowCount() + changed.removed ||
        changed.first - 1 + changed.removed > last.rows.size())
      return false;
  }
  return true;
}
}  // namespace

int CellWidthNeeded(CGXGridWnd& grid, CDC& dc, ROWCOL row, ROWCOL col) {
  CGXStyle* style = grid.NewWorkStyle();
  const int width = WidthNeeded(ComposeCell(grid, row, col, *style), dc, row, col, *style);
  grid.ReleaseWorkStyle(style);
  return width;
}

void FitColumnsToWindow(CWizardGridWnd& grid, std::span<const ROWCOL> givers, const ChangedRows* changed) {
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
  // Columns hidden or of no width take no part.
  std::vector<FitColumn> columns;
  int total = 0;
  for (ROWCOL col = first; col <= grid.GetColCount(); ++col)
    if (const int width = grid.IsColHidden(col) ? 0 : grid.GetColWidth(col); width > 0) {
      columns.emplace_back(col, width);
      total += width;
    }
  if (changed && !LastTextsHold(grid, columns, *changed))
    changed = nullptr;
  std::vector<CWizardGridWnd::MeasuredTexts> last = std::move(grid.m_MeasuredTexts);
  grid.m_MeasuredTexts.clear();
  if (columns.empty())
    return;
  if (!grid.GetCalcSizeImp())
    grid.InstallCalcSizeImp();
  CClientDC dc(&grid);
  grid.PrepareDC(&dc);
  // Each cell's style is composed once for each measure that reads it.
  CGXStyle* work = grid.NewWorkStyle();
  struct ReleaseWork {
    CGXGridWnd& grid;
    CGXStyle* work;
    ~ReleaseWork() { grid.ReleaseWorkStyle(work); }
  } release{grid, work};
  CellMeasure measure(grid, dc);
  // The window's room beyond the columns (negative when they overflow it), unless only the givers give.
  const int room = givers.empty() ? client.Width() - total : std::min(0, client.Width() - total);
  int shortfall = 0;
  for (size_t i = 0; i < columns.size(); ++i) {
    FitColumn& column = columns[i];
    column.MeasureTexts(grid, measure, *work, changed ? std::move(last[i].rows) : std::vector<int>(), changed);
    shortfall += std::max(0, column.WidestText() - column.Width());
    grid.m_MeasuredTexts.push_back({column.Col(), column.Width(), column.TakeTexts()});
  }
  grid.m_nMeasuredZoom = grid.GetZoom();
  // No text cut and the columns within the window: nothing to fit, nothing more to measure.
  if (shortfall == 0 && room >= 0)
    return;
  // A column whose text is cut widens, from the first to the last, by what the window and the other columns can
  // spare (asked of the givers only until it covers what the cut texts need); the columns then give up what they
  // have beyond their widest cells, from the last to the first, until they fit the window.
  const auto gives = [&givers](ROWCOL col) { return givers.empty() || std::ranges::count(givers, col) > 0; };
  int spare = room;
  for (FitColumn& column : columns)
    if (shortfall > 0 && spare < shortfall && gives(column.Col()))
      spare += std::max(0, column.Spare(grid, measure, *work));
  int grow = std::clamp(spare, 0, shortfall);
  int excess = grow - room;
  const auto resize = [&grid](const FitColumn& column, int width) {
    grid.SetColWidth(column.Col(), column.Col(), width);
    grid.m_FittedColumns.push_back({column.Col(), column.Width(), width});
  };
  for (const FitColumn& column : columns) {
    const int more = std::min(grow, column.WidestText() - column.Width());
    if (more > 0) {
      resize(column, column.Width() + more);
      grow -= more;
    }
  }
  std::vector<FitColumn*> order;
  if (givers.empty()) {
    for (auto column = columns.rbegin(); column != columns.rend(); ++column)
      order.push_back(&*column);
  } else {
    for (ROWCOL col : givers)
      for (FitColumn& column : columns)
        if (column.Col() == col)
          order.push_back(&column);
  }
  for (FitColumn* column : order) {
    if (excess <= 0)
      break;
    const int take = std::min(column->Spare(grid, measure, *work), excess);
    if (take > 0) {
      resize(*column, column->Width() - take);
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

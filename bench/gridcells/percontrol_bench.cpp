// One full-HD frame of 1,000 inactive cells of one control, for every control the grid's factory offers (the
// cell controls, the formatted-input cells) and the module's own cells: 50 rows by 20 columns of 94 x 20 pixel
// cells, each with a value the control shows. One benchmark per control id, named after it.
#include <benchmark/benchmark.h>

#include "bench/GridBench.h"

#include <cstdio>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "brimstead/wizards/CWizardGridWnd.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXRange.h"
#include "grid/extras/CGXOlePreview.h"
#include "grid/extras/GXExtras.h"
#include "grid/features/gxfeatures.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr ROWCOL kRows = 50, kCols = 20;

void RegisterMore() {
  GXRegisterEditingFeatures();
  GXRegisterExtras();
}

void Setup() {
  gridbench::StartGridLibrary("percontrol-bench", kWidth, kHeight, &RegisterMore);
  brimwiz::RegisterGridCellBitmaps();
}

// A value each kind of control shows.
CGXStyle CellStyle(UINT id, ROWCOL row) {
  CGXStyle s;
  s.SetControl(static_cast<WORD>(id));
  CString text;
  text.Format("Cell %u", static_cast<unsigned>(row));
  s.SetChoiceList("Red\nGreen\nBlue").SetValue(text);
  switch (id) {
    case 52515: case 52516: case 52523: case 52524: case 10013:  // check boxes and radio buttons
      s.SetValue(row % 2 ? "1" : "0");
      break;
    case 52521:  // progress bar
      s.SetValue("40");
      break;
    case 52541: case 52539: case 52540:  // tabbed lists: key and name
      s.SetChoiceList("1\tRed\n2\tGreen\n3\tBlue").SetValue("2");
      break;
    case 52542:  // check list: a mask of ticks
      s.SetValue("5");
      break;
    case 52543: case 52544:  // date and time
      s.SetValue("45000.5");
      break;
    case 52545:  // currency
      s.SetValue("1234.5");
      break;
    case 52535:  // masked edit
      s.SetUserAttribute(51023, "(###) ###-####").SetValue("5551234567");
      break;
    case 52534:  // rich edit
      s.SetValue("{\\rtf1 \\b Bold\\b0  text}");
      break;
    default:
      break;
  }
  return s;
}

void RegisterModuleCells(CGXGridCore* g) {
  brimwiz::RegisterBitmapEditControls(g);
  brimwiz::RegisterTooltipCheckBox(g, 10013);
  brimwiz::RegisterDropDownList(g);
  brimwiz::RegisterPlusMinusButtons(g);
}

// The page's grid can hold embedded objects: the OLE object cell's control exists only in such a grid.
class PageGrid : public CGXGridWnd, public CGXOleCapableGrid {};

void Frame(benchmark::State& state, UINT id) {
  Setup();
  auto g = gridbench::OpenGrid<PageGrid>(kWidth, kHeight, kRows, kCols);
  RegisterModuleCells(g.get());
  g->SetRowHeight(0, 0, 20, nullptr, 0);
  g->SetDefaultRowHeight(20, 0);
  g->SetColWidth(0, 0, 30, nullptr, 0);
  g->SetDefaultColWidth(94, 0);
  CGXControl* control = g->ControlForId(static_cast<WORD>(id));
  if (!control || (id != GX_IDS_CTRL_EDIT && typeid(*control) == typeid(CGXEditControl))) {
    state.SkipWithError("no control of this id");
    g->DestroyWindow();
    return;
  }
  for (ROWCOL r = 1; r <= kRows; ++r) g->SetStyleRange(CGXRange(r, 1, r, kCols), CellStyle(id, r));
  g->StoreCurrentCell(FALSE);  // no cell of the page is current
  g->RedrawAll(GX_UPDATENOW);
  gridbench::Pump();
  gridbench::PaintFrames(state, *g, kRows, kCols);
  g->DestroyWindow();
}

std::vector<UINT> ControlIds() {
  std::vector<UINT> ids = CGXControlFactory::StandardControlIds();
  for (UINT module : {20011u, 20012u, 10001u, 10002u, 10013u, 3001u}) ids.push_back(module);
  return ids;
}

const bool registered = [] {
  for (UINT id : ControlIds()) {
    char name[32];
    std::snprintf(name, sizeof name, "BM_Control/%u", id);
    benchmark::RegisterBenchmark(name, [id](benchmark::State& state) { Frame(state, id); })
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace

// A demonstration grid: a main window with a grid laid out from a generated layout (frozen header rows,
// a few hundred cells, styled columns), headless to a PNG or on screen through the SDL2 presenter.
//
//   grid_demo --png out.png                 lays the grid out, paints, writes a screenshot
//   grid_demo --screen [--seconds N]        on screen until closed (or N seconds): arrows, Tab, Page
//                                           keys, the wheel, the scroll bars and clicks all work; the
//                                           clipboard keys, a double click on a column header (sorts),
//                                           the fill handle and Undo too; Ctrl+F finds and Ctrl+H
//                                           replaces
//   grid_demo --page NAME --png | --screen  a page of the cell-control gallery instead (gallery.h);
//                                           --page list names the pages
#include <cstdio>
#include <cstring>
#include <memory>

#include "grid/core/CGXGridWnd.h"
#include "grid/core/gxlayout.h"
#include "grid/demo/gallery.h"
#include "platform/display/DemoRunner.h"

// The X and SDL libraries keep process-wide state until exit; on screen their allocations are not ours.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

// The generated layout: 60 nets by 6 columns under two frozen header rows, archived and read back the
// way the program reads its "GXLAYOUT" resources.
CGXGridParam* GenerateLayout() {
  auto param = std::make_unique<CGXGridParam>();
  auto* map = new CGXStylesMap;
  map->CreateStandardStyles();
  param->SetStylesMap(map, TRUE);
  param->SetProperties(new CGXProperties, TRUE);
  auto* data = new CGXData;
  data->StoreRowCount(62);
  data->StoreColCount(6);
  static const char* kHeads[] = {"Net", "Layer", "Voltage", "Current", "Target Z", "Status"};
  CGXStyle head;
  head.SetInteriorColor(RGB(214, 226, 246)).SetHorizontalAlignment(GX_DT_CENTER);
  data->StoreStyle(1, 0, &head, gxOverride, GX_BASESTYLE);
  data->StoreStyle(2, 0, &head, gxOverride, GX_BASESTYLE);
  for (ROWCOL c = 1; c <= 6; ++c) {
    CGXStyle s;
    s.SetValue(kHeads[c - 1]);
    data->StoreStyle(1, c, &s, gxOverride, 0);
    s.SetValue(c == 3 ? "V" : c == 4 ? "A" : c == 5 ? "mOhm" : "");
    data->StoreStyle(2, c, &s, gxOverride, 0);
  }
  CGXStyle numbers;
  numbers.SetHorizontalAlignment(GX_DT_RIGHT);
  for (ROWCOL c = 3; c <= 5; ++c) data->StoreStyle(0, c, &numbers, gxOverride, GX_BASESTYLE);
  CGXStyle status;
  status.SetInteriorColor(RGB(236, 246, 230));
  data->StoreStyle(0, 6, &status, gxOverride, GX_BASESTYLE);
  char buf[64];
  for (ROWCOL r = 3; r <= 62; ++r) {
    CGXStyle s;
    std::snprintf(buf, sizeof buf, "VDD_%02u", static_cast<unsigned>(r - 2));
    data->StoreStyle(r, 1, &s.SetValue(buf), gxOverride, 0);
    std::snprintf(buf, sizeof buf, "L%u", static_cast<unsigned>(2 + r % 6));
    data->StoreStyle(r, 2, &s.SetValue(buf), gxOverride, 0);
    std::snprintf(buf, sizeof buf, "%.2f", 0.8 + 0.1 * static_cast<double>(r % 9));
    data->StoreStyle(r, 3, &s.SetValue(buf), gxOverride, 0);
    std::snprintf(buf, sizeof buf, "%.1f", 0.5 * static_cast<double>(r % 13));
    data->StoreStyle(r, 4, &s.SetValue(buf), gxOverride, 0);
    std::snprintf(buf, sizeof buf, "%u", static_cast<unsigned>(5 + (r * 7) % 40));
    data->StoreStyle(r, 5, &s.SetValue(buf), gxOverride, 0);
    data->StoreStyle(r, 6, &s.SetValue(r % 5 ? "ok" : "check"), gxOverride, 0);
  }
  param->SetData(data, TRUE);
  param->m_nFrozenRows = 2;
  param->m_nHeaderRows = 2;
  param->GetColWidths().SetAt(1, 9000);
  const std::vector<BYTE> bytes = gx::WriteObjectToBytes(param.get());
  return static_cast<CGXGridParam*>(gx::ReadObjectFromBytes(bytes, RUNTIME_CLASS(CGXGridParam)));
}

HWND BuildWindows() {
  HWND main = gallery::CreatePageWindow("Grid demo", 600, 400);
  CGXGridWnd* grid = gallery::PageGrid(main);
  grid->AttachParam(GenerateLayout(), TRUE);
  // Clipboard exchange is on in every grid; here a double click on a column header sorts the rows, the
  // selection's corner handle fills by dragging (values) and the selection is framed.
  grid->GetParam()->m_bSortRowsByHeader = TRUE;
  grid->GetParam()->m_bFillEnabled = 1;
  grid->GetParam()->m_bSelectionFrame = TRUE;
  grid->InitializeFromStyle();
  // Ctrl+F finds, Ctrl+H replaces.
  gallery::BindFindReplaceKeys(grid);
  grid->MoveCurrentCellTo(3, 1, GX_INVALIDATE);
  ShowWindow(main, SW_SHOW);
  SetFocus(grid->GridHwnd());
  UpdateWindow(main);
  return main;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--page") == 0) {
    const gallery::Page* page = gallery::FindPage(argv[2]);
    if (!page) {
      const bool listing = std::strcmp(argv[2], "list") == 0;
      if (!listing) std::fprintf(stderr, "grid_demo: no gallery page \"%s\"; the pages:\n", argv[2]);
      for (const gallery::Page& p : gallery::Pages()) std::fprintf(listing ? stdout : stderr, "%s\n", p.name.c_str());
      return listing ? 0 : 2;
    }
    argv[2] = argv[0];
    return plat::RunDemo({"grid_demo", page->desktopWidth, page->desktopHeight, page->build}, argc - 2, argv + 2);
  }
  return plat::RunDemo({"grid_demo", 640, 440, BuildWindows}, argc, argv);
}

#include "grid/demo/gallery.h"

#include <utility>

#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXGridParam.h"
#include "grid/features/gxfeatures.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/extras/CGXTabWnd.h"
#include "grid/extras/GXExtras.h"
#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridParamCopyOperatorImp.h"
#include "grid/core/CGXStyleCompareSubsetImp.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "platform/base/LocaleTable.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/CWnd.h"
#include "platform/window/InputRouter.h"

namespace gallery {
namespace {

constexpr int kGridId = 100;

LRESULT MainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_SIZE:
      if (HWND grid = GetDlgItem(h, kGridId)) MoveWindow(grid, 8, 8, LOWORD(l) - 16, HIWORD(l) - 16, TRUE);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProc(h, m, w, l);
  }
}

// The page as its building leaves it, with nothing to undo or redo in any of its grids: the building is no step
// of the user's, and Ctrl+Z on a fresh page took it back (a read-only cell emptied).
Page OpeningWithNothingToUndo(Page page) {
  page.build = [build = std::move(page.build)] {
    HWND main = build();
    for (CGXGridWnd* grid : PageGrids(main)) {
      CObList& undo = grid->GetParam()->GetUndoList();
      while (!undo.IsEmpty()) delete undo.RemoveHead();
      grid->GetParam()->EmptyRedoList();
    }
    return main;
  };
  return page;
}

}  // namespace

const std::vector<Page>& Pages() {
  static const std::vector<Page> pages = [] {
    std::vector<Page> built = {WindowlessCellsPage(), CurrencyCellsPage(), RichEditCellsPage(), DateTimeCellsPage(),
                               EditCellsPage(),       SpannedCellsPage(),  DropDownCellsPage(), MaskCellsPage(),
                               OleCellsPage(),        SpreadsheetPage()};
    for (Page& page : built) page = OpeningWithNothingToUndo(std::move(page));
    return built;
  }();
  return pages;
}

const Page* FindPage(const std::string& name) {
  for (const Page& page : Pages())
    if (page.name == name) return &page;
  return nullptr;
}

void StartGridLibrary() {
  static bool started = false;
  if (started) return;
  started = true;
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("grid-demo"));
  InstallDocSerializeImp();
  InstallSerializeTarn5CompatibleImp();
  InstallStyleCompareSubsetImp();
  InstallParamCopyOperatorImp();
  // Each grid library's registration call (creators, texts) comes before the start-up copies the texts.
  GXRegisterCellControls();
  GXRegisterEditingFeatures();
  GXRegisterExtras();
  InitGridLibrary();
  WNDCLASS wc{};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
  wc.lpszClassName = "GridDemoMain";
  RegisterClass(&wc);
}

HWND CreatePageWindow(const char* title, int width, int height) {
  StartGridLibrary();
  // A page starts clean: the quit that the previous page's window posted when it closed would stop the
  // next message loop at once, and a button its steps left held would turn the first click into a drag.
  MSG quit;
  while (PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  plat::InputRouter::Instance().Reset();
  plat::SetRuntimeNumericLocaleToUser(false);
  plat::SetUserDefaultLocale(0x0409);
  HWND main = CreateWindowEx(0, "GridDemoMain", title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, width,
                             height, nullptr, nullptr, AfxGetInstanceHandle(), nullptr);
  RECT client{};
  GetClientRect(main, &client);
  CreateWindowEx(WS_EX_CLIENTEDGE, "CGXGridWnd", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, 8,
                 8, client.right - 16, client.bottom - 16, main, reinterpret_cast<HMENU>(kGridId),
                 AfxGetInstanceHandle(), nullptr);
  return main;
}

CGXGridWnd* PageGrid(HWND main) {
  HWND grid = main ? GetDlgItem(main, kGridId) : nullptr;
  CWnd* wnd = grid ? CWnd::FromHandlePermanent(grid) : nullptr;
  // The spreadsheet's page holds a sheet-tab window there: its grid is the active sheet.
  if (auto* tabs = dynamic_cast<CGXTabWnd*>(wnd)) wnd = tabs->GetActivePane();
  return dynamic_cast<CGXGridWnd*>(wnd);
}

std::vector<CGXGridWnd*> PageGrids(HWND main) {
  std::vector<CGXGridWnd*> grids;
  EnumChildWindows(
      main,
      [](HWND child, LPARAM found) -> BOOL {
        if (auto* grid = dynamic_cast<CGXGridWnd*>(CWnd::FromHandlePermanent(child)))
          reinterpret_cast<std::vector<CGXGridWnd*>*>(found)->push_back(grid);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&grids));
  return grids;
}

}  // namespace gallery

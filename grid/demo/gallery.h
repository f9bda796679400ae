// The cell-control gallery of the grid demo: one page per family of cell controls, chosen on the demo's
// command line (grid_demo --page <name> --png out.png | --screen). A page is a window holding one grid whose
// rows are the family's control ids and whose columns are their states. States a still page cannot show all
// at once (pressed, focused, editing) are reached by the page's steps: injected input into its live cells.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "grid/core/CGXGridWnd.h"

namespace gallery {

struct Step {
  std::string name;
  // Injects the input of the step (the caller serves the queue and paints afterwards).
  std::function<void(CGXGridWnd* grid)> drive;
};

struct Page {
  std::string name;
  int desktopWidth;
  int desktopHeight;
  // Builds the page's main window (its WM_DESTROY posts the quit message) with the grid in it.
  std::function<HWND()> build;
  // The steps in order; each starts where the one before left the page.
  std::function<std::vector<Step>()> steps;
};

// Every page, in the order the families were built; each opens with nothing to undo or redo.
const std::vector<Page>& Pages();
const Page* FindPage(const std::string& name);

// What every page shares: the grid library started once with every cell family registered, a main window
// class, and the page's grid (a child of the main window filling it). Every page starts from the same queue,
// input and locale: what an earlier page left (the quit its closing posted, a button held down, a German
// user) is reset, so that pages share one program.
void StartGridLibrary();
HWND CreatePageWindow(const char* title, int width, int height);
CGXGridWnd* PageGrid(HWND main);
// Every grid of the page, its sheets behind tabs too.
std::vector<CGXGridWnd*> PageGrids(HWND main);

// The formatted-input cells' pages: a row per labelled variant (its styles from `style` for the columns
// "Shown", "Read-only" and "Live", 24 pixels high), the first cell current.
constexpr ROWCOL kStatesLive = 3;
HWND BuildStatesPage(const char* title, int width, int height, int columnWidth, const std::vector<const char*>& labels,
                     const std::function<CGXStyle(ROWCOL row, ROWCOL col)>& style);
// A screen point of a cell: dx from its left edge (negative: from its right), dy from its top (negative: its
// vertical centre).
POINT CellScreenPoint(CGXGridWnd* g, ROWCOL row, ROWCOL col, int dx, int dy);

// The demo's keys for find and replace: Ctrl+F opens the grid's find dialog and Ctrl+H its replace dialog
// while the grid or one of its cells' windows has the focus (a message hook, as accelerators are; the key
// reaches neither the grid nor the cell).
void BindFindReplaceKeys(CGXGridWnd* grid);

// The pages (one source file each).
Page WindowlessCellsPage();
Page CurrencyCellsPage();
Page RichEditCellsPage();
Page DateTimeCellsPage();
Page EditCellsPage();
Page SpannedCellsPage();
Page DropDownCellsPage();
Page MaskCellsPage();
Page OleCellsPage();
// The spreadsheet: three formula sheets behind tabs (gallery_sheet.cpp); the grid behind tab `tab` of it.
Page SpreadsheetPage();
CGXGridWnd* SpreadsheetSheet(HWND main, int tab);
// The print preview the spreadsheet opened last (Ctrl+F2), while it is open.
HWND SpreadsheetPreview();

}  // namespace gallery

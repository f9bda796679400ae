// Fixture of the interaction features' tests: grids of 20-pixel rows and 50-pixel columns (headers too),
// driven by real mouse and keyboard input, and a grid class that logs the selection hooks.
#pragma once

#include <string>

#include "grid/core/CGXRangeList.h"
#include "grid/features/tests/featuretest.h"
#include "platform/display/ReferenceImage.h"

namespace interactiontest {

// Logs the two hooks around every selection change: "prepare" / "changed", with "-" for no range.
class LoggingGrid : public CGXGridWnd {
 public:
  BOOL OnPrepareSelectionChange(const CGXRange* r, BOOL dragging, BOOL byKey) override {
    log.push_back("prepare" + Describe(r));
    (void)dragging, (void)byKey;
    return allow;
  }
  void OnSelectionChanged(const CGXRange* r, BOOL dragging, BOOL byKey) override {
    log.push_back("changed" + Describe(r));
    CGXGridWnd::OnSelectionChanged(r, dragging, byKey);
  }
  static std::string Describe(const CGXRange* r) {
    if (!r) return " -";
    if (!r->IsValid()) return " empty";
    return " " + std::to_string(r->top) + "," + std::to_string(r->left) + "," + std::to_string(r->bottom) + "," +
           std::to_string(r->right);
  }
  std::vector<std::string> log;
  BOOL allow = TRUE;
};

class InteractionTest : public featuretest::FeatureTest {
 protected:
  // The centre of cell (row, col) in screen coordinates.
  static POINT Cell(HWND h, ROWCOL row, ROWCOL col) {
    return plat::InputRouter::ClientPoint(h, static_cast<int>(50 * col + 25), static_cast<int>(20 * row + 10));
  }
  static POINT Client(HWND h, int x, int y) { return plat::InputRouter::ClientPoint(h, x, y); }
  static void Click(POINT p) {
    plat::InputRouter::Instance().Click(plat::MouseButton::Left, p);
    Pump();
  }
  // A click while `modifier` is held.
  static void ClickWith(int modifier, POINT p) {
    plat::InputRouter::Instance().KeyDown(modifier);
    Pump();
    Click(p);
    plat::InputRouter::Instance().KeyUp(modifier);
    Pump();
  }
  static void Drag(POINT from, POINT to) {
    auto& in = plat::InputRouter::Instance();
    in.ButtonDown(plat::MouseButton::Left, from);
    Pump();
    in.MouseMove(to);
    Pump();
    in.ButtonUp(plat::MouseButton::Left, to);
    Pump();
  }
  // The selection list as text: "top,left,bottom,right" per range (kind letter for rows, columns, table).
  static std::string Selection(CGXGridCore* g) {
    std::string out;
    const CGXRangeList& list = g->GetParam()->GetSelection();
    for (POSITION p = list.GetHeadPosition(); p;) {
      const CGXRange* r = list.GetNext(p);
      if (!out.empty()) out += " ";
      if (!r->IsValid())
        out += "empty";
      else if (r->IsTable())
        out += "T";
      else if (r->IsRows())
        out += "R" + std::to_string(r->top) + "-" + std::to_string(r->bottom);
      else if (r->IsCols())
        out += "C" + std::to_string(r->left) + "-" + std::to_string(r->right);
      else
        out += std::to_string(r->top) + "," + std::to_string(r->left) + "," + std::to_string(r->bottom) + "," +
               std::to_string(r->right);
    }
    return out;
  }
  static void ExpectMatchesReference(HWND hwnd, const std::string& name) {
    plat::Desktop::PaintAll();
    auto image = plat::Desktop::Capture(hwnd);
    ASSERT_TRUE(image);
    const plat::ReferenceMatch match =
        plat::MatchReferenceImage(*image, "grid/features/tests/reference/" + name + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
  // A focused grid of rows x cols (current cell (1, 1)) with the windowless stand-in for the edit cell.
  template <class Grid = CGXGridWnd>
  Grid* MakeFocused(ROWCOL rows, ROWCOL cols, int w = 400, int h = 300) {
    Grid* g = MakeGrid<Grid>(rows, cols, w, h);
    UseWindowlessEditStandIn(g);
    ::SetFocus(*g);
    g->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
    Pump();
    return g;
  }
};

}  // namespace interactiontest

// What the currency and date-time cells do alike around their window, run over both: leaving a cell hides
// the window where it waits and stores nothing unchanged, a changed value is stored, and the window's
// context menu and lost focus reach the grid.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "grid/core/tests/gxwindowtest.h"
#include "grid/extras/CGXCurrencyEdit.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "grid/extras/tests/extrastest.h"

namespace {

using namespace extrastest;

struct CurrencyCell {
  using Control = CGXCurrencyEdit;
  static constexpr WORD kId = GX_IDS_CTRL_CURRENCY;
  static constexpr int kEditKey = VK_END;
  static CGXStyle Style() {
    CGXStyle s;
    s.SetControl(kId).SetValue("1234.5");
    s.SetUserAttribute(GX_IDS_UA_CURRENCYSYMBOL, "$").SetUserAttribute(GX_IDS_UA_CURRENCYSEP, ",.");
    s.SetUserAttribute(GX_IDS_UA_CURRNUMDECIMALS, "2").SetUserAttribute(GX_IDS_UA_CURRENCYDEF, "11 0");
    return s;
  }
  static CRect Parked() { return CRect(0, 0, 0, 0); }
};

struct DateTimeCell {
  using Control = CGXDateTimeCtrl;
  static constexpr WORD kId = GX_IDS_CTRL_DATETIME;
  static constexpr int kEditKey = VK_HOME;
  static CGXStyle Style() {
    CGXStyle s;
    s.SetControl(kId).SetValue("36526.5");
    s.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "3").SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, "dd/MM/yyyy HH:mm");
    return s;
  }
  static CRect Parked() { return CRect(10000, 10000, 10010, 10010); }
};

template <class Cell>
class WindowCellTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    g = MakeRecordingGrid(6, 3, 520, 200);
    g->SetColWidth(1, 3, 160, nullptr, 0);
    SetCell(g, 1, 1, Cell::Style());
    SetCell(g, 2, 1, Cell::Style());
    g->RedrawAll(GX_INVALIDATE);
    Pump();
  }
  typename Cell::Control* Control() { return ControlOf<typename Cell::Control>(g, Cell::kId); }
  void Edit(ROWCOL row, ROWCOL col) {
    g->MoveCurrentCellTo(row, col);
    Pump();
    Key(Cell::kEditKey);
  }
  // The window's rectangle in the grid's client coordinates.
  CRect WindowRect() {
    CRect r;
    Control()->GetWindowRect(&r);
    g->ScreenToClient(&r);
    return r;
  }
  enginetest::RecordingGrid* g = nullptr;
};

int Stores(const enginetest::Log& log) {
  int n = 0;
  for (const std::string& line : log) n += line.rfind("store ", 0) == 0 ? 1 : 0;
  return n;
}

using Cells = ::testing::Types<CurrencyCell, DateTimeCell>;
TYPED_TEST_SUITE(WindowCellTest, Cells);

TYPED_TEST(WindowCellTest, LeavingHidesTheWindowWhereItWaitsAndStoresOnlyAChange) {
  this->Edit(1, 1);
  ASSERT_TRUE(this->Control()->GetEditingState());
  EXPECT_TRUE(this->Control()->IsWindowVisible());
  EXPECT_EQ(this->Control()->GetWindowPart(), static_cast<CWnd*>(this->Control()));
  this->g->Take();
  this->g->MoveCurrentCellTo(2, 1);
  this->Pump();
  EXPECT_EQ(Stores(this->g->Take()), 0) << "an unchanged value is not stored";

  // A changed value is stored once when the cell is left, and editing ends.
  this->Edit(2, 1);
  ASSERT_TRUE(this->Control()->GetEditingState());
  this->Control()->SetModifiedState(TRUE);
  this->g->Take();
  this->g->MoveCurrentCellTo(3, 1);
  this->Pump();
  EXPECT_EQ(Stores(this->g->Take()), 1);
  EXPECT_FALSE(this->Control()->GetEditingState());
  EXPECT_FALSE(this->Control()->IsWindowVisible());
  EXPECT_EQ(this->WindowRect(), TypeParam::Parked());
}

TYPED_TEST(WindowCellTest, TheWindowsContextMenuAndLostFocusReachTheGrid) {
  this->Edit(1, 1);
  ASSERT_TRUE(this->Control()->GetEditingState());
  const HWND window = this->Control()->m_hWnd;
  std::vector<std::pair<UINT, WPARAM>> seen;
  plat::SetPreDispatchHook(this->g->m_hWnd, [&](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
    if (msg == WM_CONTEXTMENU || msg == WM_KILLFOCUS) seen.emplace_back(msg, wParam);
    return false;
  });
  EXPECT_EQ(::SendMessage(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(30, 40)), 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], std::make_pair(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window)));

  seen.clear();
  ::SetFocus(window);
  NotifyParent other;
  ::SetFocus(other.m_hWnd);
  plat::SetPreDispatchHook(this->g->m_hWnd, {});
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen[0], std::make_pair(WM_KILLFOCUS, reinterpret_cast<WPARAM>(other.m_hWnd)));
}

// A read-only cell being edited keeps its value at every key that changes one, as at a typed digit: Delete
// emptied the date-time cell, and the currency window's Delete, Backspace, cut and paste changed the amount.
TYPED_TEST(WindowCellTest, AReadOnlyCellKeepsItsValueAtEveryEditingKey) {
  CGXStyle readOnly = TypeParam::Style();
  readOnly.SetReadOnly(TRUE);
  const std::pair<int, int> keys[] = {{0, VK_DELETE},      {0, VK_BACK},      {VK_SHIFT, VK_DELETE}, {VK_CONTROL, 'X'},
                                      {VK_CONTROL, 'V'}, {VK_SHIFT, VK_INSERT}, {0, '7'}};
  for (const auto& [modifier, key] : keys) {
    this->SetCell(this->g, 1, 1, readOnly);
    gxtest::PutClipboardText("77");
    this->Edit(1, 1);
    this->Control()->SendMessage(EM_SETSEL, 0, -1);
    modifier ? this->Chord(modifier, key) : this->Key(key);
    this->Key(VK_DOWN);  // leaves the cell, storing a change
    EXPECT_EQ(std::atof(this->g->GetCellValue(1, 1)), std::atof(readOnly.GetValue())) << key;
  }
}

}  // namespace

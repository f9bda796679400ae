// Themed drawing of the formatted-input cells through the platform's recording theme provider: which parts
// and states the currency cell's drop-down button, the calculator's keys and display and the date-time cell's
// spin and drop-down buttons ask for, and that every theme handle opened is closed again.
#include <gtest/gtest.h>

#include <algorithm>

#include "grid/extras/CGXBCalculator.h"
#include "grid/extras/CGXBCalendar.h"
#include "grid/extras/CGXCurrencyEdit.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/display/Desktop.h"

namespace {

using namespace extrastest;

class ThemedTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    UseThemeProvider(&provider);
    g = MakeRecordingGrid(4, 2, 400, 200);
    g->SetColWidth(1, 2, 160, nullptr, 0);
  }
  bool Logged(const std::string& entry) const {
    return std::find(provider.log.begin(), provider.log.end(), entry) != provider.log.end();
  }
  plat::RecordingThemeProvider provider;
  enginetest::RecordingGrid* g = nullptr;
};

TEST_F(ThemedTest, CurrencyButtonAndCalculatorDrawThemedParts) {
  CGXStyle s;
  s.SetControl(GX_IDS_CTRL_CURRENCY).SetValue("12").SetUserAttribute(GX_IDS_UA_CURRENCYDEF, "11 1");
  SetCell(g, 1, 1, s);
  g->MoveCurrentCellTo(1, 1);
  Pump();
  Key(VK_END);  // editing: the edit window with its calculator button over the cell
  auto* edit = ControlOf<CGXCurrencyEdit>(g, GX_IDS_CTRL_CURRENCY);
  ASSERT_TRUE(edit->GetEditingState());
  provider.log.clear();
  edit->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_TRUE(Logged("background BUTTON 1 1"));
  // Held down, the button draws pressed.
  const CRect button = edit->GetButtonRect();
  plat::InputRouter::Instance().ButtonDown(plat::MouseButton::Left, button.CenterPoint());
  Pump();
  edit->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_TRUE(Logged("background BUTTON 1 3"));
  plat::InputRouter::Instance().ButtonUp(plat::MouseButton::Left, button.CenterPoint());
  Pump();
  // The click opened the calculator: themed keys and a themed display.
  CWnd* popup = CWnd::FromHandlePermanent(::GetFocus());
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(popup->IsKindOf(RUNTIME_CLASS(CGXBPopupCalculator)));
  provider.log.clear();
  popup->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_TRUE(Logged("background BUTTON 1 1"));
  EXPECT_TRUE(Logged("background EDIT 1 6"));
  Key(VK_ESCAPE);
  EXPECT_EQ(provider.opens, provider.closes);
}

TEST_F(ThemedTest, DateTimeCellsDrawThemedSpinAndDropDownButtons) {
  CGXStyle s;
  s.SetControl(GX_IDS_CTRL_DATETIME).SetValue("36526.5");
  SetCell(g, 1, 1, s);
  SetCell(g, 2, 1, CGXStyle(s).SetControl(GX_IDS_CTRL_DATETIMENOCAL));
  g->MoveCurrentCellTo(1, 2);
  Pump();
  provider.log.clear();
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_TRUE(provider.log.empty());  // cells that are not current show no buttons
  ControlOf<CGXDateTimeCtrl>(g, GX_IDS_CTRL_DATETIME)->SetAlwaysShowButtons(TRUE, TRUE);
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_TRUE(Logged("background SPIN 1 1"));
  EXPECT_TRUE(Logged("background SPIN 2 1"));
  EXPECT_TRUE(Logged("background BUTTON 1 1"));
  // The edited cell's window: a held spin button draws pressed.
  g->MoveCurrentCellTo(2, 1);
  Pump();
  Key(VK_HOME);
  auto* control = ControlOf<CGXDateTimeCtrl>(g, GX_IDS_CTRL_DATETIMENOCAL);
  ASSERT_TRUE(control->GetEditingState());
  const CGXBDTGadget* spin = control->GetGadget(0);
  const POINT up = At(control->m_hWnd, spin->GetRect().CenterPoint().x, spin->GetRect().top + 2);
  provider.log.clear();
  plat::InputRouter::Instance().ButtonDown(plat::MouseButton::Left, up);
  Pump();
  control->UpdateWindow();
  EXPECT_TRUE(Logged("background SPIN 1 3"));
  plat::InputRouter::Instance().ButtonUp(plat::MouseButton::Left, up);
  Pump();
  EXPECT_EQ(control->GetDateTime(), COleDateTime(2000, 2, 1, 12, 0, 0));  // the month (first field) up
  EXPECT_EQ(provider.opens, provider.closes);
}

TEST_F(ThemedTest, TheMonthCalendarDrawsItsPanelsAsThemedButtons) {
  CWnd* parent = CWnd::FromHandle(g->GridHwnd());
  CGXBCalendar calendar;
  calendar.SetCalendarFlags(0x39C000);
  calendar.SetDisplayDate(COleDateTime(2000, 2, 15, 12, 0, 0), FALSE);
  RECT r{10, 10, 234, 170};
  ASSERT_TRUE(calendar.Create(WS_VISIBLE | WS_CHILD, r, parent, 7));
  Pump();
  provider.log.clear();
  calendar.HighlightDate(COleDateTime(2000, 2, 15, 12, 0, 0), TRUE);
  calendar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_TRUE(Logged("background BUTTON 1 1"));  // the day boxes
  EXPECT_TRUE(Logged("background BUTTON 1 3"));  // the highlighted day
  int highlighted = 0;
  for (int i = 0; i < 42; ++i) highlighted += calendar.GetDayBox(i)->IsHighlighted() ? 1 : 0;
  EXPECT_EQ(highlighted, 1);
  calendar.DestroyWindow();
  EXPECT_EQ(provider.opens, provider.closes);
}

}  // namespace

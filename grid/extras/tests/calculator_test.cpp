// The calculator by typed keys: the four functions and percent, the error state, the digit limits, the
// locale's separator, Tab in a dialog, and the popup's placement and result message.
#include <gtest/gtest.h>

#include "grid/extras/CGXBCalculator.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/base/LocaleTable.h"
#include "platform/display/Desktop.h"

namespace {

using namespace extrastest;

// A parent that records the dialog-control moves and the calculator's result.
class CalcParent : public NotifyParent {
 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_NEXTDLGCTL) log.push_back("next " + std::to_string(wParam));
    if (message == GX_WM_CALCULATOR_RESULT) log.push_back(std::string("result ") + reinterpret_cast<LPCSTR>(lParam));
    return NotifyParent::WindowProc(message, wParam, lParam);
  }
};

class CalculatorTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    parent = std::make_unique<CalcParent>();
  }
  void TearDown() override {
    if (calc.m_hWnd) calc.DestroyWindow();
    parent.reset();
    plat::SetUserDefaultLocale(0x0409);
    ExtrasTest::TearDown();
  }
  void Open() {
    ASSERT_TRUE(calc.Create(0, WS_CHILD | WS_VISIBLE | CGXBCalculator::kStyleBorder, 10, 10, parent.get(), 5));
    calc.SetFocus();
    Pump();
  }
  CString Run(const char* keys) {
    Type(keys);
    return calc.GetDisplayText();
  }
  std::unique_ptr<CalcParent> parent;
  CGXBCalculator calc;
};

TEST_F(CalculatorTest, ComputesWithTheShownNumberAsOperand) {
  Open();
  EXPECT_EQ(Run("200*5%"), "10");
  EXPECT_EQ(Run("c200+5%"), "0");
  EXPECT_EQ(Run("c2+="), "4");
  EXPECT_EQ(Run("c9-4="), "5");
  EXPECT_EQ(Run("c1/4="), "0.25");
  // "0" on an empty display stores no digit (the display draws "0.").
  EXPECT_EQ(Run("c0"), "");
  EXPECT_EQ(Run("5\b"), "");
  const CString third = Run("c1/3=");
  EXPECT_EQ(third.Left(2), "0.");
  EXPECT_NE(third.Right(1), "0");
  EXPECT_EQ(third.GetLength() - 2, std::min(calc.GetPrecision(), 15));
  Key(VK_ESCAPE);  // no key: nothing happens in a calculator that is not a popup
  EXPECT_TRUE(calc.m_hWnd != nullptr);
}

TEST_F(CalculatorTest, DivisionByZeroShowsTheErrorUntilCleared) {
  Open();
  Run("7/0=");
  EXPECT_TRUE(calc.IsError());
  plat::ClearRecordedBeeps();
  Run("3");
  EXPECT_EQ(plat::RecordedBeeps().size(), 1u);
  EXPECT_TRUE(calc.IsError());
  Run("e");
  EXPECT_FALSE(calc.IsError());
  Run("7/0=c");
  EXPECT_FALSE(calc.IsError());
  EXPECT_EQ(Run("8"), "8");
}

TEST_F(CalculatorTest, RefusesDigitsBeyondItsLimits) {
  Open();
  plat::ClearRecordedBeeps();
  EXPECT_EQ(Run("12345678901234"), "1234567890123");  // 13 integer digits
  EXPECT_EQ(plat::RecordedBeeps().size(), 1u);
  const int limit = std::min(15, calc.GetDisplayCapacity());
  const CString fraction = Run("c1.99999999999999999999");
  EXPECT_EQ(fraction.GetLength() - 1, limit);  // digits without the separator
  const CString small = Run("c0.0000000000000000001");
  EXPECT_EQ(small.GetLength() - 1, std::min(16, calc.GetDisplayCapacity()));
}

TEST_F(CalculatorTest, UsesTheLocalesDecimalSeparator) {
  plat::SetUserDefaultLocale(0x0407);
  Open();
  bool commaKey = false;
  for (int i = 0; i < calc.GetButtonCount(); ++i) commaKey |= calc.GetButton(i)->m_strText == ",";
  EXPECT_TRUE(commaKey);
  EXPECT_EQ(Run("1,5*3="), "4,5");
}

TEST_F(CalculatorTest, TabMovesToTheNextDialogControlButNotInThePopup) {
  Open();
  Key(VK_TAB);
  plat::InputRouter::Instance().KeyDown(VK_SHIFT);
  Key(VK_TAB);
  plat::InputRouter::Instance().KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(parent->Take(), Log({"next 0", "next 1"}));
}

TEST_F(CalculatorTest, ThePopupOpensBesideTheEditInsideTheWorkArea) {
  CRect desktop;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &desktop, 0);
  auto* below = new CGXBPopupCalculator;
  below->m_bAutoDelete = TRUE;
  ASSERT_TRUE(below->Create(WS_VISIBLE | CGXBCalculator::kStylePopup, CRect(20, 20, 120, 40), parent.get(), 0));
  CRect r;
  below->GetWindowRect(&r);
  EXPECT_EQ(r.TopLeft(), CPoint(20, 40));
  below->DestroyWindow();
  const CRect edit(desktop.right - 60, desktop.bottom - 30, desktop.right - 10, desktop.bottom - 10);
  auto* above = new CGXBPopupCalculator;
  above->m_bAutoDelete = TRUE;
  ASSERT_TRUE(above->Create(WS_VISIBLE | CGXBCalculator::kStylePopup, edit, parent.get(), 0));
  above->GetWindowRect(&r);
  EXPECT_EQ(r.bottom, edit.top);
  EXPECT_EQ(r.right, edit.right);
  // Its Enter hands the result to the owner and closes it; Tab does nothing in a popup.
  above->SetOwner(parent.get());
  const HWND popup = above->m_hWnd;
  Key(VK_TAB);
  Type("6*7");
  Key(VK_RETURN);
  EXPECT_EQ(parent->Take(), Log({"result 42"}));
  EXPECT_FALSE(::IsWindow(popup));
}

TEST_F(CalculatorTest, APopupThatWouldJustReachTheWorkAreasEdgeOpensOnTheOtherSide) {
  CRect desktop;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &desktop, 0);
  auto open = [&](const CRect& edit) {
    auto* popup = new CGXBPopupCalculator;
    popup->m_bAutoDelete = TRUE;
    EXPECT_TRUE(popup->Create(WS_VISIBLE | CGXBCalculator::kStylePopup, edit, parent.get(), 0));
    CRect r;
    popup->GetWindowRect(&r);
    popup->DestroyWindow();
    return r;
  };
  const CSize size = open(CRect(20, 20, 120, 40)).Size();
  // Its right side would end exactly on the work area's right edge: it opens to the left, its right side
  // under the edit's right side.
  const CRect edgeX(desktop.right - size.cx, 20, desktop.right - size.cx + 50, 40);
  CRect r = open(edgeX);
  EXPECT_EQ(r.right, edgeX.right);
  EXPECT_EQ(r.top, edgeX.bottom);
  // One pixel further in, it fits and opens at the edit's left.
  const CRect inside(edgeX.left - 1, 20, edgeX.right - 1, 40);
  EXPECT_EQ(open(inside).left, inside.left);
  // Its bottom would end exactly on the work area's bottom: it opens above.
  const CRect edgeY(20, desktop.bottom - size.cy - 20, 120, desktop.bottom - size.cy);
  r = open(edgeY);
  EXPECT_EQ(r.bottom, edgeY.top);
  EXPECT_EQ(open(CRect(20, edgeY.top - 1, 120, edgeY.bottom - 1)).top, edgeY.bottom - 1);
}

}  // namespace

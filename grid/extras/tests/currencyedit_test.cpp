// The currency edit window driven by keystroke scripts (real injected keys): window text, caret, selection,
// value and the parent's notifications; the clipboard, undo, read-only state, context menu, colours and
// margins.
#include <gtest/gtest.h>

#include "grid/extras/CGXBCalculator.h"
#include "grid/extras/CGXBCurrencyEdit.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/window/Clipboard.h"

namespace {

using namespace extrastest;

class CurrencyEditTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    parent = std::make_unique<NotifyParent>();
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 34), parent.get(), 9));
    edit.SetFocus();
    Pump();
    parent->Take();
  }
  void TearDown() override {
    edit.DestroyWindow();
    parent.reset();
    plat::SetAutomationProvider(nullptr);
    ExtrasTest::TearDown();
  }
  CString Text() const {
    CString t;
    edit.GetWindowText(t);
    return t;
  }
  double Value() const {
    double v = 0;
    edit.GetValue(v);
    return v;
  }
  std::unique_ptr<NotifyParent> parent;
  CGXBCurrencyEdit edit;
};

TEST_F(CurrencyEditTest, TypingReplacesTheSelectedAmountAndKeepsTheCaretByItsDigit) {
  EXPECT_EQ(Text(), "$0.00");
  EXPECT_TRUE(edit.HasSelection());  // the focus selected everything
  Type("1234");
  EXPECT_EQ(Text(), "$1,234.00");
  EXPECT_EQ(Value(), 1234.0);
  EXPECT_EQ(edit.GetCaret(), 6);  // on the decimal separator
  Type(".5");
  EXPECT_EQ(Text(), "$1,234.50");
  EXPECT_EQ(edit.GetCaret(), 8);
  const Log log = parent->Take();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], "command 9 1024");  // EN_UPDATE before EN_CHANGE
  EXPECT_EQ(log[1], "command 9 768");
}

TEST_F(CurrencyEditTest, MinusFlipsTheSignAndMakesAWholeSelectionNegative) {
  Type("5");
  Type("-");
  EXPECT_EQ(Text(), "($5.00)");
  Type("-");
  EXPECT_EQ(Text(), "$5.00");
  edit.SetValue(-5.0);
  edit.SetSel(0, -1);
  Type("-");
  EXPECT_EQ(Value(), -5.0);  // negative even though it already was
  EXPECT_TRUE(edit.HasSelection());
}

TEST_F(CurrencyEditTest, BackspaceAndDeleteTurnFractionDigitsIntoZeros) {
  edit.SetValue(12.34);
  edit.SetSel(-1, 0);
  Key(VK_END);
  EXPECT_EQ(edit.GetCaret(), 6);
  Key(VK_BACK);
  EXPECT_EQ(Text(), "$12.30");
  EXPECT_EQ(edit.GetCaret(), 5);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "$12.30");  // the caret stands on the fraction's last digit, already 0
  Key(VK_END);
  Key(VK_DELETE);  // at the end: nothing
  EXPECT_EQ(Text(), "$12.30");
  Key(VK_HOME);
  Key(VK_RIGHT);
  Key(VK_DELETE);  // an integer digit goes
  EXPECT_EQ(Text(), "$2.30");
  Key(VK_BACK);  // nothing before the first digit
  EXPECT_EQ(Text(), "$2.30");
}

TEST_F(CurrencyEditTest, OverwriteAndAppendModes) {
  edit.SetValue(12.34);
  edit.SetSel(-1, 0);
  Key(VK_HOME);
  Key(VK_RIGHT);
  Key(VK_INSERT);
  EXPECT_TRUE(edit.GetOverwrite());
  Type("9");
  EXPECT_EQ(Text(), "$92.34");
  Type("8");
  EXPECT_EQ(Text(), "$98.34");
  Type("7");  // steps over the separator into the fraction
  EXPECT_EQ(Text(), "$98.74");
  Key(VK_INSERT);
  edit.SetAppendMode(TRUE);
  Key(VK_END);
  Type("5");
  EXPECT_EQ(Text(), "$98.45");  // the fraction shifts left
}

TEST_F(CurrencyEditTest, PasteKeepsDigitsUnlessTheWholeNumberIsSelected) {
  ASSERT_TRUE(CGXBCurrencyEdit::SetClipboardText("$7x8"));
  edit.SetValue(1.0);
  edit.SetSel(-1, 0);
  Key(VK_HOME);
  Key(VK_RIGHT);
  edit.SendMessage(WM_PASTE);
  EXPECT_EQ(Text(), "$781.00");
  ASSERT_TRUE(CGXBCurrencyEdit::SetClipboardText("($2.50)"));
  edit.SetSel(0, -1);
  edit.SendMessage(WM_PASTE);
  EXPECT_EQ(Value(), -2.5);
}

TEST_F(CurrencyEditTest, UndoTwiceReturnsAndSelectionAnswers) {
  Type("42");
  EXPECT_EQ(Text(), "$42.00");
  edit.SendMessage(WM_UNDO);
  EXPECT_EQ(Text(), "$4.00");
  edit.SendMessage(WM_UNDO);
  EXPECT_EQ(Text(), "$42.00");
  edit.SetSel(-1, 0);
  EXPECT_EQ(edit.SendMessage(EM_GETSEL), -1);
  edit.SendMessage(EM_SETSEL, 1, 3);
  EXPECT_EQ(edit.SendMessage(EM_GETSEL), MAKELONG(1, 3));
  EXPECT_FALSE(edit.SetSel(0, 99));
  // Alt+Backspace undoes too.
  edit.SendMessage(WM_SYSKEYDOWN, VK_BACK, 0x20000000);
  Pump();
  EXPECT_EQ(Text(), "$4.00");
  edit.SendMessage(EM_EMPTYUNDOBUFFER);
  EXPECT_FALSE(edit.SendMessage(EM_CANUNDO));
}

TEST_F(CurrencyEditTest, ReadOnlyRefusesEveryChangeSilently) {
  edit.SetValue(3.0);
  edit.SendMessage(EM_SETREADONLY, TRUE);
  EXPECT_TRUE(edit.IsReadOnly());
  parent->Take();
  edit.SetSel(0, -1);
  Type("9-");
  Key(VK_DELETE);
  Key(VK_BACK);
  edit.SendMessage(WM_CUT);
  edit.SendMessage(WM_PASTE);
  edit.SendMessage(WM_UNDO);
  edit.SendMessage(WM_COMMAND, 57632);
  EXPECT_EQ(Text(), "$3.00");
  EXPECT_TRUE(parent->Take().empty());
  EXPECT_EQ(edit.GetEditBackgroundColor(), GetSysColor(COLOR_BTNFACE));
}

TEST_F(CurrencyEditTest, CutLeavesTheTextWhenTheClipboardRefused) {
  edit.SetValue(12.0);
  edit.SetSel(1, 3);
  plat::Clipboard::Instance().heldElsewhere = true;
  edit.SendMessage(WM_CUT);
  plat::Clipboard::Instance().heldElsewhere = false;
  EXPECT_EQ(Text(), "$12.00");
  edit.SetSel(1, 3);
  edit.SendMessage(WM_CUT);
  EXPECT_EQ(Text(), "$0.00");
  CString clip;
  ASSERT_TRUE(CGXBCurrencyEdit::GetClipboardText(clip));
  EXPECT_EQ(clip, "12");
}

TEST_F(CurrencyEditTest, TheContextMenuGreysWhatCannotRun) {
  plat::ScriptedAutomation automation;
  automation.Reply(plat::SystemUiKind::PopupMenu, {0, {}, 0}, {}, true);
  plat::SetAutomationProvider(&automation);
  plat::ClearShownLog();
  edit.SetSel(-1, 0);
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  edit.SendMessage(WM_SYSKEYDOWN, VK_F10, 0);  // without Shift: no menu
  plat::InputRouter::Instance().KeyDown(VK_SHIFT);
  Pump();
  edit.SendMessage(WM_SYSKEYDOWN, VK_F10, 0);
  plat::InputRouter::Instance().KeyUp(VK_SHIFT);
  Pump();
  ASSERT_EQ(plat::ShownLog().size(), 1u);
  const plat::SystemRequest& menu = plat::ShownLog()[0].request;
  EXPECT_EQ(menu.text,
            "&Undo\tCtrl+Z (disabled)\nCu&t\tCtrl+X (disabled)\n&Copy\tCtrl+C (disabled)\n"
            "&Paste\tCtrl+V (disabled)\n&Delete\tDelete (disabled)\nSelect &All\n");
  CRect window;
  edit.GetWindowRect(&window);
  EXPECT_EQ(menu.caption, "popup menu at " + std::to_string(window.left + 100) + "," +
                              std::to_string(window.top + 12));
}

TEST_F(CurrencyEditTest, ColoursFollowTheSignAndTheState) {
  CGXBCurrencyEdit::Format f(TRUE);
  f.SetNegativeColor(RGB(200, 0, 0));
  f.SetPositiveColor(RGB(0, 0, 200));
  edit.SetFormat(f);
  edit.SetValue(-1.0);
  EXPECT_EQ(edit.GetEditTextColor(), RGB(200, 0, 0));
  edit.SetValue(0.0);
  EXPECT_EQ(edit.GetEditTextColor(), RGB(0, 0, 200));
  edit.SetFormat(CGXBCurrencyEdit::Format(TRUE));
  EXPECT_EQ(edit.GetEditTextColor(), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(edit.GetEditBackgroundColor(), GetSysColor(COLOR_WINDOW));
  edit.EnableWindow(FALSE);
  EXPECT_EQ(edit.GetEditBackgroundColor(), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(edit.GetEditTextColor(), GetSysColor(COLOR_GRAYTEXT));
}

TEST_F(CurrencyEditTest, MarginsFromFlagsAndFromTheFont) {
  edit.SendMessage(EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(5, 9));
  EXPECT_EQ(edit.GetLeftMargin(), 5);
  EXPECT_EQ(edit.GetRightMargin(), 0);
  edit.SendMessage(EM_SETMARGINS, EC_USEFONTINFO, 0);
  EXPECT_GT(edit.GetLeftMargin(), 0);
  EXPECT_NE(edit.GetLeftMargin(), 0xFFFF);
  EXPECT_EQ(edit.GetLeftMargin(), edit.GetRightMargin());
}

TEST_F(CurrencyEditTest, TheCalculatorsResultBecomesTheAmount) {
  edit.SetButtonBitmap(gx::kCurrencyButtonBitmap);
  Key(VK_F2);
  CWnd* popup = CWnd::FromHandlePermanent(::GetFocus());
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(popup->IsKindOf(RUNTIME_CLASS(CGXBPopupCalculator)));
  Type("+2.5");
  Key(VK_RETURN);
  EXPECT_EQ(Value(), 2.5);
  EXPECT_EQ(Text(), "$2.50");
}

}  // namespace

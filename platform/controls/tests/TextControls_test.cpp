// The messages the edit and the rich edit control answer through one routine: each case runs over both
// classes, so a control whose adapter answers differently shows up by name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/controls/tests/ControlTestSupport.h"
#include "platform/window/Caret.h"

namespace plat::test {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

class TextControls : public ControlTest, public ::testing::WithParamInterface<const char*> {
 protected:
  HWND MakeText(DWORD style, const char* text, int id = 7) {
    return Make(GetParam(), text, kChild | style, {10, 10, 200, 80}, id);
  }
  LRESULT Length(HWND h) { return SendMessage(h, WM_GETTEXTLENGTH, 0, 0); }
};

TEST_P(TextControls, TextIsCopiedOutWithinTheBufferAndAlwaysEnded) {
  HWND h = MakeText(0, "hello world");
  EXPECT_EQ(Length(h), 11);
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(SendMessage(h, WM_GETTEXT, 6, reinterpret_cast<LPARAM>(buf)), 5);
  EXPECT_STREQ(buf, "hello");
  EXPECT_EQ(buf[6], 'x');  // nothing written past the size given
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(SendMessage(h, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 0);
  EXPECT_EQ(buf[0], 'x');
  EXPECT_EQ(SendMessage(h, WM_GETTEXT, 6, 0), 0);
}

TEST_P(TextControls, SelectionModifyAndLimitAnswers) {
  HWND h = MakeText(0, "hello world");
  SendMessage(h, EM_SETSEL, 7, 2);
  DWORD a = 99, b = 99;
  const LRESULT packed = SendMessage(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 2u);
  EXPECT_EQ(b, 7u);
  EXPECT_EQ(LOWORD(packed), 2);
  EXPECT_EQ(HIWORD(packed), 7);
  EXPECT_EQ(SendMessage(h, EM_GETSEL, 0, 0), packed);

  EXPECT_EQ(SendMessage(h, EM_GETMODIFY, 0, 0), 0);
  SendMessage(h, EM_SETMODIFY, 1, 0);
  EXPECT_NE(SendMessage(h, EM_GETMODIFY, 0, 0), 0);
  SendMessage(h, EM_SETMODIFY, 0, 0);
  EXPECT_EQ(SendMessage(h, EM_GETMODIFY, 0, 0), 0);
  EXPECT_GT(SendMessage(h, EM_GETLIMITTEXT, 0, 0), 0);
}

TEST_P(TextControls, LinesAndDialogCodeFollowTheMultiLineStyle) {
  HWND multi = MakeText(ES_MULTILINE, "ab\r\ncd", 8);
  EXPECT_EQ(SendMessage(multi, EM_GETLINECOUNT, 0, 0), 2);
  const LRESULT end = Length(multi);
  SendMessage(multi, EM_SETSEL, static_cast<WPARAM>(end), end);
  EXPECT_EQ(SendMessage(multi, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1);  // -1: the selection's line
  EXPECT_EQ(SendMessage(multi, EM_LINEFROMCHAR, 0, 0), 0);
  EXPECT_TRUE(SendMessage(multi, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);

  HWND single = MakeText(0, "ab", 9);
  const LRESULT code = SendMessage(single, WM_GETDLGCODE, 0, 0);
  EXPECT_FALSE(code & DLGC_WANTALLKEYS);
  EXPECT_TRUE(code & DLGC_WANTCHARS);
  EXPECT_TRUE(code & DLGC_WANTARROWS);
  EXPECT_EQ(SendMessage(single, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_P(TextControls, UndoAnswersWhetherItCould) {
  HWND h = MakeText(0, "ab");
  SetFocus(h);
  SendMessage(h, EM_SETSEL, 2, 2);
  Type("c");
  EXPECT_EQ(Text(h), "abc");
  EXPECT_NE(SendMessage(h, EM_CANUNDO, 0, 0), 0);
  EXPECT_EQ(SendMessage(h, WM_UNDO, 0, 0), 1);
  EXPECT_EQ(Text(h), "ab");
  SendMessage(h, EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_EQ(SendMessage(h, EM_CANUNDO, 0, 0), 0);
  EXPECT_EQ(SendMessage(h, EM_UNDO, 0, 0), 0);
  EXPECT_EQ(Text(h), "ab");
}

TEST_P(TextControls, LosingTheFocusMidDragEndsTheDragAndTheCaret) {
  HWND h = MakeText(0, "one two three");
  HWND other = Make("BUTTON", "b", kChild, {10, 100, 100, 120}, 6);
  ClearLog();
  in().ButtonDown(MouseButton::Left, InputRouter::ClientPoint(h, 4, 6));
  RunUntilIdle();
  EXPECT_EQ(GetCapture(), h);
  EXPECT_EQ(Caret::Instance().Owner(), h);
  LRESULT before = SendMessage(h, EM_GETSEL, 0, 0);
  SetFocus(other);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(Caret::Instance().Exists());
  // The mouse moving on and coming up afterwards selects nothing more.
  in().MouseMove(InputRouter::ClientPoint(h, 150, 6));
  in().ButtonUp(MouseButton::Left, InputRouter::ClientPoint(h, 150, 6));
  RunUntilIdle();
  EXPECT_EQ(SendMessage(h, EM_GETSEL, 0, 0), before);
  EXPECT_EQ(NoteCodes(7), (std::vector<UINT>{EN_SETFOCUS, EN_KILLFOCUS}));
}

INSTANTIATE_TEST_SUITE_P(BothClasses, TextControls, ::testing::Values("EDIT", "RichEdit20A"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(std::strcmp(info.param, "EDIT") == 0 ? "Edit" : "RichEdit");
                         });

}  // namespace
}  // namespace plat::test

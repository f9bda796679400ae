// Edit controls driven by injected keys, mouse and messages: notification order, modify flag, undo,
// clipboard, limits and filters, caret and selection, lines and word wrap, scrolling, and their look.
#include "platform/controls/Edit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "platform/base/GlobalMemory.h"
#include "platform/controls/EditModel.h"
#include "platform/controls/tests/ControlTestSupport.h"
#include "platform/gdi/RecordingDC.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/Caret.h"

namespace plat::test {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kMulti = kChild | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;

std::pair<int, int> Sel(HWND e) {
  DWORD a = 0, b = 0;
  SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  return {static_cast<int>(a), static_cast<int>(b)};
}

std::string ClipboardText() {
  std::string out;
  if (!OpenClipboard(nullptr)) return out;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    out = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return out;
}

void SetClipboardText(const char* text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
  std::strcpy(static_cast<char*>(GlobalLock(g)), text);
  GlobalUnlock(g);
  SetClipboardData(CF_TEXT, g);
  CloseClipboard();
}

class Edits : public ControlTest {
 protected:
  HWND Single(DWORD extra = ES_AUTOHSCROLL, const char* text = "") {
    HWND e = Make("EDIT", text, kChild | WS_BORDER | extra, {10, 10, 200, 34}, 100);
    SetFocus(e);
    RunUntilIdle();
    ClearLog();
    return e;
  }
  HWND Multi(DWORD extra = 0, const char* text = "", RECT r = {10, 10, 210, 110}) {
    HWND e = Make("EDIT", text, kMulti | extra, r, 101);
    SetFocus(e);
    RunUntilIdle();
    ClearLog();
    return e;
  }
};

TEST_F(Edits, TypingNotifiesUpdateThenChangePerCharacterAndSetsModify) {
  HWND e = Single();
  EXPECT_NOTES(Notes());  // focus was taken before the log was cleared
  Type("ab");
  EXPECT_EQ(Text(e), "ab");
  EXPECT_EQ(NoteCodes(100), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
  EXPECT_TRUE(SendMessage(e, EM_GETMODIFY, 0, 0));
  EXPECT_EQ(Sel(e), std::make_pair(2, 2));
  // Setting the text clears the flag; a single-line edit reports the change.
  ClearLog();
  SetWindowText(e, "xyz");
  EXPECT_FALSE(SendMessage(e, EM_GETMODIFY, 0, 0));
  EXPECT_EQ(NoteCodes(100), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
  EXPECT_FALSE(SendMessage(e, EM_CANUNDO, 0, 0));
}

TEST_F(Edits, MultiLineSetTextIsSilentButUserChangesAreNot) {
  HWND e = Multi();
  SetWindowText(e, "one\r\ntwo");
  EXPECT_TRUE(NoteCodes(101).empty());
  Type("x");
  EXPECT_EQ(NoteCodes(101), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
  EXPECT_EQ(Text(e), "xone\r\ntwo");
}

TEST_F(Edits, FocusNotificationsAndCaretLifetime) {
  HWND e = Make("EDIT", "", kChild, {10, 10, 100, 30}, 5);
  HWND other = Make("BUTTON", "b", kChild, {10, 50, 100, 70}, 6);
  ClearLog();
  SetFocus(e);
  EXPECT_EQ(Caret::Instance().Owner(), e);
  SetFocus(other);
  EXPECT_FALSE(Caret::Instance().Exists());
  EXPECT_EQ(NoteCodes(5), (std::vector<UINT>{EN_SETFOCUS, EN_KILLFOCUS}));
}

TEST_F(Edits, KeyboardCaretAndSelection) {
  HWND e = Single(ES_AUTOHSCROLL, "alpha beta gamma");
  SendMessage(e, EM_SETSEL, 0, 0);
  Key(VK_END);
  EXPECT_EQ(Sel(e), std::make_pair(16, 16));
  Key(VK_LEFT, VK_CONTROL);
  EXPECT_EQ(Sel(e), std::make_pair(11, 11));
  Key(VK_LEFT, VK_CONTROL);
  EXPECT_EQ(Sel(e), std::make_pair(6, 6));
  in().KeyDown(VK_SHIFT);
  in().KeyDown(VK_CONTROL);
  in().KeyPress(VK_RIGHT);
  in().KeyUp(VK_CONTROL);
  in().KeyPress(VK_RIGHT);
  in().KeyUp(VK_SHIFT);
  RunUntilIdle();
  EXPECT_EQ(Sel(e), std::make_pair(6, 12));
  // An arrow without Shift collapses the selection to its side.
  Key(VK_LEFT);
  EXPECT_EQ(Sel(e), std::make_pair(6, 6));
  in().KeyDown(VK_SHIFT);
  in().KeyPress(VK_HOME);
  in().KeyUp(VK_SHIFT);
  RunUntilIdle();
  EXPECT_EQ(Sel(e), std::make_pair(0, 6));
  Type("X");
  EXPECT_EQ(Text(e), "Xbeta gamma");
  Key(VK_DELETE);
  EXPECT_EQ(Text(e), "Xeta gamma");
  Type("\b");
  EXPECT_EQ(Text(e), "eta gamma");
  // Escape does nothing.
  Key(VK_ESCAPE);
  EXPECT_EQ(Text(e), "eta gamma");
}

TEST_F(Edits, SetSelForms) {
  HWND e = Single(ES_AUTOHSCROLL, "hello");
  SendMessage(e, EM_SETSEL, 0, -1);
  EXPECT_EQ(Sel(e), std::make_pair(0, 5));
  SendMessage(e, EM_SETSEL, 4, 1);  // the caret goes to the end argument
  EXPECT_EQ(Sel(e), std::make_pair(1, 4));
  Type("Z");
  EXPECT_EQ(Text(e), "hZo");
  // (-1, x) drops the selection and leaves the bare caret where it was, at either end.
  SendMessage(e, EM_SETSEL, 1, 3);
  SendMessage(e, EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(Sel(e), std::make_pair(3, 3));
  SendMessage(e, EM_SETSEL, 3, 1);
  SendMessage(e, EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(Sel(e), std::make_pair(1, 1));
  const LRESULT packed = SendMessage(e, EM_SETSEL, 2, 99), got = SendMessage(e, EM_GETSEL, 0, 0);
  (void)packed;
  EXPECT_EQ(LOWORD(got), 2);
  EXPECT_EQ(HIWORD(got), 3);
}

TEST_F(Edits, ReplaceSelSetsModifyNotifiesAndIsUndoable) {
  HWND e = Single(ES_AUTOHSCROLL, "abc");
  SendMessage(e, EM_SETSEL, 1, 2);
  SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("XYZ"));
  EXPECT_EQ(Text(e), "aXYZc");
  EXPECT_EQ(Sel(e), std::make_pair(4, 4));
  EXPECT_TRUE(SendMessage(e, EM_GETMODIFY, 0, 0));
  EXPECT_EQ(NoteCodes(100), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
  EXPECT_TRUE(SendMessage(e, EM_CANUNDO, 0, 0));
  EXPECT_TRUE(SendMessage(e, EM_UNDO, 0, 0));
  EXPECT_EQ(Text(e), "abc");
  EXPECT_EQ(Sel(e), std::make_pair(1, 2));  // the restored text is selected
  SendMessage(e, EM_UNDO, 0, 0);            // undoing the undo redoes
  EXPECT_EQ(Text(e), "aXYZc");
  SendMessage(e, EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_FALSE(SendMessage(e, EM_CANUNDO, 0, 0));
  EXPECT_FALSE(SendMessage(e, EM_UNDO, 0, 0));
}

TEST_F(Edits, TypedRunsUndoAsOneStep) {
  HWND e = Single(ES_AUTOHSCROLL, "start ");
  SendMessage(e, EM_SETSEL, 6, 6);
  Type("word");
  SendMessage(e, EM_SETMODIFY, FALSE, 0);
  in().KeyDown(VK_CONTROL);
  in().KeyPress('Z');
  in().KeyUp(VK_CONTROL);
  RunUntilIdle();
  EXPECT_EQ(Text(e), "start ");
  EXPECT_TRUE(SendMessage(e, EM_GETMODIFY, 0, 0));  // undo is a change like any other
}

TEST_F(Edits, ClipboardThroughKeysAndMessages) {
  HWND e = Single(ES_AUTOHSCROLL, "copy me");
  SendMessage(e, EM_SETSEL, 0, 4);
  Key('C', VK_CONTROL);
  EXPECT_EQ(ClipboardText(), "copy");
  Key(VK_END);
  Key('V', VK_CONTROL);
  EXPECT_EQ(Text(e), "copy mecopy");
  SendMessage(e, EM_SETSEL, 0, 5);
  SendMessage(e, WM_CUT, 0, 0);
  EXPECT_EQ(ClipboardText(), "copy ");
  EXPECT_EQ(Text(e), "mecopy");
  SendMessage(e, EM_SETSEL, 0, 2);
  SendMessage(e, WM_CLEAR, 0, 0);
  EXPECT_EQ(Text(e), "copy");
  // Shift+Insert pastes, Ctrl+Insert copies, Shift+Delete cuts.
  SendMessage(e, EM_SETSEL, 0, 1);
  Key(VK_INSERT, VK_CONTROL);
  EXPECT_EQ(ClipboardText(), "c");
  Key(VK_END);
  Key(VK_INSERT, VK_SHIFT);
  EXPECT_EQ(Text(e), "copyc");
  // A single-line edit pastes only the first line.
  SetClipboardText("first\r\nsecond");
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(e), "copycfirst");
}

TEST_F(Edits, PasswordHidesTextAndRefusesCopy) {
  HWND e = Single(ES_AUTOHSCROLL | ES_PASSWORD, "secret");
  EXPECT_EQ(SendMessage(e, EM_GETPASSWORDCHAR, 0, 0), '*');
  SetClipboardText("keep");
  SendMessage(e, EM_SETSEL, 0, -1);
  SendMessage(e, WM_COPY, 0, 0);
  SendMessage(e, WM_CUT, 0, 0);
  EXPECT_EQ(ClipboardText(), "keep");
  EXPECT_EQ(Text(e), "secret");
  SendMessage(e, EM_SETPASSWORDCHAR, 0, 0);
  EXPECT_EQ(GetWindowLong(e, GWL_STYLE) & ES_PASSWORD, 0);
}

TEST_F(Edits, ReadOnlyBlocksChangesAllowsCopyAndShowsInStyle) {
  HWND e = Single(ES_AUTOHSCROLL, "fixed");
  SendMessage(e, EM_SETREADONLY, TRUE, 0);
  EXPECT_NE(GetWindowLong(e, GWL_STYLE) & ES_READONLY, 0);
  SendMessage(e, EM_SETSEL, 0, -1);
  Type("x\b");
  Key(VK_DELETE);
  SendMessage(e, WM_CUT, 0, 0);
  EXPECT_EQ(Text(e), "fixed");
  SendMessage(e, WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardText(), "fixed");
  EXPECT_TRUE(NoteCodes(100).empty());
  // Painting a read-only edit asks for the static colours.
  ClearLog();
  InvalidateRect(e, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_FALSE(Entries(host, WM_CTLCOLORSTATIC).empty());
  EXPECT_TRUE(Entries(host, WM_CTLCOLOREDIT).empty());
}

TEST_F(Edits, LimitRefusesOverflowWithMaxText) {
  HWND e = Single();
  SendMessage(e, EM_LIMITTEXT, 3, 0);
  EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 3);
  Type("abcd");
  EXPECT_EQ(Text(e), "abc");
  EXPECT_EQ(NoteCodes(100).back(), EN_MAXTEXT);
  // A paste is cut to what fits, then reported.
  SendMessage(e, EM_SETSEL, 1, 2);
  SetClipboardText("XYZ");
  ClearLog();
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(e), "aXc");
  EXPECT_EQ(NoteCodes(100), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_MAXTEXT}));
  SendMessage(e, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(static_cast<UINT>(SendMessage(e, EM_GETLIMITTEXT, 0, 0)), controls::kEditMaxLimitSingle);
}

// Text cut at the limit keeps a line break whole, at every door: Enter, a paste and EM_REPLACESEL.
TEST_F(Edits, LimitNeverSplitsALineBreak) {
  enum Door { kEnter, kPaste, kReplace };
  const struct { Door door; const char* text; const char* expected; } rows[] = {
      {kEnter, "", "ab"}, {kPaste, "\r\ncd", "ab"}, {kPaste, "c\r\nd", "abc"}, {kReplace, "\r\nx", "ab"}};
  for (const auto& row : rows) {
    HWND e = Multi(ES_AUTOHSCROLL, "ab");
    SendMessage(e, EM_LIMITTEXT, 3, 0);
    SendMessage(e, EM_SETSEL, 2, 2);
    SetClipboardText(row.text);
    if (row.door == kEnter) Key(VK_RETURN);
    if (row.door == kPaste) SendMessage(e, WM_PASTE, 0, 0);
    if (row.door == kReplace) SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(row.text));
    EXPECT_EQ(Text(e), row.expected) << row.door << " " << row.text;
    DestroyWindow(e);
  }
}

TEST_F(Edits, NumberAndCaseFilters) {
  HWND num = Single(ES_AUTOHSCROLL | ES_NUMBER);
  Type("1a2");
  EXPECT_EQ(Text(num), "12");
  HWND up = Single(ES_AUTOHSCROLL | ES_UPPERCASE);
  Type("MiXed");
  EXPECT_EQ(Text(up), "MIXED");
  SetWindowText(up, "abc");
  EXPECT_EQ(Text(up), "ABC");
  HWND low = Single(ES_AUTOHSCROLL | ES_LOWERCASE);
  Type("MiXed");
  EXPECT_EQ(Text(low), "mixed");
}

TEST_F(Edits, WithoutAutoHScrollASingleLineTakesOnlyWhatFits) {
  HWND e = Single(0);
  Type(std::string(200, 'W').c_str());
  const int kept = GetWindowTextLength(e);
  EXPECT_GT(kept, 3);
  EXPECT_LT(kept, 200);
  EXPECT_EQ(NoteCodes(100).back(), EN_MAXTEXT);
  HWND wide = Single(ES_AUTOHSCROLL);
  Type(std::string(200, 'W').c_str());
  EXPECT_EQ(GetWindowTextLength(wide), 200);
}

TEST_F(Edits, MultiLineLinesAndLineMessages) {
  HWND e = Multi(ES_AUTOHSCROLL, "first\r\nsecond line\r\n\r\nlast");
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 1, 0), 7);
  EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 3, 0), 22);
  EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 4, 0), -1);
  EXPECT_EQ(SendMessage(e, EM_LINELENGTH, 8, 0), 11);
  EXPECT_EQ(SendMessage(e, EM_LINELENGTH, 20, 0), 0);
  EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, 22, 0), 3);
  EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, 6, 0), 0);
  char buf[32]{};
  *reinterpret_cast<WORD*>(buf) = 6;
  EXPECT_EQ(SendMessage(e, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buf)), 6);
  EXPECT_EQ(std::string(buf, 6), "second");
  // Enter inserts a line break; arrows cross it as one step.
  SendMessage(e, EM_SETSEL, 5, 5);
  Type("\r");
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 5);
  EXPECT_EQ(Sel(e), std::make_pair(7, 7));
  Key(VK_LEFT);
  EXPECT_EQ(Sel(e), std::make_pair(5, 5));
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1);
  EXPECT_EQ(SendMessage(e, WM_GETDLGCODE, 0, 0),
            LRESULT(DLGC_WANTALLKEYS | DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS));
}

TEST_F(Edits, WordWrapKeepsEveryLineInsideTheFormatRectangle) {
  HWND e = Multi(0, "", {10, 10, 110, 200});
  const std::string text = "the quick brown fox jumps over the lazy dog and keeps running far away";
  SetWindowText(e, text.c_str());
  const int lines = static_cast<int>(SendMessage(e, EM_GETLINECOUNT, 0, 0));
  EXPECT_GT(lines, 2);
  RECT fr{};
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
  for (int l = 0; l < lines; ++l) {
    const int start = static_cast<int>(SendMessage(e, EM_LINEINDEX, l, 0));
    const int len = static_cast<int>(SendMessage(e, EM_LINELENGTH, start, 0));
    // Line text without its hanging spaces fits.
    int end = start + len;
    while (end > start && text[static_cast<size_t>(end) - 1] == ' ') --end;
    if (end > start) {
      const LRESULT p = SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(end - 1), 0);
      EXPECT_LT(static_cast<SHORT>(LOWORD(p)), fr.right) << "line " << l;
    }
    if (l > 0) {
      EXPECT_NE(text[static_cast<size_t>(start)], ' ') << "line " << l;
    }
  }
  // Every character's position maps back to it.
  for (int i = 0; i < static_cast<int>(text.size()); i += 7) {
    const LRESULT p = SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0);
    const LRESULT c = SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(LOWORD(p), HIWORD(p) + 2));
    EXPECT_EQ(LOWORD(c), i);
  }
}

TEST_F(Edits, WithoutAutoVScrollAMultiLineEditTakesOnlyTheLinesItShows) {
  HWND e = Make("EDIT", "", kChild | ES_MULTILINE | ES_AUTOHSCROLL, {10, 10, 200, 50}, 102);
  SetFocus(e);
  RunUntilIdle();
  Type("one\rtwo\rthree\rfour\rfive\rsix");
  const int lines = static_cast<int>(SendMessage(e, EM_GETLINECOUNT, 0, 0));
  EXPECT_GE(lines, 1);
  EXPECT_LT(lines, 6);
  const auto codes = NoteCodes(102);
  EXPECT_NE(std::find(codes.begin(), codes.end(), EN_MAXTEXT), codes.end());
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  // The refused line breaks did not stop the typing: the rest went onto the last line.
  EXPECT_NE(Text(e).find("six"), std::string::npos);
}

TEST_F(Edits, ScrollingByMessagesAndCaret) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  HWND e = Multi(WS_VSCROLL, text.c_str());
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SendMessage(e, EM_LINESCROLL, 0, 5);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 5);
  SendMessage(e, EM_LINESCROLL, 0, -100);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SendMessage(e, EM_LINESCROLL, 0, 1000);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 30);
  SendMessage(e, EM_SETSEL, 0, 0);
  SendMessage(e, EM_SCROLLCARET, 0, 0);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  Key(VK_END, VK_CONTROL);
  EXPECT_GT(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 20);
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(e, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 30);
  EXPECT_EQ(si.nPos, SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessage(e, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(Edits, HorizontalBarFollowsTheWidestLine) {
  HWND e = Multi(WS_HSCROLL | ES_AUTOHSCROLL, "short\r\na much longer line that runs past the right edge of the box");
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(e, SB_HORZ, &si));
  EXPECT_GT(si.nMax, static_cast<int>(si.nPage));
  SendMessage(e, WM_HSCROLL, SB_PAGERIGHT, 0);
  const LRESULT p = SendMessage(e, EM_POSFROMCHAR, 0, 0);
  EXPECT_LT(static_cast<SHORT>(LOWORD(p)), 0);  // the text moved left
  ASSERT_TRUE(GetScrollInfo(e, SB_HORZ, &si));
  EXPECT_EQ(si.nPos, -static_cast<SHORT>(LOWORD(p)));  // bar and text agree, clamped at the widest line's end
  EXPECT_EQ(si.nPos, si.nMax - static_cast<int>(si.nPage) + 1);
  SendMessage(e, WM_HSCROLL, SB_LEFT, 0);
  EXPECT_EQ(LOWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0)), 0);
}

// A cell's edit window is shown narrow, its caret put at the end, then sized to the cell: the short text
// shows from its start instead of staying scrolled out of view.
TEST_F(Edits, AViewScrolledWhileNarrowComesBackWhenTheTextFits) {
  for (const DWORD style : {DWORD{ES_AUTOHSCROLL}, DWORD{ES_MULTILINE | ES_AUTOHSCROLL}}) {
    HWND e = Make("EDIT", "Blue", kChild | style, {10, 10, 12, 24}, 102);
    SetFocus(e);
    SendMessage(e, EM_SETSEL, 0, -1);
    SendMessage(e, EM_SCROLLCARET, 0, 0);
    EXPECT_LT(static_cast<SHORT>(LOWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0))), 0) << style;
    MoveWindow(e, 10, 10, 150, 14, TRUE);
    EXPECT_EQ(static_cast<SHORT>(LOWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0))), 0) << style;
    // Still too narrow for the text: scrolled no further than the text's end needs.
    SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a much longer line than the box shows"));
    SendMessage(e, EM_SETSEL, 0, -1);
    SendMessage(e, EM_SCROLLCARET, 0, 0);
    const int scrolled = -static_cast<SHORT>(LOWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0)));
    EXPECT_GT(scrolled, 0) << style;
    MoveWindow(e, 10, 10, 170, 14, TRUE);
    const int after = -static_cast<SHORT>(LOWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0)));
    EXPECT_GE(after, 0) << style;
    EXPECT_LE(after, scrolled) << style;
    DestroyWindow(e);
  }
}

TEST_F(Edits, MouseClickDragAndDoubleClick) {
  HWND e = Single(ES_AUTOHSCROLL, "one two three");
  const LRESULT p4 = SendMessage(e, EM_POSFROMCHAR, 4, 0), p7 = SendMessage(e, EM_POSFROMCHAR, 7, 0);
  const POINT a = InputRouter::ClientPoint(e, LOWORD(p4), HIWORD(p4) + 3);
  const POINT b = InputRouter::ClientPoint(e, LOWORD(p7), HIWORD(p7) + 3);
  in().ButtonDown(MouseButton::Left, a);
  RunUntilIdle();
  EXPECT_EQ(GetCapture(), e);
  in().MouseMove(b);
  in().ButtonUp(MouseButton::Left, b);
  RunUntilIdle();
  EXPECT_EQ(Sel(e), std::make_pair(4, 7));
  EXPECT_EQ(GetCapture(), nullptr);
  AdvanceAndPump(1000);
  in().DoubleClick(MouseButton::Left, InputRouter::ClientPoint(e, LOWORD(p4) + 2, HIWORD(p4) + 3));
  RunUntilIdle();
  EXPECT_EQ(Sel(e), std::make_pair(4, 7));
}

TEST_F(Edits, DragPastTheBottomKeepsScrollingOnTheClock) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "row " + std::to_string(i) + "\r\n";
  HWND e = Multi(WS_VSCROLL, text.c_str());
  in().ButtonDown(MouseButton::Left, InputRouter::ClientPoint(e, 0, 3));
  in().MouseMove(InputRouter::ClientPoint(e, 3, 130));  // below the edit
  RunUntilIdle();
  const LRESULT first = SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GE(first, 1);
  AdvanceAndPump(500);
  const LRESULT later = SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GE(later, first + 4);
  in().ButtonUp(MouseButton::Left, InputRouter::ClientPoint(e, 3, 130));
  RunUntilIdle();
  AdvanceAndPump(500);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), later);  // stopped with the release
  EXPECT_EQ(Sel(e).first, 0);
  EXPECT_GT(Sel(e).second, 20);
}

TEST_F(Edits, MarginsMoveTheFormatRectangle) {
  HWND e = Single();
  RECT before{}, after{};
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&before));
  SendMessage(e, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(5, 7));
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&after));
  EXPECT_EQ(after.left, before.left + 5);
  EXPECT_EQ(after.right, before.right - 7);
  EXPECT_EQ(SendMessage(e, EM_GETMARGINS, 0, 0), MAKELONG(5, 7));
  // EC_USEFONTINFO is not read as the two margin bits with the margins in lParam.
  SendMessage(e, EM_SETMARGINS, EC_USEFONTINFO, MAKELONG(50, 50));
  HDC dc = GetDC(e);
  HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(e, dc);
  EXPECT_EQ(SendMessage(e, EM_GETMARGINS, 0, 0), MAKELONG(tm.tmAveCharWidth, tm.tmAveCharWidth));
}

TEST_F(Edits, ControlDestroyedByItsOwnNotificationStopsQuietly) {
  HWND e = Single();
  hostHook = [&](UINT msg, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_COMMAND && HIWORD(w) == EN_UPDATE) DestroyWindow(e);
    return std::nullopt;
  };
  Type("a");
  EXPECT_FALSE(IsWindow(e));
  // Destroying the focused edit reports the lost focus; the change itself is never reported.
  EXPECT_EQ(NoteCodes(100), (std::vector<UINT>{EN_UPDATE, EN_KILLFOCUS}));
}

TEST(EditModel, IncrementalLayoutMatchesAFullLayoutAfterRandomEdits) {
  controls::CharWidths widths;
  for (int c = 0; c < 256; ++c) widths.width[static_cast<size_t>(c)] = 4 + c % 5;
  widths.tab = 24;
  controls::EditModel model(true);
  model.SetLayout(&widths, 120);
  std::mt19937 rng(7);
  const char* pieces[] = {"word ", "longerword ", "\r\n", " ", "x", "\t", "averyveryverylongwordthatmustbreak "};
  for (int step = 0; step < 400; ++step) {
    const int n = model.Length();
    const int a = n ? static_cast<int>(rng() % static_cast<unsigned>(n + 1)) : 0;
    const int b = std::min(n, a + static_cast<int>(rng() % 6));
    model.Replace(a, rng() % 3 ? a : b, pieces[rng() % 7]);
    controls::EditModel fresh(true);
    fresh.SetText(model.Text());
    fresh.SetLayout(&widths, 120);
    ASSERT_EQ(model.LineCount(), fresh.LineCount()) << "step " << step;
    for (int l = 0; l < model.LineCount(); ++l) ASSERT_EQ(model.LineStart(l), fresh.LineStart(l)) << "step " << step;
  }
}

// Typing at the end of a line of 100,000 characters, then placing the caret and hit-testing as the control
// does after each keystroke, looks up the widths of the new characters only, not of the whole line again.
TEST(EditModel, AKeystrokeAtTheEndOfALongLineMeasuresOnlyWhatChanged) {
  controls::CharWidths widths;
  for (int c = 0; c < 256; ++c) widths.width[static_cast<size_t>(c)] = 4 + c % 5;
  widths.tab = 24;
  std::string text;
  while (text.size() < 100000) text += text.size() % 37 == 0 ? "\t" : "word ";
  for (const bool multiline : {false, true}) {
    controls::EditModel model(multiline);
    model.SetLayout(&widths, 0);
    model.SetText(text);
    const int whole = model.Measure(0, model.Length());
    EXPECT_EQ(model.CharAtX(0, whole - 1), model.Length());
    const long long before = model.WidthsLookedUp();
    for (int k = 0; k < 100; ++k) {
      const int n = model.Length();
      model.Replace(n, n, "b", controls::EditModel::UndoMode::MergeTyping);
      ASSERT_EQ(model.Measure(0, n + 1), model.Measure(0, n) + widths.width['b']);
      EXPECT_EQ(model.CharAtX(0, model.Measure(0, n + 1) - 1), n + 1);
      if (k % 2) model.Replace(n, n + 1, "");  // Backspace
    }
    EXPECT_LT(model.WidthsLookedUp() - before, 200) << (multiline ? "multi-line" : "single-line");
    EXPECT_EQ(model.LineCount(), 1);
  }
}

// Measuring and hit-testing keep what they measured across edits anywhere in long lines, with and without
// soft breaks; every answer equals a fresh model's.
TEST(EditModel, KeptWidthsFollowEditsAnywhere) {
  controls::CharWidths widths;
  for (int c = 0; c < 256; ++c) widths.width[static_cast<size_t>(c)] = 3 + c % 7;
  widths.width['\r'] = widths.width['\n'] = 0;
  widths.tab = 20;
  const char* pieces[] = {"word ", "x", "\t", "\r\n", "", "a longer run of words to make long lines "};
  for (const int wrap : {0, 900}) {
    for (const bool multiline : {false, true}) {
      controls::EditModel model(multiline);
      model.SetLayout(&widths, wrap);
      std::string start;
      while (start.size() < 3000) start += "some words\tand tabs ";
      model.SetText(start);
      std::mt19937 rng(11);
      for (int step = 0; step < 300; ++step) {
        const int n = model.Length();
        const int a = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
        const int b = std::min(n, a + static_cast<int>(rng() % 4));
        const char* piece = pieces[rng() % 6];
        if (!multiline && piece[0] == '\r') piece = "y";
        model.Replace(a, b, piece);
        controls::EditModel fresh(multiline);
        fresh.SetText(model.Text());
        fresh.SetLayout(&widths, wrap);
        ASSERT_EQ(model.LineCount(), fresh.LineCount()) << "step " << step;
        // The edited line and a few around it, at a few positions and x.
        const int edited = model.LineFromChar(a);
        for (int l = std::max(0, edited - 1); l <= std::min(model.LineCount() - 1, edited + 1); ++l) {
          const int ls = model.LineStart(l), le = model.LineEnd(l);
          ASSERT_EQ(ls, fresh.LineStart(l));
          for (const int pos : {ls, (ls + le) / 2, le, std::min(le, a + 1)}) {
            if (pos < ls || pos > le) continue;
            ASSERT_EQ(model.Measure(ls, pos), fresh.Measure(ls, pos)) << "step " << step << " line " << l;
            ASSERT_EQ(model.Measure(pos, le), fresh.Measure(pos, le)) << "step " << step << " line " << l;
          }
          const int width = fresh.Measure(ls, le);
          for (const int x : {-5, 0, width / 3, width / 2 + 1, width - 2, width + 10})
            ASSERT_EQ(model.CharAtX(l, x), fresh.CharAtX(l, x)) << "step " << step << " line " << l << " x " << x;
        }
      }
    }
  }
}

// A line far longer than the control, scrolled to its end: the paint hands the drawing layer only the part
// that shows (and what may overhang into it), and looks as it did when the whole line was drawn.
TEST_F(Edits, ALongLineScrolledToItsEndPaintsWhatShows) {
  std::string text;
  for (int i = 0; text.size() < 5000; ++i) text += "net_" + std::to_string(i) + (i % 9 || i > 40 ? " " : "\t");
  text += "END";
  HWND e = Single(ES_AUTOHSCROLL, text.c_str());
  HWND multi =
      Multi(ES_AUTOHSCROLL | WS_HSCROLL, ("first line\r\n" + text + "\r\nlast line").c_str(), {10, 40, 210, 140});
  SendMessage(e, EM_SETSEL, text.size(), text.size());
  SendMessage(e, EM_SCROLLCARET, 0, 0);
  SetFocus(multi);
  SendMessage(multi, EM_SETSEL, text.size() + 12, text.size() + 12);
  SendMessage(multi, EM_SCROLLCARET, 0, 0);
  RunUntilIdle();
  for (HWND control : {e, multi}) {
    HDC dc = GetDC(control);
    auto recorder = StartRecording(dc);
    SendMessage(control, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    StopRecording(dc);
    ReleaseDC(control, dc);
    bool endShown = false;
    for (const std::string& line : recorder->lines()) {
      if (line.rfind("text ", 0) != 0) continue;
      EXPECT_LT(line.size(), 300u) << line.substr(0, 80);
      endShown = endShown || line.find("END") != std::string::npos;
    }
    EXPECT_TRUE(endShown);
  }
  MoveWindow(host, 50, 50, 220, 150, TRUE);
  ExpectMatchesReference(host, "edit_long_line.png");
}

TEST_F(Edits, LookInItsStates) {
  HWND plain = Make("EDIT", "Plain text", kChild | WS_BORDER | ES_AUTOHSCROLL, {10, 10, 150, 32}, 1);
  HWND sel = Make("EDIT", "Selected part", kChild | WS_BORDER | ES_AUTOHSCROLL | ES_NOHIDESEL, {160, 10, 300, 32}, 2);
  Make("EDIT", "Centred", kChild | WS_BORDER | ES_CENTER, {10, 40, 150, 62}, 3);
  Make("EDIT", "Right", kChild | WS_BORDER | ES_RIGHT, {160, 40, 300, 62}, 4);
  Make("EDIT", "secret", kChild | WS_BORDER | ES_PASSWORD, {10, 70, 150, 92}, 5);
  Make("EDIT", "Read only", kChild | WS_BORDER | ES_READONLY, {160, 70, 300, 92}, 6);
  Make("EDIT", "Disabled", kChild | WS_BORDER | WS_DISABLED, {10, 100, 150, 122}, 7);
  Make("EDIT", "A multi-line edit wraps its words\r\nand keeps hard breaks", kMulti | WS_BORDER, {160, 100, 300, 170},
       8);
  SendMessage(sel, EM_SETSEL, 0, 8);
  (void)plain;
  MoveWindow(host, 50, 50, 310, 180, TRUE);
  ExpectMatchesReference(host, "edits.png");
}

}  // namespace
}  // namespace plat::test

// The rich edit window driven by injected input and messages: streams, formats and their masks, find,
// rendering into screen and printer DCs, resize requests, event masks, the clipboard and editing.
#include "platform/controls/RichEdit.h"
#include "platform/controls/RichLayout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/base/GlobalMemory.h"
#include "platform/controls/tests/ControlTestSupport.h"
#include "platform/gdi/PrintJob.h"
#include "platform/gdi/Printers.h"
#include "platform/gdi/RecordingDC.h"
#include "platform/gdi/gdiapi.h"

namespace plat::test {
namespace {

constexpr DWORD kRich = WS_CHILD | WS_VISIBLE | ES_MULTILINE;

LRESULT StreamIn(HWND h, const std::string& text, WPARAM flags = SF_RTF) {
  return plat::controls::StreamInBytes(h, text, static_cast<UINT>(flags));
}

std::string StreamOut(HWND h, WPARAM flags = SF_RTF) { return plat::controls::StreamOutBytes(h, static_cast<UINT>(flags)); }

CHARRANGE Sel(HWND h) {
  CHARRANGE cr{};
  SendMessage(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  return cr;
}

void Select(HWND h, LONG a, LONG b) {
  CHARRANGE cr{a, b};
  SendMessage(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

CHARFORMAT CharFormat(HWND h, WPARAM which = SCF_SELECTION) {
  CHARFORMAT cf{};
  cf.cbSize = sizeof cf;
  SendMessage(h, EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf));
  return cf;
}

class RichEdits : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    hostHook = [this](UINT msg, WPARAM, LPARAM l) -> std::optional<LRESULT> {
      if (msg == WM_NOTIFY) {
        const auto* h = reinterpret_cast<const NMHDR*>(l);
        if (h->code == EN_REQUESTRESIZE) resizes.push_back(reinterpret_cast<const REQRESIZE*>(l)->rc.bottom);
        if (h->code == EN_SELCHANGE) selchanges.push_back(reinterpret_cast<const SELCHANGE*>(l)->chrg);
        return 0;
      }
      return std::nullopt;
    };
  }
  HWND Rich(DWORD extra = 0, RECT r = {10, 10, 210, 110}, int id = 200) {
    HWND h = Make(RICHEDIT_CLASS, "", kRich | extra, r, id);
    SetFocus(h);
    RunUntilIdle();
    ClearLog();
    return h;
  }
  std::vector<int> resizes;
  std::vector<CHARRANGE> selchanges;
};

TEST_F(RichEdits, StreamsRtfInAndOutAndCountsABreakAsOnePosition) {
  HWND h = Rich();
  const std::string rtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\qc\\b Bold\\b0  one\\par\\pard two}";
  EXPECT_EQ(StreamIn(h, rtf), 12);
  EXPECT_EQ(Text(h), "Bold one\rtwo");
  EXPECT_EQ(GetWindowTextLength(h), 12);
  EXPECT_EQ(StreamOut(h, SF_TEXT), "Bold one\r\ntwo");
  // Written and read again, the document is the same.
  const std::string out = StreamOut(h);
  HWND other = Rich(0, {10, 120, 210, 220}, 201);
  StreamIn(other, out);
  EXPECT_EQ(StreamOut(other), out);
  EXPECT_EQ(SendMessage(other, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(other, EM_EXLINEFROMCHAR, 0, 9), 1);
  // A selection streams in and out on its own.
  Select(h, 5, 8);
  EXPECT_EQ(StreamOut(h, SF_TEXT | SFF_SELECTION), "one");
  StreamIn(h, "{\\rtf1 \\i 1}", SF_RTF | SFF_SELECTION);
  EXPECT_EQ(Text(h), "Bold 1\rtwo");
  Select(h, 5, 6);
  EXPECT_TRUE(CharFormat(h).dwEffects & CFE_ITALIC);
  EXPECT_TRUE(SendMessage(h, EM_GETMODIFY, 0, 0));
}

TEST_F(RichEdits, CharacterAndParagraphFormatsWithMasksAndCheckedSizes) {
  HWND h = Rich();
  StreamIn(h, "{\\rtf1 plain text here}");
  CHARFORMAT cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_BOLD | CFM_COLOR | CFM_SIZE | CFM_FACE;
  cf.dwEffects = CFE_BOLD;
  cf.crTextColor = RGB(200, 0, 0);
  cf.yHeight = 280;
  std::strcpy(cf.szFaceName, "Times New Roman");
  Select(h, 6, 10);
  EXPECT_TRUE(SendMessage(h, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
  CHARFORMAT got = CharFormat(h);
  EXPECT_EQ(got.dwMask & (CFM_BOLD | CFM_COLOR | CFM_SIZE | CFM_FACE), CFM_BOLD | CFM_COLOR | CFM_SIZE | CFM_FACE);
  EXPECT_EQ(got.yHeight, 280);
  EXPECT_EQ(got.crTextColor, RGB(200, 0, 0));
  EXPECT_STREQ(got.szFaceName, "Times New Roman");
  // Over mixed text the mask drops what differs.
  Select(h, 0, 10);
  got = CharFormat(h);
  EXPECT_FALSE(got.dwMask & CFM_BOLD);
  EXPECT_FALSE(got.dwMask & CFM_FACE);
  EXPECT_TRUE(got.dwMask & CFM_ITALIC);
  // SCF_ALL reaches every character.
  CHARFORMAT italic{};
  italic.cbSize = sizeof italic;
  italic.dwMask = CFM_ITALIC;
  italic.dwEffects = CFE_ITALIC;
  EXPECT_TRUE(SendMessage(h, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&italic)));
  Select(h, 0, -1);
  EXPECT_TRUE(CharFormat(h).dwMask & CFM_ITALIC);
  EXPECT_TRUE(CharFormat(h).dwEffects & CFE_ITALIC);
  // Wrong structure sizes are refused and change nothing.
  CHARFORMAT wrong = italic;
  wrong.cbSize = 84;
  wrong.dwEffects = 0;
  EXPECT_FALSE(SendMessage(h, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&wrong)));
  EXPECT_EQ(SendMessage(h, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&wrong)), 0);
  EXPECT_TRUE(CharFormat(h).dwEffects & CFE_ITALIC);
  PARAFORMAT pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = PFA_RIGHT;
  EXPECT_TRUE(SendMessage(h, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf)));
  PARAFORMAT back{};
  back.cbSize = sizeof back;
  EXPECT_TRUE(SendMessage(h, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&back)) & PFM_ALIGNMENT);
  EXPECT_EQ(back.wAlignment, PFA_RIGHT);
  back.cbSize = 188;
  EXPECT_FALSE(SendMessage(h, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&back)));
  EXPECT_NE(StreamOut(h).find("\\qr"), std::string::npos);
}

TEST_F(RichEdits, FindsForwardBackwardWithAndWithoutCase) {
  HWND h = Rich();
  StreamIn(h, "{\\rtf1 Alpha beta ALPHA alpha}");
  auto find = [h](const char* what, DWORD flags, LONG a, LONG b) {
    FINDTEXTEX ft{{a, b}, what, {0, 0}};
    const LRESULT at = SendMessage(h, EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&ft));
    if (at >= 0) {
      EXPECT_EQ(ft.chrgText.cpMax - ft.chrgText.cpMin, static_cast<LONG>(std::strlen(what)));
    }
    return at;
  };
  EXPECT_EQ(find("alpha", FR_DOWN, 0, -1), 0);
  EXPECT_EQ(find("alpha", FR_DOWN | FR_MATCHCASE, 0, -1), 17);
  EXPECT_EQ(find("alpha", FR_DOWN, 1, -1), 11);
  EXPECT_EQ(find("alpha", FR_DOWN, 1, 15), -1);  // the range ends inside the match
  // Without FR_DOWN the search runs backward from cpMin.
  EXPECT_EQ(find("alpha", 0, 22, 0), 17);
  EXPECT_EQ(find("alpha", FR_MATCHCASE, 16, 0), -1);
  EXPECT_EQ(find("ALPHA", FR_MATCHCASE, -1, -1), 11);
  EXPECT_EQ(find("", FR_DOWN, 0, -1), -1);
}

TEST_F(RichEdits, TypingGrowsAndDeletingShrinksTheRequestedHeightUnderItsMask) {
  HWND h = Rich();
  Type("a");
  EXPECT_TRUE(resizes.empty());  // not masked in yet
  EXPECT_TRUE(NoteCodes(200).empty());
  SendMessage(h, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE | ENM_CHANGE);
  SendMessage(h, EM_REQUESTRESIZE, 0, 0);
  ASSERT_EQ(resizes.size(), 1u);
  const int one = resizes[0];
  EXPECT_GT(one, 0);
  Key(VK_RETURN);
  Type("b");
  Key(VK_RETURN);
  ASSERT_EQ(resizes.size(), 3u);  // one per height change, none for the typed character
  EXPECT_EQ(resizes[1], 2 * one);
  EXPECT_EQ(resizes[2], 3 * one);
  Key(VK_BACK);
  Key(VK_BACK);
  Key(VK_BACK);
  ASSERT_EQ(resizes.size(), 5u);
  EXPECT_EQ(resizes[3], 2 * one);
  EXPECT_EQ(resizes.back(), one);
  EXPECT_EQ(NoteCodes(200), std::vector<UINT>(6, EN_CHANGE));
  // Wrapping at the window: a long word run wraps, and a narrower target width wraps more.
  SendMessage(h, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE | ENM_SELCHANGE);
  resizes.clear();
  Type(" the quick brown fox jumps over the lazy dog again");
  ASSERT_FALSE(resizes.empty());
  EXPECT_EQ(resizes.back(), 2 * one);
  EXPECT_FALSE(selchanges.empty());
  SendMessage(h, EM_SETTARGETDEVICE, 0, 1);  // no wrapping
  EXPECT_EQ(resizes.back(), one);
}

// EM_SCROLL and the bar move the view by the laid-out lines, whatever their heights: a tall line scrolls
// out as one line, the answer counts lines, and the view stops where the rest of the content fits.
TEST_F(RichEdits, ScrollingMovesByActualLinesAndTheBarFollows) {
  // The heights of a small and a tall line, as the control reports them.
  auto heightOf = [&](const char* rtf, int id) {
    HWND probe = Rich(0, {10, 120, 210, 220}, id);
    StreamIn(probe, rtf);
    SendMessage(probe, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
    resizes.clear();
    SendMessage(probe, EM_REQUESTRESIZE, 0, 0);
    DestroyWindow(probe);
    return resizes.empty() ? 0 : resizes.back();
  };
  const int small = heightOf("{\\rtf1 \\fs20 a}", 301), tall = heightOf("{\\rtf1 \\fs72 big}", 302);
  ASSERT_GT(small, 0);
  ASSERT_GT(tall, 2 * small);
  // Eight lines (the second tall) in a view three small lines high.
  HWND h = Rich(WS_VSCROLL, {10, 10, 210, 10 + 3 * small}, 303);
  StreamIn(h, "{\\rtf1 \\fs20 a\\par \\fs72 big\\par \\fs20 c\\par d\\par e\\par f\\par g\\par h}");
  auto pos = [&] {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    return GetScrollInfo(h, SB_VERT, &si) ? si.nPos : -1;
  };
  auto scroll = [&](UINT action) { return static_cast<SHORT>(LOWORD(SendMessage(h, EM_SCROLL, action, 0))); };
  const int total = small * 7 + tall;
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &si));
  EXPECT_EQ(si.nMax, total - 1);
  EXPECT_EQ(pos(), 0);
  EXPECT_EQ(scroll(SB_LINEDOWN), 1);
  EXPECT_EQ(pos(), small);
  EXPECT_EQ(scroll(SB_LINEDOWN), 1);
  EXPECT_EQ(pos(), small + tall) << "the tall line went as one line";
  EXPECT_EQ(scroll(SB_LINEUP), -1);
  EXPECT_EQ(pos(), small);
  // A page down brings the line the bottom edge cuts to the top; it never passes the last place.
  EXPECT_GE(scroll(SB_PAGEDOWN), 1);
  int lines = 0;
  for (int i = 0; i < 20; ++i) lines += scroll(SB_LINEDOWN);
  EXPECT_EQ(pos(), total - 3 * small) << "the last three lines fill the view";
  EXPECT_EQ(scroll(SB_LINEDOWN), 0);
  // Back up to the top by lines through the bar; the ends and the thumb reach any place.
  for (int i = 0; i < 20; ++i) SendMessage(h, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(pos(), 0);
  SendMessage(h, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(pos(), total - 3 * small);
  SendMessage(h, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(pos(), 0);
  // Ctrl+End brings the caret into view and the bar with it.
  Key(VK_END, VK_CONTROL);
  EXPECT_EQ(pos(), total - 3 * small);
}

TEST_F(RichEdits, AWideLineScrollsSidewaysAndTheBarFollowsTheCaret) {
  HWND h = Rich(WS_HSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL, {10, 10, 210, 110}, 304);
  SendMessage(h, EM_SETTARGETDEVICE, 0, 1);  // lines do not wrap
  const std::string wide(60, 'w');
  StreamIn(h, "{\\rtf1 " + wide + "\\par short}");
  RECT client{};
  GetClientRect(h, &client);
  const int view = client.right;
  auto bar = [&] {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    EXPECT_TRUE(GetScrollInfo(h, SB_HORZ, &si));
    return si;
  };
  auto caretX = [&] {
    POINT p{};
    GetCaretPos(&p);
    return static_cast<int>(p.x);
  };
  // The range is the widest line, a page the client's width.
  const SCROLLINFO first = bar();
  const int widest = first.nMax;
  EXPECT_GT(widest, 2 * view);
  EXPECT_EQ(first.nPage, static_cast<UINT>(view));
  EXPECT_EQ(first.nPos, 0);
  // End on the wide line takes the view with the caret, which stays inside the client area; Home brings
  // it back.
  Key(VK_END);
  EXPECT_EQ(Sel(h).cpMin, 60);
  EXPECT_GT(bar().nPos, widest - view);
  EXPECT_GE(caretX(), 0);
  EXPECT_LT(caretX(), view);
  Key(VK_HOME);
  EXPECT_EQ(bar().nPos, 0);
  EXPECT_EQ(caretX(), 0);
  // The bar's arrows, page areas and ends; the view stops where the widest line ends.
  SendMessage(h, WM_HSCROLL, SB_LINERIGHT, 0);
  const int step = bar().nPos;
  EXPECT_GT(step, 0);
  EXPECT_LT(step, view / 4);
  SendMessage(h, WM_HSCROLL, SB_PAGERIGHT, 0);
  EXPECT_EQ(bar().nPos, step + view);
  SendMessage(h, WM_HSCROLL, SB_RIGHT, 0);
  EXPECT_EQ(bar().nPos, widest - view + 1);
  SendMessage(h, WM_HSCROLL, SB_PAGERIGHT, 0);
  EXPECT_EQ(bar().nPos, widest - view + 1);
  SendMessage(h, WM_HSCROLL, SB_LEFT, 0);
  EXPECT_EQ(bar().nPos, 0);
  // A click on the scrolled view hits the character under the mouse: at the right edge, the line's end.
  SendMessage(h, WM_HSCROLL, SB_RIGHT, 0);
  ClickAt(h, view - 1, 3);
  EXPECT_GE(Sel(h).cpMin, 59);
  // Wrapping at the window again, the lines fit: nothing to scroll, the bar stays shown disabled.
  SendMessage(h, EM_SETTARGETDEVICE, 0, 0);
  Key(VK_END, VK_CONTROL);
  EXPECT_EQ(bar().nPos, 0);
  EXPECT_LE(bar().nMax, view);
  EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & WS_HSCROLL);
}

TEST_F(RichEdits, KeyboardAndMouseEditLikeTheEditControl) {
  HWND h = Rich(ES_WANTRETURN);
  Type("hello world");
  Key(VK_LEFT, VK_CONTROL);
  EXPECT_EQ(Sel(h).cpMin, 6);
  Key(VK_HOME, VK_SHIFT);
  EXPECT_EQ(Sel(h).cpMin, 0);
  EXPECT_EQ(Sel(h).cpMax, 6);
  Type("X");
  EXPECT_EQ(Text(h), "Xworld");
  Key(VK_END);
  Key(VK_RETURN);
  Type("Xwo");
  EXPECT_EQ(Text(h), "Xworld\rXwo");
  Key(VK_UP);
  EXPECT_EQ(Sel(h).cpMin, 3);
  Key(VK_DOWN, VK_SHIFT);
  EXPECT_EQ(Sel(h).cpMax, 10);
  Key('Z', VK_CONTROL);  // undo the typed "Xwo"
  EXPECT_EQ(Text(h), "Xworld\r");
  // A click places the caret, a drag selects, a double click selects a word.
  StreamIn(h, "{\\rtf1 one two three}");
  ClickAt(h, 1, 3);
  EXPECT_EQ(Sel(h).cpMin, 0);
  // Inside "two": past the width of "one t" in the control's (system) font.
  SIZE upto{};
  HDC measure = CreateCompatibleDC(nullptr);
  HGDIOBJ was = SelectObject(measure, GetStockObject(SYSTEM_FONT));
  GetTextExtentPoint32(measure, "one t", 5, &upto);
  SelectObject(measure, was);
  DeleteDC(measure);
  in().DoubleClick(MouseButton::Left, InputRouter::ClientPoint(h, upto.cx, 3));
  RunUntilIdle();
  EXPECT_EQ(Sel(h).cpMin, 4);
  EXPECT_EQ(Sel(h).cpMax, 7);
  // Read-only refuses typing.
  SendMessage(h, EM_SETREADONLY, TRUE, 0);
  EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & ES_READONLY);
  Type("q");
  EXPECT_EQ(Text(h), "one two three");
  // ECO_WANTRETURN shows in the style.
  SendMessage(h, EM_SETOPTIONS, ECOOP_SET, ECO_AUTOVSCROLL);
  EXPECT_FALSE(GetWindowLong(h, GWL_STYLE) & ES_WANTRETURN);
  SendMessage(h, EM_SETOPTIONS, ECOOP_OR, ECO_WANTRETURN);
  EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & ES_WANTRETURN);
}

TEST_F(RichEdits, CopyPutsRtfAndTextAndPastePrefersRtf) {
  HWND a = Rich();
  HWND b = Rich(0, {10, 120, 210, 220}, 201);
  StreamIn(a, "{\\rtf1 x\\b bold\\b0 y}");
  Select(a, 1, 5);
  SendMessage(a, WM_COPY, 0, 0);
  const UINT rtf = RegisterClipboardFormat("Rich Text Format");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(IsClipboardFormatAvailable(rtf));
  const std::string text = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)));
  GlobalUnlock(GetClipboardData(CF_TEXT));
  CloseClipboard();
  EXPECT_EQ(text, "bold");
  SendMessage(b, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(b), "bold");
  Select(b, 0, -1);
  EXPECT_TRUE(CharFormat(b).dwEffects & CFE_BOLD);
  // Plain text pastes in the format at the caret; a cut leaves both formats and removes the text.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, 8);
  std::strcpy(static_cast<char*>(GlobalLock(g)), "p\r\nq");
  GlobalUnlock(g);
  SetClipboardData(CF_TEXT, g);
  CloseClipboard();
  Select(a, 0, 0);
  SendMessage(a, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(a), "p\rqxboldy");
  Select(a, 0, 3);
  SendMessage(a, WM_CUT, 0, 0);
  EXPECT_EQ(Text(a), "xboldy");
  EXPECT_TRUE(IsClipboardFormatAvailable(rtf));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(RichEdits, FormatRangeRendersFitsAndAnswersTheNextCharacter) {
  HWND h = Rich();
  StreamIn(h,
           "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}{\\colortbl;\\red255\\green0\\blue0;}"
           "\\qc\\b\\cf1 Red title\\par\\pard\\qr\\f1\\b0\\cf0 right\\par\\pard one two three four five six seven "
           "eight nine ten eleven twelve}");
  // At 300 dpi on the recording printer: a page of 2 by 0.4 inches holds three lines only.
  HDC printer = CreateDC(nullptr, "Recording", nullptr, nullptr);
  ASSERT_NE(printer, nullptr);
  DOCINFO di{sizeof(DOCINFO), "rich", nullptr, nullptr, 0};
  ASSERT_GT(StartDoc(printer, &di), 0);
  StartPage(printer);
  FORMATRANGE fr{printer, printer, {0, 0, 2880, 576}, {0, 0, 2880, 576}, {0, -1}};
  const LRESULT measured = SendMessage(h, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&fr));
  const LRESULT next = SendMessage(h, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
  SendMessage(h, EM_FORMATRANGE, FALSE, 0);
  EXPECT_EQ(measured, next);
  EXPECT_GT(next, 16);  // past the two short paragraphs
  EXPECT_LT(next, GetWindowTextLength(h));
  // The rest renders from there on a second page.
  fr.chrg = {static_cast<LONG>(next), -1};
  fr.rc.bottom = 14400;
  EXPECT_EQ(SendMessage(h, EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&fr)), GetWindowTextLength(h));
  EndPage(printer);
  EndDoc(printer);
  const auto& pages = PrintJobOf(printer)->recordedPages();
  ASSERT_EQ(pages.size(), 1u);
  std::string all;
  for (const auto& line : pages[0]) all += line + "\n";
  EXPECT_NE(all.find("\"Red title\""), std::string::npos) << all;
  EXPECT_NE(all.find("#FF0000"), std::string::npos) << all;
  EXPECT_NE(all.find("\"right\""), std::string::npos) << all;
  EXPECT_EQ(all.find("twelve"), std::string::npos) << all;
  DeleteDC(printer);

  // On a screen DC: red pixels land in the middle (centred), nothing of the title on the left edge.
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 60);
  HGDIOBJ old = SelectObject(mem, bmp);
  RECT all200{0, 0, 200, 60};
  FillRect(mem, &all200, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FORMATRANGE sr{mem, mem, {0, 0, 200 * 15, 60 * 15}, {0, 0, 200 * 15, 60 * 15}, {0, 9}};
  EXPECT_EQ(SendMessage(h, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&sr)), 9);
  int redLeft = 200, redRight = -1;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 200; ++x)
      if (GetPixel(mem, x, y) == RGB(255, 0, 0)) redLeft = std::min(redLeft, x), redRight = std::max(redRight, x);
  EXPECT_GT(redLeft, 30);
  EXPECT_LT(redRight, 170);
  EXPECT_NEAR((redLeft + redRight) / 2, 100, 8);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

TEST_F(RichEdits, UnderAScalingMappingEachCharacterLandsWhereItWasLaidOut) {
  HWND h = Rich();
  StreamIn(h, "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}the quick brown fox jumps over the lazy {\\cf1 dog}}");
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 600, 60);
  HGDIOBJ old = SelectObject(mem, bmp);
  // The room between the black words and the red one after rendering 300 x 30 logical pixels at `zoom` %.
  auto gap = [&](int zoom) {
    RECT r{0, 0, 600, 60};
    FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const int saved = SaveDC(mem);
    SetMapMode(mem, MM_ANISOTROPIC);
    SetWindowExtEx(mem, 100, 100, nullptr);
    SetViewportExtEx(mem, zoom, zoom, nullptr);
    FORMATRANGE fr{mem, mem, {0, 0, 300 * 15, 30 * 15}, {0, 0, 300 * 15, 30 * 15}, {0, -1}};
    SendMessage(h, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
    SendMessage(h, EM_FORMATRANGE, FALSE, 0);
    RestoreDC(mem, saved);
    int redLeft = 600, blackRight = -1;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 600; ++x) {
        const COLORREF c = GetPixel(mem, x, y);
        if (GetRValue(c) > 150 && GetGValue(c) < 80) redLeft = std::min(redLeft, x);
        if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) blackRight = std::max(blackRight, x);
      }
    return redLeft - blackRight;
  };
  const int plain = gap(100);
  ASSERT_GT(plain, 1);
  // The forty characters before the red word end where they were laid out, scaled with the mapping (the
  // scaled font's own advances, each rounded at its size, would run on into the space before it, or stop
  // short of it); a glyph's ink itself grows a little more than the mapping.
  for (int zoom : {150, 200, 300}) {
    const int expected = plain * zoom / 100;
    EXPECT_NEAR(gap(zoom), expected, expected / 3 + 1) << zoom << " %";
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

TEST_F(RichEdits, RenderingValueAfterValueMakesEachFontOnceAndDrawsTheSame) {
  HWND h = Rich();
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 120, 30);
  HGDIOBJ old = SelectObject(mem, bmp);
  // One value rendered as a cell is: freed before and after, into a white 120 x 30 rectangle.
  auto render = [&](const char* rtf) {
    StreamIn(h, rtf);
    RECT r{0, 0, 120, 30};
    FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FORMATRANGE fr{mem, mem, {0, 0, 120 * 15, 30 * 15}, {0, 0, 120 * 15, 30 * 15}, {0, -1}};
    SendMessage(h, EM_FORMATRANGE, FALSE, 0);
    SendMessage(h, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
    SendMessage(h, EM_FORMATRANGE, FALSE, 0);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 120; ++x) pixels.push_back(GetPixel(mem, x, y));
    return pixels;
  };
  const char* first = "{\\rtf1{\\colortbl;\\red192\\green0\\blue0;}{\\b bold} {\\i\\cf1 red}}";
  StreamIn(h, first);
  const size_t none = GdiObjectCount();
  const auto before = render(first);
  const size_t objects = GdiObjectCount();
  EXPECT_GT(objects, none);  // the fonts outlive the free
  // Other values in the same fonts (other colours, other text) make no font; the first draws as before.
  render("{\\rtf1{\\colortbl;\\red0\\green0\\blue192;}{\\b other} {\\i\\cf1 blue}}");
  EXPECT_EQ(GdiObjectCount(), objects);
  EXPECT_EQ(render(first), before);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

// Typing in one paragraph moves every later paragraph's text; their lines move with it, so Home, End and the
// caret find the characters where they now are.
TEST_F(RichEdits, TypingInAParagraphMovesTheLinesOfTheParagraphsAfterIt) {
  HWND h = Rich();
  SendMessage(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("first line\rsecond\rthird"));
  Select(h, 0, 0);
  Type("xyz");
  Select(h, 19, 19);  // in "second", now at 14..20
  Key(VK_HOME);
  EXPECT_EQ(Sel(h).cpMin, 14);
  Key(VK_END);
  EXPECT_EQ(Sel(h).cpMin, 20);
  Key(VK_DOWN);
  Key(VK_END);
  EXPECT_EQ(Sel(h).cpMin, 26);
  // The caret stands where a control holding the same text from the start puts it.
  POINT typed{}, fresh{};
  GetCaretPos(&typed);
  HWND other = Rich(0, {10, 120, 210, 220}, 201);
  SendMessage(other, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("xyzfirst line\rsecond\rthird"));
  Select(other, 26, 26);
  GetCaretPos(&fresh);
  EXPECT_EQ(typed.x, fresh.x);
  EXPECT_EQ(typed.y, fresh.y);
  // And both draw the same.
  HDC screen = GetDC(nullptr);
  auto pixels = [&](HWND control) {
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 100);
    HGDIOBJ old = SelectObject(mem, bmp);
    SendMessage(control, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    std::vector<COLORREF> out;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 200; ++x) out.push_back(GetPixel(mem, x, y));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return out;
  };
  EXPECT_TRUE(pixels(h) == pixels(other));
  ReleaseDC(nullptr, screen);
}

// Edits inside a long paragraph (at its end, at the document's first character) lay out again only the lines
// about the change, and the lines equal a fresh layout's after any edit, with and without wrapping.
TEST(RichLayoutTest, EditsInALongParagraphLayOutTheLinesAboutTheChangeOnly) {
  using controls::RichDocument;
  using controls::RichFragment;
  using controls::RichLayout;
  std::string text;
  while (text.size() < 6000) text += "power net\tVCC_CORE decoupling ";
  RichDocument doc;
  doc.Assign(RichFragment::FromPlain(text, {}, {}));
  const char* pieces[] = {"x", "word ", " ", "\t", "\v", "\r", "", "averyveryverylongwordthatmustbreakinsidetheline "};
  for (const int wrap : {300, 0}) {
    RichLayout layout;
    layout.Configure(96, wrap, 300);
    layout.Update(doc);
    // Typing at the end of the long paragraph.
    const long long before = layout.LinesLaidOut();
    for (int k = 0; k < 50; ++k) {
      const int end = doc.Length();
      doc.Replace(end, end, RichFragment::FromPlain("a", {}, {}));
      layout.TextChanged(doc.ParaOf(end), end, 0, 1);
      layout.Update(doc);
    }
    EXPECT_LE(layout.LinesLaidOut() - before, 50 * 3) << "wrap " << wrap;
    // Typing at the first character of the document: its first lines, not the paragraph's hundreds.
    const long long atStart = layout.LinesLaidOut();
    for (int k = 0; k < 50; ++k) {
      doc.Replace(0, 0, RichFragment::FromPlain("a", {}, {}));
      layout.TextChanged(0, 0, 0, 1);
      layout.Update(doc);
    }
    EXPECT_LE(layout.LinesLaidOut() - atStart, 50 * 3) << "wrap " << wrap;
    // Edits anywhere, as the control makes them, equal a fresh layout.
    std::mt19937 rng(3);
    for (int step = 0; step < 120; ++step) {
      const int n = doc.Length();
      const int a = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
      const int b = std::min(n, a + static_cast<int>(rng() % 5));
      const RichFragment piece = RichFragment::FromPlain(pieces[rng() % 8], {}, {});
      const int parasBefore = doc.ParaCount(), lastOld = doc.ParaOf(b);
      const int first = doc.Replace(a, b, piece);
      const int removed = lastOld - first + 1, added = removed + doc.ParaCount() - parasBefore;
      if (removed == 1 && added == 1)
        layout.TextChanged(first, a, b - a, static_cast<int>(piece.text.size()));
      else
        layout.ParagraphsReplaced(first, removed, added);
      layout.Update(doc);
      RichLayout fresh;
      fresh.Configure(96, wrap, 300);
      fresh.Update(doc);
      ASSERT_EQ(layout.LineCount(), fresh.LineCount()) << "step " << step;
      ASSERT_EQ(layout.Height(), fresh.Height()) << "step " << step;
      for (int p = 0; p < doc.ParaCount(); ++p) {
        ASSERT_EQ(layout.ParaLineCount(p), fresh.ParaLineCount(p)) << "step " << step;
        for (int l = 0; l < layout.ParaLineCount(p); ++l) {
          const controls::RichLine &x = layout.Line(p, l), &y = fresh.Line(p, l);
          ASSERT_TRUE(x.start == y.start && x.end == y.end && x.next == y.next && x.width == y.width &&
                      x.height == y.height && x.ascent == y.ascent)
              << "wrap " << wrap << " step " << step << " para " << p << " line " << l << ": " << x.start << "-" << x.end
              << "-" << x.next << " w" << x.width << " h" << x.height << " a" << x.ascent << " vs " << y.start << "-"
              << y.end << "-" << y.next << " w" << y.width << " h" << y.height << " a" << y.ascent;
        }
      }
    }
  }
}

// Moving the caret repaints nothing; a selection repaints the lines it changed, and only those.
TEST_F(RichEdits, ASelectionRepaintsTheLinesItChangesOnly) {
  HWND h = Rich(0, {10, 10, 210, 210});
  SendMessage(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one\rtwo\rthree\rfour\rfive\rsix"));
  RunUntilIdle();
  RECT dirty{};
  auto dirtyRows = [&] {
    dirty = RECT{};
    return GetUpdateRect(h, &dirty, FALSE);
  };
  Key(VK_DOWN);
  Key(VK_RIGHT);
  EXPECT_FALSE(dirtyRows());
  Select(h, 8, 11);  // "thr" on the third line
  ASSERT_TRUE(dirtyRows());
  const RECT third = dirty;
  EXPECT_GT(third.top, 0);
  EXPECT_LT(third.bottom, 100);
  RunUntilIdle();
  Select(h, 8, 13);  // grown within the same line
  ASSERT_TRUE(dirtyRows());
  EXPECT_EQ(dirty.top, third.top);
  EXPECT_EQ(dirty.bottom, third.bottom);
  RunUntilIdle();
  Select(h, 20, 20);  // gone, the caret on the fifth line
  ASSERT_TRUE(dirtyRows());
  EXPECT_EQ(dirty.top, third.top);
  EXPECT_EQ(dirty.bottom, third.bottom);
}

}  // namespace
}  // namespace plat::test

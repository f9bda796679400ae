// The headless screen: composition in Z order, window captures with children, caret overlay, monitors,
// image comparison, and a reference screenshot of frames and scroll bars.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/base/tests/TempDir.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/Pump.h"
#include "platform/window/windowapi.h"

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace plat {
namespace {

LRESULT SolidProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtr(h, GWLP_USERDATA)));
    FillRect(dc, &r, b);
    DeleteObject(b);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWindowSystem();
    Desktop::Configure(320, 240);
    WNDCLASS wc{};
    wc.lpfnWndProc = SolidProc;
    wc.lpszClassName = "Solid";
    ASSERT_NE(RegisterClass(&wc), 0);
  }
  void TearDown() override { ResetWindowSystem(); }
  HWND Make(HWND parent, DWORD style, RECT r, COLORREF c, DWORD ex = 0) {
    HWND h = CreateWindowEx(ex, "Solid", "w", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                            parent ? reinterpret_cast<HMENU>(1) : nullptr, nullptr, nullptr);
    SetWindowLongPtr(h, GWLP_USERDATA, c);
    InvalidateRect(h, nullptr, TRUE);
    return h;
  }
  static COLORREF At(const Surface& s, int x, int y) { return colorFromPixel(s.pixel(x, y)) & 0xFFFFFF; }
};

TEST_F(DesktopTest, ComposesTopLevelWindowsInZOrderOverTheDesktopColour) {
  HWND back = Make(nullptr, WS_POPUP | WS_VISIBLE, {10, 10, 110, 110}, RGB(255, 0, 0));
  HWND front = Make(nullptr, WS_POPUP | WS_VISIBLE, {60, 60, 160, 160}, RGB(0, 0, 255));
  auto screen = Desktop::Compose();
  ASSERT_TRUE(screen);
  EXPECT_EQ(screen->width(), 320);
  EXPECT_EQ(At(*screen, 5, 5), GetSysColor(COLOR_DESKTOP));
  EXPECT_EQ(At(*screen, 20, 20), RGB(255, 0, 0));
  EXPECT_EQ(At(*screen, 80, 80), RGB(0, 0, 255));  // the later window is on top
  SetActiveWindow(back);                             // activation brings it up
  screen = Desktop::Compose();
  EXPECT_EQ(At(*screen, 80, 80), RGB(255, 0, 0));
  ShowWindow(back, SW_HIDE);
  screen = Desktop::Compose();
  EXPECT_EQ(At(*screen, 20, 20), GetSysColor(COLOR_DESKTOP));
  EXPECT_EQ(At(*screen, 80, 80), RGB(0, 0, 255));
  // Moving a top-level window carries its pixels without repainting.
  MoveWindow(front, 200, 100, 100, 100, TRUE);
  screen = Desktop::Compose();
  EXPECT_EQ(At(*screen, 250, 150), RGB(0, 0, 255));
  EXPECT_EQ(At(*screen, 80, 80), GetSysColor(COLOR_DESKTOP));
}

TEST_F(DesktopTest, WindowCaptureIncludesChildrenAndTheCaretOnRequest) {
  HWND top = Make(nullptr, WS_POPUP | WS_VISIBLE, {0, 0, 100, 80}, RGB(0, 128, 0));
  HWND child = Make(top, WS_CHILD | WS_VISIBLE, {10, 10, 50, 40}, RGB(255, 255, 255));
  auto image = Desktop::Capture(top);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width(), 100);
  EXPECT_EQ(At(*image, 5, 5), RGB(0, 128, 0));
  EXPECT_EQ(At(*image, 15, 15), RGB(255, 255, 255));
  auto childImage = Desktop::Capture(child);
  EXPECT_EQ(childImage->width(), 40);
  EXPECT_EQ(At(*childImage, 0, 0), RGB(255, 255, 255));
  CreateCaret(child, nullptr, 2, 10);
  SetCaretPos(5, 5);
  ShowCaret(child);
  auto withCaret = Desktop::Capture(child, true);
  EXPECT_EQ(At(*withCaret, 5, 5), RGB(0, 0, 0));  // inverted white
  EXPECT_EQ(At(*withCaret, 7, 5), RGB(255, 255, 255));
  EXPECT_EQ(At(*Desktop::Capture(child), 5, 5), RGB(255, 255, 255));  // back buffers never hold it
}

TEST_F(DesktopTest, ScreenDcReadsTheComposedDesktop) {
  Make(nullptr, WS_POPUP | WS_VISIBLE, {10, 10, 60, 60}, RGB(200, 10, 10));
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(GetPixel(screen, 20, 20), RGB(200, 10, 10));
  EXPECT_EQ(GetPixel(screen, 100, 100), GetSysColor(COLOR_DESKTOP));
  // Save-under: copy the screen into a memory bitmap.
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 30, 30);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, 30, 30, screen, 5, 5, SRCCOPY);
  EXPECT_EQ(GetPixel(mem, 10, 10), RGB(200, 10, 10));
  EXPECT_EQ(GetPixel(mem, 0, 0), GetSysColor(COLOR_DESKTOP));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

TEST_F(DesktopTest, MonitorsAnswerByPositionWithTheirWorkAreas) {
  Desktop::ConfigureMonitors({{0, 0, 320, 240}, {320, 0, 640, 240}}, {{0, 0, 320, 220}, {320, 0, 640, 240}});
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 640);
  HMONITOR left = MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL);
  HMONITOR right = MonitorFromPoint(POINT{400, 10}, MONITOR_DEFAULTTONULL);
  ASSERT_NE(left, nullptr);
  ASSERT_NE(right, nullptr);
  EXPECT_NE(left, right);
  EXPECT_EQ(MonitorFromPoint(POINT{5000, 10}, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromPoint(POINT{5000, 10}, MONITOR_DEFAULTTONEAREST), right);
  MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
  ASSERT_TRUE(GetMonitorInfo(left, &info));
  EXPECT_EQ(info.rcWork.bottom, 220);
  EXPECT_EQ(info.dwFlags, MONITORINFOF_PRIMARY);
  HWND w = Make(nullptr, WS_POPUP | WS_VISIBLE, {330, 10, 400, 60}, RGB(1, 2, 3));
  EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), right);
}

TEST_F(DesktopTest, ImageComparisonCountsDifferencesWithTolerance) {
  auto a = Surface::create(4, 4);
  auto b = Surface::create(4, 4);
  a->fillAll(pixelFromColor(RGB(100, 100, 100)));
  b->fillAll(pixelFromColor(RGB(100, 100, 100)));
  b->setPixel(1, 1, pixelFromColor(RGB(103, 100, 100)));
  EXPECT_EQ(CompareImages(*a, *b), 1);
  EXPECT_EQ(CompareImages(*a, *b, 3), 0);
  auto c = Surface::create(5, 4);
  EXPECT_EQ(CompareImages(*a, *c), 20);  // every pixel of the larger image
}

TEST_F(DesktopTest, TextToleranceHoldsOnlyInsideTheTextAreas) {
  auto a = Surface::create(10, 4);
  auto b = Surface::create(10, 4);
  a->fillAll(pixelFromColor(RGB(0, 0, 0)));
  b->fillAll(pixelFromColor(RGB(0, 0, 0)));
  b->setPixel(1, 1, pixelFromColor(RGB(40, 0, 0)));  // in the text run, within its tolerance
  b->setPixel(2, 1, pixelFromColor(RGB(0, 0, 60)));  // in the text run, beyond it
  b->setPixel(8, 1, pixelFromColor(RGB(40, 0, 0)));  // outside: exact
  ImageTolerance tolerance;
  tolerance.textAreas = {RECT{0, 0, 5, 4}};
  tolerance.text = 48;
  ImageDifference d = CompareImages(*a, *b, tolerance);
  EXPECT_EQ(d.pixels, 1);
  EXPECT_EQ(d.textPixels, 1);
  EXPECT_FALSE(d.sizeDiffers);
  tolerance.channel = 60;  // a general tolerance above the text one covers text too
  EXPECT_EQ(CompareImages(*a, *b, tolerance).Total(), 0);
}

TEST_F(DesktopTest, ReferenceFilesAreReportedMissingRewrittenOnRequestAndDiffedOnMismatch) {
  namespace fs = std::filesystem;
  // The references and the comparison's diff and actual images (written to the temporary folder) go to folders
  // of this test's own.
  const TempDir temp("brim-reference-test");
  const fs::path dir = temp.Path() / "source";
  const TempDir images("brim-reference-images");
  const char* tmpWas = std::getenv("TMPDIR");
  const std::string tmpSaved = tmpWas ? tmpWas : "";
  ::setenv("TMPDIR", images.Path().c_str(), 1);
  const char* was = std::getenv("BRIM_SOURCE_DIR");
  const std::string source = was ? was : "";
  ::setenv("BRIM_SOURCE_DIR", dir.c_str(), 1);
  auto image = Surface::create(3, 3);
  image->fillAll(pixelFromColor(RGB(10, 20, 30)));
  ::unsetenv("BRIM_UPDATE_REFERENCES");
  ReferenceMatch missing = MatchReferenceImage(*image, "ref/shot.png");
  EXPECT_TRUE(missing.missing);
  EXPECT_FALSE(missing.Matches());
  EXPECT_NE(missing.message.find("BRIM_UPDATE_REFERENCES=1"), std::string::npos);
  ::setenv("BRIM_UPDATE_REFERENCES", "1", 1);
  EXPECT_TRUE(MatchReferenceImage(*image, "ref/shot.png").updated);
  ::unsetenv("BRIM_UPDATE_REFERENCES");
  EXPECT_TRUE(MatchReferenceImage(*image, "ref/shot.png").Matches());
  image->setPixel(0, 0, pixelFromColor(RGB(200, 20, 30)));
  ReferenceMatch changed = MatchReferenceImage(*image, "ref/shot.png");
  EXPECT_FALSE(changed.Matches());
  EXPECT_EQ(changed.difference.pixels, 1);
  EXPECT_TRUE(fs::exists(images.Path() / "shot-diff.png"));
  EXPECT_TRUE(fs::exists(images.Path() / "shot-actual.png"));
  if (tmpWas) ::setenv("TMPDIR", tmpSaved.c_str(), 1);
  else ::unsetenv("TMPDIR");
  if (was) ::setenv("BRIM_SOURCE_DIR", source.c_str(), 1);
  else ::unsetenv("BRIM_SOURCE_DIR");
}

// Frames, edges and scroll bars are drawn without text, so the picture is exact on every machine.
TEST_F(DesktopTest, FramesAndScrollBarsMatchTheReferenceScreenshot) {
  HWND top = Make(nullptr, WS_POPUP | WS_VISIBLE | WS_DLGFRAME, {20, 20, 300, 220}, GetSysColor(COLOR_3DFACE));
  HWND list = Make(top, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, {10, 10, 150, 120}, RGB(255, 255, 255),
                   WS_EX_CLIENTEDGE);
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 99, 20, 30, 0};
  SetScrollInfo(list, SB_VERT, &si, TRUE);
  si.nPos = 0;
  SetScrollInfo(list, SB_HORZ, &si, TRUE);
  Make(top, WS_CHILD | WS_VISIBLE | WS_BORDER, {170, 10, 260, 40}, RGB(255, 255, 225));
  Make(top, WS_CHILD | WS_VISIBLE, {170, 60, 260, 90}, RGB(0, 0, 128), WS_EX_STATICEDGE);
  auto image = Desktop::Capture(top);
  ASSERT_TRUE(image);
  const ReferenceMatch match = MatchReferenceImage(*image, "platform/display/tests/reference/frames.png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

// Caption boxes in each state: a dialog frame with a minimise box (its maximise box disabled), a window with
// both boxes maximised (the restore glyph on the maximise box) and one minimised to the bottom of the screen
// (the restore glyph on the minimise box). Captions have no text, so the picture is exact.
TEST_F(DesktopTest, CaptionBoxesAndAMinimisedWindowMatchTheReferenceScreenshot) {
  Desktop::Configure(320, 240);
  HWND maximised = Make(nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100}, RGB(255, 255, 225));
  ShowWindow(maximised, SW_SHOWMAXIMIZED);
  HWND dialog = Make(nullptr, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, {20, 40, 220, 120},
                     GetSysColor(COLOR_3DFACE));
  HWND minimised = Make(nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, {40, 60, 240, 160}, RGB(0, 0, 128));
  for (HWND h : {maximised, dialog, minimised}) SetWindowText(h, "");
  ShowWindow(minimised, SW_MINIMIZE);
  SetActiveWindow(dialog);
  RunUntilIdle();
  auto image = Desktop::Compose();
  ASSERT_TRUE(image);
  const ReferenceMatch match = MatchReferenceImage(*image, "platform/display/tests/reference/caption-boxes.png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

}  // namespace
}  // namespace plat

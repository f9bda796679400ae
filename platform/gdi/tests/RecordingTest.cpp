// The recording log: primitives after mapping and clipping, in surface coordinates.
#include <gtest/gtest.h>

#include "platform/gdi/CDC.h"
#include "platform/gdi/RecordingDC.h"
#include "platform/gdi/tests/GdiTestUtil.h"

using namespace gditest;

TEST(Recording, OnlyPrimitivesThatReachVisiblePixelsAreLogged) {
  // A window at (5, 5) in its back buffer whose update region is its second row of 10-pixel cells.
  Canvas c(60, 60, POINT{5, 5});
  const RECT row[] = {{5, 15, 35, 25}};
  plat::SetDCSystemClip(c.dc, row);
  auto log = plat::StartRecording(c.dc);
  CDC dc;
  dc.Attach(c.dc);
  for (int r = 0; r < 3; ++r)
    for (int col = 0; col < 3; ++col) dc.FillSolidRect(col * 10, r * 10, 10, 10, RGB(255, 255, 225));
  dc.MoveTo(0, 25);
  dc.LineTo(30, 25);  // below the update region
  dc.MoveTo(0, 15);
  dc.LineTo(30, 15);
  dc.Detach();
  const std::vector<std::string> expected = {
      "fill 5,15,15,25 #FFFFE1", "fill 15,15,25,25 #FFFFE1", "fill 25,15,35,25 #FFFFE1",
      "line 5,20 -> 35,20 #000000 w=1 style=0"};
  EXPECT_EQ(log->lines(), expected);
  plat::StopRecording(c.dc);
  EXPECT_EQ(plat::RecorderOf(c.dc), nullptr);
}

TEST(Recording, ClipChangesBlitsAndTextAreLoggedInSurfaceCoordinates) {
  HDC rec = plat::CreateRecordingDC(100, 50);
  auto log = plat::RecorderOf(rec);
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(GetObjectType(rec), static_cast<DWORD>(OBJ_DC));
  SetViewportOrgEx(rec, 10, 0, nullptr);
  IntersectClipRect(rec, 0, 0, 50, 40);
  MemCanvas src(8, 8);
  BitBlt(rec, 2, 3, 8, 8, src.dc, 0, 0, SRCCOPY);
  HFONT f = CreateFont(-10, 0, 0, 0, FW_BOLD, 0, 1, 0, 0, 0, 0, 0, 0, "Test Fixed");
  SelectObject(rec, f);
  SetTextColor(rec, RGB(0, 0, 128));
  TextOut(rec, 0, 20, "ab", 2);
  RECT hole{0, 0, 4, 4};
  InvertRect(rec, &hole);
  SelectObject(rec, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
  const std::vector<std::string> expected = {
      "clip kind=2 box=10,0,60,40",
      "blit 12,3,20,11 from 0,0 rop=00CC0020",
      "text 10,20 \"ab\" font=\"Test Fixed\" h=10 w=700 u #000080",
      "invert 10,0,14,4"};
  ASSERT_EQ(log->lines().size(), expected.size()) << log->text();
  EXPECT_EQ(log->lines()[0], expected[0]);
  EXPECT_EQ(log->lines()[1], expected[1]);
  EXPECT_EQ(log->lines()[2], expected[2]);
  EXPECT_EQ(log->lines()[3], expected[3]);
  DeleteDC(rec);
}

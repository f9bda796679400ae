// The drop-down edit window: the button's room in the frame, presses by mouse (real injected input) and
// keys, the disabled glyph's emboss and the glyph's reload on a colour change.
#include <gtest/gtest.h>

#include "foundation/ButtonBitmap.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/extras/CGXBDropEdit.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/base/ResourceTable.h"

namespace {

using namespace extrastest;

constexpr UINT kGlyph16 = 29901;

class CountingDropEdit : public CGXBDropEdit {
 public:
  void OnButtonClicked() override {
    ++clicks;
    CGXBDropEdit::OnButtonClicked();
  }
  CBitmap& Glyph() { return m_bmpGlyph; }
  int clicks = 0;
};

class DropEditTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    // A 16 x 8 glyph: light grey with a black bar.
    static const RGBQUAD palette[] = {{0, 0, 0, 0}, {192, 192, 192, 0}};
    static const std::vector<BYTE> dib = foundation::MakePackedDib4(
        {"................", "................", "..kkkkkkkkkkkk..", "..kkkkkkkkkkkk..", "................",
         "................", "................", "................"},
        "k.", palette);
    plat::ResourceTable::AddResource(plat::ResourceTable::ModuleHandle("grid"), RT_BITMAP,
                                     MAKEINTRESOURCE(kGlyph16), dib);
    parent = std::make_unique<NotifyParent>();
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 34), parent.get(), 77));
  }
  void TearDown() override {
    edit.DestroyWindow();
    parent.reset();
    ExtrasTest::TearDown();
  }
  std::unique_ptr<NotifyParent> parent;
  CountingDropEdit edit;
};

TEST_F(DropEditTest, AGlyphReservesItsRoomAtTheRightEdge) {
  CRect client;
  edit.GetClientRect(&client);
  EXPECT_EQ(client.Width(), 200);
  ASSERT_TRUE(edit.SetButtonBitmap(kGlyph16));
  edit.GetClientRect(&client);
  EXPECT_EQ(client.Width(), 200 - 22);  // 1 + 16 + 1 + 4
  EXPECT_EQ(edit.GetButtonRect(), CRect(188, 10, 210, 34));
  // An id that does not load leaves a plain edit.
  edit.SetButtonBitmap(29999u);
  EXPECT_EQ(edit.GetButtonBitmapId(), 0u);
  edit.GetClientRect(&client);
  EXPECT_EQ(client.Width(), 200);
}

TEST_F(DropEditTest, APressClicksOnlyWhenReleasedOnTheButton) {
  edit.SetButtonBitmap(kGlyph16);
  Pump();
  auto& input = plat::InputRouter::Instance();
  const POINT on = At(parent->m_hWnd, 198, 20), off = At(parent->m_hWnd, 100, 20);
  input.ButtonDown(plat::MouseButton::Left, on);
  Pump();
  EXPECT_EQ(edit.GetButtonFlags() & 3, 3);  // drawn pressed and tracking
  input.MouseMove(off);
  Pump();
  EXPECT_EQ(edit.GetButtonFlags() & 3, 2);
  input.ButtonUp(plat::MouseButton::Left, off);
  Pump();
  EXPECT_EQ(edit.clicks, 0);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  plat::VirtualClock::Advance(1000);  // a second press, not a double click
  input.ButtonDown(plat::MouseButton::Left, on);
  input.MouseMove(off);
  input.MouseMove(on);
  input.ButtonUp(plat::MouseButton::Left, on);
  Pump();
  EXPECT_EQ(edit.clicks, 1);
  EXPECT_EQ(parent->Take(), Log({"command 77 0"}));
  plat::VirtualClock::Advance(1000);
  input.ButtonDown(plat::MouseButton::Left, on);
  Pump();
  edit.SendMessage(WM_CANCELMODE);
  EXPECT_EQ(edit.GetButtonFlags() & 3, 0);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  input.ButtonUp(plat::MouseButton::Left, on);
  Pump();
  EXPECT_EQ(edit.clicks, 1);
}

TEST_F(DropEditTest, F4AndAltDownPressTheButtonWithoutABitmapToo) {
  edit.SetFocus();
  Key(VK_F4);
  EXPECT_EQ(edit.clicks, 1);
  edit.SendMessage(WM_SYSKEYDOWN, VK_DOWN, 0x20000000);
  EXPECT_EQ(edit.clicks, 2);
  edit.SendMessage(WM_SYSKEYDOWN, VK_UP, 0x20000000);
  EXPECT_EQ(edit.clicks, 2);
}

TEST_F(DropEditTest, TheDisabledGlyphIsEmbossedInShadowAndHighlight) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW),
                 highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  enginetest::Canvas canvas(8, 8, face);
  canvas.dc.SetPixel(2, 2, RGB(0, 0, 0));
  canvas.dc.SetPixel(5, 5, highlight);
  CGXBDropEdit::DrawDisabledGlyph(&canvas.dc, 0, 0, 8, 8);
  EXPECT_EQ(canvas.At(2, 2), shadow & 0xFFFFFF);
  EXPECT_EQ(canvas.At(3, 3), highlight & 0xFFFFFF);  // the highlight copy one pixel down and right
  EXPECT_EQ(canvas.At(5, 5), highlight & 0xFFFFFF);  // highlight stays as it was
  EXPECT_EQ(canvas.At(0, 0), face & 0xFFFFFF);
}

TEST_F(DropEditTest, AColourChangeReloadsTheGlyphInTheNewScheme) {
  edit.SetButtonBitmap(kGlyph16);
  const auto glyphPixel = [&] {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&edit.Glyph());
    const COLORREF c = dc.GetPixel(0, 0) & 0xFFFFFF;
    dc.SelectObject(old);
    return c;
  };
  EXPECT_EQ(glyphPixel(), GetSysColor(COLOR_BTNFACE) & 0xFFFFFF);
  const INT index = COLOR_BTNFACE;
  const COLORREF green = RGB(0, 160, 0);
  SetSysColors(1, &index, &green);
  edit.SendMessage(WM_SYSCOLORCHANGE);
  EXPECT_EQ(glyphPixel(), green);
  EXPECT_EQ(CGXSysColorTable::GetColor(COLOR_BTNFACE), green);
  plat::ResetSysColorsAndMetrics();
  CGXSysColorTable::Refresh();
}

}  // namespace

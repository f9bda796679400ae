// A static cell's content drawn through the drawing helpers: text, ellipsis, bitmap references and the
// cells too small to hold anything.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "grid/controls/CGXStatic.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/tests/enginetest.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/RecordingDC.h"

namespace {

class CellText : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeGrid(3, 3);
    hdc = plat::CreateRecordingDC(400, 300);
    ASSERT_NE(hdc, nullptr);
    dc.Attach(hdc);
    rec = plat::RecorderOf(hdc);
  }
  void TearDown() override {
    dc.Detach();
    DeleteDC(hdc);
    EngineTest::TearDown();
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    static const std::regex re("^text [-0-9]+,[-0-9]+ \"([^\"]*)\"");
    for (const std::string& l : rec->lines()) {
      std::smatch m;
      if (std::regex_search(l, m, re)) out.push_back(m[1]);
    }
    return out;
  }

  HDC hdc = nullptr;
  CDC dc;
  std::shared_ptr<plat::DcRecorder> rec;
};

TEST_F(CellText, DrawsTheTextOrItsEllipsisAndNothingInATinyCell) {
  CGXStatic control(grid.get());
  CGXDrawingAndFormatting& gfx = GetDrawingAndFormatting();
  CGXStyle style;
  style.SetValue("hello");
  gfx.DrawCellText(&control, &dc, CRect(0, 0, 100, 20), 1, 1, style);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"hello"}));

  rec->clear();
  gfx.DrawCellText(&control, &dc, CRect(0, 0, 1, 20), 1, 1, style);  // narrower than 2 pixels
  EXPECT_TRUE(Texts().empty());

  // Type 2 on a single line that does not fit: only "#" across the cell.
  rec->clear();
  style.SetValue("a text much too long for this cell").SetWrapText(FALSE).SetUserAttribute(52792, "2");
  gfx.DrawCellText(&control, &dc, CRect(0, 0, 60, 20), 1, 1, style);
  const std::vector<std::string> texts = Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_FALSE(texts[0].empty());
  EXPECT_EQ(texts[0].find_first_not_of('#'), std::string::npos) << texts[0];
}

// A 2 x 2 24-bit DIB, all green.
const std::vector<BYTE>& GreenDib() {
  static const std::vector<BYTE> dib = gx::MakeDib24(2, 2, [](int, int) { return RGB(0, 255, 0); });
  return dib;
}

TEST_F(CellText, ABitmapReferenceDrawsTheBitmapNotItsText) {
  plat::ResourceTable::AddResource(plat::ResourceTable::ModuleHandle("grid"), RT_BITMAP, MAKEINTRESOURCE(31778),
                                   GreenDib());
  CGXStatic control(grid.get());
  CGXStyle style;
  style.SetValue("#BMP(31778)");
  GetDrawingAndFormatting().DrawCellText(&control, &dc, CRect(0, 0, 100, 20), 1, 1, style);
  EXPECT_TRUE(Texts().empty());
  EXPECT_FALSE(rec->lines().empty());  // the bitmap
  rec->clear();
  style.SetValue("#BMP(31777)");  // no such bitmap: the reference is plain text
  GetDrawingAndFormatting().DrawCellText(&control, &dc, CRect(0, 0, 100, 20), 1, 1, style);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"#BMP(31777)"}));
}

TEST_F(CellText, BlackOnWhiteOnlyWhilePrintingInBlackAndWhite) {
  CGXStatic control(grid.get());
  CGXStyle style;
  style.SetValue("red").SetTextColor(RGB(255, 0, 0));
  const auto drawnIn = [&](const char* colour) {
    rec->clear();
    GetDrawingAndFormatting().DrawCellText(&control, &dc, CRect(0, 0, 100, 20), 1, 1, style);
    for (const std::string& l : rec->lines())
      if (l.rfind("text ", 0) == 0) return l.find(colour) != std::string::npos;
    return false;
  };
  ASSERT_NE(grid->GetProperties(), nullptr);
  grid->GetProperties()->m_bBlackWhite = TRUE;
  EXPECT_TRUE(drawnIn("#FF0000"));  // on screen the style's colour
  grid->SetPrinting(TRUE);
  EXPECT_TRUE(drawnIn("#000000"));
  grid->GetProperties()->m_bBlackWhite = FALSE;
  EXPECT_TRUE(drawnIn("#FF0000"));
  grid->SetPrinting(FALSE);
}

}  // namespace

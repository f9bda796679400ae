// Progress-bar cells: the bar's width and its clamps, the two-coloured caption, the caption's format as
// user text, values applied through the control, and black-and-white printing.
#include <algorithm>
#include <climits>

#include "grid/controls/CGXProgressCtrl.h"
#include "grid/controls/tests/recordinggrid.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXUserAttribute.h"

namespace enginetest {
namespace {

using ProgressTest = CellControlTest;

const COLORREF kText = RGB(0, 0, 128), kInterior = RGB(255, 255, 224);

CGXStyle Bar(const char* value, const char* lower = "0", const char* upper = "100", const char* caption = "") {
  CGXStyle s;
  s.SetValue(value).SetTextColor(kText).SetInteriorColor(kInterior);
  s.SetUserAttribute(GX_IDS_UA_PROGRESS_LOWER, lower).SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, upper);
  if (*caption) s.SetUserAttribute(GX_IDS_UA_PROGRESS_CAPTION, caption);
  return s;
}

TEST_F(ProgressTest, TheBarIsClampedAndNeverDividesByZero) {
  EXPECT_EQ(CGXProgressCtrl::BarWidth(50, 0, 100, 200), 100);
  EXPECT_EQ(CGXProgressCtrl::BarWidth(150, 0, 100, 200), 200);
  EXPECT_EQ(CGXProgressCtrl::BarWidth(-5, 0, 100, 200), 0);
  EXPECT_EQ(CGXProgressCtrl::BarWidth(7, 0, 0, 200), 0);     // equal bounds (the default): empty
  EXPECT_EQ(CGXProgressCtrl::BarWidth(50, 100, 0, 200), 0);  // reversed: empty
  EXPECT_EQ(CGXProgressCtrl::BarWidth(LONG_MAX, LONG_MIN, LONG_MAX, 200), 200);
  EXPECT_EQ(CGXProgressCtrl::BarWidth(0, LONG_MIN, LONG_MAX, 200), 100);
  EXPECT_EQ(CGXProgressCtrl::BarWidth(50, 0, 100, 0), 0);
}

TEST_F(ProgressTest, CaptionsAreUserTextWithOneIntegerConversion) {
  const auto f = [](const char* format, long v) { return std::string(gx::FormatProgressCaption(format, v)); };
  EXPECT_EQ(f("%d%%", 50), "50%");
  EXPECT_EQ(f("%5d|%-4i|%03x|%X|%o", 50), "   50|%-4i|%03x|%X|%o");
  EXPECT_EQ(f("%03x done", 255), "0ff done");
  EXPECT_EQ(f("%u", -1), std::to_string(static_cast<unsigned long>(-1)));
  // Everything else shows as written: no reading of missing arguments, no writes.
  EXPECT_EQ(f("%s %n %p %f %ld %", 7), "%s %n %p %f %ld %");
  EXPECT_EQ(f("%123d", 7), "%123d");
  EXPECT_EQ(f("%*d", 7), "%*d");
  EXPECT_EQ(f("", 7), "");
}

TEST_F(ProgressTest, HalfABarWithATwoColouredCaption) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXProgressCtrl bar(g);
  Canvas c(200, 20);
  bar.DrawCell(&c.dc, CRect(0, 0, 200, 20), 2, 1, Bar("50", "0", "100", "%d%%"), nullptr);
  EXPECT_DOUBLE_EQ(bar.GetUnitsPerPixel(), 0.5);
  EXPECT_EQ(c.At(2, 2), kText);
  EXPECT_EQ(c.At(98, 18), kText);
  EXPECT_EQ(c.At(101, 2), kInterior);
  // The caption "50%" straddles the bar's edge: light ink over the bar, dark ink beside it.
  int lightest = 0, darkest = 255;
  for (int y = 0; y < 20; ++y) {
    for (int x = 80; x < 120; ++x) {
      const int red = GetRValue(c.At(x, y));
      if (x < 100) lightest = std::max(lightest, red);
      if (x >= 100) darkest = std::min(darkest, red);
    }
  }
  EXPECT_GT(lightest, 200);
  EXPECT_LT(darkest, 60);
  // A caption wider than the cell is not drawn.
  Canvas narrow(20, 20);
  bar.DrawCell(&narrow.dc, CRect(0, 0, 20, 20), 2, 1, Bar("0", "0", "100", "a long caption %d"), nullptr);
  EXPECT_EQ(narrow.Count(CRect(0, 0, 20, 20), kInterior), 400);
  // Without bounds the bar is empty.
  Canvas none(50, 20);
  bar.DrawCell(&none.dc, CRect(0, 0, 50, 20), 2, 1, Bar("30", "", ""), nullptr);
  EXPECT_EQ(none.Count(CRect(0, 0, 50, 20), kInterior), 1000);
}

TEST_F(ProgressTest, AppliedValuesAreClampedToTheBounds) {
  RecordingGrid* g = MakeRecordingGrid();
  auto* bar = new CGXProgressCtrl(g);
  g->AddCellControl(GX_IDS_CTRL_PROGRESS, bar);
  CGXStyle cell;
  cell.SetControl(GX_IDS_CTRL_PROGRESS);
  g->SetStyleRange(CGXRange(2, 1), cell);
  const auto apply = [&](const CGXStyle& s) {
    EXPECT_TRUE(bar->ApplyStyleToCell(2, 1, &s, gxOverride, GX_INVALIDATE, nullptr));
    return std::string(g->GetCellValue(2, 1));
  };
  EXPECT_EQ(apply(CGXStyle().SetValue("150")), "0");  // no bounds: both 0
  g->SetStyleRange(CGXRange(2, 1), Bar("0"));
  EXPECT_EQ(apply(CGXStyle().SetValue("150")), "100");
  EXPECT_EQ(apply(CGXStyle().SetValue("-5")), "0");
  EXPECT_EQ(apply(CGXStyle().SetValue("42")), "42");
  // Bounds carried by the applied style count; reversed ones give the lower bound.
  EXPECT_EQ(apply(Bar("500", "0", "1000")), "500");
  EXPECT_EQ(apply(Bar("5", "10", "1")), "10");
  // The value and the bounds are read in every digit at each door (the stored clamp, the drawn bar, the caption):
  // a number with an exponent is that number, one past 64 bits is held at the end it lies past. Read through atol,
  // "1e+15" was 1, and a bound set as a number was its 13-digit text.
  const struct {
    const char *value, *lower, *upper, *stored;
    int bar;  // pixels of 100
    const char* caption;
  } read[] = {{"1e+15", "0", "100", "100", 100, "1000000000000000"},  {"1e400", "0", "100", "100", 100, "9223372036854775807"},
              {"-1e400", "0", "100", "0", 0, "-9223372036854775808"}, {"2.5e1", "0", "50", "2.5e1", 50, "25"},
              {"150", "0", "1e2", "100", 100, "150"},                 {"5", "1e1", "20", "10", 0, "5"},
              {"50", "-1e400", "1e400", "50", 50, "50"}};
  for (const auto& r : read) {
    SCOPED_TRACE(r.value);
    g->SetStyleRange(CGXRange(2, 1), Bar("0"));
    EXPECT_EQ(apply(Bar(r.value, r.lower, r.upper)), r.stored);
    Canvas c(100, 10);
    bar->DrawCell(&c.dc, CRect(0, 0, 100, 10), 2, 1, Bar(r.value, r.lower, r.upper), nullptr);
    EXPECT_EQ(c.Count(CRect(0, 0, 100, 10), kText), r.bar * 10);
    CString caption;
    bar->GetCaption(caption, 2, 1, Bar(r.value, r.lower, r.upper, "%d"));
    EXPECT_EQ(std::string(caption), r.caption);
  }
  CGXStyle exact = Bar("123456789012345");
  exact.SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, &(new CGXUserAttribute)->SetDoubleValue(123456789012345.0));
  EXPECT_EQ(apply(exact), "123456789012345");
}

TEST_F(ProgressTest, BlackAndWhitePrintingDrawsBlackOnWhite) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXProgressCtrl bar(g);
  ASSERT_TRUE(g->GetProperties()->m_bBlackWhite);
  HDC hdc = plat::CreateRecordingDC(100, 20);
  CDC* dc = CDC::FromHandle(hdc);
  g->SetPrinting(TRUE);
  bar.DrawCell(dc, CRect(0, 0, 100, 20), 2, 1, Bar("25", "0", "100", "%d"), nullptr);
  g->SetPrinting(FALSE);
  EXPECT_EQ(GetPixel(hdc, 10, 2) & 0xFFFFFF, RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(hdc, 60, 2) & 0xFFFFFF, RGB(255, 255, 255));
  ASSERT_NE(plat::RecorderOf(hdc), nullptr);
  DeleteDC(hdc);
}

}  // namespace
}  // namespace enginetest

// A small dialog-like picture (frames, 3-D edges, check boxes, radio buttons, push buttons, text in two fonts)
// compared with the committed reference image. Pixels outside text runs must match exactly; pixels inside text
// runs may differ by a small per-channel tolerance (glyph rasterisation may differ between FreeType versions).
// BRIM_UPDATE_REFERENCES=1 rewrites the reference; on a mismatch the actual image and a diff image are written to
// the temporary directory.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/base/FileFaults.h"
#include "platform/base/tests/TempDir.h"
#include "platform/display/ReferenceImage.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/tests/GdiTestUtil.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTextTolerance = 48;

struct Picture {
  plat::SurfacePtr surface;
  std::vector<RECT> textRuns;  // surface pixels that belong to text
};

class Painter {
 public:
  Painter(CDC& dc, Picture& pic) : dc_(dc), pic_(pic) {}
  void text(int x, int y, const char* s) {
    dc_.TextOut(x, y, s, static_cast<int>(std::strlen(s)));
    mark(x, y, s);
  }
  void centred(CRect r, const char* s) {
    dc_.DrawText(s, -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    const CSize e = dc_.GetTextExtent(s, static_cast<int>(std::strlen(s)));
    TEXTMETRIC tm{};
    dc_.GetTextMetrics(&tm);
    const int x = r.left + (r.Width() - e.cx) / 2, y = r.top + (r.Height() - tm.tmHeight) / 2;
    pic_.textRuns.push_back(RECT{x - 1, y - 1, x + e.cx + 2, y + tm.tmHeight + 1});
  }

 private:
  void mark(int x, int y, const char* s) {
    const CSize e = dc_.GetTextExtent(s, static_cast<int>(std::strlen(s)));
    // Glyphs may overhang their advance by a pixel at either end.
    pic_.textRuns.push_back(RECT{x - 1, y - 1, x + e.cx + 2, y + e.cy + 1});
  }
  CDC& dc_;
  Picture& pic_;
};

Picture drawDialog() {
  plat::ResetSysColorsAndMetrics();
  Picture pic;
  pic.surface = plat::Surface::create(240, 150);
  HDC h = plat::CreateSurfaceDC(pic.surface, POINT{0, 0});
  CDC dc;
  dc.Attach(h);
  Painter p(dc, pic);
  CRect all(0, 0, 240, 150);
  dc.FillSolidRect(&all, GetSysColor(COLOR_BTNFACE));
  CRect frame = all;
  dc.DrawEdge(&frame, EDGE_RAISED, BF_RECT | BF_ADJUST);
  // Caption.
  CRect caption(frame.left, frame.top, frame.right, frame.top + 18);
  dc.FillSolidRect(&caption, GetSysColor(COLOR_ACTIVECAPTION));
  CFont bold, normal, mono;
  bold.CreateFont(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
  normal.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
  mono.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FIXED_PITCH, "Courier New");
  CFont* old = dc.SelectObject(&bold);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
  p.text(caption.left + 4, caption.top + 3, "Decoupling Setup");
  CRect close(caption.right - 16, caption.top + 2, caption.right - 2, caption.bottom - 2);
  dc.DrawFrameControl(&close, DFC_BUTTON, DFCS_BUTTONPUSH);
  dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
  // Group box with an etched frame and a label on the face colour.
  dc.SelectObject(&normal);
  CRect group(10, 30, 150, 110);
  dc.DrawEdge(&group, EDGE_ETCHED, BF_RECT);
  const CSize label = dc.GetTextExtent("Analysis", 8);
  dc.FillSolidRect(16, 24, label.cx + 4, 12, GetSysColor(COLOR_BTNFACE));
  p.text(18, 24, "Analysis");
  // Check boxes and radio buttons with labels.
  CRect check1(18, 42, 31, 55), check2(18, 60, 31, 73);
  dc.DrawFrameControl(&check1, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  dc.DrawFrameControl(&check2, DFC_BUTTON, DFCS_BUTTONCHECK);
  p.text(36, 42, "Include vias");
  p.text(36, 60, "Plane resonance");
  CRect radio1(18, 80, 30, 92), radio2(80, 80, 92, 92);
  dc.DrawFrameControl(&radio1, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  dc.DrawFrameControl(&radio2, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_INACTIVE);
  p.text(34, 80, "Fast");
  p.text(96, 80, "Exact");
  // A sunken edit field with fixed-pitch text.
  CRect edit(160, 40, 230, 60);
  dc.DrawEdge(&edit, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  dc.FillSolidRect(&edit, GetSysColor(COLOR_WINDOW));
  dc.SelectObject(&mono);
  dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
  p.text(edit.left + 2, edit.top + 1, "100nF");
  // A scroll arrow and a flat frame.
  CRect arrow(213, 66, 230, 83);
  dc.DrawFrameControl(&arrow, DFC_SCROLL, DFCS_SCROLLDOWN);
  CRect flat(160, 66, 208, 83);
  dc.DrawEdge(&flat, EDGE_SUNKEN, BF_RECT | BF_FLAT | BF_MIDDLE);
  // Push buttons: the default one has a black frame and the focus rectangle.
  dc.SelectObject(&normal);
  dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
  CRect ok(100, 118, 160, 141), cancel(168, 118, 228, 141);
  CBrush frameBrush(GetSysColor(COLOR_WINDOWFRAME));
  dc.FrameRect(&ok, &frameBrush);
  CRect okFace = ok;
  okFace.DeflateRect(1, 1);
  dc.DrawFrameControl(&okFace, DFC_BUTTON, DFCS_BUTTONPUSH);
  dc.DrawFrameControl(&cancel, DFC_BUTTON, DFCS_BUTTONPUSH);
  p.centred(ok, "OK");
  p.centred(cancel, "Cancel");
  CRect focus = ok;
  focus.DeflateRect(4, 4);
  dc.DrawFocusRect(&focus);
  // A dashed line and a selection band inverted.
  CPen dash(PS_DOT, 1, RGB(0, 0, 128));
  CPen* oldPen = dc.SelectObject(&dash);
  dc.MoveTo(10, 114);
  dc.LineTo(90, 114);
  dc.SelectObject(oldPen);
  CRect band(160, 90, 230, 100);
  dc.InvertRect(&band);
  dc.SelectObject(old);
  dc.Detach();
  DeleteDC(h);
  plat::DeleteTempGdiObjects();
  return pic;
}

}  // namespace

TEST(ReferenceImage, DialogPictureMatchesTheCommittedReference) {
  const Picture pic = drawDialog();
  plat::ImageTolerance tolerance;
  tolerance.textAreas = pic.textRuns;
  tolerance.text = kTextTolerance;
  const plat::ReferenceMatch match =
      plat::MatchReferenceImage(*pic.surface, "platform/gdi/tests/reference/dialog.png", tolerance);
  if (match.updated) GTEST_SKIP() << match.message;
  ASSERT_FALSE(match.missing) << match.message;
  ASSERT_FALSE(match.difference.sizeDiffers) << match.message;
  EXPECT_EQ(match.difference.pixels, 0) << "shape pixels differ; " << match.message;
  EXPECT_EQ(match.difference.textPixels, 0) << "text pixels differ beyond the tolerance; " << match.message;
}

// A picture whose write fails (here on a full disk) leaves the file as it was: an old picture whole, and no file
// where there was none. cairo wrote straight into the file, leaving a cut PNG behind.
TEST(ReferenceImage, APictureThatCannotBeWrittenLeavesTheFileAsItWas) {
  const TempDir temp("brim-png");
  const fs::path& dir = temp.Path();
  plat::SurfacePtr picture = plat::Surface::create(64, 48);
  ASSERT_TRUE(picture);
  ASSERT_TRUE(picture->writePng((dir / "old.png").string()));
  const auto written = fs::file_size(dir / "old.png");
  {
    plat::FileFaultScope full(plat::FullDiskFaults());
    EXPECT_FALSE(picture->writePng((dir / "old.png").string()));
    EXPECT_FALSE(picture->writePng((dir / "new.png").string()));
  }
  EXPECT_EQ(fs::file_size(dir / "old.png"), written);
  EXPECT_TRUE(plat::Surface::readPng((dir / "old.png").string()));
  EXPECT_FALSE(fs::exists(dir / "new.png"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

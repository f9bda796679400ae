// The demo's grid grown by a real paste to 125,061 rows, with another program's 125,000-line text on the X
// server's clipboard (xclip): Ctrl+V on a cell that is not being edited pastes into the cells; Ctrl+V while
// a cell is being edited (the grid's first, holding two lines, and another) puts the whole text into its
// editor and Enter stores all of it with the cell's own lines; a text longer than the edited cell takes is
// refused with a message box (answered with a real Enter) and the cell keeps what was typed. Real input made
// with xdotool; run by CTest through xvfb-run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "grid/controls/CGXControl.h"
#include "grid/demo/tests/onscreen.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/framework/CWinThread.h"
#include "platform/base/tests/TempDir.h"
#include "platform/window/Clipboard.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

constexpr int kLines = 125000;

// The queue is served as the demo's loop serves it: each window sees its messages first.
void DemoPump() { AfxPumpUntilIdle(); }

// A message box shown while the test's thread is inside its loop: a timer of that loop sees it and answers
// it with a real Enter.
bool g_boxSeen = false;
void AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) {
  if (g_boxSeen || !FindWindow("BrimMessageBox", nullptr)) return;
  g_boxSeen = true;
  plat::RunCommand("timeout 10 xdotool key Return &");
}

class PasteOnScreen {
 public:
  explicit PasteOnScreen(plat::SdlPresenter& p, CGXGridWnd* g) : p_(p), g_(g) {}
  bool Run(const std::string& command) {
    const bool ok = plat::RunCommand(command) == 0;
    onscreen::Serve(p_, DemoPump);
    return ok;
  }
  bool Keys(const std::string& keys) { return Run("timeout 10 xdotool " + keys); }
  bool ClickCell(ROWCOL row, ROWCOL col) {
    const CRect r = g_->CalcCellRect(row, col);
    POINT at{r.left + 4, r.top + r.Height() / 2};
    ClientToScreen(g_->GridHwnd(), &at);
    const POINT origin = p_.WindowPosition();
    return Keys("mousemove --sync " + std::to_string(origin.x + at.x) + " " + std::to_string(origin.y + at.y) +
                " click 1");
  }
  bool WaitUntil(const std::function<bool()>& condition, int seconds = 60) {
    return onscreen::WaitUntil(p_, condition, seconds, DemoPump);
  }
  std::string Edited() const {
    CString text;
    CGXControl* control = g_->ControlOfCurrentCell();
    if (!g_->CurrentCellIsActive() || !control || !control->GetEditedValue(text)) return "<not editing>";
    return std::string(text);
  }

 private:
  plat::SdlPresenter& p_;
  CGXGridWnd* g_;
};

TEST(GridDemo, PasteIntoAnEditedCellOfALargeGridUnderXvfb) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  const TempDir temp("brim-paste-edited");
  const std::filesystem::path& dir = temp.Path();
  const std::filesystem::path file = dir / "lines.txt";
  std::string text;
  char line[32];
  for (int i = 0; i < kLines; ++i) {
    std::snprintf(line, sizeof line, "VDD_%06d\n", i);
    text += line;
  }
  std::ofstream(file, std::ios::binary) << text;

  // The demo's shape: 60 nets under two frozen header rows.
  HWND main = nullptr;
  CGXGridWnd* g = onscreen::MakeDemoGrid(main, 62, 3);
  ASSERT_NE(g, nullptr);
  g->SetDefaultRowHeight(20, 0);
  g->SetDefaultColWidth(90, 0);
  g->SetFrozenRows(2, 2);
  for (ROWCOL r = 3; r <= 62; ++r) g->SetCellValue(r, 1, "VDD", 0);
  g->SetCellValue(3, 3, "two\nlines", 0);
  CGXStyle limited;
  limited.SetMaxLength(60000);
  g->SetStyleRange(CGXRange(4, 2), limited);
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  plat::SdlPresenter presenter("grid demo paste into an edited cell");
  ASSERT_TRUE(presenter.IsOpen());
  plat::RunUntilIdle();
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));
  PasteOnScreen screen(presenter, g);
  ASSERT_TRUE(screen.Run("xclip -selection clipboard -t UTF8_STRING -i '" + file.string() + "'"));

  // A cell that is not being edited: the lines go into the cells below it and the grid grows.
  g->MoveCurrentCellTo(62, 1, GX_UPDATENOW);
  ASSERT_TRUE(screen.Keys("key ctrl+v"));
  ASSERT_TRUE(screen.WaitUntil([&] { return g->GetRowCount() == 62u + kLines - 1; }, 120)) << g->GetRowCount();
  EXPECT_FALSE(g->CurrentCellIsActive());
  EXPECT_EQ(std::string(g->GetCellValue(62, 1)), "VDD_000000");
  EXPECT_EQ(std::string(g->GetCellValue(62 + kLines - 1, 1)), "VDD_124999");

  // The grid's first edited cell holds two lines: a click and Home edit it from its start, Ctrl+V puts the
  // whole text before its lines, and Enter stores all of it.
  ASSERT_TRUE(screen.ClickCell(3, 3));
  ASSERT_TRUE(screen.Keys("key Home"));
  ASSERT_TRUE(screen.WaitUntil([&] { return g->CurrentCellIsActive() != FALSE; }));
  ASSERT_TRUE(screen.Keys("key ctrl+v"));
  EXPECT_TRUE(screen.WaitUntil([&] { return screen.Edited() == text + "two\nlines"; })) << screen.Edited().size();
  ASSERT_TRUE(screen.Keys("key Return"));
  EXPECT_TRUE(screen.WaitUntil([&] { return !g->CurrentCellIsActive(); }));
  EXPECT_TRUE(g->GetCellValue(3, 3) == CString((text + "two\nlines").c_str())) << g->GetCellValue(3, 3).GetLength();

  // A click and a typed letter start editing; Ctrl+V puts the whole text into the editor, Enter stores it.
  ASSERT_TRUE(screen.ClickCell(3, 2));
  ASSERT_TRUE(screen.Keys("type a"));
  ASSERT_TRUE(screen.WaitUntil([&] { return screen.Edited() == "a"; })) << screen.Edited().size() << " characters";
  ASSERT_TRUE(screen.Keys("key ctrl+v"));
  EXPECT_TRUE(screen.WaitUntil([&] { return screen.Edited().size() == text.size() + 1; }))
      << screen.Edited().size();
  EXPECT_EQ(g->GetRowCount(), 62u + kLines - 1);
  ASSERT_TRUE(screen.Keys("key Return"));
  EXPECT_TRUE(screen.WaitUntil([&] { return !g->CurrentCellIsActive(); }));
  EXPECT_TRUE(g->GetCellValue(3, 2) == CString(("a" + text).c_str())) << g->GetCellValue(3, 2).GetLength();
  EXPECT_EQ(g->GetCellValue(4, 2).GetLength(), 0);

  // A cell that takes at most 60,000 characters: the paste is refused with a message box, and the cell
  // goes on editing what was typed.
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, AnswerBoxes);
  ASSERT_TRUE(screen.ClickCell(4, 2));
  ASSERT_TRUE(screen.Keys("type b"));
  ASSERT_TRUE(screen.WaitUntil([&] { return screen.Edited() == "b"; })) << screen.Edited().size() << " characters";
  ASSERT_TRUE(screen.Keys("key ctrl+v"));
  EXPECT_TRUE(screen.WaitUntil([&] { return g_boxSeen && !FindWindow("BrimMessageBox", nullptr); }));
  KillTimer(nullptr, timer);
  EXPECT_TRUE(screen.Edited() == "b") << screen.Edited().size() << " characters";
  ASSERT_TRUE(screen.Keys("key Escape"));
  EXPECT_TRUE(screen.WaitUntil([&] { return !g->CurrentCellIsActive(); }));
  EXPECT_EQ(g->GetCellValue(4, 2).GetLength(), 0);
  EXPECT_EQ(g->GetCellValue(5, 2).GetLength(), 0);
  EXPECT_EQ(g->GetRowCount(), 62u + kLines - 1);

  plat::Clipboard::Instance().Reset();
  DestroyWindow(main);
}

}  // namespace

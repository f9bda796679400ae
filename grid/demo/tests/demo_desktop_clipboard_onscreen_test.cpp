// The demo's grid on screen with another program's clipboard: xclip puts a text, a 2 MB text and an image
// on the X server's clipboard, and real Ctrl+V keys paste what it offers, or nothing when it offers no
// text, never the grid's own earlier copy. Run by CTest through xvfb-run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "grid/demo/tests/onscreen.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/base/tests/TempDir.h"
#include "platform/window/Clipboard.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

// A shell command (xdotool, xclip) while the presenter keeps serving: xclip reads back what we offer.
bool RunServed(plat::SdlPresenter& presenter, const std::string& command) {
  const bool ok = plat::RunCommand(command) == 0;
  onscreen::Serve(presenter);
  return ok;
}

// Another program takes the clipboard with the file's bytes as the given type (xclip stays behind to serve
// them until someone else takes the clipboard).
std::string XclipSets(const std::filesystem::path& file, const char* type) {
  return "xclip -selection clipboard -t " + std::string(type) + " -i '" + file.string() + "'";
}

TEST(GridDemo, DesktopClipboardOfAnotherProgramUnderXvfb) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  const char* source = std::getenv("BRIM_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  const TempDir temp("brim-desktop-clipboard");
  const std::filesystem::path& dir = temp.Path();
  const std::filesystem::path small = dir / "small.txt", big = dir / "big.txt";
  std::ofstream(small) << "from xclip \xE2\x82\xAC";
  const std::string bigText = "BIG" + std::string(2 * 1024 * 1024, 'x');
  std::ofstream(big) << bigText;
  const std::filesystem::path image = std::filesystem::path(source) / "grid/demo/tests/reference/currency-start.png";
  ASSERT_TRUE(std::filesystem::exists(image));

  HWND main = nullptr;
  CGXGridWnd* g = onscreen::MakeDemoGrid(main, 6, 3);
  ASSERT_NE(g, nullptr);
  g->SetCellValue(1, 1, "VDD_01");
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  plat::SdlPresenter presenter("grid demo desktop clipboard");
  ASSERT_TRUE(presenter.IsOpen());
  plat::RunUntilIdle();
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));
  auto run = [&](const std::string& command) { return RunServed(presenter, command); };
  auto waitUntil = [&](const std::function<bool()>& condition) {
    return onscreen::WaitUntil(presenter, condition, 15);
  };
  auto pasteInto = [&](ROWCOL row, ROWCOL col) {
    g->MoveCurrentCellTo(row, col, GX_UPDATENOW);
    return run("timeout 10 xdotool key ctrl+v");
  };

  // Another program's text, before the grid ever copied: offered to paste and pasted, in the cell's 1252.
  ASSERT_TRUE(run(XclipSets(small, "UTF8_STRING")));
  EXPECT_TRUE(waitUntil([&] { return g->CanPaste() != FALSE; }));
  ASSERT_TRUE(pasteInto(2, 1));
  EXPECT_TRUE(waitUntil([&] { return g->GetCellValue(2, 1) == "from xclip \x80"; })) << g->GetCellValue(2, 1);

  // The grid copies a cell: another program reads it from the desktop.
  g->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
  ASSERT_TRUE(run("timeout 10 xdotool key ctrl+c"));
  const std::filesystem::path out = dir / "out.txt";
  std::filesystem::remove(out);
  ASSERT_TRUE(run("timeout 10 xclip -selection clipboard -o > '" + out.string() + "' &"));
  EXPECT_TRUE(waitUntil([&] {
    std::ifstream in(out);
    std::string got;
    std::getline(in, got);
    return got.rfind("VDD_01", 0) == 0;
  }));

  // An image taken by another program: nothing to paste, and not the grid's earlier copy either.
  ASSERT_TRUE(run(XclipSets(image, "image/png")));
  EXPECT_TRUE(waitUntil([&] { return !g->CanPaste(); }));
  ASSERT_TRUE(pasteInto(3, 1));
  onscreen::Serve(presenter);
  EXPECT_EQ(g->GetCellValue(3, 1), "");

  // A 2 MB text (handed over in pieces by the X server's incremental transfer) is pasted whole.
  ASSERT_TRUE(run(XclipSets(big, "UTF8_STRING")));
  EXPECT_TRUE(waitUntil([&] { return g->CanPaste() != FALSE; }));
  ASSERT_TRUE(pasteInto(4, 1));
  EXPECT_TRUE(waitUntil([&] { return g->GetCellValue(4, 1).GetLength() == static_cast<int>(bigText.size()); }))
      << g->GetCellValue(4, 1).GetLength();
  EXPECT_TRUE(g->GetCellValue(4, 1) == CString(bigText.c_str()));

  plat::Clipboard::Instance().Reset();
  DestroyWindow(main);
}

}  // namespace

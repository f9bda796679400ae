// Printing a grid: pagination read back from the recording printer (which cell texts land on which page),
// headers and footers with their tokens, a PDF read back with pdftotext and pdfinfo, and the print preview.
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "grid/core/CGXProperties.h"
#include "grid/features/CGXPrintImp.h"
#include "grid/features/tests/featuretest.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/base/TimeFormat.h"
#include "platform/base/VirtualClock.h"
#include "platform/base/tests/TempDir.h"
#include "platform/display/ReferenceImage.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/gdi/PrintJob.h"
#include "platform/gdi/Printers.h"
#include "platform/window/InputRouter.h"

namespace {

namespace fs = std::filesystem;
using featuretest::FeatureTest;
using Page = std::vector<std::string>;

// A square paper of 5 inches at 96 dpi, so one logical unit is one device pixel: with 40-unit margins the
// print rectangle is 400 x 400 (headers of 50 x 20 leave 7 columns of 50 and 19 rows of 20 per page).
DEVMODEA SquareMode(const char* device) {
  DEVMODEA m = plat::MakeDevMode(device);
  m.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
  m.dmPaperWidth = m.dmPaperLength = 1270;
  m.dmPrintQuality = m.dmYResolution = 96;
  return m;
}

struct PrintRun {
  std::vector<Page> pages;
  UINT count = 0;
  std::string output;
};

class PrintTest : public FeatureTest {
 protected:
  void SetUp() override {
    FeatureTest::SetUp();
    plat::VirtualClock::FixTimeOfDay(1785398400);  // 2026-07-30
  }
  void TearDown() override {
    plat::VirtualClock::UseRealTimeOfDay();
    FeatureTest::TearDown();
  }

  // A grid whose cells read "R<row>C<col>", with 40-unit margins, no header or footer lines and no frame.
  CGXGridWnd* Make(ROWCOL rows, ROWCOL cols) {
    CGXGridWnd* g = MakeGrid(rows, cols, 300, 200);
    for (ROWCOL r = 1; r <= rows; ++r)
      for (ROWCOL c = 1; c <= cols; ++c) g->SetCellValue(r, c, ("R" + std::to_string(r) + "C" + std::to_string(c)).c_str(), 0);
    CGXProperties* p = g->GetProperties();
    for (LONG& m : p->m_nMargins) m = 40;
    p->m_bCenterHorizontal = FALSE;
    p->m_bPrintFrame = FALSE;
    ClearTable(p->GetHeaderTable());
    ClearTable(p->GetFooterTable());
    return g;
  }
  static void ClearTable(CGXData& t) {
    t.DeleteContents();
    t.StoreRowCount(10);
    t.StoreColCount(3);
  }

  // Prints through the print loop on a printer made from `mode`; `tweak` runs before the loop (dialog flags),
  // `afterPage` after each page (a grid that grows while printing).
  PrintRun Print(CGXGridCore* g, DEVMODEA mode, std::function<void(CPrintInfo&)> tweak = {},
                 std::function<void(UINT)> afterPage = {}, const std::string& output = {}) {
    PrintRun run;
    CPrintSteps steps = GXGridPrintSteps(g, TRUE, "Report", output.empty() ? nullptr : output.c_str());
    steps.prepare = [mode](CPrintInfo* info) -> BOOL {
      info->m_pPD->m_pd.hDC = ::CreateDC(nullptr, reinterpret_cast<const char*>(mode.dmDeviceName), nullptr, &mode);
      return info->m_pPD->m_pd.hDC != nullptr;
    };
    auto print = steps.print;
    steps.print = [&](CDC* dc, CPrintInfo* info) {
      print(dc, info);
      if (afterPage) afterPage(info->m_nCurPage);
    };
    auto end = steps.end;
    steps.end = [&](CDC* dc, CPrintInfo* info) {
      end(dc, info);
      run.count = info->GetMaxPage();
      if (plat::PrintJob* job = plat::PrintJobOf(dc->m_hDC)) {
        run.pages = job->recordedPages();
        run.output = job->lastOutput();
      }
    };
    CPrintInfo info;
    info.m_bDirect = TRUE;
    if (tweak) tweak(info);
    EXPECT_TRUE(AfxRunPrintLoop(steps, info));
    return run;
  }
  PrintRun PrintSquare(CGXGridCore* g, std::function<void(CPrintInfo&)> tweak = {}, std::function<void(UINT)> after = {}) {
    return Print(g, SquareMode("Recording"), std::move(tweak), std::move(after));
  }

  // Whether a recorded page shows the text (a whole quoted run).
  static bool Shows(const Page& page, const std::string& text) {
    const std::string quoted = "\"" + text + "\"";
    for (const std::string& line : page)
      if (line.rfind("text ", 0) == 0 && line.find(quoted) != std::string::npos) return true;
    return false;
  }
  // The position of the first run of the text on the page, as recorded ("text x,y ...").
  static bool Position(const Page& page, const std::string& text, int* x, int* y) {
    const std::string quoted = "\"" + text + "\"";
    for (const std::string& line : page)
      if (line.rfind("text ", 0) == 0 && line.find(quoted) != std::string::npos)
        return std::sscanf(line.c_str(), "text %d,%d", x, y) == 2;
    return false;
  }
  static CGXPrintImp* Imp(CGXGridCore* g) { return dynamic_cast<CGXPrintImp*>(g->GetPrintImp()); }
};

TEST_F(PrintTest, TheFeatureIsInstalledInEveryGridAndReachedThroughTheProperties) {
  CGXGridWnd* g = Make(2, 2);
  ASSERT_NE(Imp(g), nullptr);
  CString rest = "{%Y} tail";
  EXPECT_EQ(g->GetProperties()->GetTokenArgs(4, rest), "2026");
  EXPECT_EQ(rest, " tail");
}

TEST_F(PrintTest, ATableThatFitsIsOnePage) {
  CGXGridWnd* g = Make(5, 3);
  const PrintRun run = PrintSquare(g);
  EXPECT_EQ(run.count, 1u);
  ASSERT_EQ(run.pages.size(), 1u);
  EXPECT_TRUE(Shows(run.pages[0], "R1C1"));
  EXPECT_TRUE(Shows(run.pages[0], "R5C3"));
  // Rows and columns keep their screen sizes on paper (one logical unit is one display pixel): measured with
  // the printer's font, not a fixed default.
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  ASSERT_TRUE(Position(run.pages[0], "R1C1", &x1, &y1));
  ASSERT_TRUE(Position(run.pages[0], "R2C2", &x2, &y2));
  EXPECT_EQ(y2 - y1, 20);
  EXPECT_EQ(x2 - x1, 50);
}

TEST_F(PrintTest, TwoByTwoPagesPrintAcrossFirstOrDownFirst) {
  CGXGridWnd* g = Make(30, 10);  // about 15 rows and 7 columns a page
  PrintRun run = PrintSquare(g);
  ASSERT_EQ(run.count, 4u);
  ASSERT_EQ(run.pages.size(), 4u);
  const char* across[] = {"R1C1", "R1C10", "R30C1", "R30C10"};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(Shows(run.pages[i], across[j]), i == j) << "page " << i + 1 << " " << across[j];
  g->GetProperties()->m_nPageOrder = 1;
  run = PrintSquare(g);
  ASSERT_EQ(run.pages.size(), 4u);
  const char* down[] = {"R1C1", "R30C1", "R1C10", "R30C10"};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(Shows(run.pages[i], down[j]), i == j) << "page " << i + 1 << " " << down[j];
}

TEST_F(PrintTest, AColumnWiderThanThePageGetsAPageOfItsOwn) {
  CGXGridWnd* g = Make(2, 3);
  g->SetColWidth(2, 2, 1000, nullptr, 0);
  const PrintRun run = PrintSquare(g);
  ASSERT_EQ(run.count, 3u);
  EXPECT_TRUE(Shows(run.pages[0], "R1C1"));
  EXPECT_FALSE(Shows(run.pages[0], "R1C2"));
  EXPECT_TRUE(Shows(run.pages[1], "R1C2"));
  EXPECT_TRUE(Shows(run.pages[2], "R1C3"));
}

TEST_F(PrintTest, ManualBreaksAreExactAndComeBeforeTheWidth) {
  CGXGridWnd* g = Make(2, 6);  // fits one page
  g->GetProperties()->GetColBreaks() = {3, 5};
  PrintRun run = PrintSquare(g);
  ASSERT_EQ(run.count, 3u);
  EXPECT_TRUE(Shows(run.pages[0], "R1C2"));
  EXPECT_FALSE(Shows(run.pages[0], "R1C3"));
  EXPECT_TRUE(Shows(run.pages[1], "R1C3"));
  EXPECT_TRUE(Shows(run.pages[1], "R1C4"));
  EXPECT_FALSE(Shows(run.pages[1], "R1C5"));
  EXPECT_TRUE(Shows(run.pages[2], "R2C6"));
  // A manual row break splits earlier than the height would; a break past the table changes nothing.
  g->GetProperties()->GetColBreaks().clear();
  g->GetProperties()->GetRowBreaks() = {2, 99};
  run = PrintSquare(g);
  ASSERT_EQ(run.count, 2u);
  EXPECT_FALSE(Shows(run.pages[0], "R2C1"));
  EXPECT_TRUE(Shows(run.pages[1], "R2C1"));
}

TEST_F(PrintTest, PrintingTheSelectionWithNothingSelectedPrintsTheShownPartAsOnePage) {
  CGXGridWnd* g = Make(100, 20);
  g->SetTopRow(10);
  g->SetLeftCol(3);
  const PrintRun run = PrintSquare(g, [](CPrintInfo& info) { info.m_pPD->m_pd.Flags |= PD_SELECTION; });
  EXPECT_EQ(run.count, 1u);
  ASSERT_EQ(run.pages.size(), 1u);
  EXPECT_TRUE(Shows(run.pages[0], "R10C3"));
  EXPECT_TRUE(Shows(run.pages[0], "R28C9"));  // 19 rows and 7 columns fit entirely
  EXPECT_FALSE(Shows(run.pages[0], "R29C3"));
  EXPECT_FALSE(Shows(run.pages[0], "R10C10"));
  EXPECT_FALSE(Shows(run.pages[0], "R1C1"));
  EXPECT_FALSE(Shows(run.pages[0], "R9C3"));
  EXPECT_FALSE(Shows(run.pages[0], "R10C2"));
  EXPECT_FALSE(Shows(run.pages[0], "R40C3"));
  EXPECT_FALSE(Shows(run.pages[0], "R10C20"));
}

TEST_F(PrintTest, PrintingASelectedRangePrintsOnlyIt) {
  CGXGridWnd* g = Make(100, 20);
  g->GetParam()->GetSelection().AddTail(new CGXRange(40, 5, 45, 6));
  const PrintRun run = PrintSquare(g, [](CPrintInfo& info) { info.m_pPD->m_pd.Flags |= PD_SELECTION; });
  ASSERT_EQ(run.count, 1u);
  EXPECT_TRUE(Shows(run.pages[0], "R40C5"));
  EXPECT_TRUE(Shows(run.pages[0], "R45C6"));
  EXPECT_FALSE(Shows(run.pages[0], "R46C5"));
  EXPECT_FALSE(Shows(run.pages[0], "R40C7"));
}

// When a printout or a preview ends, the grid holds nothing of it: "print the selection" no longer applies, and
// the floated cells evaluated for the paper are gone (the pool found while printing next is a fresh, empty one).
TEST_F(PrintTest, TheGridsPrintStateIsUndoneWhenAPrintoutOrPreviewEnds) {
  CGXGridWnd* g = Make(100, 20);
  g->SetFloatCellsMode(2);
  g->SetCellValue(41, 5, "A text much wider than the two columns it floats over", 0);
  g->SetCellValue(41, 6, "", 0);
  g->GetParam()->GetSelection().AddTail(new CGXRange(40, 5, 45, 7));
  auto floatedOnPaper = [g] {
    CGXRange span;
    return g->GetFloatCellsPool()->GetSpanCellsRowCol(41, 6, &span) ? span : CGXRange();
  };
  CGXRange whilePrinting;
  const PrintRun selection = PrintSquare(g, [](CPrintInfo& info) { info.m_pPD->m_pd.Flags |= PD_SELECTION; },
                                         [&](UINT) {
                                           g->SetPrinting(TRUE);
                                           whilePrinting = floatedOnPaper();
                                           g->SetPrinting(FALSE);
                                         });
  ASSERT_EQ(selection.count, 1u);
  ASSERT_EQ(whilePrinting.left, 5u) << "the printout floats the wide text";
  EXPECT_FALSE(g->m_bPrintSelectionOnly);
  g->SetPrinting(TRUE);
  EXPECT_EQ(floatedOnPaper(), CGXRange()) << "the printout's floated cells outlive it";
  g->SetPrinting(FALSE);
  // The whole grid prints afterwards, and a preview's end undoes the same.
  const PrintRun whole = PrintSquare(g);
  EXPECT_EQ(whole.count, 18u);  // 100 rows of 19 a page, 20 columns of 7 a page: 6 x 3
  EXPECT_EQ(g->CachedStyleCount(), 0u) << "the printed cells' composed styles outlive the printout";
  CPrintSteps steps = GXGridPrintSteps(g, TRUE, "Report");
  const DEVMODEA mode = SquareMode("Recording");
  steps.prepare = [mode](CPrintInfo* info) -> BOOL {
    info->m_pPD->m_pd.Flags |= PD_SELECTION;
    info->m_pPD->m_pd.hDC = ::CreateDC(nullptr, "Recording", nullptr, &mode);
    return info->m_pPD->m_pd.hDC != nullptr;
  };
  CPrintPreviewWnd* preview = CPrintPreviewWnd::Open(steps, nullptr, 420, 520);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->GetPageCount(), 1u);
  EXPECT_TRUE(g->m_bPrintSelectionOnly);
  preview->DestroyWindow();
  Pump();
  EXPECT_FALSE(g->m_bPrintSelectionOnly);
  g->SetPrinting(TRUE);
  EXPECT_EQ(floatedOnPaper(), CGXRange());
  g->SetPrinting(FALSE);
}

TEST_F(PrintTest, RowsAddedAfterPaginationArePickedUpOnTheLastPage) {
  CGXGridWnd* g = Make(30, 3);  // two pages of rows
  const PrintRun run = PrintSquare(g, {}, [&](UINT page) {
    if (page == 1) {
      g->SetRowCount(60, 0);
      g->SetCellValue(60, 1, "last", 0);
    }
  });
  EXPECT_EQ(run.count, 4u);  // 19 rows a page: 60 rows make four
  ASSERT_EQ(run.pages.size(), 4u);
  EXPECT_TRUE(Shows(run.pages[1], "R20C1"));
  EXPECT_TRUE(Shows(run.pages[3], "last"));
}

TEST_F(PrintTest, FrozenRowsAndColumnsRepeatOnEveryPage) {
  CGXGridWnd* g = Make(40, 15);
  g->SetFrozenRows(1, 0, 0);
  g->SetFrozenCols(1, 0, 0);
  const PrintRun run = PrintSquare(g);
  ASSERT_GT(run.count, 4u);
  ASSERT_EQ(run.pages.size(), run.count);
  for (const Page& page : run.pages) EXPECT_TRUE(Shows(page, "R1C1"));
  // Page 2 (across first) holds later columns under the frozen row, beside the frozen column.
  EXPECT_TRUE(Shows(run.pages[1], "R2C1"));
  EXPECT_FALSE(Shows(run.pages[1], "R2C2"));
  EXPECT_FALSE(Shows(run.pages[1], "R1C2"));
  EXPECT_TRUE(Shows(run.pages.back(), "R1C15"));
  EXPECT_TRUE(Shows(run.pages.back(), "R40C1"));
  EXPECT_TRUE(Shows(run.pages.back(), "R40C15"));
}

// A stored frozen count beyond the grid's lines (a layout may hold billions) freezes the lines there are: the
// pages are counted and printed without walking the lines the grid does not have.
TEST_F(PrintTest, FrozenCountsBeyondTheGridsLinesPrintTheLinesThereAre) {
  CGXGridWnd* g = Make(3, 3);
  g->GetParam()->m_nFrozenRows = 0xFFFFFFFE;
  g->GetParam()->m_nFrozenCols = 0xFFFFFFFE;
  g->GetProperties()->m_bCenterHorizontal = g->GetProperties()->m_bCenterVertical = TRUE;
  const PrintRun run = PrintSquare(g);
  ASSERT_EQ(run.count, 1u);
  ASSERT_EQ(run.pages.size(), 1u);
  EXPECT_TRUE(Shows(run.pages[0], "R1C1"));
  EXPECT_TRUE(Shows(run.pages[0], "R3C3"));
}

TEST_F(PrintTest, CentringMovesTheGridAndTheFrameSurroundsIt) {
  CGXGridWnd* g = Make(1, 1);
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  PrintRun run = PrintSquare(g);
  ASSERT_TRUE(Position(run.pages[0], "R1C1", &x0, &y0));
  for (const std::string& line : run.pages[0]) EXPECT_NE(line.rfind("line ", 0), 0u) << "a frame without asking";
  CGXProperties* p = g->GetProperties();
  p->m_bCenterHorizontal = p->m_bCenterVertical = TRUE;
  p->m_bPrintFrame = TRUE;
  run = PrintSquare(g);
  ASSERT_TRUE(Position(run.pages[0], "R1C1", &x1, &y1));
  // The frame's four lines: top, bottom, left, right; they give the grid's rectangle.
  std::vector<std::array<int, 4>> lines;
  for (const std::string& line : run.pages[0]) {
    std::array<int, 4> v{};
    if (std::sscanf(line.c_str(), "line %d,%d -> %d,%d", &v[0], &v[1], &v[2], &v[3]) == 4) lines.push_back(v);
  }
  ASSERT_EQ(lines.size(), 4u);
  const int left = lines[2][0], top = lines[0][1], right = lines[0][2], bottom = lines[2][3];
  EXPECT_EQ(lines[1][1], bottom - 1);
  EXPECT_EQ(lines[3][0], right - 1);
  // Centred in the 400 x 400 print rectangle at (40, 40), the cell moved with it.
  EXPECT_NEAR(left - 40, 440 - right, 1);
  EXPECT_NEAR(top - 40, 440 - bottom, 1);
  EXPECT_EQ(x1 - x0, left - 40);
  EXPECT_EQ(y1 - y0, top - 40);
}

TEST_F(PrintTest, HeaderAndFooterSitAtTheirDistancesWithTheirTokens) {
  CGXGridWnd* g = Make(30, 3);
  g->GetParam()->m_sName = "Sheet A";
  CGXProperties* p = g->GetProperties();
  p->m_nDistances[0] = 10;
  p->m_nDistances[1] = 15;
  CGXStyle s;
  p->GetHeaderTable().StoreStyle(1, 1, &s.SetValue("$R"), gxOverride);
  p->GetHeaderTable().StoreStyle(2, 1, &s.SetValue("second"), gxOverride);
  p->GetFooterTable().StoreStyle(1, 3, &s.SetValue("$p of $N"), gxOverride);
  p->GetFooterTable().StoreStyle(1, 2, &s.SetValue("$X $D{%Q}"), gxOverride);
  const PrintRun run = PrintSquare(g);
  ASSERT_EQ(run.pages.size(), 2u);
  int x = 0, y = 0, x2 = 0, y2 = 0;
  ASSERT_TRUE(Position(run.pages[0], "Sheet A", &x, &y));
  EXPECT_EQ(y, 10);     // the header distance below the paper's top
  EXPECT_EQ(x, 40 + 8); // the print rectangle's left, in by 8
  ASSERT_TRUE(Position(run.pages[0], "second", &x2, &y2));
  EXPECT_GT(y2, y);     // the next line, one line height down
  ASSERT_TRUE(Position(run.pages[1], "2 of 2", &x, &y));
  EXPECT_GT(x, 200);    // right-aligned
  EXPECT_LT(y, 480 - 15);
  EXPECT_GT(y, 440);    // below the print rectangle, above the footer distance
  EXPECT_TRUE(Shows(run.pages[1], "$X %Q"));  // no token and an unknown conversion, both as written
}

TEST_F(PrintTest, TokensSubstituteWithoutRegardToCaseAndDatesFollowTheVirtualClock) {
  CGXGridWnd* g = Make(1, 1);
  CGXPrintImp* imp = Imp(g);
  CGXProperties& p = *g->GetProperties();
  p.SetTokenValue(2, "3");
  p.SetTokenValue(3, "7");
  EXPECT_EQ(imp->SubstituteTokens(p, "$P / $N"), "3 / 7");
  EXPECT_EQ(imp->SubstituteTokens(p, "$d{%Y}"), "2026");
  const std::string local = plat::FormatTime(plat::LocalTm(1785398400), "%c");
  EXPECT_EQ(imp->SubstituteTokens(p, "$D{%Y}|$D{%Y"), CString(("2026|" + local + "{%Y").c_str()));
  EXPECT_EQ(imp->SubstituteTokens(p, "$$X$"), "$$X$");
  // Longer than 255 characters: nothing.
  EXPECT_EQ(imp->SubstituteTokens(p, "[$D{" + CString(std::string(200, 'x').c_str()) + "%A%A%A%A%A%A%A%A}]"), "[]");
  CString text = "{ab}cd";
  EXPECT_EQ(imp->SplitFormatPart(text), "ab");
  EXPECT_EQ(text, "cd");
  text = "{open";
  EXPECT_EQ(imp->SplitFormatPart(text), "");
  EXPECT_EQ(text, "{open");
}

// The job's tokens: the document's title, the application, the page count and number (shifted by a first
// page number), the sheet name.
TEST_F(PrintTest, TokenValuesComeFromTheJob) {
  CWinApp app("Grid Printer");
  CGXGridWnd* g = Make(1, 1);
  g->GetParam()->m_sName = "Sheet 2";
  CGXProperties& p = *g->GetProperties();
  CDocument document;
  document.SetTitle("board.dao");
  HDC hdc = ::CreateDC(nullptr, "Recording", nullptr, nullptr);
  CDC dc;
  dc.Attach(hdc);
  CPrintInfo info;
  info.SetMaxPage(7);
  info.m_nCurPage = 3;
  info.m_rectDraw.SetRect(100, 100, 500, 700);
  CGXPrintImp* imp = Imp(g);
  imp->PrintHeaderAndFooter(p, &dc, &info, &document, g->GetParam());
  EXPECT_EQ(imp->SubstituteTokens(p, "$F|$A|$P|$N|$R"), "board.dao|Grid Printer|3|7|Sheet 2");
  p.m_nFirstPage = 10;  // numbering starts at 10 with the first page printed
  imp->PrintHeaderAndFooter(p, &dc, &info, nullptr, g->GetParam());
  EXPECT_EQ(imp->SubstituteTokens(p, "$F|$P"), "|12");
  dc.Detach();
  ::DeleteDC(hdc);
}

TEST_F(PrintTest, APageWithoutPaginationPrintsNothingAndStops) {
  CGXGridWnd* g = Make(3, 3);
  HDC hdc = ::CreateDC(nullptr, "Recording", nullptr, nullptr);
  CDC dc;
  dc.Attach(hdc);
  CPrintInfo info;
  info.m_nCurPage = 1;
  Imp(g)->PrintPage(g, &dc, &info);  // no BeginPrinting: no breaks
  EXPECT_FALSE(info.m_bContinuePrinting);
  EXPECT_FALSE(g->IsPrinting());
  dc.Detach();
  ::DeleteDC(hdc);
}

// ---- PDF end to end -------------------------------------------------------------------------------------

std::string Shell(const std::string& cmd) {
  std::string out;
  if (FILE* p = plat::OpenCommand(cmd)) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    plat::CloseCommand(p);
  }
  return out;
}

// The words of a PDF page with their boxes in points from the page's top (pdftotext -bbox).
struct Word {
  std::string text;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
std::vector<Word> Words(const fs::path& pdf, int page) {
  const std::string html = Shell("pdftotext -bbox -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" +
                                 pdf.string() + "' -");
  std::vector<Word> words;
  for (size_t at = html.find("<word "); at != std::string::npos; at = html.find("<word ", at + 1)) {
    Word w;
    const size_t close = html.find('>', at), end = html.find("</word>", at);
    if (close == std::string::npos || end == std::string::npos) break;
    if (std::sscanf(html.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &w.xMin, &w.yMin,
                    &w.xMax, &w.yMax) != 4)
      continue;
    w.text = html.substr(close + 1, end - close - 1);
    words.push_back(w);
  }
  return words;
}

TEST_F(PrintTest, SixPagesToPdfReadBackWithTheirTextsAndTokens) {
  CWinApp app("Grid Printer");
  CGXGridWnd* g = Make(9, 2);
  g->SetColWidth(1, 2, 400, nullptr, 0);   // one column a page
  g->SetRowHeight(1, 9, 300, nullptr, 0);  // three rows a page
  g->GetParam()->m_sName = "Capacitors";
  CGXProperties* p = g->GetProperties();
  for (LONG& m : p->m_nMargins) m = 72;
  CGXStyle s;
  p->GetHeaderTable().StoreStyle(1, 1, &s.SetValue("$A"), gxOverride);
  p->GetHeaderTable().StoreStyle(1, 2, &s.SetValue("$R"), gxOverride);
  p->GetHeaderTable().StoreStyle(1, 3, &s.SetValue("$d{%Y} $X"), gxOverride);
  p->GetFooterTable().StoreStyle(1, 2, &s.SetValue("$P / $N"), gxCopy);
  p->GetFooterTable().StoreStyle(2, 2, &s.SetValue("$D{%Q%}"), gxCopy);
  const TempDir temp("brim-print");
  const fs::path pdf = temp.Path() / "grid.pdf";
  const PrintRun run = Print(g, plat::MakeDevMode("PDF"), {}, {}, pdf.string());
  EXPECT_EQ(run.count, 6u);
  ASSERT_TRUE(fs::exists(pdf));
  const std::string info = Shell("pdfinfo '" + pdf.string() + "'");
  const size_t at = info.find("Pages:");
  ASSERT_NE(at, std::string::npos) << info;
  EXPECT_EQ(std::atoi(info.c_str() + at + 6), 6) << info;
  // Across first: pages 1, 3, 5 hold column 1 and rows 1-3, 4-6, 7-9; pages 2, 4, 6 column 2.
  for (int page = 1; page <= 6; ++page) {
    const std::string text =
        Shell("pdftotext -layout -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + pdf.string() + "' -");
    const int col = page % 2 ? 1 : 2, firstRow = (page - 1) / 2 * 3 + 1;
    for (int row = firstRow; row < firstRow + 3; ++row)
      EXPECT_NE(text.find("R" + std::to_string(row) + "C" + std::to_string(col)), std::string::npos)
          << "page " << page << ":\n" << text;
    EXPECT_EQ(text.find("R" + std::to_string(firstRow + 3) + "C"), std::string::npos) << "page " << page;
    // pdftotext drops the narrow blanks around the slash; the blanks themselves are checked on the
    // recording printer.
    std::string compact = text;
    std::erase(compact, ' ');
    EXPECT_NE(compact.find(std::to_string(page) + "/6"), std::string::npos) << text;
    EXPECT_NE(text.find("Capacitors"), std::string::npos);
    EXPECT_NE(text.find("Grid Printer"), std::string::npos);
    EXPECT_NE(text.find("2026 $X"), std::string::npos);
    EXPECT_NE(text.find("%Q%"), std::string::npos);  // an invalid format prints as written
    // With the top margin at the header's distance, the header's line lies wholly above the grid (its column
    // headers and cells), whose words all lie between it and the footer's.
    double headerBottom = 0, footerTop = 1e9, gridTop = 1e9;
    int gridWords = 0;
    for (const Word& w : Words(pdf, page)) {
      if (w.text == "Grid" || w.text == "Printer" || w.text == "Capacitors" || w.text == "2026" || w.text == "$X") {
        headerBottom = std::max(headerBottom, w.yMax);
      } else if (w.text.find("%Q") != std::string::npos) {
        footerTop = std::min(footerTop, w.yMin);
      } else {
        gridTop = std::min(gridTop, w.yMin);
        ++gridWords;
      }
    }
    EXPECT_GE(gridWords, 4) << "page " << page;  // the column header and three cells at least
    EXPECT_GT(headerBottom, 0) << "page " << page;
    EXPECT_LE(headerBottom, gridTop) << "page " << page << ": the header runs into the grid";
    EXPECT_LT(gridTop, footerTop) << "page " << page;
  }
}

// The frame helper: the application's printer without a dialog, into the named file or the printer's own.
TEST_F(PrintTest, AGridInAFramePrintsOnTheApplicationsPrinter) {
  CWinApp app("Grid Printer");
  CGXGridWnd* g = Make(3, 3);
  const TempDir temp("brim-frame");
  const fs::path pdf = temp.Path() / "frame.pdf";
  ASSERT_TRUE(GXPrintGrid(g, TRUE, "Frame", pdf.string().c_str()));
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_NE(Shell("pdftotext '" + pdf.string() + "' -").find("R3C3"), std::string::npos);
  fs::remove(pdf);
  // Without a file name the document is named after the job under the temporary directory, never after
  // the printer's port.
  const std::string title = "brim-frame-" + std::to_string(::getpid());
  ASSERT_TRUE(GXPrintGrid(g, TRUE, title.c_str()));
  EXPECT_FALSE(fs::exists("PDF:"));
  const fs::path named = fs::temp_directory_path() / (std::string("brim_frame_") + std::to_string(::getpid()) + ".pdf");
  EXPECT_TRUE(fs::exists(named)) << named;
  fs::remove(named);
  // A cancelled print dialog prints nothing.
  Automate();
  automation.Reply(plat::SystemUiKind::Print, {IDCANCEL, {}});
  EXPECT_FALSE(GXPrintGrid(g, FALSE, "Frame"));
}

// Every print frees its printer DC, and with it the printer's page image (2480 x 3508 pixels at 300 dpi) and PDF,
// when it ends, printed, failed or cancelled, on every path: a grid's print command through the print dialog
// (the spreadsheet's Ctrl+P), with and without the application's printer, also on another printer, directly, to
// a file that cannot be made; its print preview once closed; a view's print command. The print dialog without the
// application's printer made one DC for the default printer and another for the chosen one over it.
TEST_F(PrintTest, EveryPrintFreesItsPrinterWhenItEnds) {
  Automate();
  CGXGridWnd* g = Make(30, 10);
  const TempDir temp("brim-print-frees");
  const fs::path& dir = temp.Path();
  fs::create_directories(dir / "folder.pdf");
  const std::string out = (dir / "grid.pdf").string(), folder = (dir / "folder.pdf").string();
  struct View : CView {
    void OnDraw(CDC* dc) override { dc->TextOut(10, 10, CString("view")); }
  } view;
  WNDCLASS wc{CS_GLOBALCLASS, ::DefWindowProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "BrimPrintView"};
  ::RegisterClass(&wc);
  ASSERT_TRUE(view.CreateEx(0, "BrimPrintView", "View", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  // Each prints and answers whether it printed, the print dialog answered with `answer` on `printer`.
  auto viaDialog = [&](int answer, const char* printer = "") {
    automation.Reply(plat::SystemUiKind::Print, {answer, printer, 0});
    return GXPrintGrid(g, FALSE, "Grid", out.c_str());
  };
  const std::pair<const char*, std::function<BOOL()>> prints[] = {
      {"print dialog, Return", [&] { return viaDialog(IDOK); }},
      {"print dialog, another printer and back", [&] { return viaDialog(IDOK, "Recording") && viaDialog(IDOK, "PDF"); }},
      {"print dialog, Escape", [&] { return !viaDialog(IDCANCEL); }},
      {"direct", [&] { return GXPrintGrid(g, TRUE, "Grid", out.c_str()); }},
      {"a file that cannot be made", [&] { return !GXPrintGrid(g, TRUE, "Grid", folder.c_str()); }},
      {"print preview, closed", [&] {
         CPrintPreviewWnd* preview = GXPrintPreviewGrid(g, nullptr, "Grid");
         return preview && preview->ShowPage(preview->GetPageCount()) && preview->DestroyWindow();
       }},
      {"a view's print command", [&] {
         automation.Reply(plat::SystemUiKind::Print, {IDOK, {}, 0});
         view.SendMessage(WM_COMMAND, ID_FILE_PRINT);
         return static_cast<BOOL>(fs::remove(fs::temp_directory_path() / "View.pdf"));
       }},
  };
  for (const bool withApp : {false, true}) {
    std::optional<CWinApp> app;
    if (withApp) app.emplace("Grid Printer");
    for (const auto& [name, print] : prints) {
      const std::size_t live = plat::LivePrinterDCs();
      EXPECT_TRUE(print()) << name << (withApp ? ", with an application" : "");
      EXPECT_EQ(plat::LivePrinterDCs(), live) << name << (withApp ? ", with an application" : "");
    }
  }
  view.DestroyWindow();
}

// ---- Print preview --------------------------------------------------------------------------------------

class PreviewTest : public PrintTest {
 protected:
  static void ExpectMatchesReference(HWND hwnd, const std::string& name) {
    plat::Desktop::PaintAll();
    auto image = plat::Desktop::Capture(hwnd);
    ASSERT_TRUE(image);
    const plat::ReferenceMatch match =
        plat::MatchReferenceImage(*image, "grid/features/tests/reference/" + name + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
  static void Click(HWND button) {
    RECT r;
    ::GetWindowRect(button, &r);
    plat::InputRouter::Instance().Click(plat::MouseButton::Left, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    Pump();
  }
};

TEST_F(PreviewTest, ShowsThePagesOfThePrintoutWithNextAndPrevious) {
  CGXGridWnd* g = Make(30, 10);
  CGXStyle s;
  g->GetProperties()->GetFooterTable().StoreStyle(1, 2, &s.SetValue("$P / $N"), gxOverride);
  g->GetProperties()->m_bPrintFrame = TRUE;
  CPrintSteps steps = GXGridPrintSteps(g, TRUE, "Report");
  const DEVMODEA mode = SquareMode("PDF");
  steps.prepare = [mode](CPrintInfo* info) -> BOOL {
    info->m_pPD->m_pd.hDC = ::CreateDC(nullptr, "PDF", nullptr, &mode);
    return info->m_pPD->m_pd.hDC != nullptr;
  };
  CPrintPreviewWnd* preview = CPrintPreviewWnd::Open(steps, nullptr, 420, 520);
  ASSERT_NE(preview, nullptr);
  HWND hwnd = preview->GetSafeHwnd();
  EXPECT_EQ(preview->GetPageCount(), 4u);
  EXPECT_EQ(preview->GetCurrentPage(), 1u);
  EXPECT_EQ(preview->GetPageText(), "Page 1 / 4");
  ExpectMatchesReference(hwnd, "print-preview-page1");
  HWND next = ::GetDlgItem(hwnd, AFX_ID_PREVIEW_NEXT), prev = ::GetDlgItem(hwnd, AFX_ID_PREVIEW_PREV);
  EXPECT_FALSE(::IsWindowEnabled(prev));
  Click(next);
  EXPECT_EQ(preview->GetCurrentPage(), 2u);
  EXPECT_EQ(preview->GetPageText(), "Page 2 / 4");
  ExpectMatchesReference(hwnd, "print-preview-page2");
  Click(next);
  Click(next);
  EXPECT_EQ(preview->GetCurrentPage(), 4u);
  EXPECT_FALSE(::IsWindowEnabled(next));
  Click(next);  // disabled: stays
  EXPECT_EQ(preview->GetCurrentPage(), 4u);
  Click(prev);
  EXPECT_EQ(preview->GetCurrentPage(), 3u);
  EXPECT_TRUE(g->IsPrinting() == FALSE);
  ::SendMessage(::GetDlgItem(hwnd, AFX_ID_PREVIEW_CLOSE), BM_CLICK, 0, 0);
  Pump();
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(PreviewTest, OpensAtThePageThatHoldsTheGridsTopLeftCell) {
  CGXGridWnd* g = Make(100, 40);
  g->SetTopRow(25);
  g->SetLeftCol(9);
  CPrintSteps steps = GXGridPrintSteps(g, TRUE, "Report");
  const DEVMODEA mode = SquareMode("PDF");
  steps.prepare = [mode](CPrintInfo* info) -> BOOL {
    info->m_pPD->m_pd.hDC = ::CreateDC(nullptr, "PDF", nullptr, &mode);
    return info->m_pPD->m_pd.hDC != nullptr;
  };
  // The page shown first starts at or before the top row and left column, and no other page starts between.
  auto check = [&](const char* order) {
    CPrintPreviewWnd* preview = CPrintPreviewWnd::Open(steps, nullptr, 420, 520);
    ASSERT_NE(preview, nullptr) << order;
    ROWCOL r0 = 0, c0 = 0;
    ASSERT_TRUE(CGXPrintImp::PageOrigin(g, preview->GetCurrentPage(), &r0, &c0)) << order;
    EXPECT_LE(r0, g->GetTopRow()) << order;
    EXPECT_LE(c0, g->GetLeftCol()) << order;
    for (UINT page = 1; page <= preview->GetPageCount(); ++page) {
      ROWCOL r = 0, c = 0;
      ASSERT_TRUE(CGXPrintImp::PageOrigin(g, page, &r, &c));
      EXPECT_FALSE(r > r0 && r <= g->GetTopRow()) << order << " page " << page;
      EXPECT_FALSE(c > c0 && c <= g->GetLeftCol()) << order << " page " << page;
    }
    EXPECT_GT(preview->GetCurrentPage(), 1u) << order;
    preview->DestroyWindow();
  };
  check("across");
  g->GetProperties()->m_nPageOrder = 1;
  check("down");
  g->SetLeftCol(1);
  check("down, first column");
}

}  // namespace

// Printing a large grid to the PDF printer (pages per second, and a page's time against a plain cairo PDF page of
// the same texts, lines and fills), its pagination alone, and the grid profile's writers: 100 styles into an INI
// profile, one atomic file rewrite per writer call.
#include <cairo-pdf.h>
#include <cairo.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/gridfeatures/featurebench.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/features/CGXPrintImp.h"
#include "platform/base/tests/TempDir.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/PrintJob.h"
#include "platform/gdi/Printers.h"

namespace {

// In a folder of this run's own, removed when the program ends.
std::filesystem::path Scratch(const std::string& name) {
  static const TempDir folder("brim-print-bench");
  return folder.Path() / name;
}

// A grid of `rows` rows by 30 columns: a header row and a number in every seventh row.
std::unique_ptr<CGXGridWnd> BigGrid(ROWCOL rows = 10000) {
  auto g = gridbench::OpenGrid(640, 480, rows, 30);
  for (ROWCOL c = 1; c <= 30; ++c) g->SetCellValue(1, c, "Header", 0);
  for (ROWCOL r = 1; r <= rows; r += 7) g->SetCellValue(r, 1 + r % 30, "1234.5", 0);
  return g;
}

CPrintSteps StepsOn(CGXGridCore* g, const char* printer, const std::string& output) {
  CPrintSteps steps = GXGridPrintSteps(g, TRUE, "Bench", output.c_str());
  steps.prepare = [printer](CPrintInfo* info) -> BOOL {
    info->m_pPD->m_pd.hDC = ::CreateDC(nullptr, printer, nullptr, nullptr);
    return info->m_pPD->m_pd.hDC != nullptr;
  };
  return steps;
}

// Prints the whole grid; answers the page count (0 on failure) and, from the recording printer, the pages' lines.
UINT PrintAll(CGXGridCore* g, const char* printer, const std::string& output,
              std::vector<std::vector<std::string>>* recorded = nullptr) {
  UINT pages = 0;
  CPrintSteps steps = StepsOn(g, printer, output);
  auto end = steps.end;
  steps.end = [&](CDC* dc, CPrintInfo* info) {
    if (recorded)
      if (plat::PrintJob* job = plat::PrintJobOf(dc->m_hDC)) *recorded = job->recordedPages();
    end(dc, info);
    pages = info->GetMaxPage();
  };
  CPrintInfo info;
  info.m_bDirect = TRUE;
  return AfxRunPrintLoop(steps, info) ? pages : 0;
}

// The texts, lines and fills a recorded page shows, drawn straight into a cairo PDF page of the same size: what a
// page costs a program that writes its PDF with cairo itself.
struct PlainPage {
  struct Text {
    double x, y, size;
    std::string text;
  };
  struct Line {
    double x0, y0, x1, y1;
  };
  struct Fill {
    double l, t, r, b;
    unsigned rgb;
  };
  std::vector<Text> texts;
  std::vector<Line> lines;
  std::vector<Fill> fills;

  explicit PlainPage(const std::vector<std::string>& recorded) {
    for (const std::string& l : recorded) {
      int a = 0, b = 0, c = 0, d = 0, h = 0;
      unsigned rgb = 0;
      if (std::sscanf(l.c_str(), "line %d,%d -> %d,%d", &a, &b, &c, &d) == 4) {
        lines.push_back({a + 0.5, b + 0.5, c + 0.5, d + 0.5});
      } else if (std::sscanf(l.c_str(), "fill %d,%d,%d,%d #%x", &a, &b, &c, &d, &rgb) == 5) {
        fills.push_back({double(a), double(b), double(c), double(d), rgb});
      } else if (l.rfind("text ", 0) == 0 && std::sscanf(l.c_str(), "text %d,%d", &a, &b) == 2) {
        const size_t q0 = l.find('"'), q1 = l.find("\" font=");
        const size_t hAt = l.find(" h=");
        if (q0 == std::string::npos || q1 == std::string::npos || hAt == std::string::npos) continue;
        h = std::atoi(l.c_str() + hAt + 3);
        texts.push_back({double(a), double(b + h * 0.8), h * 0.8, l.substr(q0 + 1, q1 - q0 - 1)});
      }
    }
  }

  void Draw(cairo_t* cr) const {
    for (const Fill& f : fills) {
      cairo_set_source_rgb(cr, (f.rgb >> 16) / 255.0, ((f.rgb >> 8) & 0xFF) / 255.0, (f.rgb & 0xFF) / 255.0);
      cairo_rectangle(cr, f.l, f.t, f.r - f.l, f.b - f.t);
      cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    for (const Line& l : lines) {
      cairo_move_to(cr, l.x0, l.y0);
      cairo_line_to(cr, l.x1, l.y1);
    }
    cairo_stroke(cr);
    cairo_select_font_face(cr, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    for (const Text& t : texts) {
      cairo_set_font_size(cr, t.size);
      cairo_move_to(cr, t.x, t.y);
      cairo_show_text(cr, t.text.c_str());
    }
  }
};

// Pages of plain cairo PDF, each the given page, at 300 dpi on A4; answers the seconds.
double PlainPdfSeconds(const PlainPage& page, UINT pages, const std::string& output) {
  const auto start = std::chrono::steady_clock::now();
  cairo_surface_t* pdf = cairo_pdf_surface_create(output.c_str(), 2100 / 25.4 * 72 / 10, 2970 / 25.4 * 72 / 10);
  cairo_t* cr = cairo_create(pdf);
  cairo_scale(cr, 72.0 / 300, 72.0 / 300);
  for (UINT i = 0; i < pages; ++i) {
    page.Draw(cr);
    cairo_show_page(cr);
  }
  cairo_destroy(cr);
  cairo_surface_finish(pdf);
  cairo_surface_destroy(pdf);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The whole job, 1,000 rows by 30 columns on A4 at 300 dpi (76 pages), and in the same run as many pages of
// plain cairo PDF drawing the texts, lines and fills of the grid's first page: "page_ratio" is a grid page's time
// over a plain page's (the goal: 10 at most).
void BM_PrintGridToPdf(benchmark::State& state) {
  featurebench::Setup();
  auto g = BigGrid(1000);
  const std::string out = Scratch("grid.pdf").string(), plainOut = Scratch("plain.pdf").string();
  std::vector<std::vector<std::string>> recorded;
  if (!PrintAll(g.get(), "Recording", out, &recorded) || recorded.empty()) {
    state.SkipWithError("recording failed");
    return;
  }
  const PlainPage plain(recorded.front());
  UINT pages = 0;
  double gridSeconds = 0, plainSeconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    pages = PrintAll(g.get(), "PDF", out);
    gridSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!pages) state.SkipWithError("printing failed");
    state.PauseTiming();
    plainSeconds += PlainPdfSeconds(plain, pages, plainOut);
    state.ResumeTiming();
  }
  state.counters["pages"] = pages;
  state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["grid_page_ms"] = 1000 * gridSeconds / (static_cast<double>(pages) * state.iterations());
  state.counters["plain_page_ms"] = 1000 * plainSeconds / (static_cast<double>(pages) * state.iterations());
  state.counters["page_ratio"] = gridSeconds / plainSeconds;
  state.counters["pdf_kb_per_page"] = static_cast<double>(std::filesystem::file_size(out)) / 1024 / pages;
  state.counters["texts"] = static_cast<double>(plain.texts.size());
  state.counters["lines"] = static_cast<double>(plain.lines.size());
  state.counters["fills"] = static_cast<double>(plain.fills.size());
  std::filesystem::remove(out);
  std::filesystem::remove(plainOut);
  g->DestroyWindow();
}
BENCHMARK(BM_PrintGridToPdf)->Unit(benchmark::kSecond)->Iterations(1);

// The pagination alone (the begin step) of the same grid.
void BM_PaginateGrid(benchmark::State& state) {
  featurebench::Setup();
  auto g = BigGrid();
  HDC hdc = ::CreateDC(nullptr, "PDF", nullptr, nullptr);
  CDC dc;
  dc.Attach(hdc);
  UINT pages = 0;
  for (auto _ : state) {
    CPrintInfo info;
    g->PrintForward0([&] {
      GXForwardArgs a;
      a.v[0] = reinterpret_cast<DWORD_PTR>(&dc);
      a.v[1] = reinterpret_cast<DWORD_PTR>(&info);
      return a;
    }());
    pages = info.GetMaxPage();
  }
  state.counters["pages"] = pages;
  dc.Detach();
  ::DeleteDC(hdc);
  g->DestroyWindow();
}
BENCHMARK(BM_PaginateGrid)->Unit(benchmark::kMillisecond);

// 100 styles written to the application's INI profile: each writer call is one batch, one file rewrite.
void BM_WriteStylesToIniProfile(benchmark::State& state) {
  featurebench::Setup();
  InstallProfileImp();
  static CWinApp app("PrintBench");
  const std::string path = Scratch("profile.ini").string();
  app.m_pszProfileName = path.c_str();
  plat::SetCurrentApp(&app);
  CGXStylesMap map;
  map.CreateStandardStyles();
  CGXStyle style;
  style.SetValue("value").SetTextColor(RGB(1, 2, 3)).SetFont(CGXFont().SetFaceName("Arial").SetBold(TRUE));
  style.SetHorizontalAlignment(DT_RIGHT).SetInterior(CGXInteriorBrush().SetColor(RGB(200, 220, 240))).SetMaxLength(12);
  int round = 0;
  for (auto _ : state) {
    // A new value every round, so that every call changes the file.
    style.SetValue(("value " + std::to_string(++round)).c_str());
    for (int i = 0; i < 100; ++i) style.WriteProfile(("Style" + std::to_string(i)).c_str(), &map);
  }
  state.counters["styles/s"] = benchmark::Counter(100.0 * state.iterations(), benchmark::Counter::kIsRate);
  plat::SetCurrentApp(nullptr);
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteStylesToIniProfile)->Unit(benchmark::kMillisecond);

// A styles map of 100 styles in one writer call (one rewrite).
void BM_WriteStylesMapToIniProfile(benchmark::State& state) {
  featurebench::Setup();
  InstallProfileImp();
  static CWinApp app("PrintBenchMap");
  const std::string path = Scratch("map.ini").string();
  app.m_pszProfileName = path.c_str();
  plat::SetCurrentApp(&app);
  CGXStylesMap map;
  map.CreateStandardStyles();
  for (int i = 0; i < 100; ++i)
    map.RegisterStyle(("Style" + std::to_string(i)).c_str(), CGXStyle().SetValue("value").SetMaxLength(i + 1));
  CGXStyle* standard = nullptr;
  map.LookupStyle(map.GetStandardStyle(), standard);
  int round = 0;
  for (auto _ : state) {
    standard->SetMaxLength(++round);  // every call changes the file
    map.WriteProfile();
  }
  plat::SetCurrentApp(nullptr);
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteStylesMapToIniProfile)->Unit(benchmark::kMillisecond);

}  // namespace

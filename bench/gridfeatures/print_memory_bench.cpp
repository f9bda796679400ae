// What a print leaves in memory: a grid of six columns (a sheet's pasted rows) printed to the PDF printer as the
// print command prints it, with the process's resident memory before the print, at its last page and after it,
// for prints of 100 and 1,000 pages.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/gridfeatures/featurebench.h"
#include "grid/features/CGXPrintImp.h"
#include "platform/base/tests/TempDir.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/gdi/CDC.h"

namespace {

std::unique_ptr<CGXGridWnd> SheetRows(ROWCOL rows) {
  auto g = gridbench::OpenGrid(640, 480, rows, 6);
  for (ROWCOL r = 1; r <= rows; ++r) {
    const std::string n = std::to_string(r);
    g->SetCellValue(r, 1, ("Item " + n).c_str(), 0);
    g->SetCellValue(r, 2, n.c_str(), 0);
    g->SetCellValue(r, 3, "12.5", 0);
    g->SetCellValue(r, 4, (n + ".25").c_str(), 0);
    g->SetCellValue(r, 5, "Supplier", 0);
    g->SetCellValue(r, 6, "2024-06-15", 0);
  }
  return g;
}

CPrintSteps PdfSteps(CGXGridCore* g, const std::string& output) {
  CPrintSteps steps = GXGridPrintSteps(g, TRUE, "Memory", output.c_str());
  steps.prepare = [](CPrintInfo* info) -> BOOL {
    info->m_pPD->m_pd.hDC = ::CreateDC(nullptr, "PDF", nullptr, nullptr);
    return info->m_pPD->m_pd.hDC != nullptr;
  };
  return steps;
}

// The page count of a grid of `rows` rows.
UINT Paginate(CGXGridCore* g, ROWCOL rows) {
  HDC hdc = ::CreateDC(nullptr, "PDF", nullptr, nullptr);
  CDC dc;
  dc.Attach(hdc);
  CPrintInfo info;
  GXForwardArgs a;
  a.v[0] = reinterpret_cast<DWORD_PTR>(&dc);
  a.v[1] = reinterpret_cast<DWORD_PTR>(&info);
  g->PrintForward0(a);
  dc.Detach();
  ::DeleteDC(hdc);
  return rows ? info.GetMaxPage() : 0;
}

void BM_MemoryAfterPrint(benchmark::State& state) {
  featurebench::Setup();
  const UINT wanted = static_cast<UINT>(state.range(0));
  ROWCOL rowsPerPage = 0;
  {
    auto probe = SheetRows(1000);
    probe->InstallPrintImp();
    rowsPerPage = 1000 / std::max(1u, Paginate(probe.get(), 1000) - 1);
    probe->DestroyWindow();
  }
  auto g = SheetRows(wanted * rowsPerPage);
  g->InstallPrintImp();
  const TempDir temp("brim-print-memory");
  const std::string out = temp / "sheet.pdf";
  double before = 0, lastPage = 0, after = 0;
  UINT pages = 0;
  for (auto _ : state) {
    before = gridbench::ResidentMb();
    CPrintSteps steps = PdfSteps(g.get(), out);
    auto print = steps.print;
    steps.print = [&](CDC* dc, CPrintInfo* info) {
      print(dc, info);
      if (info->m_nCurPage == info->GetMaxPage()) lastPage = gridbench::ResidentMb();
    };
    {
      CPrintInfo info;
      info.m_bDirect = TRUE;
      if (!AfxRunPrintLoop(steps, info)) state.SkipWithError("printing failed");
      pages = info.GetMaxPage();
    }
    after = gridbench::ResidentMb();
  }
  state.counters["pages"] = pages;
  state.counters["rss_before_mb"] = before;
  state.counters["rss_last_page_mb"] = lastPage;
  state.counters["rss_after_mb"] = after;
  state.counters["held_kb_per_page"] = (after - before) * 1024 / std::max(1u, pages);
  state.counters["pdf_mb"] = static_cast<double>(std::filesystem::file_size(out)) / (1024.0 * 1024.0);
  g->DestroyWindow();
}
BENCHMARK(BM_MemoryAfterPrint)->Arg(100)->Arg(1000)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

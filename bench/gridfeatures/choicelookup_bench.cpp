// A text looked up among the choices of a cell's list through the cell's control (FindChoiceListItem), as every
// door into a list cell looks it up, for lists of 2 to 1,024 lines: a line named in its own case, in another case,
// and by its beginning (which names no whole line: every line is compared). The lines are those of
// choicelines_bench, in no order, each named in turn. A list shorter than the indexed ones is walked, a longer one
// searched through its index; the counter per_lookup is the time per lookup, which must not jump where the two
// meet.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/gridfeatures/featurebench.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/core/CGXGridWnd.h"

namespace {

enum Named { kOwnCase, kOtherCase, kBeginning };

// Args: the lines of the list, and how a line is named (Named).
void BM_FindChoiceListItem(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  const auto named = static_cast<Named>(state.range(1));
  std::string list;
  std::vector<CString> texts;
  for (int i = 0; i < lines; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "Choice %04d", (i * 7919) % 10007);
    list += line;
    list += '\n';
    std::string text = line;
    if (named == kOtherCase)
      for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (named == kBeginning) text.pop_back();
    texts.emplace_back(text.c_str());
  }
  featurebench::Setup();
  auto g = gridbench::OpenGrid(400, 300, 4, 2);
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList(list.c_str());
  const CGXControl* control = g->ControlForId(GX_IDS_CTRL_CBS_DROPDOWNLIST);
  CString found;
  size_t next = 0;
  for (auto _ : state) {
    const CString& text = texts[next];
    const int at = control->FindChoiceListItem(found, text, style, named != kBeginning);
    const bool right = named == kBeginning ? at >= 0 && found.Left(text.GetLength()).CompareNoCase(text) == 0
                                           : at == static_cast<int>(next);
    if (!right) {
      state.SkipWithError("a text found another line than the one it names");
      break;
    }
    next = (next + 1) % texts.size();
  }
  state.counters["per_lookup"] =
      benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  g->DestroyWindow();
}
BENCHMARK(BM_FindChoiceListItem)
    ->ArgsProduct({{2, 8, 16, 24, 31, 32, 48, 64, 128, 1024}, {kOwnCase, kOtherCase, kBeginning}});

}  // namespace

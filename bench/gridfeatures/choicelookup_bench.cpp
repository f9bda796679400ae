// A text looked up among the choices of a cell's list through the cell's control (FindChoiceListItem), as every
// door into a list cell looks it up, for lists of 2 to 1,024 lines: a line named in its own case, in another case,
// and by its beginning (which names no whole line: every line is compared). The lines are those of
// choicelines_bench, in no order, each named in turn. A list shorter than the indexed ones is walked, a longer one
// searched through its index (made after its first few lookups); the counter per_lookup is the time per lookup, which must not jump where the two
// meet.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdint>
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
const std::vector<int64_t> kLengths = {2, 3, 4, 6, 8, 16, 24, 31, 32, 48, 64, 128, 1024};
BENCHMARK(BM_FindChoiceListItem)->ArgsProduct({kLengths, {kOwnCase, kOtherCase, kBeginning}});
// The same lookups a fixed number of times, each line named equally often at every length (3 * 31 * 1,024 is a
// multiple of each), for a count of instructions that does not drift with the machine's load:
//   valgrind --tool=callgrind --toggle-collect='CGXControl::FindChoiceListItem*'
//     gridfeatures_choicelookup_bench --benchmark_filter=Counted/1024/1
// counts the lookups alone (divide by the 95,232 calls).
BENCHMARK(BM_FindChoiceListItem)
    ->Name("BM_FindChoiceListItem/Counted")
    ->ArgsProduct({kLengths, {kOwnCase, kOtherCase, kBeginning}})
    ->Iterations(3 * 31 * 1024);

}  // namespace

// A text looked up among the lines of a choice list walked and through the list's index, for lists of 2 to 1,024
// lines, and the making of that index: where a search of the index begins to beat a walk is where a list is
// worth an index (GXChoiceLines::kIndexedLines). Each lookup names a line in another case than the line's own, the
// lines named in turn spread over the list. The counter per_lookup is the time per lookup, and index_per_text the
// memory an index takes for a byte of its list's text: an index holds its text folded once more, and its lines'
// places and order, so no more than the text and kIndexPerLine bytes a line, and kIndexFixed bytes besides.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "grid/controls/GXChoiceLines.h"

namespace {

// The memory held through operator new, as the heap counts it.
std::atomic<size_t> g_held{0};

}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  g_held += malloc_usable_size(p);
  return p;
}
void operator delete(void* p) noexcept {
  if (p) g_held -= malloc_usable_size(p);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

// A list of `n` lines in no order ("Choice 0003" ... in a scattered order) and the texts naming each.
struct Listed {
  std::string list;
  std::vector<std::string> texts;
};
Listed MakeList(int n) {
  Listed made;
  for (int i = 0; i < n; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "Choice %04d", (i * 7919) % 10007);
    made.list += line;
    made.list += '\n';
    std::string text = line;
    for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    made.texts.push_back(text);
  }
  return made;
}

// Args: the lines, and 1 to look up through an index (0: walked).
void BM_FindInChoiceLines(benchmark::State& state) {
  const Listed made = MakeList(static_cast<int>(state.range(0)));
  const auto index = state.range(1) ? GXChoiceLines::MakeIndex(made.list) : nullptr;
  const GXChoiceLines lines(made.list, index.get());
  size_t next = 0;
  for (auto _ : state) {
    const size_t n = next;
    next = (next + 1) % made.texts.size();
    const int found = lines.Find(made.texts[n], false);
    if (found != static_cast<int>(n)) {
      state.SkipWithError("a text found another line than the one it names");
      break;
    }
    benchmark::DoNotOptimize(found);
  }
  state.counters["per_lookup"] =
      benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FindInChoiceLines)->ArgsProduct({{2, 4, 8, 16, 32, 64, 128, 1024}, {0, 1}});

// What an index may take beyond a copy of its text: two 4-byte places a line and its tree of block minimums
// (half a byte a line), with the heap's rounding; and the index itself, its padding and the heap's own words.
constexpr size_t kIndexPerLine = 9, kIndexFixed = 128;

// Arg: the lines. Each iteration makes the index of the list.
void BM_IndexChoiceLines(benchmark::State& state) {
  const Listed made = MakeList(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(GXChoiceLines::MakeIndex(made.list));
  const size_t before = g_held;
  const auto index = GXChoiceLines::MakeIndex(made.list);
  const size_t held = g_held - before;
  state.counters["index_per_text"] = static_cast<double>(held) / static_cast<double>(made.list.size());
  state.counters["index_bytes"] = static_cast<double>(held);
  if (held > made.list.size() + kIndexPerLine * made.texts.size() + kIndexFixed)
    state.SkipWithError("an index takes more memory than a copy of its text and its lines' places");
}
BENCHMARK(BM_IndexChoiceLines)->Arg(8)->Arg(32)->Arg(128)->Arg(1024);

}  // namespace

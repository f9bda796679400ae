// Standard controls under load: a list box of 100,000 items (sorted adding, searching) and a multi-line
// word-wrapping edit holding 1 MB of text (typing at the end, select-all, replacing everything).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/controls/BenchHost.h"
#include "platform/controls/winctrl.h"
#include "platform/window/Pump.h"

namespace {

constexpr int kItems = 100000;

std::vector<std::string> RandomWords(int n) {
  std::mt19937 rng(42);
  std::vector<std::string> out;
  out.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    std::string w;
    const int len = 4 + static_cast<int>(rng() % 12);
    for (int k = 0; k < len; ++k) w += static_cast<char>('a' + rng() % 26);
    out.push_back(std::move(w));
  }
  return out;
}

HWND Host() { return BenchHost(); }

HWND List(HWND host, DWORD style) {
  HWND list =
      CreateWindowEx(0, "LISTBOX", "", WS_CHILD | WS_VSCROLL | style, 0, 0, 300, 400, host, nullptr, nullptr, nullptr);
  if (!list) std::abort();
  return list;
}

void BM_ListBoxAddSorted100k(benchmark::State& state) {
  const auto words = RandomWords(kItems);
  for (auto _ : state) {
    state.PauseTiming();
    HWND list = List(Host(), LBS_SORT);
    state.ResumeTiming();
    for (const auto& w : words) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    benchmark::DoNotOptimize(SendMessage(list, LB_GETCOUNT, 0, 0));
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_ListBoxAddSorted100k)->Unit(benchmark::kMillisecond);

void BM_ListBoxAddUnsorted100k(benchmark::State& state) {
  const auto words = RandomWords(kItems);
  for (auto _ : state) {
    state.PauseTiming();
    HWND list = List(Host(), 0);
    state.ResumeTiming();
    for (const auto& w : words) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_ListBoxAddUnsorted100k)->Unit(benchmark::kMillisecond);

void BM_ListBoxFind100k(benchmark::State& state) {
  const auto words = RandomWords(kItems);
  HWND list = List(Host(), LBS_SORT);
  for (const auto& w : words) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  // Worst cases: a prefix matching nothing walks every item; an exact text found near the end.
  const std::string missing = "zzzzzzzzzzzzzzzzz";
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        SendMessage(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(missing.c_str())));
    benchmark::DoNotOptimize(
        SendMessage(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(words.back().c_str())));
    benchmark::DoNotOptimize(SendMessage(list, LB_SELECTSTRING, 0, reinterpret_cast<LPARAM>("zz")));
  }
}
BENCHMARK(BM_ListBoxFind100k)->Unit(benchmark::kMillisecond);

std::string Megabyte() {
  std::string text;
  text.reserve(1 << 20);
  const auto words = RandomWords(4000);
  size_t i = 0, line = 0;
  while (text.size() < (1u << 20)) {
    text += words[i++ % words.size()];
    if (++line % 12 == 0)
      text += "\r\n";
    else
      text += ' ';
  }
  return text;
}

HWND BigEdit(HWND host, const std::string& text) {
  HWND e = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 600, 400, host,
                          nullptr, nullptr, nullptr);
  if (!e) std::abort();
  SendMessage(e, EM_LIMITTEXT, 0, 0);
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return e;
}

void BM_Edit1MBSetText(benchmark::State& state) {
  const std::string text = Megabyte();
  HWND e = BigEdit(Host(), "");
  for (auto _ : state) SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Edit1MBSetText)->Unit(benchmark::kMillisecond);

void BM_Edit1MBTypeAtEnd(benchmark::State& state) {
  const std::string text = Megabyte();
  HWND e = BigEdit(Host(), text);
  SendMessage(e, EM_SETSEL, text.size(), text.size());
  const char typed[] = "typing at the end of a megabyte ";
  size_t k = 0;
  for (auto _ : state)
    SendMessage(e, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(typed[k++ % (sizeof(typed) - 1)])), 1);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Edit1MBTypeAtEnd)->Unit(benchmark::kMicrosecond);

void BM_Edit1MBSelectAll(benchmark::State& state) {
  HWND e = BigEdit(Host(), Megabyte());
  for (auto _ : state) {
    SendMessage(e, EM_SETSEL, 0, -1);
    SendMessage(e, EM_SETSEL, 0, 0);
  }
}
BENCHMARK(BM_Edit1MBSelectAll)->Unit(benchmark::kMicrosecond);

void BM_Edit1MBReplaceAll(benchmark::State& state) {
  const std::string text = Megabyte();
  HWND e = BigEdit(Host(), text);
  for (auto _ : state) {
    SendMessage(e, EM_SETSEL, 0, -1);
    SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Edit1MBReplaceAll)->Unit(benchmark::kMillisecond);

}  // namespace

// A keystroke at the end of a long text, in each kind of text control: one character typed at the end of a
// 1,000 and of a 100,000 character line (then taken back with Backspace, so the length stays), each followed
// by the repaint the user sees. Both lengths are timed in the same run; `ratio` is the 100,000 character
// keystroke's time over the 1,000 one's (goal: within 2). The paste puts 100,000 characters into an empty
// control at once; `per_char_ratio` compares its cost per character with a 1,000 character paste's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/controls/BenchHost.h"
#include "platform/base/GlobalMemory.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/winctrl.h"
#include "platform/window/Pump.h"

namespace {

HWND Host() { return BenchHost(WS_POPUP | WS_VISIBLE); }

// Words and spaces, like a list of nets or a long path.
std::string Words(size_t n) {
  static const char* const kWords[] = {"VCC_CORE", "GND", "net_0042", "DDR_VTT", "C:\\boards\\demo8", "VDDQ", "x"};
  std::string out;
  for (size_t i = 0; out.size() < n; ++i) {
    out += kWords[i % 7];
    out += ' ';
  }
  out.resize(n);
  return out;
}

enum Kind { kSingleLine, kMultiLineScrolling, kMultiLineWrapping, kRich };

HWND Control(HWND host, Kind kind) {
  const char* cls = kind == kRich ? RICHEDIT_CLASS : "EDIT";
  DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  if (kind == kMultiLineScrolling) style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL;
  if (kind == kMultiLineWrapping) style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
  if (kind == kRich) style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL;
  // Low enough that 1,000 characters fill the view too: both lengths repaint the same number of lines.
  const int height = kind == kSingleLine ? 24 : 150;
  HWND e = CreateWindowEx(0, cls, "", style, 10, 10, 500, height, host, nullptr, nullptr, nullptr);
  if (!e) std::abort();
  SendMessage(e, kind == kRich ? EM_EXLIMITTEXT : EM_LIMITTEXT, 0, kind == kRich ? (1 << 24) : 0);
  SetFocus(e);
  return e;
}

HWND Filled(HWND host, Kind kind, const std::string& text) {
  HWND e = Control(host, kind);
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  const auto end = static_cast<WPARAM>(text.size());
  SendMessage(e, EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessage(e, EM_SCROLLCARET, 0, 0);
  UpdateWindow(e);
  return e;
}

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// One character typed and taken back, with the repaint after each.
void Keystroke(HWND e, char c) {
  SendMessage(e, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
  UpdateWindow(e);
  SendMessage(e, WM_CHAR, VK_BACK, 1);
  UpdateWindow(e);
}

void BM_KeystrokeAtEnd(benchmark::State& state) {
  const auto kind = static_cast<Kind>(state.range(0));
  HWND host = Host();
  HWND shortText = Filled(host, kind, Words(1000));
  HWND longText = Filled(host, kind, Words(100000));
  double shortSeconds = 0, longSeconds = 0;
  int k = 0;
  for (auto _ : state) {
    const char c = static_cast<char>('a' + k++ % 26);
    const double t0 = Seconds();
    Keystroke(shortText, c);
    const double t1 = Seconds();
    Keystroke(longText, c);
    longSeconds += Seconds() - t1;
    shortSeconds += t1 - t0;
  }
  if (GetWindowTextLength(longText) != 100000) state.SkipWithError("the text did not keep its length");
  const double n = static_cast<double>(state.iterations());
  state.counters["us_1k"] = shortSeconds / n * 1e6;
  state.counters["us_100k"] = longSeconds / n * 1e6;
  state.counters["ratio"] = longSeconds / shortSeconds;
}
BENCHMARK(BM_KeystrokeAtEnd)
    ->ArgName("kind")
    ->Arg(kSingleLine)
    ->Arg(kMultiLineScrolling)
    ->Arg(kMultiLineWrapping)
    ->Arg(kRich)
    ->Unit(benchmark::kMicrosecond);

void PutOnClipboard(HWND owner, const std::string& text) {
  OpenClipboard(owner);
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

double PasteSeconds(HWND host, Kind kind, const std::string& text) {
  HWND e = Control(host, kind);
  UpdateWindow(e);
  PutOnClipboard(host, text);
  const double t0 = Seconds();
  SendMessage(e, WM_CHAR, 0x16, 1);  // Ctrl+V
  UpdateWindow(e);
  const double seconds = Seconds() - t0;
  if (GetWindowTextLength(e) != static_cast<int>(text.size())) std::abort();
  DestroyWindow(e);
  return seconds;
}

void BM_Paste100k(benchmark::State& state) {
  const auto kind = static_cast<Kind>(state.range(0));
  HWND host = Host();
  const std::string small = Words(1000), large = Words(100000);
  double smallSeconds = 0, largeSeconds = 0;
  for (auto _ : state) {
    smallSeconds += PasteSeconds(host, kind, small);
    largeSeconds += PasteSeconds(host, kind, large);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ms_100k"] = largeSeconds / n * 1e3;
  state.counters["per_char_ratio"] = (largeSeconds / 100.0) / smallSeconds;
}
BENCHMARK(BM_Paste100k)
    ->ArgName("kind")
    ->Arg(kSingleLine)
    ->Arg(kMultiLineScrolling)
    ->Arg(kMultiLineWrapping)
    ->Arg(kRich)
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The rich edit window under load: reading and writing a 1 MB RTF document, and typing 10,000 characters at
// the end of a 100 KB document with resize requests on (every height change notifies the parent).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "bench/controls/BenchHost.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/winctrl.h"
#include "platform/window/Pump.h"

namespace {

// An RTF document of about `bytes` bytes: paragraphs of words, some bold, italic or coloured, two fonts.
std::string Document(size_t bytes) {
  std::mt19937 rng(5);
  std::string out =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
      "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green0\\blue160;}\n";
  while (out.size() < bytes) {
    out += (rng() % 4 == 0) ? "\\pard\\qc " : "\\pard ";
    for (int w = 0; w < 14; ++w) {
      const unsigned r = rng() % 12;
      if (r == 0) out += "{\\b bold} ";
      else if (r == 1) out += "{\\i\\f1 italic} ";
      else if (r == 2) out += "{\\cf1 red} ";
      else {
        for (int k = 3 + static_cast<int>(rng() % 6); k > 0; --k) out += static_cast<char>('a' + rng() % 26);
        out += ' ';
      }
    }
    out += "\\par\n";
  }
  return out + "}";
}

HWND Rich() {
  HWND host = BenchHost();
  HWND rich = CreateWindowEx(0, RICHEDIT_CLASS, "", WS_CHILD | ES_MULTILINE, 0, 0, 600, 400, host, nullptr, nullptr,
                             nullptr);
  if (!rich) std::abort();
  return rich;
}

void StreamIn(HWND h, const std::string& rtf) { plat::controls::StreamInBytes(h, rtf, SF_RTF); }

void BM_RichReadRtf1MB(benchmark::State& state) {
  const std::string doc = Document(1 << 20);
  HWND h = Rich();
  for (auto _ : state) StreamIn(h, doc);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(doc.size()));
}
BENCHMARK(BM_RichReadRtf1MB)->Unit(benchmark::kMillisecond);

void BM_RichWriteRtf1MB(benchmark::State& state) {
  const std::string doc = Document(1 << 20);
  HWND h = Rich();
  StreamIn(h, doc);
  for (auto _ : state) {
    const std::string out = plat::controls::StreamOutBytes(h, SF_RTF);
    benchmark::DoNotOptimize(out.size());
  }
}
BENCHMARK(BM_RichWriteRtf1MB)->Unit(benchmark::kMillisecond);

void BM_RichType10kAtEndOf100KB(benchmark::State& state) {
  const std::string doc = Document(100 << 10);
  for (auto _ : state) {
    state.PauseTiming();
    HWND h = Rich();
    StreamIn(h, doc);
    SendMessage(h, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE | ENM_CHANGE);
    CHARRANGE end{-1, -1};
    end.cpMin = end.cpMax = static_cast<LONG>(GetWindowTextLength(h));
    SendMessage(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    SendMessage(h, EM_EXLIMITTEXT, 0, 1 << 24);
    state.ResumeTiming();
    for (int i = 0; i < 10000; ++i) SendMessage(h, WM_CHAR, (i % 61 == 60) ? '\r' : 'a' + i % 26, 1);
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_RichType10kAtEndOf100KB)->Unit(benchmark::kMillisecond);

}  // namespace


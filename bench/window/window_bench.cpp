// Window-system throughput: SendMessage and Post/Peek/Dispatch round trips, and a full 1920x1080 repaint
// through InvalidateRect, WM_ERASEBKGND and WM_PAINT.
#include <benchmark/benchmark.h>

#include "platform/display/Desktop.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/Pump.h"
#include "platform/window/windowapi.h"

namespace {

LRESULT CountingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) return static_cast<LRESULT>(w + 1);
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    HBRUSH b = CreateSolidBrush(RGB(40, 90, 160));
    FillRect(dc, &ps.rcPaint, b);
    DeleteObject(b);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

HWND MakeWindow(int width, int height) {
  plat::ResetWindowSystem();
  plat::Desktop::Configure(width, height);
  WNDCLASS wc{};
  wc.lpfnWndProc = CountingProc;
  wc.lpszClassName = "BenchWnd";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(5 + 1));  // COLOR_WINDOW + 1
  RegisterClass(&wc);
  HWND h = CreateWindowEx(0, "BenchWnd", "bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                          nullptr, nullptr);
  plat::RunUntilIdle();
  return h;
}

void BM_SendMessage(benchmark::State& state) {
  HWND h = MakeWindow(200, 100);
  WPARAM n = 0;
  for (auto _ : state) benchmark::DoNotOptimize(n = static_cast<WPARAM>(SendMessage(h, WM_USER, n, 0)));
  state.SetItemsProcessed(state.iterations());
  plat::ResetWindowSystem();
}
BENCHMARK(BM_SendMessage);

void BM_PostPeekDispatch(benchmark::State& state) {
  HWND h = MakeWindow(200, 100);
  MSG msg;
  for (auto _ : state) {
    PostMessage(h, WM_USER, 1, 0);
    PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
    benchmark::DoNotOptimize(DispatchMessage(&msg));
  }
  state.SetItemsProcessed(state.iterations());
  plat::ResetWindowSystem();
}
BENCHMARK(BM_PostPeekDispatch);

void BM_FullRepaint1920x1080(benchmark::State& state) {
  HWND h = MakeWindow(1920, 1080);
  for (auto _ : state) {
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * 1920LL * 1080 * 4);
  plat::ResetWindowSystem();
}
BENCHMARK(BM_FullRepaint1920x1080)->Unit(benchmark::kMillisecond);

void BM_ScrollOneRow1920x1080(benchmark::State& state) {
  HWND h = MakeWindow(1920, 1080);
  for (auto _ : state) {
    // One 20-pixel row up, the strip repainted at once: what a grid does per arrow key at the bottom.
    ScrollWindowEx(h, 0, -20, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    UpdateWindow(h);
  }
  state.SetItemsProcessed(state.iterations());
  plat::ResetWindowSystem();
}
BENCHMARK(BM_ScrollOneRow1920x1080)->Unit(benchmark::kMicrosecond);

}  // namespace

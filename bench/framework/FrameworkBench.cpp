// Class-library dispatch costs: a message through a three-level message map to its last entry, a command
// routed by id range, and the dialog manager's Tab step across a dialog of forty controls.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/framework/CWnd.h"
#include "platform/framework/DialogManager.h"
#include "platform/window/Pump.h"

namespace {

void RegisterPlain() {
  WNDCLASS wc{};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "BenchPlain";
  RegisterClass(&wc);
}

int g_hits = 0;

class CLevel1 : public CWnd {
 public:
  afx_msg LRESULT OnA(WPARAM, LPARAM) { return ++g_hits; }
  afx_msg LRESULT OnB(WPARAM, LPARAM) { return ++g_hits; }
  afx_msg void OnRange(UINT) { ++g_hits; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLevel1, CWnd)
  ON_MESSAGE(WM_USER + 1, OnA)
  ON_MESSAGE(WM_USER + 2, OnB)
  ON_COMMAND_RANGE(5000, 5999, OnRange)
END_MESSAGE_MAP()

class CLevel2 : public CLevel1 {
 public:
  afx_msg LRESULT OnC(WPARAM, LPARAM) { return ++g_hits; }
  afx_msg void OnSize(UINT, int, int) { ++g_hits; }
  afx_msg void OnTimer(UINT_PTR) { ++g_hits; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLevel2, CLevel1)
  ON_MESSAGE(WM_USER + 3, OnC)
  ON_WM_SIZE()
  ON_WM_TIMER()
END_MESSAGE_MAP()

class CLevel3 : public CLevel2 {
 public:
  afx_msg void OnMouseMove(UINT, CPoint) { ++g_hits; }
  afx_msg void OnKeyDown(UINT, UINT, UINT) { ++g_hits; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLevel3, CLevel2)
  ON_WM_MOUSEMOVE()
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

void BM_MessageToDeepestBaseEntry(benchmark::State& state) {
  plat::ResetWindowSystem();
  RegisterPlain();
  CLevel3 wnd;
  wnd.CreateEx(0, "BenchPlain", "w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(wnd.SendMessage(WM_USER + 2, 1, 2));
  wnd.DestroyWindow();
}
BENCHMARK(BM_MessageToDeepestBaseEntry);

void BM_CommandByIdRange(benchmark::State& state) {
  plat::ResetWindowSystem();
  RegisterPlain();
  CLevel3 wnd;
  wnd.CreateEx(0, "BenchPlain", "w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(wnd.SendMessage(WM_COMMAND, MAKEWPARAM(5500, 0), 0));
  wnd.DestroyWindow();
}
BENCHMARK(BM_CommandByIdRange);

void BM_TabAcrossFortyControls(benchmark::State& state) {
  plat::ResetWindowSystem();
  RegisterPlain();
  static const std::vector<DialogItemTemplate> items = [] {
    std::vector<DialogItemTemplate> v;
    for (short i = 0; i < 40; ++i)
      v.push_back({"BenchPlain", "", 100 + i, WS_VISIBLE | WS_TABSTOP | (i % 5 == 0 ? WS_GROUP : 0u), 0,
                   static_cast<short>(5 + (i % 8) * 30), static_cast<short>(5 + (i / 8) * 16), 25, 12});
    return v;
  }();
  static const DialogTemplate dialog{DS_SETFONT | WS_POPUP | WS_CAPTION, 0, 0, 0, 260, 100, "Bench", "MS Shell Dlg", 8,
                                     items};
  HWND dlg = CreateDialogIndirectParam(nullptr, &dialog, nullptr, nullptr, 0);
  HWND at = GetNextDlgTabItem(dlg, nullptr, FALSE);
  for (auto _ : state) {
    at = GetNextDlgTabItem(dlg, at, FALSE);
    benchmark::DoNotOptimize(at);
  }
  DestroyWindow(dlg);
}
BENCHMARK(BM_TabAcrossFortyControls);

}  // namespace

// Single steps of the model dialogs as users take them, on the 720-capacitor board of the host tests (BOARD_HF
// holds C1..C686, CORE_BULK C687..C706, 14 capacitors belong to no group):
// - "Assign Decoupling-Capacitor Models": opening, Page Down through the expanded BOARD_HF (drawn); its cells are
//   changed through the model editor, measured opening below (no part of this board has a model to switch);
// - "Assign Decoupling-Capacitor Groups": opening, expanding BOARD_HF, Page Down through it, a group renamed by
//   typing into its name cell;
// - the model editor opening on a 9-port Touchstone file (its port count read, the port map listed).
// Each step ends with the windows drawn (the message queue pumped until idle). Neither table sorts (no header
// sort is switched on there).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "bench/models/ModuleWindowsBench.h"
#include "brimstead/HostInterfaces.h"
#include "brimstead/models/capacitors/CCapacitorGrid.h"
#include "brimstead/models/capacitors/CCapacitorModelsDlg.h"
#include "brimstead/models/editor/CModelEditor.h"
#include "brimstead/models/editor/CModelEditorTstone.h"
#include "brimstead/models/groups/CDecouplingGroupsDlg.h"
#include "brimstead/wizards/BrimsteadDlg.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"
#include "host/tests/HostTestBoards.h"
#include "platform/base/tests/TempDir.h"
#include "platform/framework/CWinThread.h"
#include "platform/window/windowapi.h"

namespace {

struct Board720 {
  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board = host::LoadBoardText(host::test::ManyCapacitorsBoard(), "many.json", ledger);
};

Board720& Board() {
  static Board720 board;
  return board;
}

void Pump() { AfxPumpUntilIdle(); }

void Key(HWND window, UINT key) {
  ::SendMessage(window, WM_KEYDOWN, key, 0);
  ::SendMessage(window, WM_KEYUP, key, 0);
  Pump();
}

// ---- Capacitor models dialog --------------------------------------------------------------------------------

void OpenModels(CCapacitorModelsDlg& dialog) {
  dialog.Panel().Attach(CStringArray(), nullptr, nullptr, Board().board.get(), nullptr, nullptr, 0, "");
  brimwiz::CModuleScope scope;
  dialog.Create(CCapacitorModelsDlg::IDD, nullptr);
  dialog.ShowWindow(SW_SHOW);
  Pump();
}

// Times `open` on a new dialog from `make`; `check` looks at the open dialog and the window goes, untimed.
template <class Make, class Open, class Check>
void TimeOpening(benchmark::State& state, Make make, Open open, Check check) {
  modelsbench::StartModuleWindows();
  for (auto _ : state) {
    auto dialog = make();
    open(*dialog);
    state.PauseTiming();
    check(*dialog);
    dialog->DestroyWindow();
    dialog.reset();
    state.ResumeTiming();
  }
}

void BM_ModelsDialogOpen720(benchmark::State& state) {
  TimeOpening(
      state, [] { return std::make_unique<CCapacitorModelsDlg>(); }, OpenModels,
      [&state](CCapacitorModelsDlg& dialog) {
        if (dialog.Panel().Grid()->GetRowCount() != 16) state.SkipWithError("unexpected rows");
      });
}
BENCHMARK(BM_ModelsDialogOpen720)->Unit(benchmark::kMillisecond);

void BM_ModelsDialogPageDown720(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  CCapacitorModelsDlg dialog;
  OpenModels(dialog);
  CCapacitorModelsPanel& panel = dialog.Panel();
  panel.ToggleGroup(1);  // BOARD_HF's 686 members
  CGXGridWnd* grid = panel.Grid();
  grid->MoveCurrentCellTo(1, CCapacitorModelsPanel::ColName);
  Pump();
  const HWND window = grid->GetSafeHwnd();
  for (auto _ : state) {
    Key(window, VK_NEXT);
    state.PauseTiming();
    ROWCOL row = 0, col = 0;
    grid->QueryCurrentCell(&row, &col);
    if (row + 60 > grid->GetRowCount()) {
      grid->MoveCurrentCellTo(1, CCapacitorModelsPanel::ColName);
      Pump();
    }
    state.ResumeTiming();
  }
  if (grid->GetRowCount() < 700) state.SkipWithError("the group did not open");
  dialog.DestroyWindow();
}
BENCHMARK(BM_ModelsDialogPageDown720)->Unit(benchmark::kMillisecond);

// ---- Decoupling groups dialog -------------------------------------------------------------------------------

void OpenGroups(CDecouplingGroupsDlg& dialog) {
  brimwiz::CModuleScope scope;
  dialog.Create(CDecouplingGroupsDlg::IDD, nullptr);
  dialog.ShowWindow(SW_SHOW);
  Pump();
}

void BM_GroupsDialogOpen720(benchmark::State& state) {
  TimeOpening(
      state, [] { return std::make_unique<CDecouplingGroupsDlg>(Board().board.get(), nullptr); }, OpenGroups,
      [&state](CDecouplingGroupsDlg& dialog) {
        if (dialog.GroupsGrid().GetRowCount() != 3) state.SkipWithError("unexpected rows");
      });
}
BENCHMARK(BM_GroupsDialogOpen720)->Unit(benchmark::kMillisecond);

void BM_GroupsDialogExpandAndCollapse720(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  CDecouplingGroupsDlg dialog(Board().board.get(), nullptr);
  OpenGroups(dialog);
  for (auto _ : state) {
    dialog.SetGroupExpanded(2, 1);
    Pump();
    dialog.SetGroupExpanded(2, -1);
    Pump();
  }
  dialog.DestroyWindow();
}
BENCHMARK(BM_GroupsDialogExpandAndCollapse720)->Unit(benchmark::kMillisecond);

void BM_GroupsDialogPageDown720(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  CDecouplingGroupsDlg dialog(Board().board.get(), nullptr);
  OpenGroups(dialog);
  CGroupsGrid& grid = dialog.GroupsGrid();
  dialog.SetGroupExpanded(2, 1);
  grid.MoveCurrentCellTo(2, CGroupsGrid::ColName);
  Pump();
  const HWND window = grid.GetSafeHwnd();
  ROWCOL top = 0;
  for (auto _ : state) {
    Key(window, VK_NEXT);
    state.PauseTiming();
    if (grid.GetTopRow() == top || grid.GetTopRow() + 60 > grid.GetRowCount()) {
      grid.MoveCurrentCellTo(2, CGroupsGrid::ColName);
      Pump();
    }
    top = grid.GetTopRow();
    state.ResumeTiming();
  }
  if (grid.GetRowCount() < 680) state.SkipWithError("the group did not open");
  dialog.DestroyWindow();
}
BENCHMARK(BM_GroupsDialogPageDown720)->Unit(benchmark::kMillisecond);

// A group renamed as users do it: its name cell made current, a new name typed, Enter.
void BM_GroupsDialogRenameAGroup720(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  CDecouplingGroupsDlg dialog(Board().board.get(), nullptr);
  OpenGroups(dialog);
  CGroupsGrid& grid = dialog.GroupsGrid();
  const HWND window = grid.GetSafeHwnd();
  ::SetFocus(window);
  bool other = false;
  for (auto _ : state) {
    grid.MoveCurrentCellTo(2, CGroupsGrid::ColName);
    Pump();
    for (const char ch : std::string(other ? "BOARD_HX" : "BOARD_HF")) ::SendMessage(window, WM_CHAR, ch, 0);
    Pump();
    Key(window, VK_RETURN);
    other = !other;
  }
  if (grid.GetCellValue(2, CGroupsGrid::ColName).Find("BOARD_H") != 0) state.SkipWithError("not renamed");
  dialog.DestroyWindow();
}
BENCHMARK(BM_GroupsDialogRenameAGroup720)->Unit(benchmark::kMillisecond);

// ---- Model editor ---------------------------------------------------------------------------------------------

// The editor of a 9-pin capacitor opening on a 9-port Touchstone file of the test data.
void BM_ModelEditorOpensANinePortTouchstoneFile(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  const TempDir temp("brim_bench_nineport");
  const std::filesystem::path& dir = temp.Path();
  const std::filesystem::path source =
      std::filesystem::path(BRIM_TESTDATA_DIR) / "touchstone" / "HFSS_2019R2_test_multiport.s9p";
  std::error_code error;
  std::filesystem::copy_file(source, dir / "nine.s9p", std::filesystem::copy_options::overwrite_existing, error);
  if (error) {
    state.SkipWithError("no 9-port file in the test data");
    return;
  }
  CStringArray pins, directories;
  for (int i = 1; i <= 9; ++i) pins.Add(CString(std::to_string(i).c_str()));
  directories.Add(CString((dir.string() + "/").c_str()));
  int rows = 0;
  for (auto _ : state) {
    auto editor = std::make_unique<CModelEditor>();
    editor->SetPinNames(pins);
    editor->SetModelDirectories(directories);
    editor->Record().header.kind = HostModelTouchstone;
    editor->Record().touchstone.fileName = "nine.s9p";
    {
      brimwiz::CModuleScope scope;
      editor->Create(CModelEditor::IDD, nullptr);
    }
    editor->ShowWindow(SW_SHOW);
    Pump();
    state.PauseTiming();
    rows = editor->TouchstonePane().m_FileList.GetCurSel() < 0
               ? -1
               : static_cast<int>(editor->TouchstonePane().m_PortMap.GetRowCount());
    editor->DestroyWindow();
    editor.reset();
    state.ResumeTiming();
  }
  if (rows != 9) state.SkipWithError("the file's nine ports are not listed");
}
BENCHMARK(BM_ModelEditorOpensANinePortTouchstoneFile)->Unit(benchmark::kMillisecond);

}  // namespace

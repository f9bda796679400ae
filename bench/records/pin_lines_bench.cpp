// Loading a ".dao" whose probe section names every picked pin or via, one line each, on a board with as many of
// them: what "Use last configuration" and pdnhost --load do. The lines stand in the reverse of the record's own
// order (an order of the user's), so that no line finds its record first in the list. Each kind is loaded at
// 5,000 and at 20,000 lines in the same iteration, each into a fresh record and from the file read afresh (the
// profile cache cleared); the record's setup is not timed.
//
// BM_LoadPinLines/kind:0  decoupling, system mode: "PROBE_00 = <component>.<pin> Enabled AutoReference"
//                 kind:1  decoupling, board mode:  "PROBE_00 = <probe> Enabled"
//                 kind:2  bypass, board mode:      "PROBE_00 = <via> Enabled "TOP" - "L3_SIG""
//                 kind:3  via model, board mode:   "PROBE_00 = <via> Enabled"
//                 kind:4  extractor, list mode:    "SUPPLY_00 = <probe> Enabled", "VIA_00 = <net> (<x>,<y>) Enabled"
// Counters: s_5k and s_20k, the seconds of one load; ratio, the second over the first.
// Goal: linear in the lines, ratio within 5 (4 times the lines).
#include <benchmark/benchmark.h>

#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/FakedSingleBoardSystem.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/tests/WizardSeamTestHook.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"
#include "host/HostProbe.h"
#include "host/HostSystem.h"
#include "platform/base/IniStore.h"
#include "platform/base/tests/TempDir.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

enum Kind { kDecouplingSystem, kDecouplingBoard, kBypass, kViaModel, kExtractorList };

std::string SampleBoard() {
  std::ifstream in(BRIM_SOURCE_DIR "/samples/boards/demo8.json", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The 8-layer sample board with `count` further VDD_CORE pins (components "X<c>" of 100 pins "P<p>", inside the
// VDD_CORE plane) and `count` further signal vias "VX<i>", each at a place of its own.
std::string BoardText(int count) {
  std::string components, vias;
  for (int i = 0; i < count; ++i) {
    const double x = 36.5 + (i % 170) * 0.1, y = 26.5 + (i / 170 % 170) * 0.1;
    if (i % 100 == 0)
      components += (i ? "]}, " : "") + std::string("{\"name\": \"X") + std::to_string(i / 100) +
                    "\", \"part\": \"PROC_BGA100\", \"side\": \"TOP\", \"pins\": [";
    else
      components += ", ";
    components += "{\"name\": \"P" + std::to_string(i % 100) + "\", \"net\": \"VDD_CORE\", \"at\": [" +
                  std::to_string(x) + ", " + std::to_string(y) + "], \"size\": 0.05}";
    vias += "{\"id\": \"VX" + std::to_string(i) + "\", \"net\": \"DDR_DQ0\", \"at\": [" + std::to_string(x - 30) +
            ", " + std::to_string(y) + "], \"size\": 0.05, \"connected\": [\"TOP\", \"L3_SIG\"], \"eligible\": true}, ";
  }
  if (count > 0)
    components += "]}, ";
  std::string text = SampleBoard();
  text.insert(text.find('[', text.find("\"vias\"")) + 1, vias);
  text.insert(text.find('[', text.find("\"components\"")) + 1, components);
  return text;
}

// A board of `count` pins and vias, picked as the kind takes them, and the settings file a record of the kind saved
// on it, its probe lines in the reverse of the record's order.
class Scene {
public:
  Scene(Kind kind, int count)
      : m_Kind(kind), m_Board(host::LoadBoardText(BoardText(count), "pins.json", m_Ledger)), m_OneBoard(m_Board.get()),
        m_Dir("brim_bench_pins") {
    m_System.AddBoard(m_Board.get());
    std::vector<host::HostProbe*> picks;
    for (const auto& probe : m_Board->Probes()) {
      const bool vias = kind == kBypass || kind == kViaModel;
      if (probe->Id().rfind("X", 0) == 0 ? !vias : probe->Id().rfind("VX", 0) == 0 && (vias || kind == kExtractorList))
        picks.push_back(probe.get());
    }
    m_Board->SetPicks(picks);
    CAnalysisData* record = Make();
    Reverse(record);
    m_Lines = Count(record);
    record->Save();
    SetCurrentAnalysisData(nullptr);
  }
  ~Scene() { SetCurrentAnalysisData(nullptr); }

  // Seconds of one load into a fresh record; negative when the record did not take every line.
  double Load() {
    CAnalysisData* record = Make(false);
    plat::IniStore::ClearCache();
    const auto start = std::chrono::steady_clock::now();
    const bool loaded = record->Load(m_SettingsPath.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool whole = loaded && Count(record) == m_Lines && FirstEnabled(record);
    SetCurrentAnalysisData(nullptr);
    return whole ? seconds : -1.0;
  }
  int Lines() const { return m_Lines; }

private:
  // The current record of the scene's kind on its board, listing its picks (a fresh one with `collect` false).
  CAnalysisData* Make(bool collect = true) {
    m_Hook.SetGeometryQuery(&m_Board->GeometryQuery());
    const bool boardMode = m_Kind != kDecouplingSystem && m_Kind != kExtractorList;
    CAnalysisData* record = nullptr;
    switch (m_Kind) {
    case kDecouplingSystem:
    case kDecouplingBoard: record = GetAnalysisDataOfKind<CDecouplingAnalysisData>(); break;
    case kBypass: record = GetAnalysisDataOfKind<CBypassAnalysisData>(); break;
    case kViaModel: record = GetAnalysisDataOfKind<CDiffViaAnalysisData>(); break;
    case kExtractorList: record = GetAnalysisDataOfKind<CModelExtractorAnalysisData>(); break;
    }
    record->m_bBoardMode = boardMode ? 1 : 0;
    record->m_pSystem = boardMode ? static_cast<CHostSystem*>(&m_OneBoard) : &m_System;
    record->SelectBoard(0);
    record->SetProjectPath((m_Dir / "pins.brd").c_str());
    m_SettingsPath = record->m_SettingsPath.GetString();
    if (!collect)
      return record;
    if (m_Kind == kDecouplingSystem) {
      auto* d = static_cast<CDecouplingAnalysisData*>(record);
      d->m_pNet1 = m_Board->FindNet("VDD_CORE");
      d->m_pNet2 = m_Board->FindNet("GND");
      d->CollectProbes();
    }
    if (m_Kind == kExtractorList)
      static_cast<CModelExtractorAnalysisData*>(record)->CollectProbes();
    return record;
  }

  template <class Array>
  static void ReverseEnabled(Array& probes) {
    Array reversed;
    for (int i = probes.GetSize() - 1; i >= 0; --i)
      reversed.Add(probes[i]);
    for (int i = 0; i < reversed.GetSize(); ++i)
      reversed[i].m_bEnabled = 1;
    probes.Copy(reversed);
  }
  void Reverse(CAnalysisData* record) {
    switch (m_Kind) {
    case kDecouplingSystem:
    case kDecouplingBoard: ReverseEnabled(static_cast<CDecouplingAnalysisData*>(record)->m_Probes); break;
    case kBypass: {
      auto& probes = static_cast<CBypassAnalysisData*>(record)->m_Probes;
      for (int i = 0; i < probes.GetSize(); ++i) {
        probes[i].m_FirstLayer = "TOP";
        probes[i].m_SecondLayer = "L3_SIG";
      }
      ReverseEnabled(probes);
      break;
    }
    case kViaModel: ReverseEnabled(static_cast<CDiffViaAnalysisData*>(record)->m_Probes); break;
    case kExtractorList:
      ReverseEnabled(static_cast<CModelExtractorAnalysisData*>(record)->m_SupplyPorts);
      ReverseEnabled(static_cast<CModelExtractorAnalysisData*>(record)->m_ViaPorts);
      break;
    }
  }
  int Count(CAnalysisData* record) const {
    switch (m_Kind) {
    case kDecouplingSystem:
    case kDecouplingBoard: return static_cast<CDecouplingAnalysisData*>(record)->m_Probes.GetSize();
    case kBypass: return static_cast<CBypassAnalysisData*>(record)->m_Probes.GetSize();
    case kViaModel: return static_cast<CDiffViaAnalysisData*>(record)->m_Probes.GetSize();
    case kExtractorList: {
      auto* e = static_cast<CModelExtractorAnalysisData*>(record);
      return e->m_SupplyPorts.GetSize() + e->m_ViaPorts.GetSize();
    }
    }
    return 0;
  }
  // Whether the first line's record came first, enabled as the line says.
  bool FirstEnabled(CAnalysisData* record) const {
    switch (m_Kind) {
    case kDecouplingSystem:
    case kDecouplingBoard: return static_cast<CDecouplingAnalysisData*>(record)->m_Probes[0].m_bEnabled != 0;
    case kBypass: return static_cast<CBypassAnalysisData*>(record)->m_Probes[0].m_bEnabled != 0;
    case kViaModel: return static_cast<CDiffViaAnalysisData*>(record)->m_Probes[0].m_bEnabled != 0;
    case kExtractorList: return static_cast<CModelExtractorAnalysisData*>(record)->m_ViaPorts[0].m_bEnabled != 0;
    }
    return false;
  }

  Kind m_Kind;
  host::HostLedger m_Ledger;
  std::unique_ptr<host::HostBoard> m_Board;
  host::HostSystem m_System{m_Ledger, "Project"};
  CFakedSingleBoardSystem m_OneBoard;
  CWizardSeamTestHook m_Hook;
  const TempDir m_Dir;
  std::string m_SettingsPath;
  int m_Lines = 0;
};

void BM_LoadPinLines(benchmark::State& state) {
  const auto kind = static_cast<Kind>(state.range(0));
  Scene small(kind, 5000), large(kind, 20000);
  double smallSeconds = 0, largeSeconds = 0;
  bool whole = true;
  for (auto _ : state) {
    const double s = small.Load(), l = large.Load();
    whole = whole && s >= 0 && l >= 0;
    smallSeconds += s;
    largeSeconds += l;
  }
  if (!whole)
    state.SkipWithError("a load did not take every line");
  const double n = static_cast<double>(state.iterations());
  state.counters["lines_5k"] = small.Lines();
  state.counters["s_5k"] = smallSeconds / n;
  state.counters["s_20k"] = largeSeconds / n;
  state.counters["ratio"] = largeSeconds / smallSeconds;
}
BENCHMARK(BM_LoadPinLines)
    ->ArgName("kind")
    ->DenseRange(kDecouplingSystem, kExtractorList)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

// Loads arbitrary bytes as a ".dao" settings file into every record kind, in board and system mode, on the sample
// board. Nothing may crash or hang, and the record must stay consistent: values in their ranges, probes that are
// the host's picks, a check that runs, a save that writes and loads back as it was, and every host collection
// given back. A file the load
// refuses (an empty one, one without any settings section) must leave the record as it was and write nothing.
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/FakedSingleBoardSystem.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/SettingRanges.h"
#include "brimstead/tests/WizardSeamTestHook.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"
#include "host/HostSystem.h"
#include "platform/base/tests/TempDir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct World {
  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board;
  std::unique_ptr<host::HostSystem> system;
  std::unique_ptr<CFakedSingleBoardSystem> oneBoard;
  std::unique_ptr<CWizardSeamTestHook> hook;
  std::string file;
  std::string folder;
  std::string copy;
  std::string snapshot;
  std::string project;

  World() {
    const char* dir = std::getenv("BRIM_SOURCE_DIR");
    const std::string source = dir ? dir : BRIM_SOURCE_DIR_DEFAULT;
    board = host::LoadBoardFile(source + "/samples/boards/demo8.json", ledger);
    system = std::make_unique<host::HostSystem>(ledger, "Fuzz");
    system->AddBoard(board.get());
    oneBoard = std::make_unique<CFakedSingleBoardSystem>(board.get());
    hook = std::make_unique<CWizardSeamTestHook>(&board->GeometryQuery());
    static const TempDir made("brim_fuzz_dao_load");   // removed when the run ends; the world itself is left
    folder = made.Path().string();
    file = folder + "/demo8.dao";
    copy = folder + "/saved.dao";
    snapshot = folder + "/before.dao";
    // The project lies beside the file under the name the seed files store, so a board section can match.
    project = folder + "/demo8.json";
  }
};

World& TheWorld() {
  static World* world = new World();
  return *world;
}

void RequireAt(bool condition, const char* what) {
  if (condition)
    return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}
#define Require(condition) RequireAt(condition, #condition)

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The files of the work folder with their contents.
std::string FolderListing(const World& w) {
  std::string listing;
  for (const auto& entry : std::filesystem::directory_iterator(w.folder))
    listing += entry.path().string() + "\n" + ReadFile(entry.path().string()) + "\n";
  return listing;
}

// What the record holds: everything a save writes but its time stamp, the settings path and the board.
template <class T>
std::string Snapshot(World& w, T* record) {
  const CString path = record->m_SettingsPath;
  record->m_SettingsPath = w.snapshot.c_str();
  Require(record->Save());
  record->m_SettingsPath = path;
  std::istringstream saved(ReadFile(w.snapshot));
  std::remove(w.snapshot.c_str());
  std::string text, line;
  while (std::getline(saved, line))
    if (line.rfind("DateTime=", 0) != 0)
      text += line + "\n";
  text += std::string(static_cast<const char*>(path)) + "\n" + std::to_string(record->m_nBoardIndex) + "\n";
  text += std::to_string(reinterpret_cast<std::uintptr_t>(record->m_pBoard)) + "\n";
  return text;
}

template <class T>
void Exercise(World& w, bool boardMode) {
  T* record = GetAnalysisDataOfKind<T>();
  record->m_bBoardMode = boardMode;
  record->m_pSystem = boardMode ? static_cast<CHostSystem*>(w.oneBoard.get()) : w.system.get();
  record->SelectBoard(0);
  record->SetProjectPath(w.project.c_str());
  const std::string before = Snapshot(w, record);
  const std::string files = FolderListing(w);
  if (!record->Load(w.file.c_str())) {
    // A refusal keeps the record as it was and writes nothing.
    Require(FolderListing(w) == files);
    Require(Snapshot(w, record) == before);
    return;
  }
  Require(record->m_nAdaptiveSweepAccuracy >= 1 && record->m_nAdaptiveSweepAccuracy <= 3);
  Require(record->m_nAnalysisType >= 0 && record->m_nAnalysisType <= 3);
  Require(record->m_nDRCReportMode >= 0 && record->m_nDRCReportMode <= 2);
  // Numbers its pages accept, so that they show them and the host never gets one they would refuse.
  Require(kTargetImpedanceRange.Accepts(record->m_dTargetImpedance));
  Require(kFrequencyRange.Accepts(record->m_dMinFreq) && kFrequencyRange.Accepts(record->m_dMaxFreq));
  Require(record->m_dMaxFreq > record->m_dMinFreq);
  Require(kFDTDIntervalRange.Accepts(record->m_dFDTDInterval));
  if constexpr (requires { record->m_dNormalImpedance; })
    Require(kNormalImpedanceRange.Accepts(record->m_dNormalImpedance));
  Require(record->m_nBoardIndex == -1 || record->m_nBoardIndex == 0);
  Require((record->m_nBoardIndex == 0) == (record->m_pBoard == w.board.get()));
  CString messages;
  record->Check(&messages);
  record->GetTouchstoneExtension();
  record->m_SettingsPath = w.copy.c_str();
  Require(record->Save());
  // What was saved loads back as it was: a second save writes the same settings.
  const std::string saved = Snapshot(w, record);
  const bool hadBoard = record->m_nBoardIndex == 0;
  Require(record->Load(w.copy.c_str()));
  record->m_SettingsPath = w.copy.c_str();
  if (hadBoard && Snapshot(w, record) != saved) {
    std::fprintf(stderr, "first save:\n%s\nafter loading it:\n%s\n", saved.c_str(), Snapshot(w, record).c_str());
    Require(!"a saved file loads back as it was");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World& w = TheWorld();
  {
    std::ofstream out(w.file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // The kind and mode follow the input's length, so that every seed file reaches every record.
  const int choice = static_cast<int>(size % 8);
  const bool boardMode = choice & 1;
  switch (choice >> 1) {
  case 0: Exercise<CDecouplingAnalysisData>(w, boardMode); break;
  case 1: Exercise<CBypassAnalysisData>(w, boardMode); break;
  case 2: Exercise<CDiffViaAnalysisData>(w, boardMode); break;
  default: Exercise<CModelExtractorAnalysisData>(w, boardMode); break;
  }
  SetCurrentAnalysisData(nullptr);
  Require(w.ledger.IsBalanced());
  std::remove(w.copy.c_str());
  return 0;
}

// Reads arbitrary bytes as a board file. Bad input must end in a BoardFileError (pdnhost's
// "file:line:column: place: what" with exit code 2), never in another exception, a crash or a hang; a board that
// loads must answer its geometry and hand out and take back its collections and interfaces in balance.
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Exercise(host::HostBoard& board) {
  for (CHostCollection* collection : {board.GetLayers(), board.GetNets(), board.GetComponents()}) {
    const int count = collection->GetCount();
    for (int i = 0; i < count; ++i)
      if (!collection->GetItem(i))
        std::abort();
    collection->Release();
  }
  for (const auto& probe : board.Probes()) {
    const CHostPosition at = probe->GetPosition();
    board.GeometryQuery().QueryMetalAreas(at.x, at.y, 1e-4, 0);
    board.GeometryQuery().QueryTPlanes(at.x, at.y, 1e-4, 0);
  }
  for (const char* name : {HostInterfacePIProbes, HostInterfaceDecoupling})
    if (CHostBoardInterface* named = board.GetInterface(name))
      board.ReleaseInterface(named);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  host::HostLedger ledger;
  try {
    auto board = host::LoadBoardText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.json", ledger);
    Exercise(*board);
  } catch (const host::BoardFileError&) {
    // The reader's one kind of refusal.
  }
  if (!ledger.IsBalanced())
    std::abort();
  return 0;
}

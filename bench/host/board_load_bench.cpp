// Loading a board file: the 8-layer sample board and boards of 10, 100 and 1000 copies of it (every net, area, part,
// model, component, via, group and pick repeated under new names, on the same layer stack), which must load in time
// linear in their size.
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

using nlohmann::json;

std::string SampleText() {
  const char* source = std::getenv("BRIM_SOURCE_DIR");
  std::ifstream in(std::string(source ? source : BRIM_SOURCE_DIR_DEFAULT) + "/samples/boards/demo8.json");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// `copies` copies of the sample; copy k > 0 suffixes every name it declares (and every reference to one) with "~k".
std::string ScaledBoard(int copies) {
  const json sample = json::parse(SampleText());
  json board = sample;
  for (const char* list : {"nets", "areas", "parts", "models", "components", "vias", "groups"})
    board[list] = json::array();
  board["picks"] = json::array();
  for (int k = 0; k < copies; ++k) {
    const std::string suffix = k == 0 ? "" : "~" + std::to_string(k);
    auto renamed = [&](const json& name) { return json(name.get<std::string>() + suffix); };
    for (json net : sample["nets"]) {
      net["name"] = renamed(net["name"]);
      if (net.contains("reference"))
        net["reference"] = renamed(net["reference"]);
      board["nets"].push_back(net);
    }
    for (json area : sample["areas"]) {
      area["net"] = renamed(area["net"]);
      board["areas"].push_back(area);
    }
    for (json part : sample["parts"]) {
      part["name"] = renamed(part["name"]);
      board["parts"].push_back(part);
    }
    for (json model : sample["models"]) {
      model["name"] = renamed(model["name"]);
      board["models"].push_back(model);
    }
    for (json component : sample["components"]) {
      component["name"] = renamed(component["name"]);
      if (component.contains("part"))
        component["part"] = renamed(component["part"]);
      if (component.contains("model"))
        component["model"] = renamed(component["model"]);
      for (json& pin : component["pins"])
        pin["net"] = renamed(pin["net"]);
      board["components"].push_back(component);
    }
    for (json via : sample["vias"]) {
      via["id"] = renamed(via["id"]);
      if (via.contains("name"))
        via["name"] = renamed(via["name"]);
      via["net"] = renamed(via["net"]);
      if (via.contains("partner"))
        via["partner"] = renamed(via["partner"]);
      board["vias"].push_back(via);
    }
    for (json group : sample["groups"]) {
      group["name"] = renamed(group["name"]);
      if (group.contains("model"))
        group["model"] = renamed(group["model"]);
      for (json& member : group["members"])
        member = renamed(member);
      board["groups"].push_back(group);
    }
    // A pick names a via by its id and a pin as "<component>.<pin>", the component's name before the first '.'.
    for (const json& pick : sample["picks"]) {
      const std::string id = pick.get<std::string>();
      const bool via = std::any_of(sample["vias"].begin(), sample["vias"].end(),
                                   [&](const json& v) { return v["id"] == id; });
      const size_t dot = via ? std::string::npos : id.find('.');
      board["picks"].push_back(dot == std::string::npos ? id + suffix : id.substr(0, dot) + suffix + id.substr(dot));
    }
  }
  return board.dump();
}

void BM_LoadScaledBoard(benchmark::State& state) {
  static std::map<int, std::string> texts;
  const int copies = static_cast<int>(state.range(0));
  std::string& text = texts[copies];
  if (text.empty())
    text = ScaledBoard(copies);
  size_t components = 0;
  for (auto _ : state) {
    host::HostLedger ledger;
    auto board = host::LoadBoardText(text, "scaled.json", ledger);
    components = board->Components().size();
    benchmark::DoNotOptimize(board.get());
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  state.counters["components"] = static_cast<double>(components);
}
BENCHMARK(BM_LoadScaledBoard)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity(
    benchmark::oN);

}  // namespace

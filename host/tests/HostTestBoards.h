// Paths of the sample boards for the host's tests, and boards the tests write.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace host::test {

inline std::string SourceDir() {
  const char* dir = std::getenv("BRIM_SOURCE_DIR");
  return dir ? dir : ".";
}

inline std::string SampleBoard(const std::string& name) { return SourceDir() + "/samples/boards/" + name; }

// Writes the 8-layer sample board as `path` with `via` first among its view's picks; false when the sample board
// cannot be read or has no picks, or `path` cannot be written.
inline bool WriteDemo8WithPick(const std::string& path, const std::string& via) {
  std::ifstream in(SampleBoard("demo8.json"), std::ios::binary);
  std::string json{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string picks = "\"picks\": [";
  const size_t at = json.find(picks);
  if (at == std::string::npos)
    return false;
  json.insert(at + picks.size(), "\"" + via + "\", ");
  std::ofstream out(path, std::ios::binary);
  out << json;
  return static_cast<bool>(out.flush());
}

// Writes a sample board ("demo8.json" or "sensor4.json") as `path` with longer names: the 8-layer board's PCIE_RX0
// pair on nets of 24 characters told apart by their last one, two library models told apart by their last
// character and one of 29 characters; the 4-layer board's two signal nets and its library model likewise. False when
// the board cannot be read or `path` cannot be written.
inline bool WriteLongNamesBoard(const std::string& sample, const std::string& path) {
  const std::string net = "PCIE_G4_RX_LANE00_DIFF_", model = "GRM21BR60J226ME39L_22U_X5R6V3";
  const std::vector<std::pair<std::string, std::string>> renames =
      sample == "demo8.json" ? std::vector<std::pair<std::string, std::string>>{{"PCIE_RX0_N", net + "N"},
                                                                                {"PCIE_RX0_P", net + "P"},
                                                                                {"X7R_100N_0402", "GRM155R71C104KA88D"},
                                                                                {"X5R_100N_0201", "GRM155R71C104KA88J"},
                                                                                {"X5R_22U_0805", model}}
                             : std::vector<std::pair<std::string, std::string>>{
                                   {"SPI_CLK", net + "N"}, {"SPI_MOSI", net + "P"}, {"X7R_100N_0402", model}};
  std::ifstream in(SampleBoard(sample), std::ios::binary);
  std::string json{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  for (const auto& [from, to] : renames)   // every quoted text equal to `from`, wherever it is used
    for (size_t at = 0; (at = json.find("\"" + from + "\"", at)) != std::string::npos; at += to.size() + 2)
      json.replace(at, from.size() + 2, "\"" + to + "\"");
  std::ofstream out(path, std::ios::binary);
  out << json;
  return !json.empty() && static_cast<bool>(out.flush());
}

// The 8-layer sample board with full stops in designators and pin names: the processor U1 is named "U.1" and its balls
// D4 and D7 are named "1" and "1.5"; the flash U2 is named "U1" and its supply pin 8, "1.5", moves onto VDD_CORE. The
// picks follow: "U.1.1", "U.1.1.5", "U1.1.5" and the processor's other balls. Empty when the sample board cannot be
// read or has changed so that a name is not found.
inline std::string DottedNamesBoard() {
  const std::vector<std::pair<std::string, std::string>> renames = {
      {R"({"name": "U1", "part")", R"({"name": "U.1", "part")"},
      {R"({"name": "D4", "net": "VDD_CORE")", R"({"name": "1", "net": "VDD_CORE")"},
      {R"({"name": "D7", "net": "VDD_CORE")", R"({"name": "1.5", "net": "VDD_CORE")"},
      {R"({"name": "U2", "part")", R"({"name": "U1", "part")"},
      {R"({"name": "8", "net": "VCC_3V3", "at": [72, 30])", R"({"name": "1.5", "net": "VDD_CORE", "at": [52, 40])"},
      {R"("U1.D4")", R"("U.1.1")"},
      {R"("U1.D7")", R"("U.1.1.5", "U1.1.5")"},
      {R"("U1.G4")", R"("U.1.G4")"},
      {R"("U1.G7")", R"("U.1.G7")"},
      {R"("U1.F2")", R"("U.1.F2")"}};
  std::ifstream in(SampleBoard("demo8.json"), std::ios::binary);
  std::string json{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  for (const auto& [from, to] : renames) {
    const size_t at = json.find(from);
    if (at == std::string::npos)
      return std::string();
    json.replace(at, from.size(), to);
  }
  return json;
}

// A board of 720 decoupling capacitors: BOARD_HF holds C1..C686, CORE_BULK C687..C706, the rest are free.
inline std::string ManyCapacitorsBoard() {
  std::string json = R"({"name": "Many capacitors", "layers": [{"name": "TOP", "kind": "signal", "thickness": 0.035},
    {"name": "GND", "kind": "plane", "thickness": 0.035}],
  "nets": [{"name": "GND", "type": "supply"}, {"name": "VDD", "type": "supply", "voltage": 1.0, "reference": "GND"}],
  "parts": [{"name": "CAP_22U_0805", "capacitance": 22e-6, "size": 2.0}],
  "components": [)";
  std::string board, core;
  for (int i = 1; i <= 720; ++i) {
    const std::string name = "C" + std::to_string(i);
    const std::string x = std::to_string(i % 40), y = std::to_string(i / 40);
    json += (i > 1 ? ",\n" : "") + std::string(R"({"name": ")") + name + R"(", "part": "CAP_22U_0805", "side": "TOP",
      "pins": [{"name": "1", "net": "VDD", "at": [)" + x + ", " + y + R"(], "size": 0.5},
               {"name": "2", "net": "GND", "at": [)" + x + ".5, " + y + R"(], "size": 0.5}]})";
    std::string& members = i <= 686 ? board : core;
    if (i <= 706) members += (members.empty() ? "\"" : ", \"") + name + "\"";
  }
  return json + "],\n\"groups\": [{\"name\": \"BOARD_HF\", \"members\": [" + board +
         "]}, {\"name\": \"CORE_BULK\", \"members\": [" + core + "]}]}\n";
}

// A board of `vias` signal vias V0001.. on nets SIG0..SIG49 (50 vias a net), each connected on TOP and one of three
// inner signal layers, and a BGA U1 of `pins` balls P1.. alternately on VDD (measured against GND) and GND; both
// planes cover the whole board. The board view's picks are every VDD ball, then every via.
inline std::string ManyViasBoard(int vias, int pins) {
  std::string json = R"({"name": "Many vias", "layers": [{"name": "TOP", "kind": "signal", "thickness": 0.035},
    {"name": "PP1", "kind": "dielectric", "thickness": 0.1}, {"name": "L2_GND", "kind": "plane", "thickness": 0.035},
    {"name": "C1", "kind": "dielectric", "thickness": 0.2}, {"name": "L3_SIG", "kind": "signal", "thickness": 0.018},
    {"name": "PP2", "kind": "dielectric", "thickness": 0.12}, {"name": "L4_PWR", "kind": "plane", "thickness": 0.035},
    {"name": "C2", "kind": "dielectric", "thickness": 0.3}, {"name": "L5_SIG", "kind": "signal", "thickness": 0.018},
    {"name": "PP3", "kind": "dielectric", "thickness": 0.1}, {"name": "BOTTOM", "kind": "signal", "thickness": 0.035}],
  "nets": [{"name": "GND", "type": "supply"}, {"name": "VDD", "type": "supply", "voltage": 1.0, "reference": "GND"})";
  for (int n = 0; n < 50; ++n)
    json += R"(, {"name": "SIG)" + std::to_string(n) + R"(", "type": "signal"})";
  json += R"(],
  "areas": [{"net": "GND", "layer": "L2_GND", "rect": [0, 0, 400, 400]},
            {"net": "VDD", "layer": "L4_PWR", "rect": [0, 0, 400, 400]}],
  "components": [{"name": "U1", "side": "TOP", "pins": [)";
  std::string picks;
  for (int i = 1; i <= pins; ++i) {
    const std::string x = std::to_string(100 + (i % 100) * 0.5), y = std::to_string(100 + (i / 100) * 0.5);
    json += (i > 1 ? ",\n" : "") + std::string(R"({"name": "P)") + std::to_string(i) + R"(", "net": ")" +
            (i % 2 ? "VDD" : "GND") + R"(", "at": [)" + x + ", " + y + R"(], "size": 0.3})";
    if (i % 2)
      picks += (picks.empty() ? "\"U1.P" : ", \"U1.P") + std::to_string(i) + "\"";
  }
  json += "]}],\n\"vias\": [";
  const char* inner[] = {"L3_SIG", "L5_SIG", "BOTTOM"};
  for (int i = 1; i <= vias; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "V%04d", i);
    const std::string x = std::to_string(1 + (i % 200) * 1.9), y = std::to_string(1 + (i / 200) * 1.9);
    json += (i > 1 ? ",\n" : "") + std::string(R"({"id": ")") + id + R"(", "net": "SIG)" + std::to_string(i % 50) +
            R"(", "at": [)" + x + ", " + y + R"(], "size": 0.25, "connected": ["TOP", ")" + inner[i % 3] + "\"]}";
    picks += (picks.empty() ? "\"" : ", \"") + std::string(id) + "\"";
  }
  return json + "],\n\"picks\": [" + picks + "]}\n";
}

}  // namespace host::test

// Paths of the sample boards for the host's tests, and boards the tests write.
#pragma once

#include <cstdlib>
#include <string>

namespace host::test {

inline std::string SourceDir() {
  const char* dir = std::getenv("BRIM_SOURCE_DIR");
  return dir ? dir : ".";
}

inline std::string SampleBoard(const std::string& name) { return SourceDir() + "/samples/boards/" + name; }

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

}  // namespace host::test

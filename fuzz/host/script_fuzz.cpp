// Fuzzes pdnhost's script reader: any bytes either read into steps or give a ScriptError naming the file and a
// line; steps come in line order, each with its text.
#include "host/PdnScript.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const auto steps = host::ParseScript(text, "fuzz");
    int line = 0;
    for (const host::ScriptStep& step : steps) {
      if (step.line <= line || step.source.empty())
        std::abort();
      line = step.line;
    }
  } catch (const host::ScriptError& error) {
    if (std::string_view(error.what()).substr(0, 5) != "fuzz:")
      std::abort();
  }
  return 0;
}

// Loading each generated layout 1,000 times, as the dialogs load theirs from resources.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/gxlayout.h"
#include "grid/core/gxlayoutresources.h"
#include "grid/core/layouts/gxlayoutdefs.h"

namespace {

void LoadLayout(benchmark::State& state, const gx::LayoutDefinition* def) {
  InstallDocSerializeImp();
  gx::RegisterGridLayouts();
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      std::unique_ptr<CGXGridParam> p(def->name ? LoadGridParamLayout(def->name) : LoadGridParamLayoutById(def->id));
      if (!p) state.SkipWithError("layout did not load");
      benchmark::DoNotOptimize(p.get());
    }
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}

const int kRegistered = [] {
  for (const gx::LayoutDefinition& def : gx::LayoutDefinitions()) {
    const std::string name = std::string("LoadLayout1000x/") + (def.name ? def.name : std::to_string(def.id));
    benchmark::RegisterBenchmark(name.c_str(), LoadLayout, &def)->Unit(benchmark::kMillisecond);
  }
  return 0;
}();

}  // namespace

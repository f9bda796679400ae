// Scanning a large generated SPICE library: 100,000 subcircuits in about 100 MB, through the whole path that
// the model dialogs take (map the file, tokenise, copy the names, close).
#include "brimstead/models/SpiceScanner.h"
#include "platform/base/tests/TempDir.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int kSubcircuits = 100000;

// One capacitor model of about 1 KB: a comment block, a header with a continuation line and parameters, and a
// ladder of R, L and C elements.
void AppendSubcircuit(std::string& out, int k)
{
    char buf[160];
    out += "*----------------------------------------------------------------------\n";
    std::snprintf(buf, sizeof buf, "* Generated capacitor model %d, 0.1uF, 25V, X7R\n", k);
    out += buf;
    out += "*----------------------------------------------------------------------\n";
    std::snprintf(buf, sizeof buf, ".SUBCKT CAP_%06d_DC0V_25degC port1 port2\n+ TEMP=25 BIAS=0\n", k);
    out += buf;
    for (int e = 0; e < 23; ++e) {
        std::snprintf(buf, sizeof buf, "%c%d %d %d %.3e $ branch %d\n", "RLC"[e % 3], e, 10 + e, 11 + e,
                      1.5e-9 * (e + 1), e);
        out += buf;
    }
    out += "R100 port1 11 5.00e+9\n";
    std::snprintf(buf, sizeof buf, ".ENDS CAP_%06d_DC0V_25degC\n\n", k);
    out += buf;
}

// The library file, written on first use and removed when the program ends.
struct Library {
    const TempDir folder{"brim_spice_bench"};
    std::string path;
    Library()
    {
        path = folder / "capacitors.lib";
        std::ofstream out(path, std::ios::binary);
        std::string chunk;
        for (int k = 0; k < kSubcircuits; ++k) {
            AppendSubcircuit(chunk, k);
            if (chunk.size() > (1 << 20)) {
                out << chunk;
                chunk.clear();
            }
        }
        out << chunk;
    }
};

const std::string& LibraryPath()
{
    static const Library library;
    return library.path;
}

void BM_ScanLibrary(benchmark::State& state)
{
    const std::string& path = LibraryPath();
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    CSpiceScanner scanner;
    CSpiceSubcircuitList list;
    for (auto _ : state) {
        scanner.Scan(path.c_str(), list);
        benchmark::DoNotOptimize(list.GetCount());
    }
    if (list.GetCount() != kSubcircuits || list.GetPortCount(kSubcircuits - 1) != 2)
        state.SkipWithError("the scan lost subcircuits");
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["subcircuits"] = list.GetCount();
}
BENCHMARK(BM_ScanLibrary)->Unit(benchmark::kMillisecond)->MinTime(2.0);
} // namespace

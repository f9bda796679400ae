// Feeds arbitrary bytes to the cache-file loader. A file that loads must pass or fail the
// consistency check cleanly and survive a save and a lookup.
#include "fieldsolver/SmartCache.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string name = "/tmp/fuzz_solver_cache_" + std::to_string(getpid()) + ".bin";
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    SmartCache cache;
    if (cache.Load(name)) {
        cache.CheckConsistency();
        FieldSolverModel model;
        model.layers = {FieldSolverLayer{1e-4f, 1.0f, 1, 0, 0, 0, 0, 0, 0}};
        model.traces = {FieldSolverTrace{1, 0.0f, 1e-4f, 1e-4f, 1e-4f, 1e-4f, 1}};
        float room[12] = {};
        FieldSolverOutput out;
        out.conductorCount = 1;
        out.capacitance = room;
        out.inductance = room + 1;
        out.speeds = room + 2;
        cache.Lookup(model, out);
        cache.Save(name);
    }
    std::remove(name.c_str());
    return 0;
}

// Feeds arbitrary bytes to the cache-file loader. A file that loads must pass or fail the
// consistency check cleanly and survive a save and a lookup, and a lookup that hits must not hand
// out a damaged result.
#include "fieldsolver/SmartCache.h"
#include "platform/base/tests/TempDir.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const TempDir folder("brim-fuzz-solver-cache");   // removed when the run ends
    static const std::string name = folder / "cache.bin";
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
        // A hit hands out a result only when it is one a solve could have stored (the seed
        // lookup_hit.cache holds this model's entry, so mutations of its result reach here).
        if (cache.Lookup(model, out) && out.status == 0
            && !(std::isfinite(room[0]) && room[0] > 0.0f && std::isfinite(room[1]) && room[1] > 0.0f && std::isfinite(room[2])
                 && room[2] > 0.0f))
            __builtin_trap();
        cache.Save(name);
    }
    std::remove(name.c_str());
    return 0;
}

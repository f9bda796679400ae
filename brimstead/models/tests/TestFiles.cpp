#include "brimstead/models/tests/TestFiles.h"
#include "platform/base/tests/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace modeltest {

std::filesystem::path TestDataDir()
{
    if (const char* dir = std::getenv("BRIM_TESTDATA_DIR"); dir && *dir)
        return dir;
    if (const char* src = std::getenv("BRIM_SOURCE_DIR"); src && *src)
        return std::filesystem::path(src) / ".." / "shared" / "testdata";
    return std::filesystem::path(BRIM_MODELS_SOURCE_TOP) / ".." / "shared" / "testdata";
}

std::filesystem::path OwnDataDir()
{
    if (const char* src = std::getenv("BRIM_SOURCE_DIR"); src && *src)
        return std::filesystem::path(src) / "brimstead" / "models" / "tests" / "data";
    return std::filesystem::path(BRIM_MODELS_SOURCE_TOP) / "brimstead" / "models" / "tests" / "data";
}

std::filesystem::path ScratchDir()
{
    static const TempDir scratch("brim_models_test");
    return scratch.Path();
}

std::string WriteScratchFile(const std::string& name, const std::string& bytes)
{
    const auto path = ScratchDir() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

} // namespace modeltest

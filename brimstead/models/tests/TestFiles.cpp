#include "brimstead/models/tests/TestFiles.h"

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

namespace {
struct Scratch {
    std::filesystem::path dir;
    Scratch()
    {
        dir = std::filesystem::temp_directory_path() / ("brim_models_test_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};
} // namespace

std::filesystem::path ScratchDir()
{
    static Scratch scratch;
    return scratch.dir;
}

std::string WriteScratchFile(const std::string& name, const std::string& bytes)
{
    const auto path = ScratchDir() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

} // namespace modeltest

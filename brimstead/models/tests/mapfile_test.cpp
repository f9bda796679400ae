#include "brimstead/models/mapfile.h"
#include "brimstead/models/ModelFile.h"
#include "brimstead/models/SpiceScanner.h"
#include "brimstead/models/TouchstonePorts.h"
#include "brimstead/models/fit/TwoPortData.h"
#include "brimstead/models/tests/TestFiles.h"
#include "platform/base/FileMapping.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

using vorntool::mapfile;

TEST(MapFile, MapsTheWholeFileAndClosesAgain)
{
    const std::string path = modeltest::WriteScratchFile("map_whole.txt", std::string("abc\0def", 7));
    mapfile file;
    EXPECT_TRUE(file.open(path.c_str(), false, true));
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(std::string(file.data(), file.size()), std::string("abc\0def", 7));
    EXPECT_EQ(file.fileName(), path);
    EXPECT_TRUE(file.close());
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(file.close()); // closing twice is harmless
}

TEST(MapFile, FailuresRaiseMapExceptNamingTheFile)
{
    const std::string missing = (modeltest::ScratchDir() / "no_such_file.cir").string();
    const std::string empty = modeltest::WriteScratchFile("empty.cir", "");
    for (const std::string& path : {missing, empty}) {
        mapfile file;
        try {
            file.open(path.c_str(), false, false);
            FAIL() << "no exception for " << path;
        } catch (const mapfile::MapExcept& e) {
            const std::string text = e.what();
            EXPECT_EQ(text.rfind("Failed to open file '" + path + "'\n", 0), 0u) << text;
            EXPECT_GT(text.size(), path.size() + 22) << "the reason is missing: " << text;
        }
        EXPECT_FALSE(file.isOpen());
    }
    mapfile file;
    try {
        file.open(empty.c_str(), false, false);
    } catch (const mapfile::MapExcept& e) {
        EXPECT_NE(std::string(e.what()).find("empty"), std::string::npos);
        const mapfile::MapExcept copy = e; // copyable, same text
        EXPECT_STREQ(copy.what(), e.what());
    }
}

TEST(MapFile, AnExclusiveOpenFailsWhileTheFileIsHeldOpenButAMappedViewKeepsNobodyOut)
{
    const std::string path = modeltest::WriteScratchFile("exclusive.cir", "x");
    mapfile first, second;
    {
        // Another holder with the file open and sharing nothing.
        HANDLE holder = CreateFile(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_THROW(first.open(path.c_str(), false, true), mapfile::MapExcept);
        EXPECT_THROW(first.open(path.c_str(), false, false), mapfile::MapExcept);
        EXPECT_FALSE(first.isOpen());
        CloseHandle(holder);
    }
    // A view, once mapped, holds no handle: other views of the file open beside it, exclusive or not, as when
    // two scanners (or two processes) read one library file.
    first.open(path.c_str(), false, true);
    EXPECT_NO_THROW(second.open(path.c_str(), false, true));
    EXPECT_EQ(std::string(first.data(), first.size()), "x");
    EXPECT_EQ(std::string(second.data(), second.size()), "x");
    second.close();
    EXPECT_NO_THROW(second.open(path.c_str(), false, false));
}

TEST(MapFile, WritableViewWritesThrough)
{
    const std::string path = modeltest::WriteScratchFile("writable.bin", "hello");
    {
        mapfile file;
        file.open(path.c_str(), true, true);
        file.data()[0] = 'j';
    }
    mapfile file;
    file.open(path.c_str(), false, false);
    EXPECT_EQ(std::string(file.data(), file.size()), "jello");
}

// A library shortened, grown or written over by another program (a sync, a regenerating tool): an open view's bytes
// stay whole (a shared mapping raised SIGBUS past the new end), and a change while they are read refuses the file
// (one written over at its own length passed).
TEST(MapFile, AFileChangedUnderTheReaderGivesAMessageNeverABusError)
{
    const std::string text(300000, 'x');
    const std::string path = modeltest::WriteScratchFile("changed.cir", text);
    mapfile file;
    file.open(path.c_str(), false, true);
    std::filesystem::resize_file(path, 100);
    EXPECT_EQ(std::string(file.data(), file.size()), text);
    for (const std::uintmax_t size : {std::uintmax_t{100}, std::uintmax_t{text.size() + 1}, std::uintmax_t{text.size()}}) {
        modeltest::WriteScratchFile("changed.cir", text);
        // Times of a day ago: a write within the clock's current tick would not move them.
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24));
        const auto previous = mapfile::SetReadHook([&](const std::string&, std::size_t at) {
            if (at != (size > text.size() ? text.size() : 0))
                return;
            if (size == text.size())
                std::fstream(path, std::ios::binary | std::ios::in | std::ios::out) << std::string(size, 'y');
            else
                std::filesystem::resize_file(path, size);
        });
        try {
            file.open(path.c_str(), false, false);
            ADD_FAILURE() << size;
        } catch (const mapfile::MapExcept& e) {
            EXPECT_NE(std::string(e.what()).find("The file changed while it was read"), std::string::npos) << e.what();
        }
        mapfile::SetReadHook(previous);
    }
}

// Every model reader refuses a FIFO named like a model at once (the open waited for a writer for good) and reads no
// file above the limit.
TEST(ModelFiles, EveryReaderRefusesAFifoAtOnceAndAFileAboveTheLimit)
{
    const std::string fifo = (modeltest::ScratchDir() / "a.s2p").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string big = modeltest::WriteScratchFile("big.cir", "");
    std::filesystem::resize_file(big, modelfile::kMaxModelFileBytes + 1);   // sparse
    EXPECT_EQ(CountTouchstonePortsInFile(fifo.c_str()) + ReadHeaderPortCountInFile(fifo.c_str()), 0);
    for (const auto& [path, reason] : {std::pair(fifo, "not a regular file"), std::pair(big, "larger than 268435456")}) {
        std::string text, error;
        EXPECT_FALSE(ReadModelFileText(path.c_str(), text, error));
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        CSpiceScanner scanner;
        CSpiceSubcircuitList list;
        EXPECT_THROW(scanner.Scan(path.c_str(), list), mapfile::MapExcept);
    }
}

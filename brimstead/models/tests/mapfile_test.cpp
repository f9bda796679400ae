#include "brimstead/models/mapfile.h"
#include "brimstead/models/tests/TestFiles.h"
#include "platform/base/FileMapping.h"

#include <gtest/gtest.h>

#include <string>

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

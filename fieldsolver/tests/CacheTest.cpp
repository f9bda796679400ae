#include <algorithm>
#include <chrono>
#include <atomic>
#include <thread>
#include "CanonicalCases.h"
#include "fieldsolver/FieldSolverApi.h"
#include "fieldsolver/ModelOperations.h"
#include "fieldsolver/SmartCache.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <csignal>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "safepath/SaveLock.h"
#include "safepath/tests/AnotherUser.h"
#include "safepath/tests/InheritedDescriptors.h"
#include "safepath/tests/OtherLocks.h"

using namespace canonical;

namespace {

constexpr float kMil = 2.54e-5f;

FieldSolverModel Model(const CrossSection& cs)
{
    FieldSolverModel m;
    float removed;
    BuildModel(m, cs.Input(), 1, false, false, false, removed);
    return m;
}

CrossSection Pair()
{
    CrossSection cs;
    cs.layers = {Layer(kMil, FS_LAYER_PLANE), Layer(4 * kMil, FS_LAYER_DIELECTRIC, 4.0f), Layer(1.4f * kMil, FS_LAYER_ROUTING),
                 Layer(5 * kMil, FS_LAYER_DIELECTRIC, 3.0f), Layer(kMil, FS_LAYER_PLANE)};
    cs.traces = {Trace(3, -6 * kMil, 4 * kMil, 1), Trace(3, 6 * kMil, 5 * kMil, 2)};
    cs.traces[1].BottomWidth = 6 * kMil;   // a trapezoid: flipping the stack swaps its widths
    return cs;
}

// A result whose every element tells where it came from: element (i, j) of matrix m is m*100+i*10+j.
void FillTagged(OutputRoom& out)
{
    const int n = out.n;
    FieldSolverOutput& o = out.output;
    int m = 0;
    for (float* a : {o.capacitance, o.inductance, o.modesToTraces, o.tracesToModes, o.impedance, o.equivalentResistors, o.dcResistance,
                     o.extraMatrixA, o.extraMatrixB, o.extraMatrixC, o.extraMatrixD}) {
        ++m;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                a[i * n + j] = float(m * 100 + i * 10 + j);
    }
    for (int i = 0; i < n; ++i)
        o.speeds[i] = float(1e8 + i);
    o.conductorCount = n;
    o.modeCount = 0;
    o.status = 0;
}

SmartCacheSettings Enabled(int maxEntries = 8192)
{
    SmartCacheSettings s;
    s.enabled = 1;
    s.maxEntries = maxEntries;
    return s;
}

std::vector<char> ReadFile(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(f), {});
}

void WriteFile(const std::string& name, const std::vector<char>& bytes)
{
    std::ofstream f(name, std::ios::binary);
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace

TEST(CacheKey, RoundsHalvesAwayFromZeroAndSaturates)
{
    EXPECT_EQ(QuantiseRound(2.5), 3);
    EXPECT_EQ(QuantiseRound(-2.5), -3);
    EXPECT_EQ(QuantiseRound(2.49), 2);
    EXPECT_EQ(QuantiseRound(0.0), 0);
    EXPECT_EQ(QuantiseRound(1e30), INT32_MAX);
}

TEST(CacheKey, SingleRoundWireHasAFiniteKey)
{
    CrossSection cs;
    cs.layers = {Layer(0.0f, FS_LAYER_ROUTING)};
    cs.traces = {Trace(1, 1e-3f, 0.0f, 1)};
    SmartCacheKey key;
    std::vector<int> a, b;
    ASSERT_TRUE(BuildCacheKey(Model(cs), key, a, b));
    EXPECT_EQ(key.K, key.S);
}

TEST(SmartCache, ReorderedReversedAndShiftedGeometryFindsTheEntryInItsOwnOrder)
{
    SmartCache cache;
    cache.SetSettings(Enabled());
    const CrossSection base = Pair();
    OutputRoom stored(2);
    FillTagged(stored);
    ASSERT_TRUE(cache.Store(Model(base), stored.output));

    // Conductors renumbered and the traces listed the other way round: the matrices come back
    // with rows and columns swapped.
    CrossSection other = base;
    std::swap(other.traces[0], other.traces[1]);
    std::swap(other.traces[0].conductor, other.traces[1].conductor);
    OutputRoom got(2);
    ASSERT_TRUE(cache.Lookup(Model(other), got.output));
    EXPECT_EQ(got.output.capacitance[0], stored.output.capacitance[3]);
    EXPECT_EQ(got.output.capacitance[1], stored.output.capacitance[2]);
    EXPECT_EQ(got.output.modesToTraces[0], stored.output.modesToTraces[2]);   // rows only
    EXPECT_EQ(got.output.tracesToModes[0], stored.output.tracesToModes[1]);   // columns only
    EXPECT_EQ(got.output.speeds[0], stored.output.speeds[0]);

    // Upside down (layers reversed, indices adjusted, top and bottom widths swapped) and shifted.
    CrossSection flipped = base;
    std::reverse(flipped.layers.begin(), flipped.layers.end());
    for (auto& t : flipped.traces) {
        t.LayerIndex = int(flipped.layers.size()) - t.LayerIndex + 1;
        std::swap(t.TopWidth, t.BottomWidth);
        t.Center += 3e-3f;
    }
    ASSERT_TRUE(cache.Lookup(Model(flipped), got.output));
    EXPECT_EQ(got.output.inductance[1], stored.output.inductance[1]);

    // Flipping without swapping the widths is another geometry and must not share the entry.
    CrossSection wrong = flipped;
    for (auto& t : wrong.traces)
        std::swap(t.TopWidth, t.BottomWidth);
    EXPECT_FALSE(cache.Lookup(Model(wrong), got.output));
    EXPECT_EQ(cache.GetSettings().hits, 2);
    EXPECT_TRUE(cache.CheckConsistency());
}

TEST(SmartCache, EvictsTheLeastRecentlyUsedEntry)
{
    SmartCache cache;
    std::time_t now = 1000;
    cache.SetClock([&] { return now; });
    cache.SetSettings(Enabled(2));
    std::vector<CrossSection> sections;
    for (int i = 0; i < 3; ++i) {
        CrossSection cs = Pair();
        cs.traces[0].TopWidth = cs.traces[0].BottomWidth = float(3 + i) * kMil;
        sections.push_back(cs);
    }
    OutputRoom out(2);
    FillTagged(out);
    ASSERT_TRUE(cache.Store(Model(sections[0]), out.output));
    ++now;
    ASSERT_TRUE(cache.Store(Model(sections[1]), out.output));
    ++now;
    ASSERT_TRUE(cache.Lookup(Model(sections[0]), out.output));   // 0 is now the more recent
    ++now;
    ASSERT_TRUE(cache.Store(Model(sections[2]), out.output));
    EXPECT_EQ(cache.EntryCount(), 2);
    EXPECT_TRUE(cache.Lookup(Model(sections[0]), out.output));
    EXPECT_FALSE(cache.Lookup(Model(sections[1]), out.output));
    EXPECT_EQ(cache.GetSettings().evictions, 1);
}

TEST(SmartCache, TraceLimitsAndCallerCapacity)
{
    SmartCache cache;
    cache.SetSettings(Enabled());
    CrossSection many = Pair();
    many.traces.clear();
    for (int i = 0; i < 51; ++i)
        many.traces.push_back(Trace(3, float(i) * 10 * kMil, 4 * kMil, 1));
    OutputRoom out(1);
    FillTagged(out);
    ASSERT_TRUE(cache.Store(Model(many), out.output));   // succeeds by doing nothing
    EXPECT_EQ(cache.EntryCount(), 0);

    OutputRoom two(2);
    FillTagged(two);
    ASSERT_TRUE(cache.Store(Model(Pair()), two.output));
    OutputRoom small(1);
    small.output.capacitance[0] = -5.0f;
    EXPECT_TRUE(cache.Lookup(Model(Pair()), small.output));
    EXPECT_EQ(small.output.status, -1);
    EXPECT_EQ(small.output.capacitance[0], -5.0f);   // nothing copied
}

TEST(SmartCacheFile, SavesAndLoadsOneEntry)
{
    const std::string name = testing::TempDir() + "fieldsolver_one.cache";
    OutputRoom out(2);
    FillTagged(out);
    long long dataBytes = 0;
    {
        SmartCache cache;
        cache.SetClock([] { return std::time_t(1700000000); });
        cache.SetSettings(Enabled());
        ASSERT_TRUE(cache.Store(Model(Pair()), out.output));
        ASSERT_TRUE(cache.Save(name));
        // The committed golden file holds the same bytes (regenerate with BRIM_UPDATE_GOLDEN=1).
        if (std::getenv("BRIM_UPDATE_GOLDEN"))
            cache.Save("data/one_entry.cache");
        EXPECT_EQ(ReadFile(name), ReadFile("data/one_entry.cache"));
        EXPECT_EQ(std::int64_t(ReadFile(name).size()), cache.FileBytes() + 92);   // texts, header and table words, "=END"
        dataBytes = cache.DataBytes();
        EXPECT_EQ(dataBytes, 36 * 5 + 28 * 2 + 4 + (11 * 4 + 2) * 4);
    }
    SmartCache loaded;
    ASSERT_TRUE(loaded.Load(name));
    EXPECT_TRUE(loaded.CheckConsistency());
    EXPECT_EQ(loaded.EntryCount(), 1);
    EXPECT_EQ(loaded.DataBytes(), dataBytes);   // counted the same way after a load as while storing
    EXPECT_EQ(loaded.GetSettings().enabled, 1);
    OutputRoom got(2);
    ASSERT_TRUE(loaded.Lookup(Model(Pair()), got.output));
    EXPECT_EQ(got.room, out.room);
    std::remove(name.c_str());
}

TEST(SmartCacheFile, DamagedFilesDoNotLoadAndLoseNothingElse)
{
    const std::string good = "data/one_entry.cache";
    const std::vector<char> bytes = ReadFile(good);
    ASSERT_GT(bytes.size(), 200u);
    const std::string name = testing::TempDir() + "fieldsolver_bad.cache";
    SmartCache cache;
    SmartCacheSettings settings = Enabled(77);
    cache.SetSettings(settings);

    std::vector<char> noEnd(bytes.begin(), bytes.end() - 4);
    WriteFile(name, noEnd);
    EXPECT_FALSE(cache.Load(name));
    EXPECT_EQ(cache.GetSettings().maxEntries, 77);   // the settings before the load are kept

    std::vector<char> version = bytes;
    version[36 + 11] = 'x';   // one of the version text's blanks
    WriteFile(name, version);
    EXPECT_FALSE(cache.Load(name));

    // Counts that would need more than the file holds, or more than the limits allow, are refused
    // before anything is allocated for them.
    std::vector<char> huge = bytes;
    const std::size_t countAt = 104 + 12;   // first bucket's entry count
    huge[countAt] = 0x00;
    huge[countAt + 1] = 0x00;
    huge[countAt + 2] = 0x04;   // 0x40000 entries
    WriteFile(name, huge);
    EXPECT_FALSE(cache.Load(name));
    SmartCacheSettings tight = Enabled();
    tight.maxBytes = 100;
    cache.SetSettings(tight);
    WriteFile(name, bytes);
    EXPECT_FALSE(cache.Load(name));
    EXPECT_EQ(cache.EntryCount(), 0);

    ASSERT_EQ(FieldSolverInit(), 0);
    EXPECT_EQ(FieldSolverOpenCache(name.c_str()), 0);   // defaults allow it
    WriteFile(name, version);
    EXPECT_EQ(FieldSolverOpenCache(name.c_str()), FS_CACHE_FILE);
    FieldSolverClose();
    std::remove(name.c_str());
}

TEST(SmartCacheFile, ConductorCountsOutsideTheLimitsAreRefusedBeforeAnySizeIsComputed)
{
    const std::vector<char> bytes = ReadFile("data/one_entry.cache");
    const std::string tag = "OUT=";
    const auto at = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
    ASSERT_NE(at, bytes.end());
    const std::size_t conductorsAt = std::size_t(at - bytes.begin()) + tag.size() + 8;   // after status, mode count
    const std::string name = testing::TempDir() + "fieldsolver_conductors.cache";
    for (std::uint32_t count : {0u, 1025u, 0x7fffffffu, 0x80000000u, 0xffffffffu}) {
        std::vector<char> bad = bytes;
        for (int i = 0; i < 4; ++i)
            bad[conductorsAt + i] = char((count >> (8 * i)) & 0xff);
        WriteFile(name, bad);
        SmartCache cache;
        cache.SetSettings(Enabled());
        EXPECT_FALSE(cache.Load(name)) << count;
        EXPECT_EQ(cache.EntryCount(), 0) << count;
    }
    std::remove(name.c_str());
}

// A file whose structure is whole but whose contents cannot come from a store: a result that failed,
// holds a NaN or has no self capacitance or inductance (zero or less); a table that announces another
// number of entries than it holds. None loads; before, each loaded and the next lookup of the pair got the result.
TEST(SmartCacheFile, DamagedResultsAndCountsDoNotLoad)
{
    const std::vector<char> bytes = ReadFile("data/one_entry.cache");
    const std::string tag = "OUT=";
    const auto at = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
    ASSERT_NE(at, bytes.end());
    const std::size_t out = std::size_t(at - bytes.begin());
    auto word = [](std::vector<char>& b, std::size_t where, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[where + i] = char((v >> (8 * i)) & 0xff);
    };
    auto real = [&](std::vector<char>& b, std::size_t where, float v) {
        std::uint32_t w;
        std::memcpy(&w, &v, 4);
        word(b, where, w);
    };
    struct Damage {
        const char* what;
        std::function<void(std::vector<char>&)> apply;
    };
    const std::size_t c11 = out + 16, l11 = c11 + 4 * 4;   // N = 2: C is 4 floats
    const Damage damages[] = {
        {"status 3", [&](std::vector<char>& b) { word(b, out + 4, FS_SINGULAR); }},
        {"mode count 5", [&](std::vector<char>& b) { word(b, out + 8, 5); }},
        {"C11 NaN", [&](std::vector<char>& b) { real(b, c11, std::nanf("")); }},
        {"C11 negative", [&](std::vector<char>& b) { real(b, c11, -100.0f); }},
        {"C22 zero", [&](std::vector<char>& b) { real(b, c11 + 3 * 4, 0.0f); }},
        {"L11 zero", [&](std::vector<char>& b) { real(b, l11, 0.0f); }},
        {"extra matrix infinite", [&](std::vector<char>& b) { real(b, bytes.size() - 4 - 28 - 4, INFINITY); }},
        {"entry count 2", [&](std::vector<char>& b) { word(b, 92, 2); }},
    };
    const std::string name = testing::TempDir() + "fieldsolver_damaged.cache";
    {
        WriteFile(name, bytes);
        SmartCache cache;
        ASSERT_TRUE(cache.Load(name));   // the undamaged file loads
    }
    for (const Damage& d : damages) {
        std::vector<char> bad = bytes;
        d.apply(bad);
        WriteFile(name, bad);
        SmartCache cache;
        cache.SetSettings(Enabled());
        EXPECT_FALSE(cache.Load(name)) << d.what;
        EXPECT_EQ(cache.EntryCount(), 0) << d.what;
        OutputRoom got(2);
        EXPECT_FALSE(cache.Lookup(Model(Pair()), got.output)) << d.what;
    }
    ASSERT_EQ(FieldSolverInit(), 0);
    EXPECT_EQ(FieldSolverOpenCache(name.c_str()), FS_CACHE_FILE);
    FieldSolverClose();
    std::remove(name.c_str());
}

// Names that are no cache file are refused at once: a FIFO (whose open would wait for a writer), a folder, a
// device, a file above the size limit. A save that fails part way leaves the old file, and closing says so.
TEST(SmartCacheFile, OnlyRegularFilesLoadAndAFailedSaveKeepsTheOldFile)
{
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "fieldsolver_names";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "folder.cache");
    ASSERT_EQ(::mkfifo((dir / "fifo.cache").c_str(), 0600), 0);
    std::ofstream(dir / "huge.cache").put('x');
    std::filesystem::resize_file(dir / "huge.cache", (256u << 20) + 1);   // sparse
    SmartCache cache;
    for (const std::filesystem::path& name : {dir / "fifo.cache", dir / "folder.cache", std::filesystem::path("/dev/zero"), dir / "huge.cache"})
        EXPECT_FALSE(cache.Load(name)) << name;

    OutputRoom out(2);
    FillTagged(out);
    cache.SetSettings(Enabled());
    ASSERT_TRUE(cache.Store(Model(Pair()), out.output));
    const std::string name = dir / "old.cache";
    WriteFile(name, {'o', 'l', 'd'});
    rlimit limit{};   // files grow to 64 bytes only: the save's write fails part way
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlim_t was = std::exchange(limit.rlim_cur, 64);
    std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool saved = cache.Save(name);
    limit.rlim_cur = was;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(name), (std::vector<char>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 4);   // no new file left behind

    // A link in a folder every user may write (as /tmp) may be another user's: the save follows none there.
    std::filesystem::create_directory(dir / "shared");
    std::filesystem::permissions(dir / "shared", std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
    std::filesystem::create_symlink(name, dir / "shared" / "planted.cache");
    EXPECT_FALSE(cache.Save(dir / "shared" / "planted.cache"));
    EXPECT_EQ(ReadFile(name), (std::vector<char>{'o', 'l', 'd'}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "shared" / "planted.cache"));

    ASSERT_EQ(FieldSolverInit(), 0);
    SmartCacheSettings settings = Enabled();
    std::snprintf(settings.fileName, sizeof settings.fileName, "%s", (dir / "folder.cache").c_str());
    ASSERT_EQ(FieldSolverSetCacheSettings(settings), 0);
    EXPECT_EQ(FieldSolverClose(), FS_CACHE_FILE);
    std::filesystem::remove_all(dir);
}

// A save follows no symbolic link in a folder every user may write, sticky (as /tmp) or not: not under the name, not
// as a folder on the way, not where a link of this user's elsewhere leads through one. Another user may have put it
// there to have this user's cache replaced; the save fails and the cache behind the link stays. A link in an
// ordinary folder is followed and its target replaced.
TEST(SmartCacheFile, ASaveFollowsNoLinkInAFolderEveryUserMayWrite)
{
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "fieldsolver_shared_links";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "mine");
    const std::string mine = dir / "mine" / "solver.cache";
    const std::vector<char> old{'o', 'l', 'd'};
    WriteFile(mine, old);
    SmartCache cache;
    OutputRoom out(2);
    FillTagged(out);
    cache.SetSettings(Enabled());
    ASSERT_TRUE(cache.Store(Model(Pair()), out.output));
    using std::filesystem::perms;
    for (const perms mode : {perms::all | perms::sticky_bit, perms::all}) {
        const std::filesystem::path shared = dir / "shared";
        std::filesystem::remove_all(shared);
        std::filesystem::remove(dir / "through");
        std::filesystem::create_directory(shared);
        std::filesystem::permissions(shared, mode);
        std::filesystem::create_symlink(mine, shared / "solver.cache");
        std::filesystem::create_directory_symlink(dir / "mine", shared / "dir");
        std::filesystem::create_directory_symlink(shared / "dir", dir / "through");
        for (const std::filesystem::path& name : {shared / "solver.cache", shared / "dir/solver.cache", dir / "through/solver.cache"}) {
            EXPECT_FALSE(cache.Save(name)) << name << " " << int(mode);
            EXPECT_EQ(ReadFile(mine), old) << name << " " << int(mode);
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "mine"), {}), 1);   // no new file left behind
    }
    std::filesystem::create_directory_symlink(dir / "mine", dir / "own");
    ASSERT_TRUE(cache.Save(dir / "own" / "solver.cache"));
    EXPECT_NE(ReadFile(mine), old);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "own"));
    std::filesystem::remove_all(dir);
}

// In a folder every user may write, a cache file of another user (neither this user nor the folder's owner) is
// refused, as the other saves refuse it: it stays theirs, with its text and its mode 666 (the save took it over with
// that mode, so that its owner could rewrite the results this user's solver loads). Where another user's file may be
// replaced (an ordinary folder), the new cache is this user's, with the mode of a new file, not the mode of theirs.
TEST(SmartCacheFile, ASaveRefusesAFileAnotherUserPlantedAndNeverTakesTheirMode)
{
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "fieldsolver_planted_file";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "shared");
    std::filesystem::create_directories(dir / "group");
    ASSERT_EQ(::chmod((dir / "shared").c_str(), 0777), 0);
    ASSERT_EQ(::chmod((dir / "group").c_str(), 0770), 0);
    SmartCache cache;
    OutputRoom out(2);
    FillTagged(out);
    cache.SetSettings(Enabled());
    ASSERT_TRUE(cache.Store(Model(Pair()), out.output));
    const mode_t mask = ::umask(022);
    for (const char* folder : {"shared", "group"}) {
        const std::string name = dir / folder / "solver.cache";
        WriteFile(name, {'t', 'h', 'e', 'i', 'r', 's'});
        ASSERT_EQ(::chmod(name.c_str(), 0666), 0);
        ASSERT_EQ(::chown(name.c_str(), 4321, 4321), 0);   // another user's (the tests run as root)
    }
    EXPECT_FALSE(cache.Save(dir / "shared" / "solver.cache"));
    EXPECT_TRUE(cache.Save(dir / "group" / "solver.cache"));
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "shared" / "solver.cache").c_str(), &st), 0);
    EXPECT_EQ(ReadFile(dir / "shared" / "solver.cache"), (std::vector<char>{'t', 'h', 'e', 'i', 'r', 's'}));
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_mode & 07777, 0666u);
    ASSERT_EQ(::stat((dir / "group" / "solver.cache").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "shared"), {}), 1);   // no new file left behind
    // Nor is another user's cache there loaded as this user's results; the same file of this user's loads.
    const std::string planted = dir / "shared" / "planted.cache";
    ASSERT_TRUE(cache.Save(dir / "group" / "solver.cache"));
    std::filesystem::copy_file(dir / "group" / "solver.cache", planted);
    ASSERT_EQ(::chown(planted.c_str(), 4321, 4321), 0);
    SmartCache reader;
    EXPECT_FALSE(reader.Load(planted));
    ASSERT_EQ(::chown(planted.c_str(), ::geteuid(), ::getegid()), 0);
    EXPECT_TRUE(reader.Load(planted));
    // As the save, the load follows no link there, the user's own neither; the same link elsewhere is followed.
    std::filesystem::create_symlink(dir / "group" / "solver.cache", dir / "shared" / "link.cache");
    std::filesystem::create_symlink(dir / "group" / "solver.cache", dir / "group" / "link.cache");
    EXPECT_FALSE(reader.Load(dir / "shared" / "link.cache"));
    EXPECT_TRUE(reader.Load(dir / "group" / "link.cache"));
    std::filesystem::remove_all(dir);
}

// A folder on the way to the cache is swapped, again and again and atomically, with another user's link to a folder
// of this user while saves run: each save writes in the folder it checked or fails, so the cache behind the link
// stays and no new file is left there.
TEST(SmartCacheFile, ASaveKeepsToTheFolderItCheckedWhileALinkIsSwappedIn)
{
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "fieldsolver_swapped_folder";
    std::filesystem::remove_all(dir);
    const std::filesystem::path shared = dir / "shared", home = dir / "home";
    std::filesystem::create_directories(shared / "dir");
    std::filesystem::create_directories(home);
    ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
    const std::vector<char> old{'o', 'l', 'd'};
    WriteFile(home / "solver.cache", old);
    std::filesystem::create_directory_symlink(home, shared / "link");
    ASSERT_EQ(::lchown((shared / "link").c_str(), 4321, 4321), 0);
    SmartCache cache;
    OutputRoom out(2);
    FillTagged(out);
    cache.SetSettings(Enabled());
    ASSERT_TRUE(cache.Store(Model(Pair()), out.output));
    std::atomic<bool> saving{true};
    std::thread swapper([&] {
        while (saving)
            ::renameat2(AT_FDCWD, (shared / "dir").c_str(), AT_FDCWD, (shared / "link").c_str(), RENAME_EXCHANGE);
    });
    for (int i = 0; i < 300; ++i)
        cache.Save(shared / "dir" / "solver.cache");
    saving = false;
    swapper.join();
    EXPECT_EQ(ReadFile(home / "solver.cache"), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home), {}), 1);   // no new file left behind
    std::filesystem::remove_all(dir);
}

// In a folder every user may write without the sticky bit, another user keeps exchanging their cache file (writable by
// all) and their FIFO with the user's cache while it is loaded: each load takes the user's results or fails, never
// theirs, and none waits on the FIFO.
TEST(SmartCacheFile, ALoadReadsOnlyTheUsersFileWhileAnotherUserExchangesTheirsWithIt)
{
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "fieldsolver_exchanged_file";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    OutputRoom mine(2), theirs(2);
    FillTagged(mine);
    FillTagged(theirs);
    theirs.output.capacitance[0] *= 1.5f;
    for (const auto& [name, out] : {std::pair{"solver.cache", &mine}, {"theirs.cache", &theirs}}) {
        SmartCache cache;
        cache.SetSettings(Enabled());
        ASSERT_TRUE(cache.Store(Model(Pair()), out->output));
        ASSERT_TRUE(cache.Save(dir / name));
    }
    ASSERT_EQ(::chmod((dir / "theirs.cache").c_str(), 0666), 0);
    ASSERT_EQ(::mkfifo((dir / "fifo.cache").c_str(), 0666), 0);
    another_user::Files files;
    ASSERT_TRUE(files.give(dir / "theirs.cache") && files.give(dir / "fifo.cache"));
    int loaded = 0, takenForMine = 0;
    {
        another_user::Exchanger exchanger(dir, {{"solver.cache", "theirs.cache"}, {"solver.cache", "fifo.cache"}});
        ASSERT_TRUE(exchanger.started());
        for (int i = 0; i < 1000; ++i) {
            SmartCache cache;
            OutputRoom got(2);
            if (cache.Load(dir / "solver.cache")) {
                ++loaded;
                takenForMine += !cache.Lookup(Model(Pair()), got.output) || got.room != mine.room;
            }
        }
    }
    EXPECT_EQ(takenForMine, 0) << "of " << loaded << " loads";
    EXPECT_GT(loaded, 0);
    std::filesystem::remove_all(dir);
}

// Another user keeps exchanging their file, writable by all, with every new file a save makes beside the cache in a
// folder every user may write: a save answers success only where the cache's name then holds the file it wrote, never
// their file, and their file is never removed.
TEST(SmartCacheFile, ASaveAnswersSuccessOnlyWhereTheNameHoldsTheFileItWrote)
{
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "fieldsolver_exchanged_new_file";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    std::ofstream(dir / "theirs.cache") << "theirs";
    ASSERT_EQ(::chmod((dir / "theirs.cache").c_str(), 0666), 0);
    another_user::Files files;
    ASSERT_TRUE(files.give(dir / "theirs.cache"));
    struct stat theirs {};
    ASSERT_EQ(::stat((dir / "theirs.cache").c_str(), &theirs), 0);
    OutputRoom out(2);
    FillTagged(out);
    SmartCache cache;
    cache.SetSettings(Enabled());
    ASSERT_TRUE(cache.Store(Model(Pair()), out.output));
    int saved = 0, theirsUnderTheName = 0;
    {
        const pid_t exchanger = another_user::Start(dir, [] {
            for (;;) {
                std::error_code ec;
                for (const auto& entry : std::filesystem::directory_iterator(".", ec))
                    if (entry.path().filename().string().rfind(".solver.cache.", 0) == 0)
                        ::renameat2(AT_FDCWD, entry.path().c_str(), AT_FDCWD, "theirs.cache", RENAME_EXCHANGE);
            }
            return 0;
        });
        ASSERT_GT(exchanger, 0);
        for (int i = 0; i < 300; ++i) {
            if (!cache.Save(dir / "solver.cache"))
                continue;
            ++saved;
            struct stat now {};
            theirsUnderTheName += ::lstat((dir / "solver.cache").c_str(), &now) == 0 && now.st_ino == theirs.st_ino;
        }
        ::kill(exchanger, SIGKILL);
        ::waitpid(exchanger, nullptr, 0);
    }
    EXPECT_EQ(theirsUnderTheName, 0) << "of " << saved << " saves answered done";
    int theirsKept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        struct stat st {};
        theirsKept += ::lstat(entry.path().c_str(), &st) == 0 && st.st_ino == theirs.st_ino;
    }
    EXPECT_EQ(theirsKept, 1);
    std::filesystem::remove_all(dir);
}

// At the step where a save gives its new file the cache's name, the process holds no descriptor a program started
// then (by another thread) would inherit, beyond those it held before; and a save refused there because another user
// exchanged the new file away leaves no new file of its own, also where their next exchange put it back as the save
// removed it. A save refused before (its write past the file-size limit) leaves no name they could exchange as it is
// removed and put back after the answer. Their file is never removed.
TEST(SmartCacheFile, ASaveLeavesNoDescriptorToAProgramStartedMeanwhileNorANewFileWhenRefused)
{
    std::string made = (std::filesystem::temp_directory_path() / "fieldsolver_rename_XXXXXX").string();
    ASSERT_NE(::mkdtemp(made.data()), nullptr);
    const std::filesystem::path dir = made;
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    OutputRoom out(2);
    FillTagged(out);
    SmartCache cache;
    cache.SetSettings(Enabled());
    ASSERT_TRUE(cache.Store(Model(Pair()), out.output));
    enum class Exchange { None, Away, AwayAndBack, BeforeTheRenameAndBackAfter };
    const struct {
        const char* name;
        Exchange exchange;
    } cases[] = {{"a save", Exchange::None}, {"new file exchanged away", Exchange::Away},
                 {"new file exchanged away and back", Exchange::AwayAndBack},
                 {"a save refused before its rename, new file exchanged away and back after",
                  Exchange::BeforeTheRenameAndBackAfter}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir / "solver.cache");
        std::ofstream(dir / "theirs") << "theirs";
        ASSERT_EQ(::chmod((dir / "theirs").c_str(), 0666), 0);
        another_user::Files files;
        ASSERT_TRUE(files.give(dir / "theirs"));
        const auto before = inherited::Descriptors();
        std::string inheritable;
        int renames = 0;
        const bool refusedBefore = c.exchange == Exchange::BeforeTheRenameAndBackAfter;
        std::string away;   // the new file's name, exchanged away as it is removed
        const auto previous = SmartCache::SetSaveHook([&](SmartCache::SaveStep step, int folder, const std::string& newFile) {
            if (step == SmartCache::SaveStep::Rename) {
                ++renames;
                inheritable += inherited::Describe(inherited::MadeSince(before));
            }
            if ((step == SmartCache::SaveStep::Rename && c.exchange != Exchange::None) ||
                (step == SmartCache::SaveStep::Remove && c.exchange == Exchange::AwayAndBack))
                ::renameat2(folder, newFile.c_str(), folder, "theirs", RENAME_EXCHANGE);
            if (step == SmartCache::SaveStep::Remove && refusedBefore &&
                ::renameat2(folder, newFile.c_str(), folder, "theirs", RENAME_EXCHANGE) == 0)
                away = newFile;
        });
        rlimit limit{};   // for a refusal before the rename, files grow to 64 bytes only: the write fails part way
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlim_t was = limit.rlim_cur;
        if (refusedBefore) {
            limit.rlim_cur = 64;
            std::signal(SIGXFSZ, SIG_IGN);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        const bool saved = cache.Save(dir / "solver.cache");
        limit.rlim_cur = was;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SmartCache::SetSaveHook(previous);
        if (!away.empty())
            ::renameat2(AT_FDCWD, (dir / away).c_str(), AT_FDCWD, (dir / "theirs").c_str(), RENAME_EXCHANGE);
        EXPECT_EQ(renames, refusedBefore ? 0 : 1);
        EXPECT_EQ(inheritable, "");
        EXPECT_EQ(saved, c.exchange == Exchange::None);
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        if (c.exchange == Exchange::None) {
            EXPECT_EQ(names, (std::vector<std::string>{"solver.cache", "theirs"}));
        } else if (c.exchange == Exchange::AwayAndBack || refusedBefore) {
            EXPECT_EQ(names, (std::vector<std::string>{"theirs"}));   // no file of the save left
            EXPECT_EQ(ReadFile(dir / "theirs"), (std::vector<char>{'t', 'h', 'e', 'i', 'r', 's'}));
        } else {
            // Their file stays under the new file's name; the save's own file sits under theirs, given away by them.
            EXPECT_EQ(names.size(), 2u);
        }
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            std::filesystem::remove(entry.path());
    }
    std::filesystem::remove_all(dir);
}

// Another program's save holds the cache file's save lock past the wait: the save fails and the file stays as it
// was; once the lock is given up, the cache is saved.
TEST(SmartCacheFile, ASaveWaitsForAnotherProgramsSaveAndFailsPastTheWait)
{
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "fieldsolver_save_lock";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string name = dir / "solver.cache";
    WriteFile(name, {'o', 'l', 'd'});
    OutputRoom out(2);
    FillTagged(out);
    SmartCache cache;
    cache.SetSettings(Enabled());
    ASSERT_TRUE(cache.Store(Model(Pair()), out.output));
    const auto wait = safepath::SetSaveLockWait(std::chrono::milliseconds(20));
    const int other = other_locks::Take(name, other_locks::Kind::Write);   // an open of its own: as another save's
    ASSERT_GE(other, 0);
    EXPECT_FALSE(cache.Save(name));
    EXPECT_EQ(ReadFile(name), (std::vector<char>{'o', 'l', 'd'}));
    ::close(other);
    EXPECT_TRUE(cache.Save(name));
    safepath::SetSaveLockWait(wait);
    SmartCache loaded;
    EXPECT_TRUE(loaded.Load(name));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    std::filesystem::remove_all(dir);
}

// Only a program that may write the cache file holds its save off: a process of another user holding a lock through a
// read-only descriptor of the file (mode 0644), or on the folder (0755) of a file not saved yet, holds none (the save
// is done at once: the wait is long, and a save that waited would fail); a write lock of a user who may write the file
// (mode 0666) holds it off past the wait.
TEST(SmartCacheFile, OnlyAProgramThatMayWriteTheFileHoldsItsSaveOff)
{
    using other_locks::Kind;
    const struct {
        const char* name;
        Kind kind;
        bool onFolder;
    } holders[] = {
        {"a read lock", Kind::Read, false},
        {"flock -s", Kind::SharedFlock, false},
        {"flock -x through a read-only descriptor", Kind::ExclusiveFlock, false},
        {"flock -x on the folder", Kind::ExclusiveFlock, true},
        {"a write lock of a user who may write the file", Kind::Write, false},
    };
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "fieldsolver_save_lock_holders";
    OutputRoom out(2);
    FillTagged(out);
    SmartCache cache;
    cache.SetSettings(Enabled());
    ASSERT_TRUE(cache.Store(Model(Pair()), out.output));
    for (const auto& h : holders) {
        SCOPED_TRACE(h.name);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::filesystem::permissions(dir, std::filesystem::perms(0755));
        const std::string name = dir / "solver.cache";
        const bool holdsOff = h.kind == Kind::Write;
        if (!h.onFolder) {
            WriteFile(name, {'o', 'l', 'd'});
            std::filesystem::permissions(name, std::filesystem::perms(holdsOff ? 0666 : 0644));
        }
        const auto wait = safepath::SetSaveLockWait(std::chrono::milliseconds(holdsOff ? 20 : 10000));
        other_locks::Holder holder(dir, h.onFolder ? "." : "solver.cache", h.kind);
        ASSERT_TRUE(holder.holding());
        EXPECT_EQ(cache.Save(name), !holdsOff);
        holder.release();
        safepath::SetSaveLockWait(wait);
        SmartCache loaded;
        EXPECT_EQ(loaded.Load(name), !holdsOff);
    }
    std::filesystem::remove_all(dir);
}

// Saves of one cache file started together, in rounds: each writes a new file of its own, so every one succeeds and
// the file is whole one of them. With one fixed temporary name, a save removed another's, renamed the other's
// half-written file into place and reported success for entries that were not in the file.
TEST(SmartCacheFile, SavesAtOnceEachRenameTheirOwnWholeFile)
{
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "fieldsolver_saves_at_once";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    constexpr int kSavers = 4;
    SmartCache caches[kSavers];
    std::vector<char> alone[kSavers];
    OutputRoom out(2);
    FillTagged(out);
    for (int k = 0; k < kSavers; ++k) {
        caches[k].SetSettings(Enabled());
        for (int i = 0; i < 500; ++i) {   // every entry its own gap between the traces
            CrossSection cs = Pair();
            cs.traces[1].Center += float(k * 500 + i + 1) * kMil;
            ASSERT_TRUE(caches[k].Store(Model(cs), out.output));
        }
        ASSERT_TRUE(caches[k].Save(dir / "alone.cache"));
        alone[k] = ReadFile(dir / "alone.cache");
    }
    const std::string name = dir / "shared.cache";
    for (int round = 0; round < 30; ++round) {
        std::atomic<int> waiting{kSavers};
        bool saved[kSavers] = {};
        std::vector<std::thread> savers;
        for (int k = 0; k < kSavers; ++k)
            savers.emplace_back([&, k] {
                for (--waiting; waiting > 0;) {
                }
                saved[k] = caches[k].Save(name);
            });
        for (std::thread& saver : savers)
            saver.join();
        const std::vector<char> bytes = ReadFile(name);
        EXPECT_EQ(std::count(saved, saved + kSavers, true), kSavers) << "round " << round;
        int whole = 0;   // the file is whole the one of a save that said so
        for (int k = 0; k < kSavers; ++k)
            whole += saved[k] && bytes == alone[k];
        EXPECT_EQ(whole, 1) << "round " << round;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);   // no new file left behind
    std::filesystem::remove_all(dir);
}

TEST(SmartCacheFile, CountsReadAtTheirLargestValueStayThereOnTheNextLookup)
{
    std::vector<char> bytes = ReadFile("data/one_entry.cache");
    for (std::size_t at : {std::size_t(64), std::size_t(68)})   // the lookup and hit counts of the header
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char(i == 3 ? 0x7f : 0xff);
    const std::string name = testing::TempDir() + "fieldsolver_counts.cache";
    WriteFile(name, bytes);
    SmartCache cache;
    ASSERT_TRUE(cache.Load(name));
    OutputRoom got(2);
    EXPECT_TRUE(cache.Lookup(Model(Pair()), got.output));   // a hit: both counts would pass the largest value
    EXPECT_EQ(cache.GetSettings().lookups, 0x7fffffff);
    EXPECT_EQ(cache.GetSettings().hits, 0x7fffffff);
    std::remove(name.c_str());
}

TEST(SmartCache, SecondSolveOfAGeometryIsAHit)
{
    ASSERT_EQ(FieldSolverInit(), 0);
    ASSERT_EQ(FieldSolverSetCacheSettings(Enabled()), 0);
    const CrossSection cs = Pair();
    OutputRoom first(2), second(2);
    ASSERT_EQ(FieldSolverCompute(cs.Input(), first.output), 0);
    ASSERT_EQ(FieldSolverCompute(cs.Input(), second.output), 0);
    SmartCacheSettings s;
    FieldSolverGetCacheSettings(s);
    EXPECT_EQ(s.lookups, 2);
    EXPECT_EQ(s.hits, 1);
    EXPECT_EQ(first.room, second.room);
    FieldSolverClose();
}

// The dielectric tolerance decides whether two close dielectrics merge, but no key holds it: a solve at
// another tolerance used to get the result stored at the default one (here 0.9 % too little capacitance).
TEST(SmartCache, ServesOnlySolvesAtTheDefaultTolerance)
{
    CrossSection cs;
    cs.layers = {Layer(0.0f, FS_LAYER_ROUTING), Layer(2 * kMil, FS_LAYER_DIELECTRIC, 4.0f), Layer(2 * kMil, FS_LAYER_DIELECTRIC, 4.3f),
                 Layer(kMil, FS_LAYER_PLANE)};
    cs.traces = {Trace(1, 0.0f, 6 * kMil, 1)};
    auto solve = [&](float tolerance, bool cached) {
        FieldSolverSettings s;
        FieldSolverGetSettings(s);
        s.dielectricTolerance = tolerance;
        EXPECT_EQ(FieldSolverSetSettings(s), 0);
        SmartCacheSettings c;
        FieldSolverGetCacheSettings(c);
        c.enabled = cached ? 1 : 0;
        FieldSolverSetCacheSettings(c);
        OutputRoom out(1);
        EXPECT_EQ(FieldSolverCompute(cs.Input(), out.output), 0);
        return out.room;
    };
    ASSERT_EQ(FieldSolverInit(), 0);
    const std::vector<float> merged = solve(0.1f, false);
    const std::vector<float> apart = solve(0.01f, true);
    EXPECT_GT(merged[0], 1.005f * apart[0]);   // the merged stack holds more capacitance
    EXPECT_EQ(solve(0.1f, true), merged);
    EXPECT_EQ(solve(0.1f, true), merged);   // and is not stored either
    EXPECT_EQ(FieldSolverCacheInstance()->EntryCount(), 1);
    EXPECT_EQ(solve(0.01f, true), apart);
    SmartCacheSettings c;
    FieldSolverGetCacheSettings(c);
    EXPECT_EQ(c.hits, 1);
    FieldSolverClose();
}

// Loss matrices depend on what no key holds: whether losses are on (a metal's resistivity rounds to 0
// in the key) and a dielectric's conductivity. Lossy solves neither look up nor store; before, a lossy
// solve after a lossless one got no resistance, and stacks that differ only in their conductivity got
// each other's conductance.
TEST(SmartCache, LossySolvesAreNotCached)
{
    auto stripline = [](float conductivity) {
        CrossSection cs;
        cs.layers = {Layer(kMil, FS_LAYER_PLANE, 4), Layer(4 * kMil, FS_LAYER_DIELECTRIC, 4), Layer(kMil, FS_LAYER_ROUTING, 4),
                     Layer(4 * kMil, FS_LAYER_DIELECTRIC, 4), Layer(kMil, FS_LAYER_PLANE, 4)};
        for (auto& l : cs.layers) {
            l.propertyB = conductivity;
            if (!IsDielectric(l))
                l.resistivity = 1.7e-8f;
        }
        cs.traces = {Trace(3, 0.0f, 8 * kMil, 1)};
        return cs;
    };
    ASSERT_EQ(FieldSolverInit(), 0);
    ASSERT_EQ(FieldSolverSetCacheSettings(Enabled()), 0);
    FieldSolverSettings s;
    FieldSolverGetSettings(s);
    OutputRoom lossless(1);
    ASSERT_EQ(FieldSolverCompute(stripline(0.0f).Input(), lossless.output), 0);
    EXPECT_EQ(lossless.output.extraMatrixA[0], 0.0f);
    s.lossesEnabled = 1;
    ASSERT_EQ(FieldSolverSetSettings(s), 0);
    OutputRoom lossy(1), weak(1), strong(1);
    ASSERT_EQ(FieldSolverCompute(stripline(0.0f).Input(), lossy.output), 0);
    EXPECT_GT(lossy.output.extraMatrixA[0], 1.0f);   // ohms per metre of skin resistance at 1 GHz
    ASSERT_EQ(FieldSolverCompute(stripline(1e-3f).Input(), weak.output), 0);
    ASSERT_EQ(FieldSolverCompute(stripline(2e-3f).Input(), strong.output), 0);
    EXPECT_GT(weak.output.extraMatrixB[0], 0.0f);
    EXPECT_NEAR(strong.output.extraMatrixB[0], 2 * weak.output.extraMatrixB[0], 1e-3 * weak.output.extraMatrixB[0]);
    EXPECT_EQ(FieldSolverCacheInstance()->EntryCount(), 1);   // the lossless solve alone
    FieldSolverClose();
}

// A cross-section that validation refuses but whose key rounds to that of a stored one (a space just
// below the vacuum, a trace width just below zero) is refused, not answered from the cache.
TEST(SmartCache, RefusedInputNeverFindsAValidEntry)
{
    ASSERT_EQ(FieldSolverInit(), 0);
    ASSERT_EQ(FieldSolverSetCacheSettings(Enabled()), 0);
    const CrossSection cs = Pair();
    OutputRoom out(2);
    ASSERT_EQ(FieldSolverCompute(cs.Input(), out.output), 0);
    CrossSection below = cs;
    below.spaceEps = 0.99995f;
    OutputRoom a(2);
    EXPECT_EQ(FieldSolverCompute(below.Input(), a.output), FS_BAD_LAYER);
    CrossSection wire;
    wire.layers = {Layer(4 * kMil, FS_LAYER_ROUTING), Layer(4 * kMil, FS_LAYER_DIELECTRIC), Layer(kMil, FS_LAYER_PLANE)};
    wire.traces = {Trace(1, 0.0f, 0.0f, 1)};
    OutputRoom b(1);
    ASSERT_EQ(FieldSolverCompute(wire.Input(), b.output), 0);
    wire.traces[0].TopWidth = -1e-12f;
    EXPECT_EQ(FieldSolverCompute(wire.Input(), b.output), FS_BAD_TRACE);
    SmartCacheSettings s;
    FieldSolverGetCacheSettings(s);
    EXPECT_EQ(s.hits, 0);
    FieldSolverClose();
}

// A key measures lengths against the cross-section's own width, so a copy of a stored cross-section with every
// length scaled, or with a resistivity closer to the stored one than the key resolves, finds its entry; the
// capacitance and inductance per metre are the same, but the DC resistance is not. A hit gives the DC resistance
// of the caller's cross-section, as a solve does.
TEST(SmartCache, AHitGivesTheDcResistanceOfTheCallersCrossSection)
{
    auto stripline = [](float scale, float resistivity, float edge) {
        CrossSection cs;
        cs.layers = {Layer(scale * kMil, FS_LAYER_PLANE, 4), Layer(scale * 4 * kMil, FS_LAYER_DIELECTRIC, 4),
                     Layer(scale * kMil, FS_LAYER_ROUTING, 4), Layer(scale * 4 * kMil, FS_LAYER_DIELECTRIC, 4),
                     Layer(scale * kMil, FS_LAYER_PLANE, 4)};
        for (auto& l : cs.layers)
            if (!IsDielectric(l))
                l.resistivity = resistivity;
        cs.traces = {Trace(3, -6 * scale * kMil, 4 * scale * kMil, 1), Trace(3, 6 * scale * kMil, 4 * scale * kMil, 2)};
        cs.leftEdge = -edge * scale * kMil;
        cs.rightEdge = edge * scale * kMil;
        return cs;
    };
    const struct {
        const char* what;
        float scale, resistivity, edge;
        bool finiteBoard;
    } rows[] = {
        {"every length doubled", 2.0f, 1.7e-8f, 1e6f, false},
        {"a resistivity the key does not tell apart", 1.0f, 1.70005e-8f, 1e6f, false},
        {"a finite board, every length halved", 0.5f, 1.7e-8f, 60.0f, true},
    };
    for (const auto& row : rows) {
        ASSERT_EQ(FieldSolverInit(), 0);
        ASSERT_EQ(FieldSolverSetCacheSettings(Enabled()), 0);
        FieldSolverSettings s;
        FieldSolverGetSettings(s);
        s.finiteBoard = row.finiteBoard ? 1 : 0;
        ASSERT_EQ(FieldSolverSetSettings(s), 0);
        OutputRoom stored(2), hit(2), solved(2);
        ASSERT_EQ(FieldSolverCompute(stripline(1.0f, 1.7e-8f, row.edge).Input(), stored.output), 0) << row.what;
        const CrossSection other = stripline(row.scale, row.resistivity, row.edge);
        ASSERT_EQ(FieldSolverCompute(other.Input(), hit.output), 0) << row.what;
        SmartCacheSettings cs;
        FieldSolverGetCacheSettings(cs);
        ASSERT_EQ(cs.hits, 1) << row.what;
        ASSERT_EQ(FieldSolverSolve(other.Input(), solved.output, 1), 0) << row.what;
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(hit.output.dcResistance[i], solved.output.dcResistance[i]) << row.what << " element " << i;
        FieldSolverClose();
    }
}

// A store makes room while the data held reaches the byte limit and then adds its entry, so a full cache holds one
// entry beyond the limit; its file loads with the same limit (the settings then evict down to it).
TEST(SmartCacheFile, ACacheTheStoreFilledPastItsByteLimitLoads)
{
    const struct {
        const char* what;
        int maxBytes;   // each entry (two conductors over five layers) counts 424 bytes
        int stores;
        int entriesAfterLoad;
    } rows[] = {
        {"the second store passes the limit", 425, 2, 1},
        {"the third store passes the limit", 849, 3, 2},
        {"two entries fill the limit exactly", 848, 2, 2},
    };
    const std::string name = testing::TempDir() + "fieldsolver_full.cache";
    for (const auto& row : rows) {
        std::remove(name.c_str());
        SmartCacheSettings settings = Enabled();
        settings.maxBytes = row.maxBytes;
        std::snprintf(settings.fileName, sizeof settings.fileName, "%s", name.c_str());
        ASSERT_EQ(FieldSolverInit(), 0);
        ASSERT_EQ(FieldSolverSetCacheSettings(settings), 0);
        for (int i = 0; i < row.stores; ++i) {
            CrossSection cs = Pair();
            cs.traces[0].TopWidth = cs.traces[0].BottomWidth = float(4 + i) * kMil;
            OutputRoom out(2);
            ASSERT_EQ(FieldSolverCompute(cs.Input(), out.output), 0) << row.what;
        }
        const int saved = FieldSolverCacheInstance()->EntryCount();
        ASSERT_EQ(FieldSolverClose(), 0) << row.what;
        ASSERT_EQ(FieldSolverInit(), 0);
        ASSERT_EQ(FieldSolverSetCacheSettings(settings), 0);
        EXPECT_EQ(FieldSolverOpenCache(name.c_str()), 0) << row.what << " (" << saved << " entries saved)";
        EXPECT_EQ(FieldSolverCacheInstance()->EntryCount(), row.entriesAfterLoad) << row.what;
        EXPECT_EQ(FieldSolverCacheInstance()->GetSettings().maxBytes, row.maxBytes) << row.what;
        FieldSolverCacheInstance()->SetSettings(Enabled());   // no file name: the close saves nothing
        FieldSolverClose();
    }
    std::remove(name.c_str());
}

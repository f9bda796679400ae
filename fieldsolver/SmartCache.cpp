#include <limits>
#include "fieldsolver/SmartCache.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <mutex>
#include <string>
#include <string_view>
#include <new>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "safepath/Attributes.h"
#include "safepath/HeldPath.h"
#include "safepath/SaveLock.h"

namespace {

constexpr char kHeaderText[36] = "Kestrelon FieldSolver SmartCache   ";
constexpr char kVersionText[16] = "Version 5.9    ";
constexpr int kMaxBucketEntries = 0x40000;
constexpr int kLayerWords = 9;
constexpr int kTraceWords = 7;
constexpr std::uintmax_t kMaxCacheFileBytes = 256u << 20;

std::size_t OutputFloats(int n) { return OwnedOutputFloats(n); }

// Statistics and use counts saturate: a count read from a file may already stand at the largest value.
template <class T>
void CountOne(T& count)
{
    if (count < std::numeric_limits<T>::max())
        count += 1;
}

// Little-endian file access with a byte budget: nothing is read past the file's end.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool Bytes(void* out, std::size_t count)
    {
        if (!ok_ || count > bytes_.size())
            return ok_ = false;
        std::memcpy(out, bytes_.data(), count);
        bytes_.remove_prefix(count);
        return true;
    }
    bool Word(std::int32_t& v)
    {
        unsigned char b[4];
        if (!Bytes(b, 4))
            return false;
        v = std::int32_t(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24);
        return true;
    }
    bool Float(float& v)
    {
        std::int32_t w;
        if (!Word(w))
            return false;
        std::memcpy(&v, &w, 4);
        return true;
    }
    bool Tag(const char* tag)
    {
        char b[4];
        return Bytes(b, 4) && std::memcmp(b, tag, 4) == 0;
    }
    // True when `count` more bytes can still come from the file (checked before allocating).
    bool Holds(long long count) const { return ok_ && count >= 0 && (unsigned long long)count <= bytes_.size(); }

private:
    std::string_view bytes_;
    bool ok_ = true;
};

class Writer {
public:
    void Bytes(const void* p, std::size_t count) { bytes_.append(static_cast<const char*>(p), count); }
    void Word(std::int32_t v)
    {
        const std::uint32_t u = std::uint32_t(v);
        const unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8), static_cast<unsigned char>(u >> 16),
                                    static_cast<unsigned char>(u >> 24)};
        Bytes(b, 4);
    }
    void Float(float v)
    {
        std::int32_t w;
        std::memcpy(&w, &v, 4);
        Word(w);
    }
    void Tag(const char* tag) { Bytes(tag, 4); }
    const std::string& Text() const { return bytes_; }

private:
    std::string bytes_;
};

// Reads the whole cache file before any of it is looked at. The path is walked as a save walks it (in a folder every
// user may write no symbolic link is followed, and a file of neither this user nor the folder's owner is refused:
// another user's file would be taken for this user's results), and the file is opened in the folder that walk ends
// on and judged as opened by the same rule, so that another user's file exchanged for the one checked is not read.
// Only a regular file is read: a FIFO, folder or device named like the cache is refused at once rather than waited
// on or read without end. A file above the limit is refused, also when it grows while it is read; one shortened while
// read is parsed as it was read.
bool ReadCacheFile(const std::string& fileName, std::string& bytes)
{
    safepath::HeldPath held;
    if (held.walkToFile(fileName, safepath::SharedLinks::None) != 0 || !held.exists())
        return false;
    struct stat st {};
    const int fd = held.openFile(O_RDONLY | O_NOCTTY, safepath::Opened::ByOwner, st);
    if (fd < 0)
        return false;
    bool ok = S_ISREG(st.st_mode) && std::uintmax_t(st.st_size) <= kMaxCacheFileBytes;
    char buffer[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = bytes.size() + std::size_t(n) <= kMaxCacheFileBytes;
        if (ok)
            bytes.append(buffer, std::size_t(n));
    }
    ::close(fd);
    return ok;
}

// Writes all of `bytes` to `fd`; false on the first failure (a full disk, the file-size limit).
bool WriteAll(int fd, const std::string& bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

struct SaveHookHolder {
    std::mutex mutex;
    SmartCache::SaveHook hook;
};

SaveHookHolder& TheSaveHook()
{
    static SaveHookHolder holder;
    return holder;
}

void SaveStepReached(SmartCache::SaveStep step, int folder, const std::string& newFile)
{
    SmartCache::SaveHook hook;
    {
        std::lock_guard lock(TheSaveHook().mutex);
        hook = TheSaveHook().hook;
    }
    if (hook)
        hook(step, folder, newFile);
}

// Gives the new file `fd` the looks of the file of this user's own it replaces (safepath::CopyOwnLooks: its mode, then
// its attributes, its access ACL among them), read from the file the name holds now: another save of this process may
// have renamed its file there since the walk. False where they cannot be given: a cache is written whole or not at all.
bool GiveLooks(const safepath::HeldPath& held, int fd)
{
    struct stat now {};
    const int from = safepath::OpenJudged(held.folder(), held.leaf().c_str(), O_RDONLY, nullptr, now);
    if (from < 0)
        return errno == ENOENT;
    const bool given = safepath::CopyOwnLooks(from, fd) == 0;
    ::close(from);
    return given;
}

// Writes the cache file whole or not at all: the bytes go to a new file of this save's own beside it, under a name
// no other save uses (64 random bits, made exclusively), which takes the file's name only once all of them are
// written and closed; of saves at once (two programs, two threads), neither removes or renames the other's file and
// the last to rename wins whole. A failed write removes the new file (only where its name holds that file: see
// below) and leaves the old one as it was; a name that is not a regular file is refused. Behind a symbolic link, the
// link's target is replaced. Every descriptor of the save is close-on-exec: a program another thread starts
// meanwhile holds none of its files.
//
// The path is walked from a held folder descriptor (again once the save lock below is held), and the new file is
// made, renamed and removed relative to the folder that walk ends on, so that a link put on the way after the walk is
// never followed. In a folder every user may write, sticky (as /tmp) or not, the save follows no symbolic link (under
// the name or on the way: another user may have put it there to have this user's cache replaced), and refuses a file
// of neither this user nor the folder's owner (another user's, which this user's solver would then load as its
// results). The new file keeps the mode of the file it replaces only where this user made that file.
//
// Saves of the file by other programs are waited for (the file's save lock, safepath/SaveLock.h, held from the walk
// to the rename), and the save fails where one holds it past the wait, or where no lock can be had; only this user's
// saves and a program that may write the file can hold it so (a file not saved yet is not locked), and a reader's lock
// only where another user may write the file too. A cache is saved whole from memory, not merged with the file: of two
// programs' saves the later replaces the earlier's entries, which are results the solver computes again when it misses
// them. A save whose lock no longer ordered it once it was done (a lock file of the user's own removed or replaced
// meanwhile, safepath::SaveLock::stillOrders) is made again under the lock taken anew, a few times, and then fails.
bool WriteCacheFileUnder(const std::string& fileName, const std::string& bytes, safepath::SaveLock& lock);

bool WriteCacheFile(const std::string& fileName, const std::string& bytes)
{
    constexpr int kMostSaves = 4;
    for (int save = 0; save < kMostSaves; ++save) {
        safepath::SaveLock lock;
        if (!WriteCacheFileUnder(fileName, bytes, lock))
            return false;
        if (lock.stillOrders())
            return true;
    }
    return false;
}

// One save of WriteCacheFile's, under the lock `lock` it takes, held until the caller lets it go.
bool WriteCacheFileUnder(const std::string& fileName, const std::string& bytes, safepath::SaveLock& lock)
{
    safepath::HeldPath held;
    if (held.walkToFile(fileName, safepath::SharedLinks::None) != 0 || lock.take(held) != 0 ||
        held.walkToFile(fileName, safepath::SharedLinks::None) != 0)
        return false;
    const struct stat& old = held.file();
    if (held.exists() && !S_ISREG(old.st_mode))
        return false;
    // The new file has no name until just before the rename, where the file system makes such files: a save refused
    // before then leaves nothing another user could exchange and put back.
    const std::string prefix = "." + held.leaf() + ".";
    std::string temp;
    const int fd = safepath::CreateNewFile(held.folder(), prefix, ".new", 0666, temp);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes) && GiveLooks(held, fd);
    struct stat written {};
    ok = ::fstat(fd, &written) == 0 && ok;
    // The file written stays open, for the look after the rename and so that its inode names no other file until
    // its name is removed.
    const int kept = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (kept < 0) {
        safepath::RemoveOwn(held.folder(), temp.c_str(), fd);
        ::close(fd);
        return false;
    }
    ok = ::close(fd) == 0 && ok;
    ok = ok && safepath::NameNewFile(held.folder(), kept, prefix, ".new", temp) == 0;
    // The rename goes by names, which another user may exchange in a folder every user may write: the new file's
    // name must still hold the file written (what is under it otherwise is not this save's to rename or remove), and
    // the cache's name must be left to it after the rename. A refused save removes the new file's name where it holds
    // that file again (another user's exchange may put it back).
    if (ok)
        SaveStepReached(SmartCache::SaveStep::Rename, held.folder(), temp);
    ok = ok && safepath::Holds(held.folder(), temp.c_str(), written) &&
         ::renameat(held.folder(), temp.c_str(), held.folder(), held.leaf().c_str()) == 0;
    if (!ok && !temp.empty()) {
        SaveStepReached(SmartCache::SaveStep::Remove, held.folder(), temp);
        safepath::RemoveOwn(held.folder(), temp.c_str(), kept);
    }
    ok = ok && safepath::TookName(held.folder(), held.leaf().c_str(), kept);
    ::close(kept);
    return ok;
}

// The twelve arrays in file order (the last four run A, C, B, D).
std::vector<float*> FileArrays(FieldSolverOutput& o)
{
    return {o.capacitance, o.inductance, o.speeds, o.modesToTraces, o.tracesToModes, o.impedance, o.equivalentResistors,
            o.dcResistance, o.extraMatrixA, o.extraMatrixC, o.extraMatrixB, o.extraMatrixD};
}

enum class Translate { Both, Rows, Columns, None };

// M'[i][j] = M[p[i]][p[j]] (rows, columns or both), p mapping target to source index.
void TranslateMatrix(const float* from, float* to, int n, const std::vector<int>& p, Translate how)
{
    if (!from || !to)
        return;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const int si = (how == Translate::Both || how == Translate::Rows) ? p[std::size_t(i)] : i;
            const int sj = (how == Translate::Both || how == Translate::Columns) ? p[std::size_t(j)] : j;
            to[std::size_t(i) * n + j] = from[std::size_t(si) * n + sj];
        }
}

void TranslateOutput(const FieldSolverOutput& from, FieldSolverOutput& to, int n, const std::vector<int>& p)
{
    TranslateMatrix(from.capacitance, to.capacitance, n, p, Translate::Both);
    TranslateMatrix(from.inductance, to.inductance, n, p, Translate::Both);
    if (from.speeds && to.speeds)
        std::copy(from.speeds, from.speeds + n, to.speeds);
    TranslateMatrix(from.modesToTraces, to.modesToTraces, n, p, Translate::Rows);
    TranslateMatrix(from.tracesToModes, to.tracesToModes, n, p, Translate::Columns);
    TranslateMatrix(from.impedance, to.impedance, n, p, Translate::Both);
    TranslateMatrix(from.equivalentResistors, to.equivalentResistors, n, p, Translate::Both);
    TranslateMatrix(from.dcResistance, to.dcResistance, n, p, Translate::Both);
    TranslateMatrix(from.extraMatrixA, to.extraMatrixA, n, p, Translate::Both);
    TranslateMatrix(from.extraMatrixB, to.extraMatrixB, n, p, Translate::Both);
    TranslateMatrix(from.extraMatrixC, to.extraMatrixC, n, p, Translate::Both);
    TranslateMatrix(from.extraMatrixD, to.extraMatrixD, n, p, Translate::Both);
}

// What a stored result must look like to be handed out: only successful solves are stored, so a
// result read from a file with another status, a mode count beyond its conductors, a value that is
// not a number, or a conductor without self capacitance, self inductance or speed is a damaged one.
bool StoredResultPlausible(const FieldSolverOutput& o)
{
    const int n = o.conductorCount;
    if (o.status != FS_OK || o.modeCount < 0 || o.modeCount > n)
        return false;
    FieldSolverOutput copy = o;
    for (float* a : FileArrays(copy)) {
        const std::size_t count = a == o.speeds ? std::size_t(n) : std::size_t(n) * n;
        if (!std::all_of(a, a + count, [](float v) { return std::isfinite(v); }))
            return false;
    }
    for (int i = 0; i < n; ++i)
        if (!(o.capacitance[std::size_t(i) * n + i] > 0.0f) || !(o.inductance[std::size_t(i) * n + i] > 0.0f) || !(o.speeds[i] > 0.0f))
            return false;
    return true;
}

int Rank(std::int32_t type)
{
    const int t = EffectiveLayerType(type);
    return t == FS_LAYER_DIELECTRIC ? 0 : (t == FS_LAYER_ROUTING ? 1 : 2);
}

} // namespace

std::int32_t QuantiseRound(double v)
{
    if (v == 0.0 || std::isnan(v))
        return 0;
    const double r = v < 0 ? std::trunc(v - 0.5) : std::trunc(v + 0.5);
    if (r >= double(INT32_MAX))
        return INT32_MAX;
    if (r <= double(INT32_MIN))
        return INT32_MIN;
    return std::int32_t(r);
}

bool SmartCacheKey::operator==(const SmartCacheKey& o) const
{
    return n == o.n && m == o.m && leftEdge == o.leftEdge && rightEdge == o.rightEdge && spaceDiel == o.spaceDiel && spaceA == o.spaceA
           && spaceB == o.spaceB && accuracy == o.accuracy && layers == o.layers && traces == o.traces;
}

std::uint32_t HashCacheKey(const SmartCacheKey& key)
{
    std::uint32_t h = std::uint32_t(key.n) + 2u * std::uint32_t(key.m);
    unsigned shift = 2;
    auto add = [&](std::int32_t w) {
        h += std::uint32_t(w) << (shift % 10);
        ++shift;
    };
    for (std::int32_t w : key.layers) add(w);
    for (std::int32_t w : key.traces) add(w);
    for (std::int32_t w : {key.leftEdge, key.rightEdge, key.spaceDiel, key.spaceA, key.spaceB, key.accuracy}) add(w);
    return h;
}

bool BuildCacheKey(const FieldSolverModel& model, SmartCacheKey& key, std::vector<int>& oldToNew, std::vector<int>& newToOld)
{
    key = SmartCacheKey{};
    oldToNew.clear();
    newToOld.clear();
    try {
        const int n = model.layerCount(), m = model.traceCount();
        auto layerIsPlane = [&](const FieldSolverTrace& t) {
            return t.LayerIndex >= 1 && t.LayerIndex <= n && IsPlane(model.layers[std::size_t(t.LayerIndex - 1)]);
        };
        // 1-2. Extent of the traces, centre and scales.
        double left = 1e10, right = -1e10;
        for (const auto& t : model.traces) {
            const double half = 0.5 * std::max(t.TopWidth, t.BottomWidth);
            double l = double(t.Center) - half;
            if (layerIsPlane(t))
                l -= t.LeftXtoPlane;
            left = std::min(left, l);
            right = std::max(right, double(t.Center) + half);
        }
        const double x0 = m > 0 ? 0.5 * (left + right) : 0.0;
        const double s = model.accuracyLevel != 0 ? 10000.0 * model.accuracyLevel : 10000.0;
        // A zero extent (a single round wire, say) has no width to scale by: K falls back to S.
        const double k = (m > 0 && right - left > 0.0) ? s / (right - left) : s;
        key.S = float(s);
        key.K = float(k);
        key.X0 = float(x0);
        key.n = n;
        key.m = m;
        // 3. Board edges.
        if (model.boardEdgesUsed) {
            key.leftEdge = QuantiseRound(k * (double(model.LeftEdgeX) - x0));
            key.rightEdge = QuantiseRound(k * (double(model.RightEdgeX) - x0));
        }
        // 4. Quantised layers, traces and space.
        const bool losses = model.lossesEnabled, extra = model.lossesEnabled && model.extraLossEnabled;
        key.layers.resize(std::size_t(n) * kLayerWords);
        for (int i = 0; i < n; ++i) {
            const FieldSolverLayer& l = model.layers[std::size_t(i)];
            std::int32_t* q = key.layers.data() + std::size_t(i) * kLayerWords;
            q[0] = QuantiseRound(k * l.Thickness);
            q[1] = QuantiseRound(s * l.DielConstant * 0.23809525);
            q[2] = losses ? QuantiseRound(s * l.propertyA * 50.0) : 0;
            q[3] = losses ? QuantiseRound(s * l.resistivity * 2277.9043) : 0;
            q[4] = l.LayerType;
            q[5] = l.fillsNeighbours ? 1 : 0;
            q[6] = QuantiseRound(s * l.resistivity * 58004640.0);
            q[7] = extra ? QuantiseRound(s * l.propertyC * 1e6) : 0;
            q[8] = extra ? QuantiseRound(s * l.propertyD * 1e6) : 0;
        }
        key.traces.resize(std::size_t(m) * kTraceWords);
        for (int i = 0; i < m; ++i) {
            const FieldSolverTrace& t = model.traces[std::size_t(i)];
            std::int32_t* q = key.traces.data() + std::size_t(i) * kTraceWords;
            const bool plane = layerIsPlane(t);
            q[0] = t.LayerIndex;
            q[1] = QuantiseRound(k * (double(t.Center) - x0));
            q[2] = QuantiseRound(k * t.TopWidth);
            q[3] = QuantiseRound(k * t.BottomWidth);
            q[4] = plane ? QuantiseRound(k * t.LeftXtoPlane) : 0;
            q[5] = plane ? QuantiseRound(k * t.RightXtoPlane) : 0;
            q[6] = t.conductor < 0 ? 0 : t.conductor;
        }
        key.spaceDiel = QuantiseRound(s * model.SpaceDielConstant * 0.23809525);
        if (losses) {
            key.spaceA = QuantiseRound(s * model.spacePropertyA * 50.0);
            key.spaceB = QuantiseRound(s * model.spacePropertyB * 2277.9043);
        }
        key.accuracy = model.accuracyLevel;
        // 5. Orientation: compare the layer pairs from the outside in; turn the stack when the bottom
        //    half "weighs" less. Turning also swaps what lies at each trace's and layer's top and bottom.
        int decision = 0;
        for (int i = 0; i < n / 2 && decision == 0; ++i) {
            const std::int32_t* a = key.layers.data() + std::size_t(i) * kLayerWords;
            const std::int32_t* b = key.layers.data() + std::size_t(n - 1 - i) * kLayerWords;
            const long long diffs[4] = {Rank(b[4]) - Rank(a[4]), (long long)b[1] - a[1], (long long)b[0] - a[0],
                                        Rank(a[4]) == 0 ? (long long)b[5] - a[5] : (long long)b[6] - a[6]};
            for (long long d : diffs)
                if (d != 0) {
                    decision = d < 0 ? -1 : 1;
                    break;
                }
        }
        if (decision < 0) {
            for (int i = 0; i < n / 2; ++i)
                std::swap_ranges(key.layers.begin() + long(i) * kLayerWords, key.layers.begin() + long(i + 1) * kLayerWords,
                                 key.layers.begin() + long(n - 1 - i) * kLayerWords);
            for (int i = 0; i < n; ++i)
                std::swap(key.layers[std::size_t(i) * kLayerWords + 7], key.layers[std::size_t(i) * kLayerWords + 8]);
            for (int i = 0; i < m; ++i) {
                std::int32_t* q = key.traces.data() + std::size_t(i) * kTraceWords;
                q[0] = n - q[0] + 1;
                std::swap(q[2], q[3]);
            }
        }
        // 6. Sort the traces: signal first, then by layer, then by centre.
        std::vector<std::array<std::int32_t, kTraceWords>> rows(static_cast<std::size_t>(m));
        for (int i = 0; i < m; ++i)
            std::copy_n(key.traces.data() + std::size_t(i) * kTraceWords, kTraceWords, rows[std::size_t(i)].begin());
        std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
            const bool sa = a[6] != 0, sb = b[6] != 0;
            if (sa != sb) return sa;
            if (a[0] != b[0]) return a[0] < b[0];
            return a[1] < b[1];
        });
        // 7. Renumber the signal conductors by first appearance.
        int highest = 0;
        for (const auto& r : rows)
            highest = std::max(highest, int(r[6]));
        oldToNew.assign(std::size_t(highest), 0);
        for (auto& r : rows) {
            if (r[6] == 0)
                continue;
            int& mapped = oldToNew[std::size_t(r[6] - 1)];
            if (mapped == 0) {
                newToOld.push_back(r[6]);
                mapped = int(newToOld.size());
            }
            r[6] = mapped;
        }
        for (int i = 0; i < m; ++i)
            std::copy(rows[std::size_t(i)].begin(), rows[std::size_t(i)].end(), key.traces.data() + std::size_t(i) * kTraceWords);
        return true;
    } catch (const std::bad_alloc&) {
        key = SmartCacheKey{};
        oldToNew.clear();
        newToOld.clear();
        return false;
    }
}

SmartCache::SmartCache()
    : clock_([] { return std::time(nullptr); })
{
    CreateTable(1024, 1024);
}

SmartCache::~SmartCache()
{
    recorder_.Close(false);
    ReleaseTable();
}

void SmartCache::SetClock(Clock clock)
{
    clock_ = clock;
    recorder_.SetClock(std::move(clock));
}

void SmartCache::CreateTable(int bucketCount, int growthStep)
{
    buckets_.assign(std::size_t(bucketCount), Bucket{});
    for (auto& b : buckets_) {
        b.growthStep = growthStep;
        b.capacity = 1024;
    }
    growthStep_ = growthStep;
    entryCount_ = 0;
    dataBytes_ = 0;
    fileBytes_ = 16 + 16LL * bucketCount;
}

void SmartCache::ReleaseTable()
{
    priorityList_.clear();
    buckets_.clear();
    owned_.clear();
    entryCount_ = 0;
    dataBytes_ = 0;
    fileBytes_ = 0;
}

void SmartCache::Clear()
{
    ReleaseTable();
    lookups_ = hits_ = evictions_ = 0;
    CreateTable(1024, 1024);
}

std::size_t SmartCache::EntryDataBytes(const Entry& e)
{
    return e.key.Bytes() + 4 + OutputFloats(e.output.Record().conductorCount) * 4;
}

std::size_t SmartCache::EntryFileBytes(const Entry& e)
{
    return 4 + (36u * (std::size_t(e.key.n) + 1) + 28u * std::size_t(e.key.m)) + (OutputFloats(e.output.Record().conductorCount) * 4 + 16) + 28;
}

void SmartCache::Reprioritise(Entry& e) const
{
    switch (priorityMode_) {
    case 0: e.priority.priority = 0; break;
    case 1: e.priority.priority = e.priority.useCount + 1; break;
    case 2: e.priority.priority = e.priority.timeStamp; break;
    default: break;
    }
}

void SmartCache::Stamp(Entry& e)
{
    CountOne(e.priority.useCount);
    e.priority.timeStamp = Now();
    Reprioritise(e);
}

void SmartCache::SortPriorityList()
{
    std::sort(priorityList_.begin(), priorityList_.end(), [](const Entry* a, const Entry* b) {
        if (a->priority.priority != b->priority.priority)
            return a->priority.priority < b->priority.priority;
        return std::less<const Entry*>()(a, b);
    });
}

void SmartCache::RemoveEntry(Entry* e)
{
    priorityList_.erase(std::remove(priorityList_.begin(), priorityList_.end(), e), priorityList_.end());
    for (auto& b : buckets_)
        b.entries.erase(std::remove(b.entries.begin(), b.entries.end(), e), b.entries.end());
    entryCount_ -= 1;
    dataBytes_ -= (long long)EntryDataBytes(*e);
    fileBytes_ -= (long long)EntryFileBytes(*e);
    owned_.erase(std::remove_if(owned_.begin(), owned_.end(), [e](const std::unique_ptr<Entry>& p) { return p.get() == e; }),
                 owned_.end());
}

void SmartCache::EvictFirst()
{
    if (priorityList_.empty())
        return;
    RemoveEntry(priorityList_.front());
    CountOne(evictions_);
}

void SmartCache::ApplyLimits(int maxEntries, int maxBytes)
{
    maxEntries_ = maxEntries;
    while (entryCount_ > maxEntries_ && !priorityList_.empty())
        EvictFirst();
    maxBytes_ = maxBytes;
    while (dataBytes_ > maxBytes_ && !priorityList_.empty())
        EvictFirst();
}

SmartCacheSettings SmartCache::GetSettings() const
{
    SmartCacheSettings s;
    s.enabled = enabled_;
    s.maxEntries = maxEntries_;
    s.maxBytes = maxBytes_;
    s.priorityMode = priorityMode_;
    s.maxTraces = maxTraces_;
    s.minTraces = minTraces_;
    std::snprintf(s.fileName, sizeof s.fileName, "%s", fileName_.c_str());
    s.entryCount = entryCount_;
    s.dataBytes = std::int32_t(std::min<long long>(dataBytes_, INT32_MAX));
    s.lookups = lookups_;
    s.hits = hits_;
    s.evictions = evictions_;
    return s;
}

int SmartCache::SetSettings(const SmartCacheSettings& s)
{
    fileName_.assign(s.fileName, strnlen(s.fileName, sizeof s.fileName));
    enabled_ = s.enabled;
    maxTraces_ = s.maxTraces;
    minTraces_ = s.minTraces;
    ApplyLimits(s.maxEntries, s.maxBytes);
    priorityMode_ = s.priorityMode;
    for (Entry* e : priorityList_)
        Reprioritise(*e);
    SortPriorityList();
    return FS_OK;
}

bool SmartCache::Lookup(const FieldSolverModel& model, FieldSolverOutput& output)
{
    const int m = model.traceCount();
    if (!enabled_ || m < minTraces_ || m > maxTraces_)
        return false;
    CountOne(lookups_);
    SmartCacheKey key;
    std::vector<int> oldToNew, newToOld;
    if (!BuildCacheKey(model, key, oldToNew, newToOld))
        return false;
    // Conductor numbers with gaps cannot be translated; the solve will reject them anyway.
    if (newToOld.size() != oldToNew.size())
        return false;
    if (buckets_.empty())
        CreateTable(1024, 1024);
    const std::uint32_t hash = HashCacheKey(key);
    Bucket& bucket = buckets_[hash % buckets_.size()];
    auto it = std::lower_bound(bucket.entries.begin(), bucket.entries.end(), hash, [](const Entry* e, std::uint32_t h) { return e->hash < h; });
    for (; it != bucket.entries.end() && (*it)->hash == hash; ++it) {
        Entry& e = **it;
        if (!(e.key == key))
            continue;
        const int n = e.output.Record().conductorCount;
        if (n != int(oldToNew.size()))
            return false;   // a stored result that does not match its own key (a damaged file)
        if (n > output.conductorCount) {
            output.status = FS_OUTPUT_TOO_SMALL;   // nothing is copied
            return true;
        }
        std::vector<int> p(oldToNew.size());
        for (std::size_t i = 0; i < p.size(); ++i)
            p[i] = oldToNew[i] - 1;
        TranslateOutput(e.output.Record(), output, n, p);
        output.conductorCount = n;
        output.modeCount = e.output.Record().modeCount;
        output.status = e.output.Record().status;
        CountOne(hits_);
        Stamp(e);
        SortPriorityList();
        return true;
    }
    return false;
}

bool SmartCache::Store(const FieldSolverModel& model, const FieldSolverOutput& output)
{
    const int m = model.traceCount();
    if (!enabled_ || m < minTraces_ || m > maxTraces_)
        return true;
    while ((maxEntries_ <= entryCount_ || maxBytes_ <= dataBytes_) && !priorityList_.empty())
        EvictFirst();
    try {
        auto entry = std::make_unique<Entry>();
        std::vector<int> oldToNew, newToOld;
        if (!BuildCacheKey(model, entry->key, oldToNew, newToOld))
            return false;
        const int n = output.conductorCount;
        if (n != int(newToOld.size()) || newToOld.size() != oldToNew.size())
            return false;
        if (!entry->output.Size(n))
            return false;
        std::vector<int> p(newToOld.size());
        for (std::size_t i = 0; i < p.size(); ++i)
            p[i] = newToOld[i] - 1;
        FieldSolverOutput& stored = entry->output.Record();
        TranslateOutput(output, stored, n, p);
        stored.conductorCount = n;
        stored.modeCount = output.modeCount;
        stored.status = output.status;
        entry->hash = HashCacheKey(entry->key);
        if (buckets_.empty())
            CreateTable(1024, 1024);
        Bucket& bucket = buckets_[entry->hash % buckets_.size()];
        auto it = std::lower_bound(bucket.entries.begin(), bucket.entries.end(), entry->hash,
                                   [](const Entry* e, std::uint32_t h) { return e->hash < h; });
        for (auto j = it; j != bucket.entries.end() && (*j)->hash == entry->hash; ++j)
            if ((*j)->key == entry->key)
                return true;   // already known
        if (int(bucket.entries.size()) >= bucket.capacity) {
            if (bucket.capacity >= kMaxBucketEntries)
                return false;   // the bucket cannot grow further; it stays as it was
            bucket.capacity = std::min(kMaxBucketEntries, bucket.capacity + bucket.growthStep);
        }
        Entry* raw = entry.get();
        raw->priority = SmartCachePriority{};
        raw->priority.timeStamp = Now();
        const std::uint32_t cost = std::uint32_t(m) * std::uint32_t(model.accuracyLevel > 1 ? model.accuracyLevel : 1);
        raw->priority.cost = cost;
        raw->priority.cost2 = cost * cost;
        raw->priority.cost3 = cost * cost * cost;
        owned_.push_back(std::move(entry));
        bucket.entries.insert(it, raw);
        entryCount_ += 1;
        dataBytes_ += (long long)EntryDataBytes(*raw);
        fileBytes_ += (long long)EntryFileBytes(*raw);
        Stamp(*raw);
        priorityList_.push_back(raw);
        SortPriorityList();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool SmartCache::CheckConsistency() const
{
    if (buckets_.empty())
        return true;
    for (std::size_t b = 0; b < buckets_.size(); ++b) {
        const auto& entries = buckets_[b].entries;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i]->hash % buckets_.size() != b)
                return false;
            if (i > 0 && entries[i]->hash < entries[i - 1]->hash)
                return false;
            for (std::size_t j = i + 1; j < entries.size() && entries[j]->hash == entries[i]->hash; ++j)
                if (entries[j]->key == entries[i]->key)
                    return false;
        }
    }
    return true;
}

bool SmartCache::Save(const std::string& fileName) const
{
    Writer w;
    w.Bytes(kHeaderText, 36);
    w.Bytes(kVersionText, 16);
    for (std::int32_t v : {enabled_, maxEntries_, maxBytes_, lookups_, hits_, priorityMode_, maxTraces_, minTraces_, evictions_})
        w.Word(v);
    w.Word(std::int32_t(buckets_.size()));
    w.Word(entryCount_);
    w.Word(std::int32_t(std::min<long long>(dataBytes_, INT32_MAX)));
    w.Word(growthStep_);
    for (const auto& b : buckets_) {
        w.Tag("ENT=");
        w.Word(b.growthStep);
        w.Word(b.capacity);
        w.Word(std::int32_t(b.entries.size()));
        for (const Entry* e : b.entries) {
            w.Tag("ITM=");
            w.Tag("INP=");
            w.Word(e->key.n);
            for (std::int32_t v : e->key.layers) w.Word(v);
            w.Word(e->key.m);
            for (std::int32_t v : e->key.traces) w.Word(v);
            for (std::int32_t v : {e->key.leftEdge, e->key.rightEdge, e->key.spaceDiel, e->key.spaceA, e->key.spaceB, e->key.accuracy})
                w.Word(v);
            FieldSolverOutput o = e->output.Record();
            const int n = o.conductorCount;
            w.Tag("OUT=");
            w.Word(o.status);
            w.Word(o.modeCount);
            w.Word(n);
            for (float* a : FileArrays(o)) {
                const std::size_t count = a == o.speeds ? std::size_t(n) : std::size_t(n) * n;
                for (std::size_t i = 0; i < count; ++i)
                    w.Float(a[i]);
            }
            w.Tag("PRI=");
            const SmartCachePriority& p = e->priority;
            for (std::uint32_t v : {p.useCount, p.timeStamp, p.cost, p.cost2, p.cost3, p.priority})
                w.Word(std::int32_t(v));
        }
    }
    w.Tag("=END");
    // A file larger than a load reads would replace the old one with a cache that never loads again.
    if (w.Text().size() > kMaxCacheFileBytes)
        return false;
    return WriteCacheFile(fileName, w.Text());
}

SmartCache::SaveHook SmartCache::SetSaveHook(SaveHook hook)
{
    std::lock_guard lock(TheSaveHook().mutex);
    return std::exchange(TheSaveHook().hook, std::move(hook));
}

bool SmartCache::Load(const std::string& fileName)
{
    std::string bytes;
    if (!ReadCacheFile(fileName, bytes))
        return false;
    const SmartCacheSettings kept = GetSettings();
    Reader r(bytes);
    SmartCacheSettings fromFile = kept;
    bool ok = true;
    char text[36];
    ok = r.Bytes(text, 36) && std::memcmp(text, kHeaderText, 36) == 0;
    ok = ok && r.Bytes(text, 16) && std::memcmp(text, kVersionText, 16) == 0;
    std::int32_t header[9] = {};
    for (int i = 0; i < 9 && ok; ++i)
        ok = r.Word(header[i]);
    if (ok) {
        fromFile.enabled = header[0];
        fromFile.maxEntries = header[1];
        fromFile.maxBytes = header[2];
        fromFile.priorityMode = header[5];
        fromFile.maxTraces = header[6];
        fromFile.minTraces = header[7];
        priorityMode_ = header[5];
        lookups_ = header[3];
        hits_ = header[4];
        evictions_ = header[8];
    }
    std::int32_t bucketCount = 0, entryWord = 0, dataWord = 0, growth = 0;
    ok = ok && r.Word(bucketCount) && r.Word(entryWord) && r.Word(dataWord) && r.Word(growth);
    ok = ok && bucketCount >= 1 && bucketCount <= 4096 && entryWord >= 1 && dataWord != 0 && growth >= 1 && growth <= 4096;
    // Every count is checked against what the file can still hold and against the limits in force
    // before the load, before anything is allocated for it.
    ok = ok && r.Holds(16LL * bucketCount + 4);
    long long loadedEntries = 0, loadedBytes = 0, largestEntry = 0;
    if (ok) {
        ReleaseTable();
        CreateTable(bucketCount, growth);
    }
    constexpr long long kMinEntryBytes = 4 + (36 * 2 + 28) + (16 + 12 * 4) + 28;
    for (std::int32_t b = 0; b < bucketCount && ok; ++b) {
        std::int32_t bucketGrowth = 0, capacity = 0, count = 0;
        ok = r.Tag("ENT=") && r.Word(bucketGrowth) && r.Word(capacity) && r.Word(count);
        ok = ok && bucketGrowth >= 1 && bucketGrowth <= 1024 && count >= 0 && count <= kMaxBucketEntries;
        ok = ok && r.Holds(kMinEntryBytes * count) && loadedEntries + count <= kept.maxEntries;
        if (!ok)
            break;
        Bucket& bucket = buckets_[std::size_t(b)];
        bucket.growthStep = bucketGrowth;
        bucket.capacity = std::max(count, 1024);
        for (std::int32_t i = 0; i < count && ok; ++i) {
            std::int32_t n = 0, m = 0, conductors = 0;
            ok = r.Tag("ITM=") && r.Tag("INP=") && r.Word(n) && n >= 1 && n <= 256 && r.Holds(36LL * n + 4);
            if (!ok)
                break;
            auto entry = std::make_unique<Entry>();
            SmartCacheKey& key = entry->key;
            key.n = n;
            key.layers.resize(std::size_t(n) * kLayerWords);
            for (auto& v : key.layers)
                ok = ok && r.Word(v);
            ok = ok && r.Word(m) && m >= 1 && m <= 1024 && r.Holds(28LL * m + 24);
            if (!ok)
                break;
            key.m = m;
            key.traces.resize(std::size_t(m) * kTraceWords);
            for (auto& v : key.traces)
                ok = ok && r.Word(v);
            for (std::int32_t* v : {&key.leftEdge, &key.rightEdge, &key.spaceDiel, &key.spaceA, &key.spaceB, &key.accuracy})
                ok = ok && r.Word(*v);
            std::int32_t status = 0, modeCount = 0;
            ok = ok && r.Tag("OUT=") && r.Word(status) && r.Word(modeCount) && r.Word(conductors) && conductors >= 1 && conductors <= 1024;
            if (!ok)
                break;   // the count is checked before any size is computed from it
            const long long outputBytes = (long long)OutputFloats(conductors) * 4;
            // A store makes room while the data reaches the limit and then adds its entry: a full cache holds one
            // entry beyond the limit, and without its largest entry it is within it. An entry larger than the limit
            // alone could not stay after the load.
            const long long entryBytes = (long long)key.Bytes() + 4 + outputBytes;
            loadedBytes += entryBytes;
            largestEntry = std::max(largestEntry, entryBytes);
            ok = ok && r.Holds(outputBytes + 28) && largestEntry <= kept.maxBytes &&
                 loadedBytes - largestEntry < kept.maxBytes;
            if (!ok || !entry->output.Size(conductors)) {
                ok = false;
                break;
            }
            FieldSolverOutput& o = entry->output.Record();
            o.status = status;
            o.modeCount = modeCount;
            for (float* a : FileArrays(o)) {
                const std::size_t count2 = a == o.speeds ? std::size_t(conductors) : std::size_t(conductors) * conductors;
                for (std::size_t k = 0; k < count2 && ok; ++k)
                    ok = r.Float(a[k]);
            }
            ok = ok && r.Tag("PRI=");
            std::int32_t p[6] = {};
            for (int k = 0; k < 6 && ok; ++k)
                ok = r.Word(p[k]);
            if (!ok)
                break;
            entry->priority = SmartCachePriority{std::uint32_t(p[0]), std::uint32_t(p[1]), std::uint32_t(p[2]), std::uint32_t(p[3]),
                                                 std::uint32_t(p[4]), std::uint32_t(p[5])};
            ok = StoredResultPlausible(o);
            if (!ok)
                break;
            entry->hash = HashCacheKey(key);
            bucket.entries.push_back(entry.get());
            owned_.push_back(std::move(entry));
            ++loadedEntries;
        }
    }
    // The table's entry count is written from the same entries: a file that holds another number of
    // them lost or gained some.
    ok = ok && r.Tag("=END") && loadedEntries == entryWord;
    if (!ok) {
        Clear();
        SetSettings(kept);
        return false;
    }
    entryCount_ = 0;
    dataBytes_ = 0;
    fileBytes_ = 16;
    priorityList_.clear();
    for (auto& b : buckets_) {
        std::stable_sort(b.entries.begin(), b.entries.end(), [](const Entry* x, const Entry* y) { return x->hash < y->hash; });
        fileBytes_ += 16;
        for (Entry* e : b.entries) {
            entryCount_ += 1;
            dataBytes_ += (long long)EntryDataBytes(*e);
            fileBytes_ += (long long)EntryFileBytes(*e);
            priorityList_.push_back(e);
        }
    }
    SortPriorityList();
    std::snprintf(fromFile.fileName, sizeof fromFile.fileName, "%s", kept.fileName);
    SetSettings(fromFile);
    return true;
}

// Result cache of the field solver: solves keyed by a normalised, quantised copy of the working model
// (shift-, order- and flip-independent), kept in hash buckets, evicted by priority, saved to and
// loaded from a binary file.
#pragma once

#include "fieldsolver/FieldSolverRecords.h"
#include "fieldsolver/SelfTestRecorder.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct SmartCacheKey {
    std::int32_t n = 0;   // layers
    std::int32_t m = 0;   // traces
    std::vector<std::int32_t> layers;   // n x 9
    std::vector<std::int32_t> traces;   // m x 7
    std::int32_t leftEdge = 0, rightEdge = 0, spaceDiel = 0, spaceA = 0, spaceB = 0, accuracy = 0;
    float S = 10000.0f, K = 10000.0f, X0 = 0.0f;   // scales, not stored and not compared

    std::size_t Bytes() const { return 36u * std::size_t(n) + 28u * std::size_t(m); }
    bool operator==(const SmartCacheKey& o) const;
};

struct SmartCachePriority {
    std::uint32_t useCount = 0;
    std::uint32_t timeStamp = 0;
    std::uint32_t cost = 0, cost2 = 0, cost3 = 0;
    std::uint32_t priority = 0;
};

struct SmartCacheSettings {
    std::int32_t enabled = 0;
    std::int32_t maxEntries = 8192;
    std::int32_t maxBytes = 0x200000;
    std::int32_t priorityMode = 2;   // 0 none, 1 least often used, 2 least recently used
    std::int32_t maxTraces = 50;
    std::int32_t minTraces = 1;
    char fileName[256] = {};
    // Filled by get only.
    std::int32_t entryCount = 0;
    std::int32_t dataBytes = 0;
    std::int32_t lookups = 0;
    std::int32_t hits = 0;
    std::int32_t evictions = 0;
};

// Quantises a model into a key; permutation[old - 1] = new conductor number and inverse[new - 1] = old.
bool BuildCacheKey(const FieldSolverModel& model, SmartCacheKey& key, std::vector<int>& oldToNew, std::vector<int>& newToOld);
std::uint32_t HashCacheKey(const SmartCacheKey& key);
// Rounds halves away from zero, saturating at the 32-bit limits.
std::int32_t QuantiseRound(double v);

class SmartCache {
public:
    using Clock = std::function<std::time_t()>;

    SmartCache();
    ~SmartCache();
    SmartCache(const SmartCache&) = delete;
    SmartCache& operator=(const SmartCache&) = delete;

    void Clear();
    SmartCacheSettings GetSettings() const;
    int SetSettings(const SmartCacheSettings& settings);
    bool Lookup(const FieldSolverModel& model, FieldSolverOutput& output);
    bool Store(const FieldSolverModel& model, const FieldSolverOutput& output);
    bool CheckConsistency() const;
    bool Load(const std::string& fileName);
    // False, with the old file as it was, where the file could not be written whole or would be larger than Load
    // reads (256 MiB).
    bool Save(const std::string& fileName) const;

    // Test seam of the file's save: called as the save is about to give its new file the cache's name (Rename) and
    // as a refused save is about to remove that file's name (Remove), with the folder it works in (a descriptor) and
    // the new file's name there; a test exchanges names or looks at the process there. Process-wide; returns the
    // hook it replaces.
    enum class SaveStep { Rename, Remove };
    using SaveHook = std::function<void(SaveStep step, int folder, const std::string& newFile)>;
    static SaveHook SetSaveHook(SaveHook hook);

    SelfTestRecorder& Recorder() { return recorder_; }
    const std::string& FileName() const { return fileName_; }
    int EntryCount() const { return entryCount_; }
    long long DataBytes() const { return dataBytes_; }
    long long FileBytes() const { return fileBytes_; }
    void SetClock(Clock clock);

private:
    struct Entry {
        SmartCachePriority priority;
        std::uint32_t hash = 0;
        SmartCacheKey key;
        OwnedOutput output;
    };
    struct Bucket {
        std::int32_t growthStep = 1024;
        std::int32_t capacity = 1024;
        std::vector<Entry*> entries;   // sorted by hash
    };

    void CreateTable(int bucketCount, int growthStep);
    void ReleaseTable();
    std::uint32_t Now() const { return std::uint32_t(clock_()); }
    void Stamp(Entry& e);
    void Reprioritise(Entry& e) const;
    void SortPriorityList();
    void EvictFirst();
    void RemoveEntry(Entry* e);
    static std::size_t EntryDataBytes(const Entry& e);
    static std::size_t EntryFileBytes(const Entry& e);
    void ApplyLimits(int maxEntries, int maxBytes);

    std::vector<Bucket> buckets_;
    std::vector<std::unique_ptr<Entry>> owned_;
    std::vector<Entry*> priorityList_;
    int priorityMode_ = 2;
    int entryCount_ = 0;
    long long dataBytes_ = 0;
    long long fileBytes_ = 0;
    int growthStep_ = 1024;
    SelfTestRecorder recorder_;
    int maxEntries_ = 8192;
    int maxBytes_ = 0x200000;
    int maxTraces_ = 50;
    int minTraces_ = 1;
    int enabled_ = 0;
    std::string fileName_;
    int lookups_ = 0, hits_ = 0, evictions_ = 0;
    Clock clock_;
};

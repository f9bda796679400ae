// Turns real solves into regression cases: the input as a text case file (".inp"), the result as a
// text report (".res"), and one line per case in an index file that is committed on close.
#pragma once

#include "fieldsolver/FieldSolverRecords.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

class SelfTestRecorder {
public:
    using Clock = std::function<std::time_t()>;

    struct TestCase {
        std::string name = "Untitled";
        int conductorCount = 0;
        FieldSolverModel input;
        OwnedOutput output;
    };

    SelfTestRecorder();
    ~SelfTestRecorder();
    SelfTestRecorder(const SelfTestRecorder&) = delete;
    SelfTestRecorder& operator=(const SelfTestRecorder&) = delete;

    // Switches recording on: the index is written to tempIndexName and renamed to indexName on a
    // committing close. Case files go to the index's directory. False when the index cannot be opened.
    bool Start(const std::string& indexName, const std::string& tempIndexName);
    // 0, or -1 when recording is off.
    int Record(const FieldSolverInput& input, const FieldSolverOutput& output);
    // 0, or -1 when a committing close could not write the index whole (the old index is then kept).
    int Close(bool commit);
    bool Recording() const { return recording_ == 1; }

    // kind 1 writes "<base>.inp" and "<base>.res"; an empty base name uses the time as "%016X".
    void WriteCase(const TestCase& c, const std::string& baseName, int kind, std::string& inputName, std::string& resultName);
    // 0, or 24 (23) when the name is refused or the file cannot be written whole (nothing is then left of it).
    int WriteInputFile(const TestCase& c, const std::string& fileName);
    int WriteResultFile(const TestCase& c, const std::string& fileName);

    void SetClock(Clock clock) { clock_ = std::move(clock); }

private:
    std::string TimeText() const;

    std::string taskName_ = "TaskName";
    std::string indexFileName_;
    std::string tempIndexFileName_;
    std::string directory_;
    std::FILE* index_ = nullptr;
    std::FILE* second_ = nullptr;
    std::int32_t recording_ = 0;
    std::uint32_t lastId_ = 0;
    bool anyId_ = false;
    Clock clock_;
};

#pragma once
// Files for the model tests: the shared real-world test data and scratch files in a per-process directory.

#include <filesystem>
#include <string>

namespace modeltest {

// The shared test data folder: BRIM_TESTDATA_DIR, else <source>/../shared/testdata.
std::filesystem::path TestDataDir();

// The model tests' own copies of real-world files: <source>/brimstead/models/tests/data.
std::filesystem::path OwnDataDir();

// A fresh scratch directory, removed when the test program ends.
std::filesystem::path ScratchDir();

// Writes `bytes` into a scratch file of that name and returns its full path.
std::string WriteScratchFile(const std::string& name, const std::string& bytes);

} // namespace modeltest

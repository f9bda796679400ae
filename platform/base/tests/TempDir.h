// A fresh directory of its own per instance (so per test and per process: checkouts running their suites at once
// never share one), removed with its contents afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

// A folder made with mkdtemp under TMPDIR (else the system's temporary folder), "<prefix>-XXXXXX"; whoever asks
// for it removes it.
inline std::filesystem::path MakeTempFolder(const std::string& prefix) {
  std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed for " + tmpl);
  return tmpl;
}

class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "brim-base") : path_(MakeTempFolder(prefix)) {}
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

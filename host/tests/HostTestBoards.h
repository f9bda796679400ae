// Paths of the sample boards for the host's tests.
#pragma once

#include <cstdlib>
#include <string>

namespace host::test {

inline std::string SourceDir() {
  const char* dir = std::getenv("BRIM_SOURCE_DIR");
  return dir ? dir : ".";
}

inline std::string SampleBoard(const std::string& name) { return SourceDir() + "/samples/boards/" + name; }

}  // namespace host::test

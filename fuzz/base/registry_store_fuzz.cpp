// Arbitrary bytes as the registry stand-in's store file: loaded or refused without a crash. A file that loads
// is dumped, and the dump, loaded as a store file of its own, gives the same tree again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/base/RegistryStore.h"
#include "platform/base/tests/TempDir.h"

namespace {

void Write(const std::string& path, const void* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 16) return 0;
  static const TempDir folder("registry-fuzz");   // removed when the run ends
  static const std::string input = folder / "in.txt", again = folder / "again.txt";
  Write(input, data, size);
  plat::RegistryStore::Reset();
  if (plat::RegistryStore::SetStoreFile(input)) {
    const std::string dump = plat::RegistryStore::Dump();
    plat::RegistryStore::Reset();
    Write(again, dump.data(), dump.size());
    if (!plat::RegistryStore::SetStoreFile(again)) {
      std::fprintf(stderr, "a dumped tree does not load:\n%s\n", dump.c_str());
      std::abort();
    }
    if (plat::RegistryStore::Dump() != dump) {
      std::fprintf(stderr, "a dumped tree loads differently:\n%s\n---\n%s\n", dump.c_str(),
                   plat::RegistryStore::Dump().c_str());
      std::abort();
    }
  }
  plat::RegistryStore::Reset();
  return 0;
}

// Runs a fuzz target's entry once over every file of the directories (or files) named on the command line, in
// name order, as the tests do with the committed seeds. Fails when an input fails, or when there is no input at
// all, so a target whose seeds went missing is noticed. The target writes only in a temporary folder of the run's
// own, and fails when it leaves anything there.
#include "platform/base/tests/PrivateTempFolder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

void Collect(const std::filesystem::path& path, std::vector<std::filesystem::path>& out) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) {
    out.push_back(path);
    return;
  }
  for (std::filesystem::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec)) out.push_back(it->path());
}

}  // namespace

int main(int argc, char** argv) {
  brimtest::UsePrivateTempFolder("brim-fuzz-replay");
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) Collect(argv[i], inputs);
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "no seed inputs found\n");
    return 1;
  }
  for (const auto& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", input.c_str());
      return 1;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // An exact-size copy, so reading past the input is caught as it would be under the fuzzer.
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    std::printf("%s (%zu bytes)\n", input.c_str(), data.size());
    std::fflush(stdout);
    static std::uint8_t none = 0;
    LLVMFuzzerTestOneInput(data.empty() ? &none : data.data(), data.size());
  }
  std::printf("%zu inputs ran\n", inputs.size());
  return 0;
}

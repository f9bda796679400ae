#pragma once
// How large a model file (Touchstone, "pls", SPICE) the module reads whole: far above the largest SPICE libraries
// of makers (about 100 MB), far below what would take the process's memory. Every model reader also refuses at
// once anything but a regular file (a FIFO named like a model would block an open for good).

#include <cstdint>

namespace modelfile {

constexpr std::uint64_t kMaxModelFileBytes = std::uint64_t{256} << 20;

} // namespace modelfile

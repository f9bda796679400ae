// Reading the blank-separated number lists of the profile texts of brushes and pens.
#pragma once

#include <array>
#include <cstddef>

namespace gx {

// Reads up to N integers separated by blanks (leading blanks skipped); stops at the first text that is not
// a number. Returns how many were read; the others stay 0. Values are clamped to the 32-bit range.
template <std::size_t N>
std::size_t ReadNumbers(const char* text, std::array<long long, N>& out);

}  // namespace gx

#include "grid/core/gxprofiletext.inl"

// Replacing a file's whole content atomically: the text goes to a temporary file in the same directory,
// which then takes the file's name (behind a symbolic link, the link's target is replaced). Readers see
// the old or the new content, never a part; a failure leaves the old file and no temporary behind.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// False with errno-style error in `err` on failure.
bool WriteFileAtomically(const std::string& path, std::string_view text, int& err);

}  // namespace plat

#include "platform/base/SplitPath.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/base/PathDialect.h"

namespace {

void CopyOut(char* out, std::string_view text, int max) {
  if (!out) return;
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(max - 1));
  if (n > 0) std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
  std::string_view p = path ? std::string_view(path) : std::string_view();
  std::string_view d;
  if (plat::HasDrive(p)) {
    d = p.substr(0, 2);
    p.remove_prefix(2);
  }
  std::size_t lastSep = std::string_view::npos;
  for (std::size_t i = 0; i < p.size(); ++i)
    if (plat::IsSeparator(p[i])) lastSep = i;
  const std::string_view directory = lastSep == std::string_view::npos ? std::string_view() : p.substr(0, lastSep + 1);
  const std::string_view leaf = lastSep == std::string_view::npos ? p : p.substr(lastSep + 1);
  const std::size_t dot = leaf.rfind('.');
  CopyOut(drive, d, _MAX_DRIVE);
  CopyOut(dir, directory, _MAX_DIR);
  CopyOut(fname, dot == std::string_view::npos ? leaf : leaf.substr(0, dot), _MAX_FNAME);
  CopyOut(ext, dot == std::string_view::npos ? std::string_view() : leaf.substr(dot), _MAX_EXT);
}

void _makepath(char* path, const char* drive, const char* dir, const char* fname, const char* ext) {
  if (!path) return;
  std::string out;
  if (drive && *drive) {
    out += drive[0];
    out += ':';
  }
  if (dir && *dir) {
    out += dir;
    if (!plat::IsSeparator(out.back())) out += std::strchr(dir, '/') && !std::strchr(dir, '\\') ? '/' : '\\';
  }
  if (fname) out += fname;
  if (ext && *ext) {
    if (*ext != '.') out += '.';
    out += ext;
  }
  CopyOut(path, out, _MAX_PATH);
}

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

namespace plat {

PathParts SplitPathParts(std::string_view path) {
  const std::size_t driveLength = HasDrive(path) ? 2 : 0;
  const std::size_t nameStart = NameStart(path);
  const std::string_view leaf = path.substr(nameStart);
  const std::size_t dot = leaf.rfind('.');
  return {path.substr(0, driveLength), path.substr(driveLength, nameStart - driveLength), leaf.substr(0, dot),
          dot == std::string_view::npos ? std::string_view() : leaf.substr(dot)};
}

}  // namespace plat

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
  const plat::PathParts parts = plat::SplitPathParts(path ? std::string_view(path) : std::string_view());
  CopyOut(drive, parts.drive, _MAX_DRIVE);
  CopyOut(dir, parts.directory, _MAX_DIR);
  CopyOut(fname, parts.name, _MAX_FNAME);
  CopyOut(ext, parts.extension, _MAX_EXT);
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

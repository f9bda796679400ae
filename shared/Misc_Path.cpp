#include "shared/Misc_Path.h"

#include "platform/base/FileKind.h"
#include "platform/base/FileSystem.h"
#include "platform/base/PathDialect.h"
#include "platform/base/SplitPath.h"

#include <cstring>
#include <string>
#include <string_view>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The platform's attributes of the path (which take the module's dialect); INVALID_FILE_ATTRIBUTES when missing.
DWORD Attributes(const char* path) {
  return path && *path ? GetFileAttributes(path) : INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool FileExists(const char* path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_OFFLINE));
}

bool DirectoryExists(const char* path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool NameTaken(const char* path) {
  return path && *path && plat::KindOf(path, plat::Links::Keep);
}

bool IsRelativePath(const char* path) {
  if (!path || !*path)
    return true;
  if (plat::HasDrive(path))
    return false;
  if (path[0] == '\\' && path[1] == '\\')
    return false;
  return path[0] != '/';
}

const char* FindFileExtension(const char* path) {
  if (!path)
    return nullptr;
  for (size_t i = std::strlen(path); i-- > 0;) {
    if (IsSeparator(path[i]))
      return nullptr;
    if (path[i] == '.') {
      if (i == 0 || path[i - 1] == '.')
        return nullptr;
      return path + i;
    }
  }
  return nullptr;
}

void CutToDirectory(char* path) {
  if (!path)
    return;
  if (const size_t start = plat::NameStart(path); start > 0) {
    path[IsSeparator(path[start - 1]) ? start - 1 : start] = '\0';
    return;
  }
  if (char* dot = std::strrchr(path, '.'))
    *dot = '\0';
}

void CutToDirectory(CString& path) {
  std::string text(path.View());
  CutToDirectory(text.data());
  path = text.c_str();
}

void FileNameOfPath(const char* path, char* out, size_t max) {
  if (!out)
    return;
  out[0] = '\0';
  if (!path)
    return;
  const char* name = path + plat::NameStart(path);
  // The bound is on every character written, dots included, so the copy never passes the end of `out`.
  size_t n = 0;
  while (name[n] && n < max) {
    out[n] = name[n];
    ++n;
  }
  out[n] = '\0';
}

CString FileNameOfPath(const char* path) {
  if (!path)
    return CString();
  const size_t length = std::strlen(path);
  std::string out(length + 1, '\0');
  FileNameOfPath(path, out.data(), length);
  return CString(out.c_str());
}

namespace {
std::string ReplacedExtension(const char* newExt, const char* path) {
  std::string result(path);
  if (const char* dot = FindFileExtension(path))
    result.resize(static_cast<size_t>(dot - path));
  if (newExt && *newExt) {
    if (*newExt != '.')
      result += '.';
    result += newExt;
  }
  return result;
}
}  // namespace

bool ReplaceExtension(const char* newExt, char* path, size_t size) {
  if (!path)
    return false;
  const std::string result = ReplacedExtension(newExt, path);
  if (result.size() + 1 > size)
    return false;
  std::memcpy(path, result.c_str(), result.size() + 1);
  return true;
}

void ReplaceExtension(const char* newExt, CString& path) {
  path = ReplacedExtension(newExt, path.GetString()).c_str();
}

void AppendBackslash(CString& path) {
  if (path.IsEmpty())
    return;
  path.TrimRight("\\/");
  path += '\\';
}

namespace {
// The lexical form PathsEqual compares (see there). A drive stays as written: it is a segment like any other.
std::string LexicalForm(const char* path) {
  const std::string_view text = path ? path : "";
  std::string form = !text.empty() && IsSeparator(text.front()) ? "/" : "";
  bool first = true;
  for (size_t start = 0; start <= text.size();) {
    size_t end = start;
    while (end < text.size() && !IsSeparator(text[end]))
      ++end;
    const std::string_view segment = text.substr(start, end - start);
    if (!segment.empty() && segment != ".") {
      if (!first)
        form += '/';
      form += segment;
      first = false;
    }
    start = end + 1;
  }
  return form.empty() && !text.empty() ? std::string(".") : form;
}
}  // namespace

bool PathsEqual(const char* a, const char* b) { return LexicalForm(a) == LexicalForm(b); }

bool HasExtensionFromList(const char* name, const char* list, int caseSensitive) {
  if (!name || !*name || !list || !*list)
    return false;
  static const char separators[] = ",. \t\n\"";
  const size_t nameLength = std::strlen(name);
  const char* p = list;
  while (*p) {
    const size_t skip = std::strspn(p, separators);
    p += skip;
    const size_t length = std::strcspn(p, separators);
    if (length == 0)
      break;
    // The name needs at least one character before the '.' and the extension.
    if (nameLength > length + 1) {
      const char* tail = name + nameLength - length - 1;
      if (*tail == '.') {
        const CString extension(std::string(p, length));
        const CString candidate(tail + 1);
        const int compare = caseSensitive ? candidate.Compare(extension) : candidate.CompareNoCase(extension);
        if (compare == 0)
          return true;
      }
    }
    p += length;
  }
  return false;
}

CPathParts SplitPath(const char* path) {
  if (!path)
    return CPathParts();
  const plat::PathParts parts = plat::SplitPathParts(path);
  return {CString(parts.drive), CString(parts.directory), CString(parts.name), CString(parts.extension)};
}

CString MakePath(const char* drive, const char* directory, const char* name, const char* extension) {
  CString path;
  if (drive && *drive) {
    path += drive[0];
    path += ':';
  }
  if (directory && *directory) {
    path += directory;
    if (!IsSeparator(directory[std::strlen(directory) - 1]))
      path += '\\';
  }
  if (name)
    path += name;
  if (extension && *extension) {
    if (*extension != '.')
      path += '.';
    path += extension;
  }
  return path;
}

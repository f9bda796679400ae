#include "platform/base/RegistryStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/AtomicFile.h"
#include "platform/base/CodePage.h"
#include "platform/base/PathDialect.h"
#include "platform/base/RegularFile.h"
#include "platform/base/SystemError.h"

namespace plat {
namespace {

struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareNoCase1252(a, b) < 0; }
};

struct Value {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct Key {
  std::string name;
  std::map<std::string, std::unique_ptr<Key>, NoCaseLess> subkeys;
  std::map<std::string, Value, NoCaseLess> values;

  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  // Takes the subkeys down with a list of its own: the members' destruction would call this destructor once per
  // level, and a store file holds keys as deep as its size allows.
  ~Key() {
    std::vector<std::unique_ptr<Key>> doomed;
    const auto take = [&doomed](Key& k) {
      for (auto& [ignored, sub] : k.subkeys) doomed.push_back(std::move(sub));
      k.subkeys.clear();
    };
    take(*this);
    while (!doomed.empty()) {
      const std::unique_ptr<Key> k = std::move(doomed.back());
      doomed.pop_back();
      take(*k);
    }
  }
};

constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

struct OpenKey {
  int root;
  std::vector<std::string> path;
};

struct State {
  std::mutex mutex;
  Key roots[4];
  std::map<std::uintptr_t, OpenKey> handles;
  std::uintptr_t next = 1;
  std::optional<std::string> file;
  State() {
    for (int i = 0; i < 4; ++i) roots[i].name = kRootNames[i];
  }
};

State& TheState() {
  static State s;
  return s;
}

// The next name of a path of names between backslashes, taken off its front (empty names skipped); empty at its end.
std::string_view NextPart(std::string_view& path) {
  while (!path.empty()) {
    const std::size_t slash = std::min(path.find('\\'), path.size());
    const std::string_view part = path.substr(0, slash);
    path.remove_prefix(std::min(slash + 1, path.size()));
    if (!part.empty()) return part;
  }
  return {};
}

std::vector<std::string> SplitPath(LPCSTR subKey) {
  std::vector<std::string> parts;
  std::string_view path(subKey ? subKey : "");
  for (std::string_view part = NextPart(path); !part.empty(); part = NextPart(path)) parts.emplace_back(part);
  return parts;
}

// Whether the keys to be made, the levels of the path from `first` on, keep to the registry's limits; their names
// are also written on one line of the store file. Keys that exist are not judged: an earlier version made keys
// beyond the limits, and they open as they are.
bool WithinLimits(const std::vector<std::string>& path, std::size_t first) {
  if (first < path.size() && path.size() > RegistryStore::kMaxKeyDepth) return false;
  for (std::size_t i = first; i < path.size(); ++i)
    if (path[i].size() > RegistryStore::kMaxKeyNameLength || path[i].find('\n') != std::string::npos) return false;
  return true;
}

// The open key behind a handle (predefined roots included); its root and path in `where`.
LONG Resolve(State& s, HKEY key, Key*& out, OpenKey& where) {
  const auto token = reinterpret_cast<std::uintptr_t>(key);
  if (token >= 0x80000000u && token <= 0x80000003u) {
    where = OpenKey{static_cast<int>(token - 0x80000000u), {}};
    out = &s.roots[where.root];
    return ERROR_SUCCESS;
  }
  const auto it = s.handles.find(token);
  if (it == s.handles.end()) return static_cast<LONG>(ERROR_INVALID_HANDLE);
  where = it->second;
  Key* k = &s.roots[where.root];
  for (const std::string& part : where.path) {
    const auto sub = k->subkeys.find(part);
    if (sub == k->subkeys.end()) return ERROR_KEY_DELETED;
    k = sub->second.get();
  }
  out = k;
  return ERROR_SUCCESS;
}

HKEY NewHandle(State& s, OpenKey where) {
  const std::uintptr_t token = (s.next++ << 4) | 0x6;
  s.handles.emplace(token, std::move(where));
  return reinterpret_cast<HKEY>(token);
}

// Appends the text with backslashes and quotes escaped by a backslash and line breaks as \n and \r; the runs between
// them in one piece each, since a text can be most of the store file.
void AppendEscaped(std::string_view text, std::string& out) {
  const char* plain = text.data();
  const char* const end = plain + text.size();
  for (const char* p = plain; p != end; ++p) {
    if (*p != '\\' && *p != '"' && *p != '\n' && *p != '\r') continue;
    out.append(plain, p);
    out += '\\';
    out += *p == '\n' ? 'n' : *p == '\r' ? 'r' : *p;
    plain = p + 1;
  }
  out.append(plain, end);
}

// The key's own lines: its header when it holds values or nothing at all (a key with subkeys only is made by theirs),
// then its values.
void DumpKey(const Key& k, std::string_view path, std::string& out) {
  if (!k.values.empty() || k.subkeys.empty()) {
    out += '[';
    out += path;
    out += "]\r\n";
  }
  for (const auto& [ignored, v] : k.values) {
    out += '"';
    AppendEscaped(v.name, out);
    out += "\"=";
    const bool text = (v.type == REG_SZ || v.type == REG_EXPAND_SZ) && !v.data.empty() && v.data.back() == 0 &&
                      !std::memchr(v.data.data(), 0, v.data.size() - 1);
    char buf[16];
    if (text) {
      out += v.type == REG_SZ ? "sz:" : "expand:";
      AppendEscaped(std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1), out);
    } else if (v.type == REG_DWORD && v.data.size() == 4) {
      DWORD d;
      std::memcpy(&d, v.data.data(), 4);
      std::snprintf(buf, sizeof buf, "dword:%08x", d);
      out += buf;
    } else {
      std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
      out += buf;
      // Two digits a byte and a comma between, written in place: a binary value can be most of the store file.
      static constexpr char kDigits[] = "0123456789abcdef";
      const std::size_t at = out.size();
      out.resize(at + 3 * v.data.size(), ',');
      char* digits = out.data() + at;
      for (const BYTE b : v.data) {
        digits[0] = kDigits[b >> 4];
        digits[1] = kDigits[b & 15];
        digits += 3;
      }
      if (!v.data.empty()) out.pop_back();
    }
    out += "\r\n";
  }
}

// Every root that holds values of its own (a header of the root's name alone), then every key below it, each before
// its subkeys, walked with a stack of its own rather than a call per level,
// and one path text that grows and shrinks with the walk: the memory is the text's and the depth's, however deep.
std::string DumpAll(const State& s) {
  struct Level {
    const Key* key;
    std::map<std::string, std::unique_ptr<Key>, NoCaseLess>::const_iterator next;
    std::size_t pathLength;
  };
  std::string out;
  std::string path;
  std::vector<Level> stack;
  for (const Key& root : s.roots) {
    path = root.name;
    if (!root.values.empty()) DumpKey(root, path, out);
    stack.push_back({&root, root.subkeys.begin(), path.size()});
    while (!stack.empty()) {
      Level& top = stack.back();
      if (top.next == top.key->subkeys.end()) {
        stack.pop_back();
        continue;
      }
      const Key& sub = *(top.next++)->second;
      path.resize(top.pathLength);
      path += '\\';
      path += sub.name;
      DumpKey(sub, path, out);
      stack.push_back({&sub, sub.subkeys.begin(), path.size()});
    }
  }
  return out;
}

// Reads a quoted, escaped text at `pos`; false when malformed.
bool Unquote(std::string_view line, std::size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  ++pos;
  out.clear();
  while (pos < line.size() && line[pos] != '"') {
    char c = line[pos++];
    if (c == '\\') {
      if (pos >= line.size()) return false;
      c = line[pos++];
      c = c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    out += c;
  }
  if (pos >= line.size()) return false;
  ++pos;
  return true;
}

// The text with its escapes taken back (a backslash at its very end stays), in runs as AppendEscaped writes them.
std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t slash = text.find('\\'); slash != text.npos && slash + 1 < text.size(); slash = text.find('\\')) {
    out.append(text.substr(0, slash));
    const char c = text[slash + 1];
    out += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    text.remove_prefix(slash + 2);
  }
  out.append(text);
  return out;
}

// The value of a hexadecimal digit; -1 for any other character.
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The subkey of this name, made when there is none.
Key& Child(Key& parent, std::string_view name) {
  auto it = parent.subkeys.find(name);
  if (it == parent.subkeys.end()) {
    auto fresh = std::make_unique<Key>();
    fresh->name = name;
    it = parent.subkeys.emplace(std::string(name), std::move(fresh)).first;
  }
  return *it->second;
}

bool Parse(State& s, std::string_view text) {
  Key* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(pos, nl - pos);
    pos = nl + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.back() != ']') return false;
      std::string_view path = line.substr(1, line.size() - 2);
      path = path.substr(0, path.find('\0'));
      // Keys of any depth and length of name: earlier versions made keys beyond what RegCreateKeyEx makes now.
      const std::string_view rootName = NextPart(path);
      int root = -1;
      for (int i = 0; i < 4; ++i)
        if (EqualNoCase1252(rootName, kRootNames[i])) root = i;
      if (root < 0) return false;
      current = &s.roots[root];
      for (std::string_view part = NextPart(path); !part.empty(); part = NextPart(path)) current = &Child(*current, part);
      continue;
    }
    if (!current) return false;
    std::size_t p = 0;
    Value v;
    if (!Unquote(line, p, v.name) || p >= line.size() || line[p] != '=') return false;
    const std::string_view rest = line.substr(p + 1);
    if (rest.starts_with("sz:") || rest.starts_with("expand:")) {
      v.type = rest.starts_with("sz:") ? REG_SZ : REG_EXPAND_SZ;
      const std::string t = Unescape(rest.substr(rest.find(':') + 1));
      v.data.assign(t.begin(), t.end());
      v.data.push_back(0);
    } else if (rest.starts_with("dword:")) {
      v.type = REG_DWORD;
      const DWORD d = static_cast<DWORD>(std::strtoul(std::string(rest.substr(6)).c_str(), nullptr, 16));
      v.data.resize(4);
      std::memcpy(v.data.data(), &d, 4);
    } else if (rest.starts_with("hex(")) {
      const std::size_t close = rest.find("):");
      if (close == std::string_view::npos) return false;
      v.type = static_cast<DWORD>(std::strtoul(std::string(rest.substr(4, close - 4)).c_str(), nullptr, 16));
      std::string_view bytes = rest.substr(close + 2);
      v.data.reserve(bytes.size() / 3 + 1);
      while (!bytes.empty()) {
        // Two digits as written, read at once; anything else as strtoul reads it.
        const std::string_view pair = bytes.substr(0, 2);
        const int high = HexDigit(pair[0]), low = pair.size() == 2 ? HexDigit(pair[1]) : -1;
        v.data.push_back(high >= 0 && low >= 0 ? static_cast<BYTE>(high << 4 | low)
                                               : static_cast<BYTE>(std::strtoul(std::string(pair).c_str(), nullptr, 16)));
        bytes.remove_prefix(std::min<std::size_t>(3, bytes.size()));
      }
    } else {
      return false;
    }
    current->values[v.name] = std::move(v);
  }
  return true;
}

// Writes the tree through to the store file when there is one; a text larger than the store loads is not written
// (the next load would refuse the file, and every key in it).
LONG Persist(State& s) {
  if (!s.file) return ERROR_SUCCESS;
  const std::string text = DumpAll(s);
  if (text.size() > RegistryStore::kMaxFileBytes) return static_cast<LONG>(ERROR_STORE_TOO_LARGE);
  int err = 0;
  if (!WriteFileAtomically(*s.file, text, err)) return static_cast<LONG>(ErrnoToError(err));
  return ERROR_SUCCESS;
}

}  // namespace

void RegistryStore::Reset() {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  for (Key& root : s.roots) {
    root.subkeys.clear();
    root.values.clear();
  }
  s.handles.clear();
  s.file.reset();
}

bool RegistryStore::SetStoreFile(std::optional<std::string> path) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  s.file.reset();
  if (!path) return true;
  const std::string native = NativePath(*path);
  // A file another user put in a folder every user may write, or reached through their link there, is not taken for
  // this user's settings: refused for the reason its save would be.
  if (const int e = PlantedRefusal(native)) {
    SetLastError(ErrnoToError(e));
    return false;
  }
  std::string text;
  // Only a regular file is read (a FIFO would be waited on for good, a device read without end), up to a limit, and
  // only whole: one cut, grown or written over by another program while it is read is refused (ERROR_FILE_CHANGED),
  // since a part of the tree, or a mixture of two, taken for the whole would be written back by the next change. A file that exists but cannot be
  // read is refused rather than taken as empty, which the next write would replace.
  const FileReadResult read = ReadRegularFile(native, kMaxFileBytes, text);
  if (!read && !(read.status == FileReadStatus::CannotOpen && read.error == ENOENT)) {
    SetLastError(FileReadError(read));
    return false;
  }
  if (read) {
    State parsed;
    if (!Parse(parsed, text)) {
      SetLastError(ERROR_BADDB);
      return false;
    }
    for (int i = 0; i < 4; ++i) {
      s.roots[i].subkeys = std::move(parsed.roots[i].subkeys);
      s.roots[i].values = std::move(parsed.roots[i].values);
    }
  }
  s.file = native;
  return true;
}

std::string RegistryStore::Dump() {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  return DumpAll(s);
}

std::size_t RegistryStore::OpenHandleCount() {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.handles.size();
}

}  // namespace plat

using plat::TheState;

LSTATUS RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  plat::OpenKey where;
  if (const LONG r = plat::Resolve(s, key, k, where)) return r;
  for (const std::string& part : plat::SplitPath(subKey)) {
    const auto it = k->subkeys.find(part);
    if (it == k->subkeys.end()) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    k = it->second.get();
    where.path.push_back(k->name);
  }
  *result = plat::NewHandle(s, std::move(where));
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, void*, PHKEY result, LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  plat::OpenKey where;
  if (const LONG r = plat::Resolve(s, key, k, where)) return r;
  std::vector<std::string> full = where.path;
  for (const std::string& part : plat::SplitPath(subKey)) full.push_back(part);
  // The deepest key that exists, and the first level that does not: taken away again when the change is not written.
  plat::Key* parent = k;
  std::size_t depth = where.path.size();
  while (depth < full.size()) {
    const auto it = parent->subkeys.find(full[depth]);
    if (it == parent->subkeys.end()) break;
    parent = it->second.get();
    ++depth;
  }
  if (!plat::WithinLimits(full, depth)) return ERROR_INVALID_PARAMETER;
  const bool created = depth < full.size();
  k = parent;
  for (std::size_t i = depth; i < full.size(); ++i) k = &plat::Child(*k, full[i]);
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  if (created) {
    if (const LONG r = plat::Persist(s)) {
      parent->subkeys.erase(full[depth]);
      return r;
    }
  }
  *result = plat::NewHandle(s, plat::OpenKey{where.root, std::move(full)});
  return ERROR_SUCCESS;
}

LSTATUS RegOpenKey(HKEY key, LPCSTR subKey, PHKEY result) { return RegOpenKeyEx(key, subKey, 0, KEY_ALL_ACCESS, result); }

LSTATUS RegCreateKey(HKEY key, LPCSTR subKey, PHKEY result) {
  return RegCreateKeyEx(key, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, result, nullptr);
}

LSTATUS RegCloseKey(HKEY key) {
  const auto token = reinterpret_cast<std::uintptr_t>(key);
  if (token >= 0x80000000u && token <= 0x80000003u) return ERROR_SUCCESS;
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.handles.erase(token) ? ERROR_SUCCESS : static_cast<LONG>(ERROR_INVALID_HANDLE);
}

LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPSTR, LPDWORD, FILETIME*) {
  if (!name || !nameLength) return ERROR_INVALID_PARAMETER;
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  plat::OpenKey where;
  if (const LONG r = plat::Resolve(s, key, k, where)) return r;
  if (index >= k->subkeys.size()) return ERROR_NO_MORE_ITEMS;
  auto it = k->subkeys.begin();
  std::advance(it, index);
  const std::string& n = it->second->name;
  if (n.size() + 1 > *nameLength) return static_cast<LONG>(ERROR_MORE_DATA);
  std::memcpy(name, n.c_str(), n.size() + 1);
  *nameLength = static_cast<DWORD>(n.size());
  return ERROR_SUCCESS;
}

LSTATUS RegEnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPDWORD type, LPBYTE data,
                     LPDWORD dataLength) {
  if (!name || !nameLength) return ERROR_INVALID_PARAMETER;
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  plat::OpenKey where;
  if (const LONG r = plat::Resolve(s, key, k, where)) return r;
  if (index >= k->values.size()) return ERROR_NO_MORE_ITEMS;
  auto it = k->values.begin();
  std::advance(it, index);
  const plat::Value& v = it->second;
  if (v.name.size() + 1 > *nameLength) return static_cast<LONG>(ERROR_MORE_DATA);
  std::memcpy(name, v.name.c_str(), v.name.size() + 1);
  *nameLength = static_cast<DWORD>(v.name.size());
  if (type) *type = v.type;
  if (dataLength) {
    const DWORD needed = static_cast<DWORD>(v.data.size());
    if (data && *dataLength < needed) {
      *dataLength = needed;
      return static_cast<LONG>(ERROR_MORE_DATA);
    }
    if (data && needed) std::memcpy(data, v.data.data(), needed);
    *dataLength = needed;
  }
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteKey(HKEY key, LPCSTR subKey) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  plat::OpenKey where;
  if (const LONG r = plat::Resolve(s, key, k, where)) return r;
  const std::vector<std::string> parts = plat::SplitPath(subKey);
  if (parts.empty()) return ERROR_BADKEY;  // a key does not delete itself through its own handle
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    const auto it = k->subkeys.find(parts[i]);
    if (it == k->subkeys.end()) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    k = it->second.get();
  }
  auto removed = k->subkeys.extract(parts.back());
  if (!removed) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
  const LONG r = plat::Persist(s);
  if (r) k->subkeys.insert(std::move(removed));  // a change the store file did not take is not made
  return r;
}

LSTATUS RegQueryValueEx(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  plat::OpenKey where;
  if (const LONG r = plat::Resolve(s, key, k, where)) return r;
  const auto it = k->values.find(std::string_view(name ? name : ""));
  if (it == k->values.end()) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
  const plat::Value& v = it->second;
  if (type) *type = v.type;
  const DWORD needed = static_cast<DWORD>(v.data.size());
  if (data) {
    if (!dataLength) return ERROR_INVALID_PARAMETER;
    if (*dataLength < needed) {
      *dataLength = needed;
      return static_cast<LONG>(ERROR_MORE_DATA);
    }
    if (needed) std::memcpy(data, v.data.data(), needed);
  }
  if (dataLength) *dataLength = needed;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueEx(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataLength) {
  if (!data && dataLength) return ERROR_INVALID_PARAMETER;
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  plat::OpenKey where;
  if (const LONG r = plat::Resolve(s, key, k, where)) return r;
  // Each byte takes one or more of the file: a value larger than the file may be is refused before it is copied.
  if (s.file && dataLength > plat::RegistryStore::kMaxFileBytes) return static_cast<LONG>(ERROR_STORE_TOO_LARGE);
  plat::Value v;
  v.name = name ? name : "";
  v.type = type;
  if (dataLength) v.data.assign(data, data + dataLength);
  // Strings written without their NUL still read back terminated.
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && (v.data.empty() || v.data.back() != 0)) v.data.push_back(0);
  auto it = k->values.find(v.name);
  std::optional<plat::Value> old;
  if (it != k->values.end()) {
    v.name = it->second.name;  // the first spelling stays
    old = std::exchange(it->second, std::move(v));
  } else {
    it = k->values.emplace(v.name, std::move(v)).first;
  }
  const LONG r = plat::Persist(s);
  if (r) {
    // A change the store file did not take is not made.
    if (old)
      it->second = std::move(*old);
    else
      k->values.erase(it);
  }
  return r;
}

LSTATUS RegDeleteValue(HKEY key, LPCSTR name) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  plat::OpenKey where;
  if (const LONG r = plat::Resolve(s, key, k, where)) return r;
  const auto it = k->values.find(std::string_view(name ? name : ""));
  if (it == k->values.end()) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
  auto removed = k->values.extract(it);
  const LONG r = plat::Persist(s);
  if (r) k->values.insert(std::move(removed));  // a change the store file did not take is not made
  return r;
}

#include "platform/framework/Registry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <unordered_map>
#include <vector>

#include "platform/base/CodePage.h"

namespace plat {

namespace {

struct FoldLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareNoCase1252(a, b) < 0; }
};

struct Value {
  DWORD type = REG_SZ;
  std::vector<BYTE> data;
};

struct Key {
  std::string name;
  std::map<std::string, std::unique_ptr<Key>, FoldLess> children;
  std::map<std::string, std::pair<std::string, Value>, FoldLess> values;  // folded -> (spelling, value)
};

class Store {
 public:
  static Store& Instance() {
    static Store store;
    return store;
  }

  Key* Root(HKEY hive) {
    auto token = reinterpret_cast<ULONG_PTR>(hive);
    if (token < 0x80000000 || token > 0x80000002) return nullptr;
    auto& slot = roots_[token];
    if (!slot) {
      slot = std::make_unique<Key>();
      slot->name = token == 0x80000000 ? "HKEY_CLASSES_ROOT" : token == 0x80000001 ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
    }
    return slot.get();
  }

  Key* FromHandle(HKEY key) {
    if (Key* root = Root(key)) return root;
    auto it = open_.find(key);
    return it == open_.end() ? nullptr : it->second;
  }

  HKEY NewHandle(Key* key) {
    HKEY handle = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(next_++));
    open_[handle] = key;
    return handle;
  }

  bool Close(HKEY key) { return open_.erase(key) > 0 || Root(key); }

  // Walks "a\b\c" below `from`; creates missing keys when asked.
  Key* Walk(Key* from, LPCSTR path, bool create, bool* created = nullptr) {
    if (created) *created = false;
    std::string rest = path ? path : "";
    Key* key = from;
    std::size_t start = 0;
    while (key && start <= rest.size()) {
      std::size_t end = rest.find('\\', start);
      if (end == std::string::npos) end = rest.size();
      std::string part = rest.substr(start, end - start);
      start = end + 1;
      if (part.empty()) {
        if (end == rest.size()) break;
        continue;
      }
      auto it = key->children.find(part);
      if (it == key->children.end()) {
        if (!create) return nullptr;
        auto child = std::make_unique<Key>();
        child->name = part;
        it = key->children.emplace(part, std::move(child)).first;
        if (created) *created = true;
      }
      key = it->second.get();
    }
    return key;
  }

  // Forgets open handles into a deleted subtree.
  void ForgetHandlesInto(const Key* doomed) {
    for (auto it = open_.begin(); it != open_.end();) {
      if (Contains(doomed, it->second))
        it = open_.erase(it);
      else
        ++it;
    }
  }

  void SetRoot(const std::string& directory) {
    root_ = directory;
    roots_.clear();
    open_.clear();
    if (!root_.empty()) Load();
  }

  void Reset() {
    roots_.clear();
    open_.clear();
    Save();
  }

  void Save() {
    if (root_.empty()) return;
    std::filesystem::path file = std::filesystem::path(root_) / "registry.txt";
    std::filesystem::path temp = file;
    temp += ".tmp";
    {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      out << Dump();
      if (!out) return;
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
  }

  std::string Dump() {
    std::string out;
    for (auto& [token, root] : roots_) DumpKey(*root, root->name, out);
    return out;
  }

 private:
  static bool Contains(const Key* tree, const Key* key) {
    if (tree == key) return true;
    for (auto& [n, child] : tree->children)
      if (Contains(child.get(), key)) return true;
    return false;
  }

  static std::string Quote(const std::string& s) {
    std::string q = "\"";
    for (char c : s) {
      if (c == '"' || c == '\\') q += '\\';
      if (c == '\n') {
        q += "\\n";
        continue;
      }
      q += c;
    }
    return q + "\"";
  }

  static void DumpKey(const Key& key, const std::string& path, std::string& out) {
    if (!key.values.empty() || key.children.empty()) {
      out += "[" + path + "]\r\n";
      for (auto& [folded, entry] : key.values) {
        const Value& v = entry.second;
        out += Quote(entry.first) + "=";
        if (v.type == REG_DWORD && v.data.size() == 4) {
          DWORD d;
          std::memcpy(&d, v.data.data(), 4);
          char text[20];
          std::snprintf(text, sizeof text, "dword:%08x", d);
          out += text;
        } else if (v.type == REG_SZ) {
          out += Quote(std::string(v.data.begin(), std::find(v.data.begin(), v.data.end(), BYTE{0})));
        } else {
          char text[8];
          std::snprintf(text, sizeof text, "hex(%u):", v.type);
          out += text;
          for (std::size_t i = 0; i < v.data.size(); ++i) {
            std::snprintf(text, sizeof text, i ? ",%02x" : "%02x", v.data[i]);
            out += text;
          }
        }
        out += "\r\n";
      }
    }
    for (auto& [n, child] : key.children) DumpKey(*child, path + "\\" + child->name, out);
  }

  static bool Unquote(const std::string& line, std::size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    for (++pos; pos < line.size(); ++pos) {
      char c = line[pos];
      if (c == '"') {
        ++pos;
        return true;
      }
      if (c == '\\' && pos + 1 < line.size()) {
        c = line[++pos];
        if (c == 'n') c = '\n';
      }
      out += c;
    }
    return false;
  }

  void Load() {
    std::ifstream in(std::filesystem::path(root_) / "registry.txt", std::ios::binary);
    if (!in) return;
    std::string line;
    Key* key = nullptr;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) continue;
      if (line.front() == '[' && line.back() == ']') {
        std::string path = line.substr(1, line.size() - 2);
        std::size_t slash = path.find('\\');
        std::string hive = path.substr(0, slash);
        HKEY h = hive == "HKEY_CLASSES_ROOT" ? HKEY_CLASSES_ROOT
                 : hive == "HKEY_LOCAL_MACHINE" ? HKEY_LOCAL_MACHINE
                                                : HKEY_CURRENT_USER;
        key = Walk(Root(h), slash == std::string::npos ? "" : path.c_str() + slash + 1, true);
        continue;
      }
      if (!key) continue;  // a damaged line outside any key is skipped; the rest still loads
      std::size_t pos = 0;
      std::string name;
      if (!Unquote(line, pos, name) || pos >= line.size() || line[pos] != '=') continue;
      ++pos;
      Value v;
      if (line.compare(pos, 6, "dword:") == 0) {
        DWORD d = static_cast<DWORD>(std::strtoul(line.c_str() + pos + 6, nullptr, 16));
        v.type = REG_DWORD;
        v.data.resize(4);
        std::memcpy(v.data.data(), &d, 4);
      } else if (line[pos] == '"') {
        std::string text;
        if (!Unquote(line, pos, text)) continue;
        v.type = REG_SZ;
        v.data.assign(text.begin(), text.end());
        v.data.push_back(0);
      } else if (line.compare(pos, 4, "hex(") == 0) {
        char* end = nullptr;
        v.type = static_cast<DWORD>(std::strtoul(line.c_str() + pos + 4, &end, 10));
        const char* p = std::strchr(end, ':');
        while (p && *p) {
          ++p;
          char* after = nullptr;
          unsigned long b = std::strtoul(p, &after, 16);
          if (after == p) break;
          v.data.push_back(static_cast<BYTE>(b));
          p = after;
        }
      } else {
        continue;
      }
      key->values[name] = {name, std::move(v)};
    }
  }

  std::map<ULONG_PTR, std::unique_ptr<Key>> roots_;
  std::unordered_map<HKEY, Key*> open_;
  ULONG_PTR next_ = 0x1000;
  std::string root_;
};

Key* Open(HKEY key) { return Store::Instance().FromHandle(key); }

}  // namespace

void SetRegistryRoot(const std::string& directory) { Store::Instance().SetRoot(directory); }
void ResetRegistry() { Store::Instance().Reset(); }
std::string RegistryDump() { return Store::Instance().Dump(); }

}  // namespace plat

using plat::Store;

LSTATUS RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  plat::Key* from = plat::Open(key);
  if (!from) return ERROR_INVALID_HANDLE;
  plat::Key* found = Store::Instance().Walk(from, subKey, false);
  if (!found) return ERROR_FILE_NOT_FOUND;
  *result = Store::Instance().NewHandle(found);
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, void*, PHKEY result, LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  plat::Key* from = plat::Open(key);
  if (!from) return ERROR_INVALID_HANDLE;
  bool created = false;
  plat::Key* found = Store::Instance().Walk(from, subKey, true, &created);
  *result = Store::Instance().NewHandle(found);
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  if (created) Store::Instance().Save();
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) { return Store::Instance().Close(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; }

LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPSTR, LPDWORD, void*) {
  plat::Key* k = plat::Open(key);
  if (!k) return ERROR_INVALID_HANDLE;
  if (!name || !nameLength) return ERROR_INVALID_PARAMETER;
  if (index >= k->children.size()) return ERROR_NO_MORE_ITEMS;
  auto it = std::next(k->children.begin(), static_cast<long>(index));
  const std::string& child = it->second->name;
  if (child.size() + 1 > *nameLength) return ERROR_MORE_DATA;
  std::memcpy(name, child.c_str(), child.size() + 1);
  *nameLength = static_cast<DWORD>(child.size());
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteKey(HKEY key, LPCSTR subKey) {
  plat::Key* from = plat::Open(key);
  if (!from) return ERROR_INVALID_HANDLE;
  if (!subKey || !*subKey) return ERROR_ACCESS_DENIED;  // a key cannot delete itself through its own handle
  std::string path = subKey;
  std::size_t slash = path.rfind('\\');
  plat::Key* parent = slash == std::string::npos ? from : Store::Instance().Walk(from, path.substr(0, slash).c_str(), false);
  std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
  if (!parent) return ERROR_FILE_NOT_FOUND;
  auto it = parent->children.find(leaf);
  if (it == parent->children.end()) return ERROR_FILE_NOT_FOUND;
  Store::Instance().ForgetHandlesInto(it->second.get());
  parent->children.erase(it);
  Store::Instance().Save();
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueEx(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
  plat::Key* k = plat::Open(key);
  if (!k) return ERROR_INVALID_HANDLE;
  auto it = k->values.find(name ? name : "");
  if (it == k->values.end()) return ERROR_FILE_NOT_FOUND;
  const plat::Value& v = it->second.second;
  if (type) *type = v.type;
  const DWORD needed = static_cast<DWORD>(v.data.size());
  if (data) {
    if (!size || *size < needed) {
      if (size) *size = needed;
      return ERROR_MORE_DATA;
    }
    std::memcpy(data, v.data.data(), needed);
  }
  if (size) *size = needed;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueEx(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  plat::Key* k = plat::Open(key);
  if (!k) return ERROR_INVALID_HANDLE;
  if (!data && size) return ERROR_INVALID_PARAMETER;
  plat::Value v;
  v.type = type;
  if (type == REG_DWORD && size != 4) return ERROR_INVALID_PARAMETER;
  v.data.assign(data, data + size);
  if (type == REG_SZ && (v.data.empty() || v.data.back() != 0)) v.data.push_back(0);
  std::string spelling = name ? name : "";
  k->values[spelling] = {spelling, std::move(v)};
  Store::Instance().Save();
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteValue(HKEY key, LPCSTR name) {
  plat::Key* k = plat::Open(key);
  if (!k) return ERROR_INVALID_HANDLE;
  if (!k->values.erase(name ? name : "")) return ERROR_FILE_NOT_FOUND;
  Store::Instance().Save();
  return ERROR_SUCCESS;
}

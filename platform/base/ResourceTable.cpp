#include "platform/base/ResourceTable.h"

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <variant>

#include "platform/base/CString.h"
#include "platform/base/CodePage.h"

namespace plat {
namespace {

// A type or name: an integer id or an upper-cased text (texts match ignoring case).
using Key = std::variant<WORD, std::string>;

Key MakeKey(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
  std::string s(name);
  for (char& c : s) c = static_cast<char>(ToUpper1252(static_cast<unsigned char>(c)));
  return s;
}

struct Entry {
  HINSTANCE module;
  std::span<const BYTE> bytes;
};

struct Table {
  std::mutex mutex;
  std::map<std::uint32_t, std::string> moduleNames;
  std::map<std::pair<HINSTANCE, UINT>, std::string_view> strings;
  std::map<std::tuple<HINSTANCE, Key, Key>, std::size_t> index;  // -> entries
  std::deque<Entry> entries;  // stable addresses; an HRSRC is 1 + the entry's position
  HINSTANCE instance = nullptr;
  HINSTANCE resource = nullptr;
};

Table& TheTable() {
  static Table table;
  return table;
}

HRSRC ToHrsrc(std::size_t i) { return reinterpret_cast<HRSRC>(static_cast<ULONG_PTR>(i + 1)); }

const Entry* FromHrsrc(Table& t, HRSRC h) {
  const auto i = reinterpret_cast<ULONG_PTR>(h);
  if (i == 0 || i > t.entries.size()) return nullptr;
  const Entry& e = t.entries[i - 1];
  return e.module ? &e : nullptr;
}

// Resource module first, then the instance module.
template <class Pred>
HINSTANCE Search(Table& t, Pred has) {
  HINSTANCE res = t.resource ? t.resource : t.instance;
  if (res && has(res)) return res;
  if (t.instance && t.instance != res && has(t.instance)) return t.instance;
  return nullptr;
}

}  // namespace

HINSTANCE ResourceTable::ModuleHandle(std::string_view moduleName) {
  // FNV-1a of the name, kept in 0x10000000..0x7FFF0000 with the low 16 bits clear: a stable, plausible
  // module token. A collision with another name moves to the next free token.
  std::uint32_t h = 2166136261u;
  for (char c : moduleName) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  std::uint32_t token = 0x10000000u + ((h % 0x6FFFu) << 16);
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  for (;;) {
    auto it = t.moduleNames.find(token);
    if (it == t.moduleNames.end()) {
      t.moduleNames.emplace(token, std::string(moduleName));
      break;
    }
    if (it->second == moduleName) break;
    token = token >= 0x7FFF0000u ? 0x10000000u : token + 0x10000u;
  }
  return reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(token));
}

std::string_view ResourceTable::ModuleName(HINSTANCE module) {
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  const auto it = t.moduleNames.find(static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(module)));
  return it == t.moduleNames.end() ? std::string_view() : std::string_view(it->second);
}

void ResourceTable::AddString(HINSTANCE module, UINT id, std::string_view text) {
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  t.strings[{module, id}] = text;
}

void ResourceTable::AddStrings(HINSTANCE module, std::initializer_list<StringEntry> table) {
  for (const StringEntry& e : table) AddString(module, e.id, e.text);
}

void ResourceTable::AddResource(HINSTANCE module, LPCSTR type, LPCSTR name, std::span<const BYTE> bytes) {
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  auto key = std::make_tuple(module, MakeKey(type), MakeKey(name));
  const auto it = t.index.find(key);
  if (it != t.index.end()) {
    t.entries[it->second].bytes = bytes;  // a second registration replaces the first
    return;
  }
  t.entries.push_back(Entry{module, bytes});
  t.index.emplace(std::move(key), t.entries.size() - 1);
}

void ResourceTable::RemoveModule(HINSTANCE module) {
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  std::erase_if(t.strings, [&](const auto& kv) { return kv.first.first == module; });
  for (auto it = t.index.begin(); it != t.index.end();) {
    if (std::get<0>(it->first) == module) {
      t.entries[it->second] = Entry{nullptr, {}};  // the slot stays so that other HRSRC values keep meaning
      it = t.index.erase(it);
    } else {
      ++it;
    }
  }
}

const std::string_view* ResourceTable::FindString(HINSTANCE module, UINT id) {
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  if (!module) module = Search(t, [&](HINSTANCE m) { return t.strings.count({m, id}) != 0; });
  const auto it = t.strings.find({module, id});
  return it == t.strings.end() ? nullptr : &it->second;
}

HINSTANCE ResourceTable::FindResourceModule(LPCSTR type, LPCSTR name) {
  if (!type || !name) return nullptr;
  const Key tk = MakeKey(type), nk = MakeKey(name);
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  return Search(t, [&](HINSTANCE m) { return t.index.count(std::make_tuple(m, tk, nk)) != 0; });
}

void SetInstanceHandle(HINSTANCE instance) {
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  t.instance = instance;
}

}  // namespace plat

HINSTANCE AfxGetInstanceHandle() {
  auto& t = plat::TheTable();
  std::lock_guard lock(t.mutex);
  return t.instance;
}

HINSTANCE AfxGetResourceHandle() {
  auto& t = plat::TheTable();
  std::lock_guard lock(t.mutex);
  return t.resource ? t.resource : t.instance;
}

void AfxSetResourceHandle(HINSTANCE resource) {
  auto& t = plat::TheTable();
  std::lock_guard lock(t.mutex);
  t.resource = resource;
}

HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type) { return plat::ResourceTable::FindResourceModule(type, name); }

int LoadString(HINSTANCE module, UINT id, LPSTR buffer, int maxChars) {
  if (!buffer || maxChars <= 0) return 0;
  const std::string_view* text = plat::ResourceTable::FindString(module, id);
  if (!text) {
    buffer[0] = '\0';
    return 0;
  }
  const std::size_t n = std::min(text->size(), static_cast<std::size_t>(maxChars - 1));
  text->copy(buffer, n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type) {
  if (!name || !type) return nullptr;
  if (!module) module = plat::ResourceTable::FindResourceModule(type, name);
  if (!module) return nullptr;
  auto& t = plat::TheTable();
  std::lock_guard lock(t.mutex);
  const auto it = t.index.find(std::make_tuple(module, plat::MakeKey(type), plat::MakeKey(name)));
  return it == t.index.end() ? nullptr : plat::ToHrsrc(it->second);
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  auto& t = plat::TheTable();
  std::lock_guard lock(t.mutex);
  const plat::Entry* e = plat::FromHrsrc(t, resource);
  return e ? const_cast<BYTE*>(e->bytes.data()) : nullptr;
}

LPVOID LockResource(HGLOBAL loaded) { return loaded; }

DWORD SizeofResource(HMODULE, HRSRC resource) {
  auto& t = plat::TheTable();
  std::lock_guard lock(t.mutex);
  const plat::Entry* e = plat::FromHrsrc(t, resource);
  return e ? static_cast<DWORD>(e->bytes.size()) : 0;
}

BOOL FreeResource(HGLOBAL) { return FALSE; }

BOOL CString::LoadString(UINT id) {
  const std::string_view* text = plat::ResourceTable::FindString(nullptr, id);
  if (!text) return FALSE;
  s_.assign(*text);
  return TRUE;
}

void AfxFormatString1(CString& out, UINT id, const char* text1) {
  CString templ;
  templ.LoadString(id);
  AfxFormatStrings(out, templ, &text1, 1);
}

void AfxFormatString2(CString& out, UINT id, const char* text1, const char* text2) {
  CString templ;
  templ.LoadString(id);
  const char* texts[] = {text1, text2};
  AfxFormatStrings(out, templ, texts, 2);
}

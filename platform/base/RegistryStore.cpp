#include "platform/base/RegistryStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/AtomicFile.h"
#include "platform/base/CodePage.h"
#include "platform/base/PathDialect.h"
#include "platform/base/RegularFile.h"
#include "platform/base/SystemError.h"
#include "safepath/HeldPath.h"
#include "safepath/SaveLock.h"

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

using ValueMap = std::map<std::string, Value, NoCaseLess>;

class Key;

// Orders keys by name, ignoring case; finds a key by its name too.
struct ByName {
  using is_transparent = void;
  static std::string_view Of(const Key* key);
  static std::string_view Of(std::string_view name) { return name; }
  template <class A, class B>
  bool operator()(const A& a, const B& b) const {
    return CompareNoCase1252(Of(a), Of(b)) < 0;
  }
};

using Subkeys = std::set<Key*, ByName>;

// A key of the tree. A store file can hold a path of millions of levels (two bytes each), so a key is kept small: its
// name in the same allocation after it, its only subkey in place (the keys of a deep path have one each) and a set
// from two subkeys on, its values in a map made for the first. A key of a short name takes 48 bytes of the heap.
//
// Keys are made by Make and freed with everything below them by FreeBelow, which takes no call per level and
// allocates nothing: a change that was not written is taken back, and a key deleted once it was, also where memory
// has run out.
class Key {
 public:
  // Throws std::bad_alloc.
  static Key* Make(Key* parent, std::string_view name) {
    void* const place = ::operator new(sizeof(Key) + name.size());
    Key* const key = new (place) Key(parent, static_cast<std::uint32_t>(name.size()));
    std::memcpy(reinterpret_cast<char*>(key + 1), name.data(), name.size());
    return key;
  }
  enum class Top { Free, Keep };
  // Frees every key below `top`, and `top` itself unless kept (it must then be no one's subkey), telling `freeing`
  // of each just before it goes (its pointer is all that may be used then). Each set of subkeys is freed whole as
  // the walk comes to it (see Thread), so that no key is searched for in its parent's; the walk goes down to a key's
  // first subkey and back up its parent pointers, taking no memory per level.
  static void FreeBelow(Key* top, Top which) noexcept {
    FreeBelow(top, which, [](const Key*) noexcept {});
  }
  template <class Freeing>
  static void FreeBelow(Key* top, Top which, Freeing freeing) noexcept {
    for (Key* k = top;;) {
      if (k->count_ >= 2) {
        k = k->Thread();
        continue;
      }
      if (k->count_ == 1) {
        k = k->one_;
        continue;
      }
      if (k == top) {
        if (which == Top::Free) {
          freeing(k);
          Destroy(k);
        }
        return;
      }
      // Up to the parent when this was its last subkey (the parent holds it as its only one), else on to the next.
      Key* const up = k->parent_;
      if (up->count_ == 1 && up->one_ == k) {
        up->one_ = nullptr;
        up->count_ = 0;
      }
      freeing(k);
      Destroy(k);
      k = up;
    }
  }
  // Frees the subkeys and values, keeping the key.
  void Clear() noexcept {
    FreeBelow(this, Top::Keep);
    values_.reset();
  }

  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  std::string_view Name() const { return {reinterpret_cast<const char*>(this + 1), nameLength_}; }
  Key* Parent() const { return parent_; }
  std::size_t SubkeyCount() const { return count_; }
  Key* Find(std::string_view name) const {
    if (count_ == 1) return CompareNoCase1252(one_->Name(), name) == 0 ? one_ : nullptr;
    if (count_ == 0) return nullptr;
    const auto it = many_->find(name);
    return it == many_->end() ? nullptr : *it;
  }
  // The subkeys in order of their names: the first, and the set of them when there are two or more (null else).
  Key* First() const { return count_ == 0 ? nullptr : count_ == 1 ? one_ : *many_->begin(); }
  const Subkeys* Many() const { return count_ >= 2 ? many_ : nullptr; }
  // A subkey of a name the key has none of; throws std::bad_alloc, and then nothing changed.
  void Add(Key* sub) {
    if (count_ == 1) {
      auto both = std::make_unique<Subkeys>();
      both->insert(one_);
      both->insert(sub);
      many_ = both.release();
    } else if (count_ == 0) {
      one_ = sub;
    } else {
      many_->insert(sub);
    }
    ++count_;
  }
  // Takes a subkey off, allocating nothing (a set left with one subkey is freed); the subkey keeps its parent.
  void Remove(Key* sub) noexcept {
    if (count_ == 1) {
      one_ = nullptr;
    } else {
      many_->erase(sub);
      if (count_ == 2) {
        Key* const rest = *many_->begin();
        delete many_;
        one_ = rest;
      }
    }
    --count_;
  }

  bool HasValues() const { return values_ && !values_->empty(); }
  ValueMap* Values() const { return values_.get(); }
  // Throws std::bad_alloc.
  ValueMap& MakeValues() {
    if (!values_) values_ = std::make_unique<ValueMap>();
    return *values_;
  }

 private:
  Key(Key* parent, std::uint32_t nameLength) : parent_(parent), one_(nullptr), nameLength_(nameLength) {}
  ~Key() = default;   // only once its subkeys are freed

  static void Destroy(Key* key) noexcept {
    key->~Key();
    ::operator delete(key);
  }
  // For FreeBelow, which is freeing the key's two or more subkeys: the set is freed and its keys, in order, are
  // chained through their parent pointers, each naming the next and the last the key, which holds the last as its
  // only subkey until it is freed. Answers the first.
  Key* Thread() noexcept {
    Subkeys* const set = many_;
    Key* const first = *set->begin();
    Key* last = nullptr;
    for (Key* const sub : *set) {
      if (last) last->parent_ = sub;
      last = sub;
    }
    delete set;
    one_ = last;
    count_ = 1;
    return first;
  }

  Key* parent_;
  union {
    Key* one_;
    Subkeys* many_;
  };
  std::uint32_t count_ = 0;
  std::uint32_t nameLength_;
  std::unique_ptr<ValueMap> values_;
};
static_assert(sizeof(Key) == 32);

std::string_view ByName::Of(const Key* key) { return key->Name(); }

// Frees a key tree that is no one's subkey, or one made for a change that was not kept.
struct FreeKeyTree {
  void operator()(Key* key) const noexcept { Key::FreeBelow(key, Key::Top::Free); }
};
using KeyTree = std::unique_ptr<Key, FreeKeyTree>;

constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

// The four roots and the keys below them.
struct Tree {
  std::array<KeyTree, 4> roots;
  Tree() {
    for (int i = 0; i < 4; ++i) roots[i].reset(Key::Make(nullptr, kRootNames[i]));
  }
  // The index of one of its roots.
  std::size_t IndexOf(const Key* root) const {
    std::size_t i = 0;
    while (roots[i].get() != root) ++i;
    return i;
  }
};

// Where a handle's enumeration by index last was in a key's subkeys or values: the next index, or the one before, is
// then a step away, and listing n of them takes n steps, not n * n / 2. An element added or taken away moves the
// place with it (see Added and Removing), so that a walk that deletes some of what it finds keeps its place too.
template <class Container>
class Place {
 public:
  using Iterator = typename Container::const_iterator;

  // The element at the index (below the container's size), walked to from the nearest of the first, the place kept
  // and the end.
  Iterator Seek(const Container& all, std::size_t index) {
    auto at = all.begin();
    std::size_t from = 0;
    if (kept_ && Distance(index_, index) < index) {
      at = at_;
      from = index_;
    }
    if (all.size() - index < Distance(from, index)) {
      at = all.end();
      from = all.size();
    }
    std::advance(at, static_cast<std::ptrdiff_t>(index) - static_cast<std::ptrdiff_t>(from));
    at_ = at;
    index_ = index;
    kept_ = true;
    return at;
  }
  void Forget() { kept_ = false; }
  // The element at `added` is now in the container: one before the place puts the place's element an index later.
  void Added(const Container& all, Iterator added) {
    if (kept_ && (at_ == all.end() || all.value_comp()(*added, *at_))) ++index_;
  }
  // The element at `gone` is about to be taken out of the container: the place's element moves an index earlier
  // when it came before it; when it is the place's own element the place goes on to the next one, which takes its
  // index (the end when it was the last).
  void Removing(const Container& all, Iterator gone) {
    if (!kept_) return;
    if (gone == at_)
      ++at_;
    else if (at_ == all.end() || all.value_comp()(*gone, *at_))
      --index_;
  }

 private:
  static std::size_t Distance(std::size_t a, std::size_t b) { return a < b ? b - a : a - b; }

  Iterator at_{};
  std::size_t index_ = 0;
  bool kept_ = false;
};

struct Places {
  Place<Subkeys> subkey;
  Place<ValueMap> value;
};

struct Handle {
  Key* key = nullptr;   // null once the key was deleted
  Places places;
};

// Orders handles by their key (then by where they are), so that the handles of a key are found among them; a
// handle's key changes only while it is taken out (see Rekey). Finds the handles of a key by the key too.
struct ByKey {
  using is_transparent = void;
  bool operator()(const Handle* a, const Handle* b) const {
    return a->key != b->key ? std::less<const Key*>()(a->key, b->key) : std::less<const Handle*>()(a, b);
  }
  bool operator()(const Handle* a, const Key* b) const { return std::less<const Key*>()(a->key, b); }
  bool operator()(const Key* a, const Handle* b) const { return std::less<const Key*>()(a, b->key); }
};
using HandlesByKey = std::set<Handle*, ByKey>;

// The handles of the key, found with two searches: equal_range by a key alone steps through every handle of it to
// find the end of them, which for the handles of no key (all those whose key was deleted) could be any number.
std::pair<HandlesByKey::iterator, HandlesByKey::iterator> HandlesOf(const HandlesByKey& open, const Key* key) {
  return {open.lower_bound(key), open.upper_bound(key)};
}

struct State {
  std::mutex mutex;
  Tree tree;
  std::map<std::uintptr_t, Handle> handles;
  // Every handle of `handles`, by its key: a change visits only the handles open on its key. (A key of none costs
  // nothing for it.)
  HandlesByKey open;
  // The enumeration places of the predefined root handles.
  std::array<Places, 4> rootPlaces;
  std::uintptr_t next = 1;
  std::optional<std::string> file;
  // The store file as this process last loaded or wrote it (none where there was none): a change is written only
  // over that file as it was, so that another program's change to it since is not written over.
  MergedFile stored;
  std::string storedText;  // its bytes: a file whose status alone changed since is still that file with them
  // The store file's save lock, where the change running took it before the mutex (Changing), else null.
  const safepath::SaveLock* saving = nullptr;
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

// The levels of keys above the key, below its root, counted up to one past the registry's limit.
std::size_t DepthUpToLimit(const Key* key) {
  std::size_t depth = 0;
  for (; key->Parent() && depth <= RegistryStore::kMaxKeyDepth; key = key->Parent()) ++depth;
  return depth;
}

// The open key behind a handle (predefined roots included), and the handle's enumeration places when asked for.
LONG Resolve(State& s, HKEY key, Key*& out, Places** places = nullptr) {
  const auto token = reinterpret_cast<std::uintptr_t>(key);
  if (token >= 0x80000000u && token <= 0x80000003u) {
    out = s.tree.roots[token - 0x80000000u].get();
    if (places) *places = &s.rootPlaces[token - 0x80000000u];
    return ERROR_SUCCESS;
  }
  const auto it = s.handles.find(token);
  if (it == s.handles.end()) return static_cast<LONG>(ERROR_INVALID_HANDLE);
  if (!it->second.key) return ERROR_KEY_DELETED;
  out = it->second.key;
  if (places) *places = &it->second.places;
  return ERROR_SUCCESS;
}

// Calls `visit` with the enumeration places of every handle open on the key, and of the predefined handle of a root.
template <class Visit>
void ForEachPlaces(State& s, const Key* key, Visit visit) noexcept {
  for (auto [at, end] = HandlesOf(s.open, key); at != end; ++at) visit((*at)->places);
  if (!key->Parent()) visit(s.rootPlaces[s.tree.IndexOf(key)]);
}

// Hangs a subkey on the key, moving the places the key's handles keep in its subkeys. Throws std::bad_alloc, and then
// nothing changed.
void AddSubkey(State& s, Key* key, Key* sub) {
  key->Add(sub);
  // A set of subkeys made just now has no place kept in it (see RemoveSubkey).
  if (const Subkeys* const many = key->Many()) {
    const auto added = many->find(sub);
    ForEachPlaces(s, key, [&](Places& places) { places.subkey.Added(*many, added); });
  }
}

// Takes a subkey off the key, allocating nothing, moving the places the key's handles keep in its subkeys; those in
// a set that is freed for the one subkey left are forgotten.
void RemoveSubkey(State& s, Key* key, Key* sub) noexcept {
  if (const Subkeys* const many = key->Many()) {
    const auto gone = many->find(sub);
    const bool freed = key->SubkeyCount() == 2;
    ForEachPlaces(s, key, [&](Places& places) {
      if (freed)
        places.subkey.Forget();
      else
        places.subkey.Removing(*many, gone);
    });
  }
  key->Remove(sub);
}

// The value at `added` is new in the key's values: the places kept in them move with it.
void ValueAdded(State& s, const Key* key, ValueMap::const_iterator added) noexcept {
  ForEachPlaces(s, key, [&](Places& places) { places.value.Added(*key->Values(), added); });
}

// The value at `gone` is about to be taken out of the key's values: the places kept in them move with it.
void ValueRemoving(State& s, const Key* key, ValueMap::const_iterator gone) noexcept {
  ForEachPlaces(s, key, [&](Places& places) { places.value.Removing(*key->Values(), gone); });
}

// Points the handle at another key (null: its key was deleted), allocating nothing.
void Rekey(State& s, Handle& handle, Key* key) noexcept {
  auto node = s.open.extract(&handle);
  handle.key = key;
  s.open.insert(std::move(node));
}

// Each handle of the key, which is being freed, now answers ERROR_KEY_DELETED.
void Orphan(State& s, const Key* gone) noexcept {
  for (auto [at, end] = HandlesOf(s.open, gone); at != end;) {
    auto node = s.open.extract(at++);
    node.value()->key = nullptr;
    s.open.insert(std::move(node));   // among the handles of no key, out of the range walked
  }
}

// Whether a handle is open on any key (a handle whose key was deleted is on none).
bool AnyKeyOpen(const State& s) noexcept {
  const auto [first, end] = HandlesOf(s.open, nullptr);
  return first != s.open.begin() || end != s.open.end();
}

// A handle's entry, made before the call changes anything (with its place among the handles by key, of no key yet:
// the handle's allocations) and dropped again unless the call hands the handle out.
class NewHandle {
 public:
  explicit NewHandle(State& s) : s_(s), token_((s.next++ << 4) | 0x6) {
    Handle& handle = s.handles.emplace(token_, Handle{}).first->second;
    try {
      s.open.insert(&handle);
    } catch (...) {
      s.handles.erase(token_);
      throw;
    }
  }
  ~NewHandle() {
    if (!token_) return;
    const auto it = s_.handles.find(token_);
    s_.open.erase(&it->second);
    s_.handles.erase(it);
  }
  NewHandle(const NewHandle&) = delete;
  NewHandle& operator=(const NewHandle&) = delete;
  HKEY Keep(Key* key) noexcept {
    Rekey(s_, s_.handles.find(token_)->second, key);
    return reinterpret_cast<HKEY>(std::exchange(token_, 0));
  }

 private:
  State& s_;
  std::uintptr_t token_;
};

// Keys made for a change and not yet in the store file, the first of them on its parent: taken away again unless the
// change is kept, moving back the places the parent's handles keep. (No handle is open on a key made.)
class MadeKeys {
 public:
  MadeKeys(State& s, Key* first) : s_(s), first_(first) {}
  ~MadeKeys() {
    if (!first_) return;
    RemoveSubkey(s_, first_->Parent(), first_);
    Key::FreeBelow(first_, Key::Top::Free);
  }
  MadeKeys(const MadeKeys&) = delete;
  MadeKeys& operator=(const MadeKeys&) = delete;
  bool Any() const { return first_; }
  void Keep() { first_ = nullptr; }

 private:
  State& s_;
  Key* first_;
};

// The key at the path below `base`, with the keys on the way that do not exist made (`made` gets the first of them,
// null when none was made). The keys to be made must keep to the registry's limits (ERROR_INVALID_PARAMETER), their
// names also written on one line of the store file; keys that exist are not judged: an earlier version made keys
// beyond the limits, and they open as they are. Throws std::bad_alloc, and then nothing changed.
LONG OpenOrMake(State& s, Key* base, LPCSTR subKey, Key*& out, Key*& made) {
  made = nullptr;
  std::string_view rest(subKey ? subKey : "");
  std::string_view part = NextPart(rest);
  Key* k = base;
  for (; !part.empty(); part = NextPart(rest)) {
    Key* const sub = k->Find(part);
    if (!sub) break;
    k = sub;
  }
  if (part.empty()) {
    out = k;
    return ERROR_SUCCESS;
  }
  std::size_t depth = DepthUpToLimit(k);
  std::string_view check = rest;
  for (std::string_view p = part; !p.empty(); p = NextPart(check))
    if (++depth > RegistryStore::kMaxKeyDepth || p.size() > RegistryStore::kMaxKeyNameLength ||
        p.find('\n') != p.npos)
      return ERROR_INVALID_PARAMETER;
  // Made apart from the tree and hung on it whole.
  KeyTree chain(Key::Make(k, part));
  Key* tip = chain.get();
  for (part = NextPart(rest); !part.empty(); part = NextPart(rest)) {
    KeyTree sub(Key::Make(tip, part));
    tip->Add(sub.get());
    tip = sub.release();
  }
  AddSubkey(s, k, chain.get());
  made = chain.release();
  out = tip;
  return ERROR_SUCCESS;
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

// The key's own lines: its header when it holds values or nothing at all (a key with subkeys only is made by theirs;
// `skip` is left out as deleted), then its values.
void DumpKey(const Key& k, std::string_view path, const Key* skip, std::string& out) {
  const std::size_t subkeys = k.SubkeyCount() - (skip && skip->Parent() == &k ? 1 : 0);
  if (k.HasValues() || subkeys == 0) {
    out += '[';
    out += path;
    out += "]\r\n";
  }
  if (!k.Values()) return;
  for (const auto& [ignored, v] : *k.Values()) {
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

// The walk's place in each set of two or more subkeys on its way down, the deepest last.
using Way = std::vector<Subkeys::const_iterator>;

// The first subkey of the key but `skip`, null when there is none; its place in a set is kept on the way.
const Key* Down(const Key* key, const Key* skip, Way& way) {
  const Subkeys* const many = key->Many();
  if (!many) {
    const Key* const only = key->First();
    return only == skip ? nullptr : only;
  }
  auto at = many->begin();
  if (*at == skip) ++at;   // one of two or more remains
  way.push_back(at);
  return *at;
}

// The subkey after `key` of its parent but `skip`, a step from the place kept; null after the last (whose place is
// then dropped) and for an only subkey.
const Key* Across(const Key* key, const Key* skip, Way& way) {
  const Subkeys* const many = key->Parent()->Many();
  if (!many) return nullptr;
  auto& at = way.back();
  if (++at != many->end() && *at == skip) ++at;
  if (at != many->end()) return *at;
  way.pop_back();
  return nullptr;
}

// Every root that holds values of its own (a header of the root's name alone), then every key below it, each before
// its subkeys, leaving `skip` and the keys below it out (a deletion not yet made). The walk goes down to a key's
// first subkey and up through the parents to the next one, with one path text that grows and shrinks with it and a
// place kept for each set of subkeys on its way: it takes no memory per level of only subkeys but the text's, however
// deep the keys, and each step is a step.
std::string DumpAll(const Tree& tree, const Key* skip = nullptr) {
  std::string out;
  std::string path;
  Way way;
  for (const KeyTree& rootKey : tree.roots) {
    const Key* const root = rootKey.get();
    path = root->Name();
    if (root->HasValues()) DumpKey(*root, path, skip, out);
    for (const Key* k = Down(root, skip, way); k;) {
      path += '\\';
      path += k->Name();
      DumpKey(*k, path, skip, out);
      if (const Key* down = Down(k, skip, way)) {
        k = down;
        continue;
      }
      for (;;) {
        path.resize(path.size() - k->Name().size() - 1);
        if (const Key* next = Across(k, skip, way)) {
          k = next;
          break;
        }
        k = k->Parent();
        if (k == root) {
          k = nullptr;
          break;
        }
      }
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

// The subkey of this name, made when there is none; throws std::bad_alloc.
Key* Child(Key* parent, std::string_view name) {
  if (Key* const k = parent->Find(name)) return k;
  KeyTree fresh(Key::Make(parent, name));
  parent->Add(fresh.get());
  return fresh.release();
}

// Throws std::bad_alloc; the tree is then freed by its owner.
bool Parse(Tree& tree, std::string_view text) {
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
      current = tree.roots[root].get();
      for (std::string_view part = NextPart(path); !part.empty(); part = NextPart(path)) current = Child(current, part);
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
    current->MakeValues()[v.name] = std::move(v);
  }
  return true;
}

// What Persist answers where another program's save holds the store file's lock, or where the lock no longer ordered
// its save (kSaveLockLost: another program of the user may have saved meanwhile): the change is taken back, and
// Changing waits for the lock outside the state's mutex and makes it again. Never a call's answer.
constexpr LONG kSaveLockBusy = -1;
constexpr LONG kSaveLockLost = -2;

// Writes the tree through to the store file when there is one, without `skip` (a deletion to be made once it is
// written); a text larger than the store loads is not written (the next load would refuse the file, and every key
// in it). A text that cannot get its memory is not written either. The file's save lock is held while it is written
// (kSaveLockBusy where another program's save holds it: it is not waited for under the mutex), and the file is written
// only where it is still as this process loaded or last wrote it (ERROR_FILE_CHANGED_SINCE_READ: another program
// changed it since, whose change the tree does not hold). A save the lock no longer ordered (kSaveLockLost) keeps
// the file as it left it as the one written last, over which the change made again is written.
LONG Persist(State& s, const Key* skip = nullptr) {
  if (!s.file) return ERROR_SUCCESS;
  try {
    std::string text = DumpAll(s.tree, skip);
    if (text.size() > RegistryStore::kMaxFileBytes) return static_cast<LONG>(ERROR_STORE_TOO_LARGE);
    // A path its walk fails on is left to the save, which reports why.
    safepath::HeldPath held;
    safepath::SaveLock lock;
    const safepath::SaveLock* ordering = &lock;
    if (held.walkToFile(*s.file) == 0) {
      if (s.saving && s.saving->covers(held.exists() ? &held.file() : nullptr)) {
        ordering = s.saving;
      } else {
        const int e = lock.take(held, std::chrono::milliseconds(0));
        if (e == EWOULDBLOCK) return kSaveLockBusy;
        if (e) return static_cast<LONG>(SaveLockError(e));
      }
    }
    int err = 0;
    struct stat written {};
    MergedFile stored = s.stored;
    stored.text = s.storedText;
    stored.lock = ordering;
    const MergedWrite made = WriteMergedFile(*s.file, text, stored, written, err);
    switch (made) {
      case MergedWrite::Written:
      case MergedWrite::WrittenUnordered:
        s.stored = MergedFile::Of(written);
        s.storedText = std::move(text);
        if (made == MergedWrite::WrittenUnordered) return kSaveLockLost;
        break;
      case MergedWrite::FileChanged: return static_cast<LONG>(ERROR_FILE_CHANGED_SINCE_READ);
      case MergedWrite::Failed: return static_cast<LONG>(ErrnoToError(err));
      case MergedWrite::Unordered: return kSaveLockLost;
    }
  } catch (const std::bad_alloc&) {
    return static_cast<LONG>(ERROR_NOT_ENOUGH_MEMORY);
  }
  return ERROR_SUCCESS;
}

// Sets a value on the key, and writes the store file; a value the file does not take is not set (nor are the keys
// made for it, which `made` takes away). Throws std::bad_alloc before it changes anything.
LONG SetValue(State& s, Key* k, MadeKeys& made, LPCSTR name, DWORD type, const BYTE* data, DWORD dataLength) {
  // Each byte takes one or more of the file: a value larger than the file may be is refused before it is copied.
  if (s.file && dataLength > RegistryStore::kMaxFileBytes) return static_cast<LONG>(ERROR_STORE_TOO_LARGE);
  Value v;
  v.name = name ? name : "";
  v.type = type;
  if (dataLength) v.data.assign(data, data + dataLength);
  // Strings written without their NUL still read back terminated.
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && (v.data.empty() || v.data.back() != 0)) v.data.push_back(0);
  ValueMap& values = k->MakeValues();
  auto it = values.find(v.name);
  std::optional<Value> old;
  if (it != values.end()) {
    v.name = it->second.name;  // the first spelling stays
    old = std::exchange(it->second, std::move(v));
  } else {
    it = values.emplace(v.name, std::move(v)).first;
    ValueAdded(s, k, it);
  }
  const LONG r = Persist(s);
  if (r) {
    // A change the store file did not take is not made.
    if (old) {
      it->second = std::move(*old);
    } else {
      ValueRemoving(s, k, it);
      values.erase(it);
    }
    return r;
  }
  made.Keep();
  return ERROR_SUCCESS;
}

// Runs a call of the registry's, answering ERROR_NOT_ENOUGH_MEMORY for one that cannot get the memory it needs (it
// changed nothing: each change allocates before it is made, and what takes it back allocates nothing).
template <class Call>
LSTATUS Guarded(Call&& call) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    return static_cast<LSTATUS>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

// The most times a change runs again after its wait for the store file's lock (another program's save may take it
// again before the change does).
constexpr int kMostRuns = 4;

// Runs a change of the store (`call`, given the state under its mutex), as Guarded. Where another program's save holds
// the store file's lock, the change is taken back (Persist) and the lock is waited for with no lock of this process
// held, so that reads and changes of the store by other threads go on meanwhile; the change then runs again, from
// the start, under that lock; so too where the lock no longer ordered its save. ERROR_FILE_BEING_SAVED where it is
// held past the wait, ERROR_NO_SAVE_LOCK where none can be had, ERROR_SAVE_LOCK_LOST where it no longer ordered any
// of the runs.
template <class Call>
LSTATUS Changing(Call&& call) {
  State& s = TheState();
  safepath::SaveLock saving;
  for (int run = 0;; ++run) {
    std::optional<std::string> file;
    const LSTATUS r = Guarded([&]() -> LSTATUS {
      std::lock_guard lock(s.mutex);
      struct Unset {
        State& s;
        ~Unset() { s.saving = nullptr; }
      } unset{s};
      s.saving = run > 0 ? &saving : nullptr;
      const LSTATUS made = call(s);
      if ((made == kSaveLockBusy || made == kSaveLockLost) && s.file) file = *s.file;
      return made;
    });
    if (r != kSaveLockBusy && r != kSaveLockLost) return r;
    if (!file || run + 1 >= kMostRuns)
      return static_cast<LSTATUS>(r == kSaveLockLost ? ERROR_SAVE_LOCK_LOST : ERROR_FILE_BEING_SAVED);
    const LSTATUS waited = Guarded([&]() -> LSTATUS {
      safepath::HeldPath held;
      const int e = held.walkToFile(*file) == 0 ? saving.take(held) : 0;
      return e ? static_cast<LSTATUS>(SaveLockError(e)) : ERROR_SUCCESS;
    });
    if (waited) return waited;
  }
}

// For each open handle, the key of the same path in `loaded` (null when it has none): a handle names its key by
// the path it was opened with, and a store file set later holds the tree that key is then in.
std::vector<std::pair<Handle*, Key*>> HandlesIn(State& s, const Tree& loaded) {
  std::vector<std::pair<Handle*, Key*>> moved;
  moved.reserve(s.handles.size());
  std::vector<const Key*> path;
  for (auto& [token, handle] : s.handles) {
    if (!handle.key) continue;
    path.clear();
    const Key* root = handle.key;
    for (; root->Parent(); root = root->Parent()) path.push_back(root);
    Key* there = loaded.roots[s.tree.IndexOf(root)].get();
    for (auto level = path.rbegin(); there && level != path.rend(); ++level) there = there->Find((*level)->Name());
    moved.emplace_back(&handle, there);
  }
  return moved;
}

// Points each handle at its key in the tree loaded, which has taken the place of the old one: no place an
// enumeration kept in the old tree is kept.
void Repoint(State& s, const std::vector<std::pair<Handle*, Key*>>& moved) noexcept {
  for (const auto& [handle, there] : moved) {
    Rekey(s, *handle, there);
    handle->places = {};
  }
  s.rootPlaces = {};
}

}  // namespace

void RegistryStore::Reset() {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  for (const KeyTree& root : s.tree.roots) root->Clear();
  s.open.clear();
  s.handles.clear();
  s.rootPlaces = {};
  s.file.reset();
}

bool RegistryStore::SetStoreFile(std::optional<std::string> path) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  s.file.reset();
  if (!path) return true;
  try {
    std::string native = NativePath(*path);
    // A file another user put in a folder every user may write, or reached through their link there, is not taken
    // for this user's settings: refused for the reason its save would be. The save's own walk checks the way, and
    // the file is read in the folder it ends on: a link swapped in on the way after the check is not followed.
    safepath::HeldPath held;
    const int walked = held.walkToFile(native);
    if (held.refused()) {
      SetLastError(ErrnoToError(walked));
      return false;
    }
    std::string text;
    struct stat opened {};
    // Only a regular file is read (a FIFO would be waited on for good, a device read without end), up to a limit,
    // and only whole: one cut, grown or written over by another program while it is read is refused
    // (ERROR_FILE_CHANGED), since a part of the tree, or a mixture of two, taken for the whole would be written back
    // by the next change. A file that exists but cannot be read is refused rather than taken as empty, which the
    // next write would replace. No file under the name (a link to none either) is none to load.
    const FileReadResult read =
        walked == EISDIR ? FileReadResult{FileReadStatus::NotRegular, EISDIR}
        : walked         ? FileReadResult{FileReadStatus::CannotOpen, walked}
        : !held.exists() ? FileReadResult{FileReadStatus::CannotOpen, ENOENT}
                         : ReadRegularFileIn(held.folder(), held.leaf(), native, kMaxFileBytes, text, &opened);
    if (!read && !(read.status == FileReadStatus::CannotOpen && read.error == ENOENT)) {
      SetLastError(FileReadError(read));
      return false;
    }
    if (read) {
      Tree loaded;
      if (!Parse(loaded, text)) {
        SetLastError(ERROR_BADDB);
        return false;
      }
      const auto moved = HandlesIn(s, loaded);
      // Nothing below allocates: the loaded tree takes the place of the old one whole.
      std::swap(s.tree.roots, loaded.roots);
      Repoint(s, moved);
    }
    s.file = std::move(native);
    s.stored = read ? MergedFile::Of(opened) : MergedFile{};
    s.storedText = std::move(text);
    return true;
  } catch (const std::bad_alloc&) {
    // The tree as it was (what was made of the file is freed), in memory only.
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

std::string RegistryStore::Dump() {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  return DumpAll(s.tree);
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
  return plat::Guarded([&]() -> LSTATUS {
    auto& s = TheState();
    std::lock_guard lock(s.mutex);
    plat::Key* k = nullptr;
    if (const LONG r = plat::Resolve(s, key, k)) return r;
    plat::NewHandle handle(s);
    std::string_view path(subKey ? subKey : "");
    for (std::string_view part = plat::NextPart(path); !part.empty(); part = plat::NextPart(path)) {
      k = k->Find(part);
      if (!k) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    }
    *result = handle.Keep(k);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, void*, PHKEY result, LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  return plat::Changing([&](plat::State& s) -> LSTATUS {
    plat::Key* k = nullptr;
    if (const LONG r = plat::Resolve(s, key, k)) return r;
    plat::NewHandle handle(s);
    plat::Key* made = nullptr;
    if (const LONG r = plat::OpenOrMake(s, k, subKey, k, made)) return r;
    plat::MadeKeys pending(s, made);
    if (pending.Any()) {
      if (const LONG r = plat::Persist(s)) return r;
    }
    pending.Keep();
    if (disposition) *disposition = made ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = handle.Keep(k);
    return ERROR_SUCCESS;
  });
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
  const auto it = s.handles.find(token);
  if (it == s.handles.end()) return static_cast<LONG>(ERROR_INVALID_HANDLE);
  s.open.erase(&it->second);
  s.handles.erase(it);
  return ERROR_SUCCESS;
}

LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPSTR, LPDWORD, FILETIME*) {
  if (!name || !nameLength) return ERROR_INVALID_PARAMETER;
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  plat::Places* places = nullptr;
  if (const LONG r = plat::Resolve(s, key, k, &places)) return r;
  if (index >= k->SubkeyCount()) return ERROR_NO_MORE_ITEMS;
  const plat::Subkeys* const many = k->Many();
  const std::string_view n = (many ? *places->subkey.Seek(*many, index) : k->First())->Name();
  if (n.size() + 1 > *nameLength) return static_cast<LONG>(ERROR_MORE_DATA);
  std::memcpy(name, n.data(), n.size());
  name[n.size()] = '\0';
  *nameLength = static_cast<DWORD>(n.size());
  return ERROR_SUCCESS;
}

LSTATUS RegEnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPDWORD type, LPBYTE data,
                     LPDWORD dataLength) {
  if (!name || !nameLength) return ERROR_INVALID_PARAMETER;
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  plat::Places* places = nullptr;
  if (const LONG r = plat::Resolve(s, key, k, &places)) return r;
  const plat::ValueMap* values = k->Values();
  if (!values || index >= values->size()) return ERROR_NO_MORE_ITEMS;
  const plat::Value& v = places->value.Seek(*values, index)->second;
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
  return plat::Changing([&](plat::State& s) -> LSTATUS {
    plat::Key* k = nullptr;
    if (const LONG r = plat::Resolve(s, key, k)) return r;
    std::string_view path(subKey ? subKey : "");
    std::string_view part = plat::NextPart(path);
    if (part.empty()) return ERROR_BADKEY;  // a key does not delete itself through its own handle
    for (; !part.empty(); part = plat::NextPart(path)) {
      k = k->Find(part);
      if (!k) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    }
    // Written first: a change the store file did not take is not made.
    if (const LONG r = plat::Persist(s, k)) return r;
    plat::RemoveSubkey(s, k->Parent(), k);
    // Only the keys deleted are visited for their handles, not every handle for its key; none to visit when no
    // handle is open on any key.
    if (!plat::AnyKeyOpen(s))
      plat::Key::FreeBelow(k, plat::Key::Top::Free);
    else
      plat::Key::FreeBelow(k, plat::Key::Top::Free, [&s](const plat::Key* gone) noexcept { plat::Orphan(s, gone); });
    return ERROR_SUCCESS;
  });
}

LSTATUS RegQueryValueEx(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  plat::Key* k = nullptr;
  if (const LONG r = plat::Resolve(s, key, k)) return r;
  const plat::ValueMap* values = k->Values();
  const auto it = values ? values->find(std::string_view(name ? name : "")) : plat::ValueMap::const_iterator();
  if (!values || it == values->end()) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
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
  return plat::Changing([&](plat::State& s) -> LSTATUS {
    plat::Key* k = nullptr;
    if (const LONG r = plat::Resolve(s, key, k)) return r;
    plat::MadeKeys none(s, nullptr);
    return plat::SetValue(s, k, none, name, type, data, dataLength);
  });
}

LSTATUS RegSetKeyValue(HKEY key, LPCSTR subKey, LPCSTR name, DWORD type, LPCVOID data, DWORD dataLength) {
  if (!data && dataLength) return ERROR_INVALID_PARAMETER;
  return plat::Changing([&](plat::State& s) -> LSTATUS {
    plat::Key* k = nullptr;
    if (const LONG r = plat::Resolve(s, key, k)) return r;
    plat::Key* made = nullptr;
    if (const LONG r = plat::OpenOrMake(s, k, subKey, k, made)) return r;
    plat::MadeKeys pending(s, made);
    return plat::SetValue(s, k, pending, name, type, static_cast<const BYTE*>(data), dataLength);
  });
}

LSTATUS RegDeleteValue(HKEY key, LPCSTR name) {
  return plat::Changing([&](plat::State& s) -> LSTATUS {
    plat::Key* k = nullptr;
    if (const LONG r = plat::Resolve(s, key, k)) return r;
    plat::ValueMap* values = k->Values();
    const auto it = values ? values->find(std::string_view(name ? name : "")) : plat::ValueMap::iterator();
    if (!values || it == values->end()) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    plat::ValueRemoving(s, k, it);
    auto removed = values->extract(it);
    const LONG r = plat::Persist(s);
    if (r) {
      // A change the store file did not take is not made.
      plat::ValueAdded(s, k, values->insert(std::move(removed)).position);
    }
    return r;
  });
}

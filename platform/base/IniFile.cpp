#include "platform/base/IniFile.h"

#include "platform/base/CodePage.h"

#include <algorithm>
#include <utility>

namespace plat {
namespace {

constexpr std::size_t npos = std::string::npos;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A name's hash as its lookups fold it: edge blanks trimmed, letters in lower case (FNV-1a).
std::uint64_t FoldedHash(std::string_view name) {
  std::uint64_t hash = 14695981039346656037u;
  for (const char c : Trim(name)) {
    hash ^= ToLower1252(static_cast<unsigned char>(c));
    hash *= 1099511628211u;
  }
  return hash;
}

}  // namespace

void IniFile::NameTable::Clear() {
  slots_.clear();
  count_ = 0;
}

void IniFile::NameTable::Reserve(std::size_t count) {
  std::size_t capacity = 16;
  while (capacity < 2 * count) capacity *= 2;
  if (capacity > slots_.size()) Grow(capacity);
}

void IniFile::NameTable::Grow(std::size_t capacity) {
  std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(capacity));
  const std::size_t mask = capacity - 1;
  for (const Slot& slot : old) {
    if (!slot.index) continue;
    std::size_t at = slot.hash & mask;
    while (slots_[at].index) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

template <class NameOf>
bool IniFile::NameTable::Insert(std::string_view name, std::size_t index, const NameOf& nameOf) {
  if (2 * (count_ + 1) > slots_.size()) Grow(std::max<std::size_t>(16, 2 * slots_.size()));
  const std::uint64_t hash = FoldedHash(name);
  const std::string_view trimmed = Trim(name);
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = hash & mask;
  for (; slots_[at].index; at = (at + 1) & mask)
    if (slots_[at].hash == hash && EqualNoCase1252(Trim(nameOf(slots_[at].index - 1)), trimmed)) return false;
  slots_[at] = Slot{hash, index + 1};
  ++count_;
  return true;
}

template <class NameOf>
std::size_t IniFile::NameTable::Find(std::string_view name, const NameOf& nameOf) const {
  if (slots_.empty()) return npos;
  const std::uint64_t hash = FoldedHash(name);
  const std::string_view trimmed = Trim(name);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask; slots_[at].index; at = (at + 1) & mask)
    if (slots_[at].hash == hash && EqualNoCase1252(Trim(nameOf(slots_[at].index - 1)), trimmed))
      return slots_[at].index - 1;
  return npos;
}

void IniFile::NameTable::MarkFirsts(std::vector<bool>& first) const {
  for (const Slot& slot : slots_)
    if (slot.index) first[slot.index - 1] = true;
}

bool IniFile::IsValidSectionName(std::string_view name) {
  return name.find_first_of("\r\n]") == std::string_view::npos;
}

bool IniFile::IsValidKey(std::string_view key) {
  if (key.find_first_of("\r\n=") != std::string_view::npos) return false;
  const std::string_view t = Trim(key);
  return t.empty() || (t.front() != '[' && t.front() != ';');
}

bool IniFile::IsValidSectionLine(std::string_view line) {
  if (line.find_first_of("\r\n") != std::string_view::npos) return false;
  const std::string_view t = Trim(line);
  return t.empty() || t.front() != '[';
}

bool IniFile::IsValidValue(std::string_view value) { return value.find_first_of("\r\n") == std::string_view::npos; }

IniFile::Line IniFile::ParseLine(std::string_view raw, std::size_t skip) {
  Line line;
  line.raw = raw;
  const std::string_view whole = line.raw;
  auto setName = [&](std::string_view name) {
    line.nameAt = static_cast<std::size_t>(name.data() - whole.data());
    line.nameLength = name.size();
  };
  const std::string_view t = Trim(whole.substr(skip));
  if (t.empty()) return line;
  if (t.front() == ';') {
    line.kind = Kind::Comment;
  } else if (t.front() == '[') {
    line.kind = Kind::Header;
    std::string_view name = t.substr(1);
    const std::size_t close = name.find(']');
    if (close != npos) name = name.substr(0, close);
    setName(Trim(name));
  } else {
    line.kind = Kind::Entry;
    const std::size_t eq = t.find('=');
    if (eq == npos) {
      setName(t);
    } else {
      line.hasEquals = true;
      setName(Trim(t.substr(0, eq)));
      const std::string_view value = Trim(t.substr(eq + 1));
      line.valueAt = static_cast<std::size_t>(value.data() - whole.data());
      line.valueLength = value.size();
    }
  }
  return line;
}

IniFile IniFile::Parse(std::string_view text) {
  // The lines of the text, each without its line break.
  auto forEachLine = [&](auto&& take) {
    for (std::size_t pos = 0; pos < text.size();) {
      std::size_t nl = text.find('\n', pos);
      if (nl == npos) nl = text.size();
      std::string_view raw = text.substr(pos, nl - pos);
      if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
      take(pos, raw);
      pos = nl + 1;
    }
  };
  // A first glance counts the sections and their lines, so that no list grows (and moves) as it is filled: a file of
  // a million small sections is otherwise mostly copied about. Only a hint: the parse below decides what is what.
  std::vector<std::size_t> counts(1, 0);  // the lines before the first header, then each section's
  forEachLine([&](std::size_t, std::string_view raw) {
    const std::size_t first = raw.find_first_not_of(" \t\r\n\v\f");
    if (first != npos && raw[first] == '[')
      counts.push_back(0);
    else
      ++counts.back();
  });
  IniFile ini;
  ini.preamble_.reserve(counts[0]);
  ini.sections_.reserve(counts.size() - 1);
  forEachLine([&](std::size_t pos, std::string_view raw) {
    // A byte-order mark that an editor put in front of the first line: the line is read without it, and keeps its
    // bytes.
    Line line = ParseLine(raw, pos == 0 && raw.starts_with("\xEF\xBB\xBF") ? 3 : 0);
    if (line.kind == Kind::Header) {
      ini.sections_.push_back(Section{std::move(line), {}, {}, false});
      if (ini.sections_.size() < counts.size()) ini.sections_.back().lines.reserve(counts[ini.sections_.size()]);
    } else {
      (ini.sections_.empty() ? ini.preamble_ : ini.sections_.back().lines).push_back(std::move(line));
    }
  });
  return ini;
}

std::string IniFile::Serialize() const {
  std::size_t size = 0;
  auto measure = [&](const std::vector<Line>& lines) {
    for (const Line& l : lines) size += l.raw.size() + 2;
  };
  measure(preamble_);
  for (const Section& s : sections_) {
    size += s.header.raw.size() + 2;
    measure(s.lines);
  }
  std::string out;
  out.reserve(size);
  auto put = [&](const Line& l) {
    out += l.raw;
    out += "\r\n";
  };
  for (const Line& l : preamble_) put(l);
  for (const Section& s : sections_) {
    put(s.header);
    for (const Line& l : s.lines) put(l);
  }
  return out;
}

std::size_t IniFile::LineCount() const {
  std::size_t n = preamble_.size();
  for (const Section& s : sections_) n += 1 + s.lines.size();
  return n;
}

void IniFile::Changed() {
  sectionMemo_.valid = false;
  keysMemo_.valid = false;
}

void IniFile::SectionsChanged() {
  namesMemo_.valid = false;
  Changed();
}

void IniFile::IndexSections() const {
  if (sectionIndexValid_) return;
  sectionIndex_.Clear();
  sectionIndex_.Reserve(sections_.size());
  for (std::size_t i = 0; i < sections_.size(); ++i) sectionIndex_.Insert(sections_[i].header.Name(), i, SectionName());
  sectionIndexValid_ = true;
}

const IniFile::Section* IniFile::FindSection(std::string_view section) const {
  IndexSections();
  const std::size_t i = sectionIndex_.Find(section, SectionName());
  return i == npos ? nullptr : &sections_[i];
}

IniFile::Section* IniFile::FindSection(std::string_view section) {
  return const_cast<Section*>(std::as_const(*this).FindSection(section));
}

std::size_t IniFile::Section::FindKey(std::string_view key) const {
  if (!keysValid) {
    keys.Clear();
    // The table keeps the first of two entries with one name: the first one is the key.
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].kind == Kind::Entry) keys.Insert(lines[i].Name(), i, KeyName());
    keysValid = true;
  }
  return keys.Find(key, KeyName());
}

std::size_t IniFile::Section::ContentEnd() const {
  std::size_t end = lines.size();
  while (end > 0 && lines[end - 1].kind == Kind::Blank) --end;
  return end;
}

const std::string& IniFile::SectionText(std::string_view section) const {
  if (sectionMemo_.valid && sectionMemo_.section == section) return sectionMemo_.text;
  std::string& text = sectionMemo_.text;
  text.clear();
  if (const Section* s = FindSection(section)) {
    for (const Line& l : s->lines) {
      if (l.kind == Kind::Entry) {
        text += l.Name();
        if (l.hasEquals) {
          text += '=';
          text += l.Value();
        }
      } else if (l.kind == Kind::Comment) {
        text += Trim(l.raw);
      } else {
        continue;
      }
      text += '\0';
    }
  }
  sectionMemo_.section = section;
  sectionMemo_.valid = true;
  return text;
}

const std::string& IniFile::SectionNamesText() const {
  if (namesMemo_.valid) return namesMemo_.text;
  std::string& text = namesMemo_.text;
  text.clear();
  for (const std::string& name : SectionNames()) {
    text += name;
    text += '\0';
  }
  namesMemo_.valid = true;
  return text;
}

const std::string& IniFile::KeyNamesText(std::string_view section) const {
  if (keysMemo_.valid && keysMemo_.section == section) return keysMemo_.text;
  std::string& text = keysMemo_.text;
  text.clear();
  for (const std::string& name : KeyNames(section)) {
    text += name;
    text += '\0';
  }
  keysMemo_.section = section;
  keysMemo_.valid = true;
  return text;
}

bool IniFile::HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

std::optional<std::string_view> IniFile::FindValue(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return std::nullopt;
  const std::size_t k = s->FindKey(key);
  if (k == npos) return std::nullopt;
  return s->lines[k].Value();
}

std::vector<std::string> IniFile::SectionNames() const {
  // The index holds the first section of each name: those are listed, in file order.
  IndexSections();
  std::vector<bool> first(sections_.size());
  sectionIndex_.MarkFirsts(first);
  std::vector<std::string> names;
  names.reserve(sectionIndex_.Size());
  for (std::size_t i = 0; i < sections_.size(); ++i)
    if (first[i]) names.emplace_back(sections_[i].header.Name());
  return names;
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  const Section* s = FindSection(section);
  if (!s) return names;
  for (std::size_t i = 0; i < s->lines.size(); ++i) {
    const Line& l = s->lines[i];
    // Only the first occurrence of a key counts, as for lookups.
    if (l.kind == Kind::Entry && s->FindKey(l.Name()) == i) names.emplace_back(l.Name());
  }
  return names;
}

std::vector<std::string> IniFile::SectionLines(std::string_view section) const {
  std::vector<std::string> out;
  const Section* s = FindSection(section);
  if (!s) return out;
  for (const Line& l : s->lines) {
    if (l.kind == Kind::Entry) {
      std::string text(l.Name());
      if (l.hasEquals) {
        text += '=';
        text += l.Value();
      }
      out.push_back(std::move(text));
    } else if (l.kind == Kind::Comment) {
      out.emplace_back(Trim(l.raw));
    }
  }
  return out;
}

IniFile::Section& IniFile::AppendSection(std::string_view section) {
  std::string header(1, '[');
  header += section;
  header += ']';
  sections_.push_back(Section{ParseLine(header), {}, {}, false});
  if (sectionIndexValid_) sectionIndex_.Insert(sections_.back().header.Name(), sections_.size() - 1, SectionName());
  SectionsChanged();
  return sections_.back();
}

bool IniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = FindSection(section);
  if (!s) s = &AppendSection(section);
  const std::size_t k = s->FindKey(key);
  if (k != npos) {
    Line& line = s->lines[k];
    std::string raw(line.Name());
    raw += '=';
    raw += value;
    if (raw == line.raw) return false;
    line = ParseLine(raw);  // the same name: the key map stays right
    Changed();
    return true;
  }
  // After the last non-blank line of the section, so blank separators stay at its end. Only blank lines
  // move: the key map stays right.
  const std::size_t at = s->ContentEnd();
  Line line = ParseLine(std::string(key) + "=" + std::string(value));
  const bool entry = line.kind == Kind::Entry;
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  if (entry && s->keysValid) s->keys.Insert(s->lines[at].Name(), at, s->KeyName());
  Changed();
  return true;
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
  Section* s = FindSection(section);
  if (!s) return false;
  const std::size_t k = s->FindKey(key);
  if (k == npos) return false;
  s->lines.erase(s->lines.begin() + static_cast<std::ptrdiff_t>(k));
  s->keysValid = false;
  Changed();
  return true;
}

bool IniFile::DeleteSection(std::string_view section) {
  const Section* s = FindSection(section);
  if (!s) return false;
  sections_.erase(sections_.begin() + (s - sections_.data()));
  sectionIndexValid_ = false;
  SectionsChanged();
  return true;
}

bool IniFile::ReplaceSection(std::string_view section, const std::vector<std::string>& lines) {
  Section* s = FindSection(section);
  const bool appended = !s;
  if (appended) s = &AppendSection(section);
  const std::size_t contentEnd = s->ContentEnd();
  std::vector<Line> fresh;
  fresh.reserve(lines.size());
  for (const std::string& l : lines) fresh.push_back(ParseLine(l));
  // Unchanged content: nothing to do (saves rewriting the file).
  if (!appended && contentEnd == fresh.size()) {
    bool same = true;
    for (std::size_t i = 0; same && i < fresh.size(); ++i) same = s->lines[i].raw == fresh[i].raw;
    if (same) return false;
  }
  s->lines.erase(s->lines.begin(), s->lines.begin() + static_cast<std::ptrdiff_t>(contentEnd));
  s->lines.insert(s->lines.begin(), std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
  s->keysValid = false;
  Changed();
  return true;
}

}  // namespace plat

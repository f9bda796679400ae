#include "platform/base/IniFile.h"

#include "platform/base/CodePage.h"

#include <unordered_set>
#include <utility>

namespace plat {
namespace {

constexpr std::size_t npos = std::string::npos;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

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

IniFile::Line IniFile::ParseLine(std::string_view raw) {
  Line line{Kind::Blank, std::string(raw), {}, {}, false};
  const std::string_view t = Trim(raw);
  if (t.empty()) return line;
  if (t.front() == ';') {
    line.kind = Kind::Comment;
  } else if (t.front() == '[') {
    line.kind = Kind::Header;
    std::string_view name = t.substr(1);
    const std::size_t close = name.find(']');
    if (close != npos) name = name.substr(0, close);
    line.name = Trim(name);
  } else {
    line.kind = Kind::Entry;
    const std::size_t eq = t.find('=');
    if (eq == npos) {
      line.name = t;
    } else {
      line.hasEquals = true;
      line.name = Trim(t.substr(0, eq));
      line.value = Trim(t.substr(eq + 1));
    }
  }
  return line;
}

std::string IniFile::Fold(std::string_view name) {
  std::string folded(Trim(name));
  for (char& c : folded) c = static_cast<char>(ToLower1252(static_cast<unsigned char>(c)));
  return folded;
}

IniFile IniFile::Parse(std::string_view text) {
  IniFile ini;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == npos) nl = text.size();
    std::string_view raw = text.substr(pos, nl - pos);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    Line line;
    if (pos == 0 && raw.starts_with("\xEF\xBB\xBF")) {
      // A byte-order mark that an editor put in front of the first line: read the line without it,
      // keep its bytes.
      line = ParseLine(raw.substr(3));
      line.raw = std::string(raw);
    } else {
      line = ParseLine(raw);
    }
    if (line.kind == Kind::Header) {
      ini.sections_.push_back(Section{std::move(line), {}, {}, false});
    } else {
      (ini.sections_.empty() ? ini.preamble_ : ini.sections_.back().lines).push_back(std::move(line));
    }
    pos = nl + 1;
  }
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

void IniFile::Changed() { memoValid_ = false; }

const IniFile::Section* IniFile::FindSection(std::string_view section) const {
  if (!sectionIndexValid_) {
    sectionIndex_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i) sectionIndex_.emplace(Fold(sections_[i].header.name), i);
    sectionIndexValid_ = true;
  }
  const auto it = sectionIndex_.find(Fold(section));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section* IniFile::FindSection(std::string_view section) {
  return const_cast<Section*>(std::as_const(*this).FindSection(section));
}

std::size_t IniFile::Section::FindKey(std::string_view key) const {
  if (!keysValid) {
    keys.clear();
    // emplace keeps the first of two entries with one name: the first one is the key.
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].kind == Kind::Entry) keys.emplace(Fold(lines[i].name), i);
    keysValid = true;
  }
  const auto it = keys.find(Fold(key));
  return it == keys.end() ? npos : it->second;
}

std::size_t IniFile::Section::ContentEnd() const {
  std::size_t end = lines.size();
  while (end > 0 && lines[end - 1].kind == Kind::Blank) --end;
  return end;
}

const std::string& IniFile::SectionText(std::string_view section) const {
  if (memoValid_ && memoSection_ == section) return memoText_;
  memoText_.clear();
  if (const Section* s = FindSection(section)) {
    for (const Line& l : s->lines) {
      if (l.kind == Kind::Entry) {
        memoText_ += l.name;
        if (l.hasEquals) {
          memoText_ += '=';
          memoText_ += l.value;
        }
      } else if (l.kind == Kind::Comment) {
        memoText_ += Trim(l.raw);
      } else {
        continue;
      }
      memoText_ += '\0';
    }
  }
  memoSection_ = section;
  memoValid_ = true;
  return memoText_;
}

bool IniFile::HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

std::optional<std::string_view> IniFile::FindValue(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return std::nullopt;
  const std::size_t k = s->FindKey(key);
  if (k == npos) return std::nullopt;
  return std::string_view(s->lines[k].value);
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Section& s : sections_)
    if (seen.insert(Fold(s.header.name)).second) names.push_back(s.header.name);
  return names;
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  const Section* s = FindSection(section);
  if (!s) return names;
  for (std::size_t i = 0; i < s->lines.size(); ++i) {
    const Line& l = s->lines[i];
    // Only the first occurrence of a key counts, as for lookups.
    if (l.kind == Kind::Entry && s->FindKey(l.name) == i) names.push_back(l.name);
  }
  return names;
}

std::vector<std::string> IniFile::SectionLines(std::string_view section) const {
  std::vector<std::string> out;
  const Section* s = FindSection(section);
  if (!s) return out;
  for (const Line& l : s->lines) {
    if (l.kind == Kind::Entry) {
      out.push_back(l.hasEquals ? l.name + "=" + l.value : l.name);
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
  if (sectionIndexValid_) sectionIndex_.emplace(Fold(sections_.back().header.name), sections_.size() - 1);
  Changed();
  return sections_.back();
}

bool IniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = FindSection(section);
  if (!s) s = &AppendSection(section);
  const std::size_t k = s->FindKey(key);
  if (k != npos) {
    Line& line = s->lines[k];
    std::string raw = line.name + "=" + std::string(value);
    if (raw == line.raw) return false;
    line = ParseLine(raw);  // the same name: the key map stays right
    Changed();
    return true;
  }
  // After the last non-blank line of the section, so blank separators stay at its end. Only blank lines
  // move: the key map stays right.
  const std::size_t at = s->ContentEnd();
  Line line = ParseLine(std::string(key) + "=" + std::string(value));
  if (line.kind == Kind::Entry) s->keys.emplace(Fold(line.name), at);
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
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
  Changed();
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

#include "platform/base/IniFile.h"

#include "platform/base/CodePage.h"

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

IniFile IniFile::Parse(std::string_view text) {
  IniFile ini;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    const bool last = nl == npos;
    if (last) nl = text.size();
    std::string_view raw = text.substr(pos, nl - pos);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (pos == 0 && raw.starts_with("\xEF\xBB\xBF")) {
      // A byte-order mark that an editor put in front of the first line: read the line without it,
      // keep its bytes.
      Line line = ParseLine(raw.substr(3));
      line.raw = std::string(raw);
      ini.lines_.push_back(std::move(line));
    } else {
      ini.lines_.push_back(ParseLine(raw));
    }
    pos = nl + 1;
  }
  return ini;
}

std::string IniFile::Serialize() const {
  std::size_t size = 0;
  for (const Line& l : lines_) size += l.raw.size() + 2;
  std::string out;
  out.reserve(size);
  for (const Line& l : lines_) {
    out += l.raw;
    out += "\r\n";
  }
  return out;
}

void IniFile::Changed() {
  headersValid_ = false;
  memoValid_ = false;
}

std::size_t IniFile::FindSection(std::string_view section) const {
  if (!headersValid_) {
    headers_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i)
      if (lines_[i].kind == Kind::Header) headers_.push_back(i);
    headersValid_ = true;
  }
  const std::string_view want = Trim(section);
  for (std::size_t h : headers_)
    if (EqualNoCase1252(lines_[h].name, want)) return h;
  return npos;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Header) ++i;
  return i;
}

const std::string& IniFile::SectionText(std::string_view section) const {
  if (memoValid_ && memoSection_ == section) return memoText_;
  memoText_.clear();
  const std::size_t h = FindSection(section);
  if (h != npos) {
    const std::size_t end = SectionEnd(h);
    for (std::size_t i = h + 1; i < end; ++i) {
      const Line& l = lines_[i];
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

std::size_t IniFile::FindKey(std::size_t header, std::string_view key) const {
  const std::string_view want = Trim(key);
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == Kind::Entry && EqualNoCase1252(lines_[i].name, want)) return i;
  return npos;
}

bool IniFile::HasSection(std::string_view section) const { return FindSection(section) != npos; }

std::optional<std::string_view> IniFile::FindValue(std::string_view section, std::string_view key) const {
  const std::size_t h = FindSection(section);
  if (h == npos) return std::nullopt;
  const std::size_t k = FindKey(h, key);
  if (k == npos) return std::nullopt;
  return std::string_view(lines_[k].value);
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  for (const Line& l : lines_) {
    if (l.kind != Kind::Header) continue;
    bool seen = false;
    for (const std::string& n : names) seen = seen || EqualNoCase1252(n, l.name);
    if (!seen) names.push_back(l.name);
  }
  return names;
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  const std::size_t h = FindSection(section);
  if (h == npos) return names;
  const std::size_t end = SectionEnd(h);
  for (std::size_t i = h + 1; i < end; ++i) {
    if (lines_[i].kind != Kind::Entry) continue;
    // Only the first occurrence of a key counts, as for lookups.
    if (FindKey(h, lines_[i].name) == i) names.push_back(lines_[i].name);
  }
  return names;
}

std::vector<std::string> IniFile::SectionLines(std::string_view section) const {
  std::vector<std::string> out;
  const std::size_t h = FindSection(section);
  if (h == npos) return out;
  const std::size_t end = SectionEnd(h);
  for (std::size_t i = h + 1; i < end; ++i) {
    const Line& l = lines_[i];
    if (l.kind == Kind::Entry) {
      out.push_back(l.hasEquals ? l.name + "=" + l.value : l.name);
    } else if (l.kind == Kind::Comment) {
      out.emplace_back(Trim(l.raw));
    }
  }
  return out;
}

void IniFile::AppendSection(std::string_view section) {
  std::string header(1, '[');
  header += section;
  header += ']';
  lines_.push_back(ParseLine(header));
  Changed();
}

bool IniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  std::size_t h = FindSection(section);
  if (h == npos) {
    AppendSection(section);
    lines_.push_back(ParseLine(std::string(key) + "=" + std::string(value)));
    Changed();
    return true;
  }
  const std::size_t k = FindKey(h, key);
  if (k != npos) {
    std::string raw = lines_[k].name + "=" + std::string(value);
    if (raw == lines_[k].raw) return false;
    lines_[k] = ParseLine(raw);
    Changed();
    return true;
  }
  // After the last non-blank line of the section, so blank separators stay at its end.
  std::size_t at = h + 1;
  const std::size_t end = SectionEnd(h);
  for (std::size_t i = h + 1; i < end; ++i)
    if (lines_[i].kind != Kind::Blank) at = i + 1;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), ParseLine(std::string(key) + "=" + std::string(value)));
  Changed();
  return true;
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
  const std::size_t h = FindSection(section);
  if (h == npos) return false;
  const std::size_t k = FindKey(h, key);
  if (k == npos) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(k));
  Changed();
  return true;
}

bool IniFile::DeleteSection(std::string_view section) {
  const std::size_t h = FindSection(section);
  if (h == npos) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(h), lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(h)));
  Changed();
  return true;
}

bool IniFile::ReplaceSection(std::string_view section, const std::vector<std::string>& lines) {
  std::size_t h = FindSection(section);
  const bool appended = h == npos;
  if (appended) {
    AppendSection(section);
    h = lines_.size() - 1;
  }
  const std::size_t end = SectionEnd(h);
  std::size_t contentEnd = h + 1;
  for (std::size_t i = h + 1; i < end; ++i)
    if (lines_[i].kind != Kind::Blank) contentEnd = i + 1;
  std::vector<Line> fresh;
  fresh.reserve(lines.size());
  for (const std::string& l : lines) fresh.push_back(ParseLine(l));
  // Unchanged content: nothing to do (saves rewriting the file).
  if (!appended && contentEnd - h - 1 == fresh.size()) {
    bool same = true;
    for (std::size_t i = 0; same && i < fresh.size(); ++i) same = lines_[h + 1 + i].raw == fresh[i].raw;
    if (same) return false;
  }
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(h + 1), lines_.begin() + static_cast<std::ptrdiff_t>(contentEnd));
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(h + 1), std::make_move_iterator(fresh.begin()),
                std::make_move_iterator(fresh.end()));
  Changed();
  return true;
}

}  // namespace plat

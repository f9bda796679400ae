#include "brimstead/ProbeSection.h"

#include "brimstead/SettingsIO.h"
#include "platform/base/SystemError.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

CString CProbeLine::Join(int first, int last) const {
  CString text;
  for (int i = first; i <= last && i < static_cast<int>(words.size()); ++i) {
    if (i < 0)
      continue;
    if (!text.IsEmpty())
      text += ' ';
    text += words[static_cast<size_t>(i)];
  }
  return text;
}

namespace {
bool EnclosedInQuotes(const CString& text) {
  return text.GetLength() >= 2 && text[0] == '"' && text[text.GetLength() - 1] == '"';
}

// Whether a name written bare would read back as another: blanks at an end are trimmed, enclosing quotes taken off.
bool NeedsQuotes(const CString& name) {
  CString trimmed = name;
  trimmed.Trim();
  return trimmed != name || EnclosedInQuotes(name);
}
}  // namespace

CString CProbeLine::TextBefore(int index) const {
  if (index <= 0)
    return CString();
  CString text = index < static_cast<int>(starts.size()) ? value.Left(starts[static_cast<size_t>(index)]) : value;
  text.TrimRight();
  // Quotes are taken off only where the name needs them: a name in quotes of its own with nothing at its edges
  // (`"VB"`) is written bare, as files of earlier versions hold it.
  return EnclosedInQuotes(text) && NeedsQuotes(text.Mid(1, text.GetLength() - 2)) ? text.Mid(1, text.GetLength() - 2)
                                                                                   : text;
}

bool CProbeLine::HasStateAt(int index) const {
  if (index < 0 || index >= static_cast<int>(words.size()))
    return false;
  return index > 0 || words[0] == "Enabled" || words[0] == "Disabled";
}

namespace {
bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

// Splits from the end: a word ending in a double quote whose opening quote begins a word (after a blank or at the
// start) is that quoted text; any other word runs back to a blank. The fixed words at the line's end therefore come
// out the same whatever the name before them holds.
void SplitWords(CProbeLine& line) {
  const std::string value(line.value.GetString());
  std::vector<std::pair<int, CString>> found;
  size_t end = value.size();
  for (;;) {
    while (end > 0 && IsSeparator(value[end - 1]))
      --end;
    if (end == 0)
      break;
    size_t open = std::string::npos;
    if (end >= 2 && value[end - 1] == '"') {
      open = value.rfind('"', end - 2);
      if (open != std::string::npos && open > 0 && !IsSeparator(value[open - 1]))
        open = std::string::npos;
    }
    size_t begin = open;
    CString word;
    if (open != std::string::npos) {
      word = CString(value.substr(open + 1, end - open - 2));
    } else {
      for (begin = end; begin > 0 && !IsSeparator(value[begin - 1]);)
        --begin;
      word = CString(value.substr(begin, end - begin));
    }
    found.emplace_back(static_cast<int>(begin), word);
    end = begin;
  }
  for (auto it = found.rbegin(); it != found.rend(); ++it) {
    line.starts.push_back(it->first);
    line.words.push_back(it->second);
  }
}
}  // namespace

std::vector<CProbeLine> ReadProbeLines(const std::string& block) {
  std::vector<CProbeLine> lines;
  size_t start = 0;
  while (start < block.size()) {
    const size_t end = block.find('\0', start);
    const std::string entry = block.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (entry.empty())
      break;
    start = end == std::string::npos ? block.size() : end + 1;
    // The section's comment lines (an editor's ';') name no probe.
    const size_t first = entry.find_first_not_of(" \t");
    if (first != std::string::npos && entry[first] == ';')
      continue;
    const size_t equals = entry.find('=');
    if (equals == std::string::npos)
      continue;
    CProbeLine line;
    line.key = CString(entry.substr(0, equals));
    line.key.Trim();
    line.value = CString(entry.substr(equals + 1));
    line.value.Trim();
    SplitWords(line);
    lines.push_back(std::move(line));
  }
  return lines;
}

namespace {
std::string Bytes(const CString& text) { return std::string(text.GetString(), static_cast<size_t>(text.GetLength())); }
}  // namespace

void CProbeLineTargets::Add(const CString& text, int record, size_t rank) {
  m_ByText[Bytes(text)].ranked.emplace_back(rank, record);
}

int CProbeLineTargets::Take(const CString& text) {
  const auto found = m_ByText.find(Bytes(text));
  if (found == m_ByText.end())
    return -1;
  Bearers& bearers = found->second;
  if (!bearers.ordered) {
    // Stable: records of one rank stay in the order they were added.
    std::stable_sort(bearers.ranked.begin(), bearers.ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    bearers.ordered = true;
  }
  if (bearers.next == bearers.ranked.size())
    return -1;
  const int record = bearers.ranked[bearers.next++].second;
  m_Taken.push_back(record);
  return record;
}

CString ProbeLineStart(const char* key, int index) {
  CString start;
  start.Format("%s%02d = ", key, index);
  return start;
}

namespace {
// The line as a section read gives it back.
std::vector<CProbeLine> ReadBack(const CString& line) {
  return ReadProbeLines(std::string(line.GetString()) + std::string(2, '\0'));
}

// The line of a name written as `written` and its words, and whether a reader takes that name and those words from
// it.
bool ComposeLine(const CString& start, const CString& written, const CString& name, const std::vector<CString>& words,
                 CString& line) {
  line = start + written;
  for (const CString& word : words)
    line += " " + word;
  if (!words.empty())
    line += " ";
  if (settings_io::BreaksLine(line))
    return false;
  const std::vector<CProbeLine> read = ReadBack(line);
  if (read.size() != 1 || read[0].words.size() < words.size())
    return false;
  const CProbeLine& back = read[0];
  const size_t nameWords = back.words.size() - words.size();
  if (back.TextBefore(static_cast<int>(nameWords)) != name)
    return false;
  for (size_t i = 0; i < words.size(); ++i) {
    // A word written in double quotes reads back without them.
    const CString& word = words[i];
    const bool quoted = word.GetLength() >= 2 && word[0] == '"' && word[word.GetLength() - 1] == '"';
    if (back.words[nameWords + i] != (quoted ? word.Mid(1, word.GetLength() - 2) : word))
      return false;
  }
  return true;
}
}  // namespace

void CProbeSectionText::AddLine(const CString& start, const CString& name, const std::vector<CString>& words) {
  CString line;
  bool lineReadsBack = ComposeLine(start, name, name, words, line);
  if (!lineReadsBack && !settings_io::BreaksLine(name)) {
    // Edge blanks or enclosing quotes of its own: the name in quotes, which the reader takes off.
    CString quoted;
    if ((lineReadsBack = ComposeLine(start, "\"" + name + "\"", name, words, quoted)))
      line = quoted;
  }
  text += line;
  if (readsBack && !lineReadsBack) {
    readsBack = false;
    refusedKey = start;
    refusedKey.Replace("=", "");
    refusedKey.Trim();
    refusedName = name;
    // A layer name with a quote inside, which no quoted word can hold, or a line break: that word is the cause.
    for (const CString& word : words) {
      const CString inner = word.GetLength() >= 2 && word[0] == '"' ? word.Mid(1, word.GetLength() - 2) : CString();
      if (!settings_io::BreaksLine(name) && (inner.Find('"') >= 0 || settings_io::BreaksLine(inner))) {
        refusedLayer = inner;
        break;
      }
    }
  }
}

bool WriteProbeSection(const char* section, const CProbeSectionText& text, const char* file) {
  if (!text.readsBack) {
    settings_io::RefuseValue(section, text.refusedKey, text.refusedName, text.refusedLayer);
    return false;
  }
  return settings_io::WriteSection(section, text.text, file);
}

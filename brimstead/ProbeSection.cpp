#include "brimstead/ProbeSection.h"

#include "brimstead/SettingsIO.h"
#include "platform/base/SystemError.h"

#include <cstring>

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

CString CProbeLine::TextBefore(int index) const {
  if (index <= 0)
    return CString();
  CString text = index < static_cast<int>(starts.size()) ? value.Left(starts[static_cast<size_t>(index)]) : value;
  text.TrimRight();
  return text;
}

bool CProbeLine::HasStateAt(int index) const {
  if (index < 0 || index >= static_cast<int>(words.size()))
    return false;
  return index > 0 || words[0] == "Enabled" || words[0] == "Disabled";
}

namespace {
void SplitWords(CProbeLine& line) {
  const char* value = line.value;
  const char* p = value;
  while (*p) {
    while (*p == ' ' || *p == '\t')
      ++p;
    if (!*p)
      break;
    line.starts.push_back(static_cast<int>(p - value));
    CString word;
    if (*p == '"') {
      ++p;
      const char* close = std::strchr(p, '"');
      const size_t length = close ? static_cast<size_t>(close - p) : std::strlen(p);
      word = CString(std::string(p, length));
      p += length + (close ? 1 : 0);
    } else {
      const size_t length = std::strcspn(p, " \t");
      word = CString(std::string(p, length));
      p += length;
    }
    line.words.push_back(word);
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
}  // namespace

void CProbeSectionText::AddLine(const CString& start, const CString& name, const std::vector<CString>& words) {
  CString line = start + name;
  for (const CString& word : words)
    line += " " + word;
  if (!words.empty())
    line += " ";
  text += line;
  if (!readsBack)
    return;
  const std::vector<CProbeLine> read = ReadBack(line);
  readsBack = !settings_io::BreaksLine(line) && read.size() == 1 && read[0].words.size() >= words.size();
  if (!readsBack)
    return;
  const CProbeLine& back = read[0];
  const size_t nameWords = back.words.size() - words.size();
  readsBack = back.TextBefore(static_cast<int>(nameWords)) == name;
  for (size_t i = 0; readsBack && i < words.size(); ++i) {
    // A word written in double quotes reads back without them.
    const CString& word = words[i];
    const bool quoted = word.GetLength() >= 2 && word[0] == '"' && word[word.GetLength() - 1] == '"';
    readsBack = back.words[nameWords + i] == (quoted ? word.Mid(1, word.GetLength() - 2) : word);
  }
}

bool WriteProbeSection(const char* section, const CProbeSectionText& text, const char* file) {
  if (!text.readsBack) {
    ::SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  return settings_io::WriteSection(section, text.text, file);
}

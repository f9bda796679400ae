#include "brimstead/ProbeSection.h"

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

#include "grid/extras/CGXMaskData.h"

#include <algorithm>

#include "platform/base/StringApi.h"

IMPLEMENT_DYNCREATE(CGXMaskData, CObject)

namespace {

BOOL IsDigit(const CString& ch) { return ch.GetLength() == 1 && ch[0] >= '0' && ch[0] <= '9'; }
// A double-byte character counts as a letter (its class is not known on this code page).
BOOL IsLetter(const CString& ch) { return ch.GetLength() == 2 || (ch.GetLength() == 1 && IsCharAlpha(ch[0])); }

}  // namespace

std::vector<CString> CGXMaskData::SplitChars(const CString& text) {
  std::vector<CString> chars;
  const int length = text.GetLength();
  for (int i = 0; i < length; ++i) {
    const int n = IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < length ? 2 : 1;
    chars.push_back(text.Mid(i, n));
    i += n - 1;
  }
  return chars;
}

// ---- Mask

void CGXMaskData::ClearMask() {
  m_mask.clear();
  m_literal.clear();
}

BOOL CGXMaskData::IsMaskChar(char c) const {
  return c == '#' || c == '&' || c == '?' || c == 'A' || c == 'L' || c == 'U';
}

void CGXMaskData::SetMask(LPCTSTR mask) {
  ClearMask();
  if (!mask || !*mask) {
    m_nMaxLength = 0x7fffffff;
    return;
  }
  BOOL escape = FALSE;
  for (const CString& c : SplitChars(mask)) {
    if (c.GetLength() == 2 || escape) {
      m_mask.push_back(c);
      m_literal.push_back(1);
      escape = FALSE;
    } else if (c[0] == '\\') {
      escape = TRUE;  // a '\' at the end of the mask is dropped
    } else {
      m_mask.push_back(c);
      m_literal.push_back(IsMaskChar(c[0]) ? 0 : 1);
    }
  }
}

BOOL CGXMaskData::IsLiteral(int pos) const {
  if (IsFreeText() || pos < 0 || pos >= GetMaskLength()) return FALSE;
  return m_literal[static_cast<size_t>(pos)] != 0;
}

BOOL CGXMaskData::SetPromptChar(const CString& prompt, BOOL updateData) {
  if (prompt.GetLength() > 2) return FALSE;
  if (prompt.GetLength() == 2 && !IsDBCSLeadByte(static_cast<BYTE>(prompt[0]))) return FALSE;
  const CString next = prompt.IsEmpty() ? CString("_") : prompt;
  if (updateData)
    for (int i = 0; i < GetDataLength() && i < GetMaskLength(); ++i)
      if (!IsLiteral(i) && m_data[static_cast<size_t>(i)] == m_strPrompt) m_data[static_cast<size_t>(i)] = next;
  m_strPrompt = next;
  return TRUE;
}

void CGXMaskData::ClearData() {
  m_data.clear();
  if (IsFreeText()) return;
  for (int i = 0; i < GetMaskLength(); ++i) m_data.push_back(IsLiteral(i) ? m_mask[static_cast<size_t>(i)] : m_strPrompt);
}

// ---- Positions

BOOL CGXMaskData::Holds(int pos) const {
  return pos >= 0 && pos < GetDataLength() && !IsLiteral(pos) && m_data[static_cast<size_t>(pos)] != m_strPrompt;
}

int CGXMaskData::LastInputPos() const {
  for (int i = GetMaskLength() - 1; i >= 0; --i)
    if (!IsLiteral(i)) return i;
  return -1;
}

int CGXMaskData::LastFilledPos() const {
  for (int i = std::min(GetMaskLength(), GetDataLength()) - 1; i >= 0; --i)
    if (Holds(i)) return i;
  return -1;
}

int CGXMaskData::GetNextInputPos(int pos) const {
  const int bound = IsFreeText() ? m_nMaxLength : GetMaskLength();
  if (bound < 1 || pos >= bound) return pos;
  for (int i = std::max(pos + 1, 0); i < bound; ++i)
    if (!IsLiteral(i)) return i;
  return -1;
}

int CGXMaskData::GetPrevInputPos(int pos) const {
  const int bound = IsFreeText() ? GetDataLength() + 1 : GetMaskLength();
  if (bound < 1) return pos;
  for (int i = std::min(pos - 1, bound - 1); i >= 0; --i)
    if (!IsLiteral(i)) return i;
  return -1;
}

int CGXMaskData::GetValidCaretPos(int pos) const {
  if (IsFreeText()) return std::min(pos, GetDataLength());
  const int n = GetMaskLength();
  if (pos >= n) {
    if (n > 0 && Holds(n - 1)) return pos;
  } else if (pos >= 0 && (Holds(pos) || (IsLiteral(pos) && Holds(pos - 1)))) {
    return pos;
  }
  for (int i = std::min(pos, n) - 1; i >= 0; --i)
    if (Holds(i)) return i + 1;
  const int first = GetNextInputPos(-1);
  return first < 0 ? 0 : first;
}

int CGXMaskData::InputPositionsBetween(int from, int to) const {
  if (IsFreeText()) return std::max(to - from, 0);
  int count = 0;
  for (int i = std::max(from, 0); i < to; ++i)
    if (!IsLiteral(i)) ++count;
  return count;
}

int CGXMaskData::CharToBytePos(int pos) const {
  if (pos == -1) return -1;
  if (pos < 1) return 0;
  int bytes = 0;
  for (int i = 0; i < pos; ++i) bytes += i < GetDataLength() ? m_data[static_cast<size_t>(i)].GetLength() : 1;
  return bytes;
}

int CGXMaskData::ByteToCharPos(int pos) const {
  if (pos == -1) return -1;
  if (pos < 1) return 0;
  int bytes = 0, chars = 0;
  while (bytes < pos) {
    bytes += chars < GetDataLength() ? m_data[static_cast<size_t>(chars)].GetLength() : 1;
    ++chars;
  }
  return chars;
}

// ---- Characters

BOOL CGXMaskData::IsValidInput(int pos, CString& ch) const {
  if (IsFreeText()) return TRUE;
  if (pos < 0 || pos >= GetMaskLength() || IsLiteral(pos) || ch.IsEmpty()) return FALSE;
  if (ch == " ") {
    ch = m_strPrompt;
    return TRUE;
  }
  if (ch == m_strPrompt) return TRUE;
  switch (m_mask[static_cast<size_t>(pos)][0]) {
    case '#': return IsDigit(ch);
    case '&': return TRUE;
    case '?': return IsLetter(ch);
    case 'A': return IsLetter(ch) || IsDigit(ch);
    case 'L':
    case 'U':
      if (!IsLetter(ch)) return FALSE;
      if (ch.GetLength() == 1) m_mask[static_cast<size_t>(pos)][0] == 'L' ? ch.MakeLower() : ch.MakeUpper();
      return TRUE;
    default: return FALSE;
  }
}

BOOL CGXMaskData::InsertAt(int pos, const CString& ch, int& newPos) {
  if (IsFreeText()) {
    if (GetDataLength() >= m_nMaxLength) return FALSE;
    pos = std::clamp(pos, 0, GetDataLength());
    m_data.insert(m_data.begin() + pos, ch);
    newPos = pos + 1;
    return TRUE;
  }
  const int n = GetMaskLength();
  if (pos < 0 || pos > n) return FALSE;
  if (GetDataLength() != n) ClearData();
  if (IsLiteral(pos)) pos = GetNextInputPos(pos);
  const int last = LastInputPos();
  if (pos < 0 || pos >= n || last < 0 || Holds(last)) return FALSE;
  // From the end: each character up to the last filled position moves to the next input position.
  // Decision: a character that its new position would not take (a letter moving onto a digit position)
  // refuses the insertion, so that the data never holds a character against its mask.
  std::vector<std::pair<int, CString>> moves;
  for (int i = LastFilledPos(); i >= pos; --i) {
    if (IsLiteral(i)) continue;
    const int to = GetNextInputPos(i);
    CString moved = m_data[static_cast<size_t>(i)];
    if (to < 0 || !IsValidInput(to, moved)) return FALSE;
    moves.emplace_back(to, moved);
  }
  for (const auto& [to, moved] : moves) m_data[static_cast<size_t>(to)] = moved;
  m_data[static_cast<size_t>(pos)] = ch;
  const int next = GetNextInputPos(pos);
  newPos = next < 0 ? pos + 1 : next;
  return TRUE;
}

void CGXMaskData::DeleteRange(int end, int start) {
  if (IsFreeText()) {
    start = std::clamp(start, 0, GetDataLength());
    end = std::clamp(end, start, GetDataLength());
    m_data.erase(m_data.begin() + start, m_data.begin() + end);
    return;
  }
  const int n = GetMaskLength();
  if (end < 0 || end > n) return;
  if (GetDataLength() != n) ClearData();
  if (start < 0) start = 0;
  if (IsLiteral(start)) start = GetNextInputPos(start);
  if (start < 0 || start > end) return;
  std::vector<CString> moved;
  for (int i = end; i < n; ++i)
    if (!IsLiteral(i)) moved.push_back(m_data[static_cast<size_t>(i)]);
  std::vector<CString> result;
  size_t next = 0;
  for (int i = start; i < n; ++i) {
    if (IsLiteral(i)) continue;
    CString ch = next < moved.size() ? moved[next++] : m_strPrompt;
    // Decision: when a character would move onto a position that does not take it, nothing moves and only
    // the deleted positions are emptied; the data never holds a character against its mask.
    if (!IsValidInput(i, ch)) {
      for (int k = start; k < std::min(end, n); ++k)
        if (!IsLiteral(k)) m_data[static_cast<size_t>(k)] = m_strPrompt;
      return;
    }
    result.push_back(ch);
  }
  next = 0;
  for (int i = start; i < n; ++i)
    if (!IsLiteral(i)) m_data[static_cast<size_t>(i)] = result[next++];
}

int CGXMaskData::PushData(const CString& text, int start, BOOL insert) {
  if (IsFreeText()) return SetDisplayText(text, start, insert);
  if (start == -1) {
    ClearData();
    start = 0;
  }
  const int n = GetMaskLength();
  if (n == 0 || start < 0 || start > n) return -1;
  if (GetDataLength() != n) ClearData();
  int pos = start;
  for (const CString& c : SplitChars(text)) {
    while (pos < n && IsLiteral(pos)) ++pos;
    if (pos >= n) break;
    CString ch = c;
    if (!IsValidInput(pos, ch)) break;
    if (insert) {
      int next = pos;
      if (!InsertAt(pos, ch, next)) break;
      pos = next;
    } else {
      m_data[static_cast<size_t>(pos++)] = ch;
    }
  }
  return pos;
}

int CGXMaskData::SetDisplayText(const CString& text, int start, BOOL insert) {
  if (start == -1) {
    ClearData();
    start = 0;
  }
  if (start < 0) return -1;
  const std::vector<CString> chars = SplitChars(text);
  const BOOL free = IsFreeText();
  const int n = GetMaskLength();
  if (free) {
    // Decision: the free text grows to hold the text but keeps what follows it; sizing it to exactly the
    // text's end would drop the rest of the text when one character is typed over in the middle.
    if (!insert) m_data.resize(std::max(m_data.size(), chars.size() + static_cast<size_t>(start)));
    start = std::min(start, GetDataLength());
  } else if (GetDataLength() != n) {
    ClearData();
  }
  int pos = start;
  for (const CString& c : chars) {
    if (free) {
      if (insert) {
        int next = pos;
        if (!InsertAt(pos, c, next)) return -1;
      } else {
        m_data[static_cast<size_t>(pos)] = c;
      }
      ++pos;
      continue;
    }
    if (pos >= n) break;
    if (IsLiteral(pos)) {
      if (c != m_mask[static_cast<size_t>(pos)]) return -1;
      ++pos;
      continue;
    }
    CString ch = c;
    if (!IsValidInput(pos, ch)) return -1;
    if (insert) {
      int next = pos;
      if (!InsertAt(pos, ch, next)) return -1;
    } else {
      m_data[static_cast<size_t>(pos)] = ch;
    }
    ++pos;
  }
  if (free) {
    if (GetDataLength() > m_nMaxLength) m_data.resize(static_cast<size_t>(m_nMaxLength));
  } else if (GetDataLength() > n) {
    m_data.resize(static_cast<size_t>(n));
  }
  return pos;
}

int CGXMaskData::ReplaceRange(const CString& text, int start, int end, BOOL rawOnly) {
  const BOOL selection = start != end;
  const int pos = GetNextInputPos(start - 1);
  if (pos < 0 || (selection && pos >= end)) return -1;
  const std::vector<CString> before = m_data;
  const int shownAt = IsLiteral(start) ? start : pos;
  const int characters = static_cast<int>(SplitChars(text).size());
  auto attempt = [&](BOOL raw) {
    if (selection) DeleteRange(end, pos);
    const int at = raw ? PushData(text, pos, TRUE) : SetDisplayText(text, shownAt, TRUE);
    const int from = raw ? pos : shownAt;
    const int taken = at < 0 ? -1 : raw ? InputPositionsBetween(pos, at) : at - shownAt;
    // A mask's text of blanks, prompts or literals alone puts no character in: no value, refused as one
    // against the mask ("   " would empty the whole text).
    BOOL holds = characters == 0 || IsFreeText();
    for (int i = from; !holds && i < at; ++i) holds = Holds(i);
    if (taken == characters && holds && IsValid()) return at;
    m_data = before;
    return -1;
  };
  const int at = rawOnly ? -1 : attempt(FALSE);
  return at < 0 ? attempt(TRUE) : at;
}

// ---- Reading back

void CGXMaskData::GetDisplayText(CString& out, int from, int to) const {
  out.Empty();
  const int last = to < 0 ? GetDataLength() - 1 : std::min(to, GetDataLength() - 1);
  for (int i = std::max(from, 0); i <= last; ++i) out += m_data[static_cast<size_t>(i)];
}

void CGXMaskData::GetData(CString& out, int from, int to, BOOL trimRight) const {
  if (IsFreeText()) {
    GetDisplayText(out, from, to);
  } else {
    out.Empty();
    const int last = to < 0 ? GetDataLength() - 1 : std::min(to, GetDataLength() - 1);
    for (int i = std::max(from, 0); i <= last; ++i) {
      if (IsLiteral(i)) continue;
      const CString& d = m_data[static_cast<size_t>(i)];
      out += d == m_strPrompt ? CString(" ") : d;
    }
  }
  if (trimRight) out.TrimRight();
}

BOOL CGXMaskData::IsValid() const {
  if (IsFreeText()) return GetDataLength() <= m_nMaxLength;
  for (int i = 0; i < GetDataLength(); ++i) {
    if (IsLiteral(i)) {
      if (m_data[static_cast<size_t>(i)] != m_mask[static_cast<size_t>(i)]) return FALSE;
      continue;
    }
    CString ch = m_data[static_cast<size_t>(i)];
    if (!IsValidInput(i, ch)) return FALSE;
  }
  return TRUE;
}

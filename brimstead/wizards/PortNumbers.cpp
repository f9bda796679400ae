#include "brimstead/wizards/PortNumbers.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <string>

namespace brimwiz {

namespace {
// "first-last", or "last" alone without `first`: a row header's text, read for every cell drawn or measured (so
// formatted without a format string).
CString NumbersText(std::optional<std::int64_t> first, std::int64_t last) {
  std::string text = first ? std::to_string(*first) + '-' : std::string();
  text += std::to_string(last);
  return CString(std::move(text));
}
}  // namespace

// ---- Row sums ------------------------------------------------------------------------------------------------

void CPortNumbers::CRowSums::Reset(const std::vector<std::int64_t>& values) {
  // Built in one pass: each node hands its sum on to its parent.
  m_Tree.assign(values.size() + 1, 0);
  for (size_t i = 1; i < m_Tree.size(); ++i) {
    m_Tree[i] += values[i - 1];
    const size_t parent = i + (i & (~i + 1));
    if (parent < m_Tree.size())
      m_Tree[parent] += m_Tree[i];
  }
}

void CPortNumbers::CRowSums::Add(ROWCOL row, std::int64_t delta) {
  for (size_t i = row; i > 0 && i < m_Tree.size(); i += i & (~i + 1))
    m_Tree[i] += delta;
}

std::int64_t CPortNumbers::CRowSums::SumTo(ROWCOL row) const {
  std::int64_t sum = 0;
  for (size_t i = std::min<size_t>(row, m_Tree.size() - 1); i > 0; i &= i - 1)
    sum += m_Tree[i];
  return sum;
}

ROWCOL CPortNumbers::CRowSums::FirstReaching(std::int64_t total) const {
  const size_t count = m_Tree.size() - 1;
  if (total < 1 || count == 0)
    return 0;
  // Down the tree: the longest prefix whose sum stays below the total (the values are never negative).
  size_t position = 0;
  for (size_t step = std::bit_floor(count); step > 0; step >>= 1) {
    if (position + step <= count && m_Tree[position + step] < total) {
      position += step;
      total -= m_Tree[position];
    }
  }
  return position < count ? static_cast<ROWCOL>(position + 1) : 0;
}

// ---- Table ---------------------------------------------------------------------------------------------------

void CPortNumbers::Reset(const std::vector<Row>& rows, unsigned base, Format format) {
  m_Rows = rows;
  m_Base = base;
  m_Format = format;
  m_Groups.clear();
  std::vector<std::int64_t> checked(rows.size()), ports(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].group) {
      m_Groups.push_back(static_cast<ROWCOL>(i + 1));
    } else if (rows[i].checked) {
      checked[i] = 1;
      ports[i] = rows[i].ports;
    }
  }
  m_Checked.Reset(checked);
  m_Ports.Reset(ports);
}

void CPortNumbers::SetChecked(ROWCOL row, bool checked) {
  if (!Covers(row))
    return;
  Row& entry = m_Rows[row - 1];
  if (entry.group || entry.checked == checked)
    return;
  entry.checked = checked;
  const std::int64_t sign = checked ? 1 : -1;
  m_Checked.Add(row, sign);
  m_Ports.Add(row, sign * entry.ports);
}

void CPortNumbers::SetCollapsed(ROWCOL groupRow, bool collapsed) {
  if (Covers(groupRow) && m_Rows[groupRow - 1].group)
    m_Rows[groupRow - 1].collapsed = collapsed;
}

ROWCOL CPortNumbers::GroupOf(ROWCOL row) const {
  const auto after = std::upper_bound(m_Groups.begin(), m_Groups.end(), row);
  return after == m_Groups.begin() ? 0 : *(after - 1);
}

ROWCOL CPortNumbers::GroupEnd(ROWCOL groupRow) const {
  const auto next = std::upper_bound(m_Groups.begin(), m_Groups.end(), groupRow);
  return next == m_Groups.end() ? GetRowCount() : *next - 1;
}

std::pair<ROWCOL, ROWCOL> CPortNumbers::MembersAndChecked(ROWCOL groupRow) const {
  if (!Covers(groupRow))
    return {0, 0};
  const ROWCOL end = GroupEnd(groupRow);
  return {end - groupRow, static_cast<ROWCOL>(m_Checked.SumTo(end) - m_Checked.SumTo(groupRow))};
}

CString CPortNumbers::GroupText(ROWCOL groupRow) const {
  if (!m_Rows[groupRow - 1].collapsed)
    return CString();
  const std::int64_t before = m_Checked.SumTo(groupRow);
  const ROWCOL end = GroupEnd(groupRow);
  if (m_Checked.SumTo(end) == before)
    return CString();
  // The numbers of the group's first and last checked members.
  const std::int64_t first = m_Base + m_Ports.SumTo(m_Checked.FirstReaching(before + 1));
  const std::int64_t last = m_Base + m_Ports.SumTo(end);
  return first == last ? NumbersText(std::nullopt, last) : NumbersText(first, last);
}

CString CPortNumbers::TextOf(ROWCOL row) const {
  if (!Covers(row))
    return CString();
  const Row& entry = m_Rows[row - 1];
  if (entry.group)
    return GroupText(row);
  if (!entry.checked)
    return CString();
  const std::int64_t last = m_Base + m_Ports.SumTo(row);
  return m_Format == Format::Last ? NumbersText(std::nullopt, last) : NumbersText(last - entry.ports + 1, last);
}

ROWCOL CPortNumbers::FirstLongestRow() const {
  ROWCOL widest = 0;
  int length = 0;
  // 1. Checked rows: their numbers grow down the rows and so do their texts' lengths; the first checked row whose
  //    text is as long as the last one's is found by halving.
  if (const std::int64_t checked = m_Checked.SumTo(GetRowCount()); checked > 0) {
    const auto lengthOf = [this](std::int64_t k) { return TextOf(m_Checked.FirstReaching(k)).GetLength(); };
    length = lengthOf(checked);
    std::int64_t low = 1, high = checked;
    while (low < high) {
      const std::int64_t middle = low + (high - low) / 2;
      if (lengthOf(middle) < length)
        low = middle + 1;
      else
        high = middle;
    }
    widest = m_Checked.FirstReaching(low);
  }
  // 2. Collapsed groups' ranges.
  for (ROWCOL group : m_Groups) {
    if (!m_Rows[group - 1].collapsed)
      continue;
    const int chars = GroupText(group).GetLength();
    if (chars > length || (chars == length && chars > 0 && group < widest)) {
      length = chars;
      widest = group;
    }
  }
  return widest;
}

}  // namespace brimwiz

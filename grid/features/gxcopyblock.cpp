#include "grid/features/gxcopyblock.h"

#include <cstring>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRangeList.h"
#include "platform/base/CDWordArray.h"
#include "platform/base/StringApi.h"

GXCopyBlock GXCopyBlock::FromRanges(CGXGridCore* grid, const CGXRangeList& ranges) {
  GXCopyBlock b;
  CDWordArray rs, re, cs, ce;
  ranges.GetRowIntervals(grid->GetRowCount(), rs, re);
  ranges.GetColIntervals(grid->GetColCount(), cs, ce);
  for (INT_PTR i = 0; i < rs.GetSize(); ++i)
    if (re[i] >= rs[i]) b.rowBands.push_back({rs[i], re[i]});
  for (INT_PTR i = 0; i < cs.GetSize(); ++i)
    if (ce[i] >= cs[i]) b.colBands.push_back({cs[i], ce[i]});
  for (const Band& band : b.rowBands) b.rows += band.Size();
  for (const Band& band : b.colBands) b.cols += band.Size();
  return b;
}

GXSizeBeforePaste::GXSizeBeforePaste(CGXGridCore* grid)
    : m_pGrid(grid),
      m_bKeeping(!grid->GetCommandFactory() || !grid->GetParam() || !grid->GetParam()->m_bUndoEnabled),
      m_nRows(grid->GetRowCount()),
      m_nCols(grid->GetColCount()) {}

void GXSizeBeforePaste::GiveBack() const {
  if (!m_bKeeping) return;
  if (m_pGrid->GetRowCount() > m_nRows) m_pGrid->SetRowCount(m_nRows, GX_UPDATENOW);
  if (m_pGrid->GetColCount() > m_nCols) m_pGrid->SetColCount(m_nCols, GX_UPDATENOW);
}

namespace gx {

CString EncodeCopyText(const CString& text, BOOL escapes) {
  CString out;
  const int n = text.GetLength();
  for (int i = 0; i < n; ++i) {
    const char c = text[i];
    if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < n) {
      out += c;
      out += text[++i];
    } else if (c == '\r') {
      if (escapes) {
        out += "\\r";
      } else {
        if (i + 1 < n && text[i + 1] == '\n') ++i;
        out += ' ';
      }
    } else if (c == '\n') {
      out += escapes ? "\\n" : " ";
    } else if (c == '\t') {
      // Both forms write a tab as backslash + "t": a raw tab would split the cell in two.
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

CString DecodePastedField(const char* data, size_t size, BOOL escapes) {
  CString out;
  if (!escapes) return CString(data, static_cast<int>(size));
  for (size_t i = 0; i < size; ++i) {
    const char c = data[i];
    if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < size) {
      out += c;
      out += data[++i];
      continue;
    }
    if (c == '\\' && i + 1 < size) {
      const char e = data[i + 1];
      if (e == 'r' || e == 'n' || e == 't') {
        out += e == 'r' ? '\r' : e == 'n' ? '\n' : '\t';
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

void MeasurePasteText(const char* data, size_t size, const CString& separators, DWORD* rows, DWORD* cols) {
  const CString seps = separators.IsEmpty() ? CString("\t") : separators;
  auto isSep = [&](char c) { return c != '\0' && std::strchr(static_cast<LPCSTR>(seps), c) != nullptr; };
  DWORD lines = 0, most = 1, fields = 1;
  bool lineHasByte = false;
  size_t i = 0;
  for (; i < size && data[i] != '\0'; ++i) {
    const char c = data[i];
    if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < size && data[i + 1] != '\0') {
      ++i;
      lineHasByte = true;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
      ++lines;
      if (fields > most) most = fields;
      fields = 1;
      lineHasByte = false;
    } else {
      if (isSep(c)) ++fields;
      lineHasByte = true;
    }
  }
  if (lineHasByte) {
    ++lines;
    if (fields > most) most = fields;
  }
  if (rows) *rows = lines;
  if (cols) *cols = most;
}

}  // namespace gx

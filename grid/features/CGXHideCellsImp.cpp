#include "grid/features/CGXHideCellsImp.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXLongOperation.h"

// ---- The bit sets --------------------------------------------------------------------------------------

namespace {

std::vector<bool> Unpack(const std::vector<BYTE>& bytes) {
  std::vector<bool> bits(bytes.size() * 8);
  for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = (bytes[i / 8] >> (i % 8)) & 1;
  return bits;
}

void Pack(const std::vector<bool>& bits, std::vector<BYTE>& bytes) {
  bytes.assign((bits.size() + 7) / 8, 0);
  for (std::size_t i = 0; i < bits.size(); ++i)
    if (bits[i]) bytes[i / 8] = static_cast<BYTE>(bytes[i / 8] | (1u << (i % 8)));
}

}  // namespace

BOOL CGXHideCellsImp::TestBit(const std::vector<BYTE>& bits, ROWCOL n) {
  const std::size_t byte = n / 8;
  return byte < bits.size() && ((bits[byte] >> (n % 8)) & 1);
}

void CGXHideCellsImp::SetBit(std::vector<BYTE>& bits, ROWCOL n, BOOL on) {
  const std::size_t byte = n / 8;
  if (byte >= bits.size()) {
    if (!on) return;
    bits.resize(byte + 1, 0);
  }
  const BYTE mask = static_cast<BYTE>(1u << (n % 8));
  bits[byte] = static_cast<BYTE>(on ? bits[byte] | mask : bits[byte] & ~mask);
}

ROWCOL CGXHideCellsImp::NextClearBit(const std::vector<BYTE>& bits, ROWCOL n) {
  constexpr std::size_t kWord = sizeof(std::uint64_t);
  std::size_t byte = n / 8;
  if (byte >= bits.size()) return n;  // past the stored marks nothing is hidden
  // 1. The rest of n's own byte.
  const unsigned rest = static_cast<BYTE>(~bits[byte]) >> (n % 8);
  if (rest) return n + static_cast<ROWCOL>(std::countr_zero(rest));
  ++byte;
  // 2. Whole words, then whole bytes, of set bits.
  for (std::uint64_t word; byte + kWord <= bits.size(); byte += kWord) {
    std::memcpy(&word, bits.data() + byte, kWord);
    if (word != ~std::uint64_t{0}) break;
  }
  while (byte < bits.size() && bits[byte] == 0xFF) ++byte;
  // 3. The first clear bit of the byte found (or the first bit past the marks).
  std::uint64_t found = std::uint64_t{byte} * 8;
  if (byte < bits.size()) found += static_cast<unsigned>(std::countr_zero(static_cast<unsigned>(~bits[byte] & 0xFF)));
  return found > GX_MAXROWCOL ? GX_INVALID : static_cast<ROWCOL>(found);
}

ROWCOL CGXHideCellsImp::NextSetBit(const std::vector<BYTE>& bits, ROWCOL n) {
  constexpr std::size_t kWord = sizeof(std::uint64_t);
  std::size_t byte = n / 8;
  if (byte >= bits.size()) return GX_INVALID;
  const unsigned rest = static_cast<unsigned>(bits[byte]) >> (n % 8);
  if (rest) return n + static_cast<ROWCOL>(std::countr_zero(rest));
  ++byte;
  for (std::uint64_t word; byte + kWord <= bits.size(); byte += kWord) {
    std::memcpy(&word, bits.data() + byte, kWord);
    if (word != 0) break;
  }
  while (byte < bits.size() && bits[byte] == 0) ++byte;
  if (byte >= bits.size()) return GX_INVALID;
  const std::uint64_t found = std::uint64_t{byte} * 8 + static_cast<unsigned>(std::countr_zero(static_cast<unsigned>(bits[byte])));
  return found > GX_MAXROWCOL ? GX_INVALID : static_cast<ROWCOL>(found);
}

ROWCOL CGXHideCellsImp::PrevClearBit(const std::vector<BYTE>& bits, ROWCOL n) {
  constexpr std::size_t kWord = sizeof(std::uint64_t);
  std::size_t byte = n / 8;
  if (byte >= bits.size()) return n;
  // 1. n's own byte, from bit n down.
  const unsigned below = static_cast<BYTE>(~bits[byte]) & ((2u << (n % 8)) - 1);
  if (below) return static_cast<ROWCOL>(byte * 8 + std::bit_width(below) - 1);
  // 2. Whole words, then whole bytes, of set bits, going down.
  for (std::uint64_t word; byte >= kWord; byte -= kWord) {
    std::memcpy(&word, bits.data() + byte - kWord, kWord);
    if (word != ~std::uint64_t{0}) break;
  }
  while (byte > 0 && bits[byte - 1] == 0xFF) --byte;
  if (byte == 0) return GX_INVALID;
  // 3. The last clear bit of the byte below.
  const unsigned clear = static_cast<BYTE>(~bits[byte - 1]);
  return static_cast<ROWCOL>((byte - 1) * 8 + std::bit_width(clear) - 1);
}

void CGXHideCellsImp::InsertBits(std::vector<BYTE>& bytes, ROWCOL at, ROWCOL count) {
  if (count == 0 || at >= bytes.size() * 8) return;
  std::vector<bool> bits = Unpack(bytes);
  bits.insert(bits.begin() + at, count, false);
  Pack(bits, bytes);
}

void CGXHideCellsImp::RemoveBits(std::vector<BYTE>& bytes, ROWCOL first, ROWCOL last) {
  if (last < first || first >= bytes.size() * 8) return;
  std::vector<bool> bits = Unpack(bytes);
  const std::size_t end = std::min<std::size_t>(std::size_t{last} + 1, bits.size());
  bits.erase(bits.begin() + first, bits.begin() + static_cast<std::ptrdiff_t>(end));
  Pack(bits, bytes);
}

void CGXHideCellsImp::MoveBits(std::vector<BYTE>& bytes, ROWCOL first, ROWCOL last, ROWCOL dest) {
  if (last < first || dest == first) return;
  const ROWCOL count = last - first + 1;
  // 1. Where the block goes in, and where it sits once the insertion moved it.
  const ROWCOL insertAt = first > dest ? dest : dest + count;
  const ROWCOL source = first > dest ? first + count : first;
  // 2-4. Make room, copy the marks over, take the source out.
  InsertBits(bytes, insertAt, count);
  for (ROWCOL i = 0; i < count; ++i)
    if (TestBit(bytes, source + i)) SetBit(bytes, insertAt + i, TRUE);
  RemoveBits(bytes, source, source + count - 1);
}

// ---- The grid's operations -------------------------------------------------------------------------

BOOL CGXHideCellsImp::IsRowHidden(CGXGridCore* g, ROWCOL row) {
  CGXGridParam* p = g->GetParam();
  if (!p) return FALSE;
  // While printing without column headers row 0 is left out.
  if (row == 0 && g->IsPrinting())
    if (const CGXProperties* props = g->GetProperties(); props && props->m_bPrinting && !props->m_bPrintColHeaders)
      return TRUE;
  return TestBit(p->m_rowFlags, row);
}

BOOL CGXHideCellsImp::IsColHidden(CGXGridCore* g, ROWCOL col) {
  CGXGridParam* p = g->GetParam();
  if (!p) return FALSE;
  if (col == 0 && g->IsPrinting())
    if (const CGXProperties* props = g->GetProperties(); props && props->m_bPrinting && !props->m_bPrintRowHeaders)
      return TRUE;
  return TestBit(p->m_colFlags, col);
}

namespace {
// Row (column) 0 is never jumped: printing may leave it out without a mark.
ROWCOL NextShown(const CGXGridParam* p, const std::vector<BYTE> CGXGridParam::*marks, ROWCOL line) {
  return p && line ? CGXHideCellsImp::NextClearBit(p->*marks, line) : line;
}
ROWCOL PrevShown(const CGXGridParam* p, const std::vector<BYTE> CGXGridParam::*marks, ROWCOL line) {
  if (!p || !line) return line;
  const ROWCOL found = CGXHideCellsImp::PrevClearBit(p->*marks, line);
  return found == GX_INVALID ? 0 : found;
}
}  // namespace

// Line 0 may be left out while printing without a mark: it is answered as itself.
ROWCOL CGXHideCellsImp::NextHiddenRow(CGXGridCore* g, ROWCOL row) {
  const CGXGridParam* p = g->GetParam();
  return p && row ? NextSetBit(p->m_rowFlags, row) : row;
}

ROWCOL CGXHideCellsImp::NextHiddenCol(CGXGridCore* g, ROWCOL col) {
  const CGXGridParam* p = g->GetParam();
  return p && col ? NextSetBit(p->m_colFlags, col) : col;
}

ROWCOL CGXHideCellsImp::NextShownRow(CGXGridCore* g, ROWCOL row) {
  return NextShown(g->GetParam(), &CGXGridParam::m_rowFlags, row);
}

ROWCOL CGXHideCellsImp::PrevShownRow(CGXGridCore* g, ROWCOL row) {
  return PrevShown(g->GetParam(), &CGXGridParam::m_rowFlags, row);
}

ROWCOL CGXHideCellsImp::NextShownCol(CGXGridCore* g, ROWCOL col) {
  return NextShown(g->GetParam(), &CGXGridParam::m_colFlags, col);
}

ROWCOL CGXHideCellsImp::PrevShownCol(CGXGridCore* g, ROWCOL col) {
  return PrevShown(g->GetParam(), &CGXGridParam::m_colFlags, col);
}

BOOL CGXHideCellsImp::StoreHideRow(CGXGridCore* g, ROWCOL row, BOOL hide) {
  if (CGXGridParam* p = g->GetParam()) SetBit(p->m_rowFlags, row, hide);
  return TRUE;
}

BOOL CGXHideCellsImp::StoreHideCol(CGXGridCore* g, ROWCOL col, BOOL hide) {
  if (CGXGridParam* p = g->GetParam()) SetBit(p->m_colFlags, col, hide);
  return TRUE;
}

void CGXHideCellsImp::OnInsertRows(CGXGridCore* g, ROWCOL row, ROWCOL count) {
  if (CGXGridParam* p = g->GetParam()) InsertBits(p->m_rowFlags, row, count);
}

void CGXHideCellsImp::OnRemoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to) {
  if (CGXGridParam* p = g->GetParam()) RemoveBits(p->m_rowFlags, from, to);
}

void CGXHideCellsImp::OnInsertCols(CGXGridCore* g, ROWCOL col, ROWCOL count) {
  if (CGXGridParam* p = g->GetParam()) InsertBits(p->m_colFlags, col, count);
}

void CGXHideCellsImp::OnRemoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to) {
  if (CGXGridParam* p = g->GetParam()) RemoveBits(p->m_colFlags, from, to);
}

void CGXHideCellsImp::OnMoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest) {
  if (CGXGridParam* p = g->GetParam()) MoveBits(p->m_rowFlags, from, to, dest);
}

void CGXHideCellsImp::OnMoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest) {
  if (CGXGridParam* p = g->GetParam()) MoveBits(p->m_colFlags, from, to, dest);
}

BOOL CGXHideCellsImp::HideRows(CGXGridCore* g, ROWCOL from, ROWCOL to, BOOL hide, UINT flags, const BOOL* hidden,
                               int type) {
  return Hide(g, TRUE, from, to, hide, flags, hidden, type);
}

BOOL CGXHideCellsImp::HideCols(CGXGridCore* g, ROWCOL from, ROWCOL to, BOOL hide, UINT flags, const BOOL* hidden,
                               int type) {
  return Hide(g, FALSE, from, to, hide, flags, hidden, type);
}

BOOL CGXHideCellsImp::Hide(CGXGridCore* g, BOOL rows, ROWCOL from, ROWCOL to, BOOL hide, UINT flags,
                           const BOOL* hidden, int type) {
  if (to == 0) to = from;
  if (!g->GetParam() || from > to || to > (rows ? g->GetRowCount() : g->GetColCount())) return FALSE;
  CGXLongOperationScope scope;
  const ROWCOL n = to - from + 1;
  std::vector<int> sizes(n);
  rows ? g->GetRowHeights(from, to, sizes.data()) : g->GetColWidths(from, to, sizes.data());
  std::unique_ptr<BOOL[]> former(new BOOL[n]);
  BOOL stored = FALSE;
  for (ROWCOL i = 0; i < n; ++i) {
    const ROWCOL line = from + i;
    former[i] = rows ? g->IsRowHidden(line) : g->IsColHidden(line);
    const BOOL state = hidden ? hidden[i] : hide;
    stored |= rows ? g->StoreHideRow(line, state) : g->StoreHideCol(line, state);
    scope.PollMessages();
  }
  if (!stored) return FALSE;
  const CGXRange range = rows ? CGXRange(from, 0, to, g->GetColCount()) : CGXRange(0, from, g->GetRowCount(), to);
  g->RecalcMergedCells(range, -1);
  g->RecalcFloatCells(range, -1);
  rows ? g->UpdateChangedRowHeights(from, to, sizes.data(), flags, TRUE)
       : g->UpdateChangedColWidths(from, to, sizes.data(), flags, TRUE);
  if (g->UndoApplies(type)) {
    CGXCommandFactory* f = g->GetCommandFactory();
    if (CObject* cmd = rows ? f->CreateHideRowsCmd(from, to, former.get()) : f->CreateHideColsCmd(from, to, former.get())) {
      former.release();
      g->Record(cmd, type);
    }
    if (type == 2 || type == 3)
      rows ? g->RestoreCurrentCell(from, g->GetFirstScrolledCol(), FALSE)
           : g->RestoreCurrentCell(g->GetFirstScrolledRow(), from, FALSE);
  }
  return TRUE;
}

void CGXGridCore::InstallHideCellsImp() {
  if (!GetHideCellsImp()) SetFeature(new CGXHideCellsImp);
}

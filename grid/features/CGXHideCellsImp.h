// Hiding rows and columns: a hidden line keeps its size but is drawn with none. The hidden marks are bit
// sets in the parameter object (row n: bit n & 7 of byte n / 8; bytes beyond the end count as 0), kept in
// step when lines are inserted, removed or moved; hiding and showing are undoable.
#pragma once

#include <vector>

#include "grid/core/CGXGridFeatures.h"

class CGXHideCellsImp : public CGXGridHideCellsImp {
 public:
  BOOL HideRows(CGXGridCore* g, ROWCOL from, ROWCOL to, BOOL hide, UINT flags, const BOOL* hidden,
                int commandType) override;
  BOOL HideCols(CGXGridCore* g, ROWCOL from, ROWCOL to, BOOL hide, UINT flags, const BOOL* hidden,
                int commandType) override;
  BOOL IsRowHidden(CGXGridCore* g, ROWCOL row) override;
  BOOL IsColHidden(CGXGridCore* g, ROWCOL col) override;
  BOOL StoreHideRow(CGXGridCore* g, ROWCOL row, BOOL hide) override;
  BOOL StoreHideCol(CGXGridCore* g, ROWCOL col, BOOL hide) override;
  void OnInsertRows(CGXGridCore* g, ROWCOL row, ROWCOL count) override;
  void OnRemoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to) override;
  void OnInsertCols(CGXGridCore* g, ROWCOL col, ROWCOL count) override;
  void OnRemoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to) override;
  void OnMoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest) override;
  void OnMoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest) override;
  ROWCOL NextShownRow(CGXGridCore* g, ROWCOL row) override;
  ROWCOL PrevShownRow(CGXGridCore* g, ROWCOL row) override;
  ROWCOL NextShownCol(CGXGridCore* g, ROWCOL col) override;
  ROWCOL PrevShownCol(CGXGridCore* g, ROWCOL col) override;
  ROWCOL NextHiddenRow(CGXGridCore* g, ROWCOL row) override;
  ROWCOL NextHiddenCol(CGXGridCore* g, ROWCOL col) override;

  // The bit set operations on one byte array (pure; the tests use them directly).
  static BOOL TestBit(const std::vector<BYTE>& bits, ROWCOL n);
  static void SetBit(std::vector<BYTE>& bits, ROWCOL n, BOOL on);
  static void InsertBits(std::vector<BYTE>& bits, ROWCOL at, ROWCOL count);
  static void RemoveBits(std::vector<BYTE>& bits, ROWCOL first, ROWCOL last);
  static void MoveBits(std::vector<BYTE>& bits, ROWCOL first, ROWCOL last, ROWCOL dest);
  // The first clear bit at or after n (GX_INVALID past GX_MAXROWCOL), the last clear one at or before n
  // (GX_INVALID when bits 0..n are all set). Whole bytes and words of set bits are passed at once, so a run
  // of a million hidden lines costs some 16,000 word compares, not a million bit tests.
  static ROWCOL NextClearBit(const std::vector<BYTE>& bits, ROWCOL n);
  static ROWCOL PrevClearBit(const std::vector<BYTE>& bits, ROWCOL n);
  // The first set bit at or after n, GX_INVALID when there is none (up to GX_MAXROWCOL); words of clear bits
  // are passed at once.
  static ROWCOL NextSetBit(const std::vector<BYTE>& bits, ROWCOL n);

 private:
  BOOL Hide(CGXGridCore* g, BOOL rows, ROWCOL from, ROWCOL to, BOOL hide, UINT flags, const BOOL* hidden, int type);
};

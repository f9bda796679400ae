// An owning list of ranges: a grid's selection and its covered cells.
//
// Positions are stable node handles as in the class library's lists: adding or removing other entries
// leaves them valid. A null position is "none" (the end).
#pragma once

#include "grid/core/CGXHashMap.h"
#include "grid/core/CGXRange.h"
#include "platform/base/CObject.h"

class CDWordArray;

class CGXRangeList : public CObject {
  DECLARE_SERIAL(CGXRangeList)

 public:
  CGXRangeList() = default;
  CGXRangeList(const CGXRangeList& other) : CObject() { *this = other; }
  ~CGXRangeList() override { DeleteAll(); }

  // Deletes the own ranges and appends a copy of every valid range of the other list.
  virtual CGXRangeList& operator=(const CGXRangeList& other);
  // Storing drops the invalid ranges first; loading empties the list, then reads schema 1, the count and
  // the ranges.
  void Serialize(CArchive& ar) override;

  INT_PTR GetCount() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }
  POSITION GetHeadPosition() const { return Pos(m_head); }
  POSITION GetTailPosition() const { return Pos(m_tail); }
  CGXRange* GetNext(POSITION& pos) const;
  CGXRange* GetPrev(POSITION& pos) const;
  CGXRange* GetAt(POSITION pos) const;
  CGXRange* GetHead() const { return m_head ? m_head->range : nullptr; }
  CGXRange* GetTail() const { return m_tail ? m_tail->range : nullptr; }
  // Takes ownership.
  POSITION AddTail(CGXRange* range);
  POSITION AddHead(CGXRange* range);

  // TRUE when a range other than the one at `skip` (null: none skipped) holds the cell.
  BOOL ContainsCell(ROWCOL row, ROWCOL col, POSITION skip = nullptr) const;
  POSITION FindCell(ROWCOL row, ROWCOL col) const;
  void DeleteAll();
  // Deleting at a null position raises the invalid-argument exception.
  void DeleteAt(POSITION pos);
  void RemoveInvalidRanges();
  BOOL IntersectsRow(ROWCOL row) const;
  BOOL IntersectsCol(ROWCOL col) const;

  // The disjoint column (row) intervals that the list covers; TRUE when there is at least one.
  BOOL GetColIntervals(ROWCOL colCount, CDWordArray& starts, CDWordArray& ends, BOOL wholeColumnsOnly = FALSE) const;
  BOOL GetRowIntervals(ROWCOL rowCount, CDWordArray& starts, CDWordArray& ends, BOOL wholeRowsOnly = FALSE) const;

  void AdjustForInsertedRows(ROWCOL first, ROWCOL count);
  void AdjustForInsertedCols(ROWCOL first, ROWCOL count);
  void AdjustForRemovedRows(ROWCOL from, ROWCOL to, ROWCOL maxRow);
  void AdjustForRemovedCols(ROWCOL from, ROWCOL to, ROWCOL maxCol);
  void AdjustForMovedRows(ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL maxRow);
  void AdjustForMovedCols(ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL maxCol);

 private:
  struct Node {
    Node* prev = nullptr;
    Node* next = nullptr;
    CGXRange* range = nullptr;
  };
  static POSITION Pos(Node* n) { return reinterpret_cast<POSITION>(n); }
  static Node* NodeOf(POSITION p) { return reinterpret_cast<Node*>(p); }
  template <class Fn>
  void ForEach(Fn fn);

  Node* m_head = nullptr;
  Node* m_tail = nullptr;
  INT_PTR m_nCount = 0;
};

// The archive form of one range: top, left, bottom, right as DWORDs, kind and valid as BYTEs.
CArchive& operator<<(CArchive& ar, const CGXRange& range);
CArchive& operator>>(CArchive& ar, CGXRange& range);

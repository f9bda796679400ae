// CPortNumbers: the port numbers a multi-check list shows in its row headers (column 0), kept as a table of the
// rows instead of a text stored in every header cell. A check box clicked changes the number of every checked row
// below it; with the table the click changes one entry, and a header's text is worked out when the grid reads it
// (drawn, measured, asked for), in time growing with the logarithm of the row count. The grid asks through
// CWizardGridWnd::m_pPortNumbers.
//
// Rows are given in grid order as pin/port rows (checked or not, taking `ports` port numbers when checked) and
// group rows (a group's members are the rows after it up to the next group row). Port numbers run on from `base`:
//   Format::Last         a checked row shows its last number ("7"); a group row shows, while collapsed, the range
//                        of its checked members ("3", "3-9"), else nothing.
//   Format::FirstToLast  a checked row shows its first and last number ("8-10", also "8-8", and "8-7" for a row
//                        of no ports).
// Unchecked rows show an empty text.
#pragma once

#include "platform/base/CString.h"
#include "grid/core/gxtypes.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace brimwiz {

class CPortNumbers {
public:
  enum class Format { Last, FirstToLast };
  struct Row {
    bool group = false;
    bool checked = false;     // a pin/port row only
    unsigned ports = 1;       // port numbers a checked row takes
    bool collapsed = false;   // a group row only
  };

  // The table becomes `rows` (row 1 first); an empty table gives no texts.
  void Reset(const std::vector<Row>& rows, unsigned base, Format format);
  void Clear() { Reset({}, 0, m_Format); }
  ROWCOL GetRowCount() const { return static_cast<ROWCOL>(m_Rows.size()); }
  unsigned GetBase() const { return m_Base; }
  bool Covers(ROWCOL row) const { return row >= 1 && row <= GetRowCount(); }

  // A pin/port row checked or unchecked; a group row collapsed or expanded (other rows are left as they are).
  void SetChecked(ROWCOL row, bool checked);
  void SetCollapsed(ROWCOL groupRow, bool collapsed);

  // The header text of a row in the table.
  CString TextOf(ROWCOL row) const;
  // The group row a row belongs to (itself for a group row), 0 for none.
  ROWCOL GroupOf(ROWCOL row) const;
  // A group's members and how many of them are checked.
  std::pair<ROWCOL, ROWCOL> MembersAndChecked(ROWCOL groupRow) const;
  // The first row whose text has the most characters, 0 when every text is empty.
  ROWCOL FirstLongestRow() const;

private:
  // Sums over rows 1..row of a per-row quantity, changed row by row (a Fenwick tree).
  class CRowSums {
  public:
    void Reset(const std::vector<std::int64_t>& values);
    void Add(ROWCOL row, std::int64_t delta);
    std::int64_t SumTo(ROWCOL row) const;
    // The first row whose sum reaches `total` (at least 1); 0 when none does.
    ROWCOL FirstReaching(std::int64_t total) const;

  private:
    std::vector<std::int64_t> m_Tree{0};  // 1-based
  };

  // The last row of the group at `groupRow`.
  ROWCOL GroupEnd(ROWCOL groupRow) const;
  CString GroupText(ROWCOL groupRow) const;

  std::vector<Row> m_Rows;        // row 1 at index 0
  std::vector<ROWCOL> m_Groups;   // group rows, ascending
  CRowSums m_Checked;             // 1 per checked pin/port row
  CRowSums m_Ports;               // ports of checked rows
  unsigned m_Base = 0;
  Format m_Format = Format::Last;
};

}  // namespace brimwiz

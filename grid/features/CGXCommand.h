// Undo and redo commands: each holds the arguments of the grid operation that undoes (or redoes) a change
// and runs it in Execute with the command type it is given (0 do, 1 rollback, 2 undo, 3 redo); the grid
// operation records its own inverse again, so undo fills the redo list and redo the undo list.
//
// A command owns what it holds (arrays, styles, copies of the styles map, properties or a style, the cell
// store's undo record, a block's commands) and frees it with itself.
#pragma once

#include <memory>
#include <vector>

#include "grid/core/CGXProperties.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXStylesMap.h"
#include "platform/base/CDWordArray.h"
#include "platform/base/CObArray.h"
#include "platform/base/CObList.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"

class CGXGridCore;

class CGXCommand : public CObject {
  DECLARE_DYNAMIC(CGXCommand)

 public:
  CGXCommand() = default;
  ~CGXCommand() override { delete m_pUndoInfo; }
  CGXCommand(const CGXCommand&) = delete;
  CGXCommand& operator=(const CGXCommand&) = delete;

  // Commands are never stored.
  void Serialize(CArchive&) override {}
  virtual BOOL Execute(CGXGridCore* grid, int commandType) = 0;
  // The text of the Undo and Redo menu entries.
  virtual CString GetName() = 0;

  // The grid's current cell when the command was filed.
  ROWCOL m_nRow = 0, m_nCol = 0;
  BOOL m_bCellValid = FALSE;
  // The cell store's own undo record, applied before Execute (owned).
  CObject* m_pUndoInfo = nullptr;
};

// The name of a command class: its string, loaded once, or a single blank when the string is missing.
CString GXCommandName(UINT id);

// A transaction: commands executed as one, newest first.
class CGXBlockCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXBlockCmd)

 public:
  explicit CGXBlockCmd(LPCTSTR name = nullptr);
  ~CGXBlockCmd() override;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return m_sName; }

  CObList m_commands;
  CString m_sName;
};

class CGXSetRowHeightCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXSetRowHeightCmd)

 public:
  CGXSetRowHeightCmd(ROWCOL from, ROWCOL to, int* sizes) : m_nFrom(from), m_nTo(to), m_sizes(sizes) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20158); }
  ROWCOL m_nFrom, m_nTo;
  std::unique_ptr<int[]> m_sizes;
};

class CGXSetColWidthCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXSetColWidthCmd)

 public:
  CGXSetColWidthCmd(ROWCOL from, ROWCOL to, int* sizes) : m_nFrom(from), m_nTo(to), m_sizes(sizes) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20159); }
  ROWCOL m_nFrom, m_nTo;
  std::unique_ptr<int[]> m_sizes;
};

class CGXHideRowsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXHideRowsCmd)

 public:
  CGXHideRowsCmd(ROWCOL from, ROWCOL to, BOOL* hidden) : m_nFrom(from), m_nTo(to), m_hidden(hidden) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20170); }
  ROWCOL m_nFrom, m_nTo;
  std::unique_ptr<BOOL[]> m_hidden;
};

class CGXHideColsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXHideColsCmd)

 public:
  CGXHideColsCmd(ROWCOL from, ROWCOL to, BOOL* hidden) : m_nFrom(from), m_nTo(to), m_hidden(hidden) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20171); }
  ROWCOL m_nFrom, m_nTo;
  std::unique_ptr<BOOL[]> m_hidden;
};

class CGXSetDefaultRowHeightCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXSetDefaultRowHeightCmd)

 public:
  explicit CGXSetDefaultRowHeightCmd(int size) : m_nSize(size) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20160); }
  int m_nSize;
};

class CGXSetDefaultColWidthCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXSetDefaultColWidthCmd)

 public:
  explicit CGXSetDefaultColWidthCmd(int size) : m_nSize(size) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20161); }
  int m_nSize;
};

class CGXMoveRowsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXMoveRowsCmd)

 public:
  CGXMoveRowsCmd(ROWCOL from, ROWCOL to, ROWCOL dest) : m_nFrom(from), m_nTo(to), m_nDest(dest) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20162); }
  ROWCOL m_nFrom, m_nTo, m_nDest;
};

class CGXMoveColsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXMoveColsCmd)

 public:
  CGXMoveColsCmd(ROWCOL from, ROWCOL to, ROWCOL dest) : m_nFrom(from), m_nTo(to), m_nDest(dest) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20163); }
  ROWCOL m_nFrom, m_nTo, m_nDest;
};

// Undoes an insertion by removing the lines ("Insert Rows").
class CGXRemoveRowsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXRemoveRowsCmd)

 public:
  CGXRemoveRowsCmd(ROWCOL from, ROWCOL to) : m_nFrom(from), m_nTo(to) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20164); }
  ROWCOL m_nFrom, m_nTo;
};

class CGXRemoveColsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXRemoveColsCmd)

 public:
  CGXRemoveColsCmd(ROWCOL from, ROWCOL to) : m_nFrom(from), m_nTo(to) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20165); }
  ROWCOL m_nFrom, m_nTo;
};

// Frees an array of styles (and the list of objects an extra element may be) with the array.
struct GXStyleArrayDeleter {
  void operator()(CObArray* array) const;
};
using GXStyleArrayPtr = std::unique_ptr<CObArray, GXStyleArrayDeleter>;

// Undoes a removal by inserting the lines again with what they held ("Removing rows ...").
class CGXInsertRowsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXInsertRowsCmd)

 public:
  CGXInsertRowsCmd(ROWCOL row, ROWCOL count, int* sizes, CObArray* cellStyles, CObArray* lineStyles, ROWCOL otherCount)
      : m_nRow(row), m_nCount(count), m_sizes(sizes), m_cellStyles(cellStyles), m_lineStyles(lineStyles),
        m_nOtherCount(otherCount) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20145); }
  ROWCOL m_nRow, m_nCount;
  std::unique_ptr<int[]> m_sizes;
  GXStyleArrayPtr m_cellStyles, m_lineStyles;
  ROWCOL m_nOtherCount;
};

class CGXInsertColsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXInsertColsCmd)

 public:
  CGXInsertColsCmd(ROWCOL col, ROWCOL count, int* sizes, CObArray* cellStyles, CObArray* lineStyles, ROWCOL otherCount)
      : m_nCol(col), m_nCount(count), m_sizes(sizes), m_cellStyles(cellStyles), m_lineStyles(lineStyles),
        m_nOtherCount(otherCount) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20146); }
  ROWCOL m_nCol, m_nCount;
  std::unique_ptr<int[]> m_sizes;
  GXStyleArrayPtr m_cellStyles, m_lineStyles;
  ROWCOL m_nOtherCount;
};

class CGXSetCoveredCellsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXSetCoveredCellsCmd)

 public:
  CGXSetCoveredCellsCmd(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right)
      : m_nTop(top), m_nLeft(left), m_nBottom(bottom), m_nRight(right) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20166); }
  ROWCOL m_nTop, m_nLeft, m_nBottom, m_nRight;
};

class CGXSetStyleRangeCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXSetStyleRangeCmd)

 public:
  CGXSetStyleRangeCmd(const CGXRange& range, int type, CObArray* styles) : m_range(range), m_nType(type), m_styles(styles) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20167); }
  CGXRange m_range;
  int m_nType;
  GXStyleArrayPtr m_styles;
};

class CGXSetFrozenRowsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXSetFrozenRowsCmd)

 public:
  CGXSetFrozenRowsCmd(ROWCOL frozen, ROWCOL header) : m_nFrozen(frozen), m_nHeader(header) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20169); }
  ROWCOL m_nFrozen, m_nHeader;
};

class CGXSetFrozenColsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXSetFrozenColsCmd)

 public:
  CGXSetFrozenColsCmd(ROWCOL frozen, ROWCOL header) : m_nFrozen(frozen), m_nHeader(header) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20168); }
  ROWCOL m_nFrozen, m_nHeader;
};

class CGXChangeStylesMapCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXChangeStylesMapCmd)

 public:
  explicit CGXChangeStylesMapCmd(CGXStylesMap* map) : m_map(map) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20185); }
  std::unique_ptr<CGXStylesMap> m_map;
};

class CGXChangePropertiesCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXChangePropertiesCmd)

 public:
  explicit CGXChangePropertiesCmd(CGXProperties* properties) : m_properties(properties) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20186); }
  std::unique_ptr<CGXProperties> m_properties;
};

class CGXChangeBaseStyleCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXChangeBaseStyleCmd)

 public:
  CGXChangeBaseStyleCmd(WORD id, CGXStyle* style, const CString& name) : m_style(style), m_sName(name), m_wId(id) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return m_sName; }
  std::unique_ptr<CGXStyle> m_style;
  CString m_sName;
  WORD m_wId;
};

class CGXSetRangeNameCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXSetRangeNameCmd)

 public:
  CGXSetRangeNameCmd(LPCTSTR name, BOOL hasRange, const CGXRange& range)
      : m_sName(name ? name : ""), m_bHasRange(hasRange), m_range(range) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20188); }
  CString m_sName;
  BOOL m_bHasRange;
  CGXRange m_range;
};

class CGXDeleteRangeNameCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXDeleteRangeNameCmd)

 public:
  CGXDeleteRangeNameCmd(LPCTSTR name, const CGXRange& range, CObject* object)
      : m_sName(name ? name : ""), m_range(range), m_object(object) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20189); }
  CString m_sName;
  CGXRange m_range;
  std::unique_ptr<CObject> m_object;
};

// Undoes a sort: puts the rows (columns) of the range back in the order it holds (through the sorting
// feature's move of sorted data, which records the inverse order again).
class CGXMoveDataRowsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXMoveDataRowsCmd)

 public:
  CGXMoveDataRowsCmd(const CGXRange& range, CDWordArray* order) : m_range(range), m_order(order) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20181); }
  CGXRange m_range;
  std::unique_ptr<CDWordArray> m_order;
};

class CGXMoveDataColsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXMoveDataColsCmd)

 public:
  CGXMoveDataColsCmd(const CGXRange& range, CDWordArray* order) : m_range(range), m_order(order) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20182); }
  CGXRange m_range;
  std::unique_ptr<CDWordArray> m_order;
};

// Undoes a move of cells: moves the block from where it went back to where it came from, and puts back what
// the move overwrote (the cell store's record, handed to that move).
class CGXMoveCellsCmd : public CGXCommand {
  DECLARE_DYNAMIC(CGXMoveCellsCmd)

 public:
  CGXMoveCellsCmd(const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject* moveInfo)
      : m_range(range), m_nDestRow(destRow), m_nDestCol(destCol), m_moveInfo(moveInfo) {}
  BOOL Execute(CGXGridCore* grid, int commandType) override;
  CString GetName() override { return GXCommandName(20179); }
  CGXRange m_range;
  ROWCOL m_nDestRow, m_nDestCol;
  std::unique_ptr<CObject> m_moveInfo;
};

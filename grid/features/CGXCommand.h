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

// The shapes the line commands share: lines from..to with one value per line (sizes or hidden flags), one
// size, or lines from..to with a destination; each named by its string id.
template <class Value, UINT NameId>
class CGXLineValuesCmd : public CGXCommand {
 public:
  CGXLineValuesCmd(ROWCOL from, ROWCOL to, Value* values) : m_nFrom(from), m_nTo(to), m_values(values) {}
  CString GetName() override { return GXCommandName(NameId); }
  ROWCOL m_nFrom, m_nTo;
  std::unique_ptr<Value[]> m_values;
};

template <UINT NameId>
class CGXSizeCmd : public CGXCommand {
 public:
  explicit CGXSizeCmd(int size) : m_nSize(size) {}
  CString GetName() override { return GXCommandName(NameId); }
  int m_nSize;
};

template <UINT NameId>
class CGXLinesCmd : public CGXCommand {
 public:
  CGXLinesCmd(ROWCOL from, ROWCOL to, ROWCOL dest = 0) : m_nFrom(from), m_nTo(to), m_nDest(dest) {}
  CString GetName() override { return GXCommandName(NameId); }
  ROWCOL m_nFrom, m_nTo, m_nDest;
};

class CGXSetRowHeightCmd : public CGXLineValuesCmd<int, 20158> {
  DECLARE_DYNAMIC(CGXSetRowHeightCmd)

 public:
  using CGXLineValuesCmd::CGXLineValuesCmd;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
};

class CGXSetColWidthCmd : public CGXLineValuesCmd<int, 20159> {
  DECLARE_DYNAMIC(CGXSetColWidthCmd)

 public:
  using CGXLineValuesCmd::CGXLineValuesCmd;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
};

class CGXHideRowsCmd : public CGXLineValuesCmd<BOOL, 20170> {
  DECLARE_DYNAMIC(CGXHideRowsCmd)

 public:
  using CGXLineValuesCmd::CGXLineValuesCmd;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
};

class CGXHideColsCmd : public CGXLineValuesCmd<BOOL, 20171> {
  DECLARE_DYNAMIC(CGXHideColsCmd)

 public:
  using CGXLineValuesCmd::CGXLineValuesCmd;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
};

class CGXSetDefaultRowHeightCmd : public CGXSizeCmd<20160> {
  DECLARE_DYNAMIC(CGXSetDefaultRowHeightCmd)

 public:
  using CGXSizeCmd::CGXSizeCmd;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
};

class CGXSetDefaultColWidthCmd : public CGXSizeCmd<20161> {
  DECLARE_DYNAMIC(CGXSetDefaultColWidthCmd)

 public:
  using CGXSizeCmd::CGXSizeCmd;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
};

class CGXMoveRowsCmd : public CGXLinesCmd<20162> {
  DECLARE_DYNAMIC(CGXMoveRowsCmd)

 public:
  using CGXLinesCmd::CGXLinesCmd;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
};

class CGXMoveColsCmd : public CGXLinesCmd<20163> {
  DECLARE_DYNAMIC(CGXMoveColsCmd)

 public:
  using CGXLinesCmd::CGXLinesCmd;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
};

// Undoes an insertion by removing the lines ("Insert Rows").
class CGXRemoveRowsCmd : public CGXLinesCmd<20164> {
  DECLARE_DYNAMIC(CGXRemoveRowsCmd)

 public:
  using CGXLinesCmd::CGXLinesCmd;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
};

class CGXRemoveColsCmd : public CGXLinesCmd<20165> {
  DECLARE_DYNAMIC(CGXRemoveColsCmd)

 public:
  using CGXLinesCmd::CGXLinesCmd;
  BOOL Execute(CGXGridCore* grid, int commandType) override;
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

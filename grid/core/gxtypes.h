// Types and numbers shared by the whole grid library.
#pragma once

#include "platform/base/wintypes.h"

// A row or column number: row 0 is the column-header row, column 0 the row-header column, data rows and
// columns count from 1. All bits set means "none" or "all" where an operation says so.
using ROWCOL = DWORD;
constexpr ROWCOL GX_INVALID = 0xFFFFFFFFu;
constexpr ROWCOL GX_MAXROWCOL = 0xFFFFFFFEu;

// The largest row height or column width a grid shows, in pixels. A layout may store any size; larger ones
// are shown at this size, so that the sums of sizes that positions are made of stay within an int.
constexpr int GX_MAXLINESIZE = 0x7FFF;
// Sums of sizes stop growing here: far beyond any window, with room for the coordinates added to them.
constexpr int GX_MAXSIZESUM = 0x3FFFFFFF;
// sum + size (size at least 0), saturating at GX_MAXSIZESUM.
constexpr int GXAddSize(int sum, int size) { return sum > GX_MAXSIZESUM - size ? GX_MAXSIZESUM : sum + size; }

// Merge modes wherever styles are combined or stored.
enum GXModifyType : int {
  gxOverride = 0,  // copy what the other style includes
  gxApplyNew = 1,  // fill in only what the target does not include
  gxCopy = 2,      // the target becomes the other style
  gxExclude = 3,   // clear what the other style includes
  gxRemove = 4,    // with a null style: delete what is stored
};

// Storage type of a stored style: -1 addresses a row, column or table base style.
constexpr int GX_BASESTYLE = -1;

// Cell-control ids (string resources of the same ids name them).
constexpr WORD GX_IDS_CTRL_EDIT = 52512;
constexpr WORD GX_IDS_CTRL_STATIC = 52513;
constexpr WORD GX_IDS_CTRL_HEADER = 52520;
constexpr WORD GX_IDS_CTRL_CBS_DROPDOWNLIST = 52529;

// Standard base styles.
constexpr UINT GX_IDS_STYLE_STANDARD = 52768;
constexpr UINT GX_IDS_STYLE_ROWHEADER = 52769;
constexpr UINT GX_IDS_STYLE_COLHEADER = 52770;

// Selection flags of the parameter object.
constexpr WORD GX_SELROW = 0x1;    // whole rows from the row header
constexpr WORD GX_SELCOL = 0x2;    // whole columns from the column header
constexpr WORD GX_SELFULL = 0xFF;  // every kind

// DrawText alignment flags returned by the style.
constexpr UINT GX_DT_LEFT = 0x0;
constexpr UINT GX_DT_CENTER = 0x1;
constexpr UINT GX_DT_RIGHT = 0x2;
constexpr UINT GX_DT_TOP = 0x0;
constexpr UINT GX_DT_VCENTER = 0x4;
constexpr UINT GX_DT_BOTTOM = 0x8;

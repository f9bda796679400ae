#include "grid/features/gxfeaturestrings.h"

#include "grid/core/gxstrings.h"

namespace {

// The core registers the texts its own operations name (insert and remove, move, the undo-buffer question).
constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {20075, "Processing..."},
    {20076, "Done."},
    {20077, "Press ESC to cancel"},
    {20081, "Do you want to abort the operation?"},
    {20139, "Redoing %1 ..."},
    {20140, "Undoing %1 ..."},
    {20158, "Change Row Heights"},
    {20159, "Change Column Widths"},
    {20160, "Change Default Row Height"},
    {20161, "Change Default Column Width"},
    {20166, "Cover Cells"},
    {20167, "Cells"},
    {20168, "Freeze Columns"},
    {20169, "Freeze Rows"},
    {20170, "Hide Rows"},
    {20171, "Hide Columns"},
    {20174, "Current Cell"},
    {20179, "Move"},
    {20180, "Clear Cells"},
    {20181, "Sort Rows"},
    {20182, "Sort Columns"},
    {20185, "Styles Map Changes"},
    {20186, "Property Settings"},
    {20188, "Set Range Name"},
    {20189, "Delete Range Name"},
};

}  // namespace

void GXRegisterFeatureStrings() { gx::AddGridStrings(kStrings); }

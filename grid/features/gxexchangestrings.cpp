#include "grid/features/gxexchangestrings.h"

#include "grid/core/gxstrings.h"

namespace {

constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {20147, "Copying text format ..."},
    {20148, "Copying internal format ..."},
    {20149, "Range too big."},
    {20150, "Cut Data."},
    {20151, "Cutting data ..."},
    {20152, "Pasting data from clipboard..."},
    {20153, "Pasting is not possible for multi-area selections."},
    {20154, "Paste."},
    {20155, "Replacing values ..."},
    {20156, "Replace All"},
    {20157, "Searching values ..."},
    {20175, "Clipboard size is different from selected range"},
    {20178, "Copy"},
    {20183, "Not enough memory"},
    {20184, "Canceled"},
    {20210, "A pasted text is not a value its cell takes (not one of its choices, against its mask, out of its "
            "bounds, or read-only): nothing is pasted, and the cells keep their values."},
    {GX_IDS_PASTE_UNCHANGEABLE,
     "A paste would change a read-only or disabled cell: nothing is pasted, and the cells keep their values."},
    {GX_IDS_REPLACE_UNCHANGEABLE,
     "A replacement would change a read-only or disabled cell: that cell keeps its value."},
    {GX_IDS_FILL_REFUSED,
     "A filled value is not a value its cell takes (not one of its choices, too long, against its mask or out of "
     "its bounds): that cell keeps its value."},
};

}  // namespace

void GXRegisterExchangeStrings() { gx::AddGridStrings(kStrings); }

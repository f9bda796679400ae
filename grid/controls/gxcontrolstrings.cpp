#include "grid/controls/gxcontrolstrings.h"

#include "grid/core/gxstrings.h"

namespace {

constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {51014, "SpinBound: Min. Value"},
    {51015, "SpinBound: Max. Value"},
    {51016, "SpinBound: Wrap Value"},
    {51019, "Checkbox: Checked Value"},
    {51020, "Checkbox: Unchecked Value"},
    {51021, "SpinEdit: start value"},
    {51025, "Progress: Lower Bound"},
    {51026, "Progress: Upper Bound"},
    {51027, "Progress: Caption"},
    {51028, "TabList: Key Column"},
    {51029, "TabList: Text Column"},
    {51030, "TabList: Show all columns"},
    {51031, "TabList: Display Column Titles"},
    {51032, "TabList: Column Widths"},
    {51033, "TabList: Sort Columns"},
    {51055, "TabList: Unique choicelist id"},
    {51057, "RadioButton: Alignment"},
    {51058, "The pasted text does not fit: the cell would hold %d characters, and it takes at most %u. Nothing "
            "was pasted."},
    {51059, "A replaced text is not a value its cell takes (not one of its choices, too long, against the cell's "
            "mask or out of its bounds): that cell keeps its value."},
    {51060, "Type a whole number from %ld to %ld."},
    {51061, "Type a whole number of at least %ld."},
    {51062, "Type a whole number of at most %ld."},
    {51063, "A replacement would leave a cell empty that may not be cleared: that cell keeps its value."},
    {51064, "A pasted text holds a control character (a tab or another character that cannot be typed) that a "
            "one-line cell does not take: nothing was pasted."},
    {51065, "Type a number from %s to %s."},
    {51066, "Type a number of at least %s."},
    {51067, "Type a number of at most %s."},
    {51068, "The typed value does not fit: the cell would hold %d characters, and it takes at most %u."},
    {51069, "The arrows step whole numbers up to %lld either way, and this value lies beyond or is no finite "
            "number: it is kept as it is. Type the value instead."},
    {51070, "The cell's number format would show %lld as another number: the value is kept as it is. Type the "
            "value instead."},
    {52568, "RadioButton: Text Alignment"},
    {52569, "Pushbutton face color"},
    {52794, "Dao bitmap user attribute"},
};

}  // namespace

void GXRegisterControlStrings() { gx::AddGridStrings(kStrings); }

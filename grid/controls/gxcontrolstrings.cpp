#include "grid/controls/gxcontrolstrings.h"

#include "grid/core/gxstrings.h"

namespace {

constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {51019, "Checkbox: Checked Value"},
};

}  // namespace

void GXRegisterControlStrings() { gx::AddGridStrings(kStrings); }

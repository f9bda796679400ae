#include "grid/extras/GXExtras.h"

#include "grid/core/gxstrings.h"
#include "platform/base/ResourceTable.h"

namespace {

constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {20029, ">"},
    {20030, "<<"},
    {20031, ">>"},
    {20032, "<"},
};

}  // namespace

void GXRegisterDateTimeCells() { gx::AddGridStrings(kStrings); }

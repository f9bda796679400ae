#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxstrings.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "grid/extras/GXExtras.h"
#include "platform/base/ResourceTable.h"

namespace {

constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {20029, ">"},
    {20030, "<<"},
    {20031, ">>"},
    {20032, "<"},
    {20060, "No Edit\nFixed Year\nFixed Month\nFixed Day\nFixed Hour\nFixed Minute\nFixed Second"},
    {20061, "No Validation\t0\nTime\t1\nDate\t2\nDate and Time\t3\n"},
    {20062, "Time\t0\nShortDate\t1\nLongDate\t2\nCustom\t3\nDateTime\t4\n"},
    {51034, "DateTime: Non editable fields"},
    {51035, "DateTime: Minimum allowed date"},
    {51036, "DateTime: Maximum allowed date"},
    {51037, "DateTime: Validation mode"},
    {51038, "DateTime: Date format type"},
    {51039, "DateTime: Custom date format "},
    {51044, "DateTime: Fast Input"},
    {52571, "Force DateTime input as number"},
    {52572, "DateTime: Precision format"},
};

// The cell with its windows made at once: drop-down and spin buttons (style bits 3) or spin buttons only (2).
CGXControl* CreateDateTimeCell(CGXGridCore* grid, UINT id, DWORD style) {
  auto* control = new CGXDateTimeCtrl(grid, id);
  control->CreateWindows(style, CRect(0, 0, 0, 0));
  return control;
}

}  // namespace

void GXRegisterDateTimeCells() {
  gx::AddGridStrings(kStrings);
  if (!CGXControlFactory::FirstRegistration(reinterpret_cast<const void*>(&GXRegisterDateTimeCells))) return;
  CGXControlFactory::RegisterControlCreator(
      GX_IDS_CTRL_DATETIME, [](CGXGridCore* g) { return CreateDateTimeCell(g, GX_IDS_CTRL_DATETIME, 3); });
  CGXControlFactory::RegisterControlCreator(
      GX_IDS_CTRL_DATETIMENOCAL, [](CGXGridCore* g) { return CreateDateTimeCell(g, GX_IDS_CTRL_DATETIMENOCAL, 2); });
  CGXControlFactory::AddUserAttributeRegistrar(
      [](CGXStylesMap& map) { CGXDateTimeCtrl::RegisterUserAttributes(&map); });
}

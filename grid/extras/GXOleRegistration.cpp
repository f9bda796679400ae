#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxstrings.h"
#include "grid/extras/CGXOlePreview.h"
#include "grid/extras/GXExtras.h"
#include "platform/base/ResourceTable.h"

namespace {

constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {20134, "The binary data is not valid."},
    {20203, "The copy operation failed"},
    {20204, "The cut operation failed"},
    {20205, "Tarn Insert Object"},
    {20206, "You have already spawned a viewer. Please use this for editing"},
    {20207, "Failed to invoke insert object dialog."},
    {52801, "The ID for the external ole viewer"},
};

}  // namespace

void GXRegisterOleCells() {
  gx::AddGridStrings(kStrings);
  if (!CGXControlFactory::FirstRegistration(reinterpret_cast<const void*>(&GXRegisterOleCells))) return;
  // Only grids that can hold embedded objects get the control; any other grid gets none for the id.
  CGXControlFactory::RegisterControlCreator(GX_IDS_CTRL_OLEPREVIEW, [](CGXGridCore* g) -> CGXControl* {
    if (!dynamic_cast<CGXOleCapableGrid*>(g)) return nullptr;
    return new CGXOlePreview(g, nullptr);
  });
  CGXControlFactory::AddUserAttributeRegistrar([](CGXStylesMap& map) { CGXOlePreview::RegisterUserAttributes(&map); });
}

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxstrings.h"
#include "grid/extras/CGXMaskControl.h"
#include "grid/extras/GXExtras.h"
#include "platform/base/ResourceTable.h"

namespace {

constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {51023, "Maskedit: Input Mask"},
    {51024, "Maskedit: Prompt Char"},
};

}  // namespace

void GXRegisterMaskCells() {
  gx::AddGridStrings(kStrings);
  if (!CGXControlFactory::FirstRegistration(reinterpret_cast<const void*>(&GXRegisterMaskCells))) return;
  CGXControlFactory::RegisterControlCreator(GX_IDS_CTRL_MASKEDIT, [](CGXGridCore* g) {
    return static_cast<CGXControl*>(new CGXMaskControl(g, GX_IDS_CTRL_MASKEDIT));
  });
  CGXControlFactory::AddUserAttributeRegistrar([](CGXStylesMap& map) { CGXMaskControl::RegisterUserAttributes(&map); });
}

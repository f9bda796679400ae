#include "grid/features/gxinteractionfeatures.h"

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/gxstrings.h"

namespace {

constexpr plat::ResourceTable::StringEntry kStrings[] = {
    {20172, "Resizing Rows"},
    {20173, "Resizing Columns"},
};

}  // namespace

void GXRegisterInteractionFeatures() {
  gx::AddGridStrings(kStrings);
  using GC = CGXControlFactory::GridComponent;
  CGXControlFactory::AddGridComponentInstaller(GC::UserSelectRange, [](CGXGridCore* g) {
    if (g) g->InstallUserSelectRangeImp();
  });
}

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
  CGXControlFactory::AddGridComponentInstaller(GC::HideCells, [](CGXGridCore* g) {
    if (g) g->InstallHideCellsImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::ResizeToFit, [](CGXGridCore* g) {
    if (g) g->InstallResizeToFitImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::UserSelectRange, [](CGXGridCore* g) {
    if (g) g->InstallUserSelectRangeImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::DragSelect, [](CGXGridCore* g) {
    if (g) g->InstallUserDragSelectRangeImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::UserResize, [](CGXGridCore* g) {
    if (g) g->InstallUserResizeCellsImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::MarkEditHeader, [](CGXGridCore* g) {
    if (g) g->InstallMarkEditHeaderImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::FreezeMenuHelper, [](CGXGridCore* g) {
    if (g) g->InstallFreezeMenuHelperImp();
  });
}

#include "grid/features/gxfeatures.h"

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridCore.h"
#include "grid/features/CGXLongOperationImp.h"
#include "grid/features/CGXNoOleDateTimeImp.h"
#include "grid/features/CGXNumberFormattingImp.h"
#include "grid/features/CGXOleDateTimeImp.h"
#include "grid/features/gxinteractionfeatures.h"
#include "grid/features/gxfeaturestrings.h"

void GXRegisterEditingFeatures() {
  GXRegisterFeatureStrings();
  if (!CGXControlFactory::FirstRegistration(reinterpret_cast<const void*>(&GXRegisterEditingFeatures))) return;
  using GC = CGXControlFactory::GridComponent;
  CGXControlFactory::AddGridComponentInstaller(GC::CommandFactory, [](CGXGridCore* g) {
    if (g) g->InstallCommandFactory();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::ClearCells, [](CGXGridCore* g) {
    if (g) g->InstallClearCellsImp();
  });
  GXRegisterInteractionFeatures();
  using AC = CGXControlFactory::ApplicationComponent;
  CGXControlFactory::AddApplicationComponentInstaller(AC::NumberFormatting, &InstallNumberFormattingImp);
  CGXControlFactory::AddApplicationComponentInstaller(AC::OleDateTime, &InstallOleDateTimeImp);
  CGXControlFactory::AddApplicationComponentInstaller(AC::NoOleDateTime, &InstallNoOleDateTimeImp);
  CGXControlFactory::AddApplicationComponentInstaller(AC::LongOperation, &InstallLongOperationImp);
}

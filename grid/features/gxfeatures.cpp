#include "grid/features/gxfeatures.h"

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridCore.h"
#include "platform/framework/MessageBox.h"
#include "grid/features/CGXCellTipPlugin.h"
#include "grid/features/CGXLongOperationImp.h"
#include "grid/features/CGXSpanCellPoolImp.h"
#include "grid/features/CGXNoOleDateTimeImp.h"
#include "grid/features/CGXNumberFormattingImp.h"
#include "grid/features/CGXOleDateTimeImp.h"
#include "grid/features/gxinteractionfeatures.h"
#include "grid/features/gxfeaturestrings.h"
#include "grid/features/CGXGridSortMoveDataImp.h"
#include "grid/features/gxexchangestrings.h"

void GXRegisterEditingFeatures() {
  GXRegisterFeatureStrings();
  GXRegisterExchangeStrings();
  if (!CGXControlFactory::FirstRegistration(reinterpret_cast<const void*>(&GXRegisterEditingFeatures))) return;
  using GC = CGXControlFactory::GridComponent;
  CGXControlFactory::AddGridComponentInstaller(GC::CommandFactory, [](CGXGridCore* g) {
    if (g) g->InstallCommandFactory();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::ClearCells, [](CGXGridCore* g) {
    if (g) g->InstallClearCellsImp();
  });
  // Clipboard and data exchange, sorting, find and replace.
  CGXControlFactory::AddGridComponentInstaller(GC::FindReplace, [](CGXGridCore* g) {
    if (g) g->InstallFindReplaceImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::Sort, [](CGXGridCore* g) {
    if (g) g->InstallSortImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::DirectCopyMove, [](CGXGridCore* g) {
    if (g) g->InstallDirectCopyMoveCellsImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::TextDataExchange, [](CGXGridCore* g) {
    if (g) g->InstallTextDataExchangeImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::StyleDataExchange, [](CGXGridCore* g) {
    if (g) g->InstallStyleDataExchangeImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::CutPaste, [](CGXGridCore* g) {
    if (g) g->InstallCutPasteImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::SelectionFrame, [](CGXGridCore* g) {
    if (g) g->InstallExcelLikeFrameImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::FillHandle, [](CGXGridCore* g) {
    if (g) g->InstallExcelLikeFillImp();
  });
  CGXControlFactory::AddApplicationComponentInstaller(CGXControlFactory::ApplicationComponent::SortMove,
                                                      &InstallSortMoveDataImp);
  GXRegisterInteractionFeatures();
  using AC = CGXControlFactory::ApplicationComponent;
  CGXControlFactory::AddApplicationComponentInstaller(AC::NumberFormatting, &InstallNumberFormattingImp);
  CGXControlFactory::AddApplicationComponentInstaller(AC::OleDateTime, &InstallOleDateTimeImp);
  CGXControlFactory::AddApplicationComponentInstaller(AC::NoOleDateTime, &InstallNoOleDateTimeImp);
  CGXControlFactory::AddApplicationComponentInstaller(AC::LongOperation, &InstallLongOperationImp);
  GXRegisterCellTips();
  // The spanned cells: every grid can cover, merge and float cells (merging and floating stay off until a
  // grid switches their mode on).
  CGXControlFactory::AddGridComponentInstaller(GC::CoveredCells, [](CGXGridCore* g) {
    if (g) g->InstallCoveredCellsImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::MergedCells, [](CGXGridCore* g) {
    if (g) g->InstallMergeCellsImp();
  });
  CGXControlFactory::AddGridComponentInstaller(GC::FloatingCells, [](CGXGridCore* g) {
    if (g) g->InstallFloatCellsImp();
  });
  // Printing and print preview.
  CGXControlFactory::AddGridComponentInstaller(GC::Print, [](CGXGridCore* g) {
    if (g) g->InstallPrintImp();
  });
  CGXControlFactory::AddApplicationComponentInstaller(AC::CoveredCellPool, &InstallCoveredCellPoolImp);
  CGXControlFactory::AddApplicationComponentInstaller(AC::SpanCellPool, &InstallSpanCellPoolImp);
  CGXControlFactory::AddApplicationComponentInstaller(AC::DelayedRangePool, &InstallDelayedRangePoolImp);
}

void GXRecomputeAfterStores(CGXGridCore* grid, bool showMessage) {
  if (!grid) return;
  grid->DataObjectNotice();
  grid->DataObjectRecalc();
  CString message;
  if (grid->DataObjectErrorText(message) && showMessage && !message.IsEmpty())
    ::MessageBox(grid->GridHwnd(), message, nullptr, MB_OK);
  grid->RedrawChangedCells(FALSE, nullptr, TRUE);
}

#include "grid/core/CGXGridParam.h"

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridParamCopyOperatorImp.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXGridParam, CObject, 1)

CGXGridParam::CGXGridParam() {
  const CGXGridGlobals& g = CGXGridGlobals::Get();
  m_bP5 = g.m_bSwitch1;
  m_bP6 = g.m_bSwitch2;
  m_rowHeights.InitHashTable(1021);
  m_colWidths.InitHashTable(257);
  m_rowHeights.SetAt(0, 1400);
  m_colWidths.SetAt(0, 6000);
}

namespace {
void DeleteCommands(CObList& list) {
  while (!list.IsEmpty()) delete list.RemoveHead();
}
}  // namespace

void CGXGridParam::EmptyRedoList() { DeleteCommands(m_redoList); }

CGXGridParam::~CGXGridParam() {
  DeleteCommands(m_undoList);
  DeleteCommands(m_redoList);
  m_pCoveredCellPool.reset();
  m_pFloatDelayed.reset();
  m_pFloatSpans.reset();
  m_pMergeDelayed.reset();
  m_pMergeSpansH.reset();
  m_pMergeSpansV.reset();
  SetStylesMap(nullptr, FALSE);
  SetProperties(nullptr, FALSE);
  SetData(nullptr, FALSE);
  SetPrintDevice(nullptr, FALSE);
}

void CGXGridParam::Serialize(CArchive& ar) {
  if (CGXAbstractGridDocSerializeImp* imp = CGXGridGlobals::Get().m_pDocSerializeImp) imp->SerializeParam(*this, ar);
}

CGXGridParam& CGXGridParam::operator=(const CGXGridParam& other) {
  if (this == &other) return *this;
  if (CGXAbstractGridParamCopyOperatorImp* imp = CGXGridGlobals::Get().m_pParamCopyOperatorImp)
    imp->AssignParam(*this, other);
  return *this;
}

namespace {

// Replaces an owned-or-borrowed pointer: the old object is deleted when it was owned and is not the new one.
template <class T>
void Replace(T*& slot, BOOL& owns, T* p, BOOL mustDelete) {
  if (slot != p && owns) delete slot;
  slot = p;
  owns = p ? mustDelete : FALSE;
}

}  // namespace

void CGXGridParam::SetProperties(CGXProperties* p, BOOL mustDelete) { Replace(m_pProperties, m_bOwnProperties, p, mustDelete); }
void CGXGridParam::SetStylesMap(CGXStylesMap* p, BOOL mustDelete) { Replace(m_pStylesMap, m_bOwnStylesMap, p, mustDelete); }
void CGXGridParam::SetData(CGXData* p, BOOL mustDelete) { Replace(m_pData, m_bOwnData, p, mustDelete); }
void CGXGridParam::SetPrintDevice(CGXPrintDevice* p, BOOL mustDelete) { Replace(m_pPrintDevice, m_bOwnPrintDevice, p, mustDelete); }

void CGXGridParam::CreateCoveredCellPool() {
  if (m_pCoveredCellPool) return;
  if (CGXAbstractCoveredCellPoolImp* imp = CGXGridGlobals::Get().m_pCoveredCellPoolImp)
    m_pCoveredCellPool.reset(imp->CreatePool(*this));
}

void CGXGridParam::SyncCoveredCellPool() {
  CGXAbstractCoveredCellPoolImp* imp = CGXGridGlobals::Get().m_pCoveredCellPoolImp;
  if (!imp) return;
  CreateCoveredCellPool();
  if (m_pCoveredCellPool) imp->SyncPool(m_pCoveredCellPool.get(), m_coveredCells);
}

CGXGridParam::Serial::Serial() {
  static uint64_t next = 0;
  value = ++next;
}

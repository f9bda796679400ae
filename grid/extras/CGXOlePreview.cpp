#include "grid/extras/CGXOlePreview.h"

#include <cstdlib>

#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxstrings.h"
#include "grid/core/gxkeys.h"
#include "grid/extras/GXExtras.h"
#include "platform/framework/MessageBox.h"
#include "platform/ole/OleApi.h"

const CGXControlClass CGXOlePreview::classCGXOlePreview = {"CGXOlePreview", &CGXStatic::classCGXStatic};

namespace {

constexpr int kButtonWidth = 13;

void Message(UINT id) { AfxMessageBox(gx::LoadGridString(id), MB_OK | MB_ICONEXCLAMATION); }

// Puts a data object on the object clipboard; the result of the first call that failed.
HRESULT PutOnClipboard(IDataObject* data) {
  HRESULT hr = OleSetClipboard(data);
  if (SUCCEEDED(hr)) hr = OleFlushClipboard();
  return hr;
}

}  // namespace

CGXOlePreview::CGXOlePreview(CGXGridCore* grid, CObject* source)
    : CGXStatic(grid), m_pViewerManager(new CGXViewerManager(source)), m_pButton(new CGXHotSpotButton(this)) {
  AppendChild(m_pButton);
}

CGXOlePreview::~CGXOlePreview() {
  // The viewers close their objects without saving; the popup-active flag goes back first.
  RestoreKeepCellActive();
  m_pOpenViewer = nullptr;
  m_pViewerManager.reset();
}

void CGXOlePreview::RegisterUserAttributes(CGXStylesMap* map) { map->AddUserAttribute(GX_IDS_UA_OLEVIEWERID); }

void CGXOlePreview::InitForCell(ROWCOL row, ROWCOL col) {
  CGXStatic::InitForCell(row, col);
  m_pButton->Invalidate();
  HideAndInvalidate();
}

BOOL CGXOlePreview::StoreValue() {
  if (!m_bInit || !m_bModified) return TRUE;
  SetEditingState(FALSE);
  CGXStyle style;
  if (m_pOpenViewer) {
    const CGXStyle& cached = GetCachedStyle();
    const auto* old = cached.HasUserAttribute(GX_IDS_UA_DAOBITMAP)
                          ? dynamic_cast<const CGXOleVarUserAttribute*>(&cached.GetUserAttribute(GX_IDS_UA_DAOBITMAP))
                          : nullptr;
    auto* attribute = old ? static_cast<CGXOleVarUserAttribute*>(old->Clone()) : new CGXOleVarUserAttribute;
    attribute->SetVariant(m_pOpenViewer->GetValue());
    attribute->m_bSet = TRUE;
    style.SetUserAttribute(GX_IDS_UA_DAOBITMAP, attribute);
  }
  return m_pGrid->SetStyleRange(CGXRange(m_nRow, m_nCol), style, gxOverride);
}

BOOL CGXOlePreview::NotifyEditEnd() {
  if (m_pOpenViewer) {
    m_pOpenViewer->CloseObject();
    m_pOpenViewer->ClearObject();
  }
  return CGXStatic::NotifyEditEnd();
}

BOOL CGXOlePreview::NotifyLeaveCell(ROWCOL newRow, ROWCOL newCol) {
  if (m_pOpenViewer) {
    // Closing saves what the server still holds unsaved (through the site into the viewer's value). The grid
    // stored the cell before it asked to leave, so such last edits are stored here, before the viewer
    // forgets them.
    const VARIANT& value = m_pOpenViewer->GetValue();
    const SAFEARRAY* before = value.vt == (VT_ARRAY | VT_UI1) ? value.parray : nullptr;
    m_pOpenViewer->CloseObject();
    if (value.vt == (VT_ARRAY | VT_UI1) && value.parray != before && m_bInit) {
      m_bModified = TRUE;
      StoreValue();
    }
    m_pOpenViewer->ClearObject();
    m_pOpenViewer = nullptr;
  }
  return CGXStatic::NotifyLeaveCell(newRow, newCol);
}

CRect CGXOlePreview::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  CRect r = CGXStatic::ComputeInnerRect(cell, style);
  r.right -= kButtonWidth;
  return r;
}

void CGXOlePreview::LayOutChildren(ROWCOL, ROWCOL, const CRect& inner) {
  // The button takes the strip the inner rectangle leaves on the right.
  CRect area = inner;
  area.right += kButtonWidth + 1;
  CRect button(area.right - 14, area.top, area.right - 1, area.top + 13);
  button.IntersectRect(button, area);
  if (area.Height() > button.Height() + 1) button.OffsetRect(0, 1);
  m_pButton->SetRect(button);
}

void CGXOlePreview::OnChildClicked(CGXChild* child) {
  CGXStatic::OnChildClicked(child);
  if (!NotifyEditStart()) return;
  if (IsObjectOpen()) {
    m_pOpenViewer->ActivateObject();
    return;
  }
  CGXOleViewer* viewer = GetViewer();
  if (!viewer) return;
  const HWND previous = BeginForeignWindow();
  SetEditingState(TRUE);
  SetKeepCellActive();
  const BOOL opened = viewer->OpenObject(GetCachedStyle(), m_pGrid, this, TRUE);
  EndForeignWindow(previous);
  if (opened) {
    m_pOpenViewer = viewer;
    return;
  }
  // Nothing opened (cancelled, refused data): the cell does not stay in an editing state that nothing ends,
  // and the grid does not keep it active.
  RestoreKeepCellActive();
  SetEditingState(FALSE);
}

BOOL CGXOlePreview::OnKeyDownInCell(UINT ch, UINT, UINT) {
  const bool ctrl = gx::KeyHeld(VK_CONTROL), shift = gx::KeyHeld(VK_SHIFT);
  // The grid's copy and cut ask only an editing control, so the object's own keys are taken here (Ctrl+C
  // and Ctrl+X arrive as characters).
  if (ctrl && ch == VK_INSERT && (HasOleValue() || IsObjectOpen())) {
    CopyToClipboard();
    return TRUE;
  }
  if (shift && ch == VK_DELETE && (HasOleValue() || IsObjectOpen())) {
    CutToClipboard();
    return TRUE;
  }
  if (ch != VK_DELETE || ctrl || shift) return FALSE;
  if (IsObjectOpen()) {
    OnViewerAlreadyOpen();
    return TRUE;
  }
  if (!NotifyEditStart()) return TRUE;
  SetEditingState(TRUE);
  CGXOleViewer* viewer = GetViewer();
  if (!viewer) return TRUE;
  viewer->SetControl(this);
  viewer->ClearObject();
  m_pOpenViewer = viewer;
  SetModifiedState(TRUE);
  m_pGrid->CompleteCellEdit(TRUE);
  return TRUE;
}

BOOL CGXOlePreview::OnCharInCell(UINT ch, UINT, UINT) {
  if ((ch != 0x03 && ch != 0x18) || !(HasOleValue() || IsObjectOpen())) return FALSE;
  if (ch == 0x03)
    CopyToClipboard();
  else
    CutToClipboard();
  return TRUE;
}

BOOL CGXOlePreview::CopyToClipboard() {
  if (IsObjectOpen()) {
    OnViewerAlreadyOpen();
    return FALSE;
  }
  CGXOleViewer* viewer = m_bInit ? GetViewer() : nullptr;
  if (!viewer) return FALSE;
  IDataObject* data = viewer->GetDataObject(GetCachedStyle(), m_pGrid, this);
  if (!data) {
    Message(GX_IDS_OLE_COPYFAILED);
    return FALSE;
  }
  const HRESULT hr = PutOnClipboard(data);
  data->Release();
  viewer->CloseObject();
  viewer->ClearObject();
  if (FAILED(hr)) {
    gx::ShowOleResult(hr);
    Message(GX_IDS_OLE_COPYFAILED);
    return FALSE;
  }
  return TRUE;
}

BOOL CGXOlePreview::CutToClipboard() {
  if (IsObjectOpen()) {
    OnViewerAlreadyOpen();
    return FALSE;
  }
  if (!m_bInit || !NotifyEditStart()) return FALSE;
  CGXOleViewer* viewer = GetViewer();
  if (!viewer) return FALSE;
  SetEditingState(TRUE);
  IDataObject* data = viewer->CutObject(GetCachedStyle(), m_pGrid, this);
  if (!data) {
    Message(GX_IDS_OLE_CUTFAILED);
    return FALSE;
  }
  const HRESULT hr = PutOnClipboard(data);
  data->Release();
  if (FAILED(hr)) {
    // The cell keeps its object: the cleared value is not stored.
    viewer->CloseObject();
    viewer->ClearObject();
    SetModifiedState(FALSE);
    SetEditingState(FALSE);
    gx::ShowOleResult(hr);
    Message(GX_IDS_OLE_CUTFAILED);
    return FALSE;
  }
  viewer->CloseObject();
  m_pOpenViewer = viewer;
  return TRUE;
}

BOOL CGXOlePreview::PasteFromClipboard() {
  if (IsObjectOpen()) {
    OnViewerAlreadyOpen();
    return FALSE;
  }
  if (!m_bInit || !NotifyEditStart()) return FALSE;
  CGXOleViewer* viewer = GetViewer();
  if (!viewer) return FALSE;
  SetEditingState(TRUE);
  viewer->SetControl(this);
  if (viewer->PasteObject()) {
    m_pOpenViewer = viewer;
    viewer->NotifyChanged();
    SetModifiedState(TRUE);
    return TRUE;
  }
  Message(GX_IDS_OLE_INVALIDDATA);
  viewer->ClearObject();
  viewer->SetControl(nullptr);
  SetEditingState(FALSE);
  return FALSE;
}

BOOL CGXOlePreview::CanCopyToClipboard() const {
  if (!m_bInit || IsObjectOpen()) return FALSE;
  auto* self = const_cast<CGXOlePreview*>(this);
  CGXOleViewer* viewer = self->GetViewer();
  return (viewer && viewer->CanCopy()) || self->HasOleValue();
}

BOOL CGXOlePreview::CanCutToClipboard() {
  if (!m_bInit || IsObjectOpen()) return FALSE;
  CGXOleViewer* viewer = GetViewer();
  return (viewer && viewer->CanCut()) || HasOleValue();
}

BOOL CGXOlePreview::CanPasteFromClipboard() {
  if (!m_bInit || IsObjectOpen()) return FALSE;
  CGXOleViewer* viewer = GetViewer();
  return viewer && viewer->CanPaste();
}

BOOL CGXOlePreview::HasOleValue() {
  if (!m_bInit) return FALSE;
  const CGXStyle& style = GetCachedStyle();
  if (!style.HasUserAttribute(GX_IDS_UA_DAOBITMAP)) return FALSE;
  const auto* attribute = dynamic_cast<const CGXOleVarUserAttribute*>(&style.GetUserAttribute(GX_IDS_UA_DAOBITMAP));
  return attribute && attribute->GetVariant() && attribute->GetVariant()->vt == (VT_ARRAY | VT_UI1);
}

HWND CGXOlePreview::BeginForeignWindow() {
  m_pGrid->FocusGuard() = TRUE;
  const HWND focus = ::GetFocus();
  MSG msg;
  while (focus && ::PeekMessage(&msg, focus, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  ROWCOL row = 0, col = 0;
  if (m_pGrid->QueryCurrentCell(&row, &col)) m_pGrid->RedrawCell(row, col, GX_INVALIDATE);
  return focus;
}

void CGXOlePreview::EndForeignWindow(HWND previousFocus) {
  const HWND grid = m_pGrid->GridHwnd();
  if (previousFocus && ::IsWindow(previousFocus)) {
    ::SetFocus(previousFocus);
    if (grid && (previousFocus == grid || ::IsChild(grid, previousFocus))) m_pGrid->m_bHasFocus = TRUE;
  }
  m_pGrid->FocusGuard() = FALSE;
}

void CGXOlePreview::SetKeepCellActive() {
  if (!m_bKeepingCellActive) m_bSavedPopupActive = ::IsPopupActive();
  m_bKeepingCellActive = TRUE;
  gx::SetPopupActive(TRUE);
}

void CGXOlePreview::RestoreKeepCellActive() {
  if (!m_bKeepingCellActive) return;
  gx::SetPopupActive(m_bSavedPopupActive);
  m_bKeepingCellActive = FALSE;
}

void CGXOlePreview::OnViewerAlreadyOpen() {
  Message(GX_IDS_OLE_VIEWEROPEN);
  if (m_pOpenViewer) m_pOpenViewer->ActivateObject();
}

CGXOleViewer* CGXOlePreview::GetViewer() {
  LONG id = -1;
  if (m_bInit) {
    const CGXStyle& style = GetCachedStyle();
    if (style.HasUserAttribute(GX_IDS_UA_OLEVIEWERID)) {
      const CString text = style.GetUserAttributeText(GX_IDS_UA_OLEVIEWERID);
      if (!text.IsEmpty()) id = std::atol(text);
    }
  }
  CGXOleViewer* viewer = m_pViewerManager->GetViewer(id);
  m_pGrid->GetOleViewer(m_nRow, m_nCol, id, viewer);
  return viewer;
}

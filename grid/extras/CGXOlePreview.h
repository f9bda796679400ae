// The OLE object cell (control id 20132): a static cell with a small hot-spot button in its top-right
// corner. The cell's value is an embedded object stored as a byte array in user attribute 52794 (see
// CGXOleViewer.h for the form). The button opens the object in its server (an empty cell first asks which
// kind of object to insert); copy, cut and paste move objects through the object clipboard; Delete clears
// the cell. The object lives only while it is open: the viewer that opened it is the "open viewer" until
// the grid ends or leaves the cell's editing, a copy finishes, or the server closes the object.
//
// The factory makes this control only for grids that are OLE-capable (CGXOleCapableGrid).
#pragma once

#include <memory>

#include "grid/controls/CGXStatic.h"
#include "grid/extras/CGXOleViewer.h"

class CGXHotSpotButton;
class CGXStylesMap;

constexpr WORD GX_IDS_CTRL_OLEPREVIEW = 20132;
// User attribute 52801 "The ID for the external ole viewer": the viewer id of a cell (-1 when absent).
constexpr WORD GX_IDS_UA_OLEVIEWERID = 52801;
// Texts.
constexpr UINT GX_IDS_OLE_INVALIDDATA = 20134, GX_IDS_OLE_COPYFAILED = 20203, GX_IDS_OLE_CUTFAILED = 20204,
               GX_IDS_OLE_INSERTCAPTION = 20205, GX_IDS_OLE_VIEWEROPEN = 20206, GX_IDS_OLE_INSERTFAILED = 20207;

// The marker of grid classes that hold OLE object cells: such a grid derives from this besides its grid
// class.
class CGXOleCapableGrid {
 public:
  virtual ~CGXOleCapableGrid() = default;
};

class CGXOlePreview : public CGXStatic {
 public:
  // `source` (owned by the viewer manager; an empty placeholder when null) is not used by the generic
  // viewer.
  CGXOlePreview(CGXGridCore* grid, CObject* source);
  ~CGXOlePreview() override;

  static const CGXControlClass classCGXOlePreview;
  const CGXControlClass* GetControlClass() const override { return &classCGXOlePreview; }
  static void RegisterUserAttributes(CGXStylesMap* map);

  void SetEditingState(BOOL editing) override { m_bEditing = editing; }
  BOOL GetEditingState() const override { return m_bEditing; }
  void SetModifiedState(BOOL modified) override { m_bModified = modified; }
  BOOL GetModifiedState() const override { return m_bModified; }
  void InitForCell(ROWCOL row, ROWCOL col) override;
  BOOL StoreValue() override;
  BOOL NotifyEditEnd() override;
  BOOL NotifyLeaveCell(ROWCOL newRow, ROWCOL newCol) override;
  CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const override;
  using CGXControl::ComputeInnerRect;
  void LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) override;
  void OnChildClicked(CGXChild* child) override;
  BOOL OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnCharInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL CopyToClipboard() override;
  BOOL CutToClipboard() override;
  BOOL PasteFromClipboard() override;
  BOOL CanCopyToClipboard() const override;
  BOOL CanCutToClipboard() override;
  BOOL CanPasteFromClipboard() override;

  // The cell style holds attribute 52794 with a byte array.
  virtual BOOL HasOleValue();
  // Around a window of another program taking the focus: the previous focus window, given back after.
  virtual HWND BeginForeignWindow();
  virtual void EndForeignWindow(HWND previousFocus);
  virtual void RestoreKeepCellActive();
  virtual void SetKeepCellActive();
  virtual void OnViewerAlreadyOpen();
  // The viewer of the bound cell (its viewer id from attribute 52801), as the grid's viewer hook leaves it.
  virtual CGXOleViewer* GetViewer();

  CGXOleViewer* GetOpenViewer() const { return m_pOpenViewer; }
  // An open viewer holding a live object.
  BOOL IsObjectOpen() const { return m_pOpenViewer && m_pOpenViewer->GetOleObject(); }
  CGXHotSpotButton* GetButton() const { return m_pButton; }

 protected:
  CGXOleViewer* m_pOpenViewer = nullptr;
  std::unique_ptr<CGXViewerManager> m_pViewerManager;
  BOOL m_bModified = FALSE;
  BOOL m_bEditing = FALSE;
  BOOL m_bSavedPopupActive = FALSE;
  BOOL m_bKeepingCellActive = FALSE;
  CGXHotSpotButton* m_pButton = nullptr;  // owned by the child list
};

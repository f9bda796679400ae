// CDialog: a dialog window from a template, modal (DoModal) or modeless (Create).
//
// DoModal: the owner (the parent's top-level window, else the main window) is disabled, the dialog is
// created from its template, OnInitDialog runs (UpdateData(FALSE) by default), the dialog is shown and a
// nested loop runs with pre-translation (IsDialogMessage for keys and mouse) until EndDialog; then the owner
// is enabled again, the dialog destroyed and the EndDialog value returned (-1 when it could not start).
// IDOK runs OnOK (UpdateData(TRUE), then EndDialog(IDOK)); IDCANCEL runs OnCancel (EndDialog(IDCANCEL)).
#pragma once

#include "platform/framework/CWnd.h"
#include "platform/framework/DialogTemplate.h"

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  CDialog();
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Modeless creation. A child template (WS_CHILD) makes a child dialog of pParentWnd.
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  virtual BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  BOOL CreateIndirect(const DialogTemplate* lpDialogTemplate, CWnd* pParentWnd = nullptr);
  BOOL InitModalIndirect(const DialogTemplate* lpDialogTemplate, CWnd* pParentWnd = nullptr);

  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* pWndCtrl);
  void SetDefID(UINT nID);
  DWORD GetDefID() const;
  void MapDialogRect(LPRECT lpRect) const;

  BOOL PreTranslateMessage(MSG* pMsg) override;
  // The template DoModal/Create would use: the indirect one, else the named one; null when missing.
  const DialogTemplate* FindTemplate() const;

  LPCSTR m_lpszTemplateName = nullptr;
  UINT m_nIDHelp = 0;
  CWnd* m_pParentWnd = nullptr;
  const DialogTemplate* m_lpDialogTemplate = nullptr;

 protected:
  BOOL CreateDlgIndirect(const DialogTemplate* tmpl, CWnd* pParentWnd);
  // The modal owner: the parent's top-level window, else the main window; null when none can own.
  HWND PreModal();

  DECLARE_MESSAGE_MAP()

 private:
  static INT_PTR DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  BOOL m_bInModal = FALSE;
};

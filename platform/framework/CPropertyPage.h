// Property pages and a wizard-mode property sheet.
//
// A page is a child dialog. Hosted by the module's own wizard frame (outside any sheet), the frame calls
// the page's virtuals directly with the class library's defaults: OnSetActive (the first activation
// exchanges no data, later ones run UpdateData(FALSE)), OnKillActive (UpdateData(TRUE); FALSE keeps the
// page), OnWizardBack/OnWizardNext (0 = go on, -1 = stay, a template id = go there), OnWizardFinish (TRUE =
// finish), OnQueryCancel/OnCancel.
//
// CPropertySheet in wizard mode shows its pages one at a time above Back, Next (or Finish), Cancel and Help:
//   Next   -> page OnWizardNext -> page OnKillActive (data exchange; failure stays) -> next page OnSetActive
//   Back   -> page OnWizardBack -> previous page OnSetActive (no validation: going back loses nothing)
//   Finish -> page OnKillActive -> page OnWizardFinish -> DoModal returns ID_WIZFINISH
//   Cancel -> page OnQueryCancel -> page OnCancel -> DoModal returns IDCANCEL
//   Help   -> WM_COMMAND ID_HELP to the page (enabled for pages with PSP_HASHELP)
// Pages choose the buttons with SetWizardButtons (PSM_SETWIZBUTTONS, sent or posted).
#pragma once

#include <vector>

#include "platform/framework/CDialog.h"

constexpr UINT PSM_SETCURSEL = WM_USER + 101;
constexpr UINT PSM_SETWIZBUTTONS = WM_USER + 112;
constexpr UINT PSM_PRESSBUTTON = WM_USER + 113;
constexpr UINT PSM_SETFINISHTEXT = WM_USER + 115;
constexpr DWORD PSWIZB_BACK = 0x1;
constexpr DWORD PSWIZB_NEXT = 0x2;
constexpr DWORD PSWIZB_FINISH = 0x4;
constexpr DWORD PSWIZB_DISABLEDFINISH = 0x8;
constexpr int PSBTN_BACK = 0;
constexpr int PSBTN_NEXT = 1;
constexpr int PSBTN_FINISH = 2;
constexpr int PSBTN_OK = 3;
constexpr int PSBTN_APPLYNOW = 4;
constexpr int PSBTN_CANCEL = 5;
constexpr int PSBTN_HELP = 6;
constexpr int ID_WIZBACK = 0x3023;
constexpr int ID_WIZNEXT = 0x3024;
constexpr int ID_WIZFINISH = 0x3025;
constexpr UINT ID_HELP = 0xE146;
constexpr DWORD PSH_WIZARD = 0x00000020;
constexpr DWORD PSH_HASHELP = 0x00000200;
constexpr DWORD PSH_NOAPPLYNOW = 0x00000080;
constexpr DWORD PSP_HASHELP = 0x00000020;

struct PROPSHEETPAGE {
  DWORD dwSize = sizeof(PROPSHEETPAGE);
  DWORD dwFlags = 0;
  LPCSTR pszTitle = nullptr;
};

struct PROPSHEETHEADER {
  DWORD dwSize = sizeof(PROPSHEETHEADER);
  DWORD dwFlags = 0;
  HWND hwndParent = nullptr;
  LPCSTR pszCaption = nullptr;
  UINT nStartPage = 0;
};

class CPropertySheet;

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)

 public:
  explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
  CPropertyPage();

  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  virtual LRESULT OnWizardBack();
  virtual LRESULT OnWizardNext();
  virtual BOOL OnWizardFinish();
  virtual BOOL OnQueryCancel();
  virtual BOOL OnApply();
  virtual void OnReset();
  void OnOK() override;
  void OnCancel() override;
  void SetModified(BOOL bChanged = TRUE);
  BOOL IsModified() const { return m_bModified; }
  void CancelToClose();

  UINT TemplateId() const;

  PROPSHEETPAGE m_psp;
  CString m_strCaption;
  BOOL m_bFirstSetActive = TRUE;

 protected:
  BOOL m_bModified = FALSE;
  friend class CPropertySheet;
};

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)

 public:
  explicit CPropertySheet(LPCSTR pszCaption = nullptr, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  ~CPropertySheet() override;

  void AddPage(CPropertyPage* pPage);
  void RemovePage(CPropertyPage* pPage);
  void RemovePage(int nPage);
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int nPage) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const { return m_active; }
  int GetPageIndex(CPropertyPage* pPage) const;
  BOOL SetActivePage(int nPage);
  BOOL SetActivePage(CPropertyPage* pPage);
  void SetTitle(LPCSTR lpszText, UINT nStyle = 0);
  void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
  void SetWizardButtons(DWORD dwFlags);
  void SetFinishText(LPCSTR lpszText);
  void PressButton(int nButton);
  void EndDialog(int nEndID);

  virtual INT_PTR DoModal();
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  PROPSHEETHEADER m_psh;

 protected:
  afx_msg LRESULT OnSetWizButtons(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPressButton(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCurSel(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetFinishText(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  bool Activate(int index);
  void Next();
  void Back();
  void Finish();
  void Cancel();
  void Help();
  int IndexOfTemplate(UINT id) const;
  void ShowButtons();

  std::vector<CPropertyPage*> m_pages;
  CString m_caption;
  CString m_finishText;
  CWnd* m_pParentWnd = nullptr;
  int m_active = -1;
  DWORD m_wizButtons = PSWIZB_BACK | PSWIZB_NEXT;
  std::vector<DialogItemTemplate> m_items;
  DialogTemplate m_template{};
  CRect m_pageArea;
};

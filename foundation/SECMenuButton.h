// SECMenuButton: a bitmap button that drops a popup menu below itself or to its right. The arrow bitmap
// (23000 down, 23001 right) stands to the right of the caption, or alone when there is no caption. Headless,
// the menu's choice comes from the automation provider.
#pragma once

#include "foundation/SECBitmapButton.h"
#include "platform/framework/CMenu.h"

constexpr UINT SEC_IDB_MENU_DOWN = 23000;
constexpr UINT SEC_IDB_MENU_RIGHT = 23001;

class SECMenuButton : public SECBitmapButton {
 public:
  SECMenuButton() = default;
  ~SECMenuButton() override;

  using SECBitmapButton::AttachButton;
  using SECBitmapButton::Create;
  virtual BOOL AttachButton(UINT nID, UINT nMenuID, CWnd* pParent, BOOL bRight = FALSE, DWORD nExtStyle = 0);
  virtual BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, UINT nMenuID, const RECT& rect, CWnd* pParent, UINT nID,
                      BOOL bRight = FALSE, DWORD nExtStyle = 0);
  // Loads the menu, keeps the direction, gives the arrow bitmap's id and answers the alignment (4 for a null
  // or empty caption, else 1).
  virtual UINT SetupMenu(LPCSTR lpszCaption, UINT nMenuID, BOOL bRight, UINT& nBitmapID);

  void OnButtonClicked() override;
  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  BOOL SetMenu(UINT nMenuID);
  void SetMenuDirection(BOOL bRight);
  BOOL GetMenuDirection() const { return m_bRight; }
  CMenu& GetMenu() { return m_menu; }
  BOOL IsMenuShown() const { return m_bMenuShown; }

 protected:
  void DestroyLoadedMenu();

  CMenu m_menu;
  BOOL m_bMenuLoaded = FALSE;
  BOOL m_bRight = FALSE;
  BOOL m_bDrawEnabled = TRUE;
  BOOL m_bMenuShown = FALSE;
  BOOL m_bKeyUpAccepted = TRUE;

  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()
};

// CToolTipCtrl: the tooltip control. Tools are identified by (window, id); TTF_IDISHWND tools by the window.
#pragma once

#include "platform/base/CString.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/CWnd.h"

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)

 public:
  CToolTipCtrl() = default;

  using CWnd::Create;
  // A popup owned by pParentWnd.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

  // Adds a tool: (pWnd, nIDTool) for a rectangle of pWnd, or with id 0 the whole of pWnd (TTF_IDISHWND).
  // The text is copied; LPSTR_TEXTCALLBACK asks the owner through TTN_GETDISPINFO.
  BOOL AddTool(CWnd* pWnd, LPCSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
  void UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
  BOOL GetToolInfo(TOOLINFO& toolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  void SetToolInfo(LPTOOLINFO lpToolInfo) { SendMessage(TTM_SETTOOLINFO, 0, reinterpret_cast<LPARAM>(lpToolInfo)); }
  int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }

  void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, static_cast<WPARAM>(bActivate)); }
  void SetDelayTime(UINT nDelay) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, static_cast<LPARAM>(nDelay)); }
  void SetDelayTime(DWORD dwDuration, int iTime) { SendMessage(TTM_SETDELAYTIME, dwDuration, iTime); }
  int GetDelayTime(DWORD dwDuration) const { return static_cast<int>(SendMessage(TTM_GETDELAYTIME, dwDuration)); }
  void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }
  void Pop() { SendMessage(TTM_POP); }
  void Update() { SendMessage(TTM_UPDATE); }

 private:
  TOOLINFO ToolFor(CWnd* pWnd, UINT_PTR nIDTool) const;
};

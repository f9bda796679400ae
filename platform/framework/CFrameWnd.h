// Minimal frames, views and documents: the module's grids live in dialogs, so these exist for the code that
// asks for its frame, its active view or its document (which are then often null), and for the status
// texts that controls post as WM_SETMESSAGESTRING.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/framework/CWnd.h"

constexpr UINT WM_SETMESSAGESTRING = 0x0362;
constexpr UINT AFX_IDS_IDLEMESSAGE = 0xE001;

class CView;
struct CPrintSteps;
class CDocument;

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)

 public:
  CFrameWnd() = default;

  BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
              const RECT& rect = RECT{CW_USEDEFAULT, CW_USEDEFAULT, 0, 0}, CWnd* pParentWnd = nullptr);
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
  virtual CDocument* GetActiveDocument();
  // Shows a text in the status line (through WM_SETMESSAGESTRING, as controls do).
  void SetMessageText(LPCSTR lpszText);

 protected:
  afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

  CView* m_pViewActive = nullptr;
};

class CPrintInfo;

constexpr UINT ID_FILE_PRINT = 0xE107;
constexpr UINT ID_FILE_PRINT_DIRECT = 0xE108;
constexpr UINT ID_FILE_PRINT_PREVIEW = 0xE109;

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)

 public:
  CDocument* GetDocument() const { return m_pDocument; }
  virtual void OnDraw(CDC* pDC) = 0;

  // Printing: the print loop (CPrintInfo.h) calls these in order. Not printing here: the module never
  // prints, the grid's printing code runs through them.
  virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
  virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
  virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
  virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
  virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
  // Asks for the printer (the print dialog, or the application's printer when printing directly) and makes
  // the printer DC; FALSE when cancelled or no DC could be made.
  BOOL DoPreparePrinting(CPrintInfo* pInfo);
  afx_msg void OnFilePrint();
  // Shows the pages in the platform's print preview window (CPrintPreviewWnd.h), on the application's printer.
  afx_msg void OnFilePrintPreview();
  // The view's own printing steps, for the print loop and the preview.
  CPrintSteps PrintSteps();
  virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
  virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
  virtual void OnInitialUpdate();

 protected:
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()

  CDocument* m_pDocument = nullptr;
  BOOL m_bDirectPrint = FALSE;
  friend class CDocument;
};

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)

 public:
  ~CDocument() override;
  void AddView(CView* pView);
  void RemoveView(CView* pView);
  void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
  const std::vector<CView*>& Views() const { return m_views; }
  void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }
  BOOL IsModified() const { return m_bModified; }
  void SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle ? lpszTitle : ""; }
  const CString& GetTitle() const { return m_strTitle; }

 protected:
  std::vector<CView*> m_views;
  BOOL m_bModified = FALSE;
  CString m_strTitle;
};

namespace plat {
// Where status texts go (the host shows them; tests record them). Null drops them.
using StatusSink = std::function<void(const std::string&)>;
void SetStatusSink(StatusSink sink);
}  // namespace plat

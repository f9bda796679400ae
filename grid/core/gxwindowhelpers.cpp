#include "grid/core/gxwindowhelpers.h"

#include "platform/window/windowapi.h"

#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CWinApp.h"

CWnd* FindParentOfClass(CWnd* wnd, const CRuntimeClass* cls, BOOL evenIfIconic) {
  if (!wnd || !cls) return nullptr;
  for (CWnd* p = wnd->GetParent(); p; p = p->GetParent()) {
    if (!evenIfIconic && ::IsIconic(p->m_hWnd)) return nullptr;
    if (p->IsKindOf(cls)) return p;
  }
  return nullptr;
}

CView* GetActiveViewOfApp() {
  CWinApp* app = AfxGetApp();
  if (!app) return nullptr;
  CWnd* main = app->m_pMainWnd;
  if (!main || !main->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return nullptr;
  return static_cast<CFrameWnd*>(main)->GetActiveView();
}

#include "grid/core/gxwindowhelpers.h"

#include "platform/window/windowapi.h"

CWnd* FindParentOfClass(CWnd* wnd, const CRuntimeClass* cls, BOOL evenIfIconic) {
  if (!wnd || !cls) return nullptr;
  for (CWnd* p = wnd->GetParent(); p; p = p->GetParent()) {
    if (!evenIfIconic && ::IsIconic(p->m_hWnd)) return nullptr;
    if (p->IsKindOf(cls)) return p;
  }
  return nullptr;
}

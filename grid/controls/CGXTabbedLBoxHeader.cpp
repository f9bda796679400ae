#include "grid/controls/CGXTabbedLBoxHeader.h"

#include <algorithm>

#include "foundation/VisualStyles.h"
#include "grid/controls/GXTabbedRows.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXGridGlobals.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/window/windowapi.h"

namespace {
constexpr int kHeaderItem = 1, kNormal = 1, kHot = 2;
}  // namespace

CGXTabbedLBoxHeader::~CGXTabbedLBoxHeader() {
  if (m_hWnd) DestroyWindow();
}

BOOL CGXTabbedLBoxHeader::CreateHeaderWindow() {
  return CreateEx(WS_EX_TOOLWINDOW, CGXGridGlobals::Get().m_sPopupClassName, nullptr, WS_CHILD, 0, 0, 0, 0,
                  ::GetDesktopWindow(), nullptr);
}

void CGXTabbedLBoxHeader::Draw(CDC* dc, const CRect& client) {
  CThemeScope theme(m_hWnd, u"HEADER");
  if (theme.Themed())
    SafeDrawThemeBackground(theme.Theme(), dc->m_hDC, kHeaderItem, kNormal, &client, nullptr);
  else
    dc->FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
  dc->SetBkColor(GetSysColor(COLOR_BTNFACE));
  dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  CFont* oldFont = m_pFont ? dc->SelectObject(m_pFont) : nullptr;
  // The title walks like a row: the front field skipped when every column is shown.
  std::vector<CString> fields = SplitTabbedFields(m_strTitle);
  if (m_bShowAll && m_nTextCol > 0 && !fields.empty()) fields.erase(fields.begin());
  const std::vector<int> none;
  const std::vector<int>& edges = m_pRightEdges ? *m_pRightEdges : none;
  const int n = m_bShowAll ? std::min(m_nSeparators, static_cast<int>(edges.size())) : 0;
  for (int k = 0; k <= n; ++k) {
    const int left = k == 0 ? 0 : edges[static_cast<size_t>(k - 1)];
    const int right = k == n ? client.right : edges[static_cast<size_t>(k)] - 1;
    CRect item(left, client.top, right, client.bottom);
    if (theme.Themed())
      SafeDrawThemeBackground(theme.Theme(), dc->m_hDC, kHeaderItem, k == m_nTextCol ? kHot : kNormal, &item, nullptr);
    else
      ::DrawEdge(dc->m_hDC, &item, BDR_RAISEDINNER, BF_RECT);
    const CString title = k < static_cast<int>(fields.size()) ? fields[static_cast<size_t>(k)] : CString();
    HGLOBAL dib = GetTabbedBitmap(title);
    if (dib) {
      CRect inside = item;
      inside.DeflateRect(1, 1);
      CGXDIB::Draw(dc, dib, &inside, CGXDIB::natural, CGXDIB::hCenter | CGXDIB::vCenter);
    } else {
      dc->DrawText(title, &item, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
  }
  if (oldFont) dc->SelectObject(oldFont);
  dc->SetBkMode(oldMode);
}

LRESULT CGXTabbedLBoxHeader::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    Draw(&dc, client);
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

// The header bar over a dropped tabbed list: the title line's fields drawn as header items, one per list
// column, the text column's item hot when visual styles are on. Its window is a child of the desktop (a
// tool window placed in screen coordinates), created by its owner on the first drop-down with titles and
// then shown and hidden with the list.
#pragma once

#include <vector>

#include "platform/framework/CWnd.h"

class CFont;

class CGXTabbedLBoxHeader : public CWnd {
 public:
  CGXTabbedLBoxHeader() = default;
  ~CGXTabbedLBoxHeader() override;

  BOOL CreateHeaderWindow();

  // Set by the owner: the title line while it fills its list, the rest before each showing.
  CString m_strTitle;
  BOOL m_bShowAll = TRUE;
  int m_nTextCol = 0;
  int m_nSeparators = 0;
  const std::vector<int>* m_pRightEdges = nullptr;
  CFont* m_pFont = nullptr;

  // Draws the bar into the DC over the client rectangle (the WM_PAINT handler's body).
  void Draw(CDC* dc, const CRect& client);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

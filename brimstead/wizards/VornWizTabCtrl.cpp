#include "brimstead/wizards/VornWizTabCtrl.h"

#include "brimstead/wizards/AnchorLayout.h"
#include "brimstead/wizards/VornWizCtlBar.h"
#include "brimstead/wizards/VornWizard.h"
#include "brimstead/wizards/WizardResources.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CPropertyPage.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>

using namespace brimwiz;

BEGIN_MESSAGE_MAP(CVornWizTabCtrl, CModuleDialog)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_VSCROLL()
END_MESSAGE_MAP()
BEGIN_MESSAGE_MAP(CWizStepColumn, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_KEYDOWN()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

namespace {
const char* const kStepColumnClass = "BrimWizSteps";
}  // namespace

// ---- The step column's window --------------------------------------------------------------------------------

bool CWizStepColumn::Create(CWnd* parent, const CRect& rect) {
  WNDCLASS wc{};
  if (!::GetClassInfo(nullptr, kStepColumnClass, &wc)) {
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = ::DefWindowProc;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kStepColumnClass;
    if (!::RegisterClass(&wc))
      return false;
  }
  return CWnd::CreateEx(0, kStepColumnClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent, IDC_WIZ_STEPS) !=
         FALSE;
}

LRESULT CWizStepColumn::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETDLGCODE) {
    // The arrows move the mark; Enter takes the marked step instead of pressing the wizard's default button.
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
      return DLGC_WANTARROWS | DLGC_WANTMESSAGE;
    return DLGC_WANTARROWS;
  }
  CModuleScope scope;
  return CWnd::WindowProc(message, wParam, lParam);
}

void CWizStepColumn::OnPaint() {
  CPaintDC dc(this);
  m_List.DrawSteps(&dc);
}

BOOL CWizStepColumn::OnEraseBkgnd(CDC*) { return TRUE; }

void CWizStepColumn::OnLButtonDown(UINT, CPoint point) {
  // The column lies at the list's origin: its points are the list's.
  const int row = m_List.HitTest(point);
  if (row >= 0 && row < m_List.VisibleStepCount())
    m_List.ClickStep(m_List.StepOfVisibleRow(row));
}

void CWizStepColumn::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  switch (nChar) {
    case VK_UP:
    case VK_LEFT: m_List.MoveMark(-1); return;
    case VK_DOWN:
    case VK_RIGHT: m_List.MoveMark(1); return;
    case VK_HOME: m_List.MoveMark(-2); return;
    case VK_END: m_List.MoveMark(2); return;
    case VK_RETURN:
    case VK_SPACE: {
      // Selecting a step hands the focus to the list (and on to its page): the keyboard stays on the column.
      const HWND self = m_hWnd;
      if (m_List.ClickStep(m_List.GetMarkedStep()) && ::IsWindow(self) && ::IsWindowVisible(self))
        ::SetFocus(self);
      return;
    }
    default: CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
  }
}

void CWizStepColumn::OnSetFocus(CWnd* pOldWnd) {
  CWnd::OnSetFocus(pOldWnd);
  m_List.OnColumnFocus(true);
}

void CWizStepColumn::OnKillFocus(CWnd* pNewWnd) {
  CWnd::OnKillFocus(pNewWnd);
  m_List.OnColumnFocus(false);
}

// ---- The step list -----------------------------------------------------------------------------------------------

int CStepRows::RowAt(int y, int scrollPos) const {
  const int d = y - topMargin;
  if (d < 0 || lineHeight < 1)
    return -1;
  return d / lineHeight + scrollPos;
}

int CStepRows::ScrollToShow(int row, int pos, int rowsPerPage, int totalRows) {
  const int n = rowsPerPage;
  int p = pos;
  if (row >= p && row < p + n)
    return pos;
  if (row >= p + n) {
    p += n / 2;
    if (row >= p + n)
      p = row - n + 1;
  } else {
    p -= n / 2;
    if (row < p)
      p = row;
  }
  p = std::min(p, totalRows - n);
  return std::max(p, 0);
}

CVornWizTabCtrl::CVornWizTabCtrl(CVornWizard* owner, CWnd* parent)
    : CModuleDialog(IDD_WIZ_TABCTRL, parent),
      m_pOwner(owner),
      m_Colors{::GetSysColor(COLOR_BTNFACE), RGB(0, 0, 100),     RGB(0, 0, 0),
               RGB(192, 192, 192),           RGB(192, 192, 192), RGB(192, 192, 192)} {}

CVornWizTabCtrl::~CVornWizTabCtrl() {
  m_pLayout.reset();
  m_pColumn.reset();
  for (int i = 0; i < m_nStepCount; ++i) {
    delete m_Steps[i];
    m_Steps[i] = nullptr;
  }
  m_pButtonBar.reset();
  m_pScrollBar.reset();
}

BOOL CVornWizTabCtrl::OnInitDialog() {
  CDialog::OnInitDialog();
  CRect client;
  GetClientRect(&client);

  m_pButtonBar = std::make_unique<CVornWizCtlBar>(this);
  if (m_pButtonBar->Create(IDD_WIZ_CTLBAR, this)) {
    CRect bar;
    m_pButtonBar->GetWindowRect(&bar);
    m_pButtonBar->MoveWindow(m_nListWidth, client.bottom - bar.Height(), client.right - m_nListWidth, bar.Height());
    m_pButtonBar->ShowWindow(SW_SHOW);
  }

  m_pScrollBar = std::make_unique<CScrollBar>();
  if (m_pScrollBar->Create(WS_CHILD | SBS_VERT | SBS_RIGHTALIGN, CRect(m_nListWidth - 25, 0, m_nListWidth, client.bottom),
                           this, IDC_WIZ_SCROLLBAR)) {
    CRect bar;
    m_pScrollBar->GetWindowRect(&bar);
    m_nScrollBarWidth = bar.Width();
  }

  // Created after the button bar and before the pages: the tab order runs bar, steps, page.
  m_pColumn = std::make_unique<CWizStepColumn>(*this);
  if (!m_pColumn->Create(this, CRect(0, 0, std::max(m_nListWidth, 0), client.bottom)))
    m_pColumn.reset();
  PlaceColumn();

  m_pLayout = std::make_unique<CAnchorLayout>(this);
  m_pButtonBarEntry = m_pLayout->Add(m_pButtonBar.get(), AnchorLeft | AnchorRight | AnchorBottom);
  m_pScrollBarEntry = m_pLayout->Add(m_pScrollBar.get(), AnchorLeft | AnchorTop | AnchorBottom);
  m_pButtonBar->SetCallback(&CVornWizTabCtrl::BarEvent, this);
  return TRUE;
}

bool CVornWizTabCtrl::BarEvent(void* userData, int code, int argument) {
  return static_cast<CVornWizTabCtrl*>(userData)->OnWizardBarEvent(code, argument);
}

CRect CVornWizTabCtrl::PageArea() const {
  CRect client;
  GetClientRect(&client);
  int bottom = client.bottom;
  if (m_pButtonBar && m_pButtonBar->m_hWnd) {
    CRect bar;
    m_pButtonBar->GetWindowRect(&bar);
    ScreenToClient(&bar);
    bottom = bar.top;
  }
  return CRect(m_nListWidth, client.top, client.right, bottom);
}

CWizStepNode* CVornWizTabCtrl::AddStep(CPropertyPage* page, int pageId, LPCSTR name, LPCSTR header,
                                       CWizStepNode* parent, bool enabled, bool visible, int imageId) {
  // The list has room for 256 steps; a step beyond that would have no slot.
  if (m_nStepCount >= MaxSteps)
    return nullptr;
  auto step = std::make_unique<CWizStepNode>(this);
  step->SetName(name ? name : "");
  step->SetHeader(header ? header : "");
  step->SetParent(parent);
  step->SetEnabled(enabled);
  step->SetVisible(visible);
  if (imageId != -1) {
    auto image = std::make_unique<CBitmap>();
    if (image->LoadBitmap(static_cast<UINT>(imageId)))
      step->SetImage(std::move(image));
  }
  if (page) {
    if (!page->m_hWnd && !page->Create(static_cast<UINT>(pageId), this))
      return nullptr;
    // The page's controls take part in the wizard's one tab order.
    page->ModifyStyleEx(0, WS_EX_CONTROLPARENT);
    page->ShowWindow(SW_HIDE);
    page->MoveWindow(PageArea(), FALSE);
    step->SetPage(page);
    if (m_pLayout)
      m_pLayout->Add(page, AnchorLeft | AnchorTop | AnchorRight | AnchorBottom);
  }
  m_Steps[m_nStepCount++] = step.get();
  return step.release();
}

void CVornWizTabCtrl::RemoveStep(CPropertyPage* page) {
  for (int i = 0; i < m_nStepCount; ++i) {
    if (m_Steps[i]->GetPage() != page)
      continue;
    delete m_Steps[i];
    std::copy(m_Steps.begin() + i + 1, m_Steps.begin() + m_nStepCount, m_Steps.begin() + i);
    m_Steps[--m_nStepCount] = nullptr;
    return;
  }
}

CWizStepNode* CVornWizTabCtrl::GetStep(int index) const {
  return index >= 0 && index < m_nStepCount ? m_Steps[index] : nullptr;
}

CPropertyPage* CVornWizTabCtrl::GetPage(int index) const {
  CWizStepNode* step = GetStep(index);
  return step ? step->GetPage() : nullptr;
}

int CVornWizTabCtrl::FirstVisibleIndex() const {
  for (int i = 0; i < m_nStepCount; ++i)
    if (m_Steps[i]->IsVisible())
      return i;
  return 0;
}

int CVornWizTabCtrl::LastVisibleIndex() const {
  for (int i = m_nStepCount - 1; i >= 1; --i)
    if (m_Steps[i]->IsVisible())
      return i;
  return 0;
}

int CVornWizTabCtrl::LastEnabledIndex() const {
  for (int i = m_nStepCount - 1; i >= 1; --i)
    if (m_Steps[i]->IsEnabled())
      return i;
  return 0;
}

void CVornWizTabCtrl::UpdateNextButton() {
  if (!m_pButtonBar)
    return;
  if (m_nCurrent == LastVisibleIndex()) {
    m_pButtonBar->ShowNext(false);
    return;
  }
  m_pButtonBar->ShowNext(true);
  m_pButtonBar->EnableNext(m_nCurrent != LastEnabledIndex());
}

bool CVornWizTabCtrl::SelectStep(int index) { return MoveToStep(index, 0); }

std::vector<bool> CVornWizTabCtrl::HiddenSteps() const {
  std::vector<bool> hidden(static_cast<size_t>(m_nStepCount));
  for (int i = 0; i < m_nStepCount; ++i)
    hidden[static_cast<size_t>(i)] = !m_Steps[i]->IsVisible();
  return hidden;
}

int CVornWizTabCtrl::FirstShownStep(const std::vector<bool>& hidden, int first, int last) const {
  for (int i = std::max(first, 0); i <= last && i < m_nStepCount && i < static_cast<int>(hidden.size()); ++i)
    if ((hidden[static_cast<size_t>(i)] || m_Steps[i]->IsUnseen()) && m_Steps[i]->IsEnabled())
      return i;
  return -1;
}

bool CVornWizTabCtrl::MoveToStep(int index, int neighbour) {
  CWizStepNode* step = GetStep(index);
  if (!step || index == m_nCurrent)
    return false;
  CPropertyPage* oldPage = GetPage(m_nCurrent);
  const std::vector<bool> hidden = HiddenSteps();
  if (oldPage) {
    if (!oldPage->OnKillActive())
      return false;
    oldPage->ShowWindow(SW_HIDE);
  }
  if (neighbour != 0) {
    const int again = NeighbourStep(neighbour);
    if (GetStep(again) && again != m_nCurrent) {
      index = again;
      step = GetStep(index);
    }
  } else if (const int shown = FirstShownStep(hidden, m_nCurrent + 1, index - 1); shown >= 0) {
    index = shown;
    step = GetStep(index);
  }
  CPropertyPage* newPage = step->GetPage();
  if (newPage && !newPage->OnSetActive()) {
    // The page refused: the old page comes back, activated again, so the wizard is never left without a page.
    if (oldPage && oldPage->m_hWnd) {
      oldPage->OnSetActive();
      oldPage->ShowWindow(SW_SHOW);
    }
    return false;
  }
  m_nPrevious = m_nCurrent;
  m_nCurrent = index;
  m_nMarked = index;
  step->SetUnseen(false);
  if (newPage)
    newPage->ShowWindow(SW_SHOW);
  if (m_pButtonBar)
    m_pButtonBar->ShowBack(index != FirstVisibleIndex());
  UpdateNextButton();
  if (m_pOwner)
    m_pOwner->UpdateTitleBar();
  UpdateScrollBar();
  EnsureVisible(index);
  if (m_hWnd) {
    SetFocus();
    Invalidate();
  }
  return true;
}

int CVornWizTabCtrl::NeighbourStep(int step) const {
  if (step > 0) {
    for (int i = m_nCurrent + 1; i < MaxSteps; ++i)
      if (GetStep(i) && GetStep(i)->IsEnabled())
        return i;
    return MaxSteps;
  }
  for (int i = m_nCurrent - 1; i >= 1; --i)
    if (GetStep(i) && GetStep(i)->IsEnabled())
      return i;
  return 0;
}

bool CVornWizTabCtrl::NextStep() { return MoveToStep(NeighbourStep(1), 1); }

bool CVornWizTabCtrl::PreviousStep() { return MoveToStep(NeighbourStep(-1), -1); }

void CVornWizTabCtrl::GetStepColors(COLORREF* highlight, COLORREF* background, COLORREF* current,
                                    COLORREF* complete, COLORREF* disabled, COLORREF* incomplete) const {
  if (highlight) *highlight = m_Colors.highlight;
  if (background) *background = m_Colors.background;
  if (current) *current = m_Colors.current;
  if (complete) *complete = m_Colors.complete;
  if (disabled) *disabled = m_Colors.disabled;
  if (incomplete) *incomplete = m_Colors.incomplete;
}

void CVornWizTabCtrl::SetStepColors(COLORREF highlight, COLORREF background, COLORREF current, COLORREF complete,
                                    COLORREF disabled, COLORREF incomplete) {
  auto set = [](COLORREF& field, COLORREF value) {
    if (value != StepColorUnchanged)
      field = value;
  };
  set(m_Colors.highlight, highlight);
  set(m_Colors.background, background);
  set(m_Colors.current, current);
  set(m_Colors.complete, complete);
  set(m_Colors.disabled, disabled);
  if (incomplete == StepColorAsComplete)
    m_Colors.incomplete = m_Colors.complete;
  else
    set(m_Colors.incomplete, incomplete);
}

void CVornWizTabCtrl::GetGeometry(int* listWidth, int* leftMargin, int* topMargin, int* lineHeight) const {
  if (listWidth) *listWidth = m_nListWidth;
  if (leftMargin) *leftMargin = m_nLeftMargin;
  if (topMargin) *topMargin = m_nTopMargin;
  if (lineHeight) *lineHeight = m_nLineHeight;
}

void CVornWizTabCtrl::SetGeometry(int listWidth, int leftMargin, int topMargin, int lineHeight) {
  if (leftMargin >= 0)
    m_nLeftMargin = leftMargin;
  if (topMargin >= 0)
    m_nTopMargin = topMargin;
  if (lineHeight >= 1)
    m_nLineHeight = lineHeight;
  if (listWidth < 0 || listWidth == m_nListWidth)
    return;
  m_nListWidth = listWidth;
  if (!m_hWnd)
    return;
  if (m_pButtonBar && m_pButtonBar->m_hWnd) {
    CRect bar;
    m_pButtonBar->GetWindowRect(&bar);
    ScreenToClient(&bar);
    m_pButtonBar->MoveWindow(listWidth, bar.top, bar.right - listWidth, bar.Height());
    CAnchorLayout::Reset(m_pButtonBarEntry);
  }
  if (m_pScrollBar && m_pScrollBar->m_hWnd) {
    CRect bar;
    m_pScrollBar->GetWindowRect(&bar);
    ScreenToClient(&bar);
    m_pScrollBar->MoveWindow(listWidth - bar.Width(), bar.top, bar.Width(), bar.Height());
    CAnchorLayout::Reset(m_pScrollBarEntry);
  }
  if (m_pLayout)
    m_pLayout->Relayout();
  PlaceColumn();
  if (m_pButtonBar && m_pButtonBar->m_hWnd)
    m_pButtonBar->Invalidate();
}

bool CVornWizTabCtrl::ScrollBarShown() const {
  return m_pScrollBar && m_pScrollBar->m_hWnd && (m_pScrollBar->GetStyle() & WS_VISIBLE);
}

int CVornWizTabCtrl::ScrollPos() const { return ScrollBarShown() ? m_pScrollBar->GetScrollPos() : 0; }

int CVornWizTabCtrl::ColumnWidth() const {
  return ScrollBarShown() ? m_nListWidth - m_nScrollBarWidth : m_nListWidth;
}

int CVornWizTabCtrl::VisibleStepCount() const {
  int count = 0;
  for (int i = 0; i < m_nStepCount; ++i)
    if (m_Steps[i]->IsVisible())
      ++count;
  return count;
}

int CVornWizTabCtrl::VisibleRowOf(int index) const {
  int row = 0;
  for (int i = 0; i < index && i < m_nStepCount; ++i)
    if (m_Steps[i]->IsVisible())
      ++row;
  return row;
}

int CVornWizTabCtrl::StepOfVisibleRow(int row) const {
  for (int i = 0, seen = 0; i < m_nStepCount; ++i) {
    if (!m_Steps[i]->IsVisible())
      continue;
    if (seen++ == row)
      return i;
  }
  return -1;
}

int CVornWizTabCtrl::HitTest(CPoint point) const {
  if (point.x >= ColumnWidth())
    return -1;
  const int row = CStepRows{m_nTopMargin, m_nLineHeight}.RowAt(point.y, ScrollPos());
  return row >= 0 && row < m_nStepCount ? row : -1;
}

void CVornWizTabCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
  if (m_nListWidth > 0) {
    const int row = HitTest(point);
    if (row >= 0 && row < VisibleStepCount())
      ClickStep(StepOfVisibleRow(row));
  }
  if (m_hWnd)
    CDialog::OnLButtonDown(nFlags, point);
}

bool CVornWizTabCtrl::ClickStep(int index) {
  CWizStepNode* step = GetStep(index);
  if (m_nListWidth < 1 || index == m_nCurrent || !step || !step->IsVisible() || !step->IsEnabled())
    return false;
  if (m_pCallback && !m_pCallback(m_pUserData, WizEventStepClick, index))
    return false;
  return SelectStep(index);
}

void CVornWizTabCtrl::MoveMark(int how) {
  auto takes = [this](int i) { return m_Steps[i]->IsVisible() && m_Steps[i]->IsEnabled(); };
  int from = m_nMarked >= 0 && m_nMarked < m_nStepCount ? m_nMarked : m_nCurrent;
  int found = -1;
  if (how == -2 || how == 2) {
    for (int k = 0; k < m_nStepCount && found < 0; ++k) {
      const int i = how < 0 ? k : m_nStepCount - 1 - k;
      if (takes(i))
        found = i;
    }
  } else {
    for (int i = from + how; i >= 0 && i < m_nStepCount && found < 0; i += how)
      if (takes(i))
        found = i;
  }
  if (found < 0 || found == m_nMarked)
    return;
  m_nMarked = found;
  EnsureVisible(found);
  RedrawSteps();
}

void CVornWizTabCtrl::OnColumnFocus(bool gained) {
  // The mark starts on the current step each time the column takes the focus.
  if (gained)
    m_nMarked = m_nCurrent;
  RedrawSteps();
}

void CVornWizTabCtrl::PlaceColumn() {
  if (!m_pColumn || !m_pColumn->m_hWnd || !m_hWnd)
    return;
  CRect client;
  GetClientRect(&client);
  const bool shown = m_nListWidth > 0;
  const CRect wanted(0, 0, shown ? ColumnWidth() : 0, client.Height());
  CRect now;
  m_pColumn->GetWindowRect(&now);
  ScreenToClient(&now);
  const bool visible = (m_pColumn->GetStyle() & WS_VISIBLE) != 0;
  if (now == wanted && visible == shown)
    return;
  m_pColumn->SetWindowPos(nullptr, wanted.left, wanted.top, wanted.Width(), wanted.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CVornWizTabCtrl::UpdateScrollBar() {
  if (!m_pScrollBar || !m_pScrollBar->m_hWnd || !m_hWnd)
    return;
  if (m_nListWidth < 1) {
    if (ScrollBarShown())
      m_pScrollBar->ShowWindow(SW_HIDE);
    PlaceColumn();
    return;
  }
  CRect client;
  GetClientRect(&client);
  const int rowsPerPage = (client.Height() - 2 * m_nTopMargin) / m_nLineHeight;
  const int visible = VisibleStepCount();
  if (visible > rowsPerPage) {
    int pos = 0;
    if (ScrollBarShown())
      pos = m_pScrollBar->GetScrollPos();
    else
      m_pScrollBar->ShowWindow(SW_SHOW);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = visible - 1;
    info.nPage = static_cast<UINT>(std::max(rowsPerPage, 0));
    info.nPos = pos;
    m_pScrollBar->SetScrollInfo(&info, TRUE);
    m_nRowsPerPage = rowsPerPage;
    m_nScrollRows = visible;
  } else if (ScrollBarShown()) {
    m_pScrollBar->ShowWindow(SW_HIDE);
  }
  PlaceColumn();
}

void CVornWizTabCtrl::EnsureVisible(int index) {
  if (!ScrollBarShown())
    return;
  const int pos = m_pScrollBar->GetScrollPos();
  const int wanted = CStepRows::ScrollToShow(VisibleRowOf(index), pos, m_nRowsPerPage, m_nScrollRows);
  if (wanted != pos) {
    m_pScrollBar->SetScrollPos(wanted, TRUE);
    RedrawSteps();
  }
}

void CVornWizTabCtrl::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
  if (!ScrollBarShown()) {
    CDialog::OnVScroll(nSBCode, nPos, pScrollBar);
    return;
  }
  int pos = m_pScrollBar->GetScrollPos();
  switch (nSBCode) {
    case SB_LINEUP: --pos; break;
    case SB_LINEDOWN: ++pos; break;
    case SB_PAGEUP: pos -= m_nRowsPerPage; break;
    case SB_PAGEDOWN: pos += m_nRowsPerPage; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = static_cast<int>(nPos); break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = m_nScrollRows - 1; break;
    default: return;
  }
  if (pos + m_nRowsPerPage > m_nScrollRows)
    pos = m_nScrollRows - m_nRowsPerPage;
  pos = std::max(pos, 0);
  m_pScrollBar->SetScrollPos(pos, TRUE);
  RedrawSteps();
}

void CVornWizTabCtrl::DrawSteps(CDC* dc) {
  if (m_nListWidth < 1 || !m_hWnd)
    return;
  CRect client;
  GetClientRect(&client);
  const int column = ColumnWidth();
  dc->FillSolidRect(client.left, client.top, column - client.left, client.Height(), m_Colors.background);
  if (!GetCurrentStep())
    return;
  const int scroll = ScrollPos();
  const int currentRow = VisibleRowOf(m_nCurrent);
  dc->FillSolidRect(m_nLeftMargin, (currentRow - scroll) * m_nLineHeight + m_nTopMargin, column - m_nLeftMargin,
                    m_nLineHeight, m_Colors.highlight);

  LOGFONT lf{};
  if (CFont* font = GetFont())
    font->GetLogFont(&lf);
  CFont normal;
  normal.CreateFontIndirect(&lf);
  lf.lfWeight = FW_BOLD;
  CFont bold;
  bold.CreateFontIndirect(&lf);
  CFont* oldFont = dc->SelectObject(&normal);
  dc->SetBkMode(TRANSPARENT);
  const int textHeight = dc->GetTextExtent("Qwerty", 6).cy;
  int y = m_nTopMargin + (m_nLineHeight - textHeight) / 2;
  int row = 0;
  for (int i = 0; i < m_nStepCount; ++i) {
    const CWizStepNode* step = m_Steps[i];
    if (!step->IsVisible())
      continue;
    if (row++ < scroll)
      continue;
    const bool current = i == m_nCurrent;
    if (current) {
      dc->SetTextColor(m_Colors.current);
      dc->SelectObject(&bold);
    } else if (step->IsEnabled()) {
      dc->SetTextColor(step->IsComplete() ? m_Colors.complete : m_Colors.incomplete);
    } else {
      dc->SetTextColor(m_Colors.disabled);
    }
    dc->TextOut(m_nLeftMargin + (step->GetLevel() + 1) * 10, y, step->GetName());
    if (current)
      dc->SelectObject(&normal);
    y += m_nLineHeight;
  }
  dc->SelectObject(oldFont);
  // The keyboard's mark, while the column has the focus: a dotted frame just inside the marked step's band.
  const CWizStepNode* marked = GetStep(m_nMarked);
  if (m_pColumn && m_pColumn->m_hWnd && ::GetFocus() == m_pColumn->m_hWnd && marked && marked->IsVisible()) {
    const int markedRow = VisibleRowOf(m_nMarked) - scroll;
    if (markedRow >= 0) {
      CRect band(m_nLeftMargin, markedRow * m_nLineHeight + m_nTopMargin, column,
                 (markedRow + 1) * m_nLineHeight + m_nTopMargin);
      band.DeflateRect(1, 1);
      dc->DrawFocusRect(&band);
    }
  }
}

void CVornWizTabCtrl::RedrawSteps() {
  if (!m_hWnd)
    return;
  // The column's window covers the steps: they are drawn there.
  CWnd* target = m_pColumn && m_pColumn->m_hWnd ? static_cast<CWnd*>(m_pColumn.get()) : this;
  CClientDC dc(target);
  DrawSteps(&dc);
}

void CVornWizTabCtrl::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(m_nListWidth, client.top, client.right - m_nListWidth, client.Height(), m_Colors.highlight);
  UpdateScrollBar();
  if (m_pColumn && m_pColumn->m_hWnd)
    m_pColumn->Invalidate(FALSE);
  else
    DrawSteps(&dc);
}

BOOL CVornWizTabCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CVornWizTabCtrl::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  if (m_pLayout)
    m_pLayout->Relayout();
  PlaceColumn();
  if (m_pButtonBar && m_pButtonBar->m_hWnd)
    m_pButtonBar->Invalidate();
}

bool CVornWizTabCtrl::OnWizardBarEvent(int code, int argument) {
  CPropertyPage* page = GetPage(m_nCurrent);
  if (code == WizEventCancel && page)
    page->OnKillActive();   // stores the page's controls and refreshes its valid flag; the answer is not used
  bool answer = true;
  if (m_pCallback) {
    answer = m_pCallback(m_pUserData, code, argument);
    if (!answer)
      return false;
  }
  if (code != WizEventFinish && code != WizEventBack && code != WizEventNext)
    return answer;
  // The callback may have run foreign code (the host's Run may close the wizard): re-check the window and take
  // the page again.
  if (!m_hWnd)
    return false;
  page = GetPage(m_nCurrent);
  switch (code) {
    case WizEventFinish:
      return page ? page->OnWizardFinish() != FALSE : false;
    case WizEventBack: {
      if (!page)
        return false;
      const LRESULT result = page->OnWizardBack();
      if (result < 0)
        return false;
      if (result == 0)
        PreviousStep();
      return true;
    }
    case WizEventNext: {
      if (!page)
        return false;
      const LRESULT result = page->OnWizardNext();
      if (result < 0)
        return false;
      if (result == 0)
        NextStep();
      return true;
    }
    default:
      return answer;
  }
}

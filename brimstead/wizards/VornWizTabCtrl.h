// CVornWizTabCtrl: the step list window of the wizard frame. Its left column lists the visible steps (indented by
// nesting level, the current one bold on a highlight band, the others coloured by state); to the right of the
// column it holds the page windows, one shown at a time; along the bottom the button bar; at the column's right
// edge a vertical scroll bar shown when the steps do not fit.
//
// Moving between steps (SelectStep):
//   old page OnKillActive (false: stay) -> old page hidden -> (Next, Back: the neighbour found again) -> new page
//   OnSetActive (false: the old page comes
//   back, activated) -> new page shown -> Back/Next buttons -> title bar -> scrolled into view -> repaint.
// Button-bar codes and clicks on steps go to the frame's callback first; a false answer stops them.
//
// The column is a window of its own (CWizStepColumn), a tab stop between the button bar and the page: while it has
// the focus, a dotted frame marks one step, the arrow keys, Home and End move the mark over the enabled steps, and
// Enter or Space takes the marked step as a click on it would.
#pragma once

#include "brimstead/wizards/ModuleDialog.h"
#include "brimstead/wizards/WizStepNode.h"
#include "platform/framework/CScrollBar.h"

#include <array>
#include <memory>
#include <vector>

class CAnchorLayout;
struct CAnchorLayoutEntry;
class CVornWizard;
class CVornWizCtlBar;

// The step colours, in the order the colour operations take them.
struct CWizStepColors {
  COLORREF highlight;
  COLORREF background;
  COLORREF current;
  COLORREF complete;
  COLORREF disabled;
  COLORREF incomplete;
};

// Colour values with a meaning of their own in SetStepColors.
constexpr COLORREF StepColorUnchanged = static_cast<COLORREF>(-1);
constexpr COLORREF StepColorAsComplete = static_cast<COLORREF>(-2);   // the incomplete colour only

// Where the steps lie in the column: pure arithmetic, shared by painting, hit-testing and scrolling.
struct CStepRows {
  int topMargin = 10;
  int lineHeight = 25;
  // The row under client y, counting scrolled-away rows (-1 above the first row).
  int RowAt(int y, int scrollPos) const;
  // The new scroll position that shows visible row `row`: unchanged when p <= row < p + n; else half a page
  // further (and at least far enough to show it), within 0 .. total - n.
  static int ScrollToShow(int row, int pos, int rowsPerPage, int totalRows);
};

class CVornWizTabCtrl;

// The step column's window: it paints the steps of its list, hands clicks to it and takes the keys above.
class CWizStepColumn : public CWnd {
public:
  explicit CWizStepColumn(CVornWizTabCtrl& list) : m_List(list) {}
  bool Create(CWnd* parent, const CRect& rect);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  DECLARE_MESSAGE_MAP()

private:
  CVornWizTabCtrl& m_List;
};

class CVornWizTabCtrl : public brimwiz::CModuleDialog {
public:
  static constexpr int MaxSteps = 256;

  CVornWizTabCtrl(CVornWizard* owner, CWnd* parent);
  ~CVornWizTabCtrl() override;

  void SetCallback(WizardEventCallback callback, void* userData) {
    m_pCallback = callback;
    m_pUserData = userData;
  }

  // Null when the list is full (256 steps) or the page window cannot be made.
  CWizStepNode* AddStep(CPropertyPage* page, int pageId, LPCSTR name, LPCSTR header, CWizStepNode* parent,
                        bool enabled, bool visible, int imageId);
  // Deletes the step of `page` and closes the gap; the current index is left as it is.
  void RemoveStep(CPropertyPage* page);
  bool SelectStep(int index);
  // Whether each step is hidden now, by index; FirstShownStep answers the first step in `first` .. `last` that can
  // now be entered and was hidden in such a list or is unseen (-1 for none): a step that stored data showed or
  // filled anew, not seen since.
  std::vector<bool> HiddenSteps() const;
  int FirstShownStep(const std::vector<bool>& hidden, int first, int last) const;
  bool NextStep();
  bool PreviousStep();

  CWizStepNode* GetCurrentStep() const { return GetStep(m_nCurrent); }
  CWizStepNode* GetStep(int index) const;
  int GetStepCount() const { return m_nStepCount; }
  int GetCurrentIndex() const { return m_nCurrent; }
  int GetPreviousIndex() const { return m_nPrevious; }
  CPropertyPage* GetPage(int index) const;
  CVornWizCtlBar* GetButtonBar() const { return m_pButtonBar.get(); }
  CScrollBar* GetScrollBar() const { return m_pScrollBar.get(); }

  CWizStepColors GetStepColors() const { return m_Colors; }
  void GetStepColors(COLORREF* highlight, COLORREF* background, COLORREF* current, COLORREF* complete,
                     COLORREF* disabled, COLORREF* incomplete) const;
  void SetStepColors(COLORREF highlight, COLORREF background, COLORREF current, COLORREF complete,
                     COLORREF disabled, COLORREF incomplete);
  void GetGeometry(int* listWidth, int* leftMargin, int* topMargin, int* lineHeight) const;
  void SetGeometry(int listWidth, int leftMargin, int topMargin, int lineHeight);

  // The row of the visible step under the point, counting from the first visible step; -1 for none.
  int HitTest(CPoint point) const;
  // The step index of the row-th visible step; -1 when there is none.
  int StepOfVisibleRow(int row) const;
  // The number of visible steps before `index`.
  int VisibleRowOf(int index) const;
  int VisibleStepCount() const;
  void EnsureVisible(int index);
  void UpdateScrollBar();
  // Draws the step column into any device context.
  void DrawSteps(CDC* dc);
  void RedrawSteps();

  bool OnWizardBarEvent(int code, int argument);

  // The step column's window (null before the list is initialised).
  CWizStepColumn* GetStepColumn() const { return m_pColumn.get(); }
  // The step the keyboard's mark is on; -1 when none.
  int GetMarkedStep() const { return m_nMarked; }
  // Moves the mark to the previous (-1) or next (+1) enabled visible step, or to the first (-2) or last (+2); the
  // mark stays where it is when there is none that way.
  void MoveMark(int how);
  // What a click on the step does: nothing for the current or a disabled step, else the frame's callback is asked
  // and the step selected when it agrees. Answers whether the step was selected.
  bool ClickStep(int index);

  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  DECLARE_MESSAGE_MAP()

private:
  friend class CWizStepColumn;
  static bool BarEvent(void* userData, int code, int argument);
  // Fits the column's window to the column (narrower while the scroll bar shows; hidden without a column).
  void PlaceColumn();
  void OnColumnFocus(bool gained);
  bool ScrollBarShown() const;
  int ScrollPos() const;
  int ColumnWidth() const;
  int FirstVisibleIndex() const;
  int LastVisibleIndex() const;
  int LastEnabledIndex() const;
  // The first enabled step after (step +1) or before (step -1) the current one; MaxSteps after, 0 before, for none.
  int NeighbourStep(int step) const;
  // SelectStep(index); with `neighbour`, the step is that neighbour again as the wizard stands once the old page
  // stored its data (which may show or hide steps, as a board chosen on the board page does). A jump to a later
  // step lands on the first step before it that the stored data showed or left unseen.
  bool MoveToStep(int index, int neighbour);
  void UpdateNextButton();
  CRect PageArea() const;

  WizardEventCallback m_pCallback = nullptr;
  void* m_pUserData = nullptr;
  std::unique_ptr<CAnchorLayout> m_pLayout;
  CAnchorLayoutEntry* m_pButtonBarEntry = nullptr;
  CAnchorLayoutEntry* m_pScrollBarEntry = nullptr;
  CVornWizard* m_pOwner;
  int m_nLeftMargin = 10;
  int m_nTopMargin = 10;
  int m_nLineHeight = 25;
  int m_nListWidth = 150;
  CWizStepColors m_Colors;
  int m_nScrollBarWidth = 0;
  int m_nRowsPerPage = 0;
  int m_nScrollRows = 0;
  int m_nStepCount = 0;
  int m_nCurrent = -1;
  int m_nPrevious = -1;
  std::array<CWizStepNode*, MaxSteps> m_Steps{};
  std::unique_ptr<CVornWizCtlBar> m_pButtonBar;
  std::unique_ptr<CScrollBar> m_pScrollBar;
  std::unique_ptr<CWizStepColumn> m_pColumn;
  int m_nMarked = -1;
};

// A month calendar drawn by itself: a title with the month and year and arrow buttons, a bar of weekday
// names and six rows of seven day boxes. The user moves a highlighted day with the keyboard and the mouse,
// selects days with the right button and scrolls by days, weeks, months and years; the parent learns of it
// by posted messages (2005 highlight, 2006 selection, 2007 chosen, 2008 cancelled). The popup form sizes
// itself to its content, opens beside an anchor rectangle inside the monitor's work area and hides after a
// choice or a cancellation.
//
// Every date the calendar keeps or compares is normalised to 12:00 of its day.
#pragma once

#include "platform/base/COleDateTime.h"
#include <vector>

#include "platform/base/CString.h"
#include "platform/framework/CButton.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CFont.h"

class CDC;
class CGXBCalendar;

// Notifications posted to the calendar's notify window.
constexpr UINT GX_WM_CAL_HIGHLIGHT = 2005, GX_WM_CAL_SELECT = 2006, GX_WM_CAL_CHOSEN = 2007,
               GX_WM_CAL_CANCELLED = 2008;
// The title buttons' commands (and the grid texts of their captions).
constexpr UINT GX_IDS_CAL_NEXTMONTH = 20029, GX_IDS_CAL_PREVYEAR = 20030, GX_IDS_CAL_NEXTYEAR = 20031,
               GX_IDS_CAL_PREVMONTH = 20032;

// A rectangle of the calendar that draws itself: outer frame, bevel, selection frame, interior and text.
class CGXBPanel : public CObject {
  DECLARE_DYNCREATE(CGXBPanel)

 public:
  // Style word.
  static constexpr DWORD kBevelHighlighted = 0x2, kBevelNormal = 0x4, kFrameHighlighted = 0x8, kFrameNormal = 0x10,
                         kSelectHighlighted = 0x20, kSelectNormal = 0x40, kCentred = 0x80, kGreyOtherMonth = 0x100,
                         kLongMonthNames = 0x10000000, kLongDayNames = 0x20000000;

  CGXBPanel();

  BOOL Create(CGXBCalendar* calendar, DWORD style, DWORD flags, int bevel);
  BOOL IsCreated() const { return m_bCreated; }

  virtual void DrawSelectionFrame(CDC* dc);
  virtual void Draw(CDC* dc);
  virtual void DrawBevel(CDC* dc);
  virtual void DrawOuterFrame(CDC* dc);
  virtual void FillInterior(CDC* dc);
  virtual void DrawText(CDC* dc);

  void SetStyle(DWORD style);
  DWORD GetStyle() const { return m_dwStyle; }
  void SetFlags(DWORD flags);
  DWORD GetFlags() const { return m_dwFlags; }
  void SetBevelWidth(int width);
  void SetHighlight(BOOL on);
  BOOL IsHighlighted() const { return m_bHighlighted; }
  void SetSelected(BOOL on);
  BOOL IsSelected() const { return m_bSelected; }
  BOOL CanHighlight() const { return (m_dwFlags & 0x4000) != 0; }
  BOOL CanSelect() const { return (m_dwFlags & 0x8000) != 0; }
  void SetRect(const CRect& r) { m_rect = r; }
  const CRect& GetRect() const { return m_rect; }
  // The pixels the panel paints: its rectangle with the right and bottom edges one pixel outward.
  CRect GetPaintRect() const { return CRect(m_rect.left, m_rect.top, m_rect.right + 1, m_rect.bottom + 1); }
  void SetText(const CString& text) { m_strText = text; }
  const CString& GetText() const { return m_strText; }
  void SetTextColors(COLORREF text, COLORREF grey) { m_crText = text, m_crGrey = grey; }
  int GetInset(int index);
  CRect GetInterior();

 protected:
  void ComputeInsets();
  void DrawBand(CDC* dc, int from, int to, COLORREF topLeft, COLORREF bottomRight);

  CGXBCalendar* m_pCalendar = nullptr;
  DWORD m_dwFlags = 0;
  DWORD m_dwStyle = 0x17F;
  CString m_strText;
  CRect m_rect;
  int m_nBevel = 3;
  BOOL m_bHighlighted = FALSE;
  BOOL m_bSelected = FALSE;
  COLORREF m_crFrame = RGB(0, 0, 0);
  COLORREF m_crSelect = RGB(255, 0, 0);
  COLORREF m_crText = RGB(0, 0, 0);
  COLORREF m_crGrey = RGB(128, 128, 128);
  int m_insets[4] = {0, 0, 0, 0};
  BOOL m_bInsetsDirty = TRUE;
  BOOL m_bCreated = FALSE;
  BOOL m_bThemed = FALSE;  // the last Draw went through the visual styles
};

class CGXBCalTitle : public CGXBPanel {
  DECLARE_DYNCREATE(CGXBCalTitle)

 public:
  CGXBCalTitle();
  ~CGXBCalTitle() override;
  // The four buttons as hidden children of the calendar; shown by the year and month counts.
  BOOL CreateButtons(BOOL yearButtons, BOOL monthButtons);
  void Draw(CDC* dc) override;
  virtual void SetTitleRect(const CRect& r);
  virtual void SetTitleDate(const COleDateTime& date);
  BOOL AnyButtonShown() const { return m_nYearShow > 0 || m_nMonthShow > 0; }
  CButton* GetButton(UINT command);
  void DestroyButtons();

  int m_nYearShow = 1, m_nMonthShow = 1;

 private:
  CButton m_prevYear, m_prevMonth, m_nextMonth, m_nextYear;
};

class CGXBDayBar : public CGXBPanel {
 public:
  void DrawText(CDC* dc) override;
  int m_nFirstDay = 1;  // 1 Sunday .. 7 Saturday
};

class CGXBDayBox : public CGXBPanel {
  DECLARE_DYNCREATE(CGXBDayBox)

 public:
  void DrawText(CDC* dc) override;
  void SetOtherMonth(BOOL other);
  BOOL IsOtherMonth() const { return m_bOtherMonth; }
  void SetDate(const COleDateTime& date) {
    m_bDateChanged = !(date == m_date);
    m_date = date;
  }
  const COleDateTime& GetDate() const { return m_date; }

 private:
  COleDateTime m_date{0.0};
  BOOL m_bOtherMonth = FALSE;
  BOOL m_bDateChanged = FALSE;
};

class CGXBCalendar : public CWnd {
  DECLARE_DYNCREATE(CGXBCalendar)

 public:
  // Behaviour flags.
  static constexpr DWORD kChooseOnRelease = 0x100, kKeepMonthOnOtherDay = 0x200, kHighlightable = 0x4000,
                         kSelectable = 0x8000, kFitFonts = 0x10000, kSizeToContent = 0x20000,
                         kChooseOnHighlight = 0x40000, kMonthButtons = 0x80000, kYearButtons = 0x100000,
                         kKeyboard = 0x200000, kLockMonth = 0x400000, kSizingBorders = 0x800000,
                         kTrackClick = 0x1000000;
  static constexpr int kDayBoxes = 42;

  CGXBCalendar();
  ~CGXBCalendar() override;

  using CWnd::Create;
  virtual BOOL Create(DWORD style, RECT& rect, CWnd* parent, UINT id, void* context = nullptr);
  virtual BOOL NextDay(BOOL highlight);
  virtual BOOL PrevDay(BOOL highlight);
  virtual BOOL NextWeek(BOOL highlight);
  virtual BOOL PrevWeek(BOOL highlight);
  virtual BOOL NextMonth(BOOL highlight);
  virtual BOOL PrevMonth(BOOL highlight);
  virtual BOOL NextYear(BOOL highlight);
  virtual BOOL PrevYear(BOOL highlight);
  virtual BOOL MoveHighlight(const CTimeSpan& span);
  virtual BOOL MoveHighlight(const COleDateTimeSpan& span);
  virtual BOOL ScrollBy(const CTimeSpan& span);
  virtual BOOL ScrollBy(const COleDateTimeSpan& span);
  virtual BOOL SelectDate(const CTime& date, BOOL select);
  virtual BOOL SelectDate(const COleDateTime& date, BOOL select);
  virtual BOOL HighlightDate(const CTime& date, BOOL highlight);
  virtual BOOL HighlightDate(COleDateTime date, BOOL highlight);
  virtual BOOL ToggleHighlight(const CTime& date);
  virtual BOOL ToggleHighlight(const COleDateTime& date);
  virtual BOOL ToggleSelection(const CTime& date);
  virtual BOOL ToggleSelection(const COleDateTime& date);
  virtual BOOL IsValidMonth(int year, int month, int day);
  virtual void LoadSysColors();
  virtual void OnInvalidDate();
  virtual UINT GetClassStyle() { return CS_DBLCLKS; }

  BOOL SetDisplayDate(const COleDateTime& date, BOOL repaint);
  const COleDateTime& GetDisplayDate() const { return m_displayDate; }
  // The current day box's date; an invalid date when no day was ever highlighted.
  COleDateTime GetHighlightedDate() const;
  DWORD GetCalendarFlags() const { return m_dwFlags; }
  BOOL SetCalendarFlags(DWORD flags) {
    m_dwFlags = flags;
    return TRUE;
  }
  DWORD GetOtherMonthStyle() const { return m_dwOtherMonthStyle; }
  BOOL SetOtherMonthStyle(DWORD style) {
    m_dwOtherMonthStyle = style;
    return TRUE;
  }
  DWORD GetInMonthStyle() const { return m_dwInMonthStyle; }
  void SetInMonthStyle(DWORD style) { m_dwInMonthStyle = style; }

  static COleDateTime NormalizeDate(const COleDateTime& date);
  static BOOL GetLocaleDayName(CString& out, int day, BOOL longName);
  static BOOL GetLocaleMonthName(CString& out, int month, BOOL longName);

  // Inspection.
  CGXBDayBox* GetDayBox(int index) { return &m_days[index]; }
  CGXBDayBox* GetCurrentDayBox() const { return m_pCurrent; }
  CGXBCalTitle& GetTitle() { return m_title; }
  CGXBDayBar& GetDayBar() { return m_dayBar; }
  int GetSelectedCount() const { return static_cast<int>(m_selected.size()); }
  COleDateTime GetSelectedDate(int index) const { return m_selected[index]; }
  CFont& GetTitleFont() { return m_titleFont; }
  CFont& GetDayBarFont() { return m_dayBarFont; }
  CFont& GetDayFont() { return m_dayFont; }
  CGXBDayBox* DayBoxAt(CPoint point);
  // The content size for the fonts as they are (the panels measured in `dc`).
  CSize ComputeSize(CDC* dc);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL CreateWindowPart(DWORD style, const RECT& rect, CWnd* parent, UINT id, void* context);
  void LayoutPanels();
  void LayoutDays();
  void FitFonts(CDC* dc);
  void Report(UINT message, WPARAM wParam, LPARAM lParam);
  void Notify(UINT message, WPARAM wParam, LPARAM lParam);
  void ClickDayBox(CGXBDayBox* box);
  void Paint(CDC* dc);
  void OnKeyDown(UINT key);
  BOOL StepMonthOrYear(BOOL highlight, const COleDateTime& target, const COleDateTime& base);
  COleDateTime StepBase(BOOL highlight) const;
  void RestoreSavedHighlight();

  CGXBDayBar m_dayBar;
  CGXBCalTitle m_title;
  CGXBDayBox m_days[kDayBoxes];
  COleDateTime m_displayDate{0.0};
  COleDateTime m_highlightDate;
  BOOL m_bHighlight = FALSE;
  COleDateTime m_anchorDate;
  CGXBDayBox* m_pCurrent = nullptr;
  std::vector<COleDateTime> m_selected;  // ascending, without repeats
  BOOL m_bTracking = FALSE;
  BOOL m_bSavedHighlight = FALSE;
  COleDateTime m_savedHighlight;
  BOOL m_bCreated = FALSE;
  CWnd* m_pNotify = nullptr;
  int m_nBevel = 2;
  CFont m_titleFont, m_dayBarFont, m_dayFont;
  LOGFONT m_lfTitle{}, m_lfDayBar{}, m_lfDay{};
  COLORREF m_crText = 0, m_crGrey = 0;
  DWORD m_dwFlags = 0x39C000;
  DWORD m_dwInMonthStyle = 0x1000017F;
  DWORD m_dwOtherMonthStyle = 0x101;
};

class CGXBPopupCalendar : public CGXBCalendar {
  DECLARE_DYNCREATE(CGXBPopupCalendar)

 public:
  CGXBPopupCalendar();
  UINT GetClassStyle() override { return CS_DBLCLKS | CS_SAVEBITS; }
  // anchor: screen rectangle beside which the popup opens (below it, or above at the work area's bottom).
  virtual BOOL CreatePopup(DWORD style, const RECT& anchor, CWnd* parent, void* context = nullptr);
  // 1: losing activation accepts the current day; 2: it cancels. Returns the previous mode.
  int SetDeactivateMode(int mode);
  int GetDeactivateMode() const { return m_bAcceptOnDeactivate ? 1 : 2; }
  BOOL m_bAutoDelete = FALSE;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;
  BOOL m_bAcceptOnDeactivate = TRUE;
};

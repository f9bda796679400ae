// The parts of the date-time window: light objects (not windows) that own a rectangle of the window, measure
// and draw themselves and take the keys, characters, mouse events and timer ticks the window passes on. A
// gadget never changes the value: it reports each wanted change to its window (OnGadgetNotify) and shows the
// field value the window gives back. Five kinds: literal text, a numeric field, a list of names, the spin
// buttons and the drop-down button.
#pragma once

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/CStringArray.h"
#include "platform/gdi/CBitmap.h"

class CDC;
class CGXBDateTimeCtrl;

// The owner's reports (OnGadgetNotify codes).
enum : UINT {
  GXDT_UP = 1, GXDT_DOWN, GXDT_UP_STEP, GXDT_DOWN_STEP, GXDT_CLICKED, GXDT_ACCEPTS, GXDT_SET, GXDT_FIRST, GXDT_LAST,
  GXDT_TYPING, GXDT_COMPLETE
};

class CGXBDTGadget : public CObject {
  DECLARE_DYNAMIC(CGXBDTGadget)

 public:
  static constexpr UINT kEditable = 1, kTakesMouse = 2, kFixed = 4;

  ~CGXBDTGadget() override;

  virtual void CalcSize(CDC& dc) = 0;
  virtual void Draw(CDC& dc) = 0;
  virtual BOOL SetActive(BOOL active);
  virtual void OnKeyDown(UINT) {}
  virtual void OnChar(UINT) {}
  virtual void OnLButtonDown(UINT, CPoint) {}
  virtual void OnLButtonUp(UINT, CPoint) {}
  virtual void OnMouseMove(UINT, CPoint) {}
  virtual void OnCancelMode() {}
  virtual void OnTimer() {}
  virtual void OnSysColorChange() {}

  const CRect& GetRect() const { return m_rect; }
  void SetRect(const CRect& r) { m_rect = r; }
  BOOL IsActive() const { return m_bActive; }
  UINT GetFlags() const { return m_nFlags; }
  void SetFlags(UINT flags) { m_nFlags = flags; }
  BOOL IsEditable() const { return (m_nFlags & kEditable) != 0; }
  BOOL TakesMouse() const { return (m_nFlags & kTakesMouse) != 0; }
  BOOL IsFixed() const { return (m_nFlags & kFixed) != 0; }
  int GetFieldId() const { return m_nFieldId; }
  void SetFieldId(int id) { m_nFieldId = id; }
  int GetValue() const { return m_nValue; }
  // The value the window gives back; redraws the gadget when asked.
  void SetValue(int value, BOOL redraw);
  void SetOwner(CGXBDateTimeCtrl* owner) { m_pOwner = owner; }
  CGXBDateTimeCtrl* GetOwner() const { return m_pOwner; }
  // The text a field shows (the cell control reads it for display texts and searches).
  virtual CString GetText() const { return CString(); }

  // Gadget timers run without a window; their ticks reach the gadget through a process-wide map.
  BOOL StartTimer(UINT ms);
  void StopTimer();
  BOOL HasTimer() const;

 protected:
  BOOL Notify(UINT code, int value = 0);
  // End, Home, Up (or +) and Down (or -) as reports 9, 8, 1 and 2.
  BOOL NotifyStepKey(UINT key);
  void Redraw();
  // Measures a text as the window's gadgets do (DT_CALCRECT on an emptied rectangle).
  static CSize MeasureText(CDC& dc, const CString& text);
  void DrawFieldText(CDC& dc, const CString& text);

  CRect m_rect;
  BOOL m_bActive = FALSE;
  UINT m_nFlags = kEditable;
  int m_nFieldId = -1;
  int m_nValue = 0;
  CGXBDateTimeCtrl* m_pOwner = nullptr;
};

class CGXBDTStaticGadget : public CGXBDTGadget {
  DECLARE_DYNAMIC(CGXBDTStaticGadget)

 public:
  CGXBDTStaticGadget() { m_nFlags = 0; }
  void Init(CGXBDateTimeCtrl* owner, const CString& text, int fieldId = -1);
  CString GetText() const override { return m_strText; }
  void CalcSize(CDC& dc) override;
  void Draw(CDC& dc) override;

 private:
  CString m_strText;
};

class CGXBDTNumericGadget : public CGXBDTGadget {
  DECLARE_DYNAMIC(CGXBDTNumericGadget)

 public:
  void Init(CGXBDateTimeCtrl* owner, int minimum, int maximum, int value, BOOL leadingZeros, int fieldId);
  CString GetText() const override;
  void CalcSize(CDC& dc) override;
  void Draw(CDC& dc) override;
  BOOL SetActive(BOOL active) override;
  void OnKeyDown(UINT key) override;
  void OnChar(UINT ch) override;
  void OnCancelMode() override;
  BOOL IsTyping() const { return m_nTypedCount > 0; }
  int GetWidthInDigits() const { return m_nDigits; }
  BOOL HasLeadingZeros() const { return m_bLeadingZeros; }
  // Ends typing: the typed value when the window accepts it.
  BOOL Commit();

 private:
  CString Format(int value) const;
  int m_nMin = 0, m_nMax = 0, m_nDigits = 1;
  int m_nTyped = 0, m_nTypedCount = 0;
  BOOL m_bLeadingZeros = FALSE;
};

class CGXBDTListGadget : public CGXBDTGadget {
  DECLARE_DYNAMIC(CGXBDTListGadget)

 public:
  static constexpr UINT kTypeAheadMs = 2000;
  void Init(CGXBDateTimeCtrl* owner, const CStringArray& entries, int value, int fieldId);
  CString GetText() const override;
  void CalcSize(CDC& dc) override;
  void Draw(CDC& dc) override;
  BOOL SetActive(BOOL active) override;
  void OnKeyDown(UINT key) override;
  void OnChar(UINT ch) override;
  void OnTimer() override;
  // The first entry from `start` (wrapping once) that begins with `prefix` and that the window accepts; the
  // window is then told to show it. -1 when none.
  int FindEntry(const CString& prefix, int start);
  const CString& GetPrefix() const { return m_strPrefix; }
  int GetEntryCount() const { return static_cast<int>(m_entries.GetSize()); }

 private:
  void EndTypeAhead();
  CStringArray m_entries;
  char m_pending[3] = {0, 0, 0};
  CString m_strPrefix;
  BOOL m_bTimer = FALSE;
};

class CGXBDTSpinGadget : public CGXBDTGadget {
  DECLARE_DYNAMIC(CGXBDTSpinGadget)

 public:
  static constexpr UINT kUpPressed = 1, kDownPressed = 2, kUpCaptured = 4, kDownCaptured = 8, kTimerOn = 16,
                        kFirstDelay = 32;
  CGXBDTSpinGadget() { m_nFlags = kTakesMouse; }
  void CalcSize(CDC& dc) override;
  void Draw(CDC& dc) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnCancelMode() override;
  void OnTimer() override;
  virtual UINT GetInitialDelay();
  virtual UINT GetRepeatDelay();
  UINT GetState() const { return m_nState; }
  // The classic arrow's rows for a button of this height (the base is 2 rows - 1 pixels).
  static int ArrowRows(int height);
  // The spin buttons drawn into a rectangle (also for cells that are not edited).
  static void DrawSpin(CDC& dc, const CRect& rect, UINT state);

 private:
  void Release();
  UINT m_nState = 0;
  int m_nRepeat = 0;
};

class CGXBDTButtonGadget : public CGXBDTGadget {
  DECLARE_DYNAMIC(CGXBDTButtonGadget)

 public:
  static constexpr UINT kCaptured = 1, kPressed = 2;
  CGXBDTButtonGadget() { m_nFlags = kTakesMouse; }
  BOOL Init(CGXBDateTimeCtrl* owner, UINT bitmapId, int fieldId);
  void CalcSize(CDC& dc) override;
  void Draw(CDC& dc) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnCancelMode() override;
  void OnSysColorChange() override;
  UINT GetState() const { return m_nState; }
  // The drop-down button drawn into a rectangle with a bitmap (also for cells that are not edited).
  static void DrawButton(CDC& dc, const CRect& rect, BOOL pressed, CBitmap* bitmap);

 private:
  UINT m_nState = 0;
  CBitmap m_bitmap;
  UINT m_nBitmapId = 0;
};

// The grid library's process-wide state: the installed feature implementations, the number separators
// and the objects deleted at shut-down.
//
// An implementation is installed once per process by its Install... function, kept here and owned by the
// auto-delete list; an operation whose implementation is not installed does nothing and answers 0, FALSE
// or an empty text.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/base/CString.h"
#include "platform/base/wintypes.h"

class CGXAbstractControlFactory;
class CGXGridCore;
class CGXAbstractNumberFormattingImp;
class CGXAbstractStyleSerializeImp;
class CGXAbstractStyleCompareSubsetImp;
class CGXAbstractGridDocSerializeImp;
class CGXAbstractGridParamCopyOperatorImp;
class CGXAbstractSpanCellPoolImp;
class CGXAbstractDelayedRangePoolImp;
class CGXAbstractPrintDeviceImp;
class CGXAbstractGridProfileImp;
class CGXAbstractCoveredCellPoolImp;
class CGXAbstractDataCopyMoveCellsImp;
class CGXAbstractGridSortMoveDataImp;
class CGXAbstractGridPrintImp;
class CGXAbstractDateTimeImp;
class CGXAbstractLongOperationImp;
class CGXStyle;
class CTime;
struct tm;

// The common base of every installed implementation, so that one list can own them all.
class CGXImpBase {
 public:
  virtual ~CGXImpBase() = default;
};

class CWnd;

// The start-up hook: told about every grid as its initialisation ends, with the grid window, the parameter
// object's name and whether that name is non-empty.
class CGXGridInitHook : public CGXImpBase {
 public:
  virtual void OnGridInitialized(CWnd* gridWnd, const CString& name, BOOL hasName) = 0;
};

// An observer of the cells that grids make current: told when a grid's control is bound to a cell and
// when a grid gains the focus (it asks the grid for its current cell). The module installs none.
class CGXGridCellObserver : public CGXImpBase {
 public:
  virtual void OnCurrentCellNotice(CGXGridCore* grid) = 0;
};

// The process-wide sheet-tab interface: reads and sets the name of the tab that shows a sheet window (the
// first sheet-tab window created installs one; grids ask it when a tab was renamed).
class CGXAbstractTabWndInterface : public CGXImpBase {
 public:
  // Sets (bSet) or reads the name of the sheet's tab in the tab window that is its parent; FALSE when the
  // sheet is in none.
  virtual BOOL TabName(CWnd* sheet, CString& name, BOOL bSet) = 0;
  // The name of tab `index` in the tab window that holds the sheet; empty when there is none.
  virtual void GetTabName(CString& result, CWnd* sheet, int index) = 0;
};

class CGXGridGlobals {
 public:
  static CGXGridGlobals& Get();

  // The object is deleted at shut-down, newest first.
  void AddToAutoDeleteList(CGXImpBase* object);

  CGXAbstractNumberFormattingImp* m_pNumberFormattingImp = nullptr;
  CGXAbstractStyleSerializeImp* m_pStyleSerializeImp = nullptr;
  CGXAbstractStyleCompareSubsetImp* m_pStyleCompareSubsetImp = nullptr;
  CGXAbstractGridDocSerializeImp* m_pDocSerializeImp = nullptr;
  CGXAbstractGridParamCopyOperatorImp* m_pParamCopyOperatorImp = nullptr;
  CGXAbstractSpanCellPoolImp* m_pSpanCellPoolImp = nullptr;
  CGXAbstractDelayedRangePoolImp* m_pDelayedRangePoolImp = nullptr;
  CGXAbstractPrintDeviceImp* m_pPrintDeviceImp = nullptr;
  CGXImpBase* m_pSerializeCompatImp = nullptr;
  CGXAbstractGridProfileImp* m_pProfileImp = nullptr;
  CGXAbstractCoveredCellPoolImp* m_pCoveredCellPoolImp = nullptr;
  CGXAbstractDataCopyMoveCellsImp* m_pDataCopyMoveCellsImp = nullptr;
  CGXAbstractDateTimeImp* m_pDateTimeImp = nullptr;  // refreshed at the end of start-up
  CGXAbstractLongOperationImp* m_pLongOperationImp = nullptr;  // progress and abort of long loops
  CGXAbstractGridSortMoveDataImp* m_pSortMoveDataImp = nullptr;  // reads user attributes of styles of schema 4 or lower

  // The print feature of a grid, answered by the grid engine once grids carry one; null until then (the
  // properties' print forwarders then do nothing).
  CGXAbstractGridPrintImp* (*m_pfnGetGridPrintImp)(CGXGridCore* grid) = nullptr;

  // The two switches copied into each new parameter object, and the third that, with the first, draws
  // the standard header styles without border lines. All 0 after start-up.
  BOOL m_bSwitch1 = FALSE;
  BOOL m_bSwitch2 = FALSE;
  BOOL m_bSwitch3 = FALSE;

  char m_cDecimalSeparator = '.';
  char m_cThousandSeparator = ',';
  BOOL m_bFollowLocale = FALSE;
  // After a settings change: with the follow-locale switch set, both separators are read again from the
  // user locale and the C runtime's numeric locale becomes the user's; otherwise nothing changes.
  void RefreshLocaleSettings();
  BOOL m_bPopupActive = FALSE;
  // The two optional cell observers (not owned: whoever installs one keeps it alive while installed).
  CGXGridCellObserver* m_pCellObservers[2] = {nullptr, nullptr};
  // The grid that gained the focus last, the one find and replace works on; a grid forgets itself here
  // when it is destroyed.
  CGXGridCore* m_pActiveGrid = nullptr;

  // The sheet-tab interface (owned by the auto-delete list), null until a sheet-tab window exists.
  CGXAbstractTabWndInterface* m_pTabWndInt = nullptr;

  // Start-up state.
  BOOL m_bInitialized = FALSE;
  UINT m_startupArgs[3] = {0, 0, 0};
  UINT m_nStylesClipboardFormat = 0;
  std::vector<CString> m_texts;
  CString m_sPopupClassName;
  // The platform is a modern system: version 4 or later, not the old family.
  WORD m_wWindowsVersion = 0x0400;
  BOOL m_bWin4 = TRUE, m_bWinOld = FALSE;

  // The second of the block's three further owned objects (the other two have no use here). The start-up
  // deletes it, so a hook is installed after InitGridLibrary; it lives until process exit.
  std::unique_ptr<CGXGridInitHook> m_pInitHook;

  CGXAbstractControlFactory* GetControlFactory() const { return m_pFactory.get(); }
  // Keeps the factory, deleting an earlier one.
  void SetControlFactory(CGXAbstractControlFactory* factory);

  // Window classes whose windows grids treat as their own parents (no pointer listed twice).
  void AddRegisteredClassName(const char* name);
  const std::vector<const char*>& GetRegisteredClassNames() const { return m_classNames; }

  // The grids that use a data, parameter or properties object.
  void AddGridForObject(const void* object, CGXGridCore* grid);
  CGXGridCore* GetFirstGridForObject(const void* object) const;
  // Takes the grid out of every list; lists that become empty go.
  void RemoveGrid(CGXGridCore* grid);

  CGXGridGlobals(const CGXGridGlobals&) = delete;
  CGXGridGlobals& operator=(const CGXGridGlobals&) = delete;
  ~CGXGridGlobals();

 private:
  CGXGridGlobals() = default;
  std::vector<std::unique_ptr<CGXImpBase>> m_autoDelete;
  std::unique_ptr<CGXAbstractControlFactory> m_pFactory;
  std::vector<const char*> m_classNames;
  std::map<const void*, std::vector<CGXGridCore*>> m_gridsByObject;
};

// Whether a cell's drop-down popup is shown.
inline BOOL IsPopupActive() { return CGXGridGlobals::Get().m_bPopupActive; }

// Number recognition, implemented by the value-formatting feature.
class CGXAbstractNumberFormattingImp : public CGXImpBase {
 public:
  // TRUE when the text is a number; the value, and the format and places the text suggests.
  virtual BOOL ParseNumber(const char* text, double& value, unsigned& format, unsigned& places) = 0;
  // The display text of a value under the style's number format. Without a value text the style's own
  // value and value type are formatted. The two last arguments are passed on for formats that need them.
  virtual CString FormatText(const CGXStyle& style, LPCTSTR valueText, unsigned valueType, int arg1, int arg2) = 0;
};

// A date and time as read from or written to a text: month 0 means the record holds no date.
struct GXDateTimeRecord {
  short year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool operator==(const GXDateTimeRecord&) const = default;
};

// Date and time entry and display, implemented by the date-time feature (one service per process; the free
// functions below are how the rest of the grid reaches it).
//
// Date order codes: 0 day-month-year, 1 month-day-year, 2 year-month-day, 3 no order known.
class CGXAbstractDateTimeImp : public CGXImpBase {
 public:
  // Takes the user's current date and time settings (formats and separators) afresh.
  virtual void RefreshSettings() = 0;
  // The locale's date order; the four-digit-year flag and the date separator when the service knows them
  // (outputs may be null). Without bReread the kept settings answer.
  virtual int GetDateOrder(BOOL bReread, int* fourDigitYear, char* dateSeparator) = 0;
  // The locale's time separator (0 when the service does not know it).
  virtual char GetTimeSeparator(BOOL bReread) = 0;
  // Reads a date and/or time text into a record (cleared first); FALSE when the text is no date or time.
  virtual BOOL ParseDateTime(GXDateTimeRecord* record, LPCTSTR text, int order) = 0;
  // The same into the runtime's broken-down form (tm_year from 1900, tm_mon from 0).
  virtual BOOL ParseDateTimeTm(struct tm* out, LPCTSTR text, int order) = 0;
  virtual void FormatDateTime(CString& result, const GXDateTimeRecord* record) = 0;
  virtual void FormatTime(CString& result, const CTime* time) = 0;
};

// The installed date-time service's operations; without a service: nothing, order 3 (outputs untouched)
// and ':'.
void RefreshDateTimeSettings();
int GetDateOrderSetting(BOOL bReread, int* fourDigitYear, char* dateSeparator);
char GetTimeSeparatorSetting(BOOL bReread);

namespace gx {
// The drawing and formatting helpers' number parsing: FALSE when no number formatting is installed.
BOOL ParseDisplayText(const char* text, double& value);
}  // namespace gx

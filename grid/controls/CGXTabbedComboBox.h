// The tabbed drop-down cell (52541): a drop-down whose choice list is a table. Every choice line is a row
// of tab-separated fields shown in aligned columns, optionally under a header bar of column titles (the
// first line). The key column's field is what the cell stores, the text column's what it shows and what
// the user types, completed as he types. The popup, its list and the header bar are made at the first
// drop-down and then only shown and hidden.
//
// Cells with the same unique choice-list id (1 or more) share translation maps kept in the grid
// parameters (key field -> line, display field -> line); they are built from the first style that asks
// and released when a style touching the choice list or a tab-list attribute is applied.
//
// Call flow:
//   InitForCell -> columns and settings from the style -> SetEditedValue -> list to be filled again
//   ShowDropDown(TRUE) -> kept popup and list -> FillList (rows, measured columns, width rule, titles)
//     -> rectangle at least the columns' width, moved left at the screen's right, above at its bottom
//     -> header bar above the rows (below the cell) or above the list (above the cell) -> shown
//   typing -> selection replaced -> the edit's own handling -> AutoComplete: the first row beginning with
//     the text completes it, the completed tail selected
//   StoreValue -> GetEditedValue: the key of the row whose display field is the text (else the first beginning
//     with it)
#pragma once

#include <memory>

#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXTabbedLBoxHeader.h"
#include "grid/controls/GXTabbedRows.h"

class CGXGridParam;
class CMapStringToString;
class CGXStylesMap;

constexpr WORD GX_IDS_CTRL_TABBED_COMBOBOX = 52541;
// The tab-list user attributes.
constexpr WORD GX_IDS_UA_TABLIST_KEYCOL = 51028, GX_IDS_UA_TABLIST_TEXTCOL = 51029,
               GX_IDS_UA_TABLIST_SHOWALLCOLS = 51030, GX_IDS_UA_TABLIST_TITLES = 51031,
               GX_IDS_UA_TABLIST_COLWIDTHS = 51032, GX_IDS_UA_TABLIST_SORTCOL = 51033,
               GX_IDS_UA_TABLIST_UNIQUEID = 51055;
// Unique ids above this share no maps (the lists are searched instead): an id is an index into the
// parameter object's map arrays.
constexpr int GX_MAX_CHOICE_MAP_ID = 0xFFFF;

// The settings a tabbed cell reads from its style.
struct GXTabbedSettings {
  int keyCol = 0, textCol = 0;
  BOOL showAll = TRUE, titles = FALSE;
  CString widths;
  int sortCol = -1;
  static GXTabbedSettings FromStyle(const CGXStyle& style);
};

class CGXTabbedComboBox;

// The tabbed list: owner-drawn rows in the owner's columns and colours.
class CGXTabbedComboLBox : public CGXComboListBox {
 public:
  CGXTabbedComboLBox(CWnd* msgWnd, CGXTabbedComboBox* owner) : CGXComboListBox(msgWnd), m_pOwner(owner) {}
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;
  int CompareItem(LPCOMPAREITEMSTRUCT) override { return -1; }

 private:
  CGXTabbedComboBox* m_pOwner;
};

class CGXTabbedComboBox : public CGXComboBox {
  DECLARE_DYNAMIC(CGXTabbedComboBox)
  friend class CGXTabbedComboLBox;

 public:
  CGXTabbedComboBox(CGXGridCore* grid, UINT id, UINT listId);
  ~CGXTabbedComboBox() override;

  static const CGXControlClass gxClassCGXTabbedComboBox;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXTabbedComboBox; }
  CRuntimeClass* GetWindowRuntimeClass() override;
  static void RegisterUserAttributes(CGXStylesMap* map);

  // ---- Control part ----------------------------------------------------------------------------------
  void InitForCell(ROWCOL row, ROWCOL col) override;
  BOOL ValidateValue() override;
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  BOOL GetEditedValue(CString& out) const override;
  void SetEditedValue(const CString& value) override;
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  BOOL ApplyStyleToCell(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, UINT flags,
                        const CGXStyle* current) override;
  BOOL OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) override;
  BOOL AcceptsText(const CString& text) override;

  // ---- Window part -----------------------------------------------------------------------------------
  CGXGridCombo* CreateGridCombo(CWnd* owner, const CRect& rect) override;
  CWnd* CreateListBox(CWnd* popup, UINT id) override;
  void ShowDropDown(BOOL show) override;
  void TakeListSelection(CWnd* list) override;
  void FillList(CWnd* list) override;
  void ComputeDropDownRect(CRect& out, const CRect& cell) override;
  void DestroyGridCombo(CGXGridCombo* popup) override;
  virtual void AutoComplete();

  // ---- The shared maps -------------------------------------------------------------------------------
  // The map of the style's unique id (built from the style on first demand), or null without an id.
  CMapStringToString* GetKeyMap(const CGXStyle& style) const;
  CMapStringToString* GetDisplayMap(const CGXStyle& style) const;
  // -1 releases every map, an id of 1 or more its two maps; both count as a change. Others do nothing.
  static void ReleaseChoiceMaps(CGXGridParam* param, int id);

  const GXTabbedLayout& Layout() const { return m_layout; }
  const GXTabbedSettings& Settings() const { return m_settings; }
  CGXTabbedLBoxHeader* Header() const { return m_pHeader.get(); }
  BOOL IsListFilled() const { return m_bListFilled; }

  COLORREF m_rgbSeparator = RGB(192, 192, 192);
  BOOL m_bAutoComplete = TRUE;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The choice lines of a style (sorted by its sort column when asked) and the index of the first that
  // is no title.
  static std::vector<CString> ChoiceLines(const CGXStyle& style, BOOL sorted);
  static size_t FirstRow(const GXTabbedSettings& settings) { return settings.titles ? 1 : 0; }
  // The line of a text in a column: through the map when given, else by search (exact, then by prefix when
  // asked). Empty optional when none.
  BOOL FindLine(const CGXStyle& style, CMapStringToString* map, const CString& text, int column, BOOL prefix,
                CString& line) const;
  CMapStringToString* MapOf(const CGXStyle& style, BOOL keys) const;
  // Selects the list row showing the text: its display field equal, else beginning with it.
  void SelectRowShowing(CListBox* list, const CString& text);
  BOOL ReadOnlyNow() const;

  GXTabbedSettings m_settings;
  COLORREF m_rgbListBack = RGB(255, 255, 255), m_rgbListText = RGB(0, 0, 0);
  int m_nItemHeight = 10;
  int m_nFilledForId = 0;
  int m_nMapChangeSeen = -1;
  GXTabbedLayout m_layout;
  std::unique_ptr<CGXTabbedLBoxHeader> m_pHeader;
  BOOL m_bListFilled = FALSE;
  CGXGridCombo* m_pKeptPopup = nullptr;
  CString m_strAdding;  // the row being added, for its measuring
};

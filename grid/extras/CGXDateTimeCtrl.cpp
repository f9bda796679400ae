// Index: creation and attributes; reading and storing values; binding, storing and validating; drawing;
// mouse and keys in the cell; the main window's messages while it edits; clipboard, find and replace.
//
// Call flow of an edit: InitForCell (format, value, range) -> a key, a typed character or a click starts
// editing (StartEditing / OnTextInput / ActivateAt) -> DrawCell shows the main window over the cell ->
// the window's gadgets change the value (OnChanging marks the control modified, OnChanged tells the grid)
// -> StoreValue writes the stored form through the grid.
#include "grid/extras/CGXDateTimeCtrl.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/core/gxstrings.h"
#include "grid/extras/CGXBCalendar.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/StringApi.h"
#include "platform/gdi/CDC.h"

IMPLEMENT_DYNAMIC(CGXCaptiveDateTimeCtrl, CGXBDateTimeCtrl)
IMPLEMENT_DYNAMIC(CGXDateTimeCtrl, CGXBDateTimeCtrl)

const CGXControlClass CGXDateTimeCtrl::controlClassCGXDateTimeCtrl = {"CGXDateTimeCtrl", &CGXStatic::classCGXStatic};

namespace {

constexpr WORD kCheckListControl = 52542, kTabbedComboControl = 52541, kCheckBox3dControl = 52523;
constexpr WORD kTabKeyColumn = 51028, kTabTextColumn = 51029, kTabShowAllColumns = 51030;
constexpr UINT kNoEditChoices = 20060, kValidationChoices = 20061, kFormatTypeChoices = 20062;
constexpr UINT kFieldFlags = DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
const COleDateTime kDefaultMin(-657434.0), kDefaultMax(2958465.0);

// The whole text is a number (blanks around it allowed).
bool ReadsAsNumber(const CString& text, double& value) {
  const char* begin = text.GetString();
  char* end = nullptr;
  value = std::strtod(begin, &end);
  if (end == begin) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

COleDateTime Midnight(const COleDateTime& value) {
  return COleDateTime(value.GetYear(), value.GetMonth(), value.GetDay(), 0, 0, 0);
}

int AttributeNumber(const CGXStyle& style, WORD id, int absent) {
  if (!style.HasUserAttribute(id)) return absent;
  const CString text = style.GetUserAttributeText(id);
  return text.IsEmpty() ? absent : std::atoi(text);
}

// A field's text as a search compares it: numbers as "%d", list entries as shown.
CString FieldText(const CGXBDTGadget* g) {
  if (g->IsKindOf(RUNTIME_CLASS(CGXBDTNumericGadget))) {
    CString text;
    text.Format("%d", g->GetValue());
    return text;
  }
  return g->IsKindOf(RUNTIME_CLASS(CGXBDTListGadget)) ? g->GetText() : CString();
}

bool IsDigits(const CString& text) {
  if (text.IsEmpty()) return false;
  for (int i = 0; i < text.GetLength(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

bool IsField(const CGXBDTGadget* g) {
  return g->IsKindOf(RUNTIME_CLASS(CGXBDTNumericGadget)) || g->IsKindOf(RUNTIME_CLASS(CGXBDTListGadget));
}

// The style's minimum, maximum and validation mode set on a window. A range the window refuses (maximum
// before minimum) leaves it without one.
void ApplyBounds(CGXBDateTimeCtrl& window, const CGXStyle& style) {
  COleDateTime lo = kDefaultMin, hi = kDefaultMax;
  if (!CGXDateTimeCtrl::ReadValue(style.GetUserAttributeText(GX_IDS_UA_DATEMIN), FALSE, lo)) lo = kDefaultMin;
  if (!CGXDateTimeCtrl::ReadValue(style.GetUserAttributeText(GX_IDS_UA_DATEMAX), FALSE, hi)) hi = kDefaultMax;
  const int mode = AttributeNumber(style, GX_IDS_UA_DATEVALIDMODE, 0);
  if (!window.SetValidationRange(lo, hi, static_cast<UINT>(std::clamp(mode, 0, 3))))
    window.SetValidationRange(kDefaultMin, kDefaultMax, 0);
}

}  // namespace

CGXDateTimeCtrl::CGXDateTimeCtrl(CGXGridCore* grid, UINT controlId) : CGXBWindowCell(grid), m_nControlId(controlId) {}

CGXDateTimeCtrl::~CGXDateTimeCtrl() {
  if (m_hWnd) DestroyWindow();
  if (m_display.m_hWnd) m_display.DestroyWindow();
  if (m_drawing.m_hWnd) m_drawing.DestroyWindow();
}

CRuntimeClass* CGXDateTimeCtrl::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXDateTimeCtrl); }

void CGXDateTimeCtrl::RegisterUserAttributes(CGXStylesMap* map) {
  CGXStyle noEdit, validation, formatType, check;
  noEdit.SetControl(kCheckListControl).SetChoiceList(gx::LoadGridString(kNoEditChoices));
  for (CGXStyle* s : {&validation, &formatType}) {
    s->SetControl(kTabbedComboControl);
    s->SetUserAttribute(kTabKeyColumn, "1").SetUserAttribute(kTabTextColumn, "0");
    s->SetUserAttribute(kTabShowAllColumns, "0");
  }
  validation.SetChoiceList(gx::LoadGridString(kValidationChoices));
  formatType.SetChoiceList(gx::LoadGridString(kFormatTypeChoices));
  check.SetControl(kCheckBox3dControl);
  map->AddUserAttribute(GX_IDS_UA_DATENOEDIT, &noEdit);
  map->AddUserAttribute(GX_IDS_UA_DATEMIN);
  map->AddUserAttribute(GX_IDS_UA_DATEMAX);
  map->AddUserAttribute(GX_IDS_UA_DATEVALIDMODE, &validation);
  map->AddUserAttribute(GX_IDS_UA_DATEFORMATTYPE, &formatType);
  map->AddUserAttribute(GX_IDS_UA_CUSTOMFORMAT);
  map->AddUserAttribute(GX_IDS_UA_FASTINPUT, &check);
  map->AddUserAttribute(GX_IDS_UA_DATETIMEASNUMBER);
  map->AddUserAttribute(GX_IDS_UA_DATETIMEPRECISION);
}

BOOL CGXDateTimeCtrl::CreateWindows(DWORD style, const RECT& rect) {
  CWnd* grid = GetGridWnd();
  const DWORD windowStyle = style | WS_CHILD | WS_TABSTOP;
  const CRect offScreen(30000, 30000, 30500, 30100);
  if (!m_display.m_hWnd && !m_display.Create(windowStyle, offScreen, grid, m_nControlId + 1)) return FALSE;
  if (!m_drawing.m_hWnd && !m_drawing.Create(windowStyle, offScreen, grid, m_nControlId + 2)) return FALSE;
  return m_hWnd || Create(windowStyle, rect, grid, m_nControlId);
}

// ---- Values

BOOL CGXDateTimeCtrl::ReadValue(const CString& text, BOOL inputAsNumber, COleDateTime& out) {
  // Decision: a text that is a number as a whole is a DATE number before it is a date text. The cell
  // stores its value so ("%.13g"): 12:00 on 31 December 1899 is "1.5", which parses as 5 January of this
  // year, and "-1.25" (6:00 on 29 December 1899) as a day of this year too.
  double whole = 0;
  if (!inputAsNumber && !ReadsAsNumber(text, whole)) {
    COleDateTime parsed;
    if (parsed.ParseDateTime(text, 0, LANG_USER_DEFAULT)) {
      out = parsed;
      return TRUE;
    }
  }
  if (text.IsEmpty()) return FALSE;
  double number = std::atof(text);
  // Decision: a text that reads as the number 0 is the DATE 0 (midnight of day 0 stays storable); only an
  // empty or unreadable text counts as empty.
  if (number == 0.0 && !ReadsAsNumber(text, number)) return FALSE;
  const COleDateTime value(number);
  if (value.GetStatus() != COleDateTime::valid) return FALSE;
  out = value;
  return TRUE;
}

COleDateTime CGXDateTimeCtrl::CellValue(const CString& text, BOOL inputAsNumber, BOOL showsDate,
                                        int formatType) const {
  COleDateTime value;
  if (ReadValue(text, inputAsNumber, value)) return value;
  if (formatType == Time || (formatType == Custom && !showsDate)) return COleDateTime(1899, 12, 30, 0, 0, 0);
  return Midnight(COleDateTime::GetCurrentTime());
}

CString CGXDateTimeCtrl::StoredForm(const COleDateTime& value) const {
  if (!m_bStoreAsNumber) return value.Format(0, LANG_USER_DEFAULT);
  CString text;
  text.Format("%.*g", m_nPrecision, static_cast<double>(static_cast<DATE>(value)));
  return text;
}

BOOL CGXDateTimeCtrl::ApplyFormat(CGXBDateTimeCtrl* window, const CGXStyle& style) {
  const CString typeText = style.HasUserAttribute(GX_IDS_UA_DATEFORMATTYPE)
                               ? style.GetUserAttributeText(GX_IDS_UA_DATEFORMATTYPE)
                               : CString();
  const CString custom =
      style.HasUserAttribute(GX_IDS_UA_CUSTOMFORMAT) ? style.GetUserAttributeText(GX_IDS_UA_CUSTOMFORMAT) : CString();
  int type = std::clamp(std::atoi(typeText), 0, 4);
  if (type != Custom && !typeText.IsEmpty()) {
    // Formats are applied at every drawn cell: the gadgets are built again only for a change.
    if (window->GetFormatType() != type || !window->GetCustomFormat().IsEmpty()) window->SetFormatType(type);
  } else if (typeText.IsEmpty() && custom.IsEmpty()) {
    type = ShortDate;
    if (window->GetFormatType() != type || !window->GetCustomFormat().IsEmpty()) window->SetFormatType(type);
  } else {
    type = Custom;
    if (window->GetFormatType() != Custom || window->GetCustomFormat() != custom) window->SetCustomFormat(custom);
  }
  if (type == ShortDate || type == LongDate || type == DateTime) return TRUE;
  return window->HasDateFields();
}

BOOL CGXDateTimeCtrl::SplitTokens(const CString& text, std::vector<CString>& tokens) const {
  CString token;
  auto flush = [&] {
    if (!token.IsEmpty()) tokens.push_back(token);
    token.Empty();
  };
  const int length = text.GetLength();
  for (int i = 0; i < length; ++i) {
    const char c = text[i];
    if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < length) {
      token += text.Mid(i, 2);
      ++i;
    } else if (c == '\r' || c == '\n' || c == ' ' || m_strTokenSeps.Find(c) >= 0) {
      flush();
    } else {
      token += c;
    }
  }
  flush();
  return !tokens.empty();
}

BOOL CGXDateTimeCtrl::LoadDisplayWindow(const CGXStyle& style, const CString& value) const {
  auto& self = const_cast<CGXDateTimeCtrl&>(*this);
  if (!m_display.m_hWnd) self.CreateWindows(0, CRect(0, 0, 1, 1));
  if (!m_display.m_hWnd) return FALSE;
  self.ApplyFormat(&m_display, style);
  const BOOL asNumber = AttributeNumber(style, GX_IDS_UA_DATETIMEASNUMBER, 0) != 0;
  COleDateTime date;
  if (!ReadValue(value, asNumber, date)) return FALSE;
  m_display.SetDateTime(date);
  return TRUE;
}

CString CGXDateTimeCtrl::JoinedText(const CGXBDateTimeCtrl& window) {
  CString text;
  for (int i = window.GetFixedCount(); i < window.GetGadgetCount(); ++i) text += window.GetGadget(i)->GetText();
  return text;
}

// ---- Binding, storing, validating

void CGXDateTimeCtrl::InitForCell(ROWCOL row, ROWCOL col) {
  CGXFlagScope initialising(m_bInitialising, TRUE);
  CGXStatic::InitForCell(row, col);
  m_bEditing = FALSE;
  if (!m_hWnd) CreateWindows(0, CRect(0, 0, 1, 1));
  const CGXStyle& style = GetCachedStyle();
  SetNoEditFields(static_cast<UINT>(AttributeNumber(style, GX_IDS_UA_DATENOEDIT, 0)));
  m_bDateShown = ApplyFormat(this, style);
  m_bInputAsNumber = AttributeNumber(style, GX_IDS_UA_DATETIMEASNUMBER, 0) != 0;
  SetEditedValue(style.GetIncludeValue() ? style.GetValue() : CString());
  m_nPrecision = std::clamp(AttributeNumber(style, GX_IDS_UA_DATETIMEPRECISION, 13), 13, 15);
  ApplyBounds(*this, style);
  SetFastInput(AttributeNumber(style, GX_IDS_UA_FASTINPUT, 1) != 0);
  SetModified(FALSE);
  if (m_hWnd && (Grid()->ParamSettings().m_wActivateFlags & 4) && NotifyEditStart()) SetEditingState(TRUE);
  m_bModified = FALSE;
}

BOOL CGXDateTimeCtrl::GetEditedValue(CString& out) const {
  if (!m_bModified) return CGXStatic::GetEditedValue(out);
  if (m_bStoreAsNumber) {
    out = StoredForm(GetDateTime());
  } else {
    out = GetDateTime().Format("%#c");
  }
  return TRUE;
}

void CGXDateTimeCtrl::SetEditedValue(const CString& text) {
  if (!m_hWnd) return;
  SetDateTime(CellValue(text, m_bInputAsNumber, m_bDateShown, GetFormatType()));
  NotifyModified();
}

BOOL CGXDateTimeCtrl::ValidateValue() {
  if (IsTypingNumber())
    if (CGXBDTGadget* g = CurrentGadget()) g->SetActive(FALSE);  // commits the typed digits
  return CGXStatic::ValidateValue();
}

void CGXDateTimeCtrl::ActivateCurrentOnly(BOOL activate) {
  const CGXBDTGadget* current = CurrentGadget();
  int index = GetCurrentGadget();
  if (!current || !current->IsEditable()) index = FirstEditable();
  for (int i = GetFixedCount(); i < GetGadgetCount(); ++i)
    if (i != index && GetGadget(i)->IsActive()) GetGadget(i)->SetActive(FALSE);
  if (index >= 0) SetCurrentGadget(index, activate);
}

BOOL CGXDateTimeCtrl::NotifyEditStart() {
  if (!CGXStatic::NotifyEditStart()) return FALSE;
  ActivateCurrentOnly(TRUE);
  return TRUE;
}

void CGXDateTimeCtrl::GetEditText(CString& out) const {
  if (IsInitialized() && m_bModified) {
    const CString value = StoredForm(GetDateTime());
    if (!GetDisplayText(out, GetRow(), GetCol(), &value, const_cast<CGXDateTimeCtrl*>(this)->GetCachedStyle()))
      out = GetDateTime().Format(0, LANG_USER_DEFAULT);
    return;
  }
  CGXStatic::GetEditText(out);
}

void CGXDateTimeCtrl::SetEditText(const CString& text) {
  if (!IsInitialized() || !m_hWnd) return;
  if (!m_bEditing) StartEditing();
  COleDateTime value(0.0);
  if (!text.IsEmpty()) {
    if (!AcceptsText(text)) return;
    if (!value.ParseDateTime(text, 0, LANG_USER_DEFAULT)) return;
  }
  if (!OnChanging(value)) return;
  SetDateTime(value);
  NotifyModified();
}

BOOL CGXDateTimeCtrl::GetDisplayText(CString& out, ROWCOL, ROWCOL, const CString* value,
                                     const CGXStyle& style) const {
  out.Empty();
  const CString text = value ? *value : (style.GetIncludeValue() ? style.GetValue() : CString());
  if (text.IsEmpty() || !LoadDisplayWindow(style, text)) return FALSE;
  out = JoinedText(m_display);
  return TRUE;
}

BOOL CGXDateTimeCtrl::ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  if (text.IsEmpty()) return TRUE;
  if (!m_display.m_hWnd) CreateWindows(0, CRect(0, 0, 1, 1));
  if (!m_display.m_hWnd) return FALSE;
  // Decision: the display window converts, never the main window, whose value belongs to the cell being
  // edited (a range paste or a replace-all converts texts for other cells meanwhile).
  const BOOL showsDate = ApplyFormat(&m_display, style);
  const BOOL asNumber = AttributeNumber(style, GX_IDS_UA_DATETIMEASNUMBER, 0) != 0;
  // A date outside the cell's minimum and maximum is refused, as its editor refuses it typed. The display
  // window holds the bounds only for this check: the fields below take their tokens one by one, and a date
  // within the bounds may pass outside them on the way.
  auto store = [&](const COleDateTime date) {  // a copy: the bounds may move the window's value
    ApplyBounds(m_display, style);
    const BOOL within = m_display.IsInRange(date);
    m_display.SetValidationRange(kDefaultMin, kDefaultMax, 0);
    if (within) text = StoredForm(date);
    return within;
  };
  COleDateTime parsed;
  double number = 0;
  if (!asNumber && parsed.ParseDateTime(text, 0, LANG_USER_DEFAULT) && static_cast<DATE>(parsed) != 0.0)
    return store(parsed);
  // A stored number (a copied cell's value) reads back as itself.
  if (ReadsAsNumber(text, number)) {
    const COleDateTime date(number);
    return date.GetStatus() == COleDateTime::valid && store(date);
  }
  std::vector<CString> tokens;
  if (!SplitTokens(text, tokens)) return FALSE;
  const CString current = Grid()->GetCellValue(row, col);
  m_display.SetDateTime(CellValue(current, asNumber, showsDate, m_display.GetFormatType()));
  // Two passes: a day refused in one month (29 before the month 2 of a leap year is set) is taken once the
  // month is there. The text is taken whole or not at all: every token must be taken by its field in the
  // last pass, when the other fields hold their tokens (a day the month lacks, such as 2/30, is refused, and
  // no day is lowered to fit), a numeric field takes only digits ("2/30/2024" as one token is no month 2),
  // and no token may be left over.
  BOOL all = TRUE;
  size_t next = 0;
  for (int pass = 0; pass < 2; ++pass) {
    all = TRUE;
    next = 0;
    for (int i = m_display.GetFixedCount(); i < m_display.GetGadgetCount() && next < tokens.size(); ++i) {
      CGXBDTGadget* g = m_display.GetGadget(i);
      if (!IsField(g)) continue;
      const CString& token = tokens[next++];
      BOOL taken = FALSE;
      if (auto* list = dynamic_cast<CGXBDTListGadget*>(g)) {
        // The first pass searches from the entry after the shown one; the second keeps the entry found.
        taken = list->FindEntry(token, list->GetValue() + (pass == 0 ? 1 : 0)) >= 0;
      } else if (IsDigits(token) && token.GetLength() <= 9) {
        taken = m_display.OnGadgetNotify(GXDT_SET, g->GetFieldId(), std::atoi(token));
      }
      all = all && taken;
    }
  }
  return all && next == tokens.size() && store(m_display.GetDateTime());
}

void CGXDateTimeCtrl::GetStyleValueText(CString& out, const CGXStyle& style) const {
  out = style.GetIncludeValue() ? style.GetValue() : CString();
  COleDateTime parsed;
  double whole = 0;
  if (!ReadsAsNumber(out, whole) && parsed.ParseDateTime(out, 0, LANG_USER_DEFAULT))
    out.Format("%f", static_cast<double>(static_cast<DATE>(parsed)));
}

BOOL CGXDateTimeCtrl::StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type,
                                 const CGXStyle* composed) {
  if (!CGXStatic::StoreStyle(row, col, style, mode, type, composed)) return FALSE;
  if (!style || (mode != 0 && mode != 1) || !Grid()->MatchesCurrentCell(row, col)) return TRUE;
  if (style->GetIncludeValue() && !m_bModified) {
    RedrawIfChanged();
  } else if (IsInitialized() && (style->HasUserAttribute(GX_IDS_UA_DATENOEDIT) ||
                                 style->HasUserAttribute(GX_IDS_UA_DATEFORMATTYPE) ||
                                 style->HasUserAttribute(GX_IDS_UA_CUSTOMFORMAT))) {
    DropCachedStyle();
    m_bDateShown = ApplyFormat(this, GetCachedStyle());
    ActivateCurrentOnly(::GetFocus() == m_hWnd);
  } else if (!style->GetIncludeValue()) {
    RedrawIfChanged();
  }
  return TRUE;
}

BOOL CGXDateTimeCtrl::OnChanging(const COleDateTime&) {
  ForgetFindPosition();
  if (IsCellReadOnly()) return FALSE;
  m_bModified = TRUE;
  return TRUE;
}

void CGXDateTimeCtrl::OnChanged() {
  // Decision: the window shows its own change while it edits; hiding it to refresh the cell would take
  // the focus from it in the middle of typing. A change without the window shown refreshes the cell.
  if (!(m_bEditing && IsWindowVisible())) HideAndInvalidate();
  if (m_bModified) NotifyModified();
}

// ---- Geometry and drawing

CSize CGXDateTimeCtrl::AddBordersToSize(CSize size, const CGXStyle& style) const {
  CSize out = CGXStatic::AddBordersToSize(size, style);
  out.cx += 5;
  return out;
}

CSize CGXDateTimeCtrl::ComputeCellSize(CDC* dc, ROWCOL, ROWCOL, const CGXStyle& style, const CGXStyle*,
                                       BOOL vertical) {
  const CString value = style.GetIncludeValue() ? style.GetValue() : CString();
  if (!dc || !LoadDisplayWindow(style, value)) return CSize(0, 0);
  CFont* old = SelectCellFont(dc, style);
  CSize size(0, 0);
  for (int i = m_display.GetFixedCount(); i < m_display.GetGadgetCount(); ++i) {
    CGXBDTGadget* g = m_display.GetGadget(i);
    g->CalcSize(*dc);
    if (vertical)
      size.cy = std::max(size.cy, g->GetRect().Height());
    else
      size.cx += g->GetRect().Width();
  }
  if (vertical) {
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    size.cy = std::max<int>(size.cy, tm.tmHeight + tm.tmExternalLeading + 1);
  }
  if (old) dc->SelectObject(old);
  return AddBordersToSize(size, style);
}

void CGXDateTimeCtrl::LayoutIn(CGXBDateTimeCtrl& window, CDC* dc, const CRect& inner, BOOL button, BOOL spin) {
  // A gadget's measured size depends on the format and the font only, not on the value: the sizes of each
  // format in each font are measured once (measuring text is the costly part of drawing a cell).
  char head[64];
  std::snprintf(head, sizeof head, "%p|%d|%u|", static_cast<void*>(::GetCurrentObject(dc->GetSafeHdc(), OBJ_FONT)),
                window.GetFormatType(), window.GetNoEditFields());
  std::string key(head);
  key += window.GetCustomFormat().GetString();
  if (m_measured.size() > 64) m_measured.clear();  // fonts come and go: the cache stays small
  std::vector<CSize>& sizes = m_measured[key];
  if (static_cast<int>(sizes.size()) != window.GetGadgetCount()) {
    sizes.clear();
    for (int i = 0; i < window.GetGadgetCount(); ++i) {
      window.GetGadget(i)->CalcSize(*dc);
      sizes.push_back(window.GetGadget(i)->GetRect().Size());
    }
  }
  auto height = [&](int i) { return sizes[static_cast<size_t>(i)].cy == -1 ? inner.Height() : sizes[static_cast<size_t>(i)].cy; };
  int x = inner.left + 1;
  for (int i = window.GetFixedCount(); i < window.GetGadgetCount(); ++i) {
    // A cell shows its value's text as one run: each field is as wide as what it shows (the editing window keeps
    // room for the widest value, so that its fields stay put while they are typed into).
    CGXBDTGadget* g = window.GetGadget(i);
    const bool valueField = g->IsKindOf(RUNTIME_CLASS(CGXBDTNumericGadget)) || g->IsKindOf(RUNTIME_CLASS(CGXBDTListGadget));
    const int w = valueField ? static_cast<int>(dc->GetTextExtent(g->GetText()).cx) : sizes[static_cast<size_t>(i)].cx;
    window.GetGadget(i)->SetRect(CRect(x, inner.top + 1, x + w, inner.top + 1 + height(i)));
    x += w;
  }
  int right = inner.right;
  for (int i = 0; i < window.GetFixedCount(); ++i) {
    CGXBDTGadget* g = window.GetGadget(i);
    const bool shown = g->GetFieldId() == GXDT_DROPDOWN ? button : spin;
    if (!shown) {
      g->SetRect(CRect(0, 0, 0, 0));
      continue;
    }
    const int w = sizes[static_cast<size_t>(i)].cx;
    g->SetRect(CRect(right - w, inner.top, right, inner.top + height(i)));
    right -= w;
  }
}

void CGXDateTimeCtrl::DrawStaticGadget(CDC* dc, CGXBDTGadget* gadget, CPoint offset) {
  CRect r = gadget->GetRect();
  r.OffsetRect(offset);
  dc->DrawText(gadget->GetText(), &r, kFieldFlags);
}

void CGXDateTimeCtrl::DrawNumericGadget(CDC* dc, CGXBDTGadget* gadget, CPoint offset) {
  CRect r = gadget->GetRect();
  r.OffsetRect(offset);
  // Inactive fields keep the DC's colours (the cell's text colour on its background).
  dc->DrawText(gadget->GetText(), &r, kFieldFlags | DT_CENTER);
}

void CGXDateTimeCtrl::DrawListGadget(CDC* dc, CGXBDTGadget* gadget, CPoint offset) {
  DrawNumericGadget(dc, gadget, offset);
}

void CGXDateTimeCtrl::DrawSpinGadget(CDC* dc, CGXBDTGadget* gadget, CPoint offset) {
  CRect r = gadget->GetRect();
  r.OffsetRect(offset);
  CGXBDTSpinGadget::DrawSpin(*dc, r, 0);
}

void CGXDateTimeCtrl::DrawButtonGadget(CDC* dc, CGXBDTGadget* gadget, CPoint offset) {
  const CRect saved = gadget->GetRect();
  CRect r = saved;
  r.OffsetRect(offset);
  gadget->SetRect(r);
  gadget->Draw(*dc);
  gadget->SetRect(saved);
}

void CGXDateTimeCtrl::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                               const CGXStyle*) {
  CGXFlagScope initialising(m_bInitialising, TRUE);
  const BOOL printing = Grid()->IsPrinting();
  if (!(IsBoundToCell(row, col) && m_bEditing && m_hWnd && !printing)) {
    if (m_hWnd && IsBoundToCell(row, col) && IsWindowVisible()) HideWindowPart();
    if (!m_drawing.m_hWnd) CreateWindows(0, CRect(0, 0, 1, 1));
    DrawBackground(dc, rect, style);
    const CRect inner = ComputeInnerRect(rect, style);
    const BOOL current = Grid()->MatchesCurrentCell(row, col) && !printing;
    const BOOL button = m_bAlwaysButton || current;
    const BOOL spin = (m_bAlwaysSpin || current) && !(style.IsIncluded(GX_IN_READONLY) && style.GetReadOnly());
    m_bDrawInputAsNumber = AttributeNumber(style, GX_IDS_UA_DATETIMEASNUMBER, 0) != 0;
    const CString value = style.GetIncludeValue() ? style.GetValue() : CString();
    COleDateTime date;
    const BOOL hasValue = ReadValue(value, m_bDrawInputAsNumber, date);
    if (m_drawing.m_hWnd) {
      ApplyFormat(&m_drawing, style);
      if (hasValue) m_drawing.SetDateTime(date);
    }
    CFont* old = SelectCellFont(dc, style);
    if (m_drawing.m_hWnd) LayoutIn(m_drawing, dc, inner, button, spin);
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(&inner);
    COLORREF text = style.GetTextColor(), back = style.GetInterior().GetColor();
    if (Grid()->PrintsBlackAndWhite()) text = RGB(0, 0, 0), back = RGB(255, 255, 255);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(text);
    dc->SetBkColor(back);
    CRect clip;
    dc->GetClipBox(&clip);
    for (int i = m_drawing.m_hWnd ? m_drawing.GetGadgetCount() - 1 : -1; i >= 0; --i) {
      CGXBDTGadget* g = m_drawing.GetGadget(i);
      const bool fixed = i < m_drawing.GetFixedCount();
      if (!fixed && !hasValue) continue;  // an empty value shows only the buttons
      CRect overlap;
      if (g->GetRect().IsRectEmpty() || !overlap.IntersectRect(&g->GetRect(), &clip)) continue;
      if (g->IsKindOf(RUNTIME_CLASS(CGXBDTSpinGadget)))
        DrawSpinGadget(dc, g, CPoint(0, 0));
      else if (g->IsKindOf(RUNTIME_CLASS(CGXBDTButtonGadget)))
        DrawButtonGadget(dc, g, CPoint(0, 0));
      else if (g->IsKindOf(RUNTIME_CLASS(CGXBDTNumericGadget)))
        DrawNumericGadget(dc, g, CPoint(0, 0));
      else if (g->IsKindOf(RUNTIME_CLASS(CGXBDTListGadget)))
        DrawListGadget(dc, g, CPoint(0, 0));
      else
        DrawStaticGadget(dc, g, CPoint(0, 0));
    }
    dc->RestoreDC(saved);
    if (old) dc->SelectObject(old);
    DrawChildren(dc, rect, row, col, style);
    return;
  }
  DropCachedStyle();
  const CGXStyle& cached = GetCachedStyle();
  CFont* font = Grid()->LookupFont(cached);
  COLORREF text = cached.GetTextColor(), back = cached.GetInterior().GetColor();
  DrawBackground(dc, rect, cached, TRUE);
  const CRect inner = ComputeInnerRect(rect, cached);
  SetRowColors(text, back);
  if (font) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), FALSE);
  SetEditingState(TRUE);
  MoveWindow(&inner, FALSE);
  ShowWindow(SW_SHOW);
  if (::GetFocus() == Grid()->GridHwnd()) {
    CGXFlagScope moving(Grid()->FocusGuard(), TRUE);
    SetFocus();
  }
  Invalidate();
  UpdateWindow();
  dc->ExcludeClipRect(&inner);
  Grid()->GridWnd()->ValidateRect(&inner);
}

// ---- Mouse and keys in the cell

BOOL CGXDateTimeCtrl::ActivateAt(UINT flags, int x, int y, BOOL force) {
  if (!m_hWnd) return FALSE;
  const CRect inner = ComputeInnerRect(Grid()->CalcCellRect(GetRow(), GetCol()), GetCachedStyle());
  const CPoint at(x - inner.left, y - inner.top);
  {
    CGXFlagScope moving(Grid()->FocusGuard(), TRUE);
    MoveWindow(&inner, FALSE);
  }
  LayoutGadgets();
  const BOOL empty = !GetCachedStyle().GetIncludeValue() || GetCachedStyle().GetValue().IsEmpty();
  // A click on a cell that is not being edited lands on what the cell shows: its fields drawn one after another
  // (DrawCell), not the editing window's wider ones. The field found there is the one the window's own click
  // reaches, at that field's middle.
  int hit = GadgetAt(at);
  bool mapped = false;
  if (!m_bEditing && !empty && (hit < 0 || hit >= GetFixedCount())) {
    const int shown = FieldShownAt(CPoint(x, y));
    if (shown >= GetFixedCount() && shown < GetGadgetCount()) {
      hit = shown;
      mapped = true;
    }
  }
  if (hit >= GetFixedCount() && GetGadget(hit)->IsEditable() && (force || !empty)) SetCurrentGadget(hit, FALSE);
  CPoint sent = at;
  if (mapped) sent.x = GetGadget(hit)->GetRect().CenterPoint().x - m_nScroll;
  ActivateCurrentOnly(TRUE);
  if (!m_bEditing && !NotifyEditStart()) return FALSE;
  SetEditingState(TRUE);
  Grid()->RedrawCell(GetRow(), GetCol(), GX_UPDATENOW);
  Grid()->GridWnd()->UpdateWindow();
  SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(sent.x, sent.y));
  SendMessage(WM_LBUTTONUP, flags, MAKELPARAM(sent.x, sent.y));
  return TRUE;
}

int CGXDateTimeCtrl::FieldShownAt(CPoint point) {
  if (!m_drawing.m_hWnd) return -1;
  const CGXStyle& style = GetCachedStyle();
  const CRect inner = ComputeInnerRect(Grid()->CalcCellRect(GetRow(), GetCol()), style);
  CDC* dc = Grid()->GetCachedDC();
  if (!dc) return -1;
  COleDateTime date;
  const BOOL asNumber = AttributeNumber(style, GX_IDS_UA_DATETIMEASNUMBER, 0) != 0;
  if (!ReadValue(style.GetIncludeValue() ? style.GetValue() : CString(), asNumber, date)) return -1;
  ApplyFormat(&m_drawing, style);
  m_drawing.SetDateTime(date);
  CFont* old = SelectCellFont(dc, style);
  LayoutIn(m_drawing, dc, inner, FALSE, FALSE);
  if (old) dc->SelectObject(old);
  int last = -1;
  for (int i = m_drawing.GetFixedCount(); i < m_drawing.GetGadgetCount(); ++i) {
    const CGXBDTGadget* g = m_drawing.GetGadget(i);
    if (!g->IsEditable()) continue;
    if (g->GetRect().right > point.x) return i;
    last = i;
  }
  return last;
}

BOOL CGXDateTimeCtrl::OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) {
  if (!m_hWnd || GetGadgetCount() == 0) return FALSE;
  const CRect inner = ComputeInnerRect(Grid()->CalcCellRect(GetRow(), GetCol()), GetCachedStyle());
  if (!inner.PtInRect(CPoint(x, y))) return FALSE;
  {
    CGXFlagScope guard(Grid()->FocusGuard(), TRUE);
    if (Grid()->ParamSettings().m_wActivateFlags & 7) ActivateAt(flags, x, y, FALSE);
  }
  CGXStatic::OnLButtonUpInCell(flags, x, y, hit);
  return TRUE;
}

BOOL CGXDateTimeCtrl::OnLButtonDblClkInCell(UINT flags, int x, int y) {
  if (!m_hWnd) return FALSE;
  if (m_bEditing) return CGXStatic::OnLButtonDblClkInCell(flags, x, y);
  ActivateAt(flags, x, y, TRUE);
  CGXStatic::OnLButtonDblClkInCell(flags, x, y);
  return TRUE;
}

BOOL CGXDateTimeCtrl::OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) {
  if (GetKeyState(VK_CONTROL) < 0) return CGXStatic::OnKeyDownInCell(ch, repeat, flags);
  switch (ch) {
    case VK_HOME:
    case VK_END: {
      Grid()->BringCellIntoView(GetRow(), GetCol());
      if (!StartEditing()) return TRUE;
      const int index = ch == VK_HOME ? FirstEditable() : LastEditable();
      if (index >= 0) SetCurrentGadget(index, FALSE);
      ActivateCurrentOnly(TRUE);
      Grid()->RedrawCell(GetRow(), GetCol());
      return TRUE;
    }
    case VK_DELETE:
      if (Grid()->IsReadOnly() || IsCellReadOnly() || !NotifyEditStart()) return TRUE;
      Grid()->StoreValueFromControl(GetRow(), GetCol(), "", 0, nullptr);
      return TRUE;
    default: return CGXStatic::OnKeyDownInCell(ch, repeat, flags);
  }
}

BOOL CGXDateTimeCtrl::OnCharInCell(UINT ch, UINT, UINT) {
  if (ch < 32 || ch == 127) return FALSE;
  const char text[2] = {static_cast<char>(ch), 0};
  return OnTextInput(text);
}

BOOL CGXDateTimeCtrl::OnTextInput(const CString& text) {
  if (!m_hWnd || m_bEditing || IsCellReadOnly()) return FALSE;
  if (!StartEditing()) return FALSE;
  Grid()->RedrawCell(GetRow(), GetCol());
  const int first = FirstEditable();
  if (first >= 0) SetCurrentGadget(first, FALSE);
  ActivateCurrentOnly(TRUE);
  if (text.GetLength() == 1) PostMessage(WM_CHAR, static_cast<BYTE>(text[0]), 0);
  return TRUE;
}

BOOL CGXDateTimeCtrl::OnSysKeyDownInCell(UINT ch, UINT, UINT) {
  if (!m_hWnd || ch != VK_DOWN) return FALSE;
  if (!StartEditing()) return FALSE;
  Grid()->RedrawCell(GetRow(), GetCol(), GX_UPDATENOW);
  if (GetStyle() & kDropDown) PopupCalendar(0, 0, 0);
  return TRUE;
}

// ---- The main window while it edits

void CGXDateTimeCtrl::OnEditKeyDown(UINT key, UINT repeat, UINT flags) {
  if (!m_bEditing) {
    ToGrid(WM_KEYDOWN, key, repeat, flags);
    return;
  }
  Grid()->BringCellIntoView(GetRow(), GetCol());
  bool grid = false;
  if (GetKeyState(VK_CONTROL) < 0) {
    grid = true;
  } else {
    switch (key) {
      case VK_TAB: {
        const bool back = GetKeyState(VK_SHIFT) < 0;
        const int current = GetCurrentGadget();
        grid = !m_bTabFields || current == (back ? FirstEditable() : LastEditable());
        break;
      }
      case VK_RETURN:
      case VK_ESCAPE:
      case VK_PRIOR:
      case VK_NEXT: grid = true; break;
      case VK_DELETE:
        if (IsCellReadOnly()) return;  // as typing: a read-only cell keeps its value
        SetEditingState(FALSE);
        m_bModified = FALSE;
        Grid()->StoreValueFromControl(GetRow(), GetCol(), "", 0, nullptr);
        return;
      default: grid = key >= VK_F1 && key <= 0x87; break;
    }
  }
  if (grid) {
    ToGrid(WM_KEYDOWN, key, repeat, flags);
    return;
  }
  CGXBDateTimeCtrl::WindowProc(WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
}

void CGXDateTimeCtrl::OnEditChar(UINT ch, UINT repeat, UINT flags) {
  if (!m_bEditing || IsCellReadOnly() || ch == VK_BACK) return;
  if (GetKeyState(VK_CONTROL) < 0) {
    if (ch == 3) CopyToClipboard();
    if (ch == 24) CutToClipboard();
    if (ch == 22) PasteFromClipboard();
    return;
  }
  if (ch == '\r' || ch == '\n') return;
  m_bModified = TRUE;
  CGXBDateTimeCtrl::WindowProc(WM_CHAR, ch, MAKELPARAM(repeat, flags));
  NotifyModified();
  ToGrid(WM_CHAR, ch, repeat, flags);
}

LRESULT CGXDateTimeCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT repeat = LOWORD(lParam), flags = HIWORD(lParam);
  switch (message) {
    case WM_KEYDOWN: OnEditKeyDown(static_cast<UINT>(wParam), repeat, flags); return 0;
    case WM_CHAR: OnEditChar(static_cast<UINT>(wParam), repeat, flags); return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_SYSCHAR: {
      const BOOL handled = ToGrid(message, static_cast<UINT>(wParam), repeat, flags);
      if (message == WM_KEYUP && m_bModified) NotifyModified();
      if (handled) return 0;
      return DefWindowProc(message, wParam, lParam);
    }
    case WM_SYSKEYDOWN:
      if (wParam == VK_DOWN && (GetStyle() & kDropDown)) {
        PopupCalendar(0, 0, 0);
        return 0;
      }
      if (ToGrid(message, static_cast<UINT>(wParam), repeat, flags)) return 0;
      break;
    case WM_SETFOCUS: SetScrollOffset(0); break;
    case WM_KILLFOCUS:
    case WM_CONTEXTMENU: return CellWindowMessage(message, wParam, lParam);
    case WM_ERASEBKGND: {
      CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
      CRect client;
      GetClientRect(&client);
      dc->FillSolidRect(&client, RGB(255, 255, 255));
      if (m_pCachedStyle) dc->FillSolidRect(&client, m_pCachedStyle->GetInterior().GetColor());
      return TRUE;
    }
    case WM_LBUTTONUP: {
      LRESULT result = 0;
      {
        CGXFlagScope guard(Grid()->FocusGuard(), TRUE);
        result = CGXBDateTimeCtrl::WindowProc(message, wParam, lParam);
      }
      if (m_bModified) NotifyModified();
      return result;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default: break;
  }
  return CGXBDateTimeCtrl::WindowProc(message, wParam, lParam);
}

// ---- Clipboard

BOOL CGXDateTimeCtrl::CopyToClipboard() {
  if (!IsInitialized() || !Grid()->MatchesCurrentCell(GetRow(), GetCol())) return FALSE;
  return Grid()->CopyOneRange(CGXRange(GetRow(), GetCol()));
}

BOOL CGXDateTimeCtrl::CutToClipboard() {
  if (!CopyToClipboard()) return FALSE;
  if (IsCellReadOnly() || Grid()->IsReadOnly()) return TRUE;
  SetEditingState(FALSE);
  m_bModified = FALSE;
  Grid()->StoreValueFromControl(GetRow(), GetCol(), "", 0, nullptr);
  return TRUE;
}

BOOL CGXDateTimeCtrl::PasteFromClipboard() {
  if (Grid()->IsReadOnly() || !IsInitialized() || !m_bEditing || IsCellReadOnly()) return FALSE;
  const BOOL opened = GetOpenClipboardWindow() == nullptr && OpenClipboard(Grid()->GridHwnd());
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) data = GetClipboardData(CF_OEMTEXT);
  CString text;
  if (data) {
    const char* p = static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(data)));
    text = p ? CString(p) : CString();
    GlobalUnlock(static_cast<HGLOBAL>(data));
  }
  if (opened) CloseClipboard();
  if (!data) return FALSE;
  ReplaceSelectedText(text);
  return TRUE;
}

BOOL CGXDateTimeCtrl::CanPasteFromClipboard() {
  if (Grid()->IsReadOnly() || !IsInitialized() || !m_bEditing || IsCellReadOnly()) return FALSE;
  return IsClipboardFormatAvailable(CF_TEXT);
}

void CGXDateTimeCtrl::ReplaceSelectedText(LPCTSTR text) {
  if (!IsInitialized()) return;
  const ROWCOL row = GetRow(), col = GetCol();
  const BOOL editing = m_bEditing;
  // The text is stored in the stored form, so that every format reads it back; one that gives no value is
  // refused and the cell keeps its value.
  CString value = text ? text : "";
  if (!ConvertTextForCell(value, row, col, GetCachedStyle())) {
    MessageBeep(0xFFFFFFFF);
    return;
  }
  CGXStatic::ReplaceSelectedText(value);
  // The edited cell shows what was stored; the stored value is no longer a pending edit.
  if (editing && IsBoundToCell(row, col) && m_hWnd) {
    CGXFlagScope initialising(m_bInitialising, TRUE);
    SetDateTime(CellValue(Grid()->GetCellValue(row, col), m_bInputAsNumber, m_bDateShown, GetFormatType()));
    m_bModified = FALSE;
  }
}

void CGXDateTimeCtrl::GetSelectionText(CString& out) {
  out.Empty();
  if (!m_bEditing) return;
  if (const CGXBDTGadget* g = CurrentGadget(); g && g->IsActive()) out = FieldText(g);
}

// ---- Find and replace

void CGXDateTimeCtrl::ForgetFindPosition() {
  m_nFindRow = m_nFindCol = 0x7FFFFFFF;
  m_strFind.Empty();
  m_nFindNext = 0;
  m_bFound = FALSE;
}

BOOL CGXDateTimeCtrl::GadgetMatches(const CGXBDTGadget* g, const CString& find, BOOL matchCase) {
  if (find.IsEmpty()) return FALSE;
  if (g->IsKindOf(RUNTIME_CLASS(CGXBDTNumericGadget))) {
    // The number the search text begins with, read over 64 bits: past an int it names no field's value (a 32-bit
    // read made "4294967298" day 2).
    if (!std::isdigit(static_cast<unsigned char>(find[0]))) return FALSE;
    errno = 0;
    const long long number = std::strtoll(find, nullptr, 10);
    return errno != ERANGE && number == g->GetValue();
  }
  if (!g->IsKindOf(RUNTIME_CLASS(CGXBDTListGadget))) return FALSE;
  CString shown = g->GetText(), text = find;
  if (!matchCase) shown.MakeUpper(), text.MakeUpper();
  return shown.Left(text.GetLength()) == text;
}

int CGXDateTimeCtrl::FindGadget(const CGXBDateTimeCtrl& window, int from, const CString& find, BOOL matchCase) {
  for (int i = std::max(from, window.GetFixedCount()); i < window.GetGadgetCount(); ++i)
    if (GadgetMatches(window.GetGadget(i), find, matchCase)) return i;
  return -1;
}

BOOL CGXDateTimeCtrl::FindInCell(DWORD_PTR stateArg, DWORD_PTR rowArg, DWORD_PTR colArg, DWORD_PTR fromCurrent,
                                 DWORD_PTR select) {
  auto* state = reinterpret_cast<CGXFindReplaceState*>(stateArg);
  const auto row = static_cast<ROWCOL>(rowArg), col = static_cast<ROWCOL>(colArg);
  if (!state || state->m_strFind.IsEmpty()) return FALSE;
  const CString& find = state->m_strFind;
  if (IsBoundToCell(row, col) && m_bEditing) {
    const bool continued = m_nFindRow == row && m_nFindCol == col && m_strFind == find && !fromCurrent;
    const int at = FindGadget(*this, continued ? m_nFindNext : 0, find, state->m_bCase);
    if (at < 0) {
      if (continued) ForgetFindPosition();
      return FALSE;
    }
    m_nFindRow = row, m_nFindCol = col, m_strFind = find, m_nFindNext = at + 1, m_bFound = TRUE;
    if (select) {
      SetCurrentGadget(at, FALSE);
      ActivateCurrentOnly(TRUE);
    }
    return TRUE;
  }
  CGXStyle style;
  Grid()->ComposeCellStyle(row, col, style);
  if (!LoadDisplayWindow(style, style.GetIncludeValue() ? style.GetValue() : CString())) return FALSE;
  const int at = FindGadget(m_display, 0, find, state->m_bCase);
  if (at < 0) return FALSE;
  if (select) {
    Grid()->BringCellIntoView(row, col);
    Grid()->MoveCurrentCellTo(row, col, GX_UPDATENOW);
    if (IsBoundToCell(row, col) && StartEditing()) {
      SetCurrentGadget(at, FALSE);
      ActivateCurrentOnly(TRUE);
      m_nFindRow = row, m_nFindCol = col, m_strFind = find, m_nFindNext = at + 1, m_bFound = TRUE;
      Grid()->RedrawCell(row, col, GX_UPDATENOW);
    }
  }
  return TRUE;
}

BOOL CGXDateTimeCtrl::ReplaceInCell(DWORD_PTR stateArg, DWORD_PTR rowArg, DWORD_PTR colArg) {
  auto* state = reinterpret_cast<CGXFindReplaceState*>(stateArg);
  const auto row = static_cast<ROWCOL>(rowArg), col = static_cast<ROWCOL>(colArg);
  if (!state || state->m_strFind.IsEmpty() || !IsBoundToCell(row, col) || !m_bEditing || IsCellReadOnly())
    return FALSE;
  const int at = FindGadget(*this, 0, state->m_strFind, state->m_bCase);
  if (at < 0) return FALSE;
  SetCurrentGadget(at, FALSE);
  ActivateCurrentOnly(TRUE);
  CGXBDTGadget* g = GetGadget(at);
  const CString& replace = state->m_strReplace;
  // The field takes the replacement as it takes a pasted token: a named field a beginning of one of its names
  // (an empty one begins them all), a number field digits alone ("2x" is no day 2).
  BOOL changed = FALSE;
  if (auto* list = dynamic_cast<CGXBDTListGadget*>(g))
    changed = !replace.IsEmpty() && list->FindEntry(replace, 0) >= 0;
  else if (IsDigits(replace) && replace.GetLength() <= 9)
    changed = OnGadgetNotify(GXDT_SET, g->GetFieldId(), std::atoi(replace));
  if (!changed) RefuseReplacement();
  return changed;
}

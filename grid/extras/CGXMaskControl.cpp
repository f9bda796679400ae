// Index: construction and attributes; values and storing; keys and characters on an inactive cell; the
// edit window's keys and characters; replacing the selection; clipboard.
#include "grid/extras/CGXMaskControl.h"

#include <algorithm>
#include <cstdlib>

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxkeys.h"
#include "platform/base/GlobalMemory.h"

IMPLEMENT_DYNAMIC(CGXMaskControl, CGXEditControl)

const CGXControlClass CGXMaskControl::controlClassCGXMaskControl = {"CGXMaskControl",
                                                                    &CGXEditControl::gxClassCGXEditControl};

namespace {

std::unique_ptr<CGXMaskData> MakeData(CRuntimeClass* cls) {
  CObject* made = cls ? cls->CreateObject() : nullptr;
  auto* data = dynamic_cast<CGXMaskData*>(made);
  if (!data) {
    delete made;
    data = new CGXMaskData;
  }
  return std::unique_ptr<CGXMaskData>(data);
}

// A zero-terminated copy of a text in global memory, as the clipboard takes it.
HGLOBAL GlobalText(const CString& text) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, static_cast<SIZE_T>(text.GetLength()) + 1);
  if (!h) return nullptr;
  if (char* p = static_cast<char*>(GlobalLock(h))) {
    std::copy(text.GetString(), text.GetString() + text.GetLength(), p);
    p[text.GetLength()] = '\0';
    GlobalUnlock(h);
  }
  return h;
}

}  // namespace

CGXMaskControl::CGXMaskControl(CGXGridCore* grid, UINT id, CRuntimeClass* maskDataClass)
    : CGXEditControl(grid, id), m_pMaskDataClass(maskDataClass) {
  m_pEditData = MakeData(maskDataClass);
  m_pDisplayData = MakeData(maskDataClass);
}

CGXMaskControl::~CGXMaskControl() = default;

CRuntimeClass* CGXMaskControl::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXMaskControl); }

UINT CGXMaskControl::MaskDataFormat() {
  static const UINT format = RegisterClipboardFormat("GX_MASKDATA");
  return format;
}

void CGXMaskControl::RegisterUserAttributes(CGXStylesMap* map) {
  map->AddUserAttribute(GX_IDS_UA_INPUTMASK);
  CGXStyle prompt;
  prompt.SetMaxLength(1);
  map->AddUserAttribute(GX_IDS_UA_INPUTPROMPT, &prompt);
}

BOOL CGXMaskControl::CreateControl(DWORD style, const RECT* rect) {
  if (!m_pEditData) m_pEditData = MakeData(RUNTIME_CLASS(CGXMaskData));
  if (!m_pDisplayData) m_pDisplayData = MakeData(RUNTIME_CLASS(CGXMaskData));
  return CGXEditControl::CreateEditWindow(style, rect);
}

void CGXMaskControl::SetMaskFromStyle(CGXMaskData* data, const CGXStyle& style) {
  const CString mask = style.HasUserAttribute(GX_IDS_UA_INPUTMASK) ? style.GetUserAttributeText(GX_IDS_UA_INPUTMASK)
                                                                   : CString();
  const CString prompt =
      style.HasUserAttribute(GX_IDS_UA_INPUTPROMPT) ? style.GetUserAttributeText(GX_IDS_UA_INPUTPROMPT) : CString("_");
  data->ClearMask();
  if (!data->SetPromptChar(prompt, FALSE)) data->SetPromptChar("_", FALSE);  // a bad prompt: the default
  data->SetMask(mask);
  data->SetMaxLength(0x7fffffff);
  if (style.IsIncluded(GX_IN_MAXLENGTH) && style.GetMaxLength() != 0) data->SetMaxLength(style.GetMaxLength());
}

// ---- Positions and the window text

void CGXMaskControl::GetCharSel(int& start, int& end) const {
  int s = 0, e = 0;
  if (m_hWnd) GetSel(s, e);
  if (e < 0) e = WindowText().GetLength();
  start = m_pEditData->ByteToCharPos(std::min(s, e));
  end = m_pEditData->ByteToCharPos(std::max(s, e));
}

int CGXMaskControl::CaretPos() const {
  int start = 0, end = 0;
  GetCharSel(start, end);
  return start;
}

void CGXMaskControl::SetCaret(int pos) {
  const int at = m_pEditData->CharToBytePos(std::max(pos, 0));
  SetSel(at, at);
}

void CGXMaskControl::Rebuild(int caret) {
  CString shown;
  m_pEditData->GetDisplayText(shown);
  {
    CGXFlagScope rebuilding(m_bRebuilding, TRUE);
    SetWindowText(shown);
  }
  SetModifiedState(TRUE);
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), EN_CHANGE), reinterpret_cast<LPARAM>(m_hWnd));
  SetCaret(caret);
}

BOOL CGXMaskControl::IsReadOnlyHere() const {
  return IsCellReadOnly() || (m_hWnd && (GetStyle() & ES_READONLY));
}

// ---- Values

void CGXMaskControl::SetEditedValue(const CString& text) {
  if (!m_hWnd) return;
  SetMaskFromStyle(m_pEditData.get(), GetCachedStyle());
  m_pEditData->PushData(text, -1, FALSE);
  CString shown;
  m_pEditData->GetDisplayText(shown);
  CGXFlagScope rebuilding(m_bRebuilding, TRUE);
  SetWindowText(shown);
}

void CGXMaskControl::GetEditText(CString& out) const {
  out.Empty();
  if (IsInitialized()) m_pEditData->GetDisplayText(out);
}

void CGXMaskControl::SetEditText(const CString& text) {
  if (!IsInitialized() || !m_hWnd) return;
  if (!GetEditingState()) SetEditingState(TRUE);
  if (!AcceptsText(text)) return;
  m_pEditData->SetDisplayText(text, 0, FALSE);
  Rebuild(CaretPos());
}

BOOL CGXMaskControl::GetEditedValue(CString& out) const {
  if (!IsInitialized()) return FALSE;
  m_pEditData->GetData(out, 0, -1, TRUE);
  return TRUE;
}

BOOL CGXMaskControl::StoreValue() {
  if (!IsInitialized() || !GetModifiedState() || !m_hWnd) return TRUE;
  CString value;
  GetEditedValue(value);
  const CGXStyle style = GetCachedStyle();
  SetEditingState(FALSE);
  return Grid()->StoreValueFromControl(GetRow(), GetCol(), value, 0, &style);
}

BOOL CGXMaskControl::ValidateValue() {
  if (IsInitialized() && GetEditingState() && !m_pEditData->IsValid()) return FALSE;
  return CGXEditControl::ValidateValue();
}

BOOL CGXMaskControl::GetDisplayText(CString& out, ROWCOL, ROWCOL, const CString* value, const CGXStyle& style) const {
  out.Empty();
  auto& self = const_cast<CGXMaskControl&>(*this);
  self.SetMaskFromStyle(m_pDisplayData.get(), style);
  const CString text = value ? *value : (style.GetIncludeValue() ? style.GetValue() : CString());
  if (text.IsEmpty() && !m_bShowEmptyMask) return TRUE;
  if (m_pDisplayData->PushData(text, -1, FALSE) == -1) return FALSE;
  m_pDisplayData->GetDisplayText(out);
  return TRUE;
}

BOOL CGXMaskControl::ConvertTextForCell(CString& text, ROWCOL, ROWCOL, const CGXStyle& style) {
  SetMaskFromStyle(m_pDisplayData.get(), style);
  // The text goes in as a paste over the whole edited text would: a shown text (with its literals) or typed
  // characters, whole. A text the editor would refuse ("555-987-6543" for (###) ###-####, eleven digits for
  // ten, "abcde" for #####-####) is refused here too, never stored in part.
  m_pDisplayData->ClearData();
  if (m_pDisplayData->ReplaceRange(text, 0, m_pDisplayData->GetDataLength(), FALSE) < 0) return FALSE;
  m_pDisplayData->GetData(text, 0, -1, TRUE);
  return TRUE;
}

// ---- Keys and characters on a cell not being edited

BOOL CGXMaskControl::StartAt(int caret) {
  if (!StartEditing()) return FALSE;
  SetCaret(caret);
  return TRUE;
}

BOOL CGXMaskControl::OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) {
  if (!m_hWnd || gx::KeyHeld(VK_CONTROL)) return CGXStatic::OnKeyDownInCell(ch, repeat, flags);
  switch (ch) {
    case VK_HOME: {
      const int first = m_pEditData->GetNextInputPos(-1);
      if (!StartAt(std::max(first, 0))) return TRUE;
      break;
    }
    case VK_END:
      if (!StartAt(m_pEditData->GetValidCaretPos(m_pEditData->GetDataLength()))) return TRUE;
      break;
    case VK_DELETE:
      if (gx::KeyHeld(VK_SHIFT) || IsCellReadOnly() || !NotifyEditStart()) return CGXStatic::OnKeyDownInCell(ch, repeat, flags);
      SetEditingState(TRUE);
      SetEditedValue("");
      SetModifiedState(TRUE);
      NotifyModified();
      break;
    default: return CGXStatic::OnKeyDownInCell(ch, repeat, flags);
  }
  ShowCellAfterKey();
  return TRUE;
}

BOOL CGXMaskControl::OnCharInCell(UINT ch, UINT repeat, UINT flags) {
  if (ch < 0x20 || ch == 0x7F) return CGXStatic::OnCharInCell(ch, repeat, flags);
  const char text[2] = {static_cast<char>(ch), 0};
  return OnDbcsCharInCell(text, repeat, flags);
}

BOOL CGXMaskControl::OnDbcsCharInCell(const CString& text, UINT, UINT) {
  if (IsCellReadOnly() || !m_hWnd) return FALSE;
  if (GetEditingState()) {
    TypeChar(text);
    return TRUE;
  }
  if (!NotifyEditStart()) return TRUE;
  const int first = m_pEditData->GetNextInputPos(-1);
  CString ch = text;
  if (first < 0 || !m_pEditData->IsValidInput(first, ch)) {
    OnInvalidChar(text);
    return TRUE;
  }
  m_pEditData->ClearData();
  int next = first + 1;
  m_pEditData->InsertAt(first, ch, next);
  SetEditingState(TRUE);
  Rebuild(next);
  HideAndInvalidate();
  return TRUE;
}

// ---- The edit window

void CGXMaskControl::TypeChar(const CString& typed) {
  int start = 0, end = 0;
  GetCharSel(start, end);
  const BOOL selection = start != end;
  const int pos = m_pEditData->GetNextInputPos(start - 1);
  if (pos < 0 || (selection && pos >= end) || (m_pEditData->IsFreeText() && pos > m_pEditData->GetDataLength())) {
    MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  CString ch = typed;
  if (!m_pEditData->IsValidInput(pos, ch)) {
    OnInvalidChar(typed);
    return;
  }
  int caret = pos + 1;
  if (m_bInsertMode) {
    if (selection) m_pEditData->DeleteRange(end, pos);
    if (!m_pEditData->InsertAt(pos, ch, caret)) {
      MessageBeep(MB_ICONEXCLAMATION);  // a full mask: nothing changes
      return;
    }
  } else {
    if (selection && end > pos + 1) m_pEditData->DeleteRange(end, pos + 1);
    m_pEditData->SetDisplayText(ch, pos, FALSE);
  }
  Rebuild(caret);
}

void CGXMaskControl::OnMaskChar(UINT ch, UINT repeat, UINT flags) {
  if (!IsInitialized() || !GetEditingState() || ch == VK_BACK) return;
  if (IsReadOnlyHere() && ch != 3) return;
  Grid()->BringCellIntoView(GetRow(), GetCol(), GX_UPDATENOW);
  if (gx::KeyHeld(VK_CONTROL)) {
    switch (ch) {
      case 3: CopyToClipboard(); return;
      case 22: PasteFromClipboard(); return;
      case 24: CutToClipboard(); return;
      default:
        DefWindowProc(WM_CHAR, ch, MAKELPARAM(repeat, flags));
        ToGrid(WM_CHAR, ch, repeat, flags);
        return;
    }
  }
  CString text;
  const GXComposedChar composed = ComposeDbcsChar(m_bLeadPending, m_cLead, ch, text);
  if (composed == GXComposedChar::held) return;
  if (composed == GXComposedChar::single) text = CString(static_cast<char>(ch));
  if (ch == '\r' || ch == '\n') return;
  if (text.GetLength() == 1 && static_cast<BYTE>(text[0]) < 0x20) {
    DefWindowProc(WM_CHAR, ch, MAKELPARAM(repeat, flags));
    ToGrid(WM_CHAR, ch, repeat, flags);
    return;
  }
  TypeChar(text);
}

void CGXMaskControl::OnMaskKeyDown(UINT ch, UINT repeat, UINT flags) {
  auto window = [&] { DefWindowProc(WM_KEYDOWN, ch, MAKELPARAM(repeat, flags)); };
  auto grid = [&] { ToGrid(WM_KEYDOWN, ch, repeat, flags); };
  if (!GetEditingState()) return grid();
  Grid()->BringCellIntoView(GetRow(), GetCol(), GX_UPDATENOW);
  if (gx::KeyHeld(VK_CONTROL)) return grid();
  const BOOL shift = gx::KeyHeld(VK_SHIFT);
  CGXMaskData& data = *m_pEditData;
  int start = 0, end = 0;
  GetCharSel(start, end);
  const BOOL selection = start != end;
  const int length = data.GetDataLength();
  switch (ch) {
    case VK_LEFT: {
      if (shift) return window();
      if (selection) {
        const int at = data.IsLiteral(start) ? data.GetPrevInputPos(start) : start;
        return SetCaret(at < 0 ? start : at);
      }
      if (start == 0) return grid();
      const int prev = data.GetPrevInputPos(start);
      if (prev >= 0) SetCaret(prev);
      return;
    }
    case VK_RIGHT: {
      if (shift) return window();
      if (selection) {
        const int at = data.GetNextInputPos(end - 1);
        return SetCaret(at < 0 ? data.GetValidCaretPos(length) : at);
      }
      if (start >= length) return grid();
      const int next = data.GetNextInputPos(start);
      SetCaret(next < 0 ? data.GetValidCaretPos(length) : next);
      return;
    }
    case VK_HOME:
      if (shift) return SetSel(0, data.CharToBytePos(start));
      return SetCaret(std::max(data.GetNextInputPos(-1), 0));
    case VK_END:
      if (shift) return SetSel(data.CharToBytePos(start), data.CharToBytePos(length));
      return SetCaret(data.GetValidCaretPos(length));
    case VK_BACK: {
      if (IsReadOnlyHere()) return window();
      if (selection) {
        data.DeleteRange(end, start);
        const int at = data.GetNextInputPos(start - 1);
        return Rebuild(at < 0 ? start : at);
      }
      const int prev = data.GetPrevInputPos(start);
      if (prev < 0) return;
      data.DeleteRange(prev + 1, prev);
      return Rebuild(prev);
    }
    case VK_DELETE: {
      if (IsReadOnlyHere()) return window();
      if (shift) {
        CutToClipboard();
        return;
      }
      if (selection) return ReplaceSelectedText("");
      const int at = data.GetNextInputPos(start - 1);
      if (at < 0 || at >= length) return;
      data.DeleteRange(at + 1, at);
      return Rebuild(start);
    }
    case VK_INSERT:
      if (shift) {
        PasteFromClipboard();
        return;
      }
      if (!IsReadOnlyHere()) m_bInsertMode = !m_bInsertMode;
      return;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
    case VK_TAB:
    case VK_RETURN:  // a single-line cell: Enter ends the edit through the grid
      return grid();
    default:
      if ((ch >= VK_F1 && ch <= 0x87) || ch < 28) return grid();
      return window();
  }
}

LRESULT CGXMaskControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT repeat = LOWORD(lParam), flags = HIWORD(lParam);
  switch (message) {
    case WM_CHAR: OnMaskChar(static_cast<UINT>(wParam), repeat, flags); return 0;
    case WM_KEYDOWN: OnMaskKeyDown(static_cast<UINT>(wParam), repeat, flags); return 0;
    case WM_LBUTTONUP: {
      const LRESULT result = CGXEditControl::WindowProc(message, wParam, lParam);
      int start = 0, end = 0;
      GetCharSel(start, end);
      if (start == end && m_pEditData) {
        const int valid = m_pEditData->GetValidCaretPos(start);
        int at = m_pEditData->GetNextInputPos(valid - 1);
        if (at < 0) at = m_pEditData->GetPrevInputPos(valid);
        SetCaret(at < 0 ? valid : at);
      }
      return result;
    }
    default: break;
  }
  return CGXEditControl::WindowProc(message, wParam, lParam);
}

// ---- Replacing the selection

void CGXMaskControl::ReplaceSelectedText(LPCTSTR text) {
  if (!IsInitialized() || IsCellReadOnly()) return;
  if (!GetEditingState() || !m_hWnd) {
    CGXStatic::ReplaceSelectedText(text);
    return;
  }
  int start = 0, end = 0;
  GetCharSel(start, end);
  const int at = m_pEditData->ReplaceRange(text ? text : "", start, end, m_bPastingMaskData);
  if (at < 0) {
    MessageBeep(MB_ICONEXCLAMATION);  // nothing fits: the text stays as it was
    return;
  }
  Rebuild(at);
}

// ---- Clipboard

BOOL CGXMaskControl::PutOnClipboard(const CString& data, const CString& shown) {
  if (!OpenClipboard(Grid()->GridHwnd())) return FALSE;
  // Decision: one opening for both formats; the base copy empties the clipboard before it sets its text,
  // which would drop the typed characters put there first.
  EmptyClipboard();
  BOOL ok = FALSE;
  if (!data.IsEmpty())
    if (HGLOBAL h = GlobalText(data)) {
      if (SetClipboardData(MaskDataFormat(), h))
        ok = TRUE;
      else
        GlobalFree(h);
    }
  if (!shown.IsEmpty())
    if (HGLOBAL h = GlobalText(shown)) {
      if (SetClipboardData(CF_TEXT, h))
        ok = TRUE;
      else
        GlobalFree(h);
    }
  CloseClipboard();
  return ok;
}

BOOL CGXMaskControl::CopyToClipboard() {
  if (!IsInitialized() || !Grid()->MatchesCurrentCell(GetRow(), GetCol())) return FALSE;
  CString data, shown;
  if (GetEditingState() && m_hWnd) {
    int start = 0, end = 0;
    GetCharSel(start, end);
    if (start == end) return CGXEditControl::CopyToClipboard();  // nothing selected: the clipboard stays
    m_pEditData->GetData(data, start, end - 1, TRUE);
    GetSelectionText(shown);
  } else {
    m_pEditData->GetData(data, 0, -1, TRUE);
    GetDisplayText(shown, GetRow(), GetCol(), nullptr, GetCachedStyle());
  }
  if (data.IsEmpty() && shown.IsEmpty()) return FALSE;
  return PutOnClipboard(data, shown);
}

BOOL CGXMaskControl::CanPasteFromClipboard() {
  if (GridStylesTakePrecedence() || !IsInitialized() || !GetEditingState() || IsCellReadOnly()) return FALSE;
  return IsClipboardFormatAvailable(MaskDataFormat()) || IsClipboardFormatAvailable(CF_TEXT);
}

BOOL CGXMaskControl::PasteFromClipboard() {
  if (GridStylesTakePrecedence() || !IsInitialized() || !GetEditingState() || IsCellReadOnly()) return FALSE;
  return PasteShowingRefusal([this] { return PasteMaskOrText(); });
}

BOOL CGXMaskControl::PasteMaskOrText() {
  const BOOL opened = GetOpenClipboardWindow() == nullptr && OpenClipboard(Grid()->GridHwnd());
  HANDLE data = GetClipboardData(MaskDataFormat());
  CGXFlagScope masked(m_bPastingMaskData, data != nullptr);
  if (!data) data = GetClipboardData(CF_TEXT);
  if (!data) data = GetClipboardData(CF_OEMTEXT);
  CString text;
  if (data) {
    const SIZE_T size = GlobalSize(static_cast<HGLOBAL>(data));
    if (const char* p = static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(data)))) {
      // Read no further than the block: a block without its zero byte is cut at its end.
      SIZE_T n = 0;
      while (n < size && p[n]) ++n;
      text = CString(p, static_cast<int>(n));
      GlobalUnlock(static_cast<HGLOBAL>(data));
    }
    // A free text longer than its maximum once the paste is in is refused with the grid's message.
    const CGXMaskData& edit = *m_pEditData;
    int start = 0, end = 0;
    GetCharSel(start, end);
    const int length = edit.GetDataLength() - std::abs(end - start) +
                       static_cast<int>(CGXMaskData::SplitChars(text).size());
    if (!edit.IsFreeText() || !PasteTooLong(length, static_cast<UINT>(edit.GetMaxLength())))
      ReplaceSelectedText(text);
  }
  if (opened) CloseClipboard();
  return data != nullptr;
}

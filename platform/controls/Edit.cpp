#include "platform/controls/Edit.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <string>

#include "platform/base/GlobalMemory.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/EditModel.h"
#include "platform/controls/TextInput.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

struct EditState {
  EditModel model;
  bool multiline = false;
  HFONT font = nullptr;
  CharWidths widths;
  CharWidths shown;  // widths as displayed (all the password character's for password edits)
  int lineHeight = 16;
  int avgWidth = 7;
  int leftMargin = 0, rightMargin = 0;
  bool explicitRect = false;
  CRect rect;  // format rectangle, client coordinates
  int firstLine = 0;
  int xOffset = 0;
  UINT limit = kEditInitialLimit;
  bool modify = false;
  char passwordChar = 0;
  bool focused = false;
  bool selecting = false;
  int desiredX = -1;     // kept across Up/Down
  bool vscroll = false;  // created with WS_VSCROLL (the bar comes and goes with the need)
  bool hscroll = false;  // created with WS_HSCROLL
  int widest = -1;       // the widest line's width, -1 until measured again
};

StateTable<EditState>& States() { return StateTable<EditState>::Instance(); }

enum class Origin { User, Api };

// ---- Metrics and layout -------------------------------------------------------------------------------

bool Password(HWND hwnd, const EditState& s) { return !s.multiline && (StyleOf(hwnd) & ES_PASSWORD) && s.passwordChar; }

void ApplyFont(EditState& s) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FontOr(s.font));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  INT w[256]{};
  GetCharWidth32(dc, 0, 255, w);
  SelectObject(dc, old);
  DeleteDC(dc);
  for (int i = 0; i < 256; ++i) s.widths.width[static_cast<size_t>(i)] = w[i];
  s.lineHeight = std::max(1, static_cast<int>(tm.tmHeight));
  s.avgWidth = std::max(1, static_cast<int>(tm.tmAveCharWidth));
  s.widths.tab = 8 * s.avgWidth;
}

void UpdateShownWidths(HWND hwnd, EditState& s) {
  s.shown = s.widths;
  if (Password(hwnd, s)) s.shown.width.fill(s.widths.width[static_cast<unsigned char>(s.passwordChar)]);
}

int LineWidth(const EditState& s, int line) { return s.model.Measure(s.model.LineStart(line), s.model.LineEnd(line)); }

// The widest line sets the horizontal scroll range; measured again only after a change that may have narrowed it.
int Widest(EditState& s) {
  if (s.widest < 0) {
    s.widest = 0;
    for (int l = 0; l < s.model.LineCount(); ++l) s.widest = std::max(s.widest, LineWidth(s, l));
  }
  return s.widest;
}

int WidestOfLines(const EditState& s, int from, int to) {
  int w = 0;
  for (int l = s.model.LineFromChar(from), last = s.model.LineFromChar(to); l <= last; ++l) w = std::max(w, LineWidth(s, l));
  return w;
}

void Relayout(HWND hwnd, EditState& s) {
  if (!s.explicitRect) {
    s.rect = ClientRectOf(hwnd);
    s.rect.left += s.leftMargin;
    s.rect.right -= s.rightMargin;
    if (s.rect.right < s.rect.left) s.rect.right = s.rect.left;
  }
  UpdateShownWidths(hwnd, s);
  const bool wrap = s.multiline && !(StyleOf(hwnd) & ES_AUTOHSCROLL);
  s.model.SetLayout(&s.shown, wrap ? std::max(1, s.rect.Width()) : 0);
  s.widest = -1;
  // Made wider (a window scrolled while it was narrow, then sized to its cell), the view keeps no more
  // sideways scroll than the widest line needs: a text that fits shows from its start.
  if (s.xOffset > 0) s.xOffset = std::clamp(Widest(s) - s.rect.Width() + 1, 0, s.xOffset);
}

int VisibleLines(const EditState& s) { return s.multiline ? std::max(1, s.rect.Height() / s.lineHeight) : 1; }

int AlignOffset(HWND hwnd, const EditState& s, int line) {
  const DWORD align = StyleOf(hwnd) & (ES_CENTER | ES_RIGHT);
  if (!align) return 0;
  const int room = s.rect.Width() - LineWidth(s, line);
  if (room <= 0) return 0;
  return (align & ES_CENTER) ? room / 2 : room;
}

CPoint PosFromChar(HWND hwnd, const EditState& s, int pos) {
  const int line = s.model.LineFromChar(pos);
  const int x = s.rect.left + AlignOffset(hwnd, s, line) + s.model.Measure(s.model.LineStart(line), pos) - s.xOffset;
  const int y = s.rect.top + (line - s.firstLine) * s.lineHeight;
  return CPoint(x, y);
}

int CharFromPoint(HWND hwnd, const EditState& s, CPoint pt, int* lineOut = nullptr) {
  int line = s.multiline ? s.firstLine + (pt.y - s.rect.top) / s.lineHeight : 0;
  if (pt.y < s.rect.top && s.multiline) line = s.firstLine - 1;
  line = std::clamp(line, 0, s.model.LineCount() - 1);
  if (lineOut) *lineOut = line;
  return s.model.CharAtX(line, pt.x - s.rect.left - AlignOffset(hwnd, s, line) + s.xOffset);
}

// ---- Scrolling and display ----------------------------------------------------------------------------

void UpdateScrollBars(HWND hwnd, EditState& s) {
  if (!s.multiline) return;
  if (s.vscroll) {
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, s.model.LineCount() - 1, 0, s.firstLine, 0};
    si.nPage = static_cast<UINT>(VisibleLines(s));
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  }
  if (s.hscroll) {
    // The widest line sets the range; only edits that scroll sideways (ES_AUTOHSCROLL) ask for this bar.
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, Widest(s), 0, s.xOffset, 0};
    si.nPage = static_cast<UINT>(std::max(1, s.rect.Width()));
    SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
  }
}

void PlaceCaret(HWND hwnd, const EditState& s) {
  if (!s.focused) return;
  const CPoint p = PosFromChar(hwnd, s, s.model.Caret());
  SetCaretPos(p.x, p.y);
}

void ScrollCaretIntoView(HWND hwnd, EditState& s) {
  const int oldFirst = s.firstLine, oldX = s.xOffset;
  const int caret = s.model.Caret();
  const int line = s.model.LineFromChar(caret);
  if (s.multiline) {
    const int visible = VisibleLines(s);
    if (line < s.firstLine) s.firstLine = line;
    if (line >= s.firstLine + visible) s.firstLine = line - visible + 1;
  }
  const bool hscroll = !s.multiline || (StyleOf(hwnd) & ES_AUTOHSCROLL);
  if (hscroll) {
    const int x = AlignOffset(hwnd, s, line) + s.model.Measure(s.model.LineStart(line), caret);
    const int width = std::max(1, s.rect.Width());
    // The view jumps by a third of its width, so typing does not scroll at every character.
    if (x < s.xOffset)
      s.xOffset = std::max(0, x - width / 3);
    else if (x > s.xOffset + width - 1)
      s.xOffset = x - width + width / 3;
  }
  if (oldFirst != s.firstLine || oldX != s.xOffset) {
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateScrollBars(hwnd, s);
  }
  PlaceCaret(hwnd, s);
}

void InvalidateFromLine(HWND hwnd, const EditState& s, int line) {
  CRect r = ClientRectOf(hwnd);
  if (s.multiline) r.top = std::max(r.top, s.rect.top + (line - s.firstLine) * s.lineHeight);
  InvalidateRect(hwnd, &r, TRUE);
}

void InvalidateSelection(HWND hwnd, const EditState& s, int oldStart, int oldEnd) {
  const int a = std::min(oldStart, s.model.SelStart()), b = std::max(oldEnd, s.model.SelEnd());
  if (a == b && oldStart == oldEnd && !s.model.HasSelection()) return;
  CRect r = ClientRectOf(hwnd);
  if (s.multiline) {
    r.top = std::max(r.top, s.rect.top + (s.model.LineFromChar(a) - s.firstLine) * s.lineHeight);
    r.bottom = std::min(r.bottom, s.rect.top + (s.model.LineFromChar(b) - s.firstLine + 1) * s.lineHeight);
  }
  if (!r.IsRectEmpty()) InvalidateRect(hwnd, &r, TRUE);
}

void SetSelection(HWND hwnd, EditState& s, int anchor, int caret) {
  const int oldStart = s.model.SelStart(), oldEnd = s.model.SelEnd();
  s.model.Select(anchor, caret);
  InvalidateSelection(hwnd, s, oldStart, oldEnd);
}

// ---- The one path for changes -------------------------------------------------------------------------

std::string ConvertCase(HWND hwnd, std::string text) {
  const DWORD style = StyleOf(hwnd);
  if (style & ES_UPPERCASE)
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  else if (style & ES_LOWERCASE)
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Replaces the selection. Returns false when nothing changed (refused, or the control is gone).
bool ReplaceSelection(HWND hwnd, EditState& s, std::string text, Origin origin, EditModel::UndoMode undo) {
  auto keep = States().Get(hwnd);
  const DWORD style = StyleOf(hwnd);
  if (origin == Origin::User && (style & ES_READONLY)) {
    MessageBeep(MB_OK);
    return false;
  }
  if (!s.multiline) {
    // A single-line edit keeps the first line of what it is given.
    const size_t cut = text.find_first_of("\r\n");
    if (cut != std::string::npos) text.resize(cut);
  }
  text = ConvertCase(hwnd, std::move(text));
  const int from = s.model.SelStart(), to = s.model.SelEnd();
  const long long room = static_cast<long long>(s.limit) - (s.model.Length() - (to - from));
  bool truncated = false;
  if (static_cast<long long>(text.size()) > room) {
    const size_t cut = static_cast<size_t>(std::max(0LL, room));
    // A line break is one unit: a "\r\n" that does not fit whole goes whole.
    const bool splitsBreak = s.multiline && cut > 0 && text[cut - 1] == '\r' && text[cut] == '\n';
    text.resize(splitsBreak ? cut - 1 : cut);
    truncated = true;
  }
  if (origin == Origin::User && !s.multiline && !(style & ES_AUTOHSCROLL) && s.rect.Width() > 0) {
    // Without ES_AUTOHSCROLL a single-line edit takes only what fits in its width.
    const std::string& cur = s.model.Text();
    std::string after = cur.substr(0, static_cast<size_t>(from)) + text + cur.substr(static_cast<size_t>(to));
    int w = 0;
    for (char c : after) w += s.shown.Of(static_cast<unsigned char>(c), w);
    while (!text.empty() && w > s.rect.Width()) {
      w -= s.shown.width[static_cast<unsigned char>(text.back())];
      text.pop_back();
      truncated = true;
    }
  }
  if (origin == Origin::User && s.multiline && !(style & ES_AUTOVSCROLL) && s.rect.Height() >= s.lineHeight) {
    // Without ES_AUTOVSCROLL a multi-line edit takes no more lines than it shows.
    EditModel trial = s.model;
    trial.Replace(from, to, text, EditModel::UndoMode::Clear);
    if (trial.LineCount() > VisibleLines(s) && trial.LineCount() > s.model.LineCount()) {
      NotifyParent(hwnd, EN_MAXTEXT);
      return false;
    }
  }
  if (text.empty() && from == to) {
    if (truncated) NotifyParent(hwnd, EN_MAXTEXT);
    return false;
  }
  const int firstLine = s.model.LineFromChar(from);
  // The widest line stays known unless the lines the change touched held it.
  const int oldLines = s.model.LineCount();
  const bool widestTouched = s.widest >= 0 && WidestOfLines(s, from, to) >= s.widest;
  s.model.Replace(from, to, text, undo);
  // Insertions only widen a line, unless they break it; a word-wrapping edit may move words between lines.
  const bool wraps = s.multiline && !(style & ES_AUTOHSCROLL);
  if (wraps || (widestTouched && (from != to || s.model.LineCount() != oldLines))) s.widest = -1;
  if (s.widest >= 0) s.widest = std::max(s.widest, WidestOfLines(s, from, from + static_cast<int>(text.size())));
  s.modify = true;
  s.desiredX = -1;
  InvalidateFromLine(hwnd, s, std::max(0, firstLine - 1));
  UpdateScrollBars(hwnd, s);
  ScrollCaretIntoView(hwnd, s);
  if (!NotifyParent(hwnd, EN_UPDATE)) return false;
  if (!NotifyParent(hwnd, EN_CHANGE)) return false;
  if (truncated) NotifyParent(hwnd, EN_MAXTEXT);
  return true;
}

void SetText(HWND hwnd, EditState& s, const char* text) {
  auto keep = States().Get(hwnd);
  s.model.SetText(ConvertCase(hwnd, text ? text : ""));
  if (!s.multiline) {
    const size_t cut = s.model.Text().find_first_of("\r\n");
    if (cut != std::string::npos) s.model.SetText(s.model.Text().substr(0, cut));
  }
  s.widest = -1;
  s.modify = false;
  s.firstLine = 0;
  s.xOffset = 0;
  s.desiredX = -1;
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScrollBars(hwnd, s);
  PlaceCaret(hwnd, s);
  if (!s.multiline) {
    if (NotifyParent(hwnd, EN_UPDATE)) NotifyParent(hwnd, EN_CHANGE);
  }
}

// ---- Clipboard ----------------------------------------------------------------------------------------

bool Copy(HWND hwnd, const EditState& s) {
  if (Password(hwnd, s) || !s.model.HasSelection()) return false;
  if (!OpenClipboard(hwnd)) return false;
  EmptyClipboard();
  const std::string text = s.model.Text().substr(static_cast<size_t>(s.model.SelStart()),
                                                 static_cast<size_t>(s.model.SelEnd() - s.model.SelStart()));
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (block) {
    auto* p = static_cast<char*>(GlobalLock(block));
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
  }
  CloseClipboard();
  return true;
}

void Paste(HWND hwnd, EditState& s) {
  std::string text;
  if (!OpenClipboard(hwnd)) return;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text.assign(p, strnlen(p, GlobalSize(h)));
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  if (!text.empty()) ReplaceSelection(hwnd, s, std::move(text), Origin::User, EditModel::UndoMode::Record);
}

void Clear(HWND hwnd, EditState& s) {
  if (s.model.HasSelection()) ReplaceSelection(hwnd, s, "", Origin::User, EditModel::UndoMode::Record);
}

void Cut(HWND hwnd, EditState& s) {
  if (Password(hwnd, s)) return;
  if ((StyleOf(hwnd) & ES_READONLY) == 0 && Copy(hwnd, s)) Clear(hwnd, s);
}

void UndoEdit(HWND hwnd, EditState& s) {
  if (StyleOf(hwnd) & ES_READONLY || !s.model.CanUndo()) return;
  auto keep = States().Get(hwnd);
  s.model.Undo();
  s.widest = -1;
  s.modify = true;
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScrollBars(hwnd, s);
  ScrollCaretIntoView(hwnd, s);
  if (NotifyParent(hwnd, EN_UPDATE)) NotifyParent(hwnd, EN_CHANGE);
}

// ---- Keyboard -----------------------------------------------------------------------------------------

int StepLeft(const EditState& s, int pos) {
  if (pos >= 2 && s.model.Text()[static_cast<size_t>(pos) - 1] == '\n' &&
      s.model.Text()[static_cast<size_t>(pos) - 2] == '\r' && s.multiline)
    return pos - 2;
  return std::max(0, pos - 1);
}

int StepRight(const EditState& s, int pos) {
  const std::string& t = s.model.Text();
  if (s.multiline && pos + 1 < s.model.Length() && t[static_cast<size_t>(pos)] == '\r' &&
      t[static_cast<size_t>(pos) + 1] == '\n')
    return pos + 2;
  return std::min(s.model.Length(), pos + 1);
}

int VerticalMove(HWND hwnd, EditState& s, int lines) {
  const int caret = s.model.Caret();
  const int line = s.model.LineFromChar(caret);
  if (s.desiredX < 0) s.desiredX = AlignOffset(hwnd, s, line) + s.model.Measure(s.model.LineStart(line), caret);
  const int target = std::clamp(line + lines, 0, s.model.LineCount() - 1);
  return s.model.CharAtX(target, s.desiredX - AlignOffset(hwnd, s, target));
}

// ---- Mouse ---------------------------------------------------------------------------------------------

constexpr UINT_PTR kDragScrollTimer = 1;
constexpr UINT kDragScrollMs = 100;

// Extends a drag selection to a point; past the format rectangle the view moves a line or a character
// further, so holding the mouse outside keeps scrolling on the timer.
void DragTo(HWND hwnd, EditState& s, CPoint pt) {
  int pos = CharFromPoint(hwnd, s, pt);
  if (s.multiline && pt.y >= s.rect.bottom) {
    const int line = std::min(s.model.LineCount() - 1, s.firstLine + VisibleLines(s));
    pos = s.model.CharAtX(line, pt.x - s.rect.left - AlignOffset(hwnd, s, line) + s.xOffset);
  } else if (!s.multiline && pt.x >= s.rect.right) {
    pos = std::min(s.model.Length(), pos + 1);
  } else if (!s.multiline && pt.x < s.rect.left) {
    pos = std::max(0, pos - 1);
  }
  SetSelection(hwnd, s, s.model.Anchor(), pos);
  ScrollCaretIntoView(hwnd, s);
  if (s.rect.PtInRect(pt))
    KillTimer(hwnd, kDragScrollTimer);
  else
    SetTimer(hwnd, kDragScrollTimer, kDragScrollMs, nullptr);
}

LRESULT OnTimer(HWND hwnd, EditState& s, WPARAM id) {
  if (id != kDragScrollTimer) return 0;
  if (!s.selecting) {
    KillTimer(hwnd, kDragScrollTimer);
    return 0;
  }
  POINT pt{};
  GetCursorPos(&pt);
  ScreenToClient(hwnd, &pt);
  DragTo(hwnd, s, CPoint(pt));
  return 0;
}

// ---- Painting -----------------------------------------------------------------------------------------

constexpr int kLongRun = 256;

void DrawRun(HDC dc, const EditState& s, const std::string& text, int from, int to, int lineStart, int x0, int y) {
  // Of a long run, only the characters that can reach the format rectangle are drawn (a glyph overhangs its
  // cell by less than the line's height), so a long line costs what it shows.
  if (to - from > kLongRun) {
    const int line = s.model.LineFromChar(lineStart);
    const int reach = s.lineHeight;
    from = std::max(from, s.model.CharAtX(line, s.rect.left - reach - x0) - 1);
    to = std::min(to, s.model.CharAtX(line, s.rect.right + reach - x0) + 1);
  }
  // Runs are cut at tabs, which advance to the next stop measured from the line start.
  int i = from;
  while (i < to) {
    int j = i;
    while (j < to && text[static_cast<size_t>(j)] != '\t') ++j;
    if (j > i) {
      const int x = x0 + s.model.Measure(lineStart, i);
      TextOut(dc, x, y, text.data() + i, j - i);
    }
    i = j + (j < to ? 1 : 0);
  }
}

void Paint(HWND hwnd, HDC dc, EditState& s) {
  const DWORD style = StyleOf(hwnd);
  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  // Read-only and disabled edits take the static colours.
  const UINT colorMsg = (!enabled || (style & ES_READONLY)) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  HBRUSH brush = ControlColor(hwnd, colorMsg, dc);
  if (!IsWindow(hwnd)) return;
  const CRect client = ClientRectOf(hwnd);
  FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
  if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  const COLORREF text = GetTextColor(dc);
  SelectScope font(dc, FontOr(s.font));
  SetBkMode(dc, TRANSPARENT);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, s.rect.left, s.rect.top, s.rect.right, s.rect.bottom);

  const std::string& real = s.model.Text();
  const bool password = Password(hwnd, s);
  const std::string masked = password ? std::string(real.size(), s.passwordChar) : std::string();
  const std::string& shown = password ? masked : real;
  const bool showSel = s.model.HasSelection() && (s.focused || (style & ES_NOHIDESEL));
  const int selA = s.model.SelStart(), selB = s.model.SelEnd();
  const int last = std::min(s.model.LineCount() - 1, s.firstLine + VisibleLines(s));
  for (int line = s.firstLine; line <= last; ++line) {
    const int a = s.model.LineStart(line), b = s.model.LineEnd(line);
    const int x0 = s.rect.left + AlignOffset(hwnd, s, line) - s.xOffset;
    const int y = s.rect.top + (line - s.firstLine) * s.lineHeight;
    if (!showSel || selB <= a || selA >= b) {
      SetTextColor(dc, text);
      DrawRun(dc, s, shown, a, b, a, x0, y);
      continue;
    }
    const int p = std::max(a, selA), q = std::min(b, selB);
    SetTextColor(dc, text);
    DrawRun(dc, s, shown, a, p, a, x0, y);
    CRect hi(x0 + s.model.Measure(a, p), y, x0 + s.model.Measure(a, q), y + s.lineHeight);
    FillRect(dc, &hi, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawRun(dc, s, shown, p, q, a, x0, y);
    SetTextColor(dc, text);
    DrawRun(dc, s, shown, q, b, a, x0, y);
  }
  RestoreDC(dc, saved);
}

// The edit control as the shared text rules see it (TextInput.h).
struct EditInput : TextState<EditState> {
  int Caret() const { return s.model.Caret(); }
  int Anchor() const { return s.model.Anchor(); }
  int SelStart() const { return s.model.SelStart(); }
  int SelEnd() const { return s.model.SelEnd(); }
  int Length() const { return s.model.Length(); }
  bool HasSelection() const { return s.model.HasSelection(); }
  int WordLeft(int pos) const { return s.model.WordLeft(pos); }
  int WordRight(int pos) const { return s.model.WordRight(pos); }
  int StepLeft(int pos) const { return controls::StepLeft(s, pos); }
  int StepRight(int pos) const { return controls::StepRight(s, pos); }
  int LineStartOf(int pos) const { return s.model.LineStart(s.model.LineFromChar(pos)); }
  int LineEndOf(int pos) const { return s.model.LineEnd(s.model.LineFromChar(pos)); }
  // A single-line edit takes Up and Down as Left and Right.
  int LineMove(int lines) {
    if (!s.multiline) return lines < 0 ? StepLeft(Caret()) : StepRight(Caret());
    return VerticalMove(hwnd, s, lines);
  }
  // A page moves the caret and the view by the lines shown.
  int PageMove(int direction) {
    if (!s.multiline) return -1;
    const int page = VisibleLines(s) * direction;
    const int target = VerticalMove(hwnd, s, page);
    s.firstLine = std::clamp(s.firstLine + page, 0, std::max(0, s.model.LineCount() - 1));
    InvalidateRect(hwnd, nullptr, TRUE);
    return target;
  }
  void Select(int anchor, int caret) { SetSelection(hwnd, s, anchor, caret); }
  void SelectQuietly(int anchor, int caret) { s.model.Select(anchor, caret); }
  void MoveCaretTo(int anchor, int caret) {
    SetSelection(hwnd, s, anchor, caret);
    ScrollCaretIntoView(hwnd, s);
  }
  int PosAt(LPARAM lParam) const { return CharFromPoint(hwnd, s, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))); }
  void WordAt(int pos, int* from, int* to) const { s.model.WordAt(pos, from, to); }
  void Copy() { controls::Copy(hwnd, s); }
  void Cut() { controls::Cut(hwnd, s); }
  void Paste() { controls::Paste(hwnd, s); }
  void Clear() { controls::Clear(hwnd, s); }
  void Undo() { UndoEdit(hwnd, s); }
  void DeleteSelection() { ReplaceSelection(hwnd, s, "", Origin::User, EditModel::UndoMode::Record); }
  void Enter() {
    if (s.multiline) ReplaceSelection(hwnd, s, "\r\n", Origin::User, EditModel::UndoMode::Record);
  }
  void Tab() {
    if (s.multiline) ReplaceSelection(hwnd, s, "\t", Origin::User, EditModel::UndoMode::MergeTyping);
  }
  void Type(char c) {
    if ((StyleOf(hwnd) & ES_NUMBER) && !std::isdigit(static_cast<unsigned char>(c))) {
      MessageBeep(MB_OK);
      return;
    }
    ReplaceSelection(hwnd, s, std::string(1, c), Origin::User, EditModel::UndoMode::MergeTyping);
  }
  // The messages both text controls answer alike.
  const std::string& Text() const { return s.model.Text(); }
  bool Multiline() const { return s.multiline; }
  int LineCount() const { return s.model.LineCount(); }
  int LineFromChar(int pos) const { return s.model.LineFromChar(pos); }
  void DragTo(LPARAM lParam) { controls::DragTo(hwnd, s, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))); }
  void StopSelecting() {
    s.selecting = false;
    KillTimer(hwnd, kDragScrollTimer);
  }
  int CaretHeight() const { return s.lineHeight; }
  void PlaceCaret() { controls::PlaceCaret(hwnd, s); }
  bool SelectionAlwaysShown() const { return (StyleOf(hwnd) & ES_NOHIDESEL) != 0; }
  bool CanUndo() const { return s.model.CanUndo(); }
  void EmptyUndo() { s.model.EmptyUndo(); }
  void Paint(HDC dc) { controls::Paint(hwnd, dc, s); }
};

// ---- Messages -----------------------------------------------------------------------------------------

LRESULT OnSetSel(HWND hwnd, EditState& s, WPARAM wParam, LPARAM lParam) {
  int start = static_cast<int>(wParam), end = static_cast<int>(lParam);
  const int n = s.model.Length();
  if (start == -1) {
    // (-1, x): no selection, the caret stays where it is.
    SetSelection(hwnd, s, s.model.Caret(), s.model.Caret());
  } else {
    if (end < 0 || end > n) end = n;
    if (start < 0 || start > n) start = n;
    SetSelection(hwnd, s, start, end);
  }
  s.desiredX = -1;
  PlaceCaret(hwnd, s);
  return 0;
}

LRESULT OnGetLine(const EditState& s, WPARAM line, LPARAM buffer) {
  if (!buffer) return 0;
  const int l = s.multiline ? static_cast<int>(line) : 0;
  if (l < 0 || l >= s.model.LineCount()) return 0;
  auto* out = reinterpret_cast<char*>(buffer);
  WORD size = 0;
  std::memcpy(&size, out, sizeof(size));
  const int a = s.model.LineStart(l), b = s.model.LineEnd(l);
  const int count = std::min<int>(b - a, size);
  std::memcpy(out, s.model.Text().data() + a, static_cast<size_t>(count));
  return count;
}

LRESULT OnLineIndex(const EditState& s, WPARAM wParam) {
  int line = static_cast<int>(wParam);
  if (line == -1) line = s.model.LineFromChar(s.model.Caret());
  if (line < 0 || line >= s.model.LineCount()) return -1;
  return s.model.LineStart(line);
}

LRESULT OnLineLength(const EditState& s, WPARAM wParam) {
  int pos = static_cast<int>(wParam);
  if (pos == -1) pos = s.model.Caret();
  if (pos < 0 || pos > s.model.Length()) return 0;
  const int line = s.model.LineFromChar(pos);
  return s.model.LineEnd(line) - s.model.LineStart(line);
}

LRESULT OnLineScroll(HWND hwnd, EditState& s, int dx, int dy) {
  if (!s.multiline) return FALSE;
  const int first = std::clamp(s.firstLine + dy, 0, std::max(0, s.model.LineCount() - 1));
  int x = s.xOffset + dx * s.avgWidth;
  if (!(StyleOf(hwnd) & ES_AUTOHSCROLL)) x = 0;
  x = std::max(0, x);
  if (first != s.firstLine || x != s.xOffset) {
    s.firstLine = first;
    s.xOffset = x;
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateScrollBars(hwnd, s);
    PlaceCaret(hwnd, s);
  }
  return TRUE;
}

LRESULT OnScroll(HWND hwnd, EditState& s, WPARAM code) {
  if (!s.multiline) return FALSE;
  const int page = VisibleLines(s);
  int dy = 0;
  switch (LOWORD(code)) {
    case SB_LINEUP: dy = -1; break;
    case SB_LINEDOWN: dy = 1; break;
    case SB_PAGEUP: dy = -page; break;
    case SB_PAGEDOWN: dy = page; break;
    case SB_TOP: dy = -s.firstLine; break;
    case SB_BOTTOM: dy = s.model.LineCount() - 1 - s.firstLine; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: dy = static_cast<SHORT>(HIWORD(code)) - s.firstLine; break;
    default: return FALSE;
  }
  const int before = s.firstLine;
  OnLineScroll(hwnd, s, 0, dy);
  return MAKELONG(static_cast<WORD>(s.firstLine - before), TRUE);
}

LRESULT OnHScroll(HWND hwnd, EditState& s, WPARAM code) {
  if (!s.multiline) return 0;
  const int page = std::max(1, s.rect.Width());
  int x = s.xOffset;
  switch (LOWORD(code)) {
    case SB_LINELEFT: x -= s.avgWidth; break;
    case SB_LINERIGHT: x += s.avgWidth; break;
    case SB_PAGELEFT: x -= page; break;
    case SB_PAGERIGHT: x += page; break;
    case SB_LEFT: x = 0; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: x = static_cast<SHORT>(HIWORD(code)); break;
    default: return 0;
  }
  // A word-wrapping edit never scrolls sideways; the others stop where the widest line ends.
  if (!(StyleOf(hwnd) & ES_AUTOHSCROLL)) return 0;
  x = std::clamp(x, 0, std::max(0, Widest(s) - page + 1));
  if (x != s.xOffset) {
    s.xOffset = x;
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateScrollBars(hwnd, s);
    PlaceCaret(hwnd, s);
  }
  return 0;
}

LRESULT OnSetMargins(HWND hwnd, EditState& s, WPARAM which, LPARAM margins) {
  // EC_USEFONTINFO has both margin bits set, so it is tested first.
  if (LOWORD(which) == EC_USEFONTINFO) {
    s.leftMargin = s.rightMargin = s.avgWidth;  // the font's average character width
  } else {
    if (which & EC_LEFTMARGIN) s.leftMargin = LOWORD(static_cast<DWORD_PTR>(margins));
    if (which & EC_RIGHTMARGIN) s.rightMargin = HIWORD(static_cast<DWORD_PTR>(margins));
  }
  Relayout(hwnd, s);
  InvalidateRect(hwnd, nullptr, TRUE);
  PlaceCaret(hwnd, s);
  return 0;
}

LRESULT OnSetRect(HWND hwnd, EditState& s, const RECT* r, bool redraw) {
  if (!s.multiline) return 0;
  if (r) {
    s.explicitRect = true;
    s.rect = *r;
  } else {
    s.explicitRect = false;
  }
  Relayout(hwnd, s);
  if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

LRESULT OnCharFromPos(HWND hwnd, const EditState& s, LPARAM lParam) {
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  int line = 0;
  const int pos = CharFromPoint(hwnd, s, pt, &line);
  return MAKELONG(static_cast<WORD>(pos), static_cast<WORD>(line));
}

LRESULT OnSetPasswordChar(HWND hwnd, EditState& s, WPARAM c) {
  if (s.multiline) return 0;
  s.passwordChar = static_cast<char>(c);
  const DWORD style = StyleOf(hwnd);
  SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(c ? style | ES_PASSWORD : style & ~ES_PASSWORD));
  Relayout(hwnd, s);
  InvalidateRect(hwnd, nullptr, TRUE);
  PlaceCaret(hwnd, s);
  return 0;
}

LRESULT OnCreate(HWND hwnd, EditState& s, const CREATESTRUCT* cs) {
  s.multiline = (StyleOf(hwnd) & ES_MULTILINE) != 0;
  s.vscroll = (StyleOf(hwnd) & WS_VSCROLL) != 0;
  s.hscroll = (StyleOf(hwnd) & WS_HSCROLL) != 0;
  s.model = EditModel(s.multiline);
  if (StyleOf(hwnd) & ES_PASSWORD) s.passwordChar = '*';
  ApplyFont(s);
  Relayout(hwnd, s);
  std::string text =
      ConvertCase(hwnd, cs && cs->lpszName && reinterpret_cast<uintptr_t>(cs->lpszName) > 0xFFFF ? cs->lpszName : "");
  if (!s.multiline) {
    const size_t cut = text.find_first_of("\r\n");
    if (cut != std::string::npos) text.resize(cut);
  }
  s.model.SetText(text);
  s.widest = -1;
  UpdateScrollBars(hwnd, s);
  return 0;
}

LRESULT Dispatch(HWND hwnd, EditState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  EditInput input{{hwnd, s}};
  if (const auto answer = TextMessage(input, hwnd, msg, wParam, lParam)) return *answer;
  switch (msg) {
    case WM_CREATE: return OnCreate(hwnd, s, reinterpret_cast<const CREATESTRUCT*>(lParam));
    case WM_SIZE:
      Relayout(hwnd, s);
      s.firstLine = std::min(s.firstLine, std::max(0, s.model.LineCount() - 1));
      UpdateScrollBars(hwnd, s);
      InvalidateRect(hwnd, nullptr, TRUE);
      PlaceCaret(hwnd, s);
      return 0;
    case WM_SETFONT:
      s.font = reinterpret_cast<HFONT>(wParam);
      ApplyFont(s);
      Relayout(hwnd, s);
      if (s.focused) {
        CreateCaret(hwnd, nullptr, 1, s.lineHeight);
        PlaceCaret(hwnd, s);
        ShowCaret(hwnd);
      }
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETTEXT: SetText(hwnd, s, reinterpret_cast<const char*>(lParam)); return TRUE;
    case WM_TIMER: return OnTimer(hwnd, s, wParam);
    case WM_VSCROLL: OnScroll(hwnd, s, wParam); return 0;
    case WM_HSCROLL: return OnHScroll(hwnd, s, wParam);
    case WM_MOUSEWHEEL:
      if (!s.multiline) break;
      OnLineScroll(hwnd, s, 0, -3 * static_cast<SHORT>(HIWORD(wParam)) / WHEEL_DELTA);
      return 0;
    case EM_SETSEL: return OnSetSel(hwnd, s, wParam, lParam);
    case EM_REPLACESEL:
      ReplaceSelection(hwnd, s, lParam ? reinterpret_cast<const char*>(lParam) : "", Origin::Api,
                       wParam ? EditModel::UndoMode::Record : EditModel::UndoMode::Clear);
      return 0;
    case EM_LINEINDEX: return OnLineIndex(s, wParam);
    case EM_LINELENGTH: return OnLineLength(s, wParam);
    case EM_GETLINE: return OnGetLine(s, wParam, lParam);
    case EM_SCROLLCARET: ScrollCaretIntoView(hwnd, s); return TRUE;
    case EM_SETREADONLY: {
      const DWORD style = StyleOf(hwnd);
      SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_LIMITTEXT:
      s.limit = wParam ? static_cast<UINT>(wParam) : (s.multiline ? kEditMaxLimitMulti : kEditMaxLimitSingle);
      return 0;
    case EM_SETMARGINS: return OnSetMargins(hwnd, s, wParam, lParam);
    case EM_GETMARGINS: return MAKELONG(s.leftMargin, s.rightMargin);
    case EM_GETRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = s.rect;
      return 0;
    case EM_SETRECT: return OnSetRect(hwnd, s, reinterpret_cast<const RECT*>(lParam), true);
    case EM_SETRECTNP: return OnSetRect(hwnd, s, reinterpret_cast<const RECT*>(lParam), false);
    case EM_POSFROMCHAR: {
      const int pos = static_cast<int>(wParam);
      if (pos < 0 || pos > s.model.Length()) return -1;
      const CPoint p = PosFromChar(hwnd, s, pos);
      return MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
    }
    case EM_CHARFROMPOS: return OnCharFromPos(hwnd, s, lParam);
    case EM_GETFIRSTVISIBLELINE: return s.multiline ? s.firstLine : s.model.CharAtX(0, s.xOffset);
    case EM_LINESCROLL: return OnLineScroll(hwnd, s, static_cast<int>(wParam), static_cast<int>(lParam));
    case EM_SCROLL: return OnScroll(hwnd, s, wParam);
    case EM_SETPASSWORDCHAR: return OnSetPasswordChar(hwnd, s, wParam);
    case EM_GETPASSWORDCHAR: return static_cast<unsigned char>(s.passwordChar);
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterEditClass() {
  RegisterControlClass(WC_EDIT, ControlWndProc<EditState, Dispatch>,
                       CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS, IDC_IBEAM);
}

}  // namespace plat::controls

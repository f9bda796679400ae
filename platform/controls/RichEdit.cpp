#include "platform/controls/RichEdit.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "platform/base/GlobalMemory.h"
#include "platform/base/MulDiv.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/RichLayout.h"
#include "platform/controls/RichRtf.h"
#include "platform/controls/TextInput.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

constexpr int kScreenDpi = 96;
// Option bits that are also window style bits (ES_AUTOVSCROLL ... ES_SAVESEL).
constexpr DWORD kStyleOptions = ECO_AUTOVSCROLL | ECO_AUTOHSCROLL | ECO_NOHIDESEL | ECO_READONLY | ECO_WANTRETURN |
                                ECO_SAVESEL;

enum class Wrap { Window, None, Target };

struct RichState {
  RichDocument doc;
  RichLayout layout{kScreenDpi};
  std::unique_ptr<RichLayout> print;  // EM_FORMATRANGE's layout: lines kept until (FALSE, NULL), fonts longer
  int anchor = 0, caret = 0;
  std::optional<RichCharFormat> typing;  // format for the next typed text (set on an empty selection)
  RichCharFormat base;                   // the default format (WM_SETFONT, EM_SETCHARFORMAT SCF_DEFAULT)
  DWORD eventMask = ENM_NONE;
  DWORD options = 0;
  bool systemBack = true;
  COLORREF back = 0;
  Wrap wrap = Wrap::Window;
  int targetTwips = 0;
  int scrollY = 0;
  int scrollX = 0;
  bool vscroll = false;  // created with WS_VSCROLL (the style bit comes and goes with the bar)
  bool hscroll = false;  // created with WS_HSCROLL
  UINT limit = kRichEditInitialLimit;
  bool modify = false;
  bool focused = false;
  bool selecting = false;
  int desiredX = -1;
  int lastHeight = -1;
  bool requesting = false;  // inside EN_REQUESTRESIZE
  CHARRANGE lastSel{0, 0};
  HFONT font = nullptr;
};

StateTable<RichState>& States() { return StateTable<RichState>::Instance(); }

enum class Origin { User, Api };

bool Notifies(const RichState& s, DWORD bit) { return (s.eventMask & bit) != 0; }
int SelStart(const RichState& s) { return std::min(s.anchor, s.caret); }
int SelEnd(const RichState& s) { return std::max(s.anchor, s.caret); }
UINT RtfFormat() { return RegisterClipboardFormat("Rich Text Format"); }

// ---- Layout and view ----------------------------------------------------------------------------------

int MaxScrollX(HWND hwnd, const RichState& s);

void Configure(HWND hwnd, RichState& s) {
  const CRect client = ClientRectOf(hwnd);
  int wrap = 0;
  switch (s.wrap) {
    case Wrap::Window: wrap = std::max(1, client.Width()); break;
    case Wrap::None: wrap = 0; break;
    case Wrap::Target: wrap = std::max(1, MulDiv(s.targetTwips, kScreenDpi, 1440)); break;
  }
  s.layout.Configure(kScreenDpi, wrap, client.Width());
  s.layout.Update(s.doc);
  // Made wider, or wrapping narrower, the view keeps no more sideways scroll than the widest line needs.
  s.scrollX = std::min(s.scrollX, MaxScrollX(hwnd, s));
}

void SendRequestResize(HWND hwnd, RichState& s) {
  if (!Notifies(s, ENM_REQUESTRESIZE) || s.requesting) return;
  auto keep = States().Get(hwnd);
  s.requesting = true;
  REQRESIZE rr{};
  rr.rc = RECT{0, 0, ClientRectOf(hwnd).Width(), s.layout.Height()};
  SendNotify(hwnd, &rr.nmhdr, EN_REQUESTRESIZE);
  s.requesting = false;
}

int ViewWidth(HWND hwnd) { return std::max(1, ClientRectOf(hwnd).Width()); }

// Lines wrapped at the view's width (or narrower) never scroll sideways.
bool WiderThanView(HWND hwnd, const RichState& s) {
  return s.layout.WrapWidth() <= 0 || s.layout.WrapWidth() > ViewWidth(hwnd);
}

// The furthest the view goes sideways: the widest line's end, and a caret after it, just in view.
int MaxScrollX(HWND hwnd, const RichState& s) {
  return WiderThanView(hwnd, s) ? std::max(0, s.layout.Width() - ViewWidth(hwnd) + 1) : 0;
}

// The caret takes the view sideways with ES_AUTOHSCROLL, where lines may be wider than the view.
bool FollowsCaretSideways(HWND hwnd, const RichState& s) {
  return (StyleOf(hwnd) & ES_AUTOHSCROLL) && WiderThanView(hwnd, s);
}

// The bars of a WS_VSCROLL or WS_HSCROLL control: the content's height or widest line, a page of the
// client's height or width, the scroll position (ES_DISABLENOSCROLL keeps a bar shown, disabled, when
// everything fits).
void UpdateScrollBar(HWND hwnd, const RichState& s) {
  const UINT keep = (StyleOf(hwnd) & ES_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0;
  if (s.vscroll) {
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | keep, 0, std::max(0, s.layout.Height() - 1),
                  static_cast<UINT>(std::max(1, ClientRectOf(hwnd).Height())), s.scrollY, 0};
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  }
  if (s.hscroll) {
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | keep, 0, s.layout.Width(),
                  static_cast<UINT>(ViewWidth(hwnd)), s.scrollX, 0};
    SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
  }
}

void SetScrollX(HWND hwnd, RichState& s, int x) {
  x = std::max(0, x);
  if (x != s.scrollX) {
    s.scrollX = x;
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  UpdateScrollBar(hwnd, s);
}

// Every change of the view's scroll position: clamped to the content, repainted, the bar and caret follow.
void SetScrollY(HWND hwnd, RichState& s, int y) {
  y = std::clamp(y, 0, std::max(0, s.layout.Height() - 1));
  if (y != s.scrollY) {
    s.scrollY = y;
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  UpdateScrollBar(hwnd, s);
}

// After anything that may change the content's height: tell the parent when it did.
void HeightMayHaveChanged(HWND hwnd, RichState& s) {
  UpdateScrollBar(hwnd, s);
  const int h = s.layout.Height();
  if (h == s.lastHeight) return;
  s.lastHeight = h;
  SendRequestResize(hwnd, s);
}

void PlaceCaret(HWND, RichState& s) {
  if (!s.focused) return;
  int x = 0, y = 0, h = 0;
  s.layout.CaretAt(s.doc, s.caret, &x, &y, &h);
  SetCaretPos(x - s.scrollX, y - s.scrollY);
}

void ScrollCaretIntoView(HWND hwnd, RichState& s) {
  int x = 0, y = 0, h = 0;
  s.layout.CaretAt(s.doc, s.caret, &x, &y, &h);
  const int view = ClientRectOf(hwnd).Height();
  int top = s.scrollY;
  if (y < top) top = y;
  if (y + h > top + view) top = std::max(0, y + h - view);
  SetScrollY(hwnd, s, top);
  if (FollowsCaretSideways(hwnd, s)) {
    // As in the edit control, the view jumps by a third of its width, so typing does not scroll at every
    // character.
    const int width = ViewWidth(hwnd);
    if (x < s.scrollX)
      SetScrollX(hwnd, s, x - width / 3);
    else if (x > s.scrollX + width - 1)
      SetScrollX(hwnd, s, x - width + width / 3);
  }
  PlaceCaret(hwnd, s);
}

void NotifySelChange(HWND hwnd, RichState& s) {
  const CHARRANGE now{SelStart(s), SelEnd(s)};
  if (now.cpMin == s.lastSel.cpMin && now.cpMax == s.lastSel.cpMax) return;
  s.lastSel = now;
  if (!Notifies(s, ENM_SELCHANGE)) return;
  SELCHANGE sc{};
  sc.chrg = now;
  sc.seltyp = now.cpMin == now.cpMax ? SEL_EMPTY : (now.cpMax - now.cpMin > 1 ? SEL_TEXT | SEL_MULTICHAR : SEL_TEXT);
  SendNotify(hwnd, &sc.nmhdr, EN_SELCHANGE);
}

// Repaints the lines holding [from, to).
void InvalidateLines(HWND hwnd, RichState& s, int from, int to) {
  if (from >= to) return;
  int x = 0, top = 0, h = 0, last = 0, lastHeight = 0;
  s.layout.CaretAt(s.doc, from, &x, &top, &h);
  s.layout.CaretAt(s.doc, to, &x, &last, &lastHeight);
  CRect r = ClientRectOf(hwnd);
  r.top = std::max(r.top, top - s.scrollY);
  r.bottom = std::min(r.bottom, last + lastHeight - s.scrollY);
  if (!r.IsRectEmpty()) InvalidateRect(hwnd, &r, TRUE);
}

// A new selection repaints only the lines whose characters changed between selected and not: a caret move
// without a selection repaints nothing.
void SetSelection(HWND hwnd, RichState& s, int anchor, int caret) {
  const int n = s.doc.Length();
  anchor = std::clamp(anchor, 0, n);
  caret = std::clamp(caret, 0, n);
  if (anchor == s.anchor && caret == s.caret) return;
  const int oldFrom = SelStart(s), oldTo = SelEnd(s);
  s.anchor = anchor;
  s.caret = caret;
  s.typing.reset();
  const int from = SelStart(s), to = SelEnd(s);
  if (oldFrom == oldTo || from == to || to <= oldFrom || from >= oldTo) {
    InvalidateLines(hwnd, s, oldFrom, oldTo);
    InvalidateLines(hwnd, s, from, to);
  } else {
    InvalidateLines(hwnd, s, std::min(oldFrom, from), std::max(oldFrom, from));
    InvalidateLines(hwnd, s, std::min(oldTo, to), std::max(oldTo, to));
  }
  PlaceCaret(hwnd, s);
}

// ---- The one path for changes -------------------------------------------------------------------------

// The format typed text takes: the one set for it, else the character's before the caret (at a paragraph's
// start, the one after).
RichCharFormat InsertionFormat(const RichState& s) {
  if (s.typing) return *s.typing;
  const int at = SelStart(s);
  if (at > 0 && s.doc.Text()[static_cast<size_t>(at) - 1] != '\r') return s.doc.FormatAt(at - 1);
  return s.doc.FormatAt(at);
}

// Replaces [from, to) with `with`. Returns false when nothing changed or the control is gone.
bool Change(HWND hwnd, RichState& s, int from, int to, RichFragment with, Origin origin, bool limited,
            RichDocument::UndoMode undo) {
  auto keep = States().Get(hwnd);
  if (origin == Origin::User && (StyleOf(hwnd) & ES_READONLY)) {
    MessageBeep(MB_OK);
    return false;
  }
  if (limited) {
    const long long room = static_cast<long long>(s.limit) - (s.doc.Length() - (to - from));
    if (static_cast<long long>(with.text.size()) > room) {
      const size_t keepLen = static_cast<size_t>(std::max(0LL, room));
      // Cut the piece: text and runs to the room left.
      with.text.resize(keepLen);
      int left = static_cast<int>(keepLen);
      for (auto& r : with.runs) {
        r.length = std::min(r.length, left);
        left -= r.length;
      }
    }
    if (with.text.empty() && from == to) return false;
  }
  if (Notifies(s, ENM_UPDATE) && !NotifyParent(hwnd, EN_UPDATE)) return false;
  const int parasBefore = s.doc.ParaCount();
  const int lastOld = s.doc.ParaOf(to);
  const int first = s.doc.Replace(from, to, with, undo);
  const int removed = lastOld - first + 1, added = removed + s.doc.ParaCount() - parasBefore;
  if (removed == 1 && added == 1)
    s.layout.TextChanged(first, from, to - from, static_cast<int>(with.text.size()));
  else
    s.layout.ParagraphsReplaced(first, removed, added);
  s.layout.Update(s.doc);
  s.anchor = s.caret = from + static_cast<int>(with.text.size());
  s.typing.reset();
  s.modify = true;
  s.desiredX = -1;
  InvalidateRect(hwnd, nullptr, TRUE);
  ScrollCaretIntoView(hwnd, s);
  if (Notifies(s, ENM_CHANGE) && !NotifyParent(hwnd, EN_CHANGE)) return false;
  HeightMayHaveChanged(hwnd, s);
  if (!IsWindow(hwnd)) return false;
  NotifySelChange(hwnd, s);
  return IsWindow(hwnd) != FALSE;
}

bool ReplaceSelection(HWND hwnd, RichState& s, RichFragment with, Origin origin, RichDocument::UndoMode undo) {
  return Change(hwnd, s, SelStart(s), SelEnd(s), std::move(with), origin, true, undo);
}

bool TypeText(HWND hwnd, RichState& s, std::string_view text, RichDocument::UndoMode undo) {
  const RichParaFormat pf = s.doc.ParaFormat(s.doc.ParaOf(SelStart(s)));
  return ReplaceSelection(hwnd, s, RichFragment::FromPlain(text, InsertionFormat(s), pf), Origin::User, undo);
}

// Formats changed over paragraphs [firstPara, lastPara]: lay them out again and report the change.
void FormatsChanged(HWND hwnd, RichState& s, int firstPara, int lastPara) {
  auto keep = States().Get(hwnd);
  s.layout.Invalidate(firstPara, lastPara);
  s.layout.Update(s.doc);
  s.modify = true;
  InvalidateRect(hwnd, nullptr, TRUE);
  PlaceCaret(hwnd, s);
  if (Notifies(s, ENM_CHANGE) && !NotifyParent(hwnd, EN_CHANGE)) return;
  HeightMayHaveChanged(hwnd, s);
}

// The whole document was replaced (WM_SETTEXT, EM_STREAMIN of everything): laid out anew, the caret at the
// start, the view at the top left, unmodified; then EN_CHANGE and the resize request. Returns false when the
// control did not survive them.
bool DocumentReplaced(HWND hwnd, RichState& s) {
  s.layout.InvalidateAll();
  s.layout.ParagraphsReplaced(0, 1 << 30, s.doc.ParaCount());
  s.layout.Update(s.doc);
  s.anchor = s.caret = 0;
  s.typing.reset();
  s.modify = false;
  s.scrollY = 0;
  s.scrollX = 0;
  InvalidateRect(hwnd, nullptr, TRUE);
  PlaceCaret(hwnd, s);
  if (Notifies(s, ENM_CHANGE) && !NotifyParent(hwnd, EN_CHANGE)) return false;
  HeightMayHaveChanged(hwnd, s);
  return IsWindow(hwnd) != FALSE;
}

// ---- Character and paragraph formats -------------------------------------------------------------------

void ApplyCharFormat(RichCharFormat& f, const CHARFORMAT& cf) {
  const DWORD m = cf.dwMask, e = cf.dwEffects;
  if (m & CFM_BOLD) f.bold = (e & CFE_BOLD) != 0;
  if (m & CFM_ITALIC) f.italic = (e & CFE_ITALIC) != 0;
  if (m & CFM_UNDERLINE) f.underline = (e & CFE_UNDERLINE) != 0;
  if (m & CFM_STRIKEOUT) f.strike = (e & CFE_STRIKEOUT) != 0;
  if ((m & CFM_SIZE) && cf.yHeight > 0) f.twips = std::clamp(static_cast<int>(cf.yHeight), 20, 32760);
  if (m & CFM_COLOR) {
    f.autoColor = (e & CFE_AUTOCOLOR) != 0;
    f.color = cf.crTextColor;
  }
  if (m & CFM_FACE) f.face.assign(cf.szFaceName, strnlen(cf.szFaceName, sizeof cf.szFaceName - 1));
  if (m & CFM_CHARSET) f.charset = cf.bCharSet;
  if (m & CFM_FACE) f.pitchFamily = cf.bPitchAndFamily;
}

void FillCharFormat(CHARFORMAT& cf, const RichCharFormat& f) {
  cf.dwEffects = (f.bold ? CFE_BOLD : 0) | (f.italic ? CFE_ITALIC : 0) | (f.underline ? CFE_UNDERLINE : 0) |
                 (f.strike ? CFE_STRIKEOUT : 0) | (f.autoColor ? CFE_AUTOCOLOR : 0);
  cf.yHeight = f.twips;
  cf.yOffset = 0;
  cf.crTextColor = f.autoColor ? GetSysColor(COLOR_WINDOWTEXT) : f.color;
  cf.bCharSet = f.charset;
  cf.bPitchAndFamily = f.pitchFamily;
  std::memset(cf.szFaceName, 0, sizeof cf.szFaceName);
  std::strncpy(cf.szFaceName, f.face.c_str(), sizeof cf.szFaceName - 1);
}

// The mask of what is the same over [from, to) (or at `from` when empty), and that format.
DWORD CommonFormat(const RichState& s, int from, int to, RichCharFormat* out) {
  *out = s.doc.FormatAt(from);
  if (to <= from) return CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE |
                        CFM_CHARSET | CFM_OFFSET | CFM_PROTECTED;
  DWORD mask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET |
               CFM_OFFSET | CFM_PROTECTED;
  int start = 0;
  for (const auto& r : s.doc.Runs()) {
    if (r.end > from && start < to) {
      const RichCharFormat& f = s.doc.Format(r.format);
      if (f.bold != out->bold) mask &= ~CFM_BOLD;
      if (f.italic != out->italic) mask &= ~CFM_ITALIC;
      if (f.underline != out->underline) mask &= ~CFM_UNDERLINE;
      if (f.strike != out->strike) mask &= ~CFM_STRIKEOUT;
      if (f.twips != out->twips) mask &= ~CFM_SIZE;
      if (f.autoColor != out->autoColor || (!f.autoColor && f.color != out->color)) mask &= ~CFM_COLOR;
      if (f.face != out->face || f.pitchFamily != out->pitchFamily) mask &= ~CFM_FACE;
      if (f.charset != out->charset) mask &= ~CFM_CHARSET;
    }
    start = r.end;
  }
  return mask;
}

LRESULT OnSetCharFormat(HWND hwnd, RichState& s, WPARAM which, const CHARFORMAT* cf) {
  if (!cf || cf->cbSize != sizeof(CHARFORMAT)) return FALSE;
  auto apply = [cf](RichCharFormat& f) { ApplyCharFormat(f, *cf); };
  if (which & SCF_ALL) {
    apply(s.base);
    s.doc.ChangeFormats(0, s.doc.Length() + 1, apply);
    s.typing.reset();
    FormatsChanged(hwnd, s, 0, s.doc.ParaCount() - 1);
    return TRUE;
  }
  if (which & SCF_SELECTION) {
    int from = SelStart(s), to = SelEnd(s);
    if (which & SCF_WORD && from == to) s.doc.WordAt(from, &from, &to);
    if (from == to) {
      // An empty selection: the format waits for the next typed text.
      RichCharFormat f = InsertionFormat(s);
      apply(f);
      s.typing = f;
      return TRUE;
    }
    s.doc.ChangeFormats(from, to, apply);
    FormatsChanged(hwnd, s, s.doc.ParaOf(from), s.doc.ParaOf(to));
    return TRUE;
  }
  // SCF_DEFAULT: the format of text with none of its own; an empty control shows it at once.
  apply(s.base);
  if (s.doc.Length() == 0) {
    s.doc.ChangeFormats(0, 1, apply);
    FormatsChanged(hwnd, s, 0, 0);
  }
  return TRUE;
}

LRESULT OnGetCharFormat(const RichState& s, WPARAM which, CHARFORMAT* cf) {
  if (!cf || cf->cbSize != sizeof(CHARFORMAT)) return 0;
  RichCharFormat f = s.base;
  DWORD mask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET |
               CFM_OFFSET | CFM_PROTECTED;
  if (which & SCF_SELECTION) {
    if (s.typing && s.anchor == s.caret)
      f = *s.typing;
    else
      mask = CommonFormat(s, SelStart(s), SelEnd(s), &f);
  }
  FillCharFormat(*cf, f);
  cf->dwMask = mask;
  return mask;
}

LRESULT OnSetParaFormat(HWND hwnd, RichState& s, const PARAFORMAT* pf) {
  if (!pf || pf->cbSize != sizeof(PARAFORMAT)) return FALSE;
  if (!(pf->dwMask & PFM_ALIGNMENT)) return TRUE;  // the other properties are not kept
  if (pf->wAlignment != PFA_LEFT && pf->wAlignment != PFA_RIGHT && pf->wAlignment != PFA_CENTER) return FALSE;
  const int a = s.doc.ParaOf(SelStart(s)), b = s.doc.ParaOf(SelEnd(s));
  for (int p = a; p <= b; ++p) s.doc.SetParaFormat(p, RichParaFormat{pf->wAlignment});
  FormatsChanged(hwnd, s, a, b);
  return TRUE;
}

LRESULT OnGetParaFormat(const RichState& s, PARAFORMAT* pf) {
  if (!pf || pf->cbSize != sizeof(PARAFORMAT)) return 0;
  const int a = s.doc.ParaOf(SelStart(s)), b = s.doc.ParaOf(SelEnd(s));
  const WORD align = s.doc.ParaFormat(a).alignment;
  DWORD mask = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_TABSTOPS | PFM_NUMBERING;
  for (int p = a + 1; p <= b; ++p)
    if (s.doc.ParaFormat(p).alignment != align) mask &= ~PFM_ALIGNMENT;
  const UINT size = pf->cbSize;
  std::memset(pf, 0, sizeof *pf);
  pf->cbSize = size;
  pf->dwMask = mask;
  pf->wAlignment = align;
  return mask;
}

// ---- Streams ------------------------------------------------------------------------------------------

LRESULT OnStreamIn(HWND hwnd, RichState& s, WPARAM format, EDITSTREAM* es) {
  if (!es || !es->pfnCallback || !(format & (SF_TEXT | SF_RTF))) return 0;
  std::string bytes;
  es->dwError = 0;
  BYTE buffer[4096];
  for (;;) {
    LONG got = 0;
    const DWORD err = es->pfnCallback(es->dwCookie, buffer, static_cast<LONG>(sizeof buffer), &got);
    if (err != 0) {
      es->dwError = err;
      break;
    }
    if (got <= 0) break;
    bytes.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(std::min<LONG>(got, sizeof buffer)));
  }
  const bool selection = (format & SFF_SELECTION) != 0;
  const int from = selection ? SelStart(s) : 0, to = selection ? SelEnd(s) : s.doc.Length();
  const RichCharFormat start = selection ? InsertionFormat(s) : s.base;
  // A whole document starts from the default paragraph format (\pard returns there), a selection from its own.
  const RichParaFormat para = selection ? s.doc.ParaFormat(s.doc.ParaOf(from)) : RichParaFormat{};
  RichFragment piece =
      (format & SF_RTF) ? ReadRtf(bytes, start, para) : RichFragment::FromPlain(bytes, start, para);
  const int count = static_cast<int>(piece.text.size());
  auto keep = States().Get(hwnd);
  if (!selection) {
    s.doc.Assign(piece);
    if (DocumentReplaced(hwnd, s)) NotifySelChange(hwnd, s);
  } else {
    Change(hwnd, s, from, to, std::move(piece), Origin::Api, false, RichDocument::UndoMode::Record);
  }
  return count;
}

LRESULT OnStreamOut(const RichState& s, WPARAM format, EDITSTREAM* es) {
  if (!es || !es->pfnCallback || !(format & (SF_TEXT | SF_RTF))) return 0;
  const bool selection = (format & SFF_SELECTION) != 0;
  const int from = selection ? SelStart(s) : 0, to = selection ? SelEnd(s) : s.doc.Length();
  const std::string out = (format & SF_RTF) ? WriteRtf(selection ? s.doc.Copy(from, to) : s.doc.CopyAll())
                                            : s.doc.PlainText(from, to);
  es->dwError = 0;
  size_t at = 0;
  while (at < out.size()) {
    const LONG chunk = static_cast<LONG>(std::min<size_t>(4096, out.size() - at));
    std::string piece = out.substr(at, static_cast<size_t>(chunk));
    LONG written = 0;
    const DWORD err =
        es->pfnCallback(es->dwCookie, reinterpret_cast<LPBYTE>(piece.data()), chunk, &written);
    if (err != 0) {
      es->dwError = err;
      break;
    }
    if (written <= 0) break;  // the receiver takes no more
    at += static_cast<size_t>(std::min(written, chunk));
  }
  return static_cast<LRESULT>(at);
}

// ---- Clipboard ----------------------------------------------------------------------------------------

void PutOnClipboard(UINT format, const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
  if (!block) return;
  auto* p = static_cast<char*>(GlobalLock(block));
  std::memcpy(p, bytes.c_str(), bytes.size() + 1);
  GlobalUnlock(block);
  SetClipboardData(format, block);
}

std::string ClipboardBytes(UINT format) {
  std::string out;
  if (HANDLE h = GetClipboardData(format)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      out.assign(p, strnlen(p, GlobalSize(h)));
      GlobalUnlock(h);
    }
  }
  return out;
}

bool Copy(HWND hwnd, const RichState& s) {
  if (s.anchor == s.caret || !OpenClipboard(hwnd)) return false;
  EmptyClipboard();
  PutOnClipboard(RtfFormat(), WriteRtf(s.doc.Copy(SelStart(s), SelEnd(s))));
  PutOnClipboard(CF_TEXT, s.doc.PlainText(SelStart(s), SelEnd(s)));
  CloseClipboard();
  return true;
}

void Paste(HWND hwnd, RichState& s) {
  if (!OpenClipboard(hwnd)) return;
  const bool rtf = IsClipboardFormatAvailable(RtfFormat()) != FALSE;
  const std::string bytes = ClipboardBytes(rtf ? RtfFormat() : CF_TEXT);
  CloseClipboard();
  if (bytes.empty()) return;
  const RichParaFormat pf = s.doc.ParaFormat(s.doc.ParaOf(SelStart(s)));
  RichFragment piece =
      rtf ? ReadRtf(bytes, InsertionFormat(s), pf) : RichFragment::FromPlain(bytes, InsertionFormat(s), pf);
  ReplaceSelection(hwnd, s, std::move(piece), Origin::User, RichDocument::UndoMode::Record);
}

void Clear(HWND hwnd, RichState& s) {
  if (s.anchor != s.caret) ReplaceSelection(hwnd, s, RichFragment{}, Origin::User, RichDocument::UndoMode::Record);
}

void Cut(HWND hwnd, RichState& s) {
  if (!(StyleOf(hwnd) & ES_READONLY) && Copy(hwnd, s)) Clear(hwnd, s);
}

void UndoEdit(HWND hwnd, RichState& s) {
  if ((StyleOf(hwnd) & ES_READONLY) || !s.doc.CanUndo()) return;
  auto keep = States().Get(hwnd);
  int from = 0, to = 0;
  s.doc.Undo(&from, &to);
  s.layout.InvalidateAll();
  s.layout.Update(s.doc);
  s.anchor = from;
  s.caret = to;
  s.modify = true;
  InvalidateRect(hwnd, nullptr, TRUE);
  ScrollCaretIntoView(hwnd, s);
  if (Notifies(s, ENM_CHANGE) && !NotifyParent(hwnd, EN_CHANGE)) return;
  HeightMayHaveChanged(hwnd, s);
  if (IsWindow(hwnd)) NotifySelChange(hwnd, s);
}

// ---- Keyboard -----------------------------------------------------------------------------------------

int PointToPos(const RichState& s, LPARAM lParam) {
  auto& layout = const_cast<RichLayout&>(s.layout);
  return layout.CharFromPoint(s.doc, GET_X_LPARAM(lParam) + s.scrollX, GET_Y_LPARAM(lParam) + s.scrollY);
}


// ---- Painting and rendering ---------------------------------------------------------------------------

COLORREF BackColor(const RichState& s) { return s.systemBack ? GetSysColor(COLOR_WINDOW) : s.back; }

void Paint(HWND hwnd, HDC dc, RichState& s) {
  const CRect client = ClientRectOf(hwnd);
  HBRUSH brush = CreateSolidBrush(BackColor(s));
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  RichDrawColors colors;
  colors.text = GetSysColor(IsWindowEnabled(hwnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
  colors.highlight = GetSysColor(COLOR_HIGHLIGHT);
  colors.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  if (s.focused || (s.options & ECO_NOHIDESEL)) {
    colors.selFrom = SelStart(s);
    colors.selTo = SelEnd(s);
  }
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
  s.layout.Draw(dc, s.doc, -s.scrollX, -s.scrollY, s.scrollY, s.scrollY + client.Height(), colors);
  RestoreDC(dc, saved);
}

int Pixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

constexpr size_t kKeptPrintFonts = 64;

// EM_FORMATRANGE: lays out from chrg.cpMin at the output DC's resolution in the rectangle's width and
// answers the first character that did not fit (rendering the ones that did when asked).
LRESULT OnFormatRange(RichState& s, bool render, const FORMATRANGE* fr) {
  if (!fr) {
    // (FALSE, NULL) frees the cached layout. The fonts made for the output's resolution stay while the
    // window lives (up to kKeptPrintFonts of them), so a window that renders one value after another, as
    // the rich edit cell's drawing window does, makes each font once instead of once per value.
    if (s.print) {
      s.print->ForgetLines();
      if (s.print->Fonts().Count() > kKeptPrintFonts) s.print->Fonts().Clear();
    }
    return 0;
  }
  HDC out = fr->hdc ? fr->hdc : fr->hdcTarget;
  if (!out) return 0;
  const int dpiX = std::max(1, GetDeviceCaps(out, LOGPIXELSX)), dpiY = std::max(1, GetDeviceCaps(out, LOGPIXELSY));
  const int left = Pixels(fr->rc.left, dpiX), right = Pixels(fr->rc.right, dpiX);
  const int top = Pixels(fr->rc.top, dpiY), bottom = Pixels(fr->rc.bottom, dpiY);
  if (!s.print) s.print = std::make_unique<RichLayout>(dpiX);
  s.print->Configure(dpiX, std::max(1, right - left), std::max(1, right - left));
  s.print->InvalidateAll();
  s.print->Update(s.doc);
  const int n = s.doc.Length();
  const int from = std::clamp(static_cast<int>(fr->chrg.cpMin), 0, n);
  const int to = fr->chrg.cpMax < 0 ? n : std::clamp(static_cast<int>(fr->chrg.cpMax), from, n);
  // The document y where `from`'s line starts, and the lines that fit below it.
  int x0 = 0, yFrom = 0, h = 0;
  s.print->CaretAt(s.doc, from, &x0, &yFrom, &h);
  const int room = bottom - top;
  int y = 0, used = 0, next = to;
  bool stopped = false;
  for (int p = 0; p < s.doc.ParaCount() && !stopped; ++p) {
    for (int l = 0; l < s.print->ParaLineCount(p); ++l) {
      const RichLine& line = s.print->Line(p, l);
      if (y >= yFrom && line.start < to) {
        if (used + line.height > room && used > 0) {
          next = line.start;
          stopped = true;
          break;
        }
        if (used + line.height > room) {  // not even one line fits
          next = line.start;
          stopped = true;
          break;
        }
        used += line.height;
      }
      y += line.height;
    }
  }
  if (render && used > 0) {
    RichDrawColors colors;
    colors.text = GetSysColor(COLOR_WINDOWTEXT);
    const int saved = SaveDC(out);
    IntersectClipRect(out, left, top, right, bottom);
    s.print->Draw(out, s.doc, left, top - yFrom, yFrom, yFrom + used, colors);
    RestoreDC(out, saved);
  }
  return std::min(next, to);
}

// ---- Messages -----------------------------------------------------------------------------------------

LRESULT OnFindText(const RichState& s, WPARAM flags, FINDTEXTEX* ft) {
  if (!ft || !ft->lpstrText) return -1;
  const std::string needle = ft->lpstrText;
  const std::string& text = s.doc.Text();
  const int n = s.doc.Length();
  const bool matchCase = (flags & FR_MATCHCASE) != 0;
  auto eq = [matchCase](char a, char b) {
    if (matchCase) return a == b;
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  auto matchAt = [&](int at) {
    if (at < 0 || at + static_cast<int>(needle.size()) > n) return false;
    for (size_t k = 0; k < needle.size(); ++k)
      if (!eq(text[static_cast<size_t>(at) + k], needle[k])) return false;
    return true;
  };
  const int len = static_cast<int>(needle.size());
  int found = -1;
  if (flags & FR_DOWN) {
    const int from = std::clamp(static_cast<int>(ft->chrg.cpMin), 0, n);
    const int to = ft->chrg.cpMax < 0 ? n : std::clamp(static_cast<int>(ft->chrg.cpMax), 0, n);
    for (int at = from; at + len <= to && len > 0; ++at)
      if (matchAt(at)) {
        found = at;
        break;
      }
  } else {
    // Backward: from cpMin down to cpMax (-1: the start); a match ends at or before cpMin.
    const int from = ft->chrg.cpMin < 0 ? n : std::clamp(static_cast<int>(ft->chrg.cpMin), 0, n);
    const int to = ft->chrg.cpMax < 0 ? 0 : std::clamp(static_cast<int>(ft->chrg.cpMax), 0, n);
    for (int at = from - len; at >= to && len > 0; --at)
      if (matchAt(at)) {
        found = at;
        break;
      }
  }
  ft->chrgText = found < 0 ? CHARRANGE{-1, -1} : CHARRANGE{found, found + len};
  return found;
}

// EM_SCROLL and the bar's arrows and page areas: the view moves by the laid-out lines, whatever their
// heights, to a line's top; the answer counts the lines moved (negative upwards). A page moves by the
// lines that fit in the client area (at least one). The view stops at the first line from which the rest
// of the content fits, as it cannot scroll the last line further up.
LRESULT OnScroll(HWND hwnd, RichState& s, WPARAM code) {
  const UINT action = LOWORD(code);
  if (action != SB_LINEUP && action != SB_LINEDOWN && action != SB_PAGEUP && action != SB_PAGEDOWN) return FALSE;
  s.layout.Update(s.doc);
  const std::vector<int> tops = s.layout.LineTops();
  if (tops.empty()) return MAKELONG(0, TRUE);
  const int page = std::max(1, ClientRectOf(hwnd).Height());
  const int total = s.layout.Height(), count = static_cast<int>(tops.size());
  // The line at the view's top (the one the top edge cuts, if any).
  const int first = static_cast<int>(std::upper_bound(tops.begin(), tops.end(), s.scrollY) - tops.begin()) - 1;
  int last = 0;  // the lowest line allowed at the top
  while (last + 1 < count && total - tops[static_cast<size_t>(last)] > page) ++last;
  int target = first;
  switch (action) {
    case SB_LINEUP: target = tops[static_cast<size_t>(first)] < s.scrollY ? first : first - 1; break;
    case SB_LINEDOWN: target = first + 1; break;
    case SB_PAGEUP: {
      const int y = s.scrollY - page;
      target = static_cast<int>(std::lower_bound(tops.begin(), tops.end(), y) - tops.begin());
      target = std::min(target, first - 1);
      break;
    }
    default: {  // SB_PAGEDOWN: the line the client area's bottom edge cuts (or the one below) comes to the top
      const int y = s.scrollY + page;
      target = static_cast<int>(std::upper_bound(tops.begin(), tops.end(), y) - tops.begin()) - 1;
      target = std::max(target, first + 1);
      break;
    }
  }
  target = std::clamp(target, 0, std::max(first, last));
  SetScrollY(hwnd, s, tops[static_cast<size_t>(std::clamp(target, 0, count - 1))]);
  PlaceCaret(hwnd, s);
  return MAKELONG(static_cast<WORD>(static_cast<SHORT>(target - first)), TRUE);
}

// The bar: arrows and page areas scroll by lines, the thumb and the ends to any position.
LRESULT OnVScroll(HWND hwnd, RichState& s, WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case SB_LINEUP:
    case SB_LINEDOWN:
    case SB_PAGEUP:
    case SB_PAGEDOWN: OnScroll(hwnd, s, LOWORD(wParam)); return 0;
    case SB_TOP: SetScrollY(hwnd, s, 0); break;
    case SB_BOTTOM: SetScrollY(hwnd, s, s.layout.Height() - ClientRectOf(hwnd).Height()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      const int pos = GetScrollInfo(hwnd, SB_VERT, &si) ? si.nTrackPos : static_cast<SHORT>(HIWORD(wParam));
      SetScrollY(hwnd, s, pos);
      break;
    }
    default: return 0;
  }
  PlaceCaret(hwnd, s);
  return 0;
}

// The horizontal bar: arrows by the default font's average character, page areas by the client's width,
// the ends and the thumb to any position; the view stops where the widest line ends.
LRESULT OnHScroll(HWND hwnd, RichState& s, WPARAM wParam) {
  const int page = ViewWidth(hwnd);
  const int step = std::max(1, s.layout.Fonts().Of(s.base).widths['x']);
  int x = s.scrollX;
  switch (LOWORD(wParam)) {
    case SB_LINELEFT: x -= step; break;
    case SB_LINERIGHT: x += step; break;
    case SB_PAGELEFT: x -= page; break;
    case SB_PAGERIGHT: x += page; break;
    case SB_LEFT: x = 0; break;
    case SB_RIGHT: x = MaxScrollX(hwnd, s); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      x = GetScrollInfo(hwnd, SB_HORZ, &si) ? si.nTrackPos : static_cast<SHORT>(HIWORD(wParam));
      break;
    }
    default: return 0;
  }
  SetScrollX(hwnd, s, std::min(x, MaxScrollX(hwnd, s)));
  PlaceCaret(hwnd, s);
  return 0;
}

LRESULT OnSetOptions(HWND hwnd, RichState& s, WPARAM op, DWORD value) {
  switch (op) {
    case ECOOP_SET: s.options = value; break;
    case ECOOP_OR: s.options |= value; break;
    case ECOOP_AND: s.options &= value; break;
    case ECOOP_XOR: s.options ^= value; break;
    default: return s.options;
  }
  const DWORD style = StyleOf(hwnd);
  SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>((style & ~kStyleOptions) | (s.options & kStyleOptions)));
  InvalidateRect(hwnd, nullptr, TRUE);
  return s.options;
}

void ApplyFontMessage(HWND hwnd, RichState& s, HFONT font) {
  s.font = font;
  LOGFONT lf{};
  if (!GetObject(FontOr(font), sizeof lf, &lf)) return;
  RichCharFormat f = s.base;
  f.face = lf.lfFaceName;
  f.twips = std::clamp(MulDiv(std::abs(static_cast<int>(lf.lfHeight)), 1440, kScreenDpi), 20, 32760);
  f.bold = lf.lfWeight >= FW_BOLD;
  f.italic = lf.lfItalic != 0;
  f.underline = lf.lfUnderline != 0;
  f.strike = lf.lfStrikeOut != 0;
  f.charset = lf.lfCharSet;
  f.pitchFamily = lf.lfPitchAndFamily;
  s.base = f;
  // The font applies to all the text, as the classic control does.
  s.doc.ChangeFormats(0, s.doc.Length() + 1, [&f](RichCharFormat& g) { g = f; });
  s.layout.InvalidateAll();
  Configure(hwnd, s);
}

LRESULT OnCreate(HWND hwnd, RichState& s, const CREATESTRUCT* cs) {
  const DWORD style = StyleOf(hwnd);
  s.options = style & kStyleOptions;
  ApplyFontMessage(hwnd, s, nullptr);
  if (cs && cs->lpszName && reinterpret_cast<uintptr_t>(cs->lpszName) > 0xFFFF && *cs->lpszName)
    s.doc.Assign(RichFragment::FromPlain(cs->lpszName, s.base, {}));
  Configure(hwnd, s);
  s.lastHeight = s.layout.Height();
  return 0;
}

LRESULT OnSetText(HWND hwnd, RichState& s, const char* text) {
  auto keep = States().Get(hwnd);
  s.doc.Assign(RichFragment::FromPlain(text ? text : "", s.base, {}));
  DocumentReplaced(hwnd, s);
  return TRUE;
}

LRESULT OnExSetSel(HWND hwnd, RichState& s, const CHARRANGE* cr) {
  if (!cr) return SelEnd(s);
  const int n = s.doc.Length();
  auto keep = States().Get(hwnd);
  if (cr->cpMin < 0) {
    SetSelection(hwnd, s, s.caret, s.caret);  // (-1, x): no selection
  } else {
    const int a = std::min(static_cast<int>(cr->cpMin), n);
    const int b = cr->cpMax < 0 ? n : std::min(static_cast<int>(cr->cpMax), n);
    SetSelection(hwnd, s, a, b);
  }
  s.desiredX = -1;
  NotifySelChange(hwnd, s);
  return SelEnd(s);
}

// The rich edit control as the shared text rules see it (TextInput.h).
struct RichInput : TextState<RichState> {
  int Caret() const { return s.caret; }
  int Anchor() const { return s.anchor; }
  int SelStart() const { return controls::SelStart(s); }
  int SelEnd() const { return controls::SelEnd(s); }
  int Length() const { return s.doc.Length(); }
  bool HasSelection() const { return s.anchor != s.caret; }
  int WordLeft(int pos) const { return s.doc.WordLeft(pos); }
  int WordRight(int pos) const { return s.doc.WordRight(pos); }
  // A paragraph break is one position.
  int StepLeft(int pos) const { return std::max(0, pos - 1); }
  int StepRight(int pos) const { return std::min(Length(), pos + 1); }
  int LineStartOf(int pos) const { return s.layout.LineStartOf(s.doc, pos); }
  int LineEndOf(int pos) const { return s.layout.LineEndOf(s.doc, pos); }
  // Lines are as high as their tallest font: the caret moves line by line at the column it aims for.
  int LineMove(int lines) {
    int x = 0, y = 0, h = 0;
    s.layout.CaretAt(s.doc, s.caret, &x, &y, &h);
    if (s.desiredX < 0) s.desiredX = x;
    int pos = s.caret;
    for (int i = 0; i < std::abs(lines); ++i) pos = s.layout.LineMove(s.doc, pos, lines < 0 ? -1 : 1, s.desiredX);
    return pos;
  }
  // A page is as many lines of the caret's height as the client area holds.
  int PageMove(int direction) {
    int x = 0, y = 0, h = 0;
    s.layout.CaretAt(s.doc, s.caret, &x, &y, &h);
    const int lines = std::max(1, ClientRectOf(hwnd).Height() / std::max(1, h));
    return LineMove(direction * lines);
  }
  void Select(int anchor, int caret) { SetSelection(hwnd, s, anchor, caret); }
  void SelectQuietly(int anchor, int caret) {
    s.anchor = anchor;
    s.caret = caret;
  }
  void MoveCaretTo(int anchor, int caret) {
    auto keep = States().Get(hwnd);
    SetSelection(hwnd, s, anchor, caret);
    ScrollCaretIntoView(hwnd, s);
    NotifySelChange(hwnd, s);
  }
  int PosAt(LPARAM lParam) const { return PointToPos(s, lParam); }
  void WordAt(int pos, int* from, int* to) const { s.doc.WordAt(pos, from, to); }
  void Copy() { controls::Copy(hwnd, s); }
  void Cut() { controls::Cut(hwnd, s); }
  void Paste() { controls::Paste(hwnd, s); }
  void Clear() { controls::Clear(hwnd, s); }
  void Undo() { UndoEdit(hwnd, s); }
  void DeleteSelection() { ReplaceSelection(hwnd, s, RichFragment{}, Origin::User, RichDocument::UndoMode::Record); }
  void Enter() {
    if (StyleOf(hwnd) & ES_MULTILINE) TypeText(hwnd, s, "\r", RichDocument::UndoMode::Record);
  }
  void Tab() { TypeText(hwnd, s, "\t", RichDocument::UndoMode::MergeTyping); }
  void Type(char c) { TypeText(hwnd, s, std::string_view(&c, 1), RichDocument::UndoMode::MergeTyping); }
  // The messages both text controls answer alike.
  const std::string& Text() const { return s.doc.Text(); }
  bool Multiline() const { return (StyleOf(hwnd) & ES_MULTILINE) != 0; }
  int LineCount() const { return s.layout.LineCount(); }
  int LineFromChar(int pos) const { return s.layout.LineFromChar(s.doc, pos); }
  void DragTo(LPARAM lParam) { MoveCaretTo(s.anchor, PointToPos(s, lParam)); }
  void StopSelecting() { s.selecting = false; }
  int CaretHeight() const {
    int x = 0, y = 0, h = 0;
    s.layout.CaretAt(s.doc, s.caret, &x, &y, &h);
    return h;
  }
  void PlaceCaret() { controls::PlaceCaret(hwnd, s); }
  bool SelectionAlwaysShown() const { return (s.options & ECO_NOHIDESEL) != 0; }
  bool CanUndo() const { return s.doc.CanUndo(); }
  void EmptyUndo() { s.doc.EmptyUndo(); }
  void Paint(HDC dc) { controls::Paint(hwnd, dc, s); }
};

LRESULT Dispatch(HWND hwnd, RichState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  RichInput input{{hwnd, s}};
  if (const auto answer = TextMessage(input, hwnd, msg, wParam, lParam)) return *answer;
  switch (msg) {
    case WM_CREATE:
      s.vscroll = (StyleOf(hwnd) & WS_VSCROLL) != 0;
      s.hscroll = (StyleOf(hwnd) & WS_HSCROLL) != 0;
      return OnCreate(hwnd, s, reinterpret_cast<const CREATESTRUCT*>(lParam));
    case WM_SIZE:
      Configure(hwnd, s);
      SetScrollY(hwnd, s, s.scrollY);
      InvalidateRect(hwnd, nullptr, TRUE);
      PlaceCaret(hwnd, s);
      HeightMayHaveChanged(hwnd, s);
      return 0;
    case WM_SETFONT:
      ApplyFontMessage(hwnd, s, reinterpret_cast<HFONT>(wParam));
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      HeightMayHaveChanged(hwnd, s);
      return 0;
    case WM_SETTEXT: return OnSetText(hwnd, s, reinterpret_cast<const char*>(lParam));
    case EM_CANPASTE:
      return IsClipboardFormatAvailable(RtfFormat()) || IsClipboardFormatAvailable(CF_TEXT);
    case EM_SETSEL: {
      const CHARRANGE cr{static_cast<LONG>(wParam), static_cast<LONG>(lParam)};
      OnExSetSel(hwnd, s, &cr);
      return 0;
    }
    case EM_EXGETSEL:
      if (lParam) *reinterpret_cast<CHARRANGE*>(lParam) = CHARRANGE{SelStart(s), SelEnd(s)};
      return 0;
    case EM_EXSETSEL: return OnExSetSel(hwnd, s, reinterpret_cast<const CHARRANGE*>(lParam));
    case EM_GETSELTEXT: {
      if (!lParam) return 0;
      const std::string sel = s.doc.Text().substr(static_cast<size_t>(SelStart(s)),
                                                  static_cast<size_t>(SelEnd(s) - SelStart(s)));
      std::memcpy(reinterpret_cast<char*>(lParam), sel.c_str(), sel.size() + 1);
      return static_cast<LRESULT>(sel.size());
    }
    case EM_REPLACESEL: {
      const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      const RichParaFormat pf = s.doc.ParaFormat(s.doc.ParaOf(SelStart(s)));
      ReplaceSelection(hwnd, s, RichFragment::FromPlain(text, InsertionFormat(s), pf), Origin::Api,
                       wParam ? RichDocument::UndoMode::Record : RichDocument::UndoMode::Clear);
      return 0;
    }
    case EM_LIMITTEXT:
    case EM_EXLIMITTEXT: {
      const LPARAM v = msg == EM_LIMITTEXT ? static_cast<LPARAM>(wParam) : lParam;
      s.limit = v > 0 ? static_cast<UINT>(v) : kRichEditDefaultLimit;
      return 0;
    }
    case EM_SETREADONLY: OnSetOptions(hwnd, s, wParam ? ECOOP_OR : ECOOP_AND, wParam ? ECO_READONLY : ~ECO_READONLY); return TRUE;
    case EM_SCROLL: return OnScroll(hwnd, s, wParam);
    case WM_VSCROLL: return OnVScroll(hwnd, s, wParam);
    case WM_HSCROLL: return OnHScroll(hwnd, s, wParam);
    case EM_SCROLLCARET: ScrollCaretIntoView(hwnd, s); return 0;
    case EM_EXLINEFROMCHAR: return s.layout.LineFromChar(s.doc, static_cast<int>(lParam));
    case EM_SETEVENTMASK: {
      const DWORD old = s.eventMask;
      s.eventMask = static_cast<DWORD>(lParam);
      return old;
    }
    case EM_GETEVENTMASK: return s.eventMask;
    case EM_SETOPTIONS: return OnSetOptions(hwnd, s, wParam, static_cast<DWORD>(lParam));
    case EM_GETOPTIONS: return s.options;
    case EM_SETBKGNDCOLOR: {
      const COLORREF old = BackColor(s);
      s.systemBack = wParam != 0;
      s.back = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case EM_SETTARGETDEVICE:
      if (!wParam)
        s.wrap = lParam == 1 ? Wrap::None : Wrap::Window;
      else
        s.wrap = lParam > 0 ? Wrap::Target : Wrap::Window;
      s.targetTwips = static_cast<int>(lParam);
      Configure(hwnd, s);
      InvalidateRect(hwnd, nullptr, TRUE);
      PlaceCaret(hwnd, s);
      HeightMayHaveChanged(hwnd, s);
      return TRUE;
    case EM_SETCHARFORMAT: return OnSetCharFormat(hwnd, s, wParam, reinterpret_cast<const CHARFORMAT*>(lParam));
    case EM_GETCHARFORMAT: return OnGetCharFormat(s, wParam, reinterpret_cast<CHARFORMAT*>(lParam));
    case EM_SETPARAFORMAT: return OnSetParaFormat(hwnd, s, reinterpret_cast<const PARAFORMAT*>(lParam));
    case EM_GETPARAFORMAT: return OnGetParaFormat(s, reinterpret_cast<PARAFORMAT*>(lParam));
    case EM_STREAMIN: return OnStreamIn(hwnd, s, wParam, reinterpret_cast<EDITSTREAM*>(lParam));
    case EM_STREAMOUT: return OnStreamOut(s, wParam, reinterpret_cast<EDITSTREAM*>(lParam));
    case EM_FINDTEXTEX: return OnFindText(s, wParam, reinterpret_cast<FINDTEXTEX*>(lParam));
    case EM_FORMATRANGE: return OnFormatRange(s, wParam != 0, reinterpret_cast<const FORMATRANGE*>(lParam));
    case EM_REQUESTRESIZE: SendRequestResize(hwnd, s); return 0;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace {

struct MemoryStream {
  std::string_view in;
  std::string out;
};

DWORD ReadFromMemory(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* got) {
  auto* m = reinterpret_cast<MemoryStream*>(cookie);
  const size_t n = std::min(static_cast<size_t>(std::max<LONG>(cb, 0)), m->in.size());
  std::memcpy(buf, m->in.data(), n);
  m->in.remove_prefix(n);
  *got = static_cast<LONG>(n);
  return 0;
}

DWORD WriteToMemory(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* written) {
  reinterpret_cast<MemoryStream*>(cookie)->out.append(reinterpret_cast<const char*>(buf),
                                                      static_cast<size_t>(std::max<LONG>(cb, 0)));
  *written = cb;
  return 0;
}

}  // namespace

LRESULT StreamInBytes(HWND hwnd, std::string_view bytes, UINT format) {
  MemoryStream m{bytes, {}};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&m), 0, &ReadFromMemory};
  return SendMessage(hwnd, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
}

std::string StreamOutBytes(HWND hwnd, UINT format) {
  MemoryStream m;
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&m), 0, &WriteToMemory};
  SendMessage(hwnd, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
  return std::move(m.out);
}

void RegisterRichEditClass() {
  RegisterControlClass(RICHEDIT_CLASS, ControlWndProc<RichState, Dispatch>, CS_DBLCLKS | CS_GLOBALCLASS, IDC_IBEAM);
}

}  // namespace plat::controls

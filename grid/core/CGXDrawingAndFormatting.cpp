#include "grid/core/CGXDrawingAndFormatting.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ButtonBitmap.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXDrawRotatedTextImp.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/base/CodePage.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/StringApi.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/window/windowapi.h"

namespace {

// The 41 patterns, one byte per row, top row first, most significant bit leftmost.
constexpr BYTE kPatternRows[CGXDrawingAndFormatting::kPatterns][8] = {
    {0x44, 0x11, 0x44, 0x11, 0x44, 0x11, 0x44, 0x11}, {0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa},
    {0xbb, 0xee, 0xbb, 0xee, 0xbb, 0xee, 0xbb, 0xee}, {0xee, 0xff, 0xbb, 0xff, 0xee, 0xff, 0xbb, 0xff},
    {0xff, 0xff, 0xee, 0xff, 0xff, 0xff, 0xbb, 0xff}, {0xfb, 0xff, 0xbf, 0xff, 0xfa, 0xff, 0xaf, 0xff},
    {0xff, 0xff, 0x00, 0x00, 0xff, 0xff, 0x00, 0x00}, {0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc},
    {0x55, 0xcc, 0x99, 0x44, 0x55, 0xcc, 0x99, 0x44}, {0x44, 0x99, 0xcc, 0x55, 0x44, 0x99, 0xcc, 0x55},
    {0x55, 0x55, 0x99, 0x99, 0x55, 0x55, 0x99, 0x99}, {0x55, 0x00, 0x99, 0x00, 0x55, 0x00, 0x99, 0x00},
    {0xff, 0x00, 0xff, 0xff, 0xff, 0x00, 0xff, 0xff}, {0xdd, 0xdd, 0xdd, 0xdd, 0xdd, 0xdd, 0xdd, 0xdd},
    {0xee, 0xdd, 0xbb, 0x77, 0xee, 0xdd, 0xbb, 0x77}, {0x77, 0xbb, 0xdd, 0xee, 0x77, 0xbb, 0xdd, 0xee},
    {0xee, 0x00, 0xee, 0xee, 0xee, 0x00, 0xee, 0xee}, {0xee, 0x55, 0xbb, 0x55, 0xee, 0xbb, 0x55, 0xee},
    {0x88, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}, {0xfe, 0xff, 0xfe, 0xff, 0xfe, 0xff, 0xfe, 0xff},
    {0xfe, 0xff, 0xfb, 0xff, 0xef, 0xff, 0xbf, 0xff}, {0xf7, 0xff, 0xfd, 0xff, 0x7f, 0xff, 0xdf, 0xff},
    {0x88, 0xff, 0xfe, 0xff, 0xfe, 0xff, 0xfe, 0xff}, {0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff},
    {0xfe, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe}, {0xfe, 0xfd, 0xfb, 0xf7, 0xef, 0xdf, 0xbf, 0x7f},
    {0xf7, 0xfb, 0xfd, 0xfe, 0x7f, 0xbf, 0xdf, 0xef}, {0x00, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe, 0xfe},
    {0x00, 0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}, {0xf3, 0xf3, 0xf3, 0xf3, 0xf3, 0xf3, 0xf3, 0xf3},
    {0xf3, 0xf9, 0xfc, 0x7e, 0x3f, 0x9f, 0xcf, 0xe7}, {0xe7, 0xcf, 0x9f, 0x3f, 0x7e, 0xfc, 0xf9, 0xf3},
    {0x00, 0x00, 0xf3, 0xf3, 0xf3, 0xf3, 0xf3, 0xf3}, {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11},
    {0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}, {0xb1, 0xb1, 0xb1, 0xb1, 0xb1, 0xb1, 0xb1, 0xb1},
    {0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51}, {0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff},
    {0x00, 0xff, 0x00, 0xff, 0x00, 0xff, 0x00, 0xff}, {0x00, 0x00, 0x00, 0xff, 0xff, 0x00, 0xff, 0xff},
    {0x00, 0x00, 0x00, 0xff, 0x00, 0xff, 0x00, 0xff},
};

int TextWidth(CDC* pDC, LPCTSTR text, int n) { return n > 0 ? pDC->GetTextExtent(text, n).cx : 0; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// Draws one line clipped to a rectangle, restoring the clip region afterwards.
void TextOutClipped(CDC* pDC, int x, int y, LPCTSTR text, int n, const RECT& clip) {
  const int saved = pDC->SaveDC();
  pDC->IntersectClipRect(&clip);
  pDC->TextOut(x, y, text, n);
  pDC->RestoreDC(saved);
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

// Lives to the very end of the process: its pattern bitmaps must not be freed after the platform's GDI
// tables at exit.
CGXDrawingAndFormatting& GetDrawingAndFormatting() {
  static auto* object = [] {
    auto* created = new CGXDrawingAndFormatting;
#if defined(__SANITIZE_ADDRESS__)
    // Also when a library built with the grid is unloaded, which unmaps this pointer: still no leak.
    __lsan_ignore_object(created);
#endif
    return created;
  }();
  return *object;
}

CBitmap* CGXDrawingAndFormatting::GetPatternBitmap(UINT n) {
  if (n >= kPatterns) return nullptr;
  if (!m_patterns[n]) {
    // Handed to CreateBitmap as 16-bit rows: each byte followed by a zero byte.
    BYTE bits[16] = {};
    for (int row = 0; row < 8; ++row) bits[row * 2] = kPatternRows[n][row];
    auto bmp = std::make_unique<CBitmap>();
    if (!bmp->CreateBitmap(8, 8, 1, 1, bits)) return nullptr;
    m_patterns[n] = std::move(bmp);
  }
  return m_patterns[n].get();
}

CString CGXDrawingAndFormatting::FormatDisplayText(const CGXStyle& style, LPCTSTR valueText, unsigned valueType,
                                                   int arg1, int arg2) {
  if (CGXAbstractNumberFormattingImp* imp = CGXGridGlobals::Get().m_pNumberFormattingImp)
    return imp->FormatText(style, valueText, valueType, arg1, arg2);
  if (valueText) return CString(valueText);
  return style.GetIncludeValue() ? style.GetValue() : CString();
}

CString FormatDisplayText(const CGXStyle& style, LPCTSTR valueText, unsigned valueType, int arg1, int arg2) {
  return GetDrawingAndFormatting().FormatDisplayText(style, valueText, valueType, arg1, arg2);
}

// The grid's own bitmaps are found after the resource and instance modules, as the DIB resources are.
BOOL LoadSysColorBitmap(CBitmap& bitmap, LPCSTR name) {
  return LoadButtonBitmap(bitmap, name, plat::ResourceTable::ModuleHandle("grid"));
}

BOOL CGXDrawingAndFormatting::ParseDisplayText(LPCTSTR text, double& value) { return gx::ParseDisplayText(text, value); }

int CGXDrawingAndFormatting::LineStep(CDC* pDC) {
  TEXTMETRIC tm{};
  pDC->GetTextMetrics(&tm);
  const int h = tm.tmHeight + tm.tmExternalLeading;
  return h >= 20 ? h - 1 : h;
}

int CGXDrawingAndFormatting::LineX(CDC* pDC, const RECT& rect, UINT format, LPCTSTR line, int n) {
  const int w = TextWidth(pDC, line, n);
  int x = rect.left;
  if (format & 2)
    x = rect.right - w;
  else if (format & 1)
    x = rect.left + (rect.right - rect.left - w) / 2;
  return std::max<int>(x, rect.left);
}

int CGXDrawingAndFormatting::BreakLines(CDC* pDC, LPCTSTR text, int length, RECT& rect, UINT format, int* starts,
                                        int* lengths) {
  return CalcLineBreaks(pDC, text, length, rect, format, starts, lengths, kMaxLines);
}

int CGXDrawingAndFormatting::CalcLineBreaks(CDC* pDC, LPCTSTR text, int length, RECT& rect, UINT format,
                                            int* starts, int* lengths, int maxLines) {
  if (!pDC || !text || maxLines <= 0) return 0;
  if (length < 0) length = static_cast<int>(std::strlen(text));
  TEXTMETRIC tm{};
  pDC->GetTextMetrics(&tm);
  const int h = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
  const int rectH = rect.bottom - rect.top;
  const int width = rect.right - rect.left;
  // Lines after the first that the rectangle has room for; single-line text has none.
  int further = (format & 0x20) ? 0 : (rectH > h ? (rectH - h / 3) / h : 0);
  int count = 0;
  int pos = 0;
  bool wrapped = false;   // the line follows a soft wrap, whose blanks belong to no line
  for (;;) {
    // Leading blanks of the text and of a line after a hard break are text ("    C57"); only a wrap drops them.
    if (wrapped)
      while (pos < length && IsBlank(text[pos])) ++pos;
    const int start = pos;
    const bool lastAllowed = further == 0 || count + 1 >= maxLines;
    int end = pos;       // end of the text taken so far
    int next = pos;      // where the next line starts
    bool breakFound = false;
    // Whole words while they fit.
    while (end < length && !IsBreak(text[end])) {
      int wordEnd = end;
      while (wordEnd < length && !IsBlank(text[wordEnd]) && !IsBreak(text[wordEnd])) ++wordEnd;
      if (TextWidth(pDC, text + start, wordEnd - start) > width) break;
      end = wordEnd;
      while (end < length && IsBlank(text[end])) ++end;  // blanks after a word are swallowed
    }
    const bool fitsAll = end >= length || IsBreak(text[end]);
    int lineEnd = end;
    while (lineEnd > start && IsBlank(text[lineEnd - 1])) --lineEnd;
    if ((lineEnd == start && end < length && !IsBreak(text[end])) || (lastAllowed && !fitsAll)) {
      // The first word alone is too wide, or no further line is allowed: cut at the last character that fits.
      int cut = start;
      while (cut < length && !IsBreak(text[cut]) && TextWidth(pDC, text + start, cut + 1 - start) <= width) ++cut;
      if (cut == start && cut < length && !IsBreak(text[cut])) cut = start + 1;  // always progress
      lineEnd = cut;
      end = cut;
    }
    next = end;
    if (next < length && IsBreak(text[next])) {
      breakFound = true;
      if (text[next] == '\r' && next + 1 < length && text[next + 1] == '\n') ++next;
      ++next;
    }
    starts[count] = start;
    lengths[count] = lineEnd - start;
    ++count;
    pos = next;
    wrapped = !breakFound;
    if (count >= maxLines || lastAllowed) break;
    if (pos >= length && !breakFound) break;
    --further;
    if (pos >= length) {  // a break at the very end gives one more, empty line
      starts[count] = pos;
      lengths[count] = 0;
      ++count;
      break;
    }
  }
  const int used = count * h;
  if (used < rectH) {
    if (format & 4)
      rect.top += (rectH - used) / 2;
    else if (format & 8)
      rect.top += rectH - used;
  }
  return count;
}

void CGXDrawingAndFormatting::DrawWrappedText(CDC* pDC, LPCTSTR text, int length, RECT rect, UINT format,
                                              const RECT* clip) {
  if (!pDC || !text) return;
  if (length < 0) length = static_cast<int>(std::strlen(text));
  const RECT clipRect = clip ? *clip : rect;
  int starts[kMaxLines], lengths[kMaxLines];
  const int n = BreakLines(pDC, text, length, rect, format, starts, lengths);
  const int step = LineStep(pDC);
  int y = rect.top;
  for (int i = 0; i < n; ++i, y += step) {
    LPCTSTR line = text + starts[i];
    if (TextWidth(pDC, line, lengths[i]) > clipRect.right - clipRect.left)
      TextOutClipped(pDC, clipRect.left, y, line, lengths[i], clipRect);
    else
      pDC->TextOut(LineX(pDC, rect, format, line, lengths[i]), y, line, lengths[i]);
  }
}

void CGXDrawingAndFormatting::DrawTextEllipsis(CDC* pDC, LPCTSTR text, int length, RECT rect, UINT format,
                                               const RECT* clip, UINT ellipsis) {
  if (ellipsis == noEllipsis) {
    DrawWrappedText(pDC, text, length, rect, format, clip);
    return;
  }
  if (!pDC || !text) return;
  if (length < 0) length = static_cast<int>(std::strlen(text));
  const RECT clipRect = clip ? *clip : rect;
  int starts[kMaxLines], lengths[kMaxLines];
  const int n = BreakLines(pDC, text, length, rect, format, starts, lengths);
  const int step = LineStep(pDC);
  TEXTMETRIC tm{};
  pDC->GetTextMetrics(&tm);
  const bool singleLine = (format & 0x20) != 0;
  int y = rect.top;
  for (int i = 0; i < n; ++i, y += step) {
    LPCTSTR line = text + starts[i];
    const int len = lengths[i];
    const bool moreFollows = starts[i] + len < length;
    if (TextWidth(pDC, line, len) > clipRect.right - clipRect.left) {
      if (ellipsis == poundFill && singleLine)
        TextOutClipped(pDC, clipRect.left, y, "#", 1, clipRect);
      else
        TextOutClipped(pDC, clipRect.left, y, line, len, clipRect);
      continue;
    }
    const bool lastVisible = i == n - 1 || y + step + tm.tmHeight * 3 / 4 > rect.bottom;
    if (ellipsis == endEllipsis && lastVisible && moreFollows && len >= 2) {
      std::string s(line, static_cast<std::size_t>(len));
      std::string dots = "...";
      for (;;) {
        const std::string shown = s + dots;
        if (TextWidth(pDC, shown.c_str(), static_cast<int>(shown.size())) <= rect.right - rect.left) break;
        if (s.size() > 1) {
          s.pop_back();
        } else if (!dots.empty()) {
          dots.pop_back();  // "...", "..", ".", then nothing
        } else {
          break;
        }
      }
      const std::string shown = s + dots;
      pDC->TextOut(LineX(pDC, rect, format, shown.c_str(), static_cast<int>(shown.size())), y, shown.c_str(),
                   static_cast<int>(shown.size()));
      break;
    }
    if (ellipsis == poundFill && singleLine && moreFollows) {
      const int pound = std::max(1, TextWidth(pDC, "#", 1));
      const int fit = (rect.right - rect.left) / pound;
      if (fit >= 1) {
        const std::string fill(static_cast<std::size_t>(fit), '#');
        pDC->TextOut(rect.left, y, fill.c_str(), fit);
      } else {
        TextOutClipped(pDC, clipRect.left, y, "#", 1, clipRect);
      }
      continue;
    }
    pDC->TextOut(LineX(pDC, rect, format, line, len), y, line, len);
  }
}

int CGXDrawingAndFormatting::HitTestWrappedText(CDC* pDC, LPCTSTR text, int length, RECT rect, UINT format, int x,
                                                int y) {
  if (!pDC || !text) return -1;
  if (length < 0) length = static_cast<int>(std::strlen(text));
  int starts[kMaxLines], lengths[kMaxLines];
  const int n = BreakLines(pDC, text, length, rect, format, starts, lengths);
  TEXTMETRIC tm{};
  pDC->GetTextMetrics(&tm);
  const int h = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
  if (y < rect.top) return -1;
  const int i = (y - rect.top) / h;
  if (i >= n) return -1;
  LPCTSTR line = text + starts[i];
  const int len = lengths[i];
  const bool rtl = (pDC->GetTextAlign() & 0x100) != 0;
  const int lineWidth = TextWidth(pDC, line, len);
  const int startX = LineX(pDC, rect, format, line, len);
  const int slack = tm.tmMaxCharWidth / 3;
  if (x < startX - slack || x > startX + lineWidth) return -1;
  // Right-to-left reading measures the line from its right end.
  const int offset = rtl ? startX + lineWidth - x : x - startX;
  for (int k = 0; k < len; ++k)
    if (TextWidth(pDC, line, k + 1) > offset) return starts[i] + k;
  return len > 0 ? starts[i] + len - 1 : -1;
}

void CGXDrawingAndFormatting::Draw3dFrame(CDC* pDC, int left, int top, int right, int bottom, int width,
                                          COLORREF topLeft, COLORREF bottomRight) {
  if (!pDC) return;
  const COLORREF old = pDC->GetBkColor();
  for (int ring = 0; ring < width; ++ring) {
    pDC->SetBkColor(ResolvePackedColor(topLeft));
    RECT r{left, top, right, top + 1};
    pDC->ExtTextOut(0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
    r = {left, top, left + 1, bottom};
    pDC->ExtTextOut(0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
    pDC->SetBkColor(ResolvePackedColor(bottomRight));
    r = {left, bottom, right + 1, bottom + 1};
    pDC->ExtTextOut(0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
    r = {right, top, right + 1, bottom};
    pDC->ExtTextOut(0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
    ++left;
    ++top;
    --right;
    --bottom;
  }
  pDC->SetBkColor(old);
}

void CGXDrawingAndFormatting::DrawEdge3d(CDC* pDC, RECT rect, BOOL frame, BOOL sunken) {
  if (!pDC) return;
  if (frame) {
    if (sunken)
      pDC->DrawEdge(&rect, BDR_RAISEDINNER | BDR_SUNKENINNER, BF_RECT | BF_ADJUST | BF_FLAT);
    else
      pDC->DrawEdge(&rect, BDR_RAISEDOUTER | BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | BF_MONO);
  }
  if (sunken) pDC->DrawEdge(&rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
}

void CGXDrawingAndFormatting::DrawButtonCaption(CDC* pDC, RECT rect, LPCTSTR text, BOOL focus) {
  if (!pDC || !text) return;
  const int n = static_cast<int>(std::strlen(text));
  const CSize size = pDC->GetTextExtent(text, n);
  const int x = rect.left + (rect.right - rect.left - size.cx) / 2;
  const int y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
  pDC->TextOut(x, y, text, n);
  if (!focus) return;
  // A dotted frame of four one-pixel lines around the caption.
  const COLORREF c = CGXSysColorTable::GetColor(COLOR_BTNSHADOW);
  const RECT f{x - 2, y - 1, x + size.cx + 2, y + size.cy + 1};
  for (int px = f.left; px < f.right; px += 2) {
    pDC->SetPixelV(px, f.top, c);
    pDC->SetPixelV(px, f.bottom - 1, c);
  }
  for (int py = f.top; py < f.bottom; py += 2) {
    pDC->SetPixelV(f.left, py, c);
    pDC->SetPixelV(f.right - 1, py, c);
  }
}

// ---- Free helpers

COLORREF ResolvePackedColor(COLORREF color) {
  const DWORD top = color >> 24;
  if (top >= 0x41 && top <= 0xFE) return CGXSysColorTable::GetColor(static_cast<int>(254 - top));
  return color;
}

void FillColorRect(CDC* pDC, int x, int y, int cx, int cy, COLORREF color) {
  if (!pDC) return;
  const COLORREF old = pDC->SetBkColor(ResolvePackedColor(color));
  const RECT r{x, y, x + cx, y + cy};
  pDC->ExtTextOut(0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
  pDC->SetBkColor(old);
}

void FillColorRectRc(CDC* pDC, const RECT& rect, COLORREF color) {
  FillColorRect(pDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, color);
}

void DrawEdgeRect(CDC* pDC, RECT rect, UINT edge, BOOL adjust) {
  if (pDC) pDC->DrawEdge(&rect, edge, adjust ? BF_ADJUST : BF_RECT);
}

void InvertRectClipped(CDC* pDC, const RECT& rect, const RECT& clip) {
  if (!pDC) return;
  RECT r = rect;
  if (clip.right > clip.left && clip.bottom > clip.top && !IntersectRect(&r, &rect, &clip)) return;
  pDC->InvertRect(&r);
}

GXComposedChar ComposeDbcsChar(BOOL& leadPending, BYTE& lead, UINT ch, CString& text) {
  const BYTE byte = static_cast<BYTE>(ch);
  if (leadPending) {
    leadPending = FALSE;
    const char pair[3] = {static_cast<char>(lead), static_cast<char>(byte), 0};
    text = pair;
    return GXComposedChar::pair;
  }
  if (ch <= 0xFF && IsDBCSLeadByte(byte)) {
    leadPending = TRUE;
    lead = byte;
    return GXComposedChar::held;
  }
  return GXComposedChar::single;
}

int GetTabbedField(LPCTSTR line, int n, char* buffer, int max) {
  if (!buffer || max <= 0) return 0;
  buffer[0] = '\0';
  if (!line || n < 0) return 0;
  const char* p = line;
  for (int i = 0; i < n; ++i) {
    p = std::strchr(p, '\t');
    if (!p) return 0;
    ++p;
  }
  int len = 0;
  // Always room for the terminator.
  while (p[len] && p[len] != '\t' && p[len] != '\r' && p[len] != '\n' && len < max - 1) {
    buffer[len] = p[len];
    ++len;
  }
  buffer[len] = '\0';
  return len;
}

int ExtractFirstLine(LPCTSTR text, CString& line, CString* rest) {
  if (!text) {
    line.Empty();
    if (rest) rest->Empty();
    return -1;
  }
  const std::size_t n = std::strcspn(text, "\r\n");
  line = CString(text, static_cast<int>(n));
  if (!text[n]) {
    if (rest) rest->Empty();
    return -1;
  }
  std::size_t after = n + 1;
  if (text[n] == '\r' && text[n + 1] == '\n') ++after;
  if (rest) *rest = text + after;
  return static_cast<int>(n);
}

namespace {

std::vector<std::string> SplitLines(LPCTSTR list) {
  std::vector<std::string> lines;
  if (!list) return lines;
  std::string_view s(list);
  while (!s.empty()) {
    const std::size_t n = s.find_first_of("\r\n");
    lines.emplace_back(s.substr(0, n));
    if (n == std::string_view::npos) break;
    std::size_t after = n + 1;
    if (s[n] == '\r' && after < s.size() && s[after] == '\n') ++after;
    s.remove_prefix(after);
  }
  return lines;
}

std::string Field(const std::string& line, int field) {
  char buf[128];
  GetTabbedField(line.c_str(), field, buf, sizeof buf);
  return buf;
}

}  // namespace

int FindChoiceListEntry(LPCTSTR list, LPCTSTR text, int field, BOOL exact) {
  if (!list || !text) return -1;
  const std::vector<std::string> lines = SplitLines(list);
  const std::string want(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string f = field < 0 ? lines[i].substr(0, 127) : Field(lines[i], field);
    if (exact ? f == want
              : f.size() >= want.size() && plat::EqualNoCase1252(std::string_view(f).substr(0, want.size()), want))
      return static_cast<int>(i);
  }
  return -1;
}

CString SortChoiceList(LPCTSTR list, int field, BOOL keepHeader) {
  std::vector<std::string> lines = SplitLines(list);
  auto key = [&](const std::string& l) { return field < 1 ? l : Field(l, field); };
  auto first = lines.begin() + (keepHeader && !lines.empty() ? 1 : 0);
  std::stable_sort(first, lines.end(), [&](const std::string& a, const std::string& b) {
    return plat::CompareNoCase1252(key(a), key(b)) < 0;
  });
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) out += "\r\n";
    out += lines[i];
  }
  return CString(out);
}

int CGXDrawingAndFormatting::DrawRotatedText(CDC* pDC, LPCTSTR text, int length, int left, int top, int right,
                                             int bottom, UINT format, LONG angle, const RECT* clip) {
  CGXDrawRotatedTextImp* imp = GetDrawRotatedTextImp();
  return imp ? imp->DrawRotatedText(pDC, text, length, left, top, right, bottom, format, angle, clip) : 0;
}

namespace {

constexpr WORD kRtlReadingAttribute = 52570;
constexpr WORD kEllipsisAttribute = 52792;
constexpr UINT kRtlReading = 0x100;  // TA_RTLREADING

// A control whose window part is an edit shows its text as it is, never as a bitmap.
bool HasEditWindow(CGXControl* control) {
  CWnd* wnd = control->GetWindowPart();
  if (!wnd || !wnd->m_hWnd) return false;
  char name[64] = {};
  ::GetClassName(wnd->m_hWnd, name, sizeof name);
  return ::_stricmp(name, "edit") == 0;
}

}  // namespace

void CGXDrawingAndFormatting::DrawCellText(CGXControl* control, CDC* pDC, const RECT& rect, ROWCOL row, ROWCOL col,
                                           const CGXStyle& style) {
  if (!control || !pDC) return;
  const CRect cell(rect);
  control->DrawBackground(pDC, cell, style);
  CString text;
  control->GetDisplayText(text, row, col, nullptr, style);
  if (text.IsEmpty() || cell.Width() < 2 || cell.Height() < 2) return;
  const CRect inner = control->ComputeInnerRect(cell, style);
  const BYTE align = static_cast<BYTE>(style.GetHorizontalAlignment() | style.GetVerticalAlignment());

  if (!HasEditWindow(control)) {
    if (HGLOBAL dib = GetDIBPool().GetDIB(text)) {
      CGXDIB::Draw(pDC, dib, &inner, CGXDIB::natural, align);
      return;
    }
  }

  CGXGridCore* grid = control->Grid();
  // Zoomed like the headers and the font the row heights were measured with.
  CFont* oldFont = grid ? grid->SelectStyleFont(pDC, style) : nullptr;
  const CGXProperties* props = grid ? grid->GetProperties() : nullptr;
  const bool blackWhite = grid && props && props->PrintsBlackAndWhite(grid->IsPrinting());
  const COLORREF oldText = pDC->SetTextColor(blackWhite ? RGB(0, 0, 0) : style.GetTextColor());
  const COLORREF oldBack = pDC->SetBkColor(blackWhite ? RGB(255, 255, 255) : style.GetInterior().GetColor());
  const int oldMode = pDC->SetBkMode(TRANSPARENT);
  const UINT format = align | (style.GetWrapText() ? DT_NOPREFIX | DT_WORDBREAK : DT_NOPREFIX | DT_SINGLELINE);
  const UINT oldAlign = pDC->GetTextAlign();
  if (style.HasUserAttribute(kRtlReadingAttribute) &&
      std::atol(style.GetUserAttributeText(kRtlReadingAttribute)) != 0)
    pDC->SetTextAlign(oldAlign | kRtlReading);

  const CGXFont* cellFont = style.GetFontPtr();
  const RECT r = inner;
  if (cellFont && cellFont->GetIncludeOrientation() && cellFont->GetOrientation() % 3600 != 0) {
    DrawRotatedText(pDC, text, text.GetLength(), r.left, r.top, r.right, r.bottom, format, cellFont->GetOrientation(),
                    &r);
  } else if (style.HasUserAttribute(kEllipsisAttribute)) {
    const long type = std::atol(style.GetUserAttributeText(kEllipsisAttribute));
    DrawTextEllipsis(pDC, text, text.GetLength(), r, format, &r, static_cast<UINT>(type < 0 ? 0 : type));
  } else {
    DrawWrappedText(pDC, text, text.GetLength(), r, format, &r);
  }

  pDC->SetTextAlign(oldAlign);
  pDC->SetBkMode(oldMode);
  pDC->SetBkColor(oldBack);
  pDC->SetTextColor(oldText);
  if (oldFont) pDC->SelectObject(oldFont);
}

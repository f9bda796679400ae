// DrawText: formatting text into a rectangle.
//
// Steps: (1) prefix processing ("&x" underlines x, "&&" shows "&") unless DT_NOPREFIX; (2) lines: "\r\n", "\n" or
// "\r" break unless DT_SINGLELINE (which drops them); (3) DT_WORDBREAK breaks a line at the last blank that fits
// and cuts a word longer than the width by characters (at least one per line); (4) DT_END_ELLIPSIS shortens each
// line that does not fit to the longest prefix that fits with "..." appended (DT_MODIFYSTRING writes that text
// back, never past the caller's original length); (5) placement: lines of tmHeight (+ tmExternalLeading with
// DT_EXTERNALLEADING) from the top, DT_VCENTER / DT_BOTTOM only with DT_SINGLELINE, DT_CENTER / DT_RIGHT per line;
// (6) output through ExtTextOut, clipped to the rectangle unless DT_NOCLIP, with the DC's background mode.
// DT_CALCRECT only measures: the right side becomes left + the widest line (kept when word-breaking) and the
// bottom top + the height. Tabs expand to stops every 8 average character widths with DT_EXPANDTABS.
// The return value is the height of the text (with DT_VCENTER or DT_BOTTOM: the offset from the rectangle's top
// to the bottom of the text); DT_RTLREADING is accepted and ignored.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Mnemonic.h"

using namespace plat;

namespace {

struct Line {
  std::string text;
  int underline = -1;  // index into text of the prefixed character, or -1
};

// Widths in logical units from the DC's character widths (an extent is the sum of its advances), with tab
// expansion when asked for; one pass per text.
struct Measure {
  int adv[256];
  bool tabs;
  int tabStep;
  // Every text measured is made of the characters of `text` and the ellipsis' dots: only their range is asked.
  Measure(HDC dc, bool expandTabs, int step, const std::string& text) : tabs(expandTabs), tabStep(step) {
    std::fill(std::begin(adv), std::end(adv), 0);
    unsigned char lo = '.', hi = '.';
    for (char c : text) {
      lo = std::min(lo, static_cast<unsigned char>(c));
      hi = std::max(hi, static_cast<unsigned char>(c));
    }
    if (!GetCharWidth32A(dc, lo, hi, adv + lo)) std::fill(std::begin(adv), std::end(adv), 0);
  }
  // Pen position after `c` when the pen is at `x`.
  int advance(int x, char c) const {
    if (tabs && c == '\t') return (x / tabStep + 1) * tabStep;
    return x + adv[static_cast<unsigned char>(c)];
  }
  int width(const std::string& s) const {
    int x = 0;
    for (char c : s) x = advance(x, c);
    return x;
  }
};

std::vector<std::pair<size_t, size_t>> splitParagraphs(const std::string& s) {
  std::vector<std::pair<size_t, size_t>> out;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') {
      out.emplace_back(start, i);
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  out.emplace_back(start, s.size());
  return out;
}

}  // namespace

namespace plat {

// `capacity` is how many bytes DT_MODIFYSTRING may write at `text`, terminator included.
int drawTextImpl(HDC dc, LPSTR text, int count, size_t capacity, LPRECT rect, UINT format) {
  DeviceContext* d = dcOf(dc);
  if (!d || !rect || (count > 0 && !text)) return 0;
  if (count < 0) count = text ? static_cast<int>(std::strlen(text)) : 0;
  const std::string original(text ? text : "", static_cast<size_t>(count));

  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  const Measure m(dc, (format & DT_EXPANDTABS) != 0, std::max(1, 8 * tm.tmAveCharWidth), original);
  const int width = rect->right - rect->left;

  // (1) prefixes, (2) paragraphs
  MnemonicText prefixed;
  if (!(format & DT_NOPREFIX)) prefixed = ParseMnemonic(original);
  int underline = prefixed.underline;
  const std::string shown = (format & DT_NOPREFIX) ? original : std::move(prefixed.shown);
  std::vector<Line> lines;
  if (format & DT_SINGLELINE) {
    Line l;
    for (size_t i = 0; i < shown.size(); ++i) {
      if (shown[i] == '\r' || shown[i] == '\n') {
        if (underline > static_cast<int>(l.text.size())) --underline;
        continue;
      }
      l.text += shown[i];
    }
    l.underline = underline;
    lines.push_back(l);
  } else {
    for (auto [b, e] : splitParagraphs(shown)) {
      const std::string para = shown.substr(b, e - b);
      const int ul = (underline >= static_cast<int>(b) && underline < static_cast<int>(e)) ? underline - static_cast<int>(b) : -1;
      if (!(format & DT_WORDBREAK) || m.width(para) <= width) {
        lines.push_back(Line{para, ul});
        continue;
      }
      // (3) word breaking
      size_t pos = 0;
      while (pos < para.size()) {
        size_t end = pos;
        size_t lastBlank = std::string::npos;
        int x = 0;
        while (end < para.size()) {
          const int nx = m.advance(x, para[end]);
          if (nx > width) break;
          x = nx;
          if (para[end] == ' ') lastBlank = end;
          ++end;
        }
        size_t cut;
        size_t next;
        if (end >= para.size()) {
          cut = para.size();
          next = para.size();
        } else if (para[end] == ' ') {
          cut = end;
          next = end;
        } else if (lastBlank != std::string::npos) {
          cut = lastBlank;
          next = lastBlank;
        } else {
          cut = std::max(end, pos + 1);  // an over-long word is cut by characters
          next = cut;
        }
        std::string piece = para.substr(pos, cut - pos);
        while (!piece.empty() && piece.back() == ' ') piece.pop_back();
        const int pul = (ul >= static_cast<int>(pos) && ul < static_cast<int>(cut)) ? ul - static_cast<int>(pos) : -1;
        lines.push_back(Line{piece, pul});
        pos = next;
        while (pos < para.size() && para[pos] == ' ') ++pos;
      }
    }
  }

  // (4) end ellipsis
  std::string modified;
  bool shortened = false;
  if (format & DT_END_ELLIPSIS) {
    for (Line& l : lines) {
      if (m.width(l.text) <= width) continue;
      // The longest prefix that fits with the ellipsis after it.
      const int dots = m.width("...");
      size_t keep = 0;
      int x = 0;
      while (keep < l.text.size()) {
        const int nx = m.advance(x, l.text[keep]);
        if (nx + dots > width) break;
        x = nx;
        ++keep;
      }
      l.text = l.text.substr(0, keep) + "...";
      if (l.underline >= static_cast<int>(keep)) l.underline = -1;
      shortened = true;
    }
  }
  if ((format & DT_MODIFYSTRING) && shortened && text && !lines.empty()) {
    modified = lines.front().text;
    for (size_t i = 1; i < lines.size(); ++i) modified += "\r\n" + lines[i].text;
    // Never past the room the caller has: the text is cut rather than written beyond it.
    const size_t n = std::min(modified.size(), capacity - 1);
    std::memcpy(text, modified.data(), n);
    text[n] = '\0';
  }

  const int height = lineHeight * static_cast<int>(lines.size());
  int maxWidth = 0;
  for (const Line& l : lines) maxWidth = std::max(maxWidth, m.width(l.text));
  if (format & DT_CALCRECT) {
    if (!(format & DT_WORDBREAK) || maxWidth > width) rect->right = rect->left + maxWidth;
    rect->bottom = rect->top + height;
    return height;
  }

  // (5) placement, (6) output
  int y = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = rect->bottom - lineHeight;
  }
  const UINT oldAlign = SetTextAlign(dc, (GetTextAlign(dc) & TA_RTLREADING) | TA_LEFT | TA_TOP);
  const UINT clip = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
  for (const Line& l : lines) {
    const int w = m.width(l.text);
    int x = rect->left;
    if (format & DT_CENTER) x = rect->left + (width - w) / 2;
    else if (format & DT_RIGHT) x = rect->right - w;
    if (m.tabs && l.text.find('\t') != std::string::npos) {
      size_t start = 0;
      int px = 0;
      for (size_t i = 0; i <= l.text.size(); ++i) {
        if (i == l.text.size() || l.text[i] == '\t') {
          const std::string part = l.text.substr(start, i - start);
          ExtTextOutA(dc, x + px, y, clip, rect, part.data(), static_cast<UINT>(part.size()), nullptr);
          px += m.width(part);
          if (i < l.text.size()) px = (px / m.tabStep + 1) * m.tabStep;
          start = i + 1;
        }
      }
    } else {
      ExtTextOutA(dc, x, y, clip, rect, l.text.data(), static_cast<UINT>(l.text.size()), nullptr);
    }
    if (l.underline >= 0 && l.underline < static_cast<int>(l.text.size())) {
      // The prefixed character's underline: one pixel below the baseline, under its advance.
      const int ux = x + m.width(l.text.substr(0, static_cast<size_t>(l.underline)));
      const int uw = m.width(l.text.substr(static_cast<size_t>(l.underline), 1));
      RECT u{ux, y + tm.tmAscent + 1, ux + uw, y + tm.tmAscent + 2};
      if (clip) {
        u.left = std::max(u.left, rect->left);
        u.right = std::min(u.right, rect->right);
        u.top = std::max(u.top, rect->top);
        u.bottom = std::min(u.bottom, rect->bottom);
      }
      HBRUSH b = CreateSolidBrush(GetTextColor(dc));
      FillRect(dc, &u, b);
      DeleteObject(b);
    }
    y += lineHeight;
  }
  SetTextAlign(dc, oldAlign);
  // With DT_VCENTER or DT_BOTTOM the classic answer is the offset from the top to the bottom of the text.
  const bool placed = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM));
  return placed ? (y - rect->top) : height;
}

}  // namespace plat

int DrawTextExA(HDC dc, LPSTR text, int count, LPRECT r, UINT format, void*) {
  // The classic call wants count + 4 bytes of room for DT_MODIFYSTRING; this one only relies on the text itself:
  // a NUL-terminated text (count -1) may be rewritten up to its terminator, a counted one within its count.
  size_t capacity = 0;
  if (text) capacity = count < 0 ? std::strlen(text) + 1 : static_cast<size_t>(count);
  if (capacity == 0) format &= ~DT_MODIFYSTRING;
  return plat::drawTextImpl(dc, text, count, capacity, r, format);
}

int DrawTextA(HDC dc, LPCSTR text, int count, LPRECT r, UINT format) {
  // Only DT_MODIFYSTRING writes to the text; callers asking for it pass a writable buffer, as the classic
  // function requires.
  return DrawTextExA(dc, const_cast<LPSTR>(text), count, r, format, nullptr);
}

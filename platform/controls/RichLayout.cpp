#include "platform/controls/RichLayout.h"

#include <algorithm>
#include <cstring>

#include "platform/base/MulDiv.h"
#include "platform/controls/ControlSupport.h"

namespace plat::controls {

// ---- Fonts --------------------------------------------------------------------------------------------

void RichFonts::SetDpi(int dpi) {
  if (dpi == dpi_) return;
  Clear();
  dpi_ = dpi;
}

void RichFonts::Clear() {
  for (auto& [f, font] : fonts_) DeleteObject(font.font);
  fonts_.clear();
}

const RichFont& RichFonts::Of(const RichCharFormat& format) {
  // Formats that differ in colour only share their font.
  RichCharFormat f = format;
  f.autoColor = true;
  f.color = 0;
  auto it = fonts_.find(f);
  if (it != fonts_.end()) return it->second;
  LOGFONT lf{};
  lf.lfHeight = -std::max(1, MulDiv(f.twips, dpi_, 1440));
  lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = f.italic;
  lf.lfUnderline = f.underline;
  lf.lfStrikeOut = f.strike;
  lf.lfCharSet = f.charset;
  lf.lfPitchAndFamily = f.pitchFamily;
  std::strncpy(lf.lfFaceName, f.face.c_str(), sizeof lf.lfFaceName - 1);
  RichFont out;
  out.font = CreateFontIndirect(&lf);
  HDC dc = CreateCompatibleDC(nullptr);
  {
    SelectScope scope(dc, out.font);
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    out.ascent = tm.tmAscent;
    out.height = std::max(1, static_cast<int>(tm.tmHeight));
    INT w[256]{};
    GetCharWidth32(dc, 0, 255, w);
    for (int i = 0; i < 256; ++i) out.widths[static_cast<size_t>(i)] = w[i];
  }
  DeleteDC(dc);
  return fonts_.emplace(f, out).first->second;
}

// ---- Layout -------------------------------------------------------------------------------------------

void RichLayout::Configure(int dpi, int wrapWidth, int viewWidth) {
  view_ = viewWidth;
  if (dpi == fonts_.Dpi() && wrapWidth == wrap_) return;
  fonts_.SetDpi(dpi);
  wrap_ = wrapWidth;
  InvalidateAll();
}

void RichLayout::ParagraphsReplaced(int first, int removed, int added) {
  first = std::clamp(first, 0, static_cast<int>(paras_.size()));
  removed = std::clamp(removed, 0, static_cast<int>(paras_.size()) - first);
  paras_.erase(paras_.begin() + first, paras_.begin() + first + removed);
  paras_.insert(paras_.begin() + first, static_cast<size_t>(std::max(0, added)), Para{});
}

void RichLayout::TextChanged(int para, int from, int removed, int inserted) {
  if (para < 0 || para >= static_cast<int>(paras_.size())) return;
  Para& p = paras_[static_cast<size_t>(para)];
  const bool alone = p.valid && !p.lines.empty();
  p.valid = false;
  p.changeFrom = alone ? from : -1;
  p.changeRemoved = removed;
  p.changeInserted = inserted;
}

void RichLayout::Invalidate(int firstPara, int lastPara) {
  for (int p = std::max(0, firstPara); p <= lastPara && p < static_cast<int>(paras_.size()); ++p) {
    paras_[static_cast<size_t>(p)].valid = false;
    paras_[static_cast<size_t>(p)].changeFrom = -1;
  }
}

void RichLayout::InvalidateAll() { Invalidate(0, static_cast<int>(paras_.size()) - 1); }

void RichLayout::Update(const RichDocument& doc) {
  if (static_cast<int>(paras_.size()) != doc.ParaCount()) paras_.assign(static_cast<size_t>(doc.ParaCount()), Para{});
  for (int p = 0; p < doc.ParaCount(); ++p) {
    Para& para = paras_[static_cast<size_t>(p)];
    const int start = doc.ParaStart(p);
    if (!para.valid) {
      LayoutPara(doc, p);
    } else if (para.start != start) {
      // Text changed before it: the same lines, moved.
      const int delta = start - para.start;
      for (RichLine& line : para.lines) {
        line.start += delta;
        line.end += delta;
        line.next += delta;
      }
      para.start = start;
    }
  }
}

namespace {
// The line of a paragraph that holds pos (a soft-wrapped line's end belongs to the next line).
int LineIn(const std::vector<RichLine>& lines, int pos) {
  if (lines.size() < 2) return 0;
  const auto it = std::upper_bound(lines.begin() + 1, lines.end(), pos,
                                   [](int p, const RichLine& line) { return p < line.start; });
  return static_cast<int>(it - lines.begin()) - 1;
}
}  // namespace

void RichLayout::LayoutPara(const RichDocument& doc, int para) {
  Para& out = paras_[static_cast<size_t>(para)];
  const int begin = doc.ParaStart(para), finish = doc.ParaEnd(para);
  // After one change inside the paragraph, the lines before the change's line stay (with wrapping, the line
  // before it too may take words back), and the old lines come back once a new line starts where an old one
  // did past the change: from the same text on, the same lines.
  std::vector<RichLine> old;
  int from = begin, resyncAfter = -1, delta = 0;
  if (out.changeFrom >= 0 && !out.lines.empty() && out.start == begin) {
    old = std::move(out.lines);
    int l = LineIn(old, out.changeFrom);
    if (wrap_ > 0 && l > 0) --l;
    from = old[static_cast<size_t>(l)].start;
    out.lines.assign(old.begin(), old.begin() + l);
    resyncAfter = out.changeFrom + out.changeInserted;
    delta = out.changeInserted - out.changeRemoved;
  } else {
    out.lines.clear();
  }
  out.changeFrom = -1;
  out.start = begin;
  const std::string& text = doc.Text();
  const auto& runs = doc.Runs();
  auto run = std::upper_bound(runs.begin(), runs.end(), from,
                              [](int p, const RichDocument::Run& r) { return p < r.end; });
  const int tab = std::max(1, Dpi() / 2);  // default tab stops every half inch

  RichLine line{from, from, from, 0, 0, 0};
  int x = 0, maxAscent = 0, maxDescent = 0;
  int afterSpace = -1, widthAtSpace = 0;
  int ascentAtSpace = 0, descentAtSpace = 0;
  bool resynced = false;
  // Returns true once the rest of the lines came back from the old layout.
  auto finishLine = [&](int end, int next, int width) {
    if (maxAscent == 0 && maxDescent == 0) {
      const RichFont& f = fonts_.Of(doc.FormatAt(end));
      maxAscent = f.ascent;
      maxDescent = f.height - f.ascent;
    }
    line.end = end;
    line.next = next;
    line.width = width;
    line.ascent = maxAscent;
    line.height = maxAscent + maxDescent;
    out.lines.push_back(line);
    ++laidOut_;
    line = RichLine{next, next, next, 0, 0, 0};
    x = 0;
    maxAscent = maxDescent = 0;
    afterSpace = -1;
    if (resyncAfter >= 0 && next > resyncAfter) {
      const auto same = std::lower_bound(old.begin(), old.end(), next - delta,
                                         [](const RichLine& l, int p) { return l.start < p; });
      if (same != old.end() && same->start == next - delta) {
        for (auto it = same; it != old.end(); ++it)
          out.lines.push_back(RichLine{it->start + delta, it->end + delta, it->next + delta, it->width, it->height,
                                       it->ascent});
        resynced = true;
      }
    }
    return resynced;
  };
  int lastNonSpaceX = 0;
  for (int i = from; i < finish; ++i) {
    while (run != runs.end() && run->end <= i) ++run;
    const RichFont& f = fonts_.Of(doc.Format(run == runs.end() ? runs.back().format : run->format));
    const auto c = static_cast<unsigned char>(text[static_cast<size_t>(i)]);
    if (c == '\v') {
      maxAscent = std::max(maxAscent, f.ascent);
      maxDescent = std::max(maxDescent, f.height - f.ascent);
      if (finishLine(i, i + 1, lastNonSpaceX)) break;
      lastNonSpaceX = 0;
      continue;
    }
    const int w = c == '\t' ? tab - x % tab : f.widths[c];
    if (c != ' ' && wrap_ > 0 && x + w > wrap_ && i > line.start) {
      if (afterSpace > line.start) {
        // Break after the last spaces; the word after them is laid out again on the next line.
        maxAscent = ascentAtSpace;
        maxDescent = descentAtSpace;
        if (finishLine(afterSpace, afterSpace, widthAtSpace)) break;
        i = line.start - 1;
        run = std::upper_bound(runs.begin(), runs.end(), line.start,
                               [](int p, const RichDocument::Run& r) { return p < r.end; });
        lastNonSpaceX = 0;
        continue;
      }
      if (finishLine(i, i, x)) break;  // a word longer than the line breaks inside
      lastNonSpaceX = 0;
    }
    maxAscent = std::max(maxAscent, f.ascent);
    maxDescent = std::max(maxDescent, f.height - f.ascent);
    x += w;
    if (c == ' ') {
      afterSpace = i + 1;
      widthAtSpace = lastNonSpaceX;
      ascentAtSpace = maxAscent;
      descentAtSpace = maxDescent;
    } else {
      lastNonSpaceX = x;
    }
  }
  if (!resynced) finishLine(finish, finish + 1, lastNonSpaceX);
  out.height = 0;
  for (const RichLine& l : out.lines) out.height += l.height;
  out.valid = true;
}

int RichLayout::Height() const {
  int h = 0;
  for (const Para& p : paras_) h += p.height;
  return h;
}

int RichLayout::Width() const {
  int w = 0;
  for (const Para& p : paras_)
    for (const RichLine& line : p.lines) w = std::max(w, line.width);
  return w;
}

int RichLayout::LineCount() const {
  int n = 0;
  for (const Para& p : paras_) n += static_cast<int>(p.lines.size());
  return n;
}

std::vector<int> RichLayout::LineTops() const {
  std::vector<int> tops;
  int y = 0;
  for (const Para& p : paras_)
    for (const RichLine& line : p.lines) {
      tops.push_back(y);
      y += line.height;
    }
  return tops;
}

int RichLayout::ParaTop(int para) const {
  int y = 0;
  for (int p = 0; p < para && p < static_cast<int>(paras_.size()); ++p) y += paras_[static_cast<size_t>(p)].height;
  return y;
}

int RichLayout::LineFromChar(const RichDocument& doc, int pos) const {
  const int para = doc.ParaOf(std::clamp(pos, 0, doc.Length()));
  int n = 0;
  for (int p = 0; p < para; ++p) n += static_cast<int>(paras_[static_cast<size_t>(p)].lines.size());
  return n + LineIn(paras_[static_cast<size_t>(para)].lines, pos);
}

int RichLayout::AlignOffset(const RichDocument& doc, int para, const RichLine& line) const {
  const int room = (wrap_ > 0 ? wrap_ : view_) - line.width;
  if (room <= 0) return 0;
  switch (doc.ParaFormat(para).alignment) {
    case PFA_CENTER: return room / 2;
    case PFA_RIGHT: return room;
    default: return 0;
  }
}

int RichLayout::Measure(const RichDocument& doc, int lineStart, int pos) {
  const int tab = std::max(1, Dpi() / 2);
  int x = 0;
  for (int i = lineStart; i < pos; ++i) {
    const auto c = static_cast<unsigned char>(doc.Text()[static_cast<size_t>(i)]);
    const RichFont& f = fonts_.Of(doc.FormatAt(i));
    x += c == '\t' ? tab - x % tab : (c == '\r' || c == '\v') ? 0 : f.widths[c];
  }
  return x;
}

void RichLayout::CaretAt(const RichDocument& doc, int pos, int* x, int* y, int* height) {
  pos = std::clamp(pos, 0, doc.Length());
  const int para = doc.ParaOf(pos);
  const auto& lines = paras_[static_cast<size_t>(para)].lines;
  const int l = LineIn(lines, pos);
  int top = ParaTop(para);
  for (int i = 0; i < l; ++i) top += lines[static_cast<size_t>(i)].height;
  const RichLine& line = lines[static_cast<size_t>(l)];
  *x = AlignOffset(doc, para, line) + Measure(doc, line.start, std::min(pos, line.end));
  *y = top;
  *height = line.height;
}

int RichLayout::CharFromPoint(const RichDocument& doc, int x, int y) {
  int top = 0;
  for (int p = 0; p < static_cast<int>(paras_.size()); ++p) {
    const Para& para = paras_[static_cast<size_t>(p)];
    const bool lastPara = p + 1 == static_cast<int>(paras_.size());
    if (y >= top + para.height && !lastPara) {
      top += para.height;
      continue;
    }
    for (size_t l = 0; l < para.lines.size(); ++l) {
      const RichLine& line = para.lines[l];
      if (y >= top + line.height && l + 1 < para.lines.size()) {
        top += line.height;
        continue;
      }
      const int tab = std::max(1, Dpi() / 2);
      int cx = AlignOffset(doc, p, line);
      for (int i = line.start; i < line.end; ++i) {
        const auto c = static_cast<unsigned char>(doc.Text()[static_cast<size_t>(i)]);
        const int w = c == '\t' ? tab - cx % tab : fonts_.Of(doc.FormatAt(i)).widths[c];
        if (x < cx + (w + 1) / 2) return i;
        cx += w;
      }
      // A soft-wrapped line's end is the next line's start; the caret stays before the hanging space.
      if (line.end == line.next && line.end > line.start && l + 1 < para.lines.size()) return line.end - 1;
      return line.end;
    }
  }
  return doc.Length();
}

int RichLayout::LineMove(const RichDocument& doc, int pos, int delta, int x) {
  int cx = 0, cy = 0, h = 0;
  CaretAt(doc, pos, &cx, &cy, &h);
  if (delta < 0) {
    if (cy == 0) return pos;
    return CharFromPoint(doc, x, cy - 1);
  }
  if (cy + h >= Height()) return pos;
  return CharFromPoint(doc, x, cy + h);
}

int RichLayout::LineStartOf(const RichDocument& doc, int pos) const {
  const int para = doc.ParaOf(pos);
  const auto& lines = paras_[static_cast<size_t>(para)].lines;
  return lines[static_cast<size_t>(LineIn(lines, pos))].start;
}

int RichLayout::LineEndOf(const RichDocument& doc, int pos) const {
  const int para = doc.ParaOf(pos);
  const auto& lines = paras_[static_cast<size_t>(para)].lines;
  const RichLine& line = lines[static_cast<size_t>(LineIn(lines, pos))];
  // A soft-wrapped line ends before its hanging space, so End does not jump to the next line.
  if (line.end == line.next && line.end > line.start && doc.Text()[static_cast<size_t>(line.end) - 1] == ' ')
    return line.end - 1;
  return line.end;
}

// ---- Drawing ------------------------------------------------------------------------------------------

void RichLayout::DrawLine(HDC dc, const RichDocument& doc, int para, const RichLine& line, int x0, int y,
                          const RichDrawColors& colors, bool scaled) {
  const std::string& text = doc.Text();
  const int tab = std::max(1, Dpi() / 2);
  const int baseline = y + line.ascent;
  int x = 0;
  int i = line.start;
  (void)para;
  while (i < line.end) {
    const int fmt = doc.FormatIndexAt(i);
    const bool selected = i >= colors.selFrom && i < colors.selTo;
    // A piece: one format, one selection state, no tab.
    int j = i;
    int w = 0;
    const RichFont& f = fonts_.Of(doc.Format(fmt));
    if (text[static_cast<size_t>(i)] == '\t') {
      w = tab - x % tab;
      j = i + 1;
    } else {
      while (j < line.end && text[static_cast<size_t>(j)] != '\t' && doc.FormatIndexAt(j) == fmt &&
             (j >= colors.selFrom && j < colors.selTo) == selected) {
        w += f.widths[static_cast<unsigned char>(text[static_cast<size_t>(j)])];
        ++j;
      }
    }
    const RichCharFormat& cf = doc.Format(fmt);
    if (selected) {
      const RECT r{x0 + x, y, x0 + x + w, y + line.height};
      HBRUSH b = CreateSolidBrush(colors.highlight);
      FillRect(dc, &r, b);
      DeleteObject(b);
    }
    if (text[static_cast<size_t>(i)] != '\t') {
      SelectScope scope(dc, f.font);
      SetTextColor(dc, selected ? colors.highlightText : (cf.autoColor ? colors.text : cf.color));
      if (scaled) {
        // Under a scaling mapping the font's own advances at the scaled size are not the laid-out widths
        // scaled (each is rounded at its own size), so each character goes to its laid-out place.
        int cx = x0 + x;
        for (int k = i; k < j; ++k) {
          TextOut(dc, cx, baseline - f.ascent, text.data() + k, 1);
          cx += f.widths[static_cast<unsigned char>(text[static_cast<size_t>(k)])];
        }
      } else {
        TextOut(dc, x0 + x, baseline - f.ascent, text.data() + i, j - i);
      }
    }
    x += w;
    i = j;
  }
}

void RichLayout::Draw(HDC dc, const RichDocument& doc, int ox, int oy, int top, int bottom,
                      const RichDrawColors& colors) {
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const bool scaled = GetMapMode(dc) != MM_TEXT;
  int y = 0;
  for (int p = 0; p < static_cast<int>(paras_.size()) && y < bottom; ++p) {
    const Para& para = paras_[static_cast<size_t>(p)];
    if (y + para.height <= top) {
      y += para.height;
      continue;
    }
    for (const RichLine& line : para.lines) {
      if (y >= bottom) break;
      if (y + line.height > top) DrawLine(dc, doc, p, line, ox + AlignOffset(doc, p, line), oy + y, colors, scaled);
      y += line.height;
    }
  }
  SetBkMode(dc, oldMode);
}

}  // namespace plat::controls

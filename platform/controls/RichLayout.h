// Lines of a rich document for one resolution and wrap width, and their drawing into any DC.
//
// Each paragraph is laid out on its own and kept until it changes (a paragraph that only moved has its lines
// moved with it), so typing into a long document re-lays one paragraph; typing inside a long paragraph
// re-lays its lines from the one before the change until a line starts where an old one did. Lines break after the last space that fits, inside a word longer than the line, and at line
// breaks ('\v'); a line is as high as its tallest font, and text sits on a common baseline. Fonts are made
// per character format at the layout's resolution (pixels per inch), so the same code lays out for the
// screen, a printer and a measuring pass, and nothing depends on where a window is or whether it is shown.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "platform/controls/RichText.h"
#include "platform/gdi/gdiapi.h"

namespace plat::controls {

struct RichFont {
  HFONT font = nullptr;
  int ascent = 0;
  int height = 0;
  std::array<int, 256> widths{};
};

// Fonts of character formats at one resolution; owns the font handles.
class RichFonts {
 public:
  explicit RichFonts(int dpi = 96) : dpi_(dpi) {}
  ~RichFonts() { Clear(); }
  RichFonts(const RichFonts&) = delete;
  RichFonts& operator=(const RichFonts&) = delete;
  int Dpi() const { return dpi_; }
  void SetDpi(int dpi);
  const RichFont& Of(const RichCharFormat& f);
  void Clear();
  size_t Count() const { return fonts_.size(); }

 private:
  int dpi_;
  std::map<RichCharFormat, RichFont> fonts_;
};

struct RichLine {
  int start = 0;  // first position
  int end = 0;    // after the last character shown (before a break)
  int next = 0;   // where the next line starts
  int width = 0;  // without trailing spaces
  int height = 0;
  int ascent = 0;
};

struct RichDrawColors {
  COLORREF text = 0;  // for "auto" colour
  COLORREF highlight = 0;
  COLORREF highlightText = 0;
  int selFrom = 0, selTo = 0;  // selection drawn highlighted (empty: none)
};

class RichLayout {
 public:
  explicit RichLayout(int dpi = 96) : fonts_(dpi) {}

  // Resolution and wrap width in pixels (<= 0: no wrapping; `viewWidth` still aligns centred and right
  // lines). Changing either lays everything out again.
  void Configure(int dpi, int wrapWidth, int viewWidth);
  int WrapWidth() const { return wrap_; }
  int Dpi() const { return fonts_.Dpi(); }
  RichFonts& Fonts() { return fonts_; }
  // After RichDocument::Replace: `removed` old paragraphs from `first` became `added` new ones.
  void ParagraphsReplaced(int first, int removed, int added);
  // After RichDocument::Replace changed [from, from + removed) into `inserted` characters inside paragraph
  // `para` without adding or removing a break.
  void TextChanged(int para, int from, int removed, int inserted);
  void Invalidate(int firstPara, int lastPara);
  void InvalidateAll();
  // Drops every laid-out line (the fonts stay).
  void ForgetLines() { paras_.clear(); }
  // Lays out the paragraphs not laid out yet.
  void Update(const RichDocument& doc);
  // How many lines laying out has made so far (a measure of its cost).
  long long LinesLaidOut() const { return laidOut_; }

  // ---- Geometry (after Update; y from the top of the document) ---------------------------------------------
  int Height() const;
  // The widest line (without its trailing spaces).
  int Width() const;
  int LineCount() const;
  // The top of every laid-out line, in order (document y).
  std::vector<int> LineTops() const;
  int LineFromChar(const RichDocument& doc, int pos) const;
  const RichLine& Line(int para, int line) const { return paras_[static_cast<size_t>(para)].lines[static_cast<size_t>(line)]; }
  int ParaLineCount(int para) const { return static_cast<int>(paras_[static_cast<size_t>(para)].lines.size()); }
  int ParaTop(int para) const;
  // The caret rectangle's top-left and height for a position.
  void CaretAt(const RichDocument& doc, int pos, int* x, int* y, int* height);
  int CharFromPoint(const RichDocument& doc, int x, int y);
  // The position at horizontal x on the line `delta` lines from the one holding pos.
  int LineMove(const RichDocument& doc, int pos, int delta, int x);
  int LineStartOf(const RichDocument& doc, int pos) const;
  int LineEndOf(const RichDocument& doc, int pos) const;

  // Draws the lines of [top, bottom) (document y) with the document's (0, 0) at (ox, oy); `stopAt` ends the
  // drawing before the line holding that position (-1: none). Returns nothing; colours of "auto" text and
  // of the selection from `colors`.
  void Draw(HDC dc, const RichDocument& doc, int ox, int oy, int top, int bottom, const RichDrawColors& colors);
  int AlignOffset(const RichDocument& doc, int para, const RichLine& line) const;
  int Measure(const RichDocument& doc, int lineStart, int pos);  // x of pos within its line

 private:
  struct Para {
    std::vector<RichLine> lines;
    int height = 0;
    int start = 0;  // the paragraph's start when its lines were laid out
    bool valid = false;
    // One change since the layout, when that is all (changeFrom >= 0): the lines before it still hold.
    int changeFrom = -1, changeRemoved = 0, changeInserted = 0;
  };
  void LayoutPara(const RichDocument& doc, int para);
  // `scaled`: the DC maps logical units to device pixels by a scale (each character is placed on its own).
  void DrawLine(HDC dc, const RichDocument& doc, int para, const RichLine& line, int x0, int y,
                const RichDrawColors& colors, bool scaled);

  RichFonts fonts_;
  int wrap_ = 0;
  int view_ = 0;
  std::vector<Para> paras_;
  long long laidOut_ = 0;
};

}  // namespace plat::controls

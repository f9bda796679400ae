// The text, selection, line layout and undo of an edit control, without windows or pixels.
//
// Positions are byte offsets (code page 1252). Hard line breaks are "\r\n" (multi-line only); when a wrap
// width is set, lines also break softly after the last space that fits, or inside a word longer than the
// line. Character widths come from a 256-entry table, tabs advance to the next multiple of the tab width.
//
// Every change goes through Replace, which records undo and re-lays out only the lines the change touches:
// layout restarts one line before the change and stops as soon as a line start lines up again with an old
// one (shifted by the change's length), so typing into a megabyte of text costs a few lines, not the text.
//
// Measuring keeps the x of every position of the last few long lines it measured (from the line start, so
// tabs stay in phase); a change keeps what lies before it and shifts what lies after it, so typing at the
// end of a line of 100,000 characters measures the new character only, and a click or a caret placed on such
// a line finds its position by a binary search.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace plat::controls {

// Word rules shared by the edit and rich edit controls. Line breaks ("\r\n", or a lone '\r', '\n' or '\v')
// are words of their own; spaces and tabs after a word belong to it when moving right.
int WordLeftIn(std::string_view text, int pos);
int WordRightIn(std::string_view text, int pos);
void WordAtIn(std::string_view text, int pos, int* from, int* to);

// One undo step, shared by the edit and rich edit controls: what [pos, pos + inserted) replaced. Undo swaps the
// two, so undoing twice redoes. Typed characters extend an open typed step while they follow it directly.
template <class Removed>
struct UndoStep {
  bool valid = false;
  int pos = 0;
  int inserted = 0;
  Removed removed{};
  bool typing = false;
  bool Extends(int from, int to) const { return valid && typing && from == to && from == pos + inserted; }
};

struct CharWidths {
  std::array<int, 256> width{};
  int tab = 32;  // tab stops every `tab` pixels
  int Of(unsigned char c, int x) const { return c == '\t' ? (tab > 0 ? tab - x % tab : 0) : width[c]; }
};

class EditModel {
 public:
  explicit EditModel(bool multiline = false) : multiline_(multiline) { starts_.push_back(0); }

  // ---- Text --------------------------------------------------------------------------------------------
  const std::string& Text() const { return text_; }
  int Length() const { return static_cast<int>(text_.size()); }
  // Replaces [from, to) with `with`; selection collapses to the end of the insert. Records undo unless asked
  // not to; typed runs (mergeTyping) extend one undo step.
  enum class UndoMode { Record, MergeTyping, Clear };
  void Replace(int from, int to, std::string_view with, UndoMode undo = UndoMode::Record);
  void SetText(std::string_view text);  // whole text, undo cleared, caret at 0

  // ---- Selection (anchor stays, caret moves) -----------------------------------------------------------
  int Anchor() const { return anchor_; }
  int Caret() const { return caret_; }
  int SelStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
  int SelEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
  bool HasSelection() const { return anchor_ != caret_; }
  void Select(int anchor, int caret);

  // ---- Undo (single level; undoing twice redoes) -------------------------------------------------------
  bool CanUndo() const { return undo_.valid; }
  bool Undo();
  void EmptyUndo() { undo_ = {}; }

  // ---- Lines -------------------------------------------------------------------------------------------
  void SetLayout(const CharWidths* widths, int wrapWidth);  // wrapWidth <= 0: no soft breaks
  int LineCount() const { return static_cast<int>(starts_.size()); }
  int LineStart(int line) const { return starts_[static_cast<size_t>(line)]; }
  // End of the line's visible text (before its "\r\n"; a soft line ends where the next begins).
  int LineEnd(int line) const;
  int LineFromChar(int pos) const;
  int Measure(int from, int to) const;  // width of [from, to) on one line, from the line start's tab phase
  // The position in a line nearest to x pixels from the line start.
  int CharAtX(int line, int x) const;
  // How many character widths measuring and hit-testing have looked up so far (a measure of their cost).
  long long WidthsLookedUp() const { return lookups_; }

  // ---- Words -------------------------------------------------------------------------------------------
  int WordLeft(int pos) const { return WordLeftIn(text_, pos); }
  int WordRight(int pos) const { return WordRightIn(text_, pos); }
  void WordAt(int pos, int* from, int* to) const { WordAtIn(text_, pos, from, to); }

 private:
  void Relayout(int from, int removed, int inserted);
  void LayoutFrom(size_t firstLine, int stopAfter, int delta, const std::vector<int>& old, size_t oldIndex,
                  int known = 0);
  int NextLineStart(int start, int known) const;
  bool IsBreakAt(int pos) const {
    return multiline_ && pos + 1 < Length() && text_[pos] == '\r' && text_[pos + 1] == '\n';
  }

  // The x of every position of a line from `start` on, measured from `start`: xs[k] is the width of
  // [start, start + k). Lines shorter than kCacheFrom are measured afresh each time.
  struct Prefix {
    int start = -1;
    std::vector<int> xs;
    unsigned long long used = 0;  // when last asked for (least recently used goes first)
  };
  static constexpr int kCacheFrom = 256;
  static constexpr size_t kCachedLines = 8;
  // The x of `pos` from `lineStart` (pos on the line starting there).
  int XOf(int lineStart, int pos) const;
  const Prefix& PrefixTo(int lineStart, int pos) const;  // measured at least up to pos
  void PrefixesChanged(int from, int removed, int inserted);

  using UndoRecord = UndoStep<std::string>;

  bool multiline_;
  std::string text_;
  int anchor_ = 0;
  int caret_ = 0;
  UndoRecord undo_;
  std::vector<int> starts_;
  const CharWidths* widths_ = nullptr;
  int wrap_ = 0;
  mutable std::vector<Prefix> prefixes_;
  mutable unsigned long long clock_ = 0;
  mutable long long lookups_ = 0;
};

}  // namespace plat::controls

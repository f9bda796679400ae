// The document of a rich edit control: code page 1252 text in paragraphs, character formats in runs and a
// paragraph format (alignment) per paragraph, without windows or pixels.
//
// Positions: every character is one position, and so is each paragraph break, stored as '\r' (a line break
// inside a paragraph is '\v'). The last paragraph has no break of its own: Length() counts the characters and
// the breaks between paragraphs. Formats live where a word processor keeps them: a character's format in the
// run over it, a paragraph's format at its break (so removing a break merges two paragraphs into the format of
// the one after); the last paragraph's format sits at the document's end.
//
// Every change goes through Replace, which records undo (UndoStep, shared with the edit control) and tells the
// caller which paragraphs changed, so layouts are redone for those only.
#pragma once

#include <compare>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls/EditModel.h"
#include "platform/controls/winctrl.h"

namespace plat::controls {

struct RichCharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  int twips = 200;  // height in twips (1/1440 inch): 10 points
  bool autoColor = true;
  COLORREF color = 0;
  std::string face = "Arial";
  BYTE charset = 0;
  BYTE pitchFamily = 0;
  auto operator<=>(const RichCharFormat&) const = default;
};

struct RichParaFormat {
  WORD alignment = PFA_LEFT;
  auto operator<=>(const RichParaFormat&) const = default;
};

// A piece of formatted text: what the reader produces, a copy produces, and Replace inserts. `runs` are
// (length, format) over the text; `paras` hold the format of each '\r' in the text, in order, plus one for the
// text's last (unterminated) paragraph, which applies only when the piece is a whole document.
struct RichFragment {
  struct Run {
    int length = 0;
    RichCharFormat format;
  };
  std::string text;
  std::vector<Run> runs;
  std::vector<RichParaFormat> paras;

  // Appends text in one format, merging with the last run when equal.
  void Append(std::string_view s, const RichCharFormat& f);
  // Ends the current paragraph with a break in format `f` for the break character.
  void Break(const RichParaFormat& pf, const RichCharFormat& f);
  // Plain text in one format: "\r\n", lone '\r' and lone '\n' become paragraph breaks.
  static RichFragment FromPlain(std::string_view plain, const RichCharFormat& f, const RichParaFormat& pf);
};

class RichDocument {
 public:
  RichDocument();

  // ---- Text --------------------------------------------------------------------------------------------
  const std::string& Text() const { return text_; }
  int Length() const { return static_cast<int>(text_.size()); }
  // The text with paragraph and line breaks as "\r\n" (what plain-text readers get).
  std::string PlainText(int from, int to) const;

  // Replaces [from, to) with `with`. Returns the first paragraph changed; paragraphs from there to
  // `ParaOf(from + with.text.size())` are new. Undo as in the edit control.
  enum class UndoMode { Record, MergeTyping, Clear };
  int Replace(int from, int to, const RichFragment& with, UndoMode undo = UndoMode::Record);
  // The whole document (text, runs, all paragraph formats); undo cleared.
  void Assign(const RichFragment& whole);
  RichFragment Copy(int from, int to) const;
  RichFragment CopyAll() const;

  // ---- Paragraphs --------------------------------------------------------------------------------------
  int ParaCount() const { return static_cast<int>(paraStarts_.size()); }
  int ParaStart(int para) const { return paraStarts_[static_cast<size_t>(para)]; }
  int ParaEnd(int para) const;  // position of its break (or Length() for the last)
  int ParaOf(int pos) const;
  const RichParaFormat& ParaFormat(int para) const { return paras_[static_cast<size_t>(para)]; }
  void SetParaFormat(int para, const RichParaFormat& pf) { paras_[static_cast<size_t>(para)] = pf; }

  // ---- Character formats -------------------------------------------------------------------------------
  // Runs as (end position, format index); the last run ends at Length() + 1 (the end mark).
  struct Run {
    int end;
    int format;
  };
  const std::vector<Run>& Runs() const { return runs_; }
  const RichCharFormat& Format(int index) const { return formats_[static_cast<size_t>(index)]; }
  int FormatCount() const { return static_cast<int>(formats_.size()); }
  int FormatIndexAt(int pos) const;  // the format of the character at pos (the end mark at Length())
  const RichCharFormat& FormatAt(int pos) const { return Format(FormatIndexAt(pos)); }
  // Calls `change` on the format of every character in [from, to), merging runs afterwards.
  template <class F>
  void ChangeFormats(int from, int to, F&& change);

  // ---- Undo and words ----------------------------------------------------------------------------------
  bool CanUndo() const { return undo_.valid; }
  // Undoes the last change; returns the range now holding what was restored.
  bool Undo(int* from, int* to);
  void EmptyUndo() { undo_ = {}; }
  int WordLeft(int pos) const { return WordLeftIn(text_, pos); }
  int WordRight(int pos) const { return WordRightIn(text_, pos); }
  void WordAt(int pos, int* from, int* to) const { WordAtIn(text_, pos, from, to); }

 private:
  int Intern(const RichCharFormat& f);
  void SplitRunAt(int pos);  // makes a run boundary at pos
  void MergeRuns();
  void RebuildParaStarts(int fromPara);

  std::string text_;
  std::vector<Run> runs_;
  std::vector<RichCharFormat> formats_;
  std::map<RichCharFormat, int> formatIndex_;
  std::vector<int> paraStarts_;
  std::vector<RichParaFormat> paras_;
  UndoStep<RichFragment> undo_;
};

template <class F>
void RichDocument::ChangeFormats(int from, int to, F&& change) {
  if (from >= to) return;
  SplitRunAt(from);
  SplitRunAt(to);
  int start = 0;
  for (Run& r : runs_) {
    if (start >= from && r.end <= to) {
      RichCharFormat f = formats_[static_cast<size_t>(r.format)];
      change(f);
      r.format = Intern(f);
    }
    start = r.end;
  }
  MergeRuns();
}

}  // namespace plat::controls

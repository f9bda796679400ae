#include "platform/controls/EditModel.h"

#include <algorithm>

namespace plat::controls {

namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v'; }
bool IsBreak(char c) { return c == '\r' || c == '\n' || c == '\v'; }
}  // namespace

void EditModel::Replace(int from, int to, std::string_view with, UndoMode undo) {
  from = std::clamp(from, 0, Length());
  to = std::clamp(to, from, Length());
  const int inserted = static_cast<int>(with.size());
  switch (undo) {
    case UndoMode::Clear: undo_ = {}; break;
    case UndoMode::MergeTyping:
      if (undo_.Extends(from, to)) {
        undo_.inserted += inserted;
        break;
      }
      undo_ = {true, from, inserted, text_.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)), true};
      break;
    case UndoMode::Record:
      undo_ = {true, from, inserted, text_.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)), false};
      break;
  }
  text_.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), with);
  anchor_ = caret_ = from + inserted;
  Relayout(from, to - from, inserted);
}

void EditModel::SetText(std::string_view text) {
  text_.assign(text);
  undo_ = {};
  anchor_ = caret_ = 0;
  starts_.assign(1, 0);
  LayoutFrom(0, -1, 0, {}, 0);
}

void EditModel::Select(int anchor, int caret) {
  auto fix = [this](int p) {
    p = std::clamp(p, 0, Length());
    // Never between the two bytes of a line break.
    if (multiline_ && p > 0 && p < Length() && text_[p] == '\n' && text_[p - 1] == '\r') --p;
    return p;
  };
  anchor_ = fix(anchor);
  caret_ = fix(caret);
}

bool EditModel::Undo() {
  if (!undo_.valid) return false;
  const UndoRecord r = undo_;
  std::string current = text_.substr(static_cast<size_t>(r.pos), static_cast<size_t>(r.inserted));
  Replace(r.pos, r.pos + r.inserted, r.removed, UndoMode::Clear);
  undo_ = {true, r.pos, static_cast<int>(r.removed.size()), std::move(current), false};
  Select(r.pos, r.pos + static_cast<int>(r.removed.size()));
  return true;
}

// ---- Layout -------------------------------------------------------------------------------------------

void EditModel::SetLayout(const CharWidths* widths, int wrapWidth) {
  widths_ = widths;
  wrap_ = multiline_ && widths ? wrapWidth : 0;
  starts_.assign(1, 0);
  LayoutFrom(0, -1, 0, {}, 0);
}

// The start of the line after the one starting at `start`, or -1 when that line is the last.
int EditModel::NextLineStart(int start) const {
  const int n = Length();
  if (wrap_ <= 0) {
    if (!multiline_) return -1;
    const size_t at = text_.find("\r\n", static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at) + 2;
  }
  int x = 0;
  int afterSpace = -1;  // position after the last space run seen on this line
  for (int i = start; i < n; ++i) {
    if (IsBreakAt(i)) return i + 2;
    const auto c = static_cast<unsigned char>(text_[static_cast<size_t>(i)]);
    const int w = widths_->Of(c, x);
    if (c == ' ') {
      // Spaces may hang past the edge; the line breaks after them.
      x += w;
      afterSpace = i + 1;
      continue;
    }
    if (x + w > wrap_ && i > start) {
      if (afterSpace > start) return afterSpace;
      return i;  // a word longer than the line breaks inside
    }
    x += w;
  }
  return -1;
}

void EditModel::LayoutFrom(size_t firstLine, int stopAfter, int delta, const std::vector<int>& old, size_t oldIndex) {
  starts_.resize(firstLine + 1);
  int s = starts_.back();
  for (;;) {
    const int next = NextLineStart(s);
    if (next < 0) return;
    if (stopAfter >= 0 && next > stopAfter) {
      // Resynchronise with the old layout: the same start, shifted, means the same lines from here on.
      auto it = std::lower_bound(old.begin() + static_cast<std::ptrdiff_t>(oldIndex), old.end(), next - delta);
      if (it != old.end() && *it == next - delta) {
        starts_.reserve(starts_.size() + static_cast<size_t>(old.end() - it));
        for (; it != old.end(); ++it) starts_.push_back(*it + delta);
        return;
      }
    }
    starts_.push_back(next);
    s = next;
  }
}

void EditModel::Relayout(int from, int removed, int inserted) {
  if (!multiline_) return;  // one line, always starting at 0
  // The line holding the change; with soft breaks the line before may take words back.
  int line = 0;
  {
    auto it = std::upper_bound(starts_.begin(), starts_.end(), from);
    line = static_cast<int>(it - starts_.begin()) - 1;
  }
  if (wrap_ > 0 && line > 0) --line;
  // Also step back over a line that began inside a removed "\r\n" pair.
  if (line > 0 && starts_[static_cast<size_t>(line)] > from) --line;
  const std::vector<int> old = std::move(starts_);
  starts_.assign(old.begin(), old.begin() + line + 1);
  const int oldEnd = from + removed;
  const size_t oldIndex = static_cast<size_t>(std::upper_bound(old.begin(), old.end(), oldEnd) - old.begin());
  LayoutFrom(static_cast<size_t>(line), from + inserted, inserted - removed, old, oldIndex);
}

int EditModel::LineEnd(int line) const {
  if (line + 1 >= LineCount()) return Length();
  const int next = starts_[static_cast<size_t>(line) + 1];
  if (next >= 2 && IsBreakAt(next - 2)) return next - 2;
  return next;
}

int EditModel::LineFromChar(int pos) const {
  pos = std::clamp(pos, 0, Length());
  auto it = std::upper_bound(starts_.begin(), starts_.end(), pos);
  return static_cast<int>(it - starts_.begin()) - 1;
}

int EditModel::Measure(int from, int to) const {
  if (!widths_ || to <= from) return 0;
  const int start = LineStart(LineFromChar(from));
  int x = 0, result = 0;
  for (int i = start; i < to; ++i) {
    if (i == from) result = -x;
    x += widths_->Of(static_cast<unsigned char>(text_[static_cast<size_t>(i)]), x);
  }
  return result + x;
}

int EditModel::CharAtX(int line, int x) const {
  const int start = LineStart(line), end = LineEnd(line);
  if (!widths_) return start;
  int cx = 0;
  for (int i = start; i < end; ++i) {
    const int w = widths_->Of(static_cast<unsigned char>(text_[static_cast<size_t>(i)]), cx);
    if (x < cx + (w + 1) / 2) return i;
    cx += w;
  }
  // A soft-wrapped line's end is the next line's start; the caret stays before the hanging space.
  if (end < Length() && line + 1 < LineCount() && end == LineStart(line + 1) && end > start) return end - 1;
  return end;
}

// ---- Words --------------------------------------------------------------------------------------------

int WordLeftIn(std::string_view text, int pos) {
  pos = std::clamp(pos, 0, static_cast<int>(text.size()));
  while (pos > 0 && IsSpace(text[static_cast<size_t>(pos) - 1])) --pos;
  while (pos > 0 && !IsSpace(text[static_cast<size_t>(pos) - 1])) --pos;
  return pos;
}

int WordRightIn(std::string_view text, int pos) {
  const int n = static_cast<int>(text.size());
  pos = std::clamp(pos, 0, n);
  if (pos < n && IsBreak(text[static_cast<size_t>(pos)])) {
    return pos + (text[static_cast<size_t>(pos)] == '\r' && pos + 1 < n && text[static_cast<size_t>(pos) + 1] == '\n' ? 2 : 1);
  }
  while (pos < n && !IsSpace(text[static_cast<size_t>(pos)])) ++pos;
  while (pos < n && (text[static_cast<size_t>(pos)] == ' ' || text[static_cast<size_t>(pos)] == '\t')) ++pos;
  return pos;
}

void WordAtIn(std::string_view text, int pos, int* from, int* to) {
  const int n = static_cast<int>(text.size());
  pos = std::clamp(pos, 0, n);
  int a = pos, b = pos;
  const bool space = pos < n && IsSpace(text[static_cast<size_t>(pos)]);
  auto same = [&](int i) {
    const char c = text[static_cast<size_t>(i)];
    return IsSpace(c) == space && !IsBreak(c);
  };
  while (a > 0 && same(a - 1)) --a;
  while (b < n && same(b)) ++b;
  *from = a;
  *to = b;
}

}  // namespace plat::controls

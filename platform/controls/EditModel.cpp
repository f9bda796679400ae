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
  PrefixesChanged(from, to - from, inserted);
  Relayout(from, to - from, inserted);
}

void EditModel::SetText(std::string_view text) {
  text_.assign(text);
  undo_ = {};
  anchor_ = caret_ = 0;
  prefixes_.clear();
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
  prefixes_.clear();
  starts_.assign(1, 0);
  LayoutFrom(0, -1, 0, {}, 0);
}

// The start of the line after the one starting at `start`, or -1 when that line is the last. Without soft
// breaks, a line break is looked for from `known` on: the caller knows [start, known) holds none.
int EditModel::NextLineStart(int start, int known) const {
  const int n = Length();
  if (wrap_ <= 0) {
    if (!multiline_) return -1;
    const size_t at = text_.find("\r\n", static_cast<size_t>(std::max(start, known)));
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

void EditModel::LayoutFrom(size_t firstLine, int stopAfter, int delta, const std::vector<int>& old, size_t oldIndex,
                           int known) {
  starts_.resize(firstLine + 1);
  int s = starts_.back();
  for (;;) {
    const int next = NextLineStart(s, known);
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
  // The unchanged text before the change holds no line break of the first line laid out: one ending there
  // would have started a line at or before `from`. A '\r' just before the change may pair with a new '\n'.
  LayoutFrom(static_cast<size_t>(line), from + inserted, inserted - removed, old, oldIndex, from - 1);
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

// ---- Measuring ----------------------------------------------------------------------------------------

void EditModel::PrefixesChanged(int from, int removed, int inserted) {
  const int oldEnd = from + removed;
  for (size_t i = 0; i < prefixes_.size();) {
    Prefix& p = prefixes_[i];
    if (p.start <= from) {
      // Positions up to the change keep their x.
      if (static_cast<int>(p.xs.size()) > from - p.start + 1) p.xs.resize(static_cast<size_t>(from - p.start) + 1);
    } else if (p.start >= oldEnd) {
      p.start += inserted - removed;  // the same text from there on, moved
    } else {
      prefixes_.erase(prefixes_.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    ++i;
  }
}

const EditModel::Prefix& EditModel::PrefixTo(int lineStart, int pos) const {
  Prefix* slot = nullptr;
  for (Prefix& p : prefixes_)
    if (p.start == lineStart) slot = &p;
  if (!slot) {
    if (prefixes_.size() < kCachedLines) {
      slot = &prefixes_.emplace_back();
    } else {
      slot = &*std::min_element(prefixes_.begin(), prefixes_.end(),
                                [](const Prefix& a, const Prefix& b) { return a.used < b.used; });
    }
    slot->start = lineStart;
    slot->xs.assign(1, 0);
  }
  slot->used = ++clock_;
  int x = slot->xs.back();
  for (int i = lineStart + static_cast<int>(slot->xs.size()) - 1; i < pos; ++i) {
    x += widths_->Of(static_cast<unsigned char>(text_[static_cast<size_t>(i)]), x);
    slot->xs.push_back(x);
    ++lookups_;
  }
  return *slot;
}

int EditModel::XOf(int lineStart, int pos) const {
  if (pos <= lineStart) return 0;
  for (const Prefix& p : prefixes_)
    if (p.start == lineStart && pos - lineStart < static_cast<int>(p.xs.size())) return p.xs[static_cast<size_t>(pos - lineStart)];
  if (pos - lineStart < kCacheFrom) {
    int x = 0;
    for (int i = lineStart; i < pos; ++i) x += widths_->Of(static_cast<unsigned char>(text_[static_cast<size_t>(i)]), x);
    lookups_ += pos - lineStart;
    return x;
  }
  return PrefixTo(lineStart, pos).xs[static_cast<size_t>(pos - lineStart)];
}

int EditModel::Measure(int from, int to) const {
  to = std::min(to, Length());
  if (!widths_ || to <= from) return 0;
  const int start = LineStart(LineFromChar(from));
  return XOf(start, to) - XOf(start, from);
}

int EditModel::CharAtX(int line, int x) const {
  const int start = LineStart(line), end = LineEnd(line);
  if (!widths_) return start;
  if (end - start < kCacheFrom) {
    int cx = 0;
    for (int i = start; i < end; ++i) {
      const int w = widths_->Of(static_cast<unsigned char>(text_[static_cast<size_t>(i)]), cx);
      ++lookups_;
      if (x < cx + (w + 1) / 2) return i;
      cx += w;
    }
  } else {
    // The first character whose middle lies right of x; the middles grow along the line.
    const std::vector<int>& xs = PrefixTo(start, end).xs;
    int lo = 0, hi = end - start;
    while (lo < hi) {
      const int k = lo + (hi - lo) / 2;
      const int left = xs[static_cast<size_t>(k)], w = xs[static_cast<size_t>(k) + 1] - left;
      if (x < left + (w + 1) / 2)
        hi = k;
      else
        lo = k + 1;
    }
    if (lo < end - start) return start + lo;
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

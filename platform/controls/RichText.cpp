#include "platform/controls/RichText.h"

#include <algorithm>

namespace plat::controls {

// ---- Fragments ----------------------------------------------------------------------------------------

void RichFragment::Append(std::string_view s, const RichCharFormat& f) {
  if (s.empty()) return;
  text.append(s);
  if (!runs.empty() && runs.back().format == f)
    runs.back().length += static_cast<int>(s.size());
  else
    runs.push_back({static_cast<int>(s.size()), f});
}

void RichFragment::Break(const RichParaFormat& pf, const RichCharFormat& f) {
  Append("\r", f);
  paras.push_back(pf);
}

RichFragment RichFragment::FromPlain(std::string_view plain, const RichCharFormat& f, const RichParaFormat& pf) {
  RichFragment out;
  size_t i = 0;
  while (i < plain.size()) {
    const size_t j = plain.find_first_of(std::string_view("\r\n\0", 3), i);
    if (j == std::string_view::npos) {
      out.Append(plain.substr(i), f);
      break;
    }
    out.Append(plain.substr(i, j - i), f);
    if (plain[j] == '\0') {  // NUL ends no paragraph and is no text
      i = j + 1;
      continue;
    }
    out.Break(pf, f);
    i = j + ((plain[j] == '\r' && j + 1 < plain.size() && plain[j + 1] == '\n') ? 2 : 1);
  }
  out.paras.push_back(pf);
  return out;
}

// ---- Document -----------------------------------------------------------------------------------------

RichDocument::RichDocument() {
  runs_.push_back({1, Intern(RichCharFormat{})});
  paraStarts_.push_back(0);
  paras_.push_back({});
}

int RichDocument::Intern(const RichCharFormat& f) {
  auto [it, fresh] = formatIndex_.try_emplace(f, static_cast<int>(formats_.size()));
  if (fresh) formats_.push_back(f);
  return it->second;
}

int RichDocument::ParaEnd(int para) const {
  return para + 1 < ParaCount() ? paraStarts_[static_cast<size_t>(para) + 1] - 1 : Length();
}

int RichDocument::ParaOf(int pos) const {
  auto it = std::upper_bound(paraStarts_.begin(), paraStarts_.end(), pos);
  return std::max(0, static_cast<int>(it - paraStarts_.begin()) - 1);
}

int RichDocument::FormatIndexAt(int pos) const {
  auto it = std::upper_bound(runs_.begin(), runs_.end(), pos, [](int p, const Run& r) { return p < r.end; });
  return it == runs_.end() ? runs_.back().format : it->format;
}

void RichDocument::SplitRunAt(int pos) {
  auto it = std::upper_bound(runs_.begin(), runs_.end(), pos, [](int p, const Run& r) { return p < r.end; });
  if (it == runs_.end()) return;
  const int start = it == runs_.begin() ? 0 : std::prev(it)->end;
  if (pos > start) runs_.insert(it, Run{pos, it->format});
}

void RichDocument::MergeRuns() {
  std::vector<Run> merged;
  merged.reserve(runs_.size());
  for (const Run& r : runs_) {
    if (!merged.empty() && (merged.back().format == r.format || merged.back().end == r.end))
      merged.back().end = r.end;
    else if (merged.empty() || r.end > merged.back().end)
      merged.push_back(r);
  }
  runs_ = std::move(merged);
}

void RichDocument::RebuildParaStarts(int fromPara) {
  paraStarts_.resize(static_cast<size_t>(fromPara) + 1);
  for (size_t at = text_.find('\r', static_cast<size_t>(paraStarts_.back())); at != std::string::npos;
       at = text_.find('\r', at + 1))
    paraStarts_.push_back(static_cast<int>(at) + 1);
}

std::string RichDocument::PlainText(int from, int to) const {
  from = std::clamp(from, 0, Length());
  to = std::clamp(to, from, Length());
  std::string out;
  out.reserve(static_cast<size_t>(to - from));
  for (int i = from; i < to; ++i) {
    const char c = text_[static_cast<size_t>(i)];
    if (c == '\r' || c == '\v')
      out += "\r\n";
    else
      out += c;
  }
  return out;
}

RichFragment RichDocument::Copy(int from, int to) const {
  from = std::clamp(from, 0, Length());
  to = std::clamp(to, from, Length());
  RichFragment out;
  int pos = from;
  auto it = std::upper_bound(runs_.begin(), runs_.end(), from, [](int p, const Run& r) { return p < r.end; });
  while (pos < to && it != runs_.end()) {
    const int end = std::min(it->end, to);
    out.Append(std::string_view(text_).substr(static_cast<size_t>(pos), static_cast<size_t>(end - pos)),
               formats_[static_cast<size_t>(it->format)]);
    pos = end;
    ++it;
  }
  for (int p = ParaOf(from), last = ParaOf(to); p <= last; ++p) out.paras.push_back(paras_[static_cast<size_t>(p)]);
  return out;
}

RichFragment RichDocument::CopyAll() const { return Copy(0, Length()); }

void RichDocument::Assign(const RichFragment& whole) {
  text_.clear();
  runs_.clear();
  paraStarts_.assign(1, 0);
  paras_.assign(1, whole.paras.empty() ? RichParaFormat{} : whole.paras.back());
  undo_ = {};
  const RichCharFormat endMark = whole.runs.empty() ? RichCharFormat{} : whole.runs.back().format;
  runs_.push_back({1, Intern(endMark)});
  Replace(0, 0, whole, UndoMode::Clear);  // the break formats come with the text, the last one stays
}

int RichDocument::Replace(int from, int to, const RichFragment& with, UndoMode undo) {
  from = std::clamp(from, 0, Length());
  to = std::clamp(to, from, Length());
  const int inserted = static_cast<int>(with.text.size());
  switch (undo) {
    case UndoMode::Clear: undo_ = {}; break;
    case UndoMode::MergeTyping:
      if (undo_.Extends(from, to)) {
        undo_.inserted += inserted;
        break;
      }
      undo_ = {true, from, inserted, Copy(from, to), true};
      break;
    case UndoMode::Record: undo_ = {true, from, inserted, Copy(from, to), false}; break;
  }
  const int pa = ParaOf(from), pb = ParaOf(to);

  // Paragraph formats: the breaks inside [from, to) go, the fragment's breaks come.
  const RichParaFormat survivor = paras_[static_cast<size_t>(pb)];
  std::vector<RichParaFormat> fresh;
  for (size_t i = 0, k = 0; i < with.text.size(); ++i)
    if (with.text[i] == '\r') fresh.push_back(k < with.paras.size() ? with.paras[k++] : survivor);
  paras_.erase(paras_.begin() + pa, paras_.begin() + pb);
  paras_.insert(paras_.begin() + pa, fresh.begin(), fresh.end());

  // Runs: cut [from, to) out, shift what follows, put the fragment's runs in between.
  SplitRunAt(from);
  SplitRunAt(to);
  const int delta = inserted - (to - from);
  const int fill = FormatIndexAt(from);
  std::vector<Run> next;
  next.reserve(runs_.size() + with.runs.size());
  for (const Run& r : runs_)
    if (r.end <= from) next.push_back(r);
  int pos = from, covered = 0;
  for (const auto& r : with.runs) {
    const int len = std::clamp(r.length, 0, inserted - covered);
    if (len == 0) continue;
    covered += len;
    pos += len;
    next.push_back({pos, Intern(r.format)});
  }
  if (covered < inserted) next.push_back({from + inserted, fill});  // runs shorter than the text
  for (const Run& r : runs_)
    if (r.end > to) next.push_back({r.end + delta, r.format});
  runs_ = std::move(next);

  text_.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), with.text);
  RebuildParaStarts(pa);
  MergeRuns();
  return pa;
}

bool RichDocument::Undo(int* from, int* to) {
  if (!undo_.valid) return false;
  UndoStep<RichFragment> step = std::move(undo_);
  RichFragment current = Copy(step.pos, step.pos + step.inserted);
  Replace(step.pos, step.pos + step.inserted, step.removed, UndoMode::Clear);
  const int restored = static_cast<int>(step.removed.text.size());
  undo_ = {true, step.pos, restored, std::move(current), false};
  *from = step.pos;
  *to = step.pos + restored;
  return true;
}

}  // namespace plat::controls

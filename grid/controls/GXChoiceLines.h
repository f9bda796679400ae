// The lines of a choice list, read in the list's text where they lie. A list is separated into lines by CR, LF or
// CR LF (an empty last line is no line). A text names the first line equal to it without regard to case, else
// (unless exact) the first line beginning with it; it is compared up to its first NUL, and one holding a NUL begins
// no line.
//
// A list of kIndexedLines lines or more is looked up through an index made once and kept with the list's shared
// text (CGXChoiceListText): the places of its lines in the text and their order without regard to case, compared
// in the text itself, so that the index of a list of some 32 lines or more costs less than its list. The lists of
// one text share one index. A shorter list is walked: a walk of a few lines costs less than a search, and the list
// costs nothing more to keep.
#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <string_view>

class CGXChoiceListText;
struct CGXChoiceListIndex;

class GXChoiceLines {
 public:
  // Lists of this many lines or more are indexed: where a search of an index and a walk cost alike
  // (choicelines_bench). A walk costs a comparison a line, a search one a halving, so a longer list walked looks a
  // text up slower than a list indexed (31 lines walked took 2.5 to 4 times a search, choicelookup_bench). An
  // index of fewer than some 32 lines takes more memory than its text (up to about 1.6 times at 8 lines), and a
  // list of fewer lines than this keeps nothing.
  static constexpr size_t kIndexedLines = 8;

  // The lines of `list`, with the index it keeps when it is long enough (made at the first call); no lines for
  // no list.
  static GXChoiceLines Of(const std::shared_ptr<const CGXChoiceListText>& list);
  // The lines of `text`, walked, or looked up through `index` when given (an index of the same text).
  explicit GXChoiceLines(std::string_view text, const CGXChoiceListIndex* index = nullptr)
      : m_text(text), m_index(index) {}
  // An index of `text` of its own, kept by no list (a text of 4 GB or more has none: it is walked).
  static std::shared_ptr<const CGXChoiceListIndex> MakeIndex(std::string_view text);

  size_t Count() const;
  // The line at `n`, in `out`; false (and `out` empty) past the lines.
  bool Line(size_t n, std::string_view& out) const;
  // The position of the line `text` names (see above), or -1; the line in `found` when given (empty for none).
  int Find(std::string_view text, bool exact, std::string_view* found = nullptr) const;
  // The index looked up in, null when the lines are walked.
  const CGXChoiceListIndex* Index() const { return m_index; }

  // The lines in list order.
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::string_view*;
    using reference = const std::string_view&;
    Iterator() = default;
    Iterator(std::string_view text, size_t at) : m_text(text), m_at(at) { Read(); }
    reference operator*() const { return m_line; }
    Iterator& operator++() {
      m_at = m_next;
      Read();
      return *this;
    }
    Iterator operator++(int) {
      Iterator was = *this;
      ++*this;
      return was;
    }
    bool operator==(const Iterator& other) const { return m_at == other.m_at; }

   private:
    void Read();  // the line at m_at and the start of the next one (m_at is the text's size past the last)
    std::string_view m_text, m_line;
    size_t m_at = 0, m_next = 0;
  };
  Iterator begin() const { return Iterator(m_text, 0); }
  Iterator end() const { return Iterator(m_text, m_text.size()); }

 private:
  std::string_view m_text;
  const CGXChoiceListIndex* m_index;
};

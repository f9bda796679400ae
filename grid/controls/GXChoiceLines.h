// The lines of a choice list, read in the list's text where they lie. A list is separated into lines by CR, LF or
// CR LF (an empty last line is no line). A text names the first line equal to it without regard to case, else
// (unless exact) the first line beginning with it; it is compared up to its first NUL, and one holding a NUL begins
// no line.
//
// A list of kIndexedLines lines or more, once asked for more than kWalksBeforeIndex times, is looked up through an
// index made then and kept with the list's shared text (CGXChoiceListText): the places of its lines in the text,
// their order without regard to case and a copy of the text folded to lower case, searched eight bytes at a time.
// The lists of one text share one index. A shorter list, or one met a few times, is walked: a walk of a few lines
// costs no more than a search, and a list walked keeps nothing.
#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <string_view>

class CGXChoiceListText;
struct CGXChoiceListIndex;

class GXChoiceLines {
 public:
  // Lists of this many lines or more are indexed: where a search of an index and a walk cost alike (at 3 lines a
  // walk and a search take the same instructions, choicelookup_bench). A walk costs a comparison a line, a search
  // one a halving.
  static constexpr size_t kIndexedLines = 3;
  // A list is walked this many times before it is indexed: a list met once or a few times (a paste into cells
  // with lists of their own) costs no index, and one looked up often soon has its index.
  static constexpr unsigned kWalksBeforeIndex = 8;

  // The lines of `list`, with the index it keeps when it is long enough and has been asked for often enough
  // (made then); no lines for no list.
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

#include "grid/controls/GXChoiceLines.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>
#include <span>
#include <unordered_map>
#include <vector>

#include "grid/core/CGXChoiceListText.h"
#include "platform/base/CodePage.h"

namespace {

// The end of a line from `from` on: its first CR or LF, or the text's `end`; and the start of the line after a
// line's end (a CR LF ends a line as one). A walk spends most of its time here: eight characters are tried at a
// time while eight remain. XOR with CR (LF) zeroes the bytes equal to it; (w - 0x01..) & ~w sets the high bit of
// every zero byte and, through the borrow, possibly of bytes above one, so the lowest flagged byte is the first.
// With kNul, a NUL stops it too (as a text looked up is read, Compared).
template <bool kNul = false>
const char* LineEnd(const char* from, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    constexpr uint64_t kCRs = kOnes * '\r', kLFs = kOnes * '\n';
    for (; end - from >= 8; from += 8) {
      uint64_t word;
      std::memcpy(&word, from, sizeof word);
      const uint64_t cr = word ^ kCRs, lf = word ^ kLFs;
      uint64_t ends = ((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf);
      if constexpr (kNul) ends |= (word - kOnes) & ~word;
      ends &= kHighs;
      if (ends) return from + std::countr_zero(ends) / 8;
    }
  }
  while (from != end && *from != '\r' && *from != '\n' && (!kNul || *from != '\0')) ++from;
  return from;
}
const char* NextLine(const char* lineEnd, const char* end) {
  if (lineEnd == end) return end;
  return lineEnd + (*lineEnd == '\r' && lineEnd + 1 != end && lineEnd[1] == '\n' ? 2 : 1);
}
bool LineEnds(const char* p, const char* end) { return p == end || *p == '\r' || *p == '\n'; }

// The code page's lower case of each character, read once: compared without regard to case, a character is its
// lower case. Whether it folds ASCII as AsciiSmall does is read with it.
struct FoldTable : std::array<unsigned char, 256> {
  bool asciiPlain = false;
};
const FoldTable& Folds() {
  static const FoldTable folds = [] {
    FoldTable made{};
    for (size_t c = 0; c < made.size(); ++c) made[c] = plat::ToLower1252(static_cast<unsigned char>(c));
    made.asciiPlain = true;
    for (unsigned c = 0; c < 0x80; ++c)
      if (made[c] != (c >= 'A' && c <= 'Z' ? c + 0x20 : c)) made.asciiPlain = false;
    return made;
  }();
  return folds;
}

// Eight characters at a time, the ASCII capitals made small and every other byte left as it is: the high bit of
// (c & 0x7F) + (0x80 - 'A') is set from 'A' on, that of (c & 0x7F) + (0x80 - 'Z' - 1) past 'Z' (no sum carries
// into the next byte), and a byte of 0x80 or more is no ASCII capital. Two such words equal byte for byte are
// alike without regard to case wherever the code page folds ASCII so (FoldTable::asciiPlain).
uint64_t AsciiSmall(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  const uint64_t low = word & ~kHighs;
  const uint64_t fromA = low + kOnes * (0x80 - 'A'), pastZ = low + kOnes * (0x80 - 'Z' - 1);
  return word | ((fromA & ~pastZ & ~word & kHighs) >> 2);
}

// How many characters the line at `p` and `key` (which holds no CR or LF) begin with alike without regard to
// case: the line's end agrees with no character of the key. Of eight characters or more, eight are compared at a
// time, the last eight of the n compared overlapping those before (which are alike), to the first byte that
// differs; the characters from it on one by one.
inline size_t Agreeing(const char* p, const char* end, std::string_view key, const FoldTable& folds) {
  const size_t n = std::min(key.size(), static_cast<size_t>(end - p));
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    if (n >= 8 && folds.asciiPlain) {
      for (;;) {
        const size_t at = std::min(i, n - 8);
        uint64_t a, b;
        std::memcpy(&a, p + at, sizeof a);
        std::memcpy(&b, key.data() + at, sizeof b);
        const uint64_t differ = a == b ? 0 : AsciiSmall(a) ^ AsciiSmall(b);
        if (differ) {
          i = at + static_cast<size_t>(std::countr_zero(differ)) / 8;
          break;
        }
        i = at + 8;
        if (i == n) return n;
      }
    }
  }
  for (; i < n; ++i) {
    const auto a = static_cast<unsigned char>(p[i]), b = static_cast<unsigned char>(key[i]);
    if (a != b && folds[a] != folds[b]) break;
  }
  return i;
}

// Whether the line at `p`, which begins with `agreed` characters alike `key` (Agreeing), comes before `key`
// without regard to case: it is shorter, or its character where they differ is lower.
bool Below(const char* p, const char* end, std::string_view key, size_t agreed,
           const FoldTable& folds) {
  return agreed < key.size() && (LineEnds(p + agreed, end) || folds[static_cast<unsigned char>(p[agreed])] <
                                                                    folds[static_cast<unsigned char>(key[agreed])]);
}

// The text of `text` that is compared with the lines (up to its first NUL), and whether it holds a NUL; none
// (false) for a text that holds a CR or an LF there, which no line can equal nor begin with. One pass finds the
// first NUL, CR or LF.
bool Compared(std::string_view text, std::string_view& key, bool& nul) {
  const char* const end = text.data() + text.size();
  const char* const at = LineEnd<true>(text.data(), end);
  nul = at != end && *at == '\0';
  key = std::string_view(text.data(), static_cast<size_t>(at - text.data()));
  return at == end || nul;
}

}  // namespace

void GXChoiceLines::Iterator::Read() {
  const char* const end = m_text.data() + m_text.size();
  if (m_at >= m_text.size()) {
    m_at = m_next = m_text.size();
    m_line = {};
    return;
  }
  const char* const line = m_text.data() + m_at;
  const char* const lineEnd = LineEnd(line, end);
  m_line = std::string_view(line, static_cast<size_t>(lineEnd - line));
  m_next = static_cast<size_t>(NextLine(lineEnd, end) - m_text.data());
}

// The places of a list's lines in its text and their order without regard to case (ties in list order): the lines
// equal to a text, and the lines beginning with it, lie together in that order and are found by binary search.
// The first of them in list order is the least position over that run: blocks of kBlock entries keep their least
// in a tree of minimums, so that a run costs a walk of its two end blocks and a climb of the tree. Made once and
// never changed after, so that it may be read on any thread.
struct CGXChoiceListIndex {
  static constexpr size_t kBlock = 16;

  explicit CGXChoiceListIndex(std::string_view text) {
    const GXChoiceLines all(text);
    lines = static_cast<size_t>(std::distance(all.begin(), all.end()));
    blocks = (lines + kBlock - 1) / kBlock;
    cells.resize(2 * lines + 2 * blocks);
    const std::span<uint32_t> starts = Starts(), order = Order(), least = Least();
    size_t n = 0;
    for (std::string_view line : all) starts[n++] = static_cast<uint32_t>(line.data() - text.data());
    for (n = 0; n < lines; ++n) order[n] = static_cast<uint32_t>(n);
    const char* const end = text.data() + text.size();
    const auto& folds = Folds();
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
      const char* const line = text.data() + starts[a];
      const std::string_view other = Line(text, b);
      return Below(line, end, other, Agreeing(line, end, other, folds), folds);
    });
    for (n = 0; n < lines; ++n) {
      uint32_t& block = least[blocks + n / kBlock];
      block = n % kBlock == 0 ? order[n] : std::min(block, order[n]);
    }
    for (n = blocks; n-- > 1;) least[n] = std::min(least[2 * n], least[2 * n + 1]);
  }

  // The first character of each line; the lines sorted without regard to case; the tree of block minimums over
  // that order, node i covering nodes 2i and 2i + 1.
  std::span<uint32_t> Starts() { return {cells.data(), lines}; }
  std::span<uint32_t> Order() { return {cells.data() + lines, lines}; }
  std::span<uint32_t> Least() { return {cells.data() + 2 * lines, 2 * blocks}; }
  std::span<const uint32_t> Order() const { return {cells.data() + lines, lines}; }
  std::span<const uint32_t> Least() const { return {cells.data() + 2 * lines, 2 * blocks}; }

  // The line at `n` of the text indexed.
  std::string_view Line(std::string_view text, size_t n) const {
    const char* const line = text.data() + cells[n];
    return std::string_view(line, static_cast<size_t>(LineEnd(line, text.data() + text.size()) - line));
  }

  // The least list position among the sorted entries [from, to).
  int FirstIn(size_t from, size_t to) const {
    const std::span<const uint32_t> order = Order(), least = Least();
    uint32_t first = std::numeric_limits<uint32_t>::max();
    const auto walk = [&](size_t a, size_t b) {
      for (; a < b; ++a) first = std::min(first, order[a]);
    };
    size_t blockFrom = (from + kBlock - 1) / kBlock, blockTo = to / kBlock;
    if (blockFrom >= blockTo) {
      walk(from, to);
    } else {
      walk(from, blockFrom * kBlock);
      walk(blockTo * kBlock, to);
      for (blockFrom += blocks, blockTo += blocks; blockFrom < blockTo; blockFrom /= 2, blockTo /= 2) {
        if (blockFrom & 1) first = std::min(first, least[blockFrom++]);
        if (blockTo & 1) first = std::min(first, least[--blockTo]);
      }
    }
    return from < to ? static_cast<int>(first) : -1;
  }

  // The list position of the line `key` names (GXChoiceLines::Find), or -1; the line in `found`.
  int Find(std::string_view text, std::string_view key, bool nul, bool exact, std::string_view& found) const {
    const auto& folds = Folds();
    const char* const end = text.data() + text.size();
    const std::span<const uint32_t> order = Order();
    const auto line = [&](size_t sorted) { return text.data() + cells[order[sorted]]; };
    // How far the line at `p` begins alike the key, known to for `from` characters.
    const auto agreeing = [&](const char* p, size_t from) {
      return from + Agreeing(p + from, end, key.substr(from), folds);
    };
    // The first line in order not below the key. The lines between two lines that begin alike the key for some
    // characters begin so too: a comparison reads on from where both bounds stopped agreeing (nothing is known
    // until a line bounds each side; reading the first and the last line first costs a short list two comparisons
    // of its few, and a long one reads eight characters a step).
    size_t low = 0, high = lines, lowAgreed = 0, highAgreed = 0;
    while (low < high) {
      const size_t mid = low + (high - low) / 2;
      const size_t agreed = agreeing(line(mid), std::min(lowAgreed, highAgreed));
      if (Below(line(mid), end, key, agreed, folds)) {
        low = mid + 1;
        lowAgreed = agreed;
      } else {
        high = mid;
        highAgreed = agreed;
      }
    }
    // A line found was the last upper bound: how far it agrees is known.
    if (low < lines && highAgreed == key.size() && LineEnds(line(low) + highAgreed, end)) {
      found = std::string_view(line(low), key.size());
      return static_cast<int>(order[low]);
    }
    if (exact || nul) return -1;
    // The lines beginning with the key follow.
    const auto from = order.begin() + static_cast<std::ptrdiff_t>(low);
    const auto to = std::partition_point(
        from, order.end(), [&](uint32_t i) { return agreeing(text.data() + cells[i], 0) == key.size(); });
    const int first = FirstIn(low, static_cast<size_t>(to - order.begin()));
    if (first >= 0) found = Line(text, static_cast<size_t>(first));
    return first;
  }

  std::string_view key;  // the text of the list that made it, which names it among the shared ones
  size_t lines = 0, blocks = 0;
  std::vector<uint32_t> cells;  // the starts, the order and the tree, one after the other
};

namespace {

// An index of `text`, none for a text whose places do not fit the index.
std::unique_ptr<CGXChoiceListIndex> NewIndex(std::string_view text) {
  if (text.size() > std::numeric_limits<uint32_t>::max()) return nullptr;
  return std::make_unique<CGXChoiceListIndex>(text);
}

}  // namespace

std::shared_ptr<const CGXChoiceListIndex> GXChoiceLines::MakeIndex(std::string_view text) { return NewIndex(text); }

size_t GXChoiceLines::Count() const {
  return m_index ? m_index->lines : static_cast<size_t>(std::distance(begin(), end()));
}

bool GXChoiceLines::Line(size_t n, std::string_view& out) const {
  out = {};
  if (m_index) {
    if (n >= m_index->lines) return false;
    out = m_index->Line(m_text, n);
    return true;
  }
  for (std::string_view line : *this)
    if (n-- == 0) {
      out = line;
      return true;
    }
  return false;
}

int GXChoiceLines::Find(std::string_view text, bool exact, std::string_view* found) const {
  if (found) *found = {};
  std::string_view key;
  bool nul = false;
  if (!Compared(text, key, nul)) return -1;
  if (m_index) {
    std::string_view line;
    const int at = m_index->Find(m_text, key, nul, exact, line);
    if (found) *found = line;
    return at;
  }
  // A walk that reads each line as far as it agrees with the text and then to its end.
  const auto& folds = Folds();
  const char* const end = m_text.data() + m_text.size();
  int at = 0, begun = -1;
  std::string_view begunLine;
  for (const char* line = m_text.data(); line != end; ++at) {
    const size_t agreeing = Agreeing(line, end, key, folds);
    const char* const lineEnd = LineEnd(line + agreeing, end);
    if (agreeing == key.size()) {
      const std::string_view whole(line, static_cast<size_t>(lineEnd - line));
      if (lineEnd == line + agreeing) {
        if (found) *found = whole;
        return at;
      }
      if (begun < 0 && !exact && !nul) {
        begun = at;
        begunLine = whole;
      }
    }
    line = NextLine(lineEnd, end);
  }
  if (found) *found = begunLine;
  return begun;
}

namespace {

// The indexes kept by lists and alive, by their texts: each is named by the text of the list that made it and
// kept by that list, which the lists of the same text keep alive with it. Lists are read on any thread that has
// grids: the table is used under its lock. It goes with the library (the module's is unloaded with it); an index
// that outlives it (held by a style of a static object destroyed after it) goes without it.
struct SharedChoiceIndexes {
  struct Made {
    std::weak_ptr<const CGXChoiceListText> list;
    const CGXChoiceListIndex* index;
  };
  std::mutex lock;
  std::unordered_map<std::string_view, Made> made;
  ~SharedChoiceIndexes() { Gone() = true; }
  // Trivially destructible: it can still be read once the table is destroyed.
  static bool& Gone() {
    static bool gone = false;
    return gone;
  }
  static SharedChoiceIndexes& Get() {
    static SharedChoiceIndexes table;
    return table;
  }
};

// The index a list keeps: none for a short list, else that of a living list of the same text, else its own. An
// index goes with the list that made it (as the list goes, before its text), and its entry with it.
std::shared_ptr<const CGXChoiceListIndex> KeptIndex(const std::shared_ptr<const CGXChoiceListText>& list) {
  const std::string_view text = list->Text().View();
  GXChoiceLines::Iterator line(text, 0);
  const GXChoiceLines::Iterator end(text, text.size());
  for (size_t n = 0; n < GXChoiceLines::kIndexedLines; ++n, ++line)
    if (line == end) return nullptr;
  SharedChoiceIndexes& table = SharedChoiceIndexes::Get();
  std::lock_guard<std::mutex> guard(table.lock);
  if (const auto it = table.made.find(text); it != table.made.end()) {
    if (const std::shared_ptr<const CGXChoiceListText> maker = it->second.list.lock())
      return std::shared_ptr<const CGXChoiceListIndex>(maker, it->second.index);
    table.made.erase(it);  // its list is going; its key views that list's text
  }
  std::unique_ptr<CGXChoiceListIndex> index = NewIndex(text);
  if (!index) return nullptr;
  index->key = text;
  const CGXChoiceListIndex* const made = index.get();
  std::shared_ptr<const CGXChoiceListIndex> kept(index.release(), [](const CGXChoiceListIndex* gone) {
    if (!SharedChoiceIndexes::Gone()) {
      SharedChoiceIndexes& t = SharedChoiceIndexes::Get();
      std::lock_guard<std::mutex> g(t.lock);
      // Its entry, unless another list of its text took the place since.
      if (const auto it = t.made.find(gone->key); it != t.made.end() && it->second.index == gone) t.made.erase(it);
    }
    delete gone;
  });
  table.made.emplace(text, SharedChoiceIndexes::Made{list, made});
  return kept;
}

}  // namespace

GXChoiceLines GXChoiceLines::Of(const std::shared_ptr<const CGXChoiceListText>& list) {
  if (!list) return GXChoiceLines(std::string_view());
  return GXChoiceLines(list->Text().View(), CGXChoiceListText::Index(list, &KeptIndex));
}

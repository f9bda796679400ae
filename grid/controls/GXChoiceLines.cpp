#include "grid/controls/GXChoiceLines.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
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
// lower case (a lower case is its own). Whether eight characters at a time may be folded by AsciiSmall is read with
// it: where the code page folds ASCII as AsciiSmall does.
struct FoldTable : std::array<unsigned char, 256> {
  bool wordwise = false;
};
const FoldTable& Folds() {
  static const FoldTable folds = [] {
    FoldTable made{};
    for (size_t c = 0; c < made.size(); ++c) made[c] = plat::ToLower1252(static_cast<unsigned char>(c));
    made.wordwise = std::endian::native == std::endian::little;
    for (unsigned c = 0; c < 0x80; ++c)
      if (made[c] != (c >= 'A' && c <= 'Z' ? c + 0x20 : c)) made.wordwise = false;
    for (size_t c = 0; c < made.size(); ++c) assert(made[made[c]] == made[c]);
    return made;
  }();
  return folds;
}

constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;

// Eight characters at a time, the ASCII capitals made small and every other byte left as it is: the high bit of
// (c & 0x7F) + (0x80 - 'A') is set from 'A' on, that of (c & 0x7F) + (0x80 - 'Z' - 1) past 'Z' (no sum carries
// into the next byte), and a byte of 0x80 or more is no ASCII capital.
uint64_t AsciiSmall(uint64_t word) {
  const uint64_t low = word & ~kHighs;
  const uint64_t fromA = low + kOnes * (0x80 - 'A'), pastZ = low + kOnes * (0x80 - 'Z' - 1);
  return word | ((fromA & ~pastZ & ~word & kHighs) >> 2);
}

// How many of the first `n` bytes of `a` and `b` are equal, counted to the first that differs. Of eight bytes or
// more, eight are compared at a time, the last eight of the n overlapping those before (which are equal).
inline size_t Equal(const char* a, const char* b, size_t n) {
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    if (n >= 8) {
      for (;;) {
        const size_t at = std::min(i, n - 8);
        uint64_t x, y;
        std::memcpy(&x, a + at, sizeof x);
        std::memcpy(&y, b + at, sizeof y);
        if (x != y) return at + static_cast<size_t>(std::countr_zero(x ^ y)) / 8;
        i = at + 8;
        if (i == n) return n;
      }
    }
  }
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// A text looked up, folded to lower case once (Folds), so that a line is folded alone or compared folded as it is.
// A text of up to kShort characters is folded on the stack.
class FoldedKey {
 public:
  explicit FoldedKey(std::string_view text) {
    char* const out = text.size() <= kShort ? m_short : (m_long = std::make_unique<char[]>(text.size())).get();
    const FoldTable& folds = Folds();
    size_t i = 0;
    if (folds.wordwise)
      for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        if (word & kHighs) break;  // a character past ASCII: the table folds the rest
        word = AsciiSmall(word);
        std::memcpy(out + i, &word, sizeof word);
      }
    for (; i < text.size(); ++i) out[i] = static_cast<char>(folds[static_cast<unsigned char>(text[i])]);
    m_view = std::string_view(out, text.size());
  }
  FoldedKey(const FoldedKey&) = delete;
  FoldedKey& operator=(const FoldedKey&) = delete;
  std::string_view View() const { return m_view; }

 private:
  static constexpr size_t kShort = 128;
  char m_short[kShort];
  std::unique_ptr<char[]> m_long;
  std::string_view m_view;
};

// How many characters the line at `p` and `key` (folded, holding no CR or LF) begin with alike without regard to
// case: the line's end agrees with no character of the key. Eight characters are compared at a time as Equal does,
// the line's folded by AsciiSmall; from the first that differs so, one at a time through the table (a character
// past ASCII may still fold alike).
inline size_t Agreeing(const char* p, const char* end, std::string_view key, const FoldTable& folds) {
  const size_t n = std::min(key.size(), static_cast<size_t>(end - p));
  size_t i = 0;
  if (n >= 8 && folds.wordwise) {
    for (;;) {
      const size_t at = std::min(i, n - 8);
      uint64_t a, b;
      std::memcpy(&a, p + at, sizeof a);
      std::memcpy(&b, key.data() + at, sizeof b);
      if (const uint64_t differ = AsciiSmall(a) ^ b) {
        i = at + static_cast<size_t>(std::countr_zero(differ)) / 8;
        break;
      }
      i = at + 8;
      if (i == n) return n;
    }
  }
  while (i < n && folds[static_cast<unsigned char>(p[i])] == static_cast<unsigned char>(key[i])) ++i;
  return i;
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

// The places of a list's lines in its text, their order without regard to case (ties in list order), and a copy
// of the text folded to lower case with each line's end (and the text's) made a NUL: the lines equal to a text, and
// the lines beginning with it, lie together in that order and are found by binary search, a step comparing the
// folded copy with the folded text looked up eight bytes at a time. The first of them in list order is the least
// position over that run: blocks of kBlock entries keep their least in a tree of minimums, so that a run costs a
// walk of its two end blocks and a climb of the tree. Made once and never changed after, so that it may be read on
// any thread.
struct CGXChoiceListIndex {
  static constexpr size_t kBlock = 16;
  // Bytes of the folded copy past its last NUL, so that eight may be read from any byte up to it (Equal reads up
  // to seven past the first byte that differs, and no text looked up holds a NUL).
  static constexpr size_t kPadding = 7;

  explicit CGXChoiceListIndex(std::string_view text) {
    const GXChoiceLines all(text);
    lines = static_cast<size_t>(std::distance(all.begin(), all.end()));
    blocks = (lines + kBlock - 1) / kBlock;
    folds = text.size() + 1 + kPadding;
    cells.resize(2 * lines + 2 * blocks + (folds + sizeof(uint32_t) - 1) / sizeof(uint32_t));
    const std::span<uint32_t> starts = Starts(), order = Order(), least = Least();
    char* const folded = Folded();
    const auto& table = Folds();
    for (size_t i = 0; i < text.size(); ++i) folded[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
    std::memset(folded + text.size(), 0, folds - text.size());
    // Each line's length, while the order is made: a line may hold a NUL, which its folded copy does not tell
    // from its end.
    std::vector<uint32_t> lengths(lines);
    size_t n = 0;
    for (std::string_view line : all) {
      starts[n] = static_cast<uint32_t>(line.data() - text.data());
      lengths[n++] = static_cast<uint32_t>(line.size());
      std::memset(folded + (line.data() - text.data()) + line.size(), 0,
                  static_cast<size_t>(NextLine(line.data() + line.size(), text.data() + text.size()) -
                                      (line.data() + line.size())));
    }
    for (n = 0; n < lines; ++n) order[n] = static_cast<uint32_t>(n);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
      const size_t common = std::min(lengths[a], lengths[b]);
      const size_t same = Equal(folded + starts[a], folded + starts[b], common);
      if (same < common)
        return static_cast<unsigned char>(folded[starts[a] + same]) <
               static_cast<unsigned char>(folded[starts[b] + same]);
      return lengths[a] < lengths[b];
    });
    for (n = 0; n < lines; ++n) {
      uint32_t& block = least[blocks + n / kBlock];
      block = n % kBlock == 0 ? order[n] : std::min(block, order[n]);
    }
    for (n = blocks; n-- > 1;) least[n] = std::min(least[2 * n], least[2 * n + 1]);
  }

  // The first character of each line; the lines sorted without regard to case; the tree of block minimums over
  // that order, node i covering nodes 2i and 2i + 1; the folded copy, of `folds` bytes.
  std::span<uint32_t> Starts() { return {cells.data(), lines}; }
  std::span<uint32_t> Order() { return {cells.data() + lines, lines}; }
  std::span<uint32_t> Least() { return {cells.data() + 2 * lines, 2 * blocks}; }
  char* Folded() { return reinterpret_cast<char*>(cells.data() + 2 * lines + 2 * blocks); }
  std::span<const uint32_t> Order() const { return {cells.data() + lines, lines}; }
  std::span<const uint32_t> Least() const { return {cells.data() + 2 * lines, 2 * blocks}; }
  const char* Folded() const { return reinterpret_cast<const char*>(cells.data() + 2 * lines + 2 * blocks); }

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

  // The list position of the line `key` (folded) names (GXChoiceLines::Find), or -1; the line in `found`.
  int Find(std::string_view text, std::string_view key, bool nul, bool exact, std::string_view& found) const {
    const std::span<const uint32_t> order = Order();
    const char* const folded = Folded();
    const auto line = [&](size_t sorted) { return folded + cells[order[sorted]]; };
    // How far the folded line at `p` begins alike the key, known to for `from` characters. A line's end is a
    // NUL, which no key holds: a comparison stops there.
    const auto agreeing = [&](const char* p, size_t from) {
      return from + Equal(p + from, key.data() + from, key.size() - from);
    };
    // Whether that line, agreeing for `agreed` characters, comes before the key: it ended (its NUL is lower than
    // any character of the key) or its character there is lower.
    const auto below = [&](const char* p, size_t agreed) {
      return agreed < key.size() &&
             static_cast<unsigned char>(p[agreed]) < static_cast<unsigned char>(key[agreed]);
    };
    // The first line in order not below the key. The lines between two lines that begin alike the key for some
    // characters begin so too: a comparison reads on from where both bounds stopped agreeing. The first upper
    // bound that does not begin with the key bounds the lines that do.
    size_t low = 0, high = lines, lowAgreed = 0, highAgreed = 0, beginning = lines;
    while (low < high) {
      const size_t mid = low + (high - low) / 2;
      const char* const p = line(mid);
      const size_t agreed = agreeing(p, std::min(lowAgreed, highAgreed));
      if (below(p, agreed)) {
        low = mid + 1;
        lowAgreed = agreed;
      } else {
        high = mid;
        highAgreed = agreed;
        if (agreed < key.size()) beginning = mid;
      }
    }
    // A line found was the last upper bound: how far it agrees is known; it is the key's whole line where the
    // text ends there (a NUL in the copy may be the line's own character).
    if (low < lines && highAgreed == key.size() && LineEnds(text.data() + cells[order[low]] + key.size(),
                                                            text.data() + text.size())) {
      found = std::string_view(text.data() + cells[order[low]], key.size());
      return static_cast<int>(order[low]);
    }
    // The lines beginning with the key: that line and those after it that do, up to the first bound that does not
    // (none when that line does not).
    if (exact || nul || low == lines || highAgreed < key.size()) return -1;
    const auto to = std::partition_point(order.begin() + static_cast<std::ptrdiff_t>(low + 1),
                                         order.begin() + static_cast<std::ptrdiff_t>(beginning),
                                         [&](uint32_t i) { return agreeing(folded + cells[i], 0) == key.size(); });
    const size_t run = static_cast<size_t>(to - order.begin());
    const int first = run == low + 1 ? static_cast<int>(order[low]) : FirstIn(low, run);
    found = Line(text, static_cast<size_t>(first));
    return first;
  }

  std::string_view key;  // the text of the list that made it, which names it among the shared ones
  size_t lines = 0, blocks = 0, folds = 0;
  std::vector<uint32_t> cells;  // the starts, the order, the tree and the folded copy, one after the other
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
  const FoldedKey folded(key);
  key = folded.View();
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
  return GXChoiceLines(list->Text().View(), CGXChoiceListText::Index(list, &KeptIndex, kWalksBeforeIndex));
}

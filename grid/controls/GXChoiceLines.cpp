#include "grid/controls/GXChoiceLines.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <mutex>
#include <span>
#include <unordered_map>
#include <vector>

#include "grid/core/CGXChoiceListText.h"
#include "platform/base/CodePage.h"

namespace {

// The end of the line of `text` that begins at `start`: its first CR or LF, or the text's end.
size_t LineEnd(std::string_view text, size_t start) {
  while (start < text.size() && text[start] != '\r' && text[start] != '\n') ++start;
  return start;
}

// The code page's lower case of each character, read once: compared without regard to case, a character is its
// lower case.
const std::array<unsigned char, 256>& Folds() {
  static const std::array<unsigned char, 256> folds = [] {
    std::array<unsigned char, 256> made{};
    for (size_t c = 0; c < made.size(); ++c) made[c] = plat::ToLower1252(static_cast<unsigned char>(c));
    return made;
  }();
  return folds;
}

// The order of two texts without regard to case, character by character and a text before the longer ones it
// begins: below 0, 0 or above 0.
int CompareNoCase(std::string_view a, std::string_view b) {
  const auto& folds = Folds();
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int d = folds[static_cast<unsigned char>(a[i])] - folds[static_cast<unsigned char>(b[i])];
    if (d != 0) return d;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool BeginsNoCase(std::string_view line, std::string_view key) {
  return line.size() >= key.size() && CompareNoCase(line.substr(0, key.size()), key) == 0;
}

// CompareNoCase of the line of `text` at `start` and `key`, read as far as they differ; with `begun`, a line that
// begins with `key` compares equal.
int CompareLineNoCase(std::string_view text, size_t start, std::string_view key, bool begun) {
  const auto& folds = Folds();
  for (size_t i = 0;; ++i, ++start) {
    const bool ended = start >= text.size() || text[start] == '\r' || text[start] == '\n';
    if (i == key.size()) return ended || begun ? 0 : 1;
    if (ended) return -1;
    const auto a = static_cast<unsigned char>(text[start]), b = static_cast<unsigned char>(key[i]);
    if (a != b && folds[a] != folds[b]) return folds[a] - folds[b];
  }
}

// The text of `text` that is compared with the lines (up to its first NUL), and whether it holds a NUL.
std::string_view Compared(std::string_view text, bool& nul) {
  const size_t at = text.find('\0');
  nul = at != std::string_view::npos;
  return text.substr(0, at);
}

}  // namespace

void GXChoiceLines::Iterator::Read() {
  if (m_at >= m_text.size()) {
    m_at = m_next = m_text.size();
    m_line = {};
    return;
  }
  const size_t end = LineEnd(m_text, m_at);
  m_line = m_text.substr(m_at, end - m_at);
  m_next = end + 1;
  if (end < m_text.size() && m_text[end] == '\r' && m_next < m_text.size() && m_text[m_next] == '\n') ++m_next;
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
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return CompareNoCase(Line(text, a), Line(text, b)) < 0; });
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
    const size_t start = cells[n];
    return text.substr(start, LineEnd(text, start) - start);
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

  int Find(std::string_view text, std::string_view named, bool exact) const {
    bool nul = false;
    const std::string_view key = Compared(named, nul);
    const std::span<const uint32_t> order = Order();
    const auto from = std::partition_point(order.begin(), order.end(), [&](uint32_t i) {
      return CompareLineNoCase(text, cells[i], key, false) < 0;
    });
    if (from != order.end() && CompareLineNoCase(text, cells[*from], key, false) == 0) return static_cast<int>(*from);
    if (exact || nul) return -1;
    const auto to = std::partition_point(
        from, order.end(), [&](uint32_t i) { return CompareLineNoCase(text, cells[i], key, true) == 0; });
    return FirstIn(static_cast<size_t>(from - order.begin()), static_cast<size_t>(to - order.begin()));
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

int GXChoiceLines::Find(std::string_view text, bool exact) const {
  if (m_index) return m_index->Find(m_text, text, exact);
  bool nul = false;
  const std::string_view key = Compared(text, nul);
  int at = 0, begun = -1;
  for (std::string_view line : *this) {
    if (line.size() == key.size() && CompareNoCase(line, key) == 0) return at;
    if (begun < 0 && !exact && !nul && BeginsNoCase(line, key)) begun = at;
    ++at;
  }
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

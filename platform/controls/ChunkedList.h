// A sequence with cheap insertion and removal anywhere: items live in chunks of at most 2 * kChunk, and a
// Fenwick tree over the chunk sizes finds the chunk of an index, and the first index of a chunk, in
// O(log chunks). A sorted list box of 900,000 items inserts each new item in O(log chunks + kChunk); an
// append goes straight to the last chunk. Splitting or dropping a chunk inside the sequence rebuilds the
// tree in O(chunks), at most once per kChunk inserts; at the back it costs O(log chunks).
#pragma once

#include <cassert>
#include <cstddef>
#include <tuple>
#include <utility>
#include <vector>

namespace plat::controls {

template <class T>
class ChunkedList {
 public:
  static constexpr size_t kChunk = 128;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear() {
    chunks_.clear();
    tree_.assign(1, 0);
    size_ = 0;
  }

  T& operator[](size_t i) {
    auto [c, j] = Locate(i);
    return chunks_[c][j];
  }
  const T& operator[](size_t i) const {
    auto [c, j] = Locate(i);
    return chunks_[c][j];
  }

  void insert(size_t i, T value) {
    assert(i <= size_);
    if (chunks_.empty()) {
      chunks_.emplace_back();
      Rebuild();
    }
    size_t c = 0, j = 0;
    if (i == size_) {
      c = chunks_.size() - 1;  // appending: straight to the last chunk
      j = chunks_[c].size();
    } else {
      std::tie(c, j) = Locate(i);
    }
    auto& chunk = chunks_[c];
    chunk.insert(chunk.begin() + static_cast<std::ptrdiff_t>(j), std::move(value));
    ++size_;
    if (chunk.size() <= 2 * kChunk) {
      Add(c, 1);
      return;
    }
    const size_t held = chunk.size() - 1;  // what the tree still counts for the chunk
    std::vector<T> tail(std::make_move_iterator(chunk.begin() + kChunk), std::make_move_iterator(chunk.end()));
    chunk.resize(kChunk);
    const size_t tailSize = tail.size();
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(c) + 1, std::move(tail));
    if (c + 2 == chunks_.size()) {
      // The last chunk split (appends do this every kChunk items): its tail becomes a node at the back.
      Add(c, static_cast<std::ptrdiff_t>(kChunk) - static_cast<std::ptrdiff_t>(held));
      PushBack(tailSize);
    } else {
      Rebuild();
    }
  }

  void erase(size_t i) {
    auto [c, j] = Locate(i);
    chunks_[c].erase(chunks_[c].begin() + static_cast<std::ptrdiff_t>(j));
    --size_;
    if (!chunks_[c].empty()) {
      Add(c, -1);
    } else if (c + 1 == chunks_.size()) {
      chunks_.pop_back();  // no other node counts the last chunk
      tree_.pop_back();
    } else {
      chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(c));
      Rebuild();
    }
  }

  // The first index whose item fails `pred(item, index)`, for a predicate that holds for a prefix of the
  // sequence (a sorted insertion point): binary search over the chunks' last items, then inside one chunk.
  template <class Pred>
  size_t PartitionPoint(Pred&& pred) const {
    size_t lo = 0, hi = chunks_.size();
    while (lo < hi) {
      const size_t mid = (lo + hi) / 2;
      if (chunks_[mid].empty() || pred(chunks_[mid].back(), Start(mid) + chunks_[mid].size() - 1))
        lo = mid + 1;
      else
        hi = mid;
    }
    if (lo == chunks_.size()) return size_;
    const size_t first = Start(lo);
    const auto& chunk = chunks_[lo];
    size_t a = 0, b = chunk.size();
    while (a < b) {
      const size_t mid = (a + b) / 2;
      if (pred(chunk[mid], first + mid))
        a = mid + 1;
      else
        b = mid;
    }
    return first + a;
  }

  // The first index, walking from `first` to the end and then from 0, whose item satisfies `pred`, or -1.
  template <class Pred>
  long FindFrom(size_t first, Pred&& pred) const {
    if (size_ == 0) return -1;
    first %= size_;
    auto [c0, j0] = Locate(first);
    size_t index = first;
    size_t c = c0, j = j0;
    for (size_t seen = 0; seen < size_; ++seen) {
      if (pred(chunks_[c][j])) return static_cast<long>(index);
      ++index, ++j;
      if (j == chunks_[c].size()) {
        j = 0;
        if (++c == chunks_.size()) c = 0, index = 0;
      }
    }
    return -1;
  }

  template <class F>
  void ForEach(F&& f) {
    for (auto& chunk : chunks_)
      for (auto& v : chunk) f(v);
  }

 private:
  // Fenwick tree over the chunk sizes: tree_[k] (1-based) sums the sizes of chunks (k - lowbit(k), k].
  void Rebuild() {
    const size_t n = chunks_.size();
    tree_.assign(n + 1, 0);
    for (size_t k = 1; k <= n; ++k) {
      tree_[k] += chunks_[k - 1].size();
      const size_t parent = k + (k & (~k + 1));
      if (parent <= n) tree_[parent] += tree_[k];
    }
  }
  void Add(size_t c, std::ptrdiff_t delta) {
    for (size_t k = c + 1; k < tree_.size(); k += k & (~k + 1)) tree_[k] += static_cast<size_t>(delta);
  }
  // The node of a chunk added at the back, made from the nodes before it: O(log chunks).
  void PushBack(size_t chunkSize) {
    const size_t k = tree_.size();
    tree_.push_back(chunkSize + Start(k - 1) - Start(k - (k & (~k + 1))));
  }
  // The index of the first item of chunk c.
  size_t Start(size_t c) const {
    size_t sum = 0;
    for (size_t k = c; k > 0; k -= k & (~k + 1)) sum += tree_[k];
    return sum;
  }
  // The chunk holding index i and i's place in it: the longest run of whole chunks not reaching past i.
  std::pair<size_t, size_t> Locate(size_t i) const {
    assert(i < size_);
    const size_t n = chunks_.size();
    size_t step = 1;
    while (step * 2 <= n) step *= 2;
    size_t pos = 0;
    for (; step > 0; step /= 2) {
      if (pos + step <= n && tree_[pos + step] <= i) {
        pos += step;
        i -= tree_[pos];
      }
    }
    return {pos, i};
  }

  std::vector<std::vector<T>> chunks_;
  std::vector<size_t> tree_ = std::vector<size_t>(1, 0);
  size_t size_ = 0;
};

}  // namespace plat::controls

// A sequence with cheap insertion and removal anywhere: items live in chunks of at most kChunk, and an
// index is found by walking the chunk sizes. A sorted list box of 100,000 items inserts each new item in
// O(chunks + kChunk) instead of moving half the list.
#pragma once

#include <cassert>
#include <cstddef>
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
    if (chunks_.empty()) chunks_.emplace_back();
    size_t c = 0, j = i;
    if (i == size_) {
      c = chunks_.size() - 1;  // appending: straight to the last chunk
      j = chunks_[c].size();
    } else {
      while (c + 1 < chunks_.size() && j > chunks_[c].size()) j -= chunks_[c++].size();
    }
    auto& chunk = chunks_[c];
    chunk.insert(chunk.begin() + static_cast<std::ptrdiff_t>(j), std::move(value));
    ++size_;
    if (chunk.size() > 2 * kChunk) {
      std::vector<T> tail(std::make_move_iterator(chunk.begin() + kChunk), std::make_move_iterator(chunk.end()));
      chunk.resize(kChunk);
      chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(c) + 1, std::move(tail));
    }
  }

  void erase(size_t i) {
    auto [c, j] = Locate(i);
    chunks_[c].erase(chunks_[c].begin() + static_cast<std::ptrdiff_t>(j));
    if (chunks_[c].empty()) chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(c));
    --size_;
  }

  // The first index whose item fails `pred(item, index)`, for a predicate that holds for a prefix of the
  // sequence (a sorted insertion point): binary search over the chunks' last items, then inside one chunk.
  template <class Pred>
  size_t PartitionPoint(Pred&& pred) const {
    size_t lo = 0, hi = chunks_.size();
    std::vector<size_t> starts(chunks_.size() + 1, 0);
    for (size_t k = 0; k < chunks_.size(); ++k) starts[k + 1] = starts[k] + chunks_[k].size();
    auto base = [&](size_t c) { return starts[c]; };
    while (lo < hi) {
      const size_t mid = (lo + hi) / 2;
      if (pred(chunks_[mid].back(), base(mid) + chunks_[mid].size() - 1))
        lo = mid + 1;
      else
        hi = mid;
    }
    if (lo == chunks_.size()) return size_;
    const size_t first = base(lo);
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
  std::pair<size_t, size_t> Locate(size_t i) const {
    assert(i < size_);
    size_t c = 0;
    while (i >= chunks_[c].size()) i -= chunks_[c++].size();
    return {c, i};
  }

  std::vector<std::vector<T>> chunks_;
  size_t size_ = 0;
};

}  // namespace plat::controls

// A table of objects addressed by opaque handles with generation counters.
//
// A handle packs a slot index (low 24 bits, plus one so that no handle is 0) and the slot's generation (the
// bits above). Removing an object bumps its slot's generation, so a handle kept after destruction no longer
// matches and every lookup answers null instead of reaching a new occupant of the slot.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

template <class T>
class HandleTable {
 public:
  static constexpr std::uintptr_t kIndexBits = 24;
  static constexpr std::uintptr_t kIndexMask = (std::uintptr_t{1} << kIndexBits) - 1;

  std::uintptr_t Insert(std::shared_ptr<T> object) {
    std::uint32_t index;
    if (!free_.empty()) {
      // Oldest free slot first, so that a stale handle's slot is reused as late as possible.
      index = free_.front();
      free_.erase(free_.begin());
    } else {
      index = static_cast<std::uint32_t>(slots_.size());
      slots_.push_back(Slot{});
    }
    slots_[index].object = std::move(object);
    return Token(index, slots_[index].generation);
  }

  T* Get(std::uintptr_t token) const {
    const Slot* slot = SlotOf(token);
    return slot ? slot->object.get() : nullptr;
  }

  std::shared_ptr<T> Share(std::uintptr_t token) const {
    const Slot* slot = SlotOf(token);
    return slot ? slot->object : nullptr;
  }

  // Frees the slot; the object lives on while someone else shares it (a window inside its own handler).
  bool Remove(std::uintptr_t token) {
    const Slot* found = SlotOf(token);
    if (!found) return false;
    std::uint32_t index = static_cast<std::uint32_t>((token & kIndexMask) - 1);
    Slot& slot = slots_[index];
    slot.object.reset();
    ++slot.generation;
    free_.push_back(index);
    return true;
  }

  template <class F>
  void ForEach(F&& f) const {
    for (const Slot& slot : slots_)
      if (slot.object) f(*slot.object);
  }

  std::size_t Count() const { return slots_.size() - free_.size(); }

 private:
  struct Slot {
    std::uint32_t generation = 1;
    std::shared_ptr<T> object;
  };

  static std::uintptr_t Token(std::uint32_t index, std::uint32_t generation) {
    return (static_cast<std::uintptr_t>(generation) << kIndexBits) | (index + 1);
  }

  const Slot* SlotOf(std::uintptr_t token) const {
    std::uintptr_t index = token & kIndexMask;
    if (index == 0 || index > slots_.size()) return nullptr;
    const Slot& slot = slots_[index - 1];
    if (!slot.object || (token >> kIndexBits) != slot.generation) return nullptr;
    return &slot;
  }

  std::vector<Slot> slots_;
  std::vector<std::uint32_t> free_;
};

}  // namespace plat

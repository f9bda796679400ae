// A choice list's text as the styles composed from it share it, with the index of its lines that the cell
// controls look a text up in (CGXChoiceListIndex, defined by the controls), when the list is long enough and
// looked up often enough to need one. A list is never changed in place: a style given another list gets another text object, so an index made
// once answers for its text as long as the text lives, and goes with it (before the text, which it reads).
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/base/CString.h"

struct CGXChoiceListIndex;

class CGXChoiceListText {
 public:
  explicit CGXChoiceListText(const char* text) : m_text(text ? text : "") {}
  CGXChoiceListText(const CGXChoiceListText&) = delete;
  CGXChoiceListText& operator=(const CGXChoiceListText&) = delete;

  const CString& Text() const { return m_text; }

  // The index of the lines of `list`, made by `make` from the list once it has been asked for more than `walks`
  // times (null before, and for none): a list met a few times is walked and keeps nothing. The styles of grids on
  // other threads may share the list: the index is made under a lock, and never changes after.
  using MakeIndex = std::shared_ptr<const CGXChoiceListIndex> (*)(const std::shared_ptr<const CGXChoiceListText>&);
  static const CGXChoiceListIndex* Index(const std::shared_ptr<const CGXChoiceListText>& list, MakeIndex make,
                                         unsigned walks) {
    if (list->m_made.load(std::memory_order_acquire)) return list->m_index.get();
    if (list->m_asked.fetch_add(1, std::memory_order_relaxed) < walks) return nullptr;
    std::call_once(list->m_indexed, [&] {
      list->m_index = make(list);
      list->m_made.store(true, std::memory_order_release);
    });
    return list->m_index.get();
  }

 private:
  const CString m_text;  // declared before the index, which goes first
  mutable std::atomic<unsigned> m_asked{0};
  mutable std::atomic<bool> m_made{false};
  mutable std::once_flag m_indexed;
  mutable std::shared_ptr<const CGXChoiceListIndex> m_index;
};

// A choice list's text as the styles composed from it share it, with the index of its lines that the cell
// controls look a text up in (CGXChoiceListIndex, defined by the controls). A list is never changed in place: a
// style given another list gets another text object, so an index made once answers for its text as long as the
// text lives, and goes with it.
#pragma once

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

  // The index of the lines, made by `make` from the text at the first call. The styles of grids on other threads
  // may share the text: the first call makes the index under a lock, and it never changes after.
  const CGXChoiceListIndex& Index(std::shared_ptr<const CGXChoiceListIndex> (*make)(const CString&)) const {
    std::call_once(m_indexed, [&] { m_index = make(m_text); });
    return *m_index;
  }

 private:
  const CString m_text;
  mutable std::once_flag m_indexed;
  mutable std::shared_ptr<const CGXChoiceListIndex> m_index;
};

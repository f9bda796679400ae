// The user attributes of one style: owned attribute objects sorted by ascending id, at most one per id.
#pragma once

#include <vector>

#include "grid/core/CGXAbstractUserAttribute.h"

class CGXUserAttributeMap : public CObject {
  DECLARE_SERIAL(CGXUserAttributeMap)

 public:
  CGXUserAttributeMap() = default;
  CGXUserAttributeMap(const CGXUserAttributeMap& other);
  CGXUserAttributeMap& operator=(const CGXUserAttributeMap& other);
  ~CGXUserAttributeMap() override;

  // Storing: WORD count, then per attribute the object and its id as a WORD. Loading first deletes all.
  void Serialize(CArchive& ar) override;

  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
  CGXAbstractUserAttribute* GetAt(INT_PTR i) const { return m_items[static_cast<std::size_t>(i)]; }

  // Index of the id by binary search; -1 when absent.
  int FindAttribute(WORD id) const;
  const CGXAbstractUserAttribute* GetAttribute(WORD id) const;
  // Takes ownership and stamps the id; an attribute held under the id is deleted and replaced in place.
  // A null attribute removes the id.
  void SetAttribute(WORD id, CGXAbstractUserAttribute* attribute);
  void SetAttributeClone(WORD id, const CGXAbstractUserAttribute& attribute);
  void RemoveAttribute(WORD id);
  BOOL IsEmpty() const { return m_items.empty(); }
  void DeleteAll();
  void SortById();

  // One application profile entry "UA%lu" (the id) per attribute with its value text.
  void WriteProfile(LPCTSTR section) const;

  // Modes of the style merge: 0 override, 1 apply new, 2 copy, 3 exclude.
  void MergeAttributes(const CGXUserAttributeMap& other, int mode);

 private:
  std::vector<CGXAbstractUserAttribute*> m_items;
};

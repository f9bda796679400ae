#include "grid/core/CGXUserAttributeMap.h"

#include <algorithm>
#include <memory>

#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/gxarchive.h"
#include "platform/base/CArchive.h"
#include "platform/base/CArchiveException.h"
#include "platform/framework/CWinApp.h"

IMPLEMENT_SERIAL(CGXUserAttributeMap, CObject, 0)

CGXUserAttributeMap::CGXUserAttributeMap(const CGXUserAttributeMap& other) : CObject() { *this = other; }

CGXUserAttributeMap& CGXUserAttributeMap::operator=(const CGXUserAttributeMap& other) {
  if (this == &other) return *this;
  DeleteAll();
  m_items.reserve(other.m_items.size());
  for (const CGXAbstractUserAttribute* a : other.m_items) {
    CGXAbstractUserAttribute* c = a->Clone();
    if (!c) continue;  // an attribute class that cannot be copied is left out
    c->SetId(a->GetId());
    m_items.push_back(c);
  }
  return *this;
}

CGXUserAttributeMap::~CGXUserAttributeMap() { DeleteAll(); }

void CGXUserAttributeMap::DeleteAll() {
  for (CGXAbstractUserAttribute* a : m_items) delete a;
  m_items.clear();
}

void CGXUserAttributeMap::SortById() {
  std::stable_sort(m_items.begin(), m_items.end(),
                   [](const CGXAbstractUserAttribute* a, const CGXAbstractUserAttribute* b) { return a->GetId() < b->GetId(); });
}

int CGXUserAttributeMap::FindAttribute(WORD id) const {
  auto it = std::lower_bound(m_items.begin(), m_items.end(), id,
                             [](const CGXAbstractUserAttribute* a, WORD v) { return a->GetId() < v; });
  return it != m_items.end() && (*it)->GetId() == id ? static_cast<int>(it - m_items.begin()) : -1;
}

const CGXAbstractUserAttribute* CGXUserAttributeMap::GetAttribute(WORD id) const {
  const int i = FindAttribute(id);
  return i < 0 ? nullptr : m_items[static_cast<std::size_t>(i)];
}

void CGXUserAttributeMap::SetAttribute(WORD id, CGXAbstractUserAttribute* attribute) {
  if (!attribute) {
    RemoveAttribute(id);
    return;
  }
  attribute->SetId(id);
  const int i = FindAttribute(id);
  if (i >= 0) {
    if (m_items[static_cast<std::size_t>(i)] != attribute) delete m_items[static_cast<std::size_t>(i)];
    m_items[static_cast<std::size_t>(i)] = attribute;
    return;
  }
  m_items.push_back(attribute);
  SortById();
}

void CGXUserAttributeMap::SetAttributeClone(WORD id, const CGXAbstractUserAttribute& attribute) {
  SetAttribute(id, attribute.Clone());
}

void CGXUserAttributeMap::RemoveAttribute(WORD id) {
  const int i = FindAttribute(id);
  if (i < 0) return;
  delete m_items[static_cast<std::size_t>(i)];
  m_items.erase(m_items.begin() + i);
}

void CGXUserAttributeMap::WriteProfile(LPCTSTR section) const {
  CWinApp* app = AfxGetApp();
  if (!app || !section) return;
  CGXProfileWriteScope scope;
  for (const CGXAbstractUserAttribute* a : m_items) {
    CString entry;
    entry.Format("UA%lu", static_cast<unsigned long>(a->GetId()));
    app->WriteProfileString(section, entry, a->GetValue());
  }
}

void CGXUserAttributeMap::MergeAttributes(const CGXUserAttributeMap& other, int mode) {
  if (this == &other) {
    if (mode == 3) DeleteAll();
    return;
  }
  if (mode == 3) {
    for (const CGXAbstractUserAttribute* a : other.m_items) RemoveAttribute(a->GetId());
    return;
  }
  if (mode == 2) DeleteAll();
  if (mode < 0 || mode > 2) return;
  std::vector<CGXAbstractUserAttribute*> added;
  for (const CGXAbstractUserAttribute* a : other.m_items) {
    const int i = FindAttribute(a->GetId());
    if (mode == 1 && i >= 0) continue;
    CGXAbstractUserAttribute* c = a->Clone();
    if (!c) continue;
    c->SetId(a->GetId());
    if (i >= 0) {
      delete m_items[static_cast<std::size_t>(i)];
      m_items[static_cast<std::size_t>(i)] = c;
    } else {
      added.push_back(c);
    }
  }
  if (!added.empty()) {
    m_items.insert(m_items.end(), added.begin(), added.end());
    SortById();
  }
}

void CGXUserAttributeMap::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    // A WORD count, with the class library's escape (0xFFFF and a DWORD) for a map of every id.
    ar.WriteCount(m_items.size());
    for (const CGXAbstractUserAttribute* a : m_items) {
      ar.WriteObject(a);
      ar << a->GetId();
    }
    return;
  }
  DeleteAll();
  const DWORD_PTR count = ar.ReadCount();
  // Four bytes at least per attribute (an object tag and the id).
  if (count > ar.GetBytesLeft() / 4) gx::ThrowBadIndex();
  for (DWORD_PTR n = 0; n < count; ++n) {
    std::unique_ptr<CObject> object(gx::ReadOwnedObject(ar, RUNTIME_CLASS(CGXAbstractUserAttribute)));
    WORD id = 0;
    ar >> id;
    if (!object) AfxThrowArchiveException(CArchiveException::badClass);
    auto* attribute = static_cast<CGXAbstractUserAttribute*>(object.release());
    // Appended as read, then sorted once; a repeated id replaces the earlier one.
    attribute->SetId(id);
    const int i = FindAttribute(id);
    if (i >= 0) {
      delete m_items[static_cast<std::size_t>(i)];
      m_items[static_cast<std::size_t>(i)] = attribute;
    } else {
      m_items.push_back(attribute);
      if (m_items.size() > 1 && m_items[m_items.size() - 2]->GetId() > id) SortById();
    }
  }
}

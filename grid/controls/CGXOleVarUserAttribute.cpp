#include "grid/controls/CGXOleVarUserAttribute.h"

#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXOleVarUserAttribute, CGXAbstractUserAttribute, 0)

CGXOleVarUserAttribute::~CGXOleVarUserAttribute() {
  CGXCaptiveManager<COleVariant>::Release(m_pVariant);
}

void CGXOleVarUserAttribute::SetVariant(const VARIANT& value) {
  if (!m_pVariant)
    m_pVariant = CGXCaptiveManager<COleVariant>::Pool().Acquire();
  // A reused variant still holds its last value.
  m_pVariant->Clear();
  VariantCopy(m_pVariant, &value);
}

CGXAbstractUserAttribute* CGXOleVarUserAttribute::Clone() const {
  auto* copy = new CGXOleVarUserAttribute;
  copy->SetId(m_nId);
  if (m_pVariant) copy->SetVariant(*m_pVariant);
  return copy;
}

BOOL CGXOleVarUserAttribute::IsEmpty() const { return !m_pVariant || m_pVariant->vt == VT_EMPTY; }

BOOL CGXOleVarUserAttribute::IsSameValue(const CGXAbstractUserAttribute& other) const {
  const auto* o = dynamic_cast<const CGXOleVarUserAttribute*>(&other);
  return o && o->m_nId == m_nId && o->m_pVariant == m_pVariant;
}

void CGXOleVarUserAttribute::Serialize(CArchive& ar) {
  auto& pool = CGXCaptiveManager<COleVariant>::Pool();
  if (ar.IsStoring()) {
    ar << static_cast<DWORD>(m_pVariant ? pool.NumberOf(m_pVariant) : 0);
    return;
  }
  DWORD number = 0;
  ar >> number;
  const COleVariant* source = number ? pool.Find(number) : nullptr;
  if (source && source != m_pVariant) SetVariant(*source);
}

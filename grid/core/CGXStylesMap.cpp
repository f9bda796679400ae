#include "grid/core/CGXStylesMap.h"

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXGridParamCopyOperatorImp.h"
#include "grid/core/gxstrings.h"
#include "platform/base/CArchive.h"
#include "platform/base/CException.h"

IMPLEMENT_SERIAL(CGXStylesMap, CObject, 0)

CGXStylesMap::CGXStylesMap(CRuntimeClass* styleClass)
    : m_pStyleClass(styleClass ? styleClass : RUNTIME_CLASS(CGXStyle)) {}

CGXStylesMap::CGXStylesMap(const CGXStylesMap& other) : CObject(), m_pStyleClass(RUNTIME_CLASS(CGXStyle)) {
  *this = other;
}

CGXStylesMap& CGXStylesMap::operator=(const CGXStylesMap& other) {
  if (this == &other) return *this;
  if (CGXAbstractGridParamCopyOperatorImp* imp = CGXGridGlobals::Get().m_pParamCopyOperatorImp)
    imp->AssignStylesMap(*this, other);
  return *this;
}

CGXStylesMap::~CGXStylesMap() { DeleteContents(); }

void CGXStylesMap::Serialize(CArchive& ar) {
  if (CGXAbstractGridDocSerializeImp* imp = CGXGridGlobals::Get().m_pDocSerializeImp) imp->SerializeStylesMap(*this, ar);
}

std::unique_ptr<CGXStyle> CGXStylesMap::CreateStyle() const {
  // The style class is given by the program (never by an archive), so it is a CGXStyle.
  CObject* o = m_pStyleClass->CreateObject();
  if (auto* s = dynamic_cast<CGXStyle*>(o)) return std::unique_ptr<CGXStyle>(s);
  delete o;
  return std::make_unique<CGXStyle>();
}

WORD CGXStylesMap::TakeNextId() {
  // Ids are 16 bits: once every one is given, new names are refused rather than sharing an id.
  if (m_baseStyles.size() > 0xFFFF) AfxThrowNotSupportedException();
  while (m_baseStyles.count(m_nNextId)) ++m_nNextId;
  return m_nNextId++;
}

void CGXStylesMap::StoreEntry(WORD id, UINT resourceId, const CString& name, const CGXStyle& style, DWORD flags) {
  auto it = m_baseStyles.find(id);
  if (it != m_baseStyles.end()) {
    // The name, resource id and flags of an existing entry stay.
    it->second->style.reset(style.Clone());
    return;
  }
  auto e = std::make_unique<GXBaseStyleEntry>();
  e->id = id;
  e->resourceId = resourceId;
  e->name = name;
  e->style.reset(style.Clone());
  e->flags = flags;
  m_baseStyles.emplace(id, std::move(e));
}

WORD CGXStylesMap::RegisterStyle(LPCTSTR name, const CGXStyle& style, DWORD flags) {
  const std::string key = name ? name : "";
  auto it = m_idsByName.find(key);
  WORD id = 0;
  if (it != m_idsByName.end()) {
    id = it->second;
  } else {
    id = TakeNextId();
    m_idsByName.emplace(key, id);
  }
  StoreEntry(id, 0, CString(key), style, flags);
  return id;
}

WORD CGXStylesMap::RegisterStyleFromResource(UINT nID, const CGXStyle& style, DWORD flags) {
  CString name;
  if (!gx::LoadGridString(name, nID)) name.Format("STYLE%u", nID);
  auto it = m_idsByResource.find(nID);
  WORD id = 0;
  if (it != m_idsByResource.end()) {
    id = it->second;
  } else {
    id = TakeNextId();
    m_idsByResource.emplace(nID, id);
  }
  m_idsByName[name.Str()] = id;
  StoreEntry(id, nID, name, style, flags);
  return id;
}

BOOL CGXStylesMap::LookupStyle(WORD id, CGXStyle*& style) const {
  auto it = m_baseStyles.find(id);
  if (it == m_baseStyles.end()) return FALSE;
  style = it->second->style.get();
  return TRUE;
}

WORD CGXStylesMap::GetIdFromName(LPCTSTR name) const {
  auto it = m_idsByName.find(name ? name : "");
  return it == m_idsByName.end() ? 0 : it->second;
}

WORD CGXStylesMap::GetIdFromResourceId(UINT nID) const {
  auto it = m_idsByResource.find(nID);
  return it == m_idsByResource.end() ? 0 : it->second;
}

LPCTSTR CGXStylesMap::GetStyleName(WORD id, UINT& nID) const {
  auto it = m_baseStyles.find(id);
  if (it == m_baseStyles.end()) {
    nID = 0;
    return nullptr;
  }
  nID = it->second->resourceId;
  return it->second->name.GetString();
}

POSITION CGXStylesMap::GetStartPosition() const {
  return m_baseStyles.empty() ? nullptr : reinterpret_cast<POSITION>(m_baseStyles.begin()->second.get());
}

void CGXStylesMap::GetNextStyle(POSITION& pos, WORD& id, CString& name, UINT& nID, const CGXStyle*& style) const {
  const auto* e = reinterpret_cast<const GXBaseStyleEntry*>(pos);
  if (!e) return;
  id = e->id;
  name = e->name;
  nID = e->resourceId;
  style = e->style.get();
  auto next = m_baseStyles.upper_bound(e->id);
  pos = next == m_baseStyles.end() ? nullptr : reinterpret_cast<POSITION>(next->second.get());
}

void CGXStylesMap::UpdateStandardStyleIds() {
  m_wStyleStandard = GetIdFromResourceId(GX_IDS_STYLE_STANDARD);
  m_wStyleColHeader = GetIdFromResourceId(GX_IDS_STYLE_COLHEADER);
  m_wStyleRowHeader = GetIdFromResourceId(GX_IDS_STYLE_ROWHEADER);
}

void CGXStylesMap::CreateStandardStyles() {
  std::unique_ptr<CGXStyle> style = CreateStyle();
  const CGXGridGlobals& g = CGXGridGlobals::Get();
  const bool nullBorders = g.m_bSwitch1 && g.m_bSwitch3;

  style->SetDefault();
  style->SetFont(CGXFont().SetDefaultFont().SetPointSize(8));
  m_wStyleStandard = RegisterStyleFromResource(GX_IDS_STYLE_STANDARD, *style, 1);

  style->Free();
  if (nullBorders) style->SetBorder(GX_BORDER_ALL, CGXBorderPen(CGXBorderPen::kNull, 1, 0));
  style->SetFont(CGXFont().SetBold(TRUE))
      .SetInteriorColor(0xEF000000)  // COLOR_BTNFACE
      .SetHorizontalAlignment(1)
      .SetVerticalAlignment(GX_DT_VCENTER)
      .SetControl(GX_IDS_CTRL_HEADER);
  m_wStyleColHeader = RegisterStyleFromResource(GX_IDS_STYLE_COLHEADER, *style, 1);

  style->Free();
  if (nullBorders) style->SetBorder(GX_BORDER_ALL, CGXBorderPen(CGXBorderPen::kNull, 1, 0));
  style->SetControl(GX_IDS_CTRL_HEADER).SetInteriorColor(0xEF000000);
  m_wStyleRowHeader = RegisterStyleFromResource(GX_IDS_STYLE_ROWHEADER, *style, 1);
}

void CGXStylesMap::AddControl(UINT controlId) {
  if (m_controlNames.count(controlId)) return;
  CString name;
  gx::LoadStringOrThrow(name, controlId);
  m_controlNames.emplace(controlId, name);
}

const GXUserAttributeEntry& CGXStylesMap::AddUserAttribute(WORD id, const CGXStyle* editStyle) {
  auto it = m_userAttributes.find(id);
  if (it != m_userAttributes.end()) return *it->second;
  auto e = std::make_unique<GXUserAttributeEntry>();
  gx::LoadStringOrThrow(e->name, id);
  e->id = id;
  e->style = CreateStyle();
  if (editStyle) *e->style = *editStyle;
  return *m_userAttributes.emplace(id, std::move(e)).first->second;
}

void CGXStylesMap::AddEntry(std::unique_ptr<GXBaseStyleEntry> entry) {
  const WORD id = entry->id;
  if (entry->resourceId) m_idsByResource[entry->resourceId] = id;
  m_idsByName[entry->name.Str()] = id;
  m_baseStyles[id] = std::move(entry);
}

void CGXStylesMap::AddUserAttributeEntry(std::unique_ptr<GXUserAttributeEntry> entry) {
  const WORD id = entry->id;
  m_userAttributes[id] = std::move(entry);
}

void CGXStylesMap::DeleteContents() {
  m_baseStyles.clear();
  m_controlNames.clear();
  m_userAttributes.clear();
  m_idsByName.clear();
  m_idsByResource.clear();
  m_nNextId = 0;
}

void CGXStylesMap::WriteProfile() const {
  if (CGXAbstractGridProfileImp* imp = CGXGridGlobals::Get().m_pProfileImp) imp->WriteStylesMapProfile(*this);
}

BOOL CGXStylesMap::ReadProfile() {
  CGXAbstractGridProfileImp* imp = CGXGridGlobals::Get().m_pProfileImp;
  return imp ? imp->ReadStylesMapProfile(*this) : FALSE;
}

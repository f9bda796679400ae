#include "grid/core/CGXProperties.h"

#include "grid/core/CGXAbstractGridPrintImp.h"
#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridParamCopyOperatorImp.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/gxcolor.h"
#include "grid/core/gxstrings.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXProperties, CObject, 0)

namespace {

// A system colour is kept as its current value with the tag 254 - index.
COLORREF SystemColor(int index) { return gx::TaggedColor({gx::kindSystem, static_cast<DWORD>(index)}); }

}  // namespace

CGXProperties::CGXProperties() {
  for (UINT id : {51006u, 51007u, 51008u, 51009u, 20059u}) {
    CString name;
    gx::LoadGridString(name, id);
    m_frameNames.push_back(name);
  }
  for (const char* t : {"$F", "$A", "$P", "$N", "$D", "$R"}) m_tokens.emplace_back(t);
  AddColorProperty(52232u, SystemColor(17));  // "Grid Lines": gray text
  AddColorProperty(52233u, SystemColor(2));   // "Fixed Lines": active caption
  AddColorProperty(52234u, 0x0000FF);         // "Tracking Line"
  AddColorProperty(52236u, 0x0000FF);         // "Dragging Line"
  AddColorProperty(52235u, SystemColor(15));  // "Background": 3-D face
  BuildHeaderFooter();
}

CGXProperties::CGXProperties(const CGXProperties& other) : CGXProperties() { *this = other; }

CGXProperties& CGXProperties::operator=(const CGXProperties& other) {
  if (this == &other) return *this;
  if (CGXAbstractGridParamCopyOperatorImp* imp = CGXGridGlobals::Get().m_pParamCopyOperatorImp)
    imp->AssignProperties(*this, other);
  return *this;
}

CGXProperties::~CGXProperties() { RemoveAllUserProperties(); }

void CGXProperties::BuildHeaderFooter() {
  m_header.DeleteContents();
  m_footer.DeleteContents();
  m_header.StoreRowCount(10);
  m_header.StoreColCount(3);
  m_footer.StoreRowCount(10);
  m_footer.StoreColCount(3);
  CGXStyle s;
  m_header.StoreStyle(1, 1, &s.SetValue("$D"), gxOverride);
  m_header.StoreStyle(1, 3, &s.SetValue("$P/$N"), gxOverride);
  CGXStyle r;
  r.SetValue("$R").SetFont(CGXFont().SetBold(TRUE).SetPointSize(16));
  m_footer.StoreStyle(1, 2, &r, gxOverride);
}

void CGXProperties::Serialize(CArchive& ar) {
  if (CGXAbstractGridDocSerializeImp* imp = CGXGridGlobals::Get().m_pDocSerializeImp) imp->SerializeProperties(*this, ar);
}

BOOL CGXProperties::WriteProfile() const {
  CGXAbstractGridProfileImp* imp = CGXGridGlobals::Get().m_pProfileImp;
  if (!imp) return FALSE;
  imp->WritePropertiesProfile(*this);
  return TRUE;
}

BOOL CGXProperties::ReadProfile() {
  CGXAbstractGridProfileImp* imp = CGXGridGlobals::Get().m_pProfileImp;
  return imp ? imp->ReadPropertiesProfile(*this) : FALSE;
}

void CGXProperties::AddDefaultUserProperties() {
  CString choices;
  for (std::size_t i = 0; i < m_frameNames.size(); ++i) {
    if (i) choices += "\n";
    choices += m_frameNames[i];
  }
  CGXStyle value;
  value.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList(choices).SetValue(m_frameNames.empty() ? CString() : m_frameNames[0]);
  AddUserProperty(51005, value);
}

int CGXProperties::AddToken(LPCTSTR token) {
  m_tokens.emplace_back(token ? token : "");
  return static_cast<int>(m_tokens.size()) - 1;
}

const CString& CGXProperties::GetTokenValue(int token) const {
  static const CString empty;
  return token >= 0 && static_cast<std::size_t>(token) < m_tokenValues.size() ? m_tokenValues[static_cast<std::size_t>(token)]
                                                                              : empty;
}

void CGXProperties::SetTokenValue(int token, const CString& value) {
  if (token < 0 || static_cast<std::size_t>(token) >= m_tokens.size()) return;
  if (m_tokenValues.size() < m_tokens.size()) m_tokenValues.resize(m_tokens.size());
  m_tokenValues[static_cast<std::size_t>(token)] = value;
}

int CGXProperties::AddColorProperty(LPCTSTR name, COLORREF color) {
  const CString n(name ? name : "");
  for (std::size_t i = 0; i < m_colorNames.size(); ++i)
    if (m_colorNames[i] == n) return static_cast<int>(i);
  m_colorNames.push_back(n);
  m_colors.push_back(color);
  return static_cast<int>(m_colorNames.size()) - 1;
}

int CGXProperties::AddColorProperty(UINT id, COLORREF color) {
  CString name;
  if (!gx::LoadGridString(name, id)) name.Format("COLOR%u", id);
  return AddColorProperty(name.GetString(), color);
}

COLORREF CGXProperties::GetColor(int index) const {
  return index >= 0 && index < static_cast<int>(m_colors.size()) ? m_colors[static_cast<std::size_t>(index)] : 0;
}

GXUserPropertyEntry& CGXProperties::UserPropertyEntry(WORD id, const CString& name) {
  auto it = m_userProps.find(id);
  if (it != m_userProps.end()) return *it->second;
  auto e = std::make_unique<GXUserPropertyEntry>();
  e->id = id;
  e->name = name;
  e->value = std::make_unique<CGXStyle>();
  return *m_userProps.emplace(id, std::move(e)).first->second;
}

void CGXProperties::AddUserProperty(WORD id, const CGXStyle& value) {
  auto it = m_userProps.find(id);
  if (it == m_userProps.end()) {
    CString name;
    if (!gx::LoadGridString(name, id)) name.Format("USERPROP%u", id);
    UserPropertyEntry(id, name).value.reset(value.Clone());
    return;
  }
  it->second->value.reset(value.Clone());
}

const CGXStyle& CGXProperties::GetUserProperty(WORD id) const {
  static const CGXStyle empty;
  auto it = m_userProps.find(id);
  return it != m_userProps.end() && it->second->value ? *it->second->value : empty;
}

void CGXProperties::RemoveAllUserProperties() {
  m_colorNames.clear();
  m_colors.clear();
  m_userProps.clear();
}

void CGXProperties::CopyFrom(const CGXProperties& o) {
  if (this == &o) return;
  RemoveAllUserProperties();
  m_b3dHeaders = o.m_b3dHeaders;
  m_bVertLines = o.m_bVertLines;
  m_bHorzLines = o.m_bHorzLines;
  m_bMarkRowHeader = o.m_bMarkRowHeader;
  m_bMarkColHeader = o.m_bMarkColHeader;
  m_bFurtherFlag = o.m_bFurtherFlag;
  m_sSection = o.m_sSection;
  m_nZoom = o.m_nZoom;
  m_colorNames = o.m_colorNames;
  m_colors = o.m_colors;
  for (const auto& [id, e] : o.m_userProps) {
    GXUserPropertyEntry& mine = UserPropertyEntry(id, e->name);
    mine.value.reset(e->value ? e->value->Clone() : new CGXStyle);
  }
  std::copy(std::begin(o.m_nMargins), std::end(o.m_nMargins), std::begin(m_nMargins));
  m_bCenterHorizontal = o.m_bCenterHorizontal;
  m_bCenterVertical = o.m_bCenterVertical;
  m_bPrintColHeaders = o.m_bPrintColHeaders;
  m_bPrintHorzLines = o.m_bPrintHorzLines;
  m_bPrintRowHeaders = o.m_bPrintRowHeaders;
  m_bPrintVertLines = o.m_bPrintVertLines;
  m_nPageOrder = o.m_nPageOrder;
  m_bBlackWhite = o.m_bBlackWhite;
  m_bPrintFrame = o.m_bPrintFrame;
  std::copy(std::begin(o.m_nDistances), std::end(o.m_nDistances), std::begin(m_nDistances));
  m_nFirstPage = o.m_nFirstPage;
  m_header = o.m_header;
  m_footer = o.m_footer;
}

CGXAbstractGridPrintImp* CGXProperties::PrintImp() const {
  const CGXGridGlobals& g = CGXGridGlobals::Get();
  CGXGridCore* grid = g.GetFirstGridForObject(this);
  return grid && g.m_pfnGetGridPrintImp ? g.m_pfnGetGridPrintImp(grid) : nullptr;
}

void CGXProperties::PrintHeaderAndFooter(CDC* pDC, CPrintInfo* info, CDocument* document, CGXGridParam* param) {
  if (CGXAbstractGridPrintImp* imp = PrintImp()) imp->PrintHeaderAndFooter(*this, pDC, info, document, param);
}

int CGXProperties::CalcHeaderFooterHeight(CDC* pDC, const CGXData& table, CGXStylesMap* stylesMap) {
  CGXAbstractGridPrintImp* imp = PrintImp();
  return imp ? imp->CalcHeaderFooterHeight(pDC, table, stylesMap) : 0;
}

void CGXProperties::DrawHeaderFooter(CDC* pDC, CPrintInfo* info, const CRect& rect, const CGXData& table,
                                     CGXStylesMap* stylesMap) {
  if (CGXAbstractGridPrintImp* imp = PrintImp()) imp->DrawHeaderFooter(*this, pDC, info, rect, table, stylesMap);
}

CString CGXProperties::GetTokenArgs(int token, CString& rest) {
  CGXAbstractGridPrintImp* imp = PrintImp();
  return imp ? imp->GetTokenValue(*this, token, rest) : CString();
}

CString CGXProperties::SubstTokenText(const CString& text) {
  CGXAbstractGridPrintImp* imp = PrintImp();
  return imp ? imp->SubstituteTokens(*this, text) : CString();
}

CString CGXProperties::SplitHeaderFooterText(CString& text) {
  CGXAbstractGridPrintImp* imp = PrintImp();
  return imp ? imp->SplitFormatPart(text) : CString();
}

#include "brimstead/wizards/WizStepNode.h"

#include "platform/gdi/CBitmap.h"

CWizStepNode::CWizStepNode(CVornWizTabCtrl* owner) : m_pOwner(owner) {}

CWizStepNode::~CWizStepNode() = default;

int CWizStepNode::GetLevel() const {
  int level = 0;
  for (const CWizStepNode* p = m_pParent; p; p = p->m_pParent)
    ++level;
  return level;
}

bool CWizStepNode::IsEnabled() const {
  for (const CWizStepNode* p = this; p; p = p->m_pParent)
    if (!p->m_bEnabled || !p->m_bVisible)
      return false;
  return true;
}

bool CWizStepNode::IsVisible() const {
  for (const CWizStepNode* p = this; p; p = p->m_pParent)
    if (!p->m_bVisible)
      return false;
  return true;
}

void CWizStepNode::SetEnabled(bool enabled) {
  m_bEnabled = enabled ? 1 : 0;
  if (!enabled)
    m_bComplete = 0;
}

void CWizStepNode::SetHeader(const CString& text) {
  m_Header = text;
  const int crlf = text.Find("\r\n");
  if (crlf < 0) {
    m_Title = text;
    m_Description.Empty();
  } else {
    m_Title = text.Left(crlf);
    m_Description = text.Mid(crlf + 2);
  }
}

void CWizStepNode::SetImage(std::unique_ptr<CBitmap> image) { m_pImage = std::move(image); }

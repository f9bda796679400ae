#include "grid/core/CGXFindReplaceState.h"

CGXFindReplaceState& CGXFindReplaceState::Get() {
  static CGXFindReplaceState state;
  return state;
}

void CGXFindReplaceState::PrepareFindText() {
  m_strFindUpper = m_strFind;
  if (!m_bCase) m_strFindUpper.MakeUpper();
}

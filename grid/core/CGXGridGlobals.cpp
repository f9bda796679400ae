#include "grid/core/CGXGridGlobals.h"

CGXGridGlobals& CGXGridGlobals::Get() {
  static CGXGridGlobals globals;
  return globals;
}

CGXGridGlobals::~CGXGridGlobals() {
  // Newest first, as the list's head is its newest entry.
  while (!m_autoDelete.empty()) m_autoDelete.pop_back();
}

void CGXGridGlobals::AddToAutoDeleteList(CGXImpBase* object) {
  if (object) m_autoDelete.emplace_back(object);
}

namespace gx {

BOOL ParseDisplayText(const char* text, double& value) {
  CGXAbstractNumberFormattingImp* imp = CGXGridGlobals::Get().m_pNumberFormattingImp;
  if (!imp || !text) return FALSE;
  unsigned format = 0, places = 0;
  return imp->ParseNumber(text, value, format, places);
}

}  // namespace gx

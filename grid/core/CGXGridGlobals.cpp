#include "grid/core/CGXGridGlobals.h"

#include <algorithm>

#include "grid/core/CGXControlFactory.h"
#include "platform/base/LocaleTable.h"

CGXGridGlobals& CGXGridGlobals::Get() {
  static CGXGridGlobals globals;
  return globals;
}

CGXGridGlobals::~CGXGridGlobals() {
  m_pFactory.reset();
  // Newest first, as the list's head is its newest entry.
  while (!m_autoDelete.empty()) m_autoDelete.pop_back();
}

void CGXGridGlobals::RefreshLocaleSettings() {
  if (!m_bFollowLocale) return;
  char buf[8] = {};
  // A locale without the entry keeps the separator the grid had.
  if (GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 1) m_cDecimalSeparator = buf[0];
  if (GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buf, sizeof buf) > 1) m_cThousandSeparator = buf[0];
  plat::SetRuntimeNumericLocaleToUser(true);
}

void CGXGridGlobals::SetControlFactory(CGXAbstractControlFactory* factory) {
  if (factory != m_pFactory.get()) m_pFactory.reset(factory);
}

void CGXGridGlobals::AddRegisteredClassName(const char* name) {
  if (name && std::find(m_classNames.begin(), m_classNames.end(), name) == m_classNames.end())
    m_classNames.push_back(name);
}

void CGXGridGlobals::AddGridForObject(const void* object, CGXGridCore* grid) {
  auto& grids = m_gridsByObject[object];
  if (std::find(grids.begin(), grids.end(), grid) == grids.end()) grids.push_back(grid);
}

CGXGridCore* CGXGridGlobals::GetFirstGridForObject(const void* object) const {
  auto it = m_gridsByObject.find(object);
  return it == m_gridsByObject.end() || it->second.empty() ? nullptr : it->second.front();
}

void CGXGridGlobals::RemoveGrid(CGXGridCore* grid) {
  for (auto it = m_gridsByObject.begin(); it != m_gridsByObject.end();) {
    std::erase(it->second, grid);
    it = it->second.empty() ? m_gridsByObject.erase(it) : std::next(it);
  }
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

void RefreshDateTimeSettings() {
  if (CGXAbstractDateTimeImp* imp = CGXGridGlobals::Get().m_pDateTimeImp) imp->RefreshSettings();
}

int GetDateOrderSetting(BOOL bReread, int* fourDigitYear, char* dateSeparator) {
  CGXAbstractDateTimeImp* imp = CGXGridGlobals::Get().m_pDateTimeImp;
  return imp ? imp->GetDateOrder(bReread, fourDigitYear, dateSeparator) : 3;
}

char GetTimeSeparatorSetting(BOOL bReread) {
  CGXAbstractDateTimeImp* imp = CGXGridGlobals::Get().m_pDateTimeImp;
  return imp ? imp->GetTimeSeparator(bReread) : ':';
}

#include "platform/framework/DialogTemplate.h"

#include "platform/base/MulDiv.h"
#include "platform/base/ResourceTable.h"

namespace plat {

void RegisterDialogTemplate(HINSTANCE module, UINT id, const DialogTemplate& dialog) {
  ResourceTable::AddResource(module, RT_DIALOG, MAKEINTRESOURCE(id),
                             std::span<const BYTE>(reinterpret_cast<const BYTE*>(&dialog), sizeof(DialogTemplate)));
}

const DialogTemplate* FindDialogTemplate(LPCSTR name) {
  HINSTANCE module = AfxFindResourceHandle(name, RT_DIALOG);
  if (!module) return nullptr;
  HRSRC found = ::FindResource(module, name, RT_DIALOG);
  if (!found || ::SizeofResource(module, found) != sizeof(DialogTemplate)) return nullptr;
  const auto* dialog = static_cast<const DialogTemplate*>(::LockResource(::LoadResource(module, found)));
  return dialog && dialog->signature == kDialogSignature ? dialog : nullptr;
}

SIZE DialogBaseUnits(WORD pointSize) {
  if (pointSize == 0 || pointSize == 8) return SIZE{6, 13};
  return SIZE{::MulDiv(6, pointSize, 8), ::MulDiv(13, pointSize, 8)};
}

CRect DialogUnitsToPixels(const CRect& units, SIZE base) {
  return CRect(::MulDiv(units.left, base.cx, 4), ::MulDiv(units.top, base.cy, 8), ::MulDiv(units.right, base.cx, 4),
               ::MulDiv(units.bottom, base.cy, 8));
}

}  // namespace plat

#include "platform/ole/OleInsertObject.h"

#include "platform/framework/CInsertObjectDialog.h"

UINT OleUIInsertObject(OLEUIINSERTOBJECT* block) {
  if (!block || block->cbStruct != sizeof(OLEUIINSERTOBJECT)) return OLEUI_ERR_STANDARDMIN;
  const bool create = (block->dwFlags & IOF_CREATENEWOBJECT) != 0;
  if (create && (!block->ppvObj || !block->lpIStorage)) return OLEUI_ERR_STANDARDMIN;
  std::vector<InsertObjectType> types;
  for (const auto& server : plat::ole::RegisteredServers()) types.push_back({server.progId, server.fullType});
  CInsertObjectDialog dialog(std::move(types), block->lpszCaption);
  dialog.m_hwndOwner = block->hWndOwner;
  const INT_PTR answer = dialog.DoModal();
  if (answer == IDCANCEL) return OLEUI_CANCEL;
  if (answer != IDOK) return OLEUI_ERR_STANDARDMIN;
  const std::u16string progId = plat::ole::Wide(dialog.GetProgId().Str());
  block->sc = CLSIDFromProgID(progId.c_str(), &block->clsid);
  if (FAILED(block->sc)) return OLEUI_IOERR_SCODEHASERROR;
  if (create) {
    *block->ppvObj = nullptr;
    block->sc = OleCreate(block->clsid, block->iid, block->oleRender, block->lpFormatEtc, block->lpIOleClientSite,
                          block->lpIStorage, block->ppvObj);
    if (FAILED(block->sc)) return OLEUI_IOERR_SCODEHASERROR;
  }
  return OLEUI_OK;
}

// The insert-object dialog of the object layer: the chooser of the framework (CInsertObjectDialog) over
// the registered servers' types, which then creates the chosen type's object in the caller's storage.
#pragma once

#include "platform/ole/OleApi.h"

constexpr DWORD IOF_SELECTCREATENEW = 0x00000002;
constexpr DWORD IOF_CREATENEWOBJECT = 0x00000020;
constexpr UINT OLEUI_OK = 1, OLEUI_CANCEL = 2;
// The dialog could not run (no servers, a bad block, an answer it did not understand).
constexpr UINT OLEUI_ERR_STANDARDMIN = 100;
// The object could not be created; `sc` holds the reason.
constexpr UINT OLEUI_IOERR_SCODEHASERROR = 101;

struct OLEUIINSERTOBJECT {
  DWORD cbStruct = sizeof(OLEUIINSERTOBJECT);
  DWORD dwFlags = 0;
  HWND hWndOwner = nullptr;
  LPCSTR lpszCaption = nullptr;
  CLSID clsid = GUID_NULL;  // out: the chosen type
  LPSTR lpszFile = nullptr;
  UINT cchFile = 0;
  IID iid = IID_IUnknown;  // with IOF_CREATENEWOBJECT: the interface of the new object
  DWORD oleRender = OLERENDER_NONE;
  FORMATETC* lpFormatEtc = nullptr;
  IOleClientSite* lpIOleClientSite = nullptr;
  IStorage* lpIStorage = nullptr;
  void** ppvObj = nullptr;
  HRESULT sc = S_OK;
};

// OLEUI_OK with the type chosen (and, with IOF_CREATENEWOBJECT, the new object in *ppvObj), OLEUI_CANCEL,
// or an error code.
UINT OleUIInsertObject(OLEUIINSERTOBJECT* block);

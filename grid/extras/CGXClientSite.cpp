#include "grid/extras/CGXClientSite.h"

#include "grid/extras/CGXOleViewer.h"

HRESULT CGXClientSite::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IOleClientSite) return E_NOINTERFACE;
  *out = static_cast<IOleClientSite*>(this);
  AddRefCount();
  return S_OK;
}

HRESULT CGXClientSite::SaveObject() {
  if (!m_pViewer) return S_OK;
  IOleObject* object = m_pViewer->GetOleObject();
  IPersistStorage* persist = nullptr;
  if (!object || FAILED(object->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist))))
    return E_FAIL;
  if (persist->IsDirty() == S_OK) {
    if (FAILED(OleSave(persist, m_pViewer->GetStorage(), TRUE))) {
      persist->Release();
      return E_FAIL;
    }
    persist->SaveCompleted(nullptr);
  }
  m_pViewer->StoreObject();
  persist->Release();
  m_pViewer->NotifyChanged();
  return S_OK;
}

HRESULT CGXAdviseSink::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IAdviseSink) return E_NOINTERFACE;
  *out = static_cast<IAdviseSink*>(this);
  AddRefCount();
  return S_OK;
}

void CGXAdviseSink::OnClose() {
  if (m_pViewer) m_pViewer->CloseObject();
}

// The container's side of an OLE object cell's object: the client site, through which the object asks to
// be saved, and the advise sink, through which it reports that it closed. Both belong to one viewer (not
// reference counted); the viewer makes them with one reference and hands them to the object, whose last
// Release deletes them.
//
// Release returns the new count (0 when the object deleted itself), as reference counting promises its
// callers.
#pragma once

#include "platform/ole/OleApi.h"

class CGXOleViewer;

class CGXClientSite : public IOleClientSite, public plat::ole::ComBase {
 public:
  explicit CGXClientSite(CGXOleViewer* viewer) : m_pViewer(viewer) {}

  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override { return AddRefCount(); }
  ULONG Release() override { return ReleaseCount(); }
  // Saves a dirty object into the viewer's storage, then lets the viewer store the storage into the cell
  // value (also when the object was not dirty) and report the change.
  HRESULT SaveObject() override;
  HRESULT GetMoniker(DWORD, DWORD, void**) override { return E_NOTIMPL; }
  HRESULT GetContainer(void**) override { return E_NOTIMPL; }
  HRESULT ShowObject() override { return S_OK; }
  HRESULT OnShowWindow(BOOL) override { return E_NOTIMPL; }
  HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }

  // The viewer goes: the site stays for the object's references but tells nobody.
  void DetachViewer() { m_pViewer = nullptr; }
  ULONG RefCount() const { return m_refs; }

 private:
  CGXOleViewer* m_pViewer;
};

class CGXAdviseSink : public IAdviseSink, public plat::ole::ComBase {
 public:
  explicit CGXAdviseSink(CGXOleViewer* viewer) : m_pViewer(viewer) {}

  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override { return AddRefCount(); }
  ULONG Release() override { return ReleaseCount(); }
  void OnDataChange(FORMATETC*, STGMEDIUM*) override {}
  void OnViewChange(DWORD, LONG) override {}
  void OnRename(void*) override {}
  void OnSave() override {}
  // The object closed: the viewer closes its side.
  void OnClose() override;

  void DetachViewer() { m_pViewer = nullptr; }
  ULONG RefCount() const { return m_refs; }

 private:
  CGXOleViewer* m_pViewer;
};

// The viewers of OLE object cells: what turns a cell's stored object (a byte array) into a live embedded
// object and back, and what creates objects from the clipboard or the insert-object dialog.
//
// Stored object (the cell value, VT_ARRAY | VT_UI1), little-endian:
//   0  WORD 0x1C15 (signature)       2  WORD 20 (fixed part)        4  DWORD 2
//   8  WORD user-type length (with its zero)   10 WORD program-identifier length (with its zero)
//   12 WORD 20 (user-type offset)    14 WORD 20 + user-type length (program-identifier offset)
//   16 WORD 0xFFFF                   18 WORD 0xFFFF
//   20 the user-type name, then the program identifier, each zero-terminated
//   then the object in the object layer's OLE 1 stream form, then a DWORD 0 trailer.
//
// Call flow of opening a cell (CGXOlePreview's hot-spot button):
//   OpenObject -> GetDataAsGlobal (viewer value, else the cell's attribute 52794)
//     data:  LoadObject: header -> class id; object part -> stream -> storage; create, site, load,
//            primary verb (activate), advise
//     empty: InsertNewObject: storage, insert-object dialog (creates the object), primary verb, advise
//   the object's server saves: CGXClientSite::SaveObject -> OleSave -> StoreObject (value = new array)
//   the server closes: CGXAdviseSink::OnClose -> CloseObject
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/base/COleVariant.h"
#include "platform/base/CObject.h"
#include "platform/base/GlobalMemory.h"
#include "platform/ole/OleTypes.h"

class CGXGridCore;
class CGXOlePreview;
class CGXStyle;

// The parts of a stored object: offsets and lengths checked against the array.
struct CGXOleCellHeader {
  std::string userType;
  std::string progId;
  std::size_t objectOffset = 0;
  std::size_t objectLength = 0;
};
// The header of a stored object; nullopt when the signature differs or the lengths and offsets do not fit
// the array (nothing is read past its end).
std::optional<CGXOleCellHeader> GXParseOleCellHeader(std::span<const BYTE> bytes);
// The header bytes for a user type and a program identifier.
std::vector<BYTE> GXMakeOleCellHeader(const std::string& userType, const std::string& progId);

// A map from interface id to interface, each held with one reference, released when removed or when the
// manager is emptied.
template <class T>
class CGXInterfaceManager {
 public:
  CGXInterfaceManager() = default;
  CGXInterfaceManager(const CGXInterfaceManager&) = delete;
  CGXInterfaceManager& operator=(const CGXInterfaceManager&) = delete;
  ~CGXInterfaceManager() { RemoveAll(); }
  // Takes over one reference (a previous interface of the id is released).
  void Add(REFIID iid, T* object) {
    Remove(iid);
    if (object) m_map[iid] = object;
  }
  T* Get(REFIID iid) const {
    auto it = m_map.find(iid);
    return it == m_map.end() ? nullptr : it->second;
  }
  template <class I>
  I* GetAs(REFIID iid) const {
    return static_cast<I*>(Get(iid));
  }
  void Remove(REFIID iid) {
    auto it = m_map.find(iid);
    if (it == m_map.end()) return;
    T* object = it->second;
    m_map.erase(it);
    object->Release();
  }
  void RemoveAll() {
    while (!m_map.empty()) Remove(m_map.begin()->first);
  }
  bool IsEmpty() const { return m_map.empty(); }

 private:
  std::map<IID, T*> m_map;
};

// A scratch set of global blocks: those still held when it goes are freed; blocks handed on are removed
// first.
template <class T>
class CGXHandleManager {
 public:
  CGXHandleManager() = default;
  CGXHandleManager(const CGXHandleManager&) = delete;
  CGXHandleManager& operator=(const CGXHandleManager&) = delete;
  ~CGXHandleManager();
  T Add(T handle) {
    if (handle) m_handles.push_back(handle);
    return handle;
  }
  void Remove(T handle) { std::erase(m_handles, handle); }

 private:
  std::vector<T> m_handles;
};

template <class T>
CGXHandleManager<T>::~CGXHandleManager() {
  for (T handle : m_handles) ::GlobalFree(static_cast<HGLOBAL>(handle));
}

class CGXOleViewer {
 public:
  virtual ~CGXOleViewer() = default;
  // Opens the cell's object for the control: loaded from the cell's data, or newly inserted for an empty
  // cell; FALSE (with a message) when it cannot.
  virtual BOOL OpenObject(const CGXStyle& style, CGXGridCore* grid, CGXOlePreview* control, BOOL activate) = 0;
  virtual BOOL ActivateObject() = 0;
  virtual HGLOBAL GetDataAsGlobal(const CGXStyle& style) = 0;
  // Forgets the control.
  virtual void CloseObject();
  // The control hears of the change and becomes modified.
  virtual void NotifyChanged();
  virtual void ClearObject() = 0;
  virtual BOOL StoreObject() = 0;
  virtual const VARIANT& GetValue() const = 0;
  virtual IStorage* GetStorage() = 0;
  virtual IOleObject* GetOleObject() = 0;
  virtual IOleClientSite* CreateClientSite() = 0;
  virtual BOOL CanPaste() = 0;
  virtual BOOL PasteObject() = 0;
  virtual BOOL CanCopy() = 0;
  virtual IDataObject* GetDataObject(const CGXStyle& style, CGXGridCore* grid, CGXOlePreview* control) = 0;
  virtual BOOL CanCut() = 0;
  virtual IDataObject* CutObject(const CGXStyle& style, CGXGridCore* grid, CGXOlePreview* control) = 0;

  CGXOlePreview* GetControl() const { return m_pControl; }
  void SetControl(CGXOlePreview* control) { m_pControl = control; }

 protected:
  CGXOlePreview* m_pControl = nullptr;
};

class CGXGenericViewerImpl : public CGXOleViewer {
 public:
  CGXGenericViewerImpl() = default;
  // Closes a held object without saving and releases everything.
  ~CGXGenericViewerImpl() override;

  BOOL OpenObject(const CGXStyle& style, CGXGridCore* grid, CGXOlePreview* control, BOOL activate) override;
  BOOL ActivateObject() override;
  HGLOBAL GetDataAsGlobal(const CGXStyle& style) override;
  void CloseObject() override;
  void ClearObject() override;
  BOOL StoreObject() override;
  const VARIANT& GetValue() const override { return m_value; }
  IStorage* GetStorage() override { return m_interfaces.GetAs<IStorage>(IID_IStorage); }
  IOleObject* GetOleObject() override { return m_interfaces.GetAs<IOleObject>(IID_IOleObject); }
  IOleClientSite* CreateClientSite() override;
  BOOL CanPaste() override;
  BOOL PasteObject() override;
  BOOL CanCopy() override { return HasObjectData(); }
  IDataObject* GetDataObject(const CGXStyle& style, CGXGridCore* grid, CGXOlePreview* control) override;
  BOOL CanCut() override { return HasObjectData(); }
  IDataObject* CutObject(const CGXStyle& style, CGXGridCore* grid, CGXOlePreview* control) override;

  virtual IAdviseSink* CreateAdviseSink();
  virtual BOOL InsertNewObject(CGXGridCore* grid);
  virtual LONG GetPrimaryVerb() const { return OLEIVERB_PRIMARY; }
  virtual BOOL LoadObject(HGLOBAL data, CGXGridCore* grid, BOOL activate);
  CGXInterfaceManager<IUnknown>& GetInterfaceManager() { return m_interfaces; }
  BOOL HasObjectData() const { return m_value.vt == (VT_ARRAY | VT_UI1); }

 protected:
  // A new storage on new global memory, held; FALSE when it cannot be made.
  HRESULT CreateStorage();
  void ReleaseAll();
  HWND GridWindow() const;

  COleVariant m_value;
  CGXInterfaceManager<IUnknown> m_interfaces;
  DWORD m_dwConnection = 0;
};

// One viewer per viewer id, made on first use; owns them and the control's source object.
class CGXViewerManager {
 public:
  explicit CGXViewerManager(CObject* source);
  ~CGXViewerManager();
  CGXViewerManager(const CGXViewerManager&) = delete;
  CGXViewerManager& operator=(const CGXViewerManager&) = delete;
  CGXOleViewer* GetViewer(LONG id);
  CObject* GetSource() const { return m_pSource.get(); }

 private:
  std::unique_ptr<CObject> m_pSource;
  std::map<LONG, std::unique_ptr<CGXOleViewer>> m_viewers;
};

namespace gx {
// Shows the system's text of a result code in a message box.
void ShowOleResult(HRESULT hr);
}  // namespace gx

#include "platform/ole/TextDocumentServer.h"

#include <map>
#include <string>
#include <vector>

#include "platform/controls/winctrl.h"
#include "platform/gdi/gdiapi.h"

namespace plat::ole {

namespace {

constexpr char kShortType[] = "Text Document";
constexpr char kFullType[] = "Brimstead Text Document";
constexpr char16_t kTextStream[] = u"Text";
// A document larger than this is refused on load (the stored size is not trusted).
constexpr ULONGLONG kMaxTextBytes = 16u * 1024 * 1024;
constexpr UINT kActivateMessage = WM_USER + 1;

class TextDocument;
std::map<HWND, TextDocument*>& Windows() {
  static std::map<HWND, TextDocument*> windows;
  return windows;
}
HWND gLastOpened = nullptr;

LRESULT ServerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterWindowClass() {
  WNDCLASS wc{};
  if (::GetClassInfo(nullptr, kTextDocumentWindowClass, &wc)) return;
  wc.lpfnWndProc = ServerWindowProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kTextDocumentWindowClass;
  ::RegisterClass(&wc);
}

class TextDocument final : public IOleObject, public IPersistStorage, public ComBase {
 public:
  ~TextDocument() override {
    DestroyServerWindow();
    SetClientSite(nullptr);
    for (auto& [id, sink] : m_sinks) sink->Release();
    HandsOffStorage();
  }

  // IUnknown
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject)
      *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IPersistStorage)
      *out = static_cast<IPersistStorage*>(this);
    else
      return E_NOINTERFACE;
    AddRefCount();
    return S_OK;
  }
  ULONG AddRef() override { return AddRefCount(); }
  ULONG Release() override { return ReleaseCount(); }

  // IOleObject
  HRESULT SetClientSite(IOleClientSite* site) override {
    if (site) site->AddRef();
    if (m_pSite) m_pSite->Release();
    m_pSite = site;
    return S_OK;
  }
  HRESULT GetClientSite(IOleClientSite** out) override {
    if (!out) return E_POINTER;
    *out = m_pSite;
    if (m_pSite) m_pSite->AddRef();
    return S_OK;
  }
  HRESULT Close(DWORD saveOption) override {
    // Closing tells the container, which closes the object again: the inner call has nothing to do.
    if (m_bClosing) return S_OK;
    m_bClosing = true;
    AddRefCount();  // the container may drop its last reference while it hears of the close
    TakeWindowText();
    HRESULT hr = S_OK;
    if (saveOption != OLECLOSE_NOSAVE && m_bDirty && m_pSite) hr = m_pSite->SaveObject();
    const bool wasOpen = m_hWnd != nullptr;
    DestroyServerWindow();
    if (wasOpen) {
      std::vector<IAdviseSink*> sinks;
      for (auto& [id, sink] : m_sinks) {
        sink->AddRef();
        sinks.push_back(sink);
      }
      for (IAdviseSink* sink : sinks) {
        sink->OnClose();
        sink->Release();
      }
    }
    m_bClosing = false;
    ReleaseCount();
    return hr;
  }
  HRESULT DoVerb(LONG verb, MSG*, IOleClientSite* site, LONG, HWND parent, LPCRECT) override {
    if (site && site != m_pSite) SetClientSite(site);
    if (verb == OLEIVERB_HIDE) {
      if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
      return S_OK;
    }
    if (!m_hWnd && !CreateServerWindow(parent)) return E_OUTOFMEMORY;
    ::ShowWindow(m_hWnd, SW_SHOW);
    // A server comes forward on its own, after its container has finished the call.
    ::PostMessage(m_hWnd, kActivateMessage, 0, 0);
    gLastOpened = m_hWnd;
    if (m_pSite) m_pSite->ShowObject();
    return verb > 0 ? OLEOBJ_S_INVALIDVERB : S_OK;
  }
  HRESULT GetUserClassID(CLSID* out) override {
    if (!out) return E_POINTER;
    *out = CLSID_TextDocument;
    return S_OK;
  }
  HRESULT GetUserType(DWORD form, LPOLESTR* out) override {
    if (!out) return E_POINTER;
    *out = TaskString(form == USERCLASSTYPE_SHORT ? kShortType : kFullType);
    return *out ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT GetClipboardData(DWORD, IDataObject** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    ILockBytes* bytes = nullptr;
    HRESULT hr = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
    if (FAILED(hr)) return hr;
    IStorage* storage = nullptr;
    hr = StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage);
    bytes->Release();
    if (FAILED(hr)) return hr;
    // A snapshot: the document's own storage and dirty state stay as they are.
    hr = OleSave(static_cast<IPersistStorage*>(this), storage, FALSE);
    std::vector<BYTE> form;
    if (SUCCEEDED(hr)) hr = SaveStorageForm(storage, form);
    storage->Release();
    if (FAILED(hr)) return hr;
    *out = MakeObjectDataObject(std::move(form));
    return S_OK;
  }
  HRESULT Advise(IAdviseSink* sink, DWORD* connection) override {
    if (!sink || !connection) return E_INVALIDARG;
    sink->AddRef();
    *connection = m_nextConnection++;
    m_sinks[*connection] = sink;
    return S_OK;
  }
  HRESULT Unadvise(DWORD connection) override {
    auto it = m_sinks.find(connection);
    if (it == m_sinks.end()) return OLE_E_NOCONNECTION;
    IAdviseSink* sink = it->second;
    m_sinks.erase(it);
    sink->Release();
    return S_OK;
  }

  // IPersistStorage
  HRESULT GetClassID(CLSID* out) override { return GetUserClassID(out); }
  HRESULT IsDirty() override {
    TakeWindowText();
    return m_bDirty ? S_OK : S_FALSE;
  }
  HRESULT InitNew(IStorage* storage) override {
    if (!storage) return E_INVALIDARG;
    m_text.clear();
    m_bDirty = false;
    HoldStorage(storage);
    return S_OK;
  }
  HRESULT Load(IStorage* storage) override {
    if (!storage) return E_INVALIDARG;
    IStream* stream = nullptr;
    HRESULT hr = storage->OpenStream(kTextStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
    if (FAILED(hr)) return hr;
    STATSTG stat;
    hr = stream->Stat(&stat, STATFLAG_NONAME);
    std::string text;
    if (SUCCEEDED(hr) && stat.cbSize > kMaxTextBytes) hr = STG_E_INSUFFICIENTMEMORY;
    if (SUCCEEDED(hr)) {
      text.resize(static_cast<std::size_t>(stat.cbSize));
      ULONG read = 0;
      hr = stream->Read(text.data(), static_cast<ULONG>(text.size()), &read);
      if (SUCCEEDED(hr) && read != text.size()) hr = STG_E_READFAULT;
    }
    stream->Release();
    if (FAILED(hr)) return hr;
    m_text = std::move(text);
    m_bDirty = false;
    HoldStorage(storage);
    if (m_hWnd) ::SetWindowText(::GetDlgItem(m_hWnd, kTextDocumentEditId), m_text.c_str());
    return S_OK;
  }
  HRESULT Save(IStorage* storage, BOOL) override {
    if (!storage) return E_INVALIDARG;
    TakeWindowText();
    IStream* stream = nullptr;
    HRESULT hr = storage->CreateStream(kTextStream, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
    if (FAILED(hr)) return hr;
    ULONG written = 0;
    hr = stream->Write(m_text.data(), static_cast<ULONG>(m_text.size()), &written);
    stream->Release();
    return hr;
  }
  HRESULT SaveCompleted(IStorage* storage) override {
    m_bDirty = false;
    if (storage) HoldStorage(storage);
    return S_OK;
  }
  HRESULT HandsOffStorage() override {
    if (m_pStorage) m_pStorage->Release();
    m_pStorage = nullptr;
    return S_OK;
  }

  // The server window's commands.
  void OnCommand(int id) {
    if (id == kTextDocumentUpdateId) {
      TakeWindowText();
      if (m_pSite) m_pSite->SaveObject();
    } else if (id == kTextDocumentCloseId) {
      Close(OLECLOSE_SAVEIFDIRTY);
    }
  }

 private:
  void HoldStorage(IStorage* storage) {
    storage->AddRef();
    HandsOffStorage();
    m_pStorage = storage;
  }
  // The text typed in the window becomes the document's (changed text makes it dirty).
  void TakeWindowText() {
    if (!m_hWnd) return;
    HWND edit = ::GetDlgItem(m_hWnd, kTextDocumentEditId);
    const int length = ::GetWindowTextLength(edit);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    ::GetWindowText(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    if (text != m_text) {
      m_text = std::move(text);
      m_bDirty = true;
    }
  }
  bool CreateServerWindow(HWND parent) {
    RegisterWindowClass();
    RECT at{40, 40, 0, 0};
    if (parent) {
      ::GetWindowRect(parent, &at);
      at.left += 40;
      at.top += 40;
    }
    m_hWnd = ::CreateWindowEx(0, kTextDocumentWindowClass, kShortType, WS_OVERLAPPEDWINDOW, at.left, at.top, 320,
                              200, nullptr, nullptr, nullptr, nullptr);
    if (!m_hWnd) return false;
    Windows()[m_hWnd] = this;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    HWND edit = ::CreateWindowEx(WS_EX_CLIENTEDGE, "EDIT", m_text.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                                 8, 8, client.right - 16, client.bottom - 48, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextDocumentEditId)), nullptr, nullptr);
    HWND update = ::CreateWindowEx(0, "BUTTON", "Update", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                   client.right - 168, client.bottom - 32, 76, 24, m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextDocumentUpdateId)), nullptr,
                                   nullptr);
    HWND close = ::CreateWindowEx(0, "BUTTON", "Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                  client.right - 84, client.bottom - 32, 76, 24, m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextDocumentCloseId)), nullptr,
                                  nullptr);
    const WPARAM font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
    for (HWND child : {edit, update, close})
      if (child) ::SendMessage(child, WM_SETFONT, font, FALSE);
    return edit && update && close;
  }
  void DestroyServerWindow() {
    if (!m_hWnd) return;
    HWND hwnd = m_hWnd;
    m_hWnd = nullptr;
    Windows().erase(hwnd);
    if (gLastOpened == hwnd) gLastOpened = nullptr;
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
  }

  std::string m_text;
  bool m_bDirty = false;
  bool m_bClosing = false;
  IOleClientSite* m_pSite = nullptr;
  IStorage* m_pStorage = nullptr;
  std::map<DWORD, IAdviseSink*> m_sinks;
  DWORD m_nextConnection = 1;
  HWND m_hWnd = nullptr;
};

LRESULT ServerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto it = Windows().find(hwnd);
  TextDocument* document = it == Windows().end() ? nullptr : it->second;
  if (document && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    // The document may go while it handles the command; hold it.
    document->AddRef();
    document->OnCommand(LOWORD(wParam));
    document->Release();
    return 0;
  }
  if (message == kActivateMessage) {
    ::BringWindowToTop(hwnd);
    ::SetFocus(::GetDlgItem(hwnd, kTextDocumentEditId));
    return 0;
  }
  if (document && message == WM_CLOSE) {
    document->AddRef();
    document->OnCommand(kTextDocumentCloseId);
    document->Release();
    return 0;
  }
  return ::DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

void RegisterTextDocumentServer() {
  ServerInfo server;
  server.clsid = CLSID_TextDocument;
  server.progId = kTextDocumentProgId;
  server.shortType = kShortType;
  server.fullType = kFullType;
  server.create = []() -> IUnknown* { return static_cast<IOleObject*>(new TextDocument); };
  RegisterServer(server);
}

HWND TextDocumentWindow() { return gLastOpened && ::IsWindow(gLastOpened) ? gLastOpened : nullptr; }

}  // namespace plat::ole

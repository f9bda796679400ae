#include "platform/window/Clipboard.h"

#include <algorithm>
#include <cstring>

#include "platform/base/CodePage.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/SystemError.h"
#include "platform/window/WindowManager.h"

namespace plat {

Clipboard& Clipboard::Instance() {
  static Clipboard clipboard;
  return clipboard;
}

Clipboard::Clipboard() {
  // The global heap its blocks live in is made first, so that it is destroyed after the clipboard gives them back.
  GlobalBlockCount();
}

// What is on the clipboard when the program ends goes with it, as the desktop frees a clipboard's data when the
// session that held it ends: a program that quits after a copy leaves no block behind.
Clipboard::~Clipboard() { FreeAll(); }

Clipboard::Entry* Clipboard::Find(UINT format) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.format == format; });
  return it == entries_.end() ? nullptr : &*it;
}

const Clipboard::Entry* Clipboard::Find(UINT format) const {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.format == format; });
  return it == entries_.end() ? nullptr : &*it;
}

bool Clipboard::Open(HWND hwnd) {
  if (heldElsewhere) return false;
  if (hwnd && !WindowManager::Instance().Get(hwnd)) return false;
  if (open_ && openWindow_ != hwnd) return false;
  if (!open_) {
    FollowDesktop();
    changed_ = false;
  }
  open_ = true;
  openWindow_ = hwnd;
  return true;
}

bool Clipboard::Close() {
  if (!open_) return false;
  // What this session put there goes to the desktop, which this process then holds (also without text,
  // so that the next opening keeps the private formats rather than taking another program's offer).
  std::optional<std::string> text;
  if (changed_ && desktop_ && (Find(CF_TEXT) || Find(CF_OEMTEXT))) text = Utf8From1252(ReadText());
  open_ = false;
  openWindow_ = nullptr;
  if (changed_ && desktop_) desktop_->Take(text);
  changed_ = false;
  return true;
}

void Clipboard::FollowDesktop() {
  if (!desktop_ || !desktop_->HeldElsewhere()) return;
  std::optional<std::string> text;
  if (std::optional<std::string> utf8 = desktop_->Text()) text = Cp1252FromUtf8(*utf8);
  if (following_ && followed_ == text) return;  // the store still holds just that offer
  // Another program took the clipboard: its offer replaces every in-process format, as its emptying would.
  WindowManager& wm = WindowManager::Instance();
  if (owner_ && wm.Get(owner_)) wm.Send(owner_, WM_DESTROYCLIPBOARD, 0, 0);
  FreeAll();
  owner_ = nullptr;
  if (text) SeedWithoutOwner(*text);
  following_ = true;
  followed_ = std::move(text);
}

void Clipboard::SeedText(const std::string& text) {
  FreeAll();
  owner_ = nullptr;
  following_ = false;
  SeedWithoutOwner(text);
}

void Clipboard::SeedWithoutOwner(const std::string& text) {
  HANDLE h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (char* p = static_cast<char*>(GlobalLock(h))) {
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(h);
  }
  entries_.push_back(Entry{CF_TEXT, h, false});
}

std::string Clipboard::ReadText() {
  bool wasOpen = open_;
  HWND wasWindow = openWindow_;
  open_ = true;  // read as if opened, then put the state back
  HANDLE h = Get(CF_TEXT);
  std::string text;
  if (h) {
    const char* p = static_cast<const char*>(GlobalLock(h));
    SIZE_T size = GlobalSize(h);
    if (p) text.assign(p, strnlen(p, size));
    GlobalUnlock(h);
  }
  open_ = wasOpen;
  openWindow_ = wasWindow;
  return text;
}

void Clipboard::FreeAll() {
  for (Entry& e : entries_)
    if (e.data) GlobalFree(e.data);
  entries_.clear();
}

bool Clipboard::Empty() {
  if (!open_) return false;
  WindowManager& wm = WindowManager::Instance();
  if (owner_ && wm.Get(owner_)) wm.Send(owner_, WM_DESTROYCLIPBOARD, 0, 0);
  FreeAll();
  owner_ = openWindow_;
  changed_ = true;
  following_ = false;
  return true;
}

HANDLE Clipboard::Set(UINT format, HANDLE data) {
  // The owner may set data while it renders a promised format for another reader.
  if (!open_ || format == 0 || (openWindow_ != owner_ && !rendering_)) return nullptr;
  changed_ = true;
  following_ = false;
  // Synthesised twins are made again on demand from what the owner sets now.
  std::erase_if(entries_, [&](const Entry& e) {
    if (!e.synthesized) return false;
    if (e.data) GlobalFree(e.data);
    return true;
  });
  // A format set by the owner replaces any synthesised stand-in as well as an earlier block.
  if (Entry* e = Find(format)) {
    if (e->data && e->data != data) GlobalFree(e->data);
    e->data = data;
    e->synthesized = false;
  } else {
    auto firstSynth = std::find_if(entries_.begin(), entries_.end(), [](const Entry& x) { return x.synthesized; });
    entries_.insert(firstSynth, Entry{format, data, false});
  }
  return data;
}

namespace {
// A copy of a text block cut at its first NUL (what follows the NUL is not part of the text).
HANDLE CopyText(HANDLE from) {
  SIZE_T size = GlobalSize(from);
  const char* src = static_cast<const char*>(GlobalLock(from));
  if (!src) return nullptr;
  SIZE_T n = 0;
  while (n < size && src[n]) ++n;
  HANDLE copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, n + 1);
  if (char* dst = static_cast<char*>(GlobalLock(copy))) {
    std::memcpy(dst, src, n);
    dst[n] = '\0';
    GlobalUnlock(copy);
  }
  GlobalUnlock(from);
  return copy;
}
}  // namespace

HANDLE Clipboard::Get(UINT format) {
  if (!open_) return nullptr;
  Entry* e = Find(format);
  if (e && !e->data && !e->synthesized && owner_) {
    // Delayed rendering: the owner supplies the block now.
    rendering_ = true;
    WindowManager::Instance().Send(owner_, WM_RENDERFORMAT, format, 0);
    rendering_ = false;
    e = Find(format);
  }
  if (e && e->data) return e->data;
  if (format == CF_TEXT || format == CF_OEMTEXT) {
    UINT other = format == CF_TEXT ? CF_OEMTEXT : CF_TEXT;
    Entry* src = Find(other);
    if (src && !src->data && owner_) {
      rendering_ = true;
      WindowManager::Instance().Send(owner_, WM_RENDERFORMAT, other, 0);
      rendering_ = false;
      src = Find(other);
    }
    if (src && src->data) {
      HANDLE copy = CopyText(src->data);
      if (!copy) return nullptr;
      if ((e = Find(format)) != nullptr) {
        e->data = copy;
      } else {
        entries_.push_back(Entry{format, copy, true});
      }
      return copy;
    }
  }
  return nullptr;
}

bool Clipboard::IsAvailable(UINT format) const {
  // While another program holds the desktop's clipboard, its offer is what a paste would get (the store
  // takes it over when the clipboard is opened).
  if (desktop_ && !open_ && desktop_->HeldElsewhere())
    return (format == CF_TEXT || format == CF_OEMTEXT) && desktop_->OffersText();
  if (Find(format)) return true;
  if (format == CF_TEXT) return Find(CF_OEMTEXT) != nullptr;
  if (format == CF_OEMTEXT) return Find(CF_TEXT) != nullptr;
  return false;
}

UINT Clipboard::EnumFormats(UINT after) const {
  if (!open_) return 0;
  return EnumFormatsUnchecked(after);
}

UINT Clipboard::EnumFormatsUnchecked(UINT after) const {
  std::vector<UINT> order;
  for (const Entry& e : entries_) order.push_back(e.format);
  // The synthesised text twin is listed after what the owner set.
  if (Find(CF_TEXT) && !Find(CF_OEMTEXT)) order.push_back(CF_OEMTEXT);
  if (Find(CF_OEMTEXT) && !Find(CF_TEXT)) order.push_back(CF_TEXT);
  if (after == 0) return order.empty() ? 0 : order.front();
  auto it = std::find(order.begin(), order.end(), after);
  if (it == order.end() || it + 1 == order.end()) return 0;
  return *(it + 1);
}

int Clipboard::Count() const {
  int n = 0;
  for (UINT f = EnumFormatsUnchecked(0); f; f = EnumFormatsUnchecked(f)) ++n;
  return n;
}

HWND Clipboard::Owner() const { return WindowManager::Instance().Get(owner_) ? owner_ : nullptr; }

HWND Clipboard::OpenWindow() const { return open_ ? openWindow_ : nullptr; }

void Clipboard::ForgetWindow(HWND hwnd) {
  if (owner_ == hwnd) owner_ = nullptr;  // the data stays; promised formats can no longer be rendered
  if (open_ && openWindow_ == hwnd) Close();
}

void Clipboard::Reset() {
  FreeAll();
  open_ = false;
  openWindow_ = nullptr;
  owner_ = nullptr;
  heldElsewhere = false;
  rendering_ = false;
  desktop_ = nullptr;
  changed_ = false;
  following_ = false;
  followed_.reset();
}

}  // namespace plat

// ---- Classic entry points ---------------------------------------------------------------------------------

BOOL OpenClipboard(HWND owner) { return plat::Clipboard::Instance().Open(owner); }
BOOL CloseClipboard() { return plat::Clipboard::Instance().Close(); }
BOOL EmptyClipboard() {
  if (plat::Clipboard::Instance().Empty()) return TRUE;
  SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
  return FALSE;
}
HANDLE SetClipboardData(UINT format, HANDLE data) {
  if (!plat::Clipboard::Instance().IsOpen()) SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
  return plat::Clipboard::Instance().Set(format, data);
}
HANDLE GetClipboardData(UINT format) {
  if (!plat::Clipboard::Instance().IsOpen()) SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
  return plat::Clipboard::Instance().Get(format);
}
BOOL IsClipboardFormatAvailable(UINT format) { return plat::Clipboard::Instance().IsAvailable(format); }
UINT EnumClipboardFormats(UINT format) { return plat::Clipboard::Instance().EnumFormats(format); }
int CountClipboardFormats() { return plat::Clipboard::Instance().Count(); }
HWND GetClipboardOwner() { return plat::Clipboard::Instance().Owner(); }
HWND GetOpenClipboardWindow() { return plat::Clipboard::Instance().OpenWindow(); }

UINT RegisterClipboardFormat(LPCSTR name) {
  if (!name || !*name) return 0;
  return plat::WindowManager::Instance().RegisterMessage(name);
}

int GetClipboardFormatName(UINT format, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  const std::string* name = plat::WindowManager::Instance().RegisteredName(format);
  if (!name) return 0;
  int n = std::min(static_cast<int>(name->size()), size - 1);
  std::memcpy(buffer, name->data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

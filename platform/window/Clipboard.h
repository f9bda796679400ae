// The in-process clipboard: one opener at a time, an owner, and data blocks in global memory.
//
// OpenClipboard fails while another window holds it open. EmptyClipboard frees the data (the old owner
// hears WM_DESTROYCLIPBOARD first) and makes the opener the owner. SetClipboardData takes the block over;
// only the owner may add formats (in this or a later session), and a second block of one format replaces
// and frees the first. GetClipboardData lends the block. CF_TEXT and CF_OEMTEXT are each synthesised from
// the other on request, cut at the first NUL (both are the same 8-bit text here). A null block is a
// promise: the owner gets WM_RENDERFORMAT when someone asks for it. Registered format names share the
// registered-message numbers (0xC000 up, same name same number, ignoring case), as on the classic desktop.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

class Clipboard {
 public:
  static Clipboard& Instance();

  bool Open(HWND hwnd);
  bool Close();
  bool Empty();
  HANDLE Set(UINT format, HANDLE data);
  HANDLE Get(UINT format);
  bool IsAvailable(UINT format) const;
  UINT EnumFormats(UINT after) const;
  int Count() const;
  HWND Owner() const;
  HWND OpenWindow() const;
  bool IsOpen() const { return open_; }
  void ForgetWindow(HWND hwnd);
  void Reset();

  // Test aids. heldElsewhere: pretend another program holds the clipboard open (OpenClipboard fails for
  // everyone). SeedText: put text there as another program would (no owner window). ReadText: the CF_TEXT
  // (or synthesised) text, empty when there is none; neither changes who holds the clipboard.
  bool heldElsewhere = false;
  void SeedText(const std::string& text);
  std::string ReadText();
  // Called before OpenClipboard and after CloseClipboard (the presenter mirrors CF_TEXT with the desktop).
  std::function<void()> onOpen;
  std::function<void()> onClose;

 private:
  struct Entry {
    UINT format;
    HANDLE data;
    bool synthesized;
  };
  Entry* Find(UINT format);
  const Entry* Find(UINT format) const;
  void FreeAll();
  UINT EnumFormatsUnchecked(UINT after) const;

  bool open_ = false;
  HWND openWindow_ = nullptr;
  HWND owner_ = nullptr;
  bool rendering_ = false;
  std::vector<Entry> entries_;  // in the order they were set; synthesised ones after
};

}  // namespace plat

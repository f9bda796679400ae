// The in-process clipboard: one opener at a time, an owner, and data blocks in global memory.
//
// OpenClipboard fails while another window holds it open. EmptyClipboard frees the data (the old owner
// hears WM_DESTROYCLIPBOARD first) and makes the opener the owner. SetClipboardData takes the block over;
// only the owner may add formats (in this or a later session), and a second block of one format replaces
// and frees the first. GetClipboardData lends the block. CF_TEXT and CF_OEMTEXT are each synthesised from
// the other on request, cut at the first NUL (both are the same 8-bit text here). A null block is a
// promise: the owner gets WM_RENDERFORMAT when someone asks for it. Registered format names share the
// registered-message numbers (0xC000 up, same name same number, ignoring case), as on the classic desktop.
//
// On a real desktop (the presenter installs a DesktopClipboard) the store follows the desktop's clipboard:
// while another program holds it, opening the clipboard replaces the in-process formats by the text that
// program offers (nothing, when it offers no text), and the availability queries answer for what it offers.
// Closing the clipboard after a change hands the desktop its text and takes the desktop's clipboard over.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

// The desktop's clipboard as the store sees it. Texts are UTF-8.
class DesktopClipboard {
 public:
  virtual ~DesktopClipboard() = default;
  // True while another program holds the desktop's clipboard, or nobody does; false while this process does.
  virtual bool HeldElsewhere() = 0;
  // Whether what the holder offers can be had as text.
  virtual bool OffersText() = 0;
  // The holder's whole text; none when it offers no text or the transfer fails.
  virtual std::optional<std::string> Text() = 0;
  // Takes the desktop's clipboard over, offering the text (or no text at all).
  virtual void Take(const std::optional<std::string>& text) = 0;
};

class Clipboard {
 public:
  static Clipboard& Instance();
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;

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
  // The desktop's clipboard the store follows (null: the store stands alone). Not owned.
  void SetDesktop(DesktopClipboard* desktop) { desktop_ = desktop; }
  DesktopClipboard* Desktop() const { return desktop_; }

 private:
  Clipboard();
  ~Clipboard();
  struct Entry {
    UINT format;
    HANDLE data;
    bool synthesized;
  };
  Entry* Find(UINT format);
  const Entry* Find(UINT format) const;
  void FreeAll();
  UINT EnumFormatsUnchecked(UINT after) const;
  void FollowDesktop();
  void SeedWithoutOwner(const std::string& text);

  bool open_ = false;
  HWND openWindow_ = nullptr;
  HWND owner_ = nullptr;
  bool rendering_ = false;
  std::vector<Entry> entries_;  // in the order they were set; synthesised ones after
  DesktopClipboard* desktop_ = nullptr;
  bool changed_ = false;  // emptied or set since the clipboard was opened
  // While the store holds only what another program offered: that text (1252), or none for no text.
  bool following_ = false;
  std::optional<std::string> followed_;
};

}  // namespace plat

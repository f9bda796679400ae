// Test aid: records the messages that reach windows, in order, with how they arrived.
//
// A spy watches one window (or every window when constructed with no handle) from construction to
// destruction. Sent messages are recorded when SendMessage enters the window procedure, queued ones when
// DispatchMessage delivers them. Records hold the raw numbers; Decoded() names them for failure messages.
#pragma once

#include <string>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

enum class Delivery { Sent, Posted };

struct SpyRecord {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  Delivery delivery;
};

class MessageSpy {
 public:
  explicit MessageSpy(HWND watched = nullptr);
  ~MessageSpy();
  MessageSpy(const MessageSpy&) = delete;
  MessageSpy& operator=(const MessageSpy&) = delete;

  const std::vector<SpyRecord>& Records() const { return records_; }
  // Message numbers only, optionally without the chatty ones (WM_NCHITTEST, WM_SETCURSOR, WM_GETTEXT...).
  std::vector<UINT> Messages(bool skipNoise = false) const;
  std::vector<UINT> MessagesTo(HWND hwnd) const;
  std::string Decoded() const;
  void Clear() { records_.clear(); }

  // Called by the window manager for every delivery.
  static void Notify(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery);

 private:
  HWND watched_;
  std::vector<SpyRecord> records_;
};

// "WM_PAINT", "WM_USER+5", "0xC001" ...
std::string MessageName(UINT message);

}  // namespace plat

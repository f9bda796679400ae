// The UI thread's message queue: posted messages, input, paint and timer messages, get-message hooks and
// the idle wait.
//
// Retrieval order (PeekMessage/GetMessage): posted messages in FIFO order, then WM_QUIT once the posted
// messages are gone, then input (InputRouter), then WM_PAINT for a window with something to paint, then a
// due WM_TIMER. Filters (window, inclusive message range) apply to each stage; a window filter also takes
// the window's descendants, as the classic queue does. Every message handed out passes the WH_GETMESSAGE
// chain with the remove flag, and the caller gets the message as the hooks left it.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

// Thrown when a message loop has nothing to do, no timer is due and no automation provider or event source
// can supply input: a headless run would otherwise hang forever.
class MessageLoopStalled : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Supplies real events while the queue is idle (the on-screen presenter installs one).
class EventSource {
 public:
  virtual ~EventSource() = default;
  // Waits until input arrived or timeoutMs passed (no timeout: until input). Returns false when the source
  // is closed and will never deliver anything again.
  virtual bool WaitForEvents(std::optional<std::uint64_t> timeoutMs) = 0;
};

class MessageQueue {
 public:
  static MessageQueue& Instance();

  void Post(const MSG& msg);
  void PostQuit(int exitCode);
  bool Peek(MSG* out, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
  // Blocks (through the idle wait) until a message is there; FALSE for WM_QUIT.
  BOOL Get(MSG* out, HWND hwnd, UINT filterMin, UINT filterMax);
  // Lets time pass or input arrive when the queue is idle; throws MessageLoopStalled when nothing can.
  void WaitForWork(const char* who);

  bool HasPosted() const { return !posted_.empty(); }
  // Drops the queued messages of a destroyed window.
  void RemoveWindow(HWND hwnd);
  void Clear();

  // Time and cursor position of the message last retrieved.
  DWORD lastTime = 0;
  POINT lastPos{0, 0};

  // Hook chains (WH_GETMESSAGE, WH_CBT), newest first in each chain.
  HHOOK AddHook(int idHook, HOOKPROC proc);
  bool RemoveHook(HHOOK hook);
  LRESULT CallNext(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
  // Calls the first hook of a chain; 0 when the chain is empty.
  LRESULT RunChain(int idHook, int code, WPARAM wParam, LPARAM lParam);
  bool HasHooks(int idHook) const;

  EventSource* eventSource = nullptr;

 private:
  bool PeekPosted(MSG* out, HWND hwnd, UINT lo, UINT hi, bool remove);
  void RunHooks(MSG* msg, bool removed);

  struct Hook {
    HHOOK handle;
    int id;
    HOOKPROC proc;
  };
  LRESULT CallFrom(std::size_t index, int id, int code, WPARAM wParam, LPARAM lParam);
  std::deque<MSG> posted_;
  bool quitPosted_ = false;
  int quitCode_ = 0;
  std::vector<Hook> hooks_;
  std::vector<std::size_t> runningHooks_;  // chain positions of the hooks running now, innermost last
  std::uintptr_t nextHook_ = 1;
};

// Whether a message of window `target` passes the filter (window or one of its descendants).
bool MatchesFilter(HWND target, UINT message, HWND hwnd, UINT lo, UINT hi);

}  // namespace plat

// The on-screen presenter: shows the composed desktop in a real SDL2 window and turns real mouse and
// keyboard events into the same injected input that tests use.
//
// While it is installed it is the message queue's event source: an idle message loop presents the desktop
// when something changed and then waits for SDL events (or the next timer) instead of failing. The clock
// runs in real time and the caret blinks; the clipboard follows the desktop's (platform/window/Clipboard.h).
// Closing the SDL window posts WM_QUIT, unless closeRequested takes the close over. It works under any X server,
// Xvfb included. One presenter at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/window/MessageQueue.h"

namespace plat {
class DesktopClipboard;
class X11Clipboard;
}  // namespace plat

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace plat {

class SdlPresenter : public EventSource {
 public:
  // Opens a window the size of the desktop; check IsOpen() (no display, no SDL video: false).
  explicit SdlPresenter(const char* title = "Brimstead desktop");
  ~SdlPresenter() override;
  SdlPresenter(const SdlPresenter&) = delete;
  SdlPresenter& operator=(const SdlPresenter&) = delete;

  bool IsOpen() const { return window_ != nullptr; }
  // Composes and shows the desktop now.
  void Present();
  // Handles pending SDL events without waiting; false once the window was closed.
  bool PumpEvents();
  bool WaitForEvents(std::optional<std::uint64_t> timeoutMs) override;
  // The SDL window's position on the display (for tools that click into it).
  POINT WindowPosition() const;
  // Presents, then handles events until the window is mapped and holds the X keyboard focus, asking the
  // server for the focus once it is mapped (an X server without a window manager gives none by itself).
  // Real keys sent before that are lost. False when it did not happen within timeoutMs.
  bool WaitUntilFocused(std::uint64_t timeoutMs);

  // Asked when the user closes the window; true when the program closes its own windows in answer (and ends
  // when they have gone): the presenter then stays open. Unset, or false: the presenter closes (WM_QUIT).
  std::function<bool()> closeRequested;

 private:
  bool HandleEvent(const void* event);
  void UpdateCursor();

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  bool dirty_ = true;
  bool closed_ = false;
  HCURSOR shownCursor_ = nullptr;
  void* sdlCursor_ = nullptr;
  std::unique_ptr<DesktopClipboard> desktopClipboard_;  // the clipboard store follows it while we are shown
  X11Clipboard* x11_ = nullptr;                        // the same, when it is the X server's selection
};

// Maps an SDL key code to the classic virtual key (0 for keys the platform does not know).
int VirtualKeyFromSdl(int sdlKey);

}  // namespace plat

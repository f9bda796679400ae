#include "platform/display/SdlPresenter.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/VirtualClock.h"
#include "platform/display/Desktop.h"
#include "platform/display/X11Clipboard.h"
#include "platform/window/Caret.h"
#include "platform/window/Clipboard.h"
#include "platform/window/Cursors.h"
#include "platform/window/InputRouter.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {

// The desktop's clipboard as far as SDL reaches it: its text only, and no word of who holds it, so this
// process counts as the holder while the desktop still has the text it gave.
class SdlDesktopClipboard : public DesktopClipboard {
 public:
  bool HeldElsewhere() override { return !taken_ || Current().value_or("") != given_.value_or(""); }
  bool OffersText() override { return SDL_HasClipboardText() == SDL_TRUE; }
  std::optional<std::string> Text() override { return Current(); }
  void Take(const std::optional<std::string>& text) override {
    taken_ = true;
    given_ = text;
    SDL_SetClipboardText(text ? text->c_str() : "");
  }

 private:
  static std::optional<std::string> Current() {
    if (!SDL_HasClipboardText()) return std::nullopt;
    char* utf8 = SDL_GetClipboardText();
    std::optional<std::string> text;
    if (utf8) text = utf8;
    SDL_free(utf8);
    return text;
  }
  bool taken_ = false;
  std::optional<std::string> given_;
};

}  // namespace

int VirtualKeyFromSdl(int key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
  switch (key) {
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    default: return 0;
  }
}

SdlPresenter::SdlPresenter(const char* title) {
  // Left to choose, SDL falls back to its off-screen driver when the X one does not come up at once (seen on
  // a loaded X server right after an earlier presenter closed): the window then exists nowhere on screen,
  // looks open and never gets input. With an X display, ask for X11 and give it a few tries; a driver that
  // shows nothing counts as no display.
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);  // the user's choice, or ours from an earlier presenter
  const bool xDisplay = std::getenv("DISPLAY") && (!asked || std::string(asked) == "x11");
  if (xDisplay) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  // Closing the window is its own event; SDL_QUIT stays for the signals that end the program.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  bool up = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  for (int attempt = 1; !up && xDisplay && attempt < 10; ++attempt) {
    SDL_Delay(100);
    up = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  }
  if (!up) return;
  const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
  if (driver == "offscreen" || driver == "dummy" || driver.empty()) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return;
  }
  SIZE size = Desktop::Size();
  window_ = SDL_CreateWindow(title, 0, 0, size.cx, size.cy, SDL_WINDOW_SHOWN);
  if (!window_) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return;
  }
  // The desktop has one size: a window manager that honours the hints leaves the window at it.
  SDL_SetWindowMinimumSize(window_, size.cx, size.cy);
  SDL_SetWindowMaximumSize(window_, size.cx, size.cy);
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_)
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, size.cx, size.cy);
  if (!renderer_ || !texture_) {
    if (renderer_) SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    renderer_ = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return;
  }
  WindowManager& wm = WindowManager::Instance();
  wm.onWindowChanged = [this](HWND) { dirty_ = true; };
  MessageQueue::Instance().eventSource = this;
  VirtualClock::UseRealTime(true);
  Caret::Instance().blinking = true;
  // The in-process clipboard follows the desktop's: the X server's selection when SDL runs on X, else what
  // SDL reaches of the desktop's text.
  if (std::string(SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "") == "x11") {
    std::unique_ptr<X11Clipboard> x11 = X11Clipboard::Connect();
    x11_ = x11.get();
    desktopClipboard_ = std::move(x11);
  }
  if (!desktopClipboard_) desktopClipboard_ = std::make_unique<SdlDesktopClipboard>();
  Clipboard::Instance().SetDesktop(desktopClipboard_.get());
}

SdlPresenter::~SdlPresenter() {
  if (!window_) return;
  WindowManager::Instance().onWindowChanged = nullptr;
  if (MessageQueue::Instance().eventSource == this) MessageQueue::Instance().eventSource = nullptr;
  VirtualClock::UseRealTime(false);
  Caret::Instance().blinking = false;
  if (Clipboard::Instance().Desktop() == desktopClipboard_.get()) Clipboard::Instance().SetDesktop(nullptr);
  if (sdlCursor_) SDL_FreeCursor(static_cast<SDL_Cursor*>(sdlCursor_));
  SDL_DestroyTexture(texture_);
  SDL_DestroyRenderer(renderer_);
  SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

POINT SdlPresenter::WindowPosition() const {
  int x = 0, y = 0;
  if (window_) SDL_GetWindowPosition(window_, &x, &y);
  return POINT{x, y};
}

bool SdlPresenter::WaitUntilFocused(std::uint64_t timeoutMs) {
  if (!window_ || closed_) return false;
  Present();
  const Uint64 start = SDL_GetTicks64();
  Uint64 lastAsked = 0;
  bool asked = false;
  while (!closed_) {
    const Uint32 flags = SDL_GetWindowFlags(window_);
    if ((flags & SDL_WINDOW_SHOWN) && (flags & SDL_WINDOW_INPUT_FOCUS)) {
      Present();  // the window may only now be mapped: show what it holds before anyone looks or types
      return true;
    }
    const Uint64 now = SDL_GetTicks64();
    if (now - start >= timeoutMs) return false;
    // SDL asks only for a mapped window; under load the map can come late, so keep asking now and then.
    if (!asked || now - lastAsked >= 200) {
      SDL_SetWindowInputFocus(window_);
      asked = true;
      lastAsked = now;
    }
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 20) && !HandleEvent(&e)) return false;
  }
  return false;
}

void SdlPresenter::Present() {
  if (!window_) return;
  SurfacePtr screen = Desktop::Compose(true);
  if (!screen) return;
  // Both are 32-bit words 0xAARRGGBB in native order, so rows copy as they are.
  SDL_UpdateTexture(texture_, nullptr, screen->data(), screen->stride());
  SDL_RenderClear(renderer_);
  // Pixel for pixel at the top left corner, whatever size the window was given: scaled, the texts would blur
  // and the mouse, whose window coordinates are the desktop's, would act beside what it points at.
  SDL_Rect whole{0, 0, 0, 0};
  SDL_QueryTexture(texture_, nullptr, nullptr, &whole.w, &whole.h);
  SDL_RenderCopy(renderer_, texture_, nullptr, &whole);
  SDL_RenderPresent(renderer_);
  dirty_ = false;
  UpdateCursor();
}

void SdlPresenter::UpdateCursor() {
  HCURSOR current = GetCursor();
  if (current == shownCursor_) return;
  shownCursor_ = current;
  SDL_SystemCursor shape = SDL_SYSTEM_CURSOR_ARROW;
  switch (Cursors::Instance().StandardId(current)) {
    case 32513: shape = SDL_SYSTEM_CURSOR_IBEAM; break;
    case 32514: shape = SDL_SYSTEM_CURSOR_WAIT; break;
    case 32515: shape = SDL_SYSTEM_CURSOR_CROSSHAIR; break;
    case 32642: shape = SDL_SYSTEM_CURSOR_SIZENWSE; break;
    case 32643: shape = SDL_SYSTEM_CURSOR_SIZENESW; break;
    case 32644: shape = SDL_SYSTEM_CURSOR_SIZEWE; break;
    case 32645: shape = SDL_SYSTEM_CURSOR_SIZENS; break;
    case 32646: shape = SDL_SYSTEM_CURSOR_SIZEALL; break;
    case 32648: shape = SDL_SYSTEM_CURSOR_NO; break;
    case 32649: shape = SDL_SYSTEM_CURSOR_HAND; break;
    case 32650: shape = SDL_SYSTEM_CURSOR_WAITARROW; break;
    default: break;
  }
  SDL_Cursor* cursor = SDL_CreateSystemCursor(shape);
  if (!cursor) return;
  SDL_SetCursor(cursor);
  if (sdlCursor_) SDL_FreeCursor(static_cast<SDL_Cursor*>(sdlCursor_));
  sdlCursor_ = cursor;
}

bool SdlPresenter::HandleEvent(const void* raw) {
  const SDL_Event& e = *static_cast<const SDL_Event*>(raw);
  InputRouter& in = InputRouter::Instance();
  auto button = [](Uint8 b) {
    return b == SDL_BUTTON_RIGHT ? MouseButton::Right : b == SDL_BUTTON_MIDDLE ? MouseButton::Middle : MouseButton::Left;
  };
  switch (e.type) {
    case SDL_QUIT:
      closed_ = true;
      return false;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
        if (closeRequested && closeRequested()) return true;
        closed_ = true;
        return false;
      }
      // The mouse left the desktop window: it is over no window now, which ends mouse tracking.
      if (e.window.event == SDL_WINDOWEVENT_LEAVE) in.MouseMove(POINT{-1, -1});
      dirty_ = true;  // exposed, resized, ...
      return true;
    case SDL_MOUSEMOTION:
      in.MouseMove(POINT{e.motion.x, e.motion.y});
      return true;
    case SDL_MOUSEBUTTONDOWN:
      in.ButtonDown(button(e.button.button), POINT{e.button.x, e.button.y});
      return true;
    case SDL_MOUSEBUTTONUP:
      in.ButtonUp(button(e.button.button), POINT{e.button.x, e.button.y});
      return true;
    case SDL_MOUSEWHEEL:
      in.Wheel(e.wheel.y * WHEEL_DELTA, in.cursor);
      return true;
    case SDL_TEXTINPUT: {
      // Characters outside ASCII (a European keyboard's accented letters) have no key in the platform's
      // US layout; they arrive as bare WM_CHAR in code page 1252. ASCII comes through the keys above.
      std::string text = Cp1252FromUtf8(e.text.text);
      std::string extra;
      for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) extra += c;
      if (!extra.empty()) in.TypeText(extra);
      return true;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      int vk = VirtualKeyFromSdl(e.key.keysym.sym);
      if (!vk) return true;
      if (e.type == SDL_KEYDOWN)
        in.KeyDown(vk);
      else
        in.KeyUp(vk);
      return true;
    }
    default:
      return true;
  }
}

bool SdlPresenter::PumpEvents() {
  if (!window_ || closed_) return false;
  if (x11_) x11_->Serve();
  SDL_Event e;
  while (SDL_PollEvent(&e))
    if (!HandleEvent(&e)) return false;
  return true;
}

bool SdlPresenter::WaitForEvents(std::optional<std::uint64_t> timeoutMs) {
  if (!window_ || closed_) return false;
  if (dirty_ || Caret::Instance().Exists()) Present();
  // Wake up at least every 50 ms so that the caret blinks and repaints show without input.
  int wait = static_cast<int>(std::min<std::uint64_t>(timeoutMs.value_or(50), 50));
  if (x11_) x11_->Serve();  // other programs asking for our clipboard text wait at most this long
  SDL_Event e;
  if (SDL_WaitEventTimeout(&e, wait)) {
    if (!HandleEvent(&e)) return false;
    return PumpEvents();
  }
  return true;
}

}  // namespace plat

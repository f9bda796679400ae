// The keyboard state as the grid and its cells read it.
#pragma once

#include "platform/window/windowapi.h"

namespace gx {

// Whether a key (VK_...) is held down, by the state stored with the message last taken from the queue.
inline BOOL KeyHeld(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

}  // namespace gx

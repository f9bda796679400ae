// Owner-draw and button-state numbers the buttons need beyond what the framework's control codes carry.
// The controls' own header defines them too but cannot be included beside the framework's codes yet.
// FIXME: use the controls' header once the framework includes it instead of its own subset.
#pragma once

#include "platform/framework/ControlCodes.h"

namespace foundation::codes {
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODA_DRAWENTIRE = 1;
inline constexpr UINT ODA_SELECT = 2;
inline constexpr UINT ODA_FOCUS = 4;
inline constexpr UINT ODS_SELECTED = 0x0001;
inline constexpr UINT ODS_DISABLED = 0x0004;
inline constexpr UINT ODS_FOCUS = 0x0010;
inline constexpr UINT BST_PUSHED = 0x0004;
inline constexpr UINT BST_FOCUS = 0x0008;
}  // namespace foundation::codes

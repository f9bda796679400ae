// Owner-draw and button-state numbers the buttons need beyond what the framework's control codes carry. The
// controls' own header defines them as well but cannot be included beside the framework's codes yet; once the
// framework's codes include it (BRIM_OWNERDRAW_STRUCTS_DEFINED is then set), its definitions are used instead.
#pragma once

#include "platform/framework/ControlCodes.h"

#ifndef BRIM_OWNERDRAW_STRUCTS_DEFINED
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODA_DRAWENTIRE = 1;
inline constexpr UINT ODA_SELECT = 2;
inline constexpr UINT ODA_FOCUS = 4;
inline constexpr UINT ODS_SELECTED = 0x0001;
inline constexpr UINT ODS_DISABLED = 0x0004;
inline constexpr UINT ODS_FOCUS = 0x0010;
inline constexpr UINT BST_PUSHED = 0x0004;
inline constexpr UINT BST_FOCUS = 0x0008;
#endif

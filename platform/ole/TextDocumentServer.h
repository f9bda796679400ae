// A small object server: a plain text document. Its primary verb opens a server window (caption "Text
// Document") with a multi-line edit holding the text and two buttons: "Update" saves the document through
// its container's client site, "Close" (or closing the window) saves it when changed and then tells the
// container through its advise sinks that the object closed. The document is kept in its storage as the
// stream "Text" (the 8-bit text).
#pragma once

#include "platform/ole/OleApi.h"

namespace plat::ole {

inline constexpr CLSID CLSID_TextDocument{0x6A3F1C20, 0x4B7E, 0x11EF, {0x9A, 0x10, 0x00, 0x0C, 0x29, 0x5E, 0x7D, 0x01}};
inline constexpr char kTextDocumentProgId[] = "Brimstead.TextDocument.1";
inline constexpr char kTextDocumentWindowClass[] = "BrimTextDocumentServer";
// Control ids of the server window.
constexpr int kTextDocumentEditId = 100, kTextDocumentUpdateId = 101, kTextDocumentCloseId = 102;

// Registers the server (safe to repeat).
void RegisterTextDocumentServer();
// The open server window of the most recently opened document, null when none is open.
HWND TextDocumentWindow();

}  // namespace plat::ole

// The dialog manager: dialog windows built from templates, their default procedure, keyboard navigation
// (IsDialogMessage) and the dialog-item helpers.
//
// Call flow:
//   CreateDialogIndirectParam -> dialog window (class "#32770", procedure DefDlgProc) with the template's
//       font -> WM_SETFONT to the dialog -> each control in template order (+ WM_SETFONT) -> WM_INITDIALOG
//       -> focus to the first tab stop when it answers TRUE -> shown when the template says WS_VISIBLE
//   DialogBoxIndirectParam    -> the same, then a nested loop with the owner disabled until EndDialog
//   IsDialogMessage           -> WM_GETDLGCODE to the window with the key, then Tab / arrows / Enter / Esc /
//       mnemonics, each unless the control asked for that key; every other message is dispatched as is
//   DefDlgProc                -> the dialog procedure first, then DM_GETDEFID/DM_SETDEFID, WM_NEXTDLGCTL,
//       WM_CLOSE (-> IDCANCEL), WM_ERASEBKGND (WM_CTLCOLORDLG brush), focus saving across (de)activation
//
// DM_* messages go only to dialog windows, never to controls: a control may use WM_USER + 0/1 itself.
#pragma once

#include "platform/framework/DialogTemplate.h"
#include "platform/controls/Button.h"  // CheckDlgButton, IsDlgButtonChecked, CheckRadioButton

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

constexpr int DWLP_MSGRESULT = 0;
constexpr int DWLP_DLGPROC = 8;
constexpr int DWLP_USER = 16;

HWND CreateDialogIndirectParam(HINSTANCE instance, const DialogTemplate* dialog, HWND parent, DLGPROC proc,
                               LPARAM init);
HWND CreateDialogParam(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM init);
INT_PTR DialogBoxIndirectParam(HINSTANCE instance, const DialogTemplate* dialog, HWND parent, DLGPROC proc,
                               LPARAM init);
INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM init);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsDialogMessage(HWND dialog, LPMSG msg);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL MapDialogRect(HWND dialog, LPRECT rect);
LONG_PTR SetDialogLong(HWND dialog, int index, LONG_PTR value);  // the DWLP_* slots
LONG_PTR GetDialogLong(HWND dialog, int index);

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);

namespace plat {

// The class name of dialog windows.
constexpr const char* kDialogClass = "#32770";

// Whether a window is a dialog made by the dialog manager (the only windows that get DM_* messages).
bool IsDialogWindow(HWND hwnd);
// Moves the focus the way the dialog manager does: edits get their text selected, push buttons take the
// default look while they have the focus and the real default button gets it back when they lose it.
void DialogSetFocus(HWND dialog, HWND control);
// The default-look part alone: `focus` is the window about to have (or just given) the focus, null when it
// leaves the dialog. IsDialogMessage runs it for focus moved while a message it dispatches runs (a push button
// clicked with the mouse), so button classes need not call it.
void CheckDefaultButton(HWND dialog, HWND oldFocus, HWND focus);
// Creates the controls of a template in `dialog` (used by the dialog manager and by sheets that host a
// page template inside another window). FALSE when a control could not be created.
bool CreateDialogControls(HWND dialog, const DialogTemplate& tmpl, HINSTANCE instance, HFONT font);
// Makes sure the dialog window class exists (system class, survives window-system resets).
void RegisterDialogClass();

}  // namespace plat

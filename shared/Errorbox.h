// Error boxes and the fatal-error report of the module, on the platform's message boxes.
//
// Every box shows the formatted text with a trailer behind it (an errno text, a system error text, or
// nothing) as MessageBoxA(owner, text, no caption, MB_ICONEXCLAMATION), so the system's default caption
// appears. FatalErrorReport is the one place where the module ends the process: it shows where it was
// called from and exits with code 1 through plat::Exit, so tests can replace the ending.
#pragma once

#include <cstdarg>
#include <string>

#include "platform/base/wintypes.h"

// Formats `format` with `args` into a buffer that starts at strlen(trailer) + 1 + 512 bytes and grows by 512
// until the text fits, then appends the trailer. Without a format (or without memory) the trailer alone is
// shown; with no text at all nothing is shown. A format failure is fatal (FatalErrorReport). `args` itself
// is never consumed: each attempt formats from its own copy.
void ErrorBox(HWND owner, const char* trailer, const char* format, va_list args);
// No trailer.
void ErrorBoxF(HWND owner, const char* format, ...);
// The C runtime's text for the errno at the call as trailer.
void ErrorBoxErrno(HWND owner, const char* format, ...);
// The system's text for `code` (language 0x800) without its closing line break as trailer.
void ErrorBoxSystemError(DWORD code, HWND owner, const char* format, ...);
// ErrorBoxSystemError with the thread's last error at the call.
void ErrorBoxLastError(HWND owner, const char* format, ...);

// The system's text for the thread's last error (language 0x400), as the system gives it (ending in "\r\n");
// empty when the system has none.
std::string GetLastErrorText();

// Ends the process where an operation must never be reached: shows "Line:%u,   File:%s   File date:%s" in a box
// captioned "FATAL ERROR" (MB_ICONHAND) and exits with code 1; callers pass __DATE__, __FILE__ and __LINE__.
// Without a way to show the box (a headless run with no answerer) the text goes to the standard error stream
// instead; the process ends either way.
[[noreturn]] void FatalErrorReport(const char* buildDate, const char* sourceFile, unsigned line);

// Error texts of the module. The error boxes (ErrorBox, ErrorBoxF, ErrorBoxErrno, ErrorBoxSystemError,
// ErrorBoxLastError) and FatalErrorReport join this file with the platform's message boxes.
#pragma once

#include <string>

// The system's text for the thread's last error (language 0x400), as the system gives it (ending in "\r\n");
// empty when the system has none.
std::string GetLastErrorText();

// Ends the process where an operation must never be reached: shows "Line:%u,   File:%s   File date:%s" in a box
// captioned "FATAL ERROR" and exits with code 1. Without a way to show the box (a headless run with no answerer)
// the text goes to the standard error stream instead; the process ends either way.
[[noreturn]] void FatalErrorReport(const char* buildDate, const char* sourceFile, unsigned line);

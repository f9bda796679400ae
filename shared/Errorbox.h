// Error texts of the module. The error boxes (ErrorBox, ErrorBoxF, ErrorBoxErrno, ErrorBoxSystemError,
// ErrorBoxLastError) and FatalErrorReport join this file with the platform's message boxes.
#pragma once

#include <string>

// The system's text for the thread's last error (language 0x400), as the system gives it (ending in "\r\n");
// empty when the system has none.
std::string GetLastErrorText();

// Starting external programs (the model-file editor, the Touchstone viewer) from the module.
#pragma once

#include "platform/base/wintypes.h"

// Starts `program` (in `directory` when one is given) with the command line "\"path\" arguments", in
// `workingDirectory` when one is given, and waits for it to end when `wait` is set. A program file that does
// not exist, a working directory that does not exist, or a start that fails is shown to the user in an error
// box that names the program by `displayName` when it has one; the answer is then false and nothing runs.
bool StartExternalProgram(HWND owner, const char* program, const char* directory, const char* arguments,
                          const char* workingDirectory, const char* displayName, bool wait);

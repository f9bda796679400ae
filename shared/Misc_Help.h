// The module's online help: a topic of a help document, shown by the help library.
#pragma once

#include "platform/base/wintypes.h"

// Formats `topic` with "%d" and shows it with ShowHelpDocument. The owner and the flag are not used (the
// module's callers pass 1); always TRUE, whether the help could be shown or not.
BOOL ShowHelpTopic(HWND owner, const char* documentKey, int flag, int topic);
// Asks the help library for the document and topic. True on success; otherwise a "Kestrelon On Line Help"
// box names the library's error, the document key and the topic, and the answer is false.
bool ShowHelpDocument(const char* documentKey, const char* topicText);

// The help library's entry: 0 on success, else its error code (2 operation failed, 3 invalid parameter,
// 4 document not found, 5 cannot open, 6 tag not in document, 7 no viewer, 8 text not found, 9 no such
// page). Documents are served by the platform's help service, which knows topics by number: a topic text
// that is not a whole number is a tag no document holds (6); a missing key or topic is an invalid
// parameter (3). `flags` goes to the service as its command.
int OlhHelpCall(const char* documentKey, const char* topicText, int flags);

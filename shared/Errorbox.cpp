#include "shared/Errorbox.h"

#include "platform/base/GlobalMemory.h"
#include "platform/base/SystemError.h"
#include "platform/framework/MessageBox.h"

#include <cstdio>
#include <cstdlib>

std::string GetLastErrorText() {
  char* text = nullptr;
  const DWORD length =
      FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                    nullptr, GetLastError(), 0x400, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string result = length && text ? std::string(text, length) : std::string();
  if (text)
    LocalFree(text);
  return result;
}

[[noreturn]] void FatalErrorReport(const char* buildDate, const char* sourceFile, unsigned line) {
  char text[1024];
  std::snprintf(text, sizeof text, "Line:%u,   File:%s   File date:%s", line, sourceFile ? sourceFile : "",
                buildDate ? buildDate : "");
  std::fprintf(stderr, "FATAL ERROR: %s\n", text);
  std::fflush(stderr);
  try {
    MessageBoxA(nullptr, text, "FATAL ERROR", MB_ICONHAND);
  } catch (...) {
    // No box could be shown; the text is on the error stream already.
  }
  std::exit(1);
}

#include "shared/Errorbox.h"

#include "platform/base/GlobalMemory.h"
#include "platform/base/SystemError.h"

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

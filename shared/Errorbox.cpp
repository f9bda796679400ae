#include "shared/Errorbox.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "platform/base/CString.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/Printf.h"
#include "platform/base/SystemError.h"
#include "platform/base/Terminate.h"
#include "platform/framework/MessageBox.h"
#include "platform/window/AutomationProvider.h"

namespace {

constexpr size_t kGrowStep = 512;

// The system's text for `code` in `language`, as the system gives it (ending in "\r\n").
std::string SystemErrorText(DWORD code, DWORD language) {
  char* text = nullptr;
  const DWORD length =
      FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                    nullptr, code, language, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string result = length && text ? std::string(text, length) : std::string();
  if (text)
    LocalFree(text);
  return result;
}

// The trailer of ErrorBoxSystemError: the line break at the end goes, whatever order "\r" and "\n" come in.
std::string WithoutLineBreak(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
    text.pop_back();
  return text;
}

void ShowSystemError(DWORD code, HWND owner, const char* format, va_list args) {
  const std::string trailer = WithoutLineBreak(SystemErrorText(code, 0x800));
  ErrorBox(owner, trailer.empty() ? nullptr : trailer.c_str(), format, args);
}

}  // namespace

void ErrorBox(HWND owner, const char* trailer, const char* format, va_list args) {
  const size_t trailerLength = trailer ? std::strlen(trailer) : 0;
  std::unique_ptr<char[]> buffer;
  if (format) {
    // The formatted text leaves room for the trailer: it may use size - trailerLength bytes with its NUL.
    for (size_t size = trailerLength + 1 + kGrowStep;; size += kGrowStep) {
      buffer.reset(new (std::nothrow) char[size]);
      if (!buffer)
        break;
      // A va_list is used up by one formatting; every attempt reads the arguments from a fresh copy.
      va_list attempt;
      va_copy(attempt, args);
      int length = _vsnprintf(buffer.get(), size - trailerLength, format, attempt);
      va_end(attempt);
      if (length == -1)
        continue;
      if (length < 0) {
        FatalErrorReport(__DATE__, __FILE__, __LINE__);
        length = 0;  // reached only when the process end was intercepted
      }
      std::memcpy(buffer.get() + length, trailer ? trailer : "", trailerLength + 1);
      break;
    }
  }
  const char* text = buffer ? buffer.get() : trailer;
  if (!text || !*text)
    return;
  MessageBoxA(owner, text, nullptr, MB_ICONEXCLAMATION);
}

void ErrorBoxF(HWND owner, const char* format, ...) {
  va_list args;
  va_start(args, format);
  ErrorBox(owner, nullptr, format, args);
  va_end(args);
}

void ErrorBoxErrno(HWND owner, const char* format, ...) {
  // Taken before anything else runs: formatting and allocating may change errno.
  const std::string trailer = std::strerror(errno);
  va_list args;
  va_start(args, format);
  ErrorBox(owner, trailer.c_str(), format, args);
  va_end(args);
}

void ErrorBoxSystemError(DWORD code, HWND owner, const char* format, ...) {
  va_list args;
  va_start(args, format);
  ShowSystemError(code, owner, format, args);
  va_end(args);
}

void ErrorBoxLastError(HWND owner, const char* format, ...) {
  const DWORD code = GetLastError();
  va_list args;
  va_start(args, format);
  ShowSystemError(code, owner, format, args);
  va_end(args);
}

void FatalErrorReport(const char* buildDate, const char* sourceFile, unsigned line) {
  CString text;
  text.Format("Line:%u,   File:%s   File date:%s", line, sourceFile, buildDate);
  try {
    MessageBoxA(nullptr, text, "FATAL ERROR", MB_ICONHAND);
  } catch (const plat::AutomationMissing&) {
    // A headless run with nobody to answer the box: the report goes to the error stream and the process
    // still ends, as it must.
    std::fprintf(stderr, "FATAL ERROR: %s\n", static_cast<const char*>(text));
  }
  plat::Exit(1);
}

std::string GetLastErrorText() { return SystemErrorText(GetLastError(), 0x400); }

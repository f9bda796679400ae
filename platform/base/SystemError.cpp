#include "platform/base/SystemError.h"

#include <locale.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>
#include <algorithm>

#include "platform/base/GlobalMemory.h"

namespace {
thread_local DWORD tLastError = 0;
}

DWORD GetLastError() { return tLastError; }
void SetLastError(DWORD error) { tLastError = error; }

namespace plat {

DWORD SaveLockError(int e) {
  return e == EWOULDBLOCK ? ERROR_FILE_BEING_SAVED : e == ENOLCK ? ERROR_NO_SAVE_LOCK : ErrnoToError(e);
}

DWORD ErrnoToError(int e) {
  switch (e) {
    case 0:
      return NO_ERROR;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case EISDIR:
      return ERROR_DIRECTORY_NOT_SUPPORTED;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case EBUSY:
    case ETXTBSY:
      return ERROR_SHARING_VIOLATION;
    case EWOULDBLOCK:
      return ERROR_LOCK_VIOLATION;
    case EIO:
      return ERROR_GEN_FAILURE;
    case ENOSYS:
      return ERROR_CALL_NOT_IMPLEMENTED;
    case ENOTSUP:
      return ERROR_NOT_SUPPORTED;
    case ELOOP:
      return ERROR_CANT_RESOLVE_FILENAME;
    default:
      return ERROR_GEN_FAILURE;
  }
}

DWORD SetLastErrorFromErrno(int errnoValue) {
  const DWORD e = ErrnoToError(errnoValue);
  SetLastError(e);
  return e;
}

std::string ErrnoText(int errnoValue) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return std::string(strerror_l(errnoValue, c)) + ".";
}

}  // namespace plat

namespace {

// The errno whose C runtime text describes a classic error number; 0 when there is none.
int ErrorToErrno(DWORD e) {
  switch (e) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_INVALID_HANDLE:
      return EBADF;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_SHARING_VIOLATION:
      return EBUSY;
    case ERROR_LOCK_VIOLATION:
      return EAGAIN;
    case ERROR_NOT_SUPPORTED:
      return ENOTSUP;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    case ERROR_DISK_FULL:
      return ENOSPC;
    case ERROR_CALL_NOT_IMPLEMENTED:
      return ENOSYS;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_GEN_FAILURE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
      return EIO;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_DIRECTORY_NOT_SUPPORTED:
      return EISDIR;
    case ERROR_CANT_RESOLVE_FILENAME:
      return ELOOP;
    default:
      return 0;
  }
}

std::string SystemText(DWORD id) {
  switch (id) {
    case ERROR_SUCCESS:
      return "The operation completed successfully.";
    case ERROR_HANDLE_EOF:
      return "Reached the end of the file.";
    case ERROR_INSUFFICIENT_BUFFER:
    case ERROR_MORE_DATA:
      return "The data area passed is too small.";
    case ERROR_NO_MORE_FILES:
      return "There are no more files.";
    case ERROR_INVALID_NAME:
      return "The file name is not valid.";
    case ERROR_INVALID_DATA:
      return "A name or value would not read back from the file as written (a line break in it).";
    case ERROR_BAD_PATHNAME:
      return "The path is not valid.";
    case ERROR_DIRECTORY_NOT_SUPPORTED:
      return "The path is a folder, not a file.";
    case ERROR_BAD_FILE_TYPE:
      return "The file is not a regular file (a FIFO, a device or a socket).";
    case ERROR_FILE_CHANGED:
      return "The file changed while it was read; try again once it is written.";
    case ERROR_FILE_CHANGED_SINCE_READ:
      return "The file changed since it was read; save again.";
    case ERROR_FILE_BEING_SAVED:
      return "The file is being saved by another program; save again once it is done.";
    case ERROR_NO_SAVE_LOCK:
      return "The file's save lock cannot be had: no folder of the user's own (the runtime or the cache folder) takes "
             "it, and readers hold the file's own lock or its file system keeps none. Nothing was saved.";
    case ERROR_SAVE_LOCK_LOST:
      return "The file's save lock was removed or replaced while the save held it, at every try (its lock file in the "
             "runtime or the cache folder, or that folder): the file may not hold the save; save again.";
    case ERROR_FILE_SIZE_UNKNOWN:
      return "The file is not a regular file whose size can be known before it is read.";
    case ERROR_BADDB:
      return "The store file is damaged: a line is not in its form.";
    case ERROR_STORE_TOO_LARGE:
      return "The change would make the store file larger than the 16 MiB it can load again, and was not made.";
    case static_cast<DWORD>(E_FAIL):
      return "Unspecified failure.";
    case static_cast<DWORD>(E_NOTIMPL):
      return "Not implemented.";
    case static_cast<DWORD>(E_NOINTERFACE):
      return "The interface is not supported.";
    case static_cast<DWORD>(E_POINTER):
      return "Invalid pointer.";
    case static_cast<DWORD>(E_OUTOFMEMORY):
      return "Out of memory.";
    case static_cast<DWORD>(E_INVALIDARG):
      return "One or more arguments are invalid.";
    default:
      break;
  }
  // The object-embedding layer's results.
  static const struct {
    DWORD code;
    const char* text;
  } kOleTexts[] = {
      {0x80040003u, "The object does not support change notifications."},
      {0x80040004u, "There is no such notification connection."},
      {0x80040005u, "The object is not running."},
      {0x80040012u, "The object has no storage."},
      {0x80040064u, "The data format is not offered."},
      {0x80040069u, "The storage medium is not offered."},
      {0x80040110u, "The class does not support aggregation."},
      {0x80040154u, "The class is not registered."},
      {0x800401C0u, "The object stream could not be read."},
      {0x800401C1u, "The object stream could not be written."},
      {0x800401C2u, "The object stream is not in the expected form."},
      {0x800401D0u, "The clipboard could not be opened."},
      {0x800401D2u, "The clipboard data could not be set."},
      {0x800401D3u, "The clipboard data is not valid."},
      {0x800401F3u, "The program identifier names no registered class."},
      {0x80030001u, "The storage operation is not valid."},
      {0x80030002u, "The storage element was not found."},
      {0x80030008u, "There is not enough memory for the storage."},
      {0x80030009u, "The storage pointer is not valid."},
      {0x8003001Eu, "The storage could not be read."},
      {0x80030050u, "The storage element already exists."},
      {0x80030057u, "A storage argument is not valid."},
      {0x800300FBu, "The storage is not in the expected form."},
      {0x800300FCu, "The storage element name is not valid."},
  };
  for (const auto& entry : kOleTexts)
    if (entry.code == id) return entry.text;
  // An HRESULT wrapping a classic error number (0x8007xxxx) reads as that number.
  if ((id & 0xFFFF0000u) == 0x80070000u) id &= 0xFFFF;
  if (const int e = ErrorToErrno(id)) return plat::ErrnoText(e);
  std::string text("error number ");
  text += std::to_string(id);
  return text;
}

}  // namespace

DWORD FormatMessage(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size,
                    va_list* args) {
  if (languageId != 0 && languageId != 0x400 && languageId != 0x409 && languageId != 0x800) {
    SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
    return 0;
  }
  if (!buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string text;
  if (flags & FORMAT_MESSAGE_FROM_STRING) {
    if (!source) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    const char* templ = static_cast<const char*>(source);
    if (flags & FORMAT_MESSAGE_IGNORE_INSERTS) {
      text = templ;
    } else {
      // %1..%99 as strings; %% a percent sign; %n a line break.
      va_list copy;
      const char* const* array = (flags & FORMAT_MESSAGE_ARGUMENT_ARRAY) ? reinterpret_cast<const char* const*>(args) : nullptr;
      std::vector<const char*> taken;
      if (!array && args) va_copy(copy, *args);
      for (const char* p = templ; *p; ++p) {
        if (*p != '%' || !p[1]) {
          text += *p;
          continue;
        }
        ++p;
        if (*p >= '1' && *p <= '9') {
          int n = *p - '0';
          if (p[1] >= '0' && p[1] <= '9') n = n * 10 + (*++p - '0');
          const char* value = nullptr;
          if (array) {
            value = array[n - 1];
          } else if (args) {
            while (static_cast<int>(taken.size()) < n) taken.push_back(va_arg(copy, const char*));
            value = taken[static_cast<std::size_t>(n - 1)];
          }
          if (value) text += value;
        } else if (*p == 'n') {
          text += "\r\n";
        } else {
          text += *p;
        }
      }
      if (!array && args) va_end(copy);
    }
  } else if (flags & FORMAT_MESSAGE_FROM_SYSTEM) {
    text = SystemText(messageId) + "\r\n";
  } else {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    const std::size_t bytes = std::max<std::size_t>(text.size() + 1, size);
    auto* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, bytes));
    if (!block) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    std::memcpy(block, text.c_str(), text.size() + 1);
    *reinterpret_cast<char**>(buffer) = block;
    return static_cast<DWORD>(text.size());
  }
  if (size <= text.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

std::string plat::SystemErrorText(DWORD error) { return SystemText(error); }

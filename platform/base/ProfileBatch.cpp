#include "platform/base/ProfileBatch.h"

#include <exception>

#include "platform/base/IniStore.h"
#include "platform/base/SystemError.h"

namespace plat {

ProfileBatch::ProfileBatch(LPCSTR fileName)
    : key_(IniStore::BeginBatch(fileName)), uncaught_(std::uncaught_exceptions()) {}

ProfileBatch::~ProfileBatch() {
  if (closed_ || key_.empty()) return;
  IniStore::EndBatch(key_, std::uncaught_exceptions() > uncaught_ ? IniStore::BatchEnd::Abandon
                                                                  : IniStore::BatchEnd::Commit);
}

BOOL ProfileBatch::Close(bool whole) {
  if (closed_) return result_;
  closed_ = true;
  if (key_.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return result_ = FALSE;
  }
  if (!whole) {
    const DWORD error = GetLastError();
    IniStore::Refuse(key_.c_str(), error ? error : ERROR_OPERATION_ABORTED);
  }
  return result_ = IniStore::EndBatch(key_, IniStore::BatchEnd::Commit) ? TRUE : FALSE;
}

}  // namespace plat

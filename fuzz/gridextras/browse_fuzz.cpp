// Arbitrary bytes as an archived browse-parameter object: read or refused with an archive exception, never
// a crash or a read past the bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "grid/extras/CGXBrowseParam.h"
#include "platform/base/CArchive.h"
#include "platform/base/CArchiveException.h"
#include "platform/base/CException.h"
#include "platform/base/CMemFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<BYTE> bytes(data, data + size);
  CMemFile file;
  file.Attach(bytes.data(), static_cast<UINT>(bytes.size()));
  CGXBrowseParam param;
  try {
    CArchive ar(&file, CArchive::load);
    param.Serialize(ar);
  } catch (CException* e) {
    e->Delete();
  }
  return 0;
}

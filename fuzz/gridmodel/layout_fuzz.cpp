// Reads arbitrary bytes as a grid layout. A layout that loads is written again and read back, so that the
// writer and the second read see whatever the first read accepted.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "grid/core/gxlayout.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InstallDocSerializeImp();
  InstallSerializeTarn5CompatibleImp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<CObject> object(gx::ReadObjectFromBytes({data, size}, RUNTIME_CLASS(CGXGridParam)));
  if (!object) return 0;
  const std::vector<BYTE> again = gx::WriteObjectToBytes(object.get());
  std::unique_ptr<CObject> second(gx::ReadObjectFromBytes(again, RUNTIME_CLASS(CGXGridParam)));
  if (!second) __builtin_trap();  // what the writer produced must read back
  return 0;
}

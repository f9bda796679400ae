// CSharedFile: a memory file whose bytes live in a movable global memory block, so that they can be
// handed to the clipboard (Detach) or read from it (SetHandle).
#pragma once

#include "platform/base/CMemFile.h"
#include "platform/base/GlobalMemory.h"

class CSharedFile : public CMemFile {
  DECLARE_DYNAMIC(CSharedFile)
 public:
  explicit CSharedFile(UINT allocFlags = GMEM_DDESHARE | GMEM_MOVEABLE, UINT growBytes = 4096);
  ~CSharedFile() override;

  // Gives the block to the caller (unlocked, holding the file's bytes) and empties the file; null when empty.
  HGLOBAL Detach();
  // Reads (and, with allowGrow, writes) an existing block; the file does not free it.
  void SetHandle(HGLOBAL block, BOOL allowGrow = TRUE);


 protected:
  BYTE* Alloc(SIZE_T bytes) override;
  BYTE* Realloc(BYTE* block, SIZE_T bytes) override;
  void Free(BYTE* block) override;

  UINT allocFlags_;
  UINT defaultGrow_;
  HGLOBAL block_ = nullptr;
  bool ownsBlock_ = true;
};

// Grid layouts: archived parameter objects, found as "GXLAYOUT" resources or read from files.
//
// Readers never throw: a missing resource, a read error or an object of the wrong class gives null. A
// layout is untrusted input, read under an ArchiveReadGuard (see gxarchive.h).
#pragma once

#include <span>
#include <vector>

#include "platform/base/CObject.h"

class CFile;
class CGXGridParam;

// A new parameter object (owned by the caller) from the "GXLAYOUT" resource with this id, or null.
CGXGridParam* LoadGridParamLayoutById(WORD id);
// The same for a named resource.
CGXGridParam* LoadGridParamLayout(LPCTSTR name);
CObject* LoadObjectFromResource(LPCTSTR name, LPCTSTR type, const CRuntimeClass* expected);
CObject* ReadObjectFromFile(CFile* file, const CRuntimeClass* expected);

namespace gx {
// Reads one object from bytes (the resource loader's and the fuzzer's entry); null on any failure.
CObject* ReadObjectFromBytes(std::span<const BYTE> bytes, const CRuntimeClass* expected);
// Archives one object (as the layout generator does): the persistent-object form of the object.
std::vector<BYTE> WriteObjectToBytes(const CObject* object);
}  // namespace gx

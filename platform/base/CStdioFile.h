// CStdioFile: a buffered file with text lines.
//
// Text mode (typeText, or neither type flag) writes each "\n" of WriteString as "\r\n", as the classic
// runtime does, and ReadString accepts lines ending in "\n" or "\r\n". Read and Write move raw bytes in
// both modes. Paths, share modes and errors behave as in CFile.
#pragma once

#include <cstdio>

#include "platform/base/CFile.h"

class CStdioFile : public CFile {
  DECLARE_DYNAMIC(CStdioFile)
 public:
  CStdioFile() = default;
  CStdioFile(LPCSTR fileName, UINT openFlags);
  ~CStdioFile() override;

  BOOL Open(LPCSTR fileName, UINT openFlags, CFileException* error = nullptr) override;
  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  ULONGLONG Seek(LONGLONG offset, UINT from) override;
  ULONGLONG GetPosition() const override;
  ULONGLONG GetLength() const override;
  void SetLength(ULONGLONG newLength) override;
  void Flush() override;
  void Close() override;
  void Abort() override;

  // The next line without its line end; FALSE at the end of the file when nothing was read.
  BOOL ReadString(CString& line);
  // Up to maxChars - 1 characters, stopping after a "\n" (kept; a "\r\n" becomes "\n" in text mode);
  // null at the end of the file.
  LPSTR ReadString(LPSTR buffer, UINT maxChars);
  void WriteString(LPCSTR text);

  FILE* m_pStream = nullptr;

 private:
  void CheckOpen() const;
  bool text_ = true;
};

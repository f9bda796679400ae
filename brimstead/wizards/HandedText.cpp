#include "brimstead/wizards/HandedText.h"

#include "platform/framework/MessageBox.h"

namespace brimwiz {
namespace {
bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}
}  // namespace

bool HoldsControlCharacter(const CString& text) {
  for (int i = 0; i < text.GetLength(); ++i)
    if (IsControl(text[i]))
      return true;
  return false;
}

CString ShownWithEscapes(const CString& text) {
  CString shown;
  for (int i = 0; i < text.GetLength(); ++i) {
    const char c = text[i];
    if (c == '\r')
      shown += "\\r";
    else if (c == '\n')
      shown += "\\n";
    else if (c == '\t')
      shown += "\\t";
    else if (IsControl(c)) {
      CString code;
      code.Format("\\x%02X", static_cast<unsigned char>(c));
      shown += code;
    } else
      shown += c;
  }
  return shown;
}

bool RefusedForControlCharacter(HWND owner, const char* caption, const char* what, const CString& text) {
  if (!HoldsControlCharacter(text))
    return false;
  CString message;
  message.Format("%s \"%s\" holds a control character (a line break, a tab or another character that cannot be "
                 "typed), which no name or text handed on may hold. Please enter it without one.",
                 what, ShownWithEscapes(text).GetString());
  ::MessageBox(owner, message, caption, MB_OK | MB_ICONWARNING);
  return true;
}
}  // namespace brimwiz

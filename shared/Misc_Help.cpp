#include "shared/Misc_Help.h"

#include <cerrno>
#include <cstdlib>

#include "platform/base/CString.h"
#include "platform/framework/HelpService.h"
#include "platform/framework/MessageBox.h"

namespace {

// The library's meaning of its result codes.
CString HelpResultMessage(int result) {
  switch (result) {
    case 2: return "Error: operation could not be performed.";
    case 3: return "Error: invalid parameter.";
    case 4: return "Error: document not found.";
    case 5: return "Error: unable to open document.";
    case 6: return "Error: tag not in document.";
    case 7: return "Error:  viewer not found.";  // two blanks, as the library has always said it
    case 8: return "Error: text not found in document.";
    case 9: return "Error: page does not exist in document.";
    default: {
      CString text;
      text.Format("Error: number %d", result);
      return text;
    }
  }
}

}  // namespace

BOOL ShowHelpTopic(HWND, const char* documentKey, int, int topic) {
  CString topicText;
  topicText.Format("%d", topic);
  ShowHelpDocument(documentKey, topicText);
  return TRUE;
}

bool ShowHelpDocument(const char* documentKey, const char* topicText) {
  const int result = OlhHelpCall(documentKey, topicText, 0);
  if (result == 0)
    return true;
  CString text;
  text.Format(" %s \n %s \n %s \n", static_cast<const char*>(HelpResultMessage(result)), documentKey, topicText);
  MessageBoxA(nullptr, text, "Kestrelon On Line Help", MB_OK);
  return false;
}

int OlhHelpCall(const char* documentKey, const char* topicText, int flags) {
  if (!documentKey || !*documentKey || !topicText || !*topicText)
    return 3;
  errno = 0;
  char* end = nullptr;
  const long topic = std::strtol(topicText, &end, 10);
  if (*end || errno == ERANGE)
    return 6;
  return plat::HelpService::Current().Show(nullptr, documentKey, static_cast<UINT>(flags),
                                           static_cast<DWORD_PTR>(topic));
}

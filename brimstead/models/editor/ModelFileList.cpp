#include "brimstead/models/editor/ModelFileList.h"

#include "platform/base/FileSystem.h"
#include "platform/base/PathDialect.h"
#include "platform/base/ProgramLauncher.h"
#include "shared/Misc_Path.h"

#include <cstring>
#include <set>
#include <string>

namespace {
// The folder part of a model file name (up to and with its last separator) and the name after it.
struct FolderAndName {
  CString folder;
  CString name;
};

FolderAndName SplitModelFileName(const CString& fileName) {
  const int cut = static_cast<int>(plat::NameStart(fileName.View()));
  return {fileName.Left(cut), fileName.Mid(cut)};
}

void AddModelFileEntry(CListBox& list, CStringArray& paths, const CString& path, const char* text) {
  const int index = static_cast<int>(paths.Add(path));
  const int entry = list.AddString(text);
  if (entry >= 0) list.SetItemData(entry, static_cast<DWORD_PTR>(index));
}

bool IsModelFolder(const CStringArray& directories, const CString& folder) {
  for (int d = 0; d < directories.GetSize(); ++d)
    if (PathsEqual(directories[d], folder)) return true;
  return false;
}
}  // namespace

void ListModelDirectoryFiles(const CStringArray& directories, const char* extensions, CListBox& list,
                             CStringArray& paths, const std::function<bool(const char* name)>& keep) {
  std::set<std::string> listed;
  for (int d = 0; d < directories.GetSize(); ++d) {
    const CString& directory = directories[d];
    WIN32_FIND_DATA found{};
    HANDLE find = FindFirstFile(directory + "*.*", &found);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const char* name = found.cFileName;
      // A backslash separates folders in the module's paths, so a file whose name holds one cannot be opened
      // by its name: it is not offered.
      if (std::strchr(name, '\\')) continue;
      if (!HasExtensionFromList(name, extensions, 0)) continue;
      if (listed.count(name)) continue;
      if (keep && !keep(name)) continue;
      listed.insert(name);
      AddModelFileEntry(list, paths, directory + name, name);
    } while (FindNextFile(find, &found));
    FindClose(find);
  }
}

void ListHiddenModelFile(const CStringArray& directories, const char* extensions, CListBox& list, CStringArray& paths,
                         const CString& fileName, const std::function<bool(const char* name)>& keep) {
  const FolderAndName named = SplitModelFileName(fileName);
  if (named.folder.IsEmpty() || !IsModelFolder(directories, named.folder)) return;
  if (FindModelFileEntry(list, paths, fileName) >= 0) return;
  const DWORD attributes = GetFileAttributes(fileName);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  if (!HasExtensionFromList(named.name, extensions, 0) || (keep && !keep(fileName))) return;
  AddModelFileEntry(list, paths, fileName, fileName);
}

int FindModelFileEntry(const CListBox& list, const CStringArray& paths, const CString& fileName) {
  if (fileName.IsEmpty()) return -1;
  const FolderAndName named = SplitModelFileName(fileName);
  CString text;
  for (int i = 0; i < list.GetCount(); ++i) {
    list.GetText(i, text);
    if (text == fileName) return i;   // byte for byte
    if (named.folder.IsEmpty() || SplitModelFileName(text).name != named.name) continue;
    const auto index = static_cast<INT_PTR>(list.GetItemData(i));
    if (index >= 0 && index < paths.GetSize() && PathsEqual(SplitModelFileName(paths[index]).folder, named.folder))
      return i;
  }
  return -1;
}

CString UnlistedModelFileMessage(const CStringArray& directories, const CString& fileName) {
  const FolderAndName named = SplitModelFileName(fileName);
  CString text;
  if (named.folder.IsEmpty()) {
    for (int d = 0; d < directories.GetSize(); ++d)
      if (FileExists(directories[d] + named.name)) return text;
  } else if (FileExists(fileName)) {
    if (IsModelFolder(directories, named.folder)) return text;
    text.Format("Model file \"%s\" is not in the model folders!", fileName.GetString());
    return text;
  }
  text.Format("Model file \"%s\" is missing!", fileName.GetString());
  return text;
}

int FindTextFromSecond(int count, const std::function<const CString&(int i)>& textAt, const CString& name) {
  for (int k = 0; k < count; ++k) {
    const int i = (k + 1) % count;
    if (textAt(i).CompareNoCase(name) == 0) return i;
  }
  return -1;
}

int SelectedPathIndex(const CListBox& list, const CStringArray& paths) {
  const int selection = list.GetCurSel();
  if (selection < 0) return -1;
  const auto index = static_cast<INT_PTR>(list.GetItemData(selection));
  return index >= 0 && index < paths.GetSize() ? static_cast<int>(index) : -1;
}

CString RunningProgramDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileName(nullptr, path, sizeof path);
  CString directory = path;
  CutToDirectory(directory);
  return directory;
}

void PrepareMessageLabel(CWnd& pane, int id, CFont& bold) {
  CWnd* label = pane.GetDlgItem(id);
  if (!label) return;
  LOGFONT lf{};
  if (CFont* font = label->GetFont()) font->GetLogFont(&lf);
  lf.lfWeight = FW_BOLD;
  bold.CreateFontIndirect(&lf);
  label->ShowWindow(SW_HIDE);
  label->SetFont(&bold);
}

void ReleaseMessageLabel(CWnd& pane, int id, CFont& bold) {
  if (CWnd* label = pane.GetDlgItem(id)) label->SetFont(nullptr, FALSE);
  bold.DeleteObject();
}

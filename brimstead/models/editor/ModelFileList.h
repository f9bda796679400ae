// Listing the model files of the model directories into a pane's file list: each directory in order, files only,
// the extensions of a list, a name listed once (from the first directory that has it). Each entry carries the
// index of its full path in the pane's path list.
#pragma once

#include "platform/base/CStringArray.h"
#include "platform/framework/CListBox.h"
#include "platform/gdi/CFont.h"

#include <functional>

void ListModelDirectoryFiles(const CStringArray& directories, const char* extensions, CListBox& list,
                             CStringArray& paths, const std::function<bool(const char* name)>& keep = {});

// The entry of a sorted list that begins with `name` (letter case ignored), searched from the second entry on and
// wrapping round; -1 when none does. An empty name matches the first entry searched.
int FindEntryFromSecond(const CListBox& list, const CString& name, bool wholeText);
// The same search over `count` texts that a list would show in this order (`textAt(i)` is entry i's text),
// without asking a list for them.
int FindTextFromSecond(int count, const std::function<const CString&(int i)>& textAt, const CString& name,
                       bool wholeText);

// The selected entry's index in `paths`, or -1 when nothing is selected or the entry's data is no path index.
int SelectedPathIndex(const CListBox& list, const CStringArray& paths);

// The directory of the running program, where the viewer and editor programs of the model files are looked for.
CString RunningProgramDirectory();

// The panes' message label: hidden, in a bold copy of its font (kept in `bold` until the label lets it go).
void PrepareMessageLabel(CWnd& pane, int id, CFont& bold);
void ReleaseMessageLabel(CWnd& pane, int id, CFont& bold);

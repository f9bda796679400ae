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
// Lists the file a model names by a path in a model folder when no entry is that file (an earlier folder's file of
// its name took the name's one entry, or was the file the filter judged by that name): as an entry of its own whose
// text is that path as given, so that the model opens on its own file. Only a file the listing offers from its
// folder is listed: a file, not a folder, of a listed extension, kept by `keep` judged on its path.
void ListHiddenModelFile(const CStringArray& directories, const char* extensions, CListBox& list, CStringArray& paths,
                         const CString& fileName, const std::function<bool(const char* name)>& keep = {});

// The entry whose file is the one a model names, or -1. A bare name is an entry's text byte for byte (each name is
// listed once, from the first folder that holds it); a name with a folder part is the entry whose text it is, or
// whose file name (its text after any folder) is that name, byte for byte, and whose folder is that folder
// (PathsEqual). Nothing else stands in for a file: not a name in other letter case, nor a longer name that begins
// with it. An empty name is no entry.
int FindModelFileEntry(const CListBox& list, const CStringArray& paths, const CString& fileName);
// Why the file a model names is not in the list, as the pane says it; empty when it is a file of a model folder
// that the list leaves out (a filter).
CString UnlistedModelFileMessage(const CStringArray& directories, const CString& fileName);

// The entry whose text is `name` as a whole, letter case ignored (as SPICE reads names), searched among `count`
// texts from the second on and wrapping round (`textAt(i)` is entry i's text); -1 when none is.
int FindTextFromSecond(int count, const std::function<const CString&(int i)>& textAt, const CString& name);

// The selected entry's index in `paths`, or -1 when nothing is selected or the entry's data is no path index.
int SelectedPathIndex(const CListBox& list, const CStringArray& paths);

// The directory of the running program, where the viewer and editor programs of the model files are looked for.
CString RunningProgramDirectory();

// The panes' message label: hidden, in a bold copy of its font (kept in `bold` until the label lets it go).
void PrepareMessageLabel(CWnd& pane, int id, CFont& bold);
void ReleaseMessageLabel(CWnd& pane, int id, CFont& bold);

// The files a run writes, deletes or hands the host for writing, and the one rule that judges each of them.
//
// The files: the DRC report of a Quick decoupling analysis (the host writes it; the wizard deletes the old one just
// before the run), the output file of every other analysis (the host writes it), the settings file while "Save
// settings to file" is ticked (the wizard saves it) and the settings copy the host asks for (the wizard saves it to
// the name in the host's settings-copy buffer at every save; an empty buffer gets a fresh temporary file of the
// module's, which is no other file; the host's Run and CloseWizard take the buffer back first and so make no copy, and
// the name it held stays the host's file, judged as the copy).
// JudgeWrittenPath takes a path only when it is
//   1. the whole path, with a name in it ("x:", "sub/" and a chosen output name "sub/" name no file);
//   2. a name the file system takes (no part longer than it allows), judged by the file system itself;
//   3. a regular file or nothing, judged by what is at the whole name (links followed; a link to nothing is not
//      nothing: a write through it makes a file wherever it points);
//   4. neither the project (which the host holds open) nor another of these files, judged as files (device and
//      inode: another spelling, a link or a hard link of one is that file); a file that Finish is still to make is
//      the path naming nothing yet in the same folder under the same name. The settings file and the copy may be
//      one file (the host's last configuration saved again under its name): both hold the same settings;
//   5. for the host's files, also writable now: in a folder that is there, and replaceable when a file is there
//      (the settings save reports those faults of its own file itself, with the system's reason, after trying; a
//      copy that cannot be written is dropped, see CDWPage::SaveSettings).
// Who asks: the finish page for the host's files as it is left, at Finish and "Save && Run" on any page (the host's
// Run clicks Finish) and once more just before the run; the settings save (CDWPage::SaveSettings) for the settings
// file and the copy at every save. A refused copy is not written and never holds the wizard open: the buffer is
// emptied. Only a regular file is ever deleted (DeleteRegularFile judges it at the delete).
#pragma once

#include "platform/base/CString.h"

#include <optional>

class CAnalysisData;

namespace brimwiz {

enum class WrittenFile { Report, Output, Settings, SettingsCopy };

struct PathRefusal {
  WrittenFile file;
  CString path;     // the whole path judged
  CString reason;   // why, one sentence
};

// The path the record's run writes as `file`, or nullopt when the run writes no such file.
std::optional<CString> WrittenPathOf(const CAnalysisData& record, WrittenFile file);

// The rule above for the record's `file` (nullopt: taken, or the run writes no such file).
std::optional<PathRefusal> JudgeWrittenPath(const CAnalysisData& record, WrittenFile file);

// Deletes the file at `path` only when a regular file is there, judged at the delete in the folder the path is
// walked to once, and removed only while its name still holds that file (plat::RemoveRegularFile); true when it was
// deleted or nothing is there. A link is left as it is (true): the rule took the regular file it leads to, which the
// host then writes. Anything else stays and answers false with ERROR_BAD_FILE_TYPE as the last error; another file
// put under the name between the look and the delete stays too (ERROR_SHARING_VIOLATION).
bool DeleteRegularFile(const char* path);

}  // namespace brimwiz

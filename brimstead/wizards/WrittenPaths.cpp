#include "brimstead/wizards/WrittenPaths.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "platform/base/FileKind.h"
#include "platform/base/FileSystem.h"
#include "platform/base/PathDialect.h"
#include "platform/base/SystemError.h"
#include "shared/Misc_Path.h"

#include <cerrno>
#include <string>

namespace brimwiz {

namespace {

constexpr WrittenFile kWrittenFiles[] = {WrittenFile::Report, WrittenFile::Output, WrittenFile::Settings,
                                         WrittenFile::SettingsCopy};

const char* const kWhatFile[] = {"the DRC spreadsheet file", "the output file", "the settings file that Finish saves",
                                 "the settings copy the host keeps"};

// The settings file and the host's copy may be one file: both are written with the same settings (the host's last
// configuration saved again under its own name), so neither is the other's loss.
bool SettingsAndCopy(WrittenFile a, WrittenFile b) {
  return (a == WrittenFile::Settings && b == WrittenFile::SettingsCopy) ||
         (a == WrittenFile::SettingsCopy && b == WrittenFile::Settings);
}

// What is at a whole path, links followed.
enum class Found { Nothing, Regular, Folder, NotRegular, LinkToNothing, TooLong, Unreachable };

struct Look {
  Found found;
  int error;   // the errno of an unreachable path
};

Look LookAt(const CString& path) {
  if (const std::optional<plat::FileKind> kind = plat::KindOf(path, plat::Links::Follow))
    return {*kind == plat::FileKind::Folder ? Found::Folder
            : *kind == plat::FileKind::Regular ? Found::Regular
                                               : Found::NotRegular,
            0};
  const int error = errno;
  if (error == ENAMETOOLONG)
    return {Found::TooLong, error};
  if (error != ENOENT)
    return {Found::Unreachable, error};
  return {plat::KindOf(path, plat::Links::Keep) ? Found::LinkToNothing : Found::Nothing, 0};
}

// A path whose name is empty ("x:", "sub/"), "." or "..": it names a folder, not a file.
bool Nameless(const CString& path) {
  const CString name = path.Mid(static_cast<int>(plat::NameStart(path.View())));
  return name.IsEmpty() || name == "." || name == "..";
}

// Whether `path` names the file `kept`: the file itself, however either is spelt (another spelling, a link, a hard
// link). A kept file that is not there is no file, unless Finish or the run makes it (`made`): then a path that
// names nothing yet names it when both are one name in one folder.
bool NamesFile(const CString& path, const CString& kept, bool made) {
  if (path.IsEmpty() || kept.IsEmpty())
    return false;
  const std::optional<plat::FileIdentity> file = plat::IdentityOf(path);
  if (const std::optional<plat::FileIdentity> keptFile = plat::IdentityOf(kept))
    return file == keptFile;
  if (!made || file)
    return false;
  const std::optional<plat::FileIdentity> keptFolder = plat::IdentityOf(plat::FolderOf(kept.View()).c_str());
  return keptFolder && FileNameOfPath(path) == FileNameOfPath(kept) &&
         plat::IdentityOf(plat::FolderOf(path.View()).c_str()) == keptFolder;
}

// Whether the existing file at `path` may be replaced: it is not read-only and its folder, which deleting it
// changes, is writable.
bool CanReplace(const CString& path) {
  const DWORD attributes = ::GetFileAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY) &&
         _access(plat::FolderOf(path.View()).c_str(), 2) == 0;
}

// Rules 1 to 3 and 5 (see the header); an empty text when the path passes them.
CString KindFault(const CString& path, bool hostsFile) {
  if (Nameless(path))
    return plat::SystemErrorText(ERROR_INVALID_NAME).c_str();
  const Look look = LookAt(path);
  switch (look.found) {
    case Found::Folder: return plat::SystemErrorText(ERROR_DIRECTORY_NOT_SUPPORTED).c_str();
    case Found::NotRegular: return plat::SystemErrorText(ERROR_BAD_FILE_TYPE).c_str();
    case Found::LinkToNothing: return "The path is a link to no file.";
    case Found::TooLong: return plat::ErrnoText(ENAMETOOLONG).c_str();
    case Found::Unreachable: return hostsFile ? CString(plat::ErrnoText(look.error).c_str()) : CString();
    case Found::Regular: return hostsFile && !CanReplace(path) ? CString(plat::ErrnoText(EACCES).c_str()) : CString();
    case Found::Nothing:
      return hostsFile && !DirectoryExists(plat::FolderOf(path.View()).c_str())
                 ? CString(plat::ErrnoText(ENOENT).c_str())
                 : CString();
  }
  return CString();
}

}  // namespace

std::optional<CString> WrittenPathOf(const CAnalysisData& record, WrittenFile file) {
  const bool quickDecoupling =
      record.GetKind() == CDecouplingAnalysisData::Kind && record.m_nAnalysisType == AnalysisQuick;
  switch (file) {
    case WrittenFile::Report:
      if (quickDecoupling && record.m_nDRCReportMode != DRCNoReport)
        return record.m_DRCReportFile;
      break;
    case WrittenFile::Output:
      if (!quickDecoupling)
        return record.GetOutputFilePath();
      break;
    case WrittenFile::Settings:
      // A save without a name is refused by the save itself ("The file name is not valid.").
      if (record.m_bSaveSettings && !record.m_SettingsPath.IsEmpty())
        return record.m_SettingsPath;
      break;
    case WrittenFile::SettingsCopy:
      // An empty buffer has no name yet: the save makes a fresh temporary file for it, which is no other file. A
      // buffer the host took back is written no more, and the name it held is still the host's file.
      if (CString last = record.LastConfiguration(); !last.IsEmpty())
        return last;
      break;
  }
  return std::nullopt;
}

std::optional<PathRefusal> JudgeWrittenPath(const CAnalysisData& record, WrittenFile file) {
  const std::optional<CString> path = WrittenPathOf(record, file);
  if (!path)
    return std::nullopt;
  // A chosen output name without a name of its own ("sub/") would give the project's folder's ".<extension>".
  const bool namelessChoice = file == WrittenFile::Output && !record.m_nAutoGenerateOutputFileName &&
                              !record.m_OutputFileName.IsEmpty() && Nameless(record.m_OutputFileName);
  CString reason = namelessChoice ? CString(plat::SystemErrorText(ERROR_INVALID_NAME).c_str())
                                  : KindFault(*path, file == WrittenFile::Report || file == WrittenFile::Output);
  if (reason.IsEmpty() && NamesFile(*path, record.m_ProjectPath, false))
    reason.Format("It is the project file \"%s\".", record.m_ProjectPath.GetString());
  for (const WrittenFile other : kWrittenFiles) {
    if (!reason.IsEmpty() || other == file || SettingsAndCopy(file, other))
      continue;
    const std::optional<CString> otherPath = WrittenPathOf(record, other);
    if (otherPath && NamesFile(*path, *otherPath, true))
      reason.Format("It is %s \"%s\".", kWhatFile[static_cast<int>(other)], otherPath->GetString());
  }
  if (reason.IsEmpty())
    return std::nullopt;
  return PathRefusal{file, *path, reason};
}

bool DeleteRegularFile(const char* path) {
  const std::optional<plat::FileKind> kind = plat::RemoveRegularFile(path ? path : "");
  if (!kind) {
    if (errno == ENOENT)
      return true;
    plat::SetLastErrorFromErrno(errno);
    return false;
  }
  if (*kind == plat::FileKind::Regular || *kind == plat::FileKind::Link)
    return true;
  ::SetLastError(ERROR_BAD_FILE_TYPE);
  return false;
}

}  // namespace brimwiz

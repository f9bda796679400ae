// The common part of the ".dao" settings file and the record's path rules.
//
// Sections: "HEADER" (version stamps; a load reads only whether the section is there), "BOARD" (project, settings
// file name, board index and the derived records' keys), the options section of the record's kind, and the derived
// records' probe sections.
// Call flow of a save: Save -> [BOARD, HEADER stamps, options section] then the derived record's own sections.
// Call flow of a load: Load -> [options section] -> the derived Load -> ReadBoardSection -> SelectBoard -> probes.
#include "brimstead/AnalysisData.h"

#include "brimstead/HostObjectRefs.h"
#include "brimstead/SettingRanges.h"
#include "brimstead/SettingsIO.h"
#include "platform/base/CTime.h"
#include "platform/base/FileSystem.h"
#include "platform/base/PrivateProfile.h"
#include "platform/base/ProfileBatch.h"
#include "platform/base/StringApi.h"
#include "platform/base/SystemError.h"
#include "shared/Misc_Ini.h"
#include "shared/Misc_Path.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace settings_io;

namespace {

// The analysis type a file without a known "Analysis" value gives, by kind.
int DefaultAnalysisType(int kind) {
  static const int types[] = {AnalysisNone, AnalysisLumped, AnalysisDistributed, AnalysisDistributed,
                              AnalysisDistributed};
  return kind >= 0 && kind < 5 ? types[kind] : AnalysisNone;
}

// The names of the file's sections (none for a file that is not there or holds none).
std::vector<std::string> SectionNames(const char* file) {
  for (DWORD size = 1024;; size *= 2) {
    std::vector<char> buffer(size, '\0');
    const DWORD length = ::GetPrivateProfileString(nullptr, nullptr, "", buffer.data(), size, file);
    if (length + 2 < size || size >= (1u << 24)) {
      std::vector<std::string> names;
      for (const char* name = buffer.data(); name < buffer.data() + length && *name; name += std::strlen(name) + 1)
        names.emplace_back(name);
      return names;
    }
  }
}

// A settings file holds a section every save writes ("HEADER", "BOARD") or this kind's options section, even when
// empty (its missing keys then read as the file format's defaults; another kind's file is read that way too).
bool HoldsSettings(const char* section, const char* file) {
  for (const std::string& name : SectionNames(file))
    for (const char* known : {"HEADER", "BOARD", section})
      if (_stricmp(name.c_str(), known) == 0)
        return true;
  return false;
}

// A sample count of the frequency page: a whole number from 0 to 9999, read as the page reads its edit; any other
// value (no whole number, "12abc", "40.9", "0x10", or one outside the range) reads as the record's 50.
int ReadSampleCount(const char* section, const char* key, const char* file) {
  constexpr int DefaultSampleCount = 50;
  const std::optional<int> count = ReadTypedCount(section, key, file);
  return count && kSampleCountRange.Accepts(*count) ? *count : DefaultSampleCount;
}

// "GenerateS" when the key is missing, by kind.
bool DefaultGenerateS(int kind) { return kind == 0 || kind == 3 || kind == 4; }

CString DriveAndDirectory(const char* path) {
  const CPathParts parts = SplitPath(path);
  return parts.drive + parts.directory;
}

CString CurrentDirectory() {
  const DWORD needed = GetCurrentDirectory(0, nullptr);
  if (needed == 0)
    return CString();
  std::string buffer(needed, '\0');
  const DWORD length = GetCurrentDirectory(needed, buffer.data());
  return length > 0 && length < needed ? CString(buffer.c_str()) : CString();
}

// A relative path made absolute against the working directory; one that begins with a separator keeps only the
// working directory's drive (none on Linux). An absolute path is returned unchanged.
CString AbsolutePath(const char* path) {
  if (!IsRelativePath(path))
    return CString(path);
  const CString cwd = CurrentDirectory();
  if (path[0] == '\\' || path[0] == '/')
    return SplitPath(cwd).drive + path;
  return cwd + "/" + path;
}

// A file's name, stored alone, reads back as that name: one that begins with a letter and a colon ("x:proj.brd")
// would read as a drive and a name, another file.
bool ReadsAsName(const char* name) { return IsRelativePath(name); }

// The first path, in the directory, among "<name>.<ext>", then the numbered ones, under which nothing is: a folder,
// a FIFO or a link takes its name as a file does.
template <class NameAt>
CString FirstFreePath(const CString& directory, NameAt nameAt) {
  for (int n = 0;; ++n) {
    const CString path = directory + nameAt(n);
    if (!NameTaken(path))
      return path;
  }
}

}  // namespace

bool CAnalysisData::Save() {
  // An empty settings path would write a file named "" in the working directory; refuse it instead.
  if (m_SettingsPath.IsEmpty())
    return false;
  const char* file = m_SettingsPath;
  // The whole save reaches the file in one replace, or nothing of it does; a derived save's scope holds this one.
  plat::ProfileBatch batch(file);
  bool written = true;

  // The project is stored by its bare name only where a load finds it beside the settings file: in the very same
  // folder, case and all ("a/" and "A/" are two folders), and under a name that reads back as a name.
  CString settingsDirectory(m_SettingsPath), projectDirectory(m_ProjectPath);
  CutToDirectory(settingsDirectory);
  CutToDirectory(projectDirectory);
  const CString projectName = FileNameOfPath(m_ProjectPath), settingsName = FileNameOfPath(m_SettingsPath);
  if (!PathsEqual(settingsDirectory, projectDirectory) || !ReadsAsName(projectName) || !ReadsAsName(settingsName)) {
    written &= WriteText("BOARD", "ProjectPath", m_ProjectPath, file);
    written &= WriteText("HEADER", "FileName", m_SettingsPath, file);
  } else {
    written &= WriteText("BOARD", "ProjectPath", projectName, file);
    written &= WriteText("BOARD", "FileName", settingsName, file);
  }
  written &= WriteText("HEADER", "ZuzedAredozuro Wizard Version", "1.2", file);
  written &= WriteText("HEADER", "DateTime", CTime::GetCurrentTime().Format("%#c"), file);
  written &= WriteText("HEADER", "FileVersion", "1.0", file);

  if (m_nAnalysisType == AnalysisNone)
    return batch.Close(written) != FALSE;
  const char* section = OptionsSection();
  written &= WriteText(section, "Analysis", AnalysisTypeName(m_nAnalysisType), file);
  written &= WriteFlag(section, "DRCOnly", m_bDRCOnly, file);
  written &= WriteFlag(section, "SkipStitchingVias", m_bSkipStitchingVias, file);
  written &= WriteText(section, "Mode", m_nMode == 1 ? "Custom" : "Easy", file);
  written &= WriteNumber(section, "TargetImpedancee", "%f", m_dTargetImpedance, file);
  written &= WriteFlag(section, "IncludeAllNets", m_bIncludeAllNets, file);
  written &= WriteFlag(section, "IncludeMounting", m_bIncludeMounting, file);
  written &= WriteFlag(section, "IncludeInterPlane", m_bIncludeInterPlane, file);
  written &= WriteFlag(section, "IncludeLowFreqConnections", m_bIncludeLowFreqConnections, file);
  written &= WriteFlag(section, "ForcePassivity", m_bForcePassivity, file);
  written &= WriteFlag(section, "GenerateS", m_bGenerateS, file);
  written &= WriteFlag(section, "ExportShuntModel", m_bExportShuntModel, file);
  written &= WriteFlag(section, "UseInterimTochstone", m_bUseInterimTouchstone, file);
  written &= WriteFlag(section, "UseFDTD", m_bUseFDTD, file);
  written &= WriteFlag(section, "ShowTPOscilloscpe", m_bShowTPOscilloscope, file);
  written &= WriteNumber(section, "FDTDInterval", "%g", m_dFDTDInterval, file);
  written &= WriteNumber(section, "MinFreq", "%g", m_dMinFreq, file);
  written &= WriteNumber(section, "MaxFreq", "%g", m_dMaxFreq, file);
  const char* sweep = m_nFreqSweepMode == SweepLinear        ? "Linear"
                      : m_nFreqSweepMode == SweepLogarithmic ? "Logarithmic"
                                                             : "Adaptive";
  written &= WriteText(section, "FreqSweepMode", sweep, file);
  written &= WriteInt(section, "MaxAdaptiveFreqNumber", m_nMaxAdaptiveFreqNumber, file);
  written &= WriteInt(section, "NonAdaptiveFreqNumber", m_nNonAdaptiveFreqNumber, file);
  written &= WriteInt(section, "AdaptiveSweepAccuracy", m_nAdaptiveSweepAccuracy, file);
  written &= WriteInt(section, "AutoGenerateOutputFileName", m_nAutoGenerateOutputFileName, file);
  written &= WriteText(section, "BaseOutputFileName", m_BaseOutputFileName, file);
  written &= WriteText(section, "OutputFileName", GetChosenOutputFileName(), file);
  const char* report = m_nDRCReportMode == DRCNoReport ? "NoReport" : m_nDRCReportMode == DRCReportCSV ? "CSV" : "XLS";
  written &= WriteText(section, "DRCReportMode", report, file);
  written &= WriteText(section, "DRCReportFile", GetDRCReportFileRelative(), file);
  return batch.Close(written) != FALSE;
}

bool CAnalysisData::IsSettingsFile(const char* path) const {
  return path && *path && FileExists(path) && HoldsSettings(OptionsSection(), path);
}

bool CAnalysisData::CanLoad(const char* path) const {
  if (!path || !*path)
    return false;
  // A file that is not there would read as all defaults; the record keeps what it holds instead.
  if (!FileExists(path))
    return false;
  // So would a file that cannot be read, or is no settings file at all: the record keeps what it holds. A read
  // that failed left its reason as the last error (a FIFO, a device, a socket, an unreadable file), which stays.
  ::SetLastError(NO_ERROR);
  if (!IsSettingsFile(path)) {
    if (::GetLastError() == NO_ERROR)
      ::SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  return true;
}

bool CAnalysisData::Load(const char* path) {
  if (!CanLoad(path))
    return false;
  const int kind = GetKind();
  const char* section = OptionsSection();

  const CString analysis = ReadText(section, "Analysis", "", path);
  if (analysis == "Distributed")
    m_nAnalysisType = AnalysisDistributed;
  else if (analysis == "Lumped")
    m_nAnalysisType = AnalysisLumped;
  else if (analysis == "Quick")
    m_nAnalysisType = AnalysisQuick;
  else
    m_nAnalysisType = DefaultAnalysisType(kind);
  m_bDRCOnly = ReadFlag(section, "DRCOnly", false, path);
  m_bSkipStitchingVias = ReadFlag(section, "SkipStitchingVias", false, path);

  if (m_nAnalysisType != AnalysisNone) {
    m_nMode = ReadText(section, "Mode", "Easy", path) == "Custom" ? 1 : 0;
    // A number is read, judged and kept as its page's Next would take it typed; one the page would refuse reads as
    // the record's default, as an unknown word does.
    m_dTargetImpedance = kTargetImpedanceRange.AcceptedOr(ReadTypedNumber(section, "TargetImpedancee", "0.0", path),
                                                          DefaultTargetImpedance);
    m_bIncludeAllNets = ReadFlag(section, "IncludeAllNets", true, path);
    m_bIncludeMounting = ReadFlag(section, "IncludeMounting", true, path);
    m_bIncludeInterPlane = ReadFlag(section, "IncludeInterPlane", true, path);
    m_bIncludeLowFreqConnections = ReadFlag(section, "IncludeLowFreqConnections", false, path);
    m_bForcePassivity = ReadFlag(section, "ForcePassivity", true, path);
    m_bUnkeyedFlag = 1;
    m_bGenerateS = ReadFlag(section, "GenerateS", DefaultGenerateS(kind), path);
    // The defaults of a missing key are what the file format always gave, even where they differ from a new record.
    m_bExportShuntModel = ReadFlag(section, "ExportShuntModel", true, path);
    m_bUseInterimTouchstone = ReadFlag(section, "UseInterimTochstone", true, path);
    m_bUseFDTD = ReadFlag(section, "UseFDTD", true, path);
    m_bShowTPOscilloscope = ReadFlag(section, "ShowTPOscilloscpe", true, path);
    m_dFDTDInterval = kFDTDIntervalRange.AcceptedOr(ReadTypedNumber(section, "FDTDInterval", "0.0", path), 0.0);
    LoadFrequencies(ReadTypedNumber(section, "MinFreq", NumberText("%g", GetDefaultMinFreq()), path),
                    ReadTypedNumber(section, "MaxFreq", NumberText("%g", GetDefaultMaxFreq()), path));
    const CString sweep = ReadText(section, "FreqSweepMode", "Adaptive", path);
    m_nFreqSweepMode = sweep == "Linear" ? SweepLinear : sweep == "Logarithmic" ? SweepLogarithmic : SweepAdaptive;
    m_nMaxAdaptiveFreqNumber = ReadSampleCount(section, "MaxAdaptiveFreqNumber", path);
    m_nNonAdaptiveFreqNumber = ReadSampleCount(section, "NonAdaptiveFreqNumber", path);
    m_nAdaptiveSweepAccuracy = std::clamp(ReadInt(section, "AdaptiveSweepAccuracy", 2, path), 1, 3);
    const CString report = ReadText(section, "DRCReportMode", "NoReport", path);
    m_nDRCReportMode = report == "NoReport" ? DRCNoReport : report == "CSV" ? DRCReportCSV : DRCReportXLS;
    // An empty value names no file (it would name the project's folder): the report file stays.
    const CString reportFile = ReadText(section, "DRCReportFile", "", path);
    m_DRCReportFile = ReportPathOfProject(reportFile.IsEmpty() ? GetDRCReportFileRelative() : reportFile);
  }
  m_PageFlags[0] = 1;
  m_PageFlags[1] = 0;
  // Absolute, as the project path is: the board section finds a bare stored project name beside this file.
  m_SettingsPath = AbsolutePath(path);
  return true;
}

void CAnalysisData::LoadFrequencies(std::optional<double> minimum, std::optional<double> maximum) {
  m_dMinFreq = kFrequencyRange.AcceptedOr(minimum, GetDefaultMinFreq());
  m_dMaxFreq = kFrequencyRange.AcceptedOr(maximum, GetDefaultMaxFreq());
  // The page wants the maximum above the minimum, as its edits show them: the default maximum first, then both
  // defaults.
  const auto inOrder = [this] {
    const std::optional<double> shownMinimum = kFrequencyRange.Shown(m_dMinFreq);
    const std::optional<double> shownMaximum = kFrequencyRange.Shown(m_dMaxFreq);
    return shownMinimum && shownMaximum &&
           JudgeShownFrequencies(*shownMinimum, *shownMaximum) == FrequencyFault::None;
  };
  if (!inOrder())
    m_dMaxFreq = GetDefaultMaxFreq();
  if (!inOrder())
    m_dMinFreq = GetDefaultMinFreq();
}

bool CAnalysisData::ReadBoardSection() {
  const char* file = m_SettingsPath;
  const CString stored = ReadText("BOARD", "ProjectPath", "", file);
  const CString last = LastConfiguration();
  const bool readingCopy = !last.IsEmpty() && PathsEqual(m_SettingsPath, AbsolutePath(last));
  if (!readingCopy) {
    // The stored project must be the current one; a bare name lies beside the settings file. A full path (the
    // bypass save writes one) to a project of the current one's name also is the current one when the settings
    // file lies in the current project's folder: the two were moved together.
    const CString storedPath = IsRelativePath(stored) ? DriveAndDirectory(m_SettingsPath) + stored : stored;
    const bool movedTogether = !IsRelativePath(stored) && !m_ProjectPath.IsEmpty() &&
                               PathsEqual(FileNameOfPath(stored), FileNameOfPath(m_ProjectPath)) &&
                               PathsEqual(DriveAndDirectory(m_SettingsPath), DriveAndDirectory(m_ProjectPath));
    if (!PathsEqual(storedPath, m_ProjectPath) && !movedTogether) {
      m_nBoardIndex = -1;
      m_pBoard = nullptr;
      return false;
    }
  }
  int index = -1;
  {
    CHostCollectionRef boards(m_pSystem ? m_pSystem->GetBoards() : nullptr);
    const int count = boards.Count();
    if (count == 0)
      return false;
    if (count == 1) {
      index = 0;
    } else {
      index = ReadInt("BOARD", "BoardIdx", -1, file);
      if (index < 0 || index >= count)
        index = -1;
    }
  }
  SelectBoard(index);
  const char* section = OptionsSection();
  m_nAutoGenerateOutputFileName = ReadInt(section, "AutoGenerateOutputFileName", 1, file) != 0 ? 1 : 0;
  m_BaseOutputFileName = ReadText(section, "BaseOutputFileName", "", file);
  m_OutputFileName = ReadText(section, "OutputFileName", "", file);
  return true;
}

bool CAnalysisData::SetProjectPath(const char* path) {
  if (!m_ProjectPath.IsEmpty() || !path || !*path)
    return false;
  m_ProjectPath = AbsolutePath(path);
  MakeDefaultSettingsPath();
  MakeDefaultDRCReportPath();
  return true;
}

bool CAnalysisData::MakeDefaultSettingsPath() {
  if (m_ProjectPath.IsEmpty())
    return false;
  const CPathParts parts = SplitPath(m_ProjectPath);
  m_SettingsPath = MakePath(parts.drive, parts.directory, parts.name, "dao");
  return true;
}

bool CAnalysisData::MakeDefaultDRCReportPath() {
  if (m_ProjectPath.IsEmpty())
    return false;
  const CPathParts parts = SplitPath(m_ProjectPath);
  const char* extension = m_nDRCReportMode == DRCReportCSV ? "csv" : "xls";
  m_DRCReportFile = FirstFreePath(parts.drive + parts.directory, [&](int n) {
    CString name;
    if (n == 0)
      name.Format("%s.%s", parts.name, extension);
    else
      name.Format("%s_%d.%s", parts.name, n, extension);
    return name;
  });
  return true;
}

void CAnalysisData::SetDRCReportMode(int mode) {
  m_nDRCReportMode = mode;
  if (mode == DRCReportXLS)
    ReplaceExtension(".xls", m_DRCReportFile);
  else if (mode == DRCReportCSV)
    ReplaceExtension(".csv", m_DRCReportFile);
}

namespace {
// A bare name stands for a file in the project's folder (a load puts it there), so only a file of that very folder
// is given by its name, and only where the name reads back as one; any other keeps its full path.
CString RelativeToProject(const CString& file, const CString& project) {
  const CString name = FileNameOfPath(file);
  if (PathsEqual(DriveAndDirectory(file), DriveAndDirectory(project)) && ReadsAsName(name))
    return name;
  return file;
}
}  // namespace

CString CAnalysisData::ReportPathOfProject(const char* path) const {
  const CString given(path ? path : "");
  if (given.IsEmpty() || !IsRelativePath(given) || m_ProjectPath.IsEmpty())
    return given;
  // A path from the root of the drive stays on the project's drive, as an output name does.
  if (given[0] == '\\')
    return SplitPath(m_ProjectPath).drive + given;
  // Joined whole: its folders kept, its "." segments and doubled separators dropped, so that every spelling of one
  // file reads as one path; ".." stays as written (it need not lead to the folder holding a link).
  std::string joined(DriveAndDirectory(m_ProjectPath).GetString());
  const std::string text(given.GetString());
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find_first_of("\\/", start);
    if (end == std::string::npos)
      end = text.size();
    const std::string segment = text.substr(start, end - start);
    if (!segment.empty() && segment != ".") {
      if (!joined.empty() && joined.back() != '\\' && joined.back() != '/' && joined.back() != ':')
        joined += '/';
      joined += segment;
    }
    start = end + 1;
  }
  // A trailing separator names a folder, which the finish page refuses as such.
  const auto endsInSeparator = [](const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
  };
  if (endsInSeparator(text) && !endsInSeparator(joined))
    joined += '/';
  return CString(joined.c_str());
}

CString CAnalysisData::GetSettingsPathRelative() const { return RelativeToProject(m_SettingsPath, m_ProjectPath); }

CString CAnalysisData::GetDRCReportFileRelative() const { return RelativeToProject(m_DRCReportFile, m_ProjectPath); }

CString CAnalysisData::GetOutputFilePathRelative() const {
  return RelativeToProject(GetOutputFilePath(), m_ProjectPath);
}

CString CAnalysisData::GetTouchstoneExtension() {
  const char letter = m_bGenerateS ? 's' : 'z';
  const int ports = GetPortCount();
  CString extension;
  if (ports == 0)
    extension.Format("%c?p", letter);
  else
    extension.Format("%c%dp", letter, ports);
  return extension;
}

CString FitTouchstonePortCount(const char* name, int ports) {
  const CString whole(name ? name : "");
  if (ports <= 0)
    return whole;
  const std::string text(whole.GetString());
  const size_t dot = text.find_last_of('.');
  if (dot == std::string::npos || text.find_first_of("\\/", dot) != std::string::npos)
    return whole;
  const std::string extension = text.substr(dot + 1);
  if (extension.size() < 3 || !std::strchr("sSyYzZ", extension.front()) ||
      (extension.back() != 'p' && extension.back() != 'P'))
    return whole;
  if (!std::all_of(extension.begin() + 1, extension.end() - 1, [](char c) { return c >= '0' && c <= '9'; }))
    return whole;
  const std::string fitted = text.substr(0, dot + 2) + std::to_string(ports) + extension.back();
  return CString(fitted.c_str());
}

CString CAnalysisData::GetChosenOutputFileName() const {
  // The port count may ask the wizard's interface object, which is not a const operation.
  return FitTouchstonePortCount(m_OutputFileName, const_cast<CAnalysisData*>(this)->GetPortCount());
}

CString CAnalysisData::GetOutputFilePath() const {
  // The port count may ask the wizard's interface object, which is not a const operation.
  const CString extension = const_cast<CAnalysisData*>(this)->GetTouchstoneExtension();
  const CPathParts project = SplitPath(m_ProjectPath);
  const CString directory = project.drive + project.directory;
  if (!m_nAutoGenerateOutputFileName) {
    if (m_OutputFileName.IsEmpty())
      return MakePath(project.drive, project.directory, project.name, extension);
    if (IsRelativePath(m_OutputFileName)) {
      const CPathParts output = SplitPath(m_OutputFileName);
      const CString outputDirectory = m_OutputFileName[0] == '\\' ? output.directory : project.directory;
      return MakePath(project.drive, outputDirectory, output.name, extension);
    }
    // Whole: a name cut to a buffer would be another file (the finish page refuses one too long for the file system).
    return GetChosenOutputFileName();
  }
  // The automatic name is a file of the project's folder: of a base with folders ("/some/folder/b", "../b", "sub/b",
  // "x:b") only its name counts, as for a chosen relative name.
  const CString baseName = FileNameOfPath(m_BaseOutputFileName);
  const CString base = baseName.IsEmpty() ? project.name : baseName;
  // The first name is "<base>_.<ext>" (an underscore and no number): stored settings and the host's file lists
  // have always used it, so it stays.
  return FirstFreePath(directory, [&](int n) {
    CString name;
    if (n == 0)
      name.Format("%s_.%s", base, extension);
    else
      name.Format("%s_%d.%s", base, n, extension);
    return name;
  });
}

bool CAnalysisData::RestoreFrom(const CString& path) {
  if (path.IsEmpty())
    return false;
  const CString previous = m_SettingsPath;
  const bool loaded = Load(path);
  m_SettingsPath = previous;
  return loaded;
}

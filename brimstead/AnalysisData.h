// CAnalysisData: the settings record of one analysis set-up, and the one current record of the process.
//
// One record kind per wizard derives from it (decoupling 1, bypass 2, via model 3, model extractor 4) and adds its
// probes. Exactly one record, the current record, exists at a time: the interface objects, the pages, the
// capacitor table and the settings file all use it. A wizard's typed accessor replaces a current record of
// another kind by a fresh record of its own kind.
//
// The record owns its texts; it does not own the system, the board, the settings-copy buffer or the host's table
// text. Saving and loading the ".dao" settings file: AnalysisDataFile.cpp.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "platform/base/CString.h"

#include <new>
#include <optional>
#include <vector>

// Analysis types (file names "Quick", "Lumped", "Distributed").
enum AnalysisType : int { AnalysisNone = 0, AnalysisQuick = 1, AnalysisLumped = 2, AnalysisDistributed = 3 };
// Sweep modes ("Adaptive", "Linear", "Logarithmic").
enum SweepMode : int { SweepAdaptive = 0, SweepLinear = 1, SweepLogarithmic = 2 };
// DRC report modes ("NoReport", "XLS", "CSV").
enum DRCReportMode : int { DRCNoReport = 0, DRCReportXLS = 1, DRCReportCSV = 2 };

// The page identifiers a record's Check answers: dialog-template numbers of the wizard pages that hold a fault.
using CPageIdList = std::vector<WORD>;

// `name` with the port count of its Touchstone extension made `ports`: the number in an extension of the form
// letter s, y or z (either case), decimal digits, "p" ("model.s13p") becomes `ports`, letters kept as they are.
// Any other name, and every name while `ports` is not positive (no port known yet), is answered as it is.
CString FitTouchstonePortCount(const char* name, int ports);

// Copies `name` into a buffer of MAX_PATH bytes only whole: a name that does not fit (and a null one) leaves the buffer
// empty and answers false, since its cut would name another file.
bool CopyWholeName(char* buffer, const char* name);

// What the host handed in through its interface object, and what the module made for the host, of the record. One
// group, so that a reset of the user's settings (the start page's choices) keeps it whole by copying the group;
// only a new wizard from the factory starts without it.
struct CHostHandedIn {
  BYTE m_bBoardMode = 0;                 // the host handed in one board rather than a system
  CString m_ProjectPath;                 // the host's project (board) file
  char* m_pSettingsCopyBuffer = nullptr; // host buffer of MAX_PATH bytes for a copy of the settings, or null
  CString m_MadeSettingsCopy;            // the temporary file named into that buffer by a save, empty for none
  CString m_TakenBackSettingsCopy;       // the name the buffer held when the host took it back, empty for none
  CHostSystem* m_pSystem = nullptr;
  CString m_HelpFile;
  const char* m_pHostTableText = nullptr;
};

class CAnalysisData : public CHostHandedIn {
public:
  CAnalysisData();
  CAnalysisData(const CAnalysisData& other) { *this = other; }
  // Copies the common part: texts by value, host pointers as pointers (not their ownership).
  CAnalysisData& operator=(const CAnalysisData& other);

  virtual ~CAnalysisData();
  virtual double GetDefaultMinFreq() const = 0;
  virtual double GetDefaultMaxFreq() const = 0;
  // Empties `messages` (when given) and appends one message per failed rule; answers the pages of those rules.
  virtual CPageIdList Check(CString* messages) = 0;
  virtual void SelectBoard(int index) = 0;
  virtual int GetKind() const { return 0; }
  virtual bool Save();
  virtual bool Load(const char* path);
  // Whether `path` is a settings file Load takes: it holds a section every save writes ("HEADER", "BOARD") or this
  // kind's options section (anything else would read as all defaults, and Load refuses it).
  bool IsSettingsFile(const char* path) const;
  // Whether Load would read `path`: a named existing file that is a settings file. When not, the system's last
  // error says why (the file's own error, or ERROR_INVALID_DATA for a file that is no settings file).
  bool CanLoad(const char* path) const;
  virtual bool ReadBoardSection();
  virtual int GetPortCount() = 0;

  // Paths (AnalysisDataFile.cpp).
  bool SetProjectPath(const char* path);
  bool MakeDefaultSettingsPath();
  bool MakeDefaultDRCReportPath();
  void SetDRCReportMode(int mode);
  // A report path as the record takes it, from the host or a settings file alike, so that one spelling names one
  // file at every Run: a relative path is a file of the project's folder, read whole ("sub/r.csv" is
  // "<project folder>/sub/r.csv"; "." segments and doubled separators dropped, ".." kept); one that begins with a
  // single '\\' stays on the project's drive. Any other path, and every path while no project is set, is kept as
  // given.
  CString ReportPathOfProject(const char* path) const;
  CString GetSettingsPathRelative() const;
  CString GetDRCReportFileRelative() const;
  CString GetOutputFilePathRelative() const;
  CString GetOutputFilePath() const;
  CString GetTouchstoneExtension();
  // The chosen output name (m_OutputFileName) as it is handed on and saved: a Touchstone extension of another port
  // count than the model's carries the model's (FitTouchstonePortCount).
  CString GetChosenOutputFileName() const;
  // Loads the settings file `path` and puts the settings path back: the host's copy is read, not made the user's
  // settings file. False when `path` is empty or does not load.
  bool RestoreFrom(const CString& path);
  // RestoreFrom the name the host's buffer holds (a wizard's start); false without one.
  bool RestoreFromSettingsCopy() { return m_pSettingsCopyBuffer && RestoreFrom(m_pSettingsCopyBuffer); }
  // The host's buffer for the name of a settings copy. A buffer names a new last configuration: the name kept from an
  // earlier one is the host's no more, and the name a save made into an earlier buffer is the host's from now on. Null
  // takes the buffer back as TakeBackSettingsCopyBuffer does.
  void SetSettingsCopyBuffer(char* buffer) {
    TakeBackSettingsCopyBuffer();
    if (buffer)
      m_TakenBackSettingsCopy.Empty();
    m_pSettingsCopyBuffer = buffer;
    m_MadeSettingsCopy.Empty();
  }
  // The host takes its buffer back (its Run and CloseWizard): no copy is written from then on, and the name the buffer
  // held stays the host's file (its last configuration), which no report or output may name.
  void TakeBackSettingsCopyBuffer() {
    if (m_pSettingsCopyBuffer && m_pSettingsCopyBuffer[0])
      m_TakenBackSettingsCopy = m_pSettingsCopyBuffer;
    m_pSettingsCopyBuffer = nullptr;
  }
  // The host's last configuration: the name its buffer holds while it lends the buffer, the name the buffer held once
  // the host took it back; empty for none.
  CString LastConfiguration() const {
    return m_pSettingsCopyBuffer ? CString(m_pSettingsCopyBuffer) : m_TakenBackSettingsCopy;
  }

  BYTE GetUnkeyedFlag() const { return m_bUnkeyedFlag; }
  // Whether the frequency sweep can run: both bounds positive, the maximum at least the minimum and finite (a
  // settings file's "inf", or a number too large for a double, is none); a bound that is not a number fails.
  bool HasValidSweep() const;

  // Fields, in the record's order (the host's, CHostHandedIn, come first).
  CString m_SettingsPath;                // the ".dao" file
  CHostBoard* m_pBoard = nullptr;
  int m_nBoardIndex = -1;
  int m_nAnalysisType = AnalysisLumped;
  BYTE m_bDRCOnly = 0;
  BYTE m_bSkipStitchingVias = 0;
  static constexpr double DefaultTargetImpedance = 0.001;
  double m_dTargetImpedance = DefaultTargetImpedance;  // ohms
  int m_nMode = 0;                       // 0 "Easy", 1 "Custom"
  int m_nAutoGenerateOutputFileName = 1;
  CString m_BaseOutputFileName;
  CString m_OutputFileName;
  BYTE m_bIncludeAllNets = 1;
  BYTE m_bIncludeMounting = 1;
  BYTE m_bIncludeInterPlane = 1;
  BYTE m_bIncludeLowFreqConnections = 0;
  BYTE m_bForcePassivity = 1;
  BYTE m_bUnkeyedFlag = 1;               // set by construction and every load; no key in the file
  BYTE m_bGenerateS = 0;                 // 1: S-parameters ('s' in the Touchstone extension), 0: Z ('z')
  BYTE m_bExportShuntModel = 0;
  double m_dMinFreq = 0.0;               // hertz; the derived record sets its default
  double m_dMaxFreq = 0.0;
  int m_nFreqSweepMode = SweepAdaptive;
  int m_nAdaptiveSweepAccuracy = 2;      // 1..3
  int m_nMaxAdaptiveFreqNumber = 50;
  int m_nNonAdaptiveFreqNumber = 50;
  // The user's "Save settings to file" choice: the settings file is written at Finish and at Cancel or Close only
  // when it is set (it gates the writing; there is no separate modified flag).
  BYTE m_bSaveSettings = 0;
  BYTE m_bUseInterimTouchstone = 0;
  BYTE m_bUseFDTD = 0;
  double m_dFDTDInterval = 0.0;
  BYTE m_bShowTPOscilloscope = 0;
  BYTE m_bPageByteA = 1;                 // kept and copied for the pages
  int m_nPageWords[2] = {0, 0};
  double m_dPageDouble = 0.0;
  int m_nDRCReportMode = DRCReportXLS;
  CString m_DRCReportFile;
  // File-name state flags of the pages; the first two are the reload markers (settings loaded from a file; the
  // start page's choice is "New"). Every load sets them to 1 and 0.
  BYTE m_PageFlags[4] = {0, 1, 0, 1};

protected:
  // The options-section name of this record's kind ("OPTIONS", "OPTIONS_DW", ...).
  const char* OptionsSection() const;
  // The minimum and maximum frequency of a settings file, in hertz (none: no number), as the frequency page takes
  // them: each as its edit shows it, the maximum above the minimum; else the default maximum, then both defaults.
  void LoadFrequencies(std::optional<double> minimum, std::optional<double> maximum);
  // Takes the system's board collection: index inside it selects that board, any other index none. Answers
  // whether the board changed (false when `index` is the current index).
  bool SelectBoardFromSystem(int index);
};

// The current record, whatever its kind; null before any wizard made one.
CAnalysisData* GetAnalysisData();
// Makes `record` (owned) the current record, destroying the one before. Null leaves no current record.
void SetCurrentAnalysisData(CAnalysisData* record);

// The current record as a record of kind T: a current record of another kind is destroyed and a default record of
// kind T takes its place. Null when it cannot be allocated.
template <class T>
T* GetAnalysisDataOfKind() {
  CAnalysisData* current = GetAnalysisData();
  if (current && current->GetKind() == T::Kind)
    return static_cast<T*>(current);
  SetCurrentAnalysisData(nullptr);
  T* made = new (std::nothrow) T();
  SetCurrentAnalysisData(made);
  return made;
}

// Names of analysis types and report modes as the settings file writes them.
const char* AnalysisTypeName(int type);

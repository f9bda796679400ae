#include "platform/framework/CommonDialogs.h"

#include "platform/base/PathDialect.h"

#include <cstring>
#include <string>

#include <fnmatch.h>

#include <filesystem>

#include "platform/base/FileSystem.h"
#include "platform/base/PathDialect.h"
#include "platform/framework/ChooserBox.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/SystemError.h"
#include "platform/framework/MessageBox.h"
#include "platform/gdi/Printers.h"
#include "platform/window/AutomationProvider.h"

namespace {

// Each refusal (missing file, declined overwrite) asks again; a provider that keeps giving the same refused
// answer would ask forever, so the dialog gives up as if cancelled after this many answers.
constexpr int kMaxAnswers = 16;

using plat::IsSeparator;
using plat::NameStart;

DWORD Attributes(const std::string& path) { return ::GetFileAttributes(path.c_str()); }

bool HoldsSeparator(const std::string& path) { return path.find_first_of("\\/") != std::string::npos; }

// The full path of an answer: a relative one (a bare name or one with folders, "sub/moved.dao") names a file in
// the folder shown, and the dialog answers every path in full, never relative to the working directory. A name
// without a folder is one of the folder shown even when it begins with a letter and a colon: the list shows such
// names ("x:proj.brd"), and on this system a drive with no folder after it would name the working directory's file.
std::string FullPath(const std::string& folder, const std::string& answer) {
  if (plat::IsAbsolutePath(answer) && HoldsSeparator(answer)) return answer;
  // The working directory comes from the file system in UTF-8; the dialog's paths are the module's, in 1252.
  std::error_code ec;
  std::string base = plat::IsAbsolutePath(folder) ? folder
                                        : (std::filesystem::path(plat::ModulePath(std::filesystem::current_path(ec).string())) /
                                           folder).string();
  std::string joined = (std::filesystem::path(base) / answer).lexically_normal().string();
  // "a folder chosen" keeps its closing separator.
  if (IsSeparator(answer.back()) && !joined.empty() && !IsSeparator(joined.back())) joined += '/';
  return joined;
}

// On screen the platform's own chooser answers, headless the automation provider (which records it).
plat::SystemAnswer Ask(const plat::SystemRequest& request, const plat::ChooserSpec& spec) {
  if (!plat::SystemDialogsOnScreen()) return plat::RequestSystemAnswer(request);
  std::optional<plat::ChooserResult> chosen = plat::RunChooser(request.owner, spec);
  if (!chosen) return plat::SystemAnswer{IDCANCEL, {}, 0};
  return plat::SystemAnswer{IDOK, chosen->text, static_cast<DWORD>(chosen->index + 1)};
}

// The entries of a folder matching any pattern of "*.brd;*.txt" (ignoring case), folders first.
std::vector<std::string> ListFolder(const std::string& folder, const std::string& patterns) {
  std::vector<std::string> dirs, files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(plat::NativePath(folder), ec)) {
    const std::string name = plat::ModulePath(entry.path().filename().string());
    if (entry.is_directory(ec)) {
      dirs.push_back(name + "/");
      continue;
    }
    std::size_t start = 0;
    while (start <= patterns.size()) {
      std::size_t end = patterns.find(';', start);
      if (end == std::string::npos) end = patterns.size();
      std::string pattern = patterns.substr(start, end - start);
      // "*.*" means every entry, not only names with a dot.
      if (pattern.empty() || pattern == "*.*" || ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) {
        files.push_back(name);
        break;
      }
      start = end + 1;
    }
  }
  std::sort(dirs.begin(), dirs.end());
  std::sort(files.begin(), files.end());
  dirs.insert(dirs.end(), files.begin(), files.end());
  return dirs;
}

}  // namespace

CCommonDialog::CCommonDialog(CWnd* pParentWnd) : CDialog(static_cast<UINT>(0), pParentWnd) {}

HWND CCommonDialog::OwnerWindow() const {
  HWND owner = HwndOf(m_pParentWnd);
  if (!owner) owner = ::GetActiveWindow();
  if (!owner) owner = HwndOf(AfxGetMainWnd());
  return owner ? ::GetTopLevelParent(owner) : nullptr;
}

// ---- File dialogs ---------------------------------------------------------------------------------------------

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog) {
  m_ofn.Flags = dwFlags | OFN_EXPLORER;
  if (lpszDefExt) {
    m_defExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_defExt;
  }
  if (lpszFileName) std::snprintf(m_file, sizeof m_file, "%s", lpszFileName);
  m_ofn.lpstrFile = m_file;
  m_ofn.nMaxFile = sizeof m_file;
  m_ofn.lpstrFileTitle = m_fileTitle;
  m_ofn.nMaxFileTitle = sizeof m_fileTitle;
  if (lpszFilter) {
    // The class library's filter form "a|b|c|d||" becomes the NUL-separated list.
    std::string filter = lpszFilter;
    for (char& c : filter)
      if (c == '|') c = '\0';
    m_filter = CString(filter);
    m_ofn.lpstrFilter = m_filter;
  }
}

INT_PTR CFileDialog::DoModal() {
  plat::SystemRequest request;
  request.kind = m_bOpenFileDialog ? plat::SystemUiKind::FileOpen : plat::SystemUiKind::FileSave;
  request.owner = m_ofn.hwndOwner ? m_ofn.hwndOwner : OwnerWindow();
  request.caption = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : (m_bOpenFileDialog ? "Open" : "Save As");
  request.text = m_ofn.lpstrFile ? m_ofn.lpstrFile : "";
  request.flags = m_ofn.Flags;
  // The filter pairs travel as "description\tpattern" entries.
  for (const char* p = m_ofn.lpstrFilter; p && *p;) {
    std::string description = p;
    p += description.size() + 1;
    std::string pattern = *p ? p : "";
    p += pattern.size() + (*p ? 1 : 0);
    request.buttons.push_back(description + "\t" + pattern);
  }

  plat::ChooserSpec spec;
  spec.caption = request.caption;
  spec.prompt = "File name:";
  spec.entry = true;
  spec.text = request.text;
  std::string folder = m_ofn.lpstrInitialDir ? m_ofn.lpstrInitialDir : "";
  if (HoldsSeparator(request.text)) folder = plat::FolderOf(request.text);
  if (folder.empty()) folder = ".";
  std::string patterns = "*.*";
  if (!request.buttons.empty()) {
    const std::size_t chosen = std::min<std::size_t>(m_ofn.nFilterIndex ? m_ofn.nFilterIndex - 1 : 0, request.buttons.size() - 1);
    patterns = request.buttons[chosen].substr(request.buttons[chosen].find('\t') + 1);
  }
  for (int attempt = 0; attempt < kMaxAnswers; ++attempt) {
    spec.items = plat::SystemDialogsOnScreen() ? ListFolder(folder, patterns) : std::vector<std::string>{};
    plat::SystemAnswer answer = Ask(request, spec);
    if (plat::SystemDialogsOnScreen()) answer.value = 0;  // the chooser's index is not a filter index
    if (answer.code == IDOK && !answer.text.empty())
      answer.text = FullPath(folder, answer.text);
    if (answer.code == IDOK && !answer.text.empty() && answer.text.back() == '/') {
      folder = answer.text.substr(0, answer.text.size() - 1);  // a folder chosen: show its entries
      spec.text.clear();
      continue;
    }
    if (answer.code != IDOK) return IDCANCEL;
    std::string path = answer.text;
    if (path.empty()) continue;
    const auto nameAt = NameStart(path);
    // A default extension given with its dot (".dao") gets no second one.
    if (const char* ext = m_ofn.lpstrDefExt; ext && *ext && path.find('.', nameAt) == std::string::npos)
      path += std::string(".") + (ext[0] == '.' ? ext + 1 : ext);
    // A path that does not fit the caller's buffer is refused with a box, and the dialog asks again, rather than
    // ending as if cancelled (the caller would keep its old name without a word).
    if (path.size() + 1 > m_ofn.nMaxFile) {
      ::MessageBox(request.owner,
                   (path + "\nThe path is too long: it may hold " + std::to_string(m_ofn.nMaxFile - 1) +
                    " characters at most.\nChoose a shorter name or folder.")
                       .c_str(),
                   request.caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
      continue;
    }
    const DWORD attributes = Attributes(path);
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if ((m_ofn.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !(m_ofn.Flags & OFN_NOVALIDATE)) {
      DWORD folder = Attributes(plat::FolderOf(path));
      if (folder == INVALID_FILE_ATTRIBUTES || !(folder & FILE_ATTRIBUTE_DIRECTORY)) {
        ::MessageBox(request.owner, (path + "\nPath does not exist.\nCheck the path and try again.").c_str(),
                     request.caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
        continue;
      }
    }
    if ((m_ofn.Flags & OFN_FILEMUSTEXIST) && !exists) {
      ::MessageBox(request.owner, (path + "\nFile not found.\nCheck the file name and try again.").c_str(),
                   request.caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
      continue;
    }
    if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && exists &&
        ::MessageBox(request.owner, (path + " already exists.\nDo you want to replace it?").c_str(),
                     request.caption.c_str(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
      continue;
    std::memcpy(m_ofn.lpstrFile, path.c_str(), path.size() + 1);
    const auto start = NameStart(path);
    m_ofn.nFileOffset = static_cast<WORD>(start);
    const auto dot = path.find_last_of('.');
    m_ofn.nFileExtension = static_cast<WORD>(dot != std::string::npos && dot > start ? dot + 1 : path.size());
    if (m_ofn.lpstrFileTitle)
      std::snprintf(m_ofn.lpstrFileTitle, m_ofn.nMaxFileTitle, "%s", path.c_str() + start);
    if (answer.value) m_ofn.nFilterIndex = answer.value;
    return IDOK;
  }
  return IDCANCEL;
}

CString CFileDialog::GetPathName() const { return m_ofn.lpstrFile ? m_ofn.lpstrFile : ""; }

CString CFileDialog::GetFileName() const {
  std::string path = GetPathName().Str();
  return CString(path.substr(NameStart(path)));
}

CString CFileDialog::GetFileExt() const {
  std::string name = GetFileName().Str();
  auto dot = name.find_last_of('.');
  return dot == std::string::npos ? CString() : CString(name.substr(dot + 1));
}

CString CFileDialog::GetFileTitle() const {
  std::string name = GetFileName().Str();
  auto dot = name.find_last_of('.');
  return CString(dot == std::string::npos ? name : name.substr(0, dot));
}

// ---- Colour dialog --------------------------------------------------------------------------------------------

COLORREF* CColorDialog::GetSavedCustomColors() {
  static COLORREF colours[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  return colours;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd) {
  m_cc.rgbResult = clrInit;
  m_cc.Flags = dwFlags | (clrInit ? CC_RGBINIT : 0);
  m_cc.lpCustColors = GetSavedCustomColors();
}

INT_PTR CColorDialog::DoModal() {
  plat::SystemRequest request;
  request.kind = plat::SystemUiKind::Color;
  request.owner = m_cc.hwndOwner ? m_cc.hwndOwner : OwnerWindow();
  request.caption = "Color";
  request.flags = m_cc.Flags;
  char initial[16];
  std::snprintf(initial, sizeof initial, "%06X", (m_cc.Flags & CC_RGBINIT) ? m_cc.rgbResult : 0u);
  request.text = initial;
  static const struct {
    const char* name;
    COLORREF colour;
  } kBasic[] = {{"Black", 0x000000}, {"Maroon", 0x000080}, {"Green", 0x008000}, {"Olive", 0x008080},
                {"Navy", 0x800000},  {"Purple", 0x800080}, {"Teal", 0x808000},  {"Gray", 0x808080},
                {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},   {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
                {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"White", 0xFFFFFF}};
  plat::ChooserSpec spec;
  spec.caption = request.caption;
  spec.prompt = "Basic colors:";
  for (const auto& c : kBasic) {
    spec.items.emplace_back(c.name);
    spec.swatches.push_back(c.colour);
    if ((m_cc.Flags & CC_RGBINIT) && c.colour == m_cc.rgbResult) spec.selected = static_cast<int>(spec.items.size()) - 1;
  }
  plat::SystemAnswer answer = Ask(request, spec);
  if (answer.code != IDOK) return IDCANCEL;
  if (plat::SystemDialogsOnScreen()) answer.value = kBasic[answer.value - 1].colour;
  m_cc.rgbResult = answer.value & 0x00FFFFFF;
  return IDOK;
}

// ---- Print dialogs --------------------------------------------------------------------------------------------

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd) {
  m_pd.Flags = dwFlags | (bPrintSetupOnly ? PD_PRINTSETUP : 0);
}

CPrintDialog::~CPrintDialog() {
  if (m_ownBlocks) {
    if (m_pd.hDevMode) ::GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames) ::GlobalFree(m_pd.hDevNames);
  }
  if (m_pd.hDC) ::DeleteDC(m_pd.hDC);
}

BOOL CPrintDialog::GetDefaults() {
  if (m_pd.hDevNames || m_pd.hDevMode) return TRUE;
  if (!LoadDefaultBlocks()) return FALSE;
  if (m_pd.Flags & PD_RETURNDC) ReplaceDC();
  return TRUE;
}

BOOL CPrintDialog::LoadDefaultBlocks() {
  if (m_pd.hDevNames || m_pd.hDevMode) return TRUE;
  if (!plat::CreatePrinterBlocks(plat::DefaultPrinterName(), &m_pd.hDevNames, &m_pd.hDevMode)) return FALSE;
  m_ownBlocks = true;
  return TRUE;
}

void CPrintDialog::ReplaceDC() {
  // The dialog owns the DC it hands out: a DC made again (the default printer's, then the chosen one's; a dialog
  // shown twice) takes the place of the one before, which is deleted; it kept a page image of the printer.
  // Deleted first, so that two page images are never held at once.
  if (m_pd.hDC) ::DeleteDC(m_pd.hDC);
  m_pd.hDC = CreatePrinterDC();
}

INT_PTR CPrintDialog::DoModal() {
  if (m_pd.Flags & PD_RETURNDEFAULT) return GetDefaults() ? IDOK : IDCANCEL;
  // Only the blocks here: the DC is made once the printer is chosen.
  if (!m_pd.hDevNames && !LoadDefaultBlocks()) return IDCANCEL;
  plat::SystemRequest request;
  request.kind = (m_pd.Flags & PD_PRINTSETUP) ? plat::SystemUiKind::PrintSetup : plat::SystemUiKind::Print;
  request.owner = m_pd.hwndOwner ? m_pd.hwndOwner : OwnerWindow();
  request.caption = (m_pd.Flags & PD_PRINTSETUP) ? "Print Setup" : "Print";
  request.text = GetDeviceName().Str();
  request.flags = m_pd.Flags;
  plat::ChooserSpec spec;
  spec.caption = request.caption;
  spec.prompt = "Printer:";
  for (const std::string& name : plat::PrinterNames()) {
    request.buttons.push_back(name);
    spec.items.push_back(name);
    if (name == request.text) spec.selected = static_cast<int>(spec.items.size()) - 1;
  }
  plat::SystemAnswer answer = Ask(request, spec);
  if (answer.code != IDOK) return IDCANCEL;
  if (!answer.text.empty() && answer.text != GetDeviceName().Str()) {
    // Another printer chosen: fresh blocks for it.
    HGLOBAL names = nullptr, mode = nullptr;
    if (plat::CreatePrinterBlocks(answer.text, &names, &mode)) {
      if (m_ownBlocks) {
        ::GlobalFree(m_pd.hDevNames);
        ::GlobalFree(m_pd.hDevMode);
      }
      m_pd.hDevNames = names;
      m_pd.hDevMode = mode;
      m_ownBlocks = true;
    }
  }
  if (m_pd.Flags & PD_RETURNDC) ReplaceDC();
  return IDOK;
}

namespace {
std::optional<plat::DevNamesValue> Names(HGLOBAL block) {
  if (!block) return std::nullopt;
  void* p = ::GlobalLock(block);
  auto value = plat::UnpackDevNames(p, ::GlobalSize(block));
  ::GlobalUnlock(block);
  return value;
}
}  // namespace

CString CPrintDialog::GetDeviceName() const {
  auto v = Names(m_pd.hDevNames);
  return v ? CString(v->device) : CString();
}

CString CPrintDialog::GetDriverName() const {
  auto v = Names(m_pd.hDevNames);
  return v ? CString(v->driver) : CString();
}

CString CPrintDialog::GetPortName() const {
  auto v = Names(m_pd.hDevNames);
  return v ? CString(v->output) : CString();
}

LPDEVMODE CPrintDialog::GetDevMode() const {
  return m_pd.hDevMode ? static_cast<LPDEVMODE>(::GlobalLock(m_pd.hDevMode)) : nullptr;
}

HDC CPrintDialog::CreatePrinterDC() {
  auto v = Names(m_pd.hDevNames);
  if (!v) return nullptr;
  const void* mode = m_pd.hDevMode ? ::GlobalLock(m_pd.hDevMode) : nullptr;
  HDC dc = ::CreateDCA(v->driver.c_str(), v->device.c_str(), v->output.c_str(), mode);
  const DWORD error = ::GetLastError();  // why no DC was made; the unlock's success clears it
  if (m_pd.hDevMode) ::GlobalUnlock(m_pd.hDevMode);
  ::SetLastError(error);
  return dc;
}

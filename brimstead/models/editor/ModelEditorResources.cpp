#include "brimstead/models/editor/ModelEditorResources.h"

#include "brimstead/models/editor/CPortMapGrid.h"
#include "brimstead/wizards/TemplateStyles.h"
#include "brimstead/wizards/WizardResources.h"
#include "platform/base/ResourceTable.h"

#include <cstring>
#include <vector>

namespace modeleditor {
namespace {

using namespace brimwiz::templatestyle;

constexpr DWORD kDropList = kTab | CBS_DROPDOWNLIST | WS_VSCROLL;
constexpr DWORD kFileList = kTab | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT;
constexpr DWORD kGrid = kTab | WS_BORDER | WS_VSCROLL;

// "Assign / Edit Capacitor Model": kind and library on the left, the panes in the frame 1134 on the right.
const DialogItemTemplate kEditorItems[] = {
    {WC_BUTTON, "Model type", IDC_STATIC, kGroupBox, 0, 7, 4, 110, 66},
    {WC_BUTTON, "Simple C-L-R", 1130, kRadio | WS_GROUP, 0, 15, 16, 95, 10},
    {WC_BUTTON, "SPICE", 1131, kRadio, 0, 15, 29, 95, 10},
    {WC_BUTTON, "Touchstone", 1132, kRadio, 0, 15, 42, 95, 10},
    {WC_BUTTON, "PLS", 1133, kRadio, 0, 15, 55, 95, 10},
    {WC_STATIC, "", 1134, kVisible | WS_GROUP | SS_ETCHEDFRAME, 0, 124, 4, 328, 282},
    {WC_BUTTON, "Includes Via Mounting", 1141, kCheck | WS_GROUP, 0, 9, 76, 105, 10},
    {WC_BUTTON, "Library", IDC_STATIC, kGroupBox, 0, 7, 94, 110, 62},
    {WC_STATIC, "Model:", IDC_STATIC, kVisible, 0, 15, 106, 60, 8},
    {WC_COMBOBOX, "", 1189, kDropList | CBS_SORT, 0, 15, 116, 95, 100},
    {WC_BUTTON, "", 3000, kTab | BS_OWNERDRAW, 0, 15, 134, 16, 16},
    {WC_BUTTON, "", 2172, kTab | BS_OWNERDRAW, 0, 35, 134, 16, 16},
    {WC_BUTTON, "", 3010, kTab | BS_OWNERDRAW, 0, 55, 134, 16, 16},
    {WC_BUTTON, "OK", IDOK, kTab | BS_DEFPUSHBUTTON, 0, 7, 236, 110, 14},
    {WC_BUTTON, "Cancel", IDCANCEL, kPush, 0, 7, 254, 110, 14},
    {WC_BUTTON, "Help", 9, kPush, 0, 7, 272, 110, 14},
};
const DialogTemplate kEditor{kModal, 0, 0, 0, 459, 293, "Assign / Edit Capacitor Model", kFont, kPointSize,
                             kEditorItems};

const DialogItemTemplate kModelNameItems[] = {
    {WC_STATIC, "Model Name:", IDC_STATIC, kVisible, 0, 7, 9, 45, 8},
    {WC_EDIT, "", 1190, kEdit, 0, 55, 7, 157, 12},
    {WC_BUTTON, "OK", IDOK, kTab | BS_DEFPUSHBUTTON, 0, 108, 25, 50, 14},
    {WC_BUTTON, "Cancel", IDCANCEL, kPush, 0, 162, 25, 50, 14},
};
const DialogTemplate kModelName{kModal, 0, 0, 0, 219, 45, "Edit Capacitor Model Name", kFont, kPointSize,
                                kModelNameItems};

const DialogItemTemplate kClrItems[] = {
    {WC_BUTTON, " C-L-R model ", IDC_STATIC, kGroupBox, 0, 6, 4, 316, 108},
    {WC_STATIC, "Capacitance:", 1106, kVisible, 0, 16, 22, 55, 8},
    {WC_EDIT, "", 1136, kEdit, 0, 76, 20, 70, 12},
    {WC_COMBOBOX, "", 1189, kDropList, 0, 152, 20, 44, 80},
    {WC_STATIC, "ESL:", 1108, kVisible, 0, 16, 42, 55, 8},
    {WC_EDIT, "", 1109, kEdit, 0, 76, 40, 70, 12},
    {WC_COMBOBOX, "", 1190, kDropList, 0, 152, 40, 44, 80},
    {WC_BUTTON, "Calculate...", 1200, kPush, 0, 204, 39, 60, 14},
    {WC_STATIC, "ESR:", 1111, kVisible, 0, 16, 62, 55, 8},
    {WC_EDIT, "", 1112, kEdit, 0, 76, 60, 70, 12},
    {WC_COMBOBOX, "", 1191, kDropList, 0, 152, 60, 44, 60},
    {WC_STATIC, "Resonance:", 1114, kVisible, 0, 16, 88, 55, 8},
    {WC_EDIT, "", 1115, kVisible | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY, 0, 76, 86, 70, 12},
    {WC_STATIC, "MHz", 1116, kVisible, 0, 152, 88, 30, 8},
};
const DialogTemplate kClr = PageTemplate(328, 282, kClrItems);

const DialogItemTemplate kSpiceItems[] = {
    {WC_STATIC, "SPICE Files: ", IDC_STATIC, kVisible, 0, 6, 4, 150, 8},
    {WC_LISTBOX, "", 1086, kFileList, 0, 6, 14, 154, 104},
    {WC_STATIC, "Sub-circuits: ", IDC_STATIC, kVisible, 0, 168, 4, 150, 8},
    {WC_LISTBOX, "", 1099, kTab | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 0, 168, 14, 154, 104},
    {WC_BUTTON, "View Models...", 1152, kPush, 0, 6, 124, 70, 14},
    {WC_BUTTON, " Filter models ", IDC_STATIC, kGroupBox, 0, 168, 120, 154, 26},
    {WC_BUTTON, "Show only compartible subcircuits", 1141, kCheck, 0, 176, 131, 140, 10},
    {WC_BUTTON, " Hints ", IDC_STATIC, kGroupBox, 0, 6, 150, 316, 52},
    {WC_STATIC,
     "Choose a SPICE file and sub-circuit, and then choose two nodes in the model to connect to the reference and "
     "non-reference plane in the decoupling analysis. For many models, the reference node is SPICE global ground "
     "(node 0).",
     IDC_STATIC, kVisible, 0, 14, 161, 300, 38},
    {"PORTMAP", "", 1147, kGrid, 0, 6, 208, 316, 70},
    {WC_STATIC, "Number of ports in seletced model doesn't match number of component pins", 1151, kVisible, 0, 6,
     210, 316, 20},
};
const DialogTemplate kSpice = PageTemplate(328, 282, kSpiceItems);

const DialogItemTemplate kFileItems[] = {
    {WC_STATIC, "Files: ", IDC_STATIC, kVisible, 0, 6, 4, 150, 8},
    {WC_LISTBOX, "", 1086, kFileList, 0, 6, 14, 154, 146},
    {WC_BUTTON, " Filter models ", IDC_STATIC, kGroupBox, 0, 168, 4, 154, 66},
    {WC_BUTTON, "One-port only", 1124, kRadio | WS_GROUP, 0, 176, 16, 140, 10},
    {WC_BUTTON, "Two-port only", 1125, kRadio, 0, 176, 28, 140, 10},
    {WC_BUTTON, "One- and two-port", 1126, kRadio, 0, 176, 40, 140, 10},
    {WC_BUTTON, "Show only compartible models", 1141, kCheck | WS_GROUP, 0, 176, 54, 140, 10},
    {WC_BUTTON, " Two-port model type ", 1127, kGroupBox, 0, 168, 74, 154, 46},
    {WC_BUTTON, "Series", 1128, kRadio | WS_GROUP, 0, 176, 87, 60, 10},
    {WC_BUTTON, "Shunt", 1129, kRadio, 0, 176, 102, 60, 10},
    {WC_BUTTON, "Autodetect", 1185, kCheck | WS_GROUP, 0, 244, 87, 70, 10},
    {WC_BUTTON, "Autodetect", 1150, kTab | BS_PUSHBUTTON, 0, 244, 100, 60, 14},
    {WC_BUTTON, "View Model...", 1152, kPush, 0, 168, 126, 70, 14},
    {WC_BUTTON, "Hints", IDC_STATIC, kGroupBox, 0, 6, 164, 316, 40},
    {WC_STATIC, "", 1082, kVisible, 0, 14, 175, 300, 26},
    {"PORTMAP", "", 1147, kGrid, 0, 6, 208, 316, 70},
    {WC_STATIC, "Number of ports in seletced model doesn't match number of component pins", 1151, kVisible, 0, 6,
     210, 316, 20},
};
const DialogTemplate kFile = PageTemplate(328, 282, kFileItems);

const DialogItemTemplate kEslItems[] = {
    {WC_STATIC, "Capacitor &Size:", IDC_STATIC, kVisible, 0, 7, 9, 64, 8},
    {WC_COMBOBOX, "", 1189, kDropList, 0, 75, 7, 70, 120},
    {WC_STATIC, "&Width:", IDC_STATIC, kVisible, 0, 7, 27, 64, 8},
    {WC_EDIT, "", 1201, kEdit, 0, 75, 25, 70, 12},
    {WC_COMBOBOX, "", 1205, kDropList, 0, 150, 25, 50, 60},
    {WC_STATIC, "&Length:", IDC_STATIC, kVisible, 0, 7, 45, 64, 8},
    {WC_EDIT, "", 1202, kEdit, 0, 75, 43, 70, 12},
    {WC_COMBOBOX, "", 1206, kDropList, 0, 150, 43, 50, 60},
    {WC_STATIC, "&Reference Layer:", IDC_STATIC, kVisible, 0, 7, 63, 64, 8},
    {WC_LISTBOX, "", 1203, kTab | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 0, 75, 61, 125, 70},
    {WC_STATIC, "&Mount On:", IDC_STATIC, kVisible, 0, 7, 139, 64, 8},
    {WC_COMBOBOX, "", 1204, kDropList, 0, 75, 137, 70, 40},
    {WC_BUTTON, "OK", IDOK, kTab | BS_DEFPUSHBUTTON, 0, 95, 160, 50, 14},
    {WC_BUTTON, "Cancel", IDCANCEL, kPush, 0, 150, 160, 50, 14},
};
const DialogTemplate kEsl{kModal, 0, 0, 0, 207, 181, "ESL Calculator", kFont, kPointSize, kEslItems};

// A floppy disk: save into the library.
const std::vector<const char*> kSaveRows = {
    "........................", "........................", "........................",
    "....################....", "....#bb#wwwwwwww#bb#....", "....#bb#wwwwwwww#bb#....",
    "....#bb#wwwwwwww#bb#....", "....#bb#wwwwwwww#bb#....", "....#bb#wwwwwwww#bb#....",
    "....#bbb########bbb#....", "....#bbbbbbbbbbbbbb#....", "....#bbbbbbbbbbbbbb#....",
    "....#bbb++++++++bbb#....", "....#bbb+..##..+bbb#....", "....#bbb+..##..+bbb#....",
    "....#bbb+..##..+bbb#....", "....#bbb+......+bbb#....", ".....###############....",
    "........................", "........................", "........................",
    "........................", "........................", "........................",
    "........................", "........................",
};

// The disk with a pencil: save under a new name.
const std::vector<const char*> kSaveAsRows = {
    "........................", "........................", "...................##...",
    "..###############..#ww#.", "..#bb#wwwwwwww#b.#ww#...", "..#bb#wwwwwwww#.#ww#....",
    "..#bb#wwwwwwww.#ww#.....", "..#bb#wwwwwww.#ww#......", "..#bb#wwwwww.#ww#.......",
    "..#bbb######.#ww#.......", "..#bbbbbbbbb#ww#........", "..#bbbbbbbb###b#........",
    "..#bbb++++++##bb#.......", "..#bbb+..##..+bb#.......", "..#bbb+..##..+bb#.......",
    "..#bbb+..##..+bb#.......", "..#bbb+......+bb#.......", "...##############.......",
    "........................", "........................", "........................",
    "........................", "........................", "........................",
    "........................", "........................",
};

// A red cross: remove from the library.
const std::vector<const char*> kRemoveRows = {
    "........................", "........................", "........................",
    "........................", ".....rr..........rr.....", ".....rrr........rrr.....",
    "......rrr......rrr......", ".......rrr....rrr.......", "........rrr..rrr........",
    ".........rrrrrr.........", "..........rrrr..........", "..........rrrr..........",
    ".........rrrrrr.........", "........rrr..rrr........", ".......rrr....rrr.......",
    "......rrr......rrr......", ".....rrr........rrr.....", ".....rr..........rr.....",
    "........................", "........................", "........................",
    "........................", "........................", "........................",
    "........................", "........................",
};

}  // namespace

std::vector<BYTE> MakePackedBitmap(const std::vector<const char*>& rows) {
  const int w = static_cast<int>(std::strlen(rows[0]));
  const int h = static_cast<int>(rows.size());
  const int stride = ((w * 4 + 31) / 32) * 4;
  std::vector<BYTE> dib(40 + 16 * 4 + static_cast<std::size_t>(stride * h), 0);
  BITMAPINFOHEADER header{40, w, h, 1, 4, BI_RGB, static_cast<DWORD>(stride * h), 0, 0, 16, 0};
  std::memcpy(dib.data(), &header, sizeof header);
  const RGBQUAD colours[] = {{0, 0, 0, 0},       {128, 128, 128, 0}, {192, 192, 192, 0},
                             {255, 255, 255, 0}, {160, 64, 0, 0},    {0, 0, 200, 0}};
  std::memcpy(dib.data() + 40, colours, sizeof colours);
  BYTE* bits = dib.data() + 40 + 64;
  for (int y = 0; y < h; ++y) {
    const char* row = rows[static_cast<std::size_t>(h - 1 - y)];
    for (int x = 0; x < w; ++x) {
      BYTE index = 2;
      switch (row[x]) {
        case '#': index = 0; break;
        case '+': index = 1; break;
        case 'w': index = 3; break;
        case 'b': index = 4; break;
        case 'r': index = 5; break;
        default: break;
      }
      bits[y * stride + x / 2] |= static_cast<BYTE>(x % 2 ? index : index << 4);
    }
  }
  return dib;
}

void RegisterModelEditorResources() {
  // Registered on every call, as the wizard resources are: a test that resets the window system drops classes.
  static const std::vector<BYTE> save = MakePackedBitmap(kSaveRows);
  static const std::vector<BYTE> saveAs = MakePackedBitmap(kSaveAsRows);
  static const std::vector<BYTE> remove = MakePackedBitmap(kRemoveRows);
  brimwiz::RegisterWizardResources();
  const HINSTANCE m = brimwiz::ModuleResources();
  plat::RegisterDialogTemplate(m, IDD_MODEL_EDITOR, kEditor);
  plat::RegisterDialogTemplate(m, IDD_EDIT_MODEL_NAME, kModelName);
  plat::RegisterDialogTemplate(m, IDD_PANE_CLR, kClr);
  plat::RegisterDialogTemplate(m, IDD_PANE_SPICE, kSpice);
  plat::RegisterDialogTemplate(m, IDD_PANE_FILE, kFile);
  plat::RegisterDialogTemplate(m, IDD_ESL_CALCULATOR, kEsl);
  plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(IDB_SAVE_TO_LIBRARY), save);
  plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(IDB_SAVE_AS_TO_LIBRARY), saveAs);
  plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(IDB_REMOVE_FROM_LIBRARY), remove);
  // The port map's layouts and cells are registered by the module's start-up (StartGridLibrary).
  RegisterPortMapClass(AfxGetInstanceHandle());
}

}  // namespace modeleditor

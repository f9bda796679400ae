// Reads arbitrary bytes as a formula sheet's archive. What loads is stored, and the stored bytes load again
// into a second sheet: both must hold the same cells (kind, value text, expression text, style or none),
// settings and names. Anything the reader refuses must be refused with the archive exception, never a crash
// or a leak.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz/FuzzFonts.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "grid/core/gxarchive.h"
#include "grid/features/gxfeatures.h"
#include "grid/formula/CGXFormulaSheet.h"
#include "grid/formula/GxFormula.h"
#include "platform/base/CArchive.h"
#include "platform/base/CException.h"
#include "platform/base/CMemFile.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"

namespace {

using Dump = std::map<std::pair<int32_t, int32_t>, std::string>;

Dump Cells(const CGXFormulaSheet& sheet) {
  Dump out;
  GX_SHEET* sh = _gx_sheet_get(sheet.GetEngineSheet());
  for (auto& list : sh->lists) {
    GX_LIST_ITER it;
    _gx_list_iter_init(&list, &it);
    while (GX_CELL* c = _gx_list_iter_next(&it)) {
      if (!c->entered()) continue;
      CString value, expression;
      sheet.GetCellValueText(c, value);
      sheet.GetCellExpressionText(c, expression);
      out[{c->row, c->col}] = std::to_string(c->kind()) + "|" + std::string(value) + "|" + std::string(expression) +
                              "|" + (c->style ? "s" : "-");
    }
  }
  return out;
}

std::string Settings(const CGXFormulaSheet& sheet) {
  CStringArray names;
  sheet.GetNamesText(names);
  std::string out = std::to_string(sheet.GetIterationLimit()) + std::to_string(sheet.GetBlanksAreZeros()) +
                    std::to_string(sheet.GetRecalcMode()) + std::to_string(sheet.GetRecalcMethod()) +
                    std::to_string(sheet.GetConstraintCheck());
  for (INT_PTR i = 0; i < names.GetSize(); ++i) out += "," + std::string(names[i]);
  return out;
}

bool Load(CGXFormulaSheet& sheet, const uint8_t* data, size_t size) {
  CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
  try {
    gx::ArchiveReadGuard guard;
    CArchive ar(&file, CArchive::load);
    sheet.Serialize(ar);
  } catch (CException* e) {
    e->Delete();
    return false;
  }
  return true;
}

std::vector<BYTE> Store(CGXFormulaSheet& sheet) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    sheet.Serialize(ar);
  }
  return std::vector<BYTE>(file.Data(), file.Data() + file.GetLength());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("sheet-fuzz"));
  plat::Desktop::Configure(320, 240);
  InstallDocSerializeImp();
  InstallSerializeTarn5CompatibleImp();
  GXRegisterCellControls();
  GXRegisterEditingFeatures();
  InitGridLibrary();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  CGXFormulaSheet sheet;
  if (!Load(sheet, data, size)) return 0;
  const std::vector<BYTE> stored = Store(sheet);
  CGXFormulaSheet again;
  if (!Load(again, stored.data(), stored.size())) std::abort();  // the sheet's own bytes must load
  if (Cells(sheet) != Cells(again) || Settings(sheet) != Settings(again)) std::abort();
  return 0;
}

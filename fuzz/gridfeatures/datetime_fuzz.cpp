// Both date-time services on any text, in English and in German: a text a service accepts, written back
// by that service, is accepted again as the same date and time.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "grid/core/CGXGridGlobals.h"
#include "grid/features/CGXNoOleDateTimeImp.h"
#include "grid/features/CGXOleDateTimeImp.h"
#include "platform/base/LocaleTable.h"

namespace {

void Fail(const char* what, const std::string& text, const CString& shown, const GXDateTimeRecord& r) {
  std::fprintf(stderr, "%s: \"%s\" written as \"%s\" (%d-%d-%d %d:%d:%d)\n", what, text.c_str(), shown.GetString(),
               r.year, r.month, r.day, r.hour, r.minute, r.second);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static CGXOleDateTimeImp ole;
  static CGXNoOleDateTimeImp noOle;
  CGXAbstractDateTimeImp* imp = data[0] & 1 ? static_cast<CGXAbstractDateTimeImp*>(&noOle) : &ole;
  CGXGridGlobals::Get().m_pDateTimeImp = imp;
  plat::SetUserDefaultLocale(data[0] & 2 ? 0x0407 : 0x0409);
  imp->RefreshSettings();
  const int order = (data[0] >> 2) & 3;  // 3: the locale's
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  if (text.find('\0') != std::string::npos) return 0;

  GXDateTimeRecord record;
  if (!imp->ParseDateTime(&record, text.c_str(), order)) return 0;
  // An empty (or blank) text is accepted as a cleared record, which is written as a midnight time.
  if (record == GXDateTimeRecord{}) return 0;
  CString shown;
  imp->FormatDateTime(shown, &record);
  GXDateTimeRecord again;
  // The service writes in the locale's order: it reads its own text back in that order.
  if (!imp->ParseDateTime(&again, shown, 3)) Fail("not read back", text, shown, record);
  if (!(again == record)) Fail("read back differently", text, shown, again);
  return 0;
}

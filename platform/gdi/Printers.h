// The virtual printers and their settings blocks.
//
// Printers: "PDF" (the default: a PDF file per document), "PNG" (a PNG file per page) and "Recording" (the
// recording log of each page, in memory). Driver "WINSPOOL" or any other driver name is accepted; the device
// name decides. CreateDC reads orientation, paper size (DMPAPER_* or custom dmPaperWidth/Length in tenths of a
// millimetre) and the resolution (dmPrintQuality > 0 or dmYResolution, else 300 dpi) from a DEVMODE when one is
// given and valid; an invalid block makes CreateDC fail instead of printing with half-read settings.
//
// DEVMODE/DEVNAMES blocks: MakeDevMode gives a printer's default block, ValidateDevMode checks one read from a
// file (size fields, known printer, sane paper and resolution, a page whose image fits the limits below), DevNames packs and unpacks the DEVNAMES layout
// (offsets in characters from the block's start, each string NUL-terminated).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/gdiapi.h"

namespace plat {

class PrintJob;

const std::vector<std::string>& PrinterNames();
std::string DefaultPrinterName();

// A page is drawn on an image of the whole sheet at the printer's resolution: no side may exceed
// kMaxPageSidePixels and the image (4 bytes a pixel) may take at most kMaxPageBytes.
constexpr long kMaxPageSidePixels = 32767;
constexpr unsigned long long kMaxPageBytes = 1ULL << 30;

DEVMODEA MakeDevMode(const std::string& printer);
// Null when the block is acceptable; otherwise the reason.
std::optional<std::string> ValidateDevMode(const void* block, size_t size);

struct DevNamesValue {
  std::string driver;
  std::string device;
  std::string output;
  bool isDefault = false;
};
std::vector<BYTE> PackDevNames(const DevNamesValue& v);
// Null when the block is too short or its offsets point outside it or to unterminated strings.
std::optional<DevNamesValue> UnpackDevNames(const void* block, size_t size);

// The default printer's blocks in new movable global memory (what a print-setup dialog's defaults hand out):
// DEVNAMES "WINSPOOL" / printer / "PDF:" marked default, and MakeDevMode(printer). FALSE, with both handles
// null, when an allocation fails; the caller frees them with GlobalFree.
BOOL CreatePrinterBlocks(const std::string& printer, HGLOBAL* devNames, HGLOBAL* devMode);

// A printer DC for print preview: the printer's paper and printable area at another resolution, drawing
// text on its raster. It never starts a document: the page is drawn on its blank page surface, from which a
// window copies it. Null when `printer` is no printer DC or the resolution is outside 1..600 dpi.
HDC CreatePreviewDC(HDC printer, int dpi);
// Draws a preview DC's page into `dest` (logical units of `dst`), scaled with averaging so that thin lines
// stay visible; the destination's clip region is not applied.
BOOL DrawScaledPage(HDC dst, const RECT& dest, HDC page);

// The document behind a printer DC (files written, pages recorded); null for other DCs.
PrintJob* PrintJobOf(HDC dc);
// The printer and preview DCs alive now (each holds a page image at its resolution until it is deleted).
std::size_t LivePrinterDCs();
// For tests: the next `count` page images (a new printer DC's first, a started page's) cannot be made, as when
// memory runs out.
void FailNextPageImages(int count);

}  // namespace plat

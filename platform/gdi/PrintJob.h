// PrintJob: the document behind a printer DC. Pages are drawn into an image surface at the printer's resolution
// with the same pixel code as the screen; EndPage hands the page to the target:
//   Pdf        one cairo PDF page per page, at the page's physical size, drawn while the page is drawn: solid
//              fills and pen pixels in copy mode (every fill, line, frame and edge ends in them) as vector
//              rectangles, text runs as real text (so the document can be searched and read back, and stays
//              small), and what has no vector form (blits and DIBs, patterned fills, raster operations, rotated
//              text) as an image of the part of the page raster it changed, in drawing order;
//   Png        one PNG file per page ("<base>-<n>.png");
//   Recording  the recorder's lines of each page, kept in memory for tests.
// The page raster holds everything in every target, so a raster operation reads the page as drawn so far.
//
// Files are written through AtomicFile as they are made: the PDF goes to its temporary file page by page and takes
// its name at EndDoc (a failed or aborted document leaves the file that was there), a PNG page at its EndPage. A
// name that holds no regular file (a FIFO, a device, a socket) is never taken: the PDF is refused at StartDoc, a
// PNG page at its EndPage. A failed document call sets the thread's last error and keeps it (lastSystemError) with
// its errno value (lastError).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/AtomicFile.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/gdiapi.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace plat {

class DeviceContext;
class DcRecorder;

struct PrinterSetup {
  enum class Target { Pdf, Png, Recording };
  Target target = Target::Pdf;
  std::string deviceName = "PDF";
  int dpi = 300;
  // Paper in tenths of a millimetre (A4 portrait by default) and the unprintable margin in pixels.
  int paperWidthTenthMm = 2100;
  int paperHeightTenthMm = 2970;
  bool landscape = false;
  int marginPixels = 0;
  std::string output;  // file (PDF) or base name (PNG); empty = a name under the temporary directory
};

// A glyph run placed on a page, drawn as text into the PDF.
class FontFace;

struct PageText {
  double x = 0;
  double y = 0;  // baseline
  std::string utf8;
  std::shared_ptr<FontFace> face;
  // Glyph index and pen x of each character, and the UTF-8 bytes each character took: the PDF places the glyphs
  // exactly where the screen does and maps each back to its character for text extraction.
  std::vector<std::pair<unsigned long, double>> glyphs;
  std::vector<int> clusterBytes;
  COLORREF color = 0;
  RECT clip{0, 0, 0, 0};
};

class PrintJob {
 public:
  explicit PrintJob(PrinterSetup setup);
  ~PrintJob();

  const PrinterSetup& setup() const { return setup_; }
  int pageWidthPx() const;
  int pageHeightPx() const;
  bool inDocument() const { return inDoc_; }
  bool inPage() const { return inPage_; }

  int startDoc(DeviceContext& dc, const DOCINFOA* info);
  int startPage(DeviceContext& dc);
  int endPage(DeviceContext& dc);
  int endDoc(DeviceContext& dc);
  int abortDoc(DeviceContext& dc);

  // The PDF page being drawn, in surface pixels of the page: true between StartPage and EndPage of a PDF job.
  bool drawsVectors() const { return page_ != nullptr; }
  // A solid rectangle (already clipped) in a pixel colour.
  void vectorFill(const RECT& r, Pixel color);
  void vectorText(const PageText& t);
  // The part `r` (already clipped) of the page raster, as it is now.
  void rasterPatch(const RECT& r, const Surface& page);

  const std::vector<std::string>& files() const { return files_; }
  const std::vector<std::vector<std::string>>& recordedPages() const { return recordedPages_; }
  int pagesPrinted() const { return pageCount_; }
  // The file the document goes to (the PNG pages' base name); after EndDoc, the name the file took.
  const std::string& lastOutput() const { return output_; }
  // The errno value of the last document call that failed, 0 when none did or when no errno value says why.
  int lastError() const { return error_; }
  // The classic error number that call set as the thread's last error: the reason where no errno value says it
  // (ERROR_BAD_FILE_TYPE: the name holds a FIFO, a device or a socket), 0 when no call failed.
  DWORD lastSystemError() const { return systemError_; }

 private:
  PrinterSetup setup_;
  bool inDoc_ = false;
  bool inPage_ = false;
  int pageCount_ = 0;
  std::string output_;
  // An output the document was not given is a file of its own: made new, under a fresh name where the name is
  // taken (AtomicFile::Naming::Fresh), so that nothing another user put in the shared temporary folder is
  // followed or written.
  AtomicFile::Naming naming_ = AtomicFile::Naming::Replace;
  int error_ = 0;
  DWORD systemError_ = 0;
  int failed(int error);
  // A failure that no errno value names, by its classic error number.
  int refused(DWORD systemError);
  // Refuses (ERROR_BAD_FILE_TYPE) a file opened to be replaced whose name holds no regular file as the open's walk
  // found it: a FIFO or a device is never written over, nor replaced by the document.
  bool refuseNonRegular(AtomicFile& file);
  void flushFills();
  cairo_surface_t* pdf_ = nullptr;
  AtomicFile pdfFile_;  // the PDF, written as it is made; it takes the output file's name at the document's end
  cairo_t* page_ = nullptr;  // the PDF page being drawn
  // Solid fills of one colour gather in the page's path until another colour or another kind of output comes;
  // `run_` is the last rectangle, still open for a neighbour in its row or column to join.
  bool fillsPending_ = false;
  Pixel fillColor_ = 0;
  RECT run_{0, 0, 0, 0};
  int rectsInPath_ = 0;  // rectangles in the path before `run_`
  SurfacePtr raster_;  // the page raster, kept for the next page
  std::vector<std::string> files_;
  std::vector<std::vector<std::string>> recordedPages_;
  std::shared_ptr<DcRecorder> pageRecorder_;
};

}  // namespace plat

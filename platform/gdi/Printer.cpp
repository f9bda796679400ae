#include <cairo-pdf.h>
#include <cairo.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/base/AtomicFile.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/SystemError.h"
#include "platform/gdi/DcRecorder.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/PrintJob.h"
#include "platform/gdi/Printers.h"

namespace plat {

HDC addDc(std::unique_ptr<DeviceContext> dc);

namespace {

struct Paper {
  short id;
  int widthTenthMm;
  int heightTenthMm;
};
constexpr Paper kPapers[] = {
    {DMPAPER_LETTER, 2159, 2794}, {DMPAPER_LEGAL, 2159, 3556}, {DMPAPER_A3, 2970, 4200},
    {DMPAPER_A4, 2100, 2970},     {DMPAPER_A5, 1480, 2100},
};

const Paper* paperById(short id) {
  for (const Paper& p : kPapers)
    if (p.id == id) return &p;
  return nullptr;
}

bool knownPrinter(const char* name) {
  for (const std::string& n : PrinterNames())
    if (strcasecmp(n.c_str(), name) == 0) return true;
  return false;
}

PrinterSetup::Target targetFor(const std::string& name) {
  if (strcasecmp(name.c_str(), "PNG") == 0) return PrinterSetup::Target::Png;
  if (strcasecmp(name.c_str(), "Recording") == 0) return PrinterSetup::Target::Recording;
  return PrinterSetup::Target::Pdf;
}

std::string fixedString(const BYTE* p, size_t n) {
  size_t len = 0;
  while (len < n && p[len]) ++len;
  return std::string(reinterpret_cast<const char*>(p), len);
}

// The settings a valid block gives a printer.
void applyDevMode(PrinterSetup& setup, const DEVMODEA& dm) {
  if (dm.dmFields & DM_PAPERSIZE) {
    if (const Paper* p = paperById(dm.dmPaperSize)) {
      setup.paperWidthTenthMm = p->widthTenthMm;
      setup.paperHeightTenthMm = p->heightTenthMm;
    }
  }
  if ((dm.dmFields & DM_PAPERWIDTH) && (dm.dmFields & DM_PAPERLENGTH)) {
    setup.paperWidthTenthMm = dm.dmPaperWidth;
    setup.paperHeightTenthMm = dm.dmPaperLength;
  }
  if (dm.dmFields & DM_ORIENTATION) setup.landscape = dm.dmOrientation == DMORIENT_LANDSCAPE;
  if ((dm.dmFields & DM_PRINTQUALITY) && dm.dmPrintQuality > 0) setup.dpi = dm.dmPrintQuality;
  else if ((dm.dmFields & DM_YRESOLUTION) && dm.dmYResolution > 0) setup.dpi = dm.dmYResolution;
}

long pagePixels(int tenthMm, int dpi) { return std::lround(tenthMm * static_cast<double>(dpi) / 254.0); }

// The errno value a cairo failure stands for, when the file itself reported none.
int CairoErrno(cairo_status_t status) { return status == CAIRO_STATUS_NO_MEMORY ? ENOMEM : EIO; }

}  // namespace

const std::vector<std::string>& PrinterNames() {
  static const std::vector<std::string> names = {"PDF", "PNG", "Recording"};
  return names;
}

std::string DefaultPrinterName() { return "PDF"; }

DEVMODEA MakeDevMode(const std::string& printer) {
  DEVMODEA dm{};
  std::strncpy(reinterpret_cast<char*>(dm.dmDeviceName), printer.c_str(), CCHDEVICENAME - 1);
  dm.dmSpecVersion = DM_SPECVERSION;
  dm.dmDriverVersion = 0x0100;
  dm.dmSize = sizeof(DEVMODEA);
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_PRINTQUALITY | DM_COLOR |
                DM_YRESOLUTION | DM_COLLATE | DM_FORMNAME;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = DMPAPER_A4;
  dm.dmScale = 100;
  dm.dmCopies = 1;
  dm.dmPrintQuality = 300;
  dm.dmYResolution = 300;
  dm.dmColor = DMCOLOR_COLOR;
  dm.dmCollate = 1;
  std::strncpy(reinterpret_cast<char*>(dm.dmFormName), "A4", CCHFORMNAME - 1);
  return dm;
}

std::optional<std::string> ValidateDevMode(const void* block, size_t size) {
  if (!block) return std::string("no settings block");
  if (size < offsetof(DEVMODEA, dmFields) + sizeof(DWORD)) return std::string("settings block too short");
  DEVMODEA dm{};
  std::memcpy(&dm, block, std::min(size, sizeof dm));
  if (dm.dmSize < offsetof(DEVMODEA, dmFormName) || dm.dmSize > sizeof(DEVMODEA))
    return std::string("settings block has a bad size field");
  if (static_cast<size_t>(dm.dmSize) + dm.dmDriverExtra > size) return std::string("settings block is truncated");
  const std::string name = fixedString(dm.dmDeviceName, CCHDEVICENAME);
  if (!knownPrinter(name.c_str())) return "unknown printer \"" + name + "\"";
  if ((dm.dmFields & DM_ORIENTATION) && dm.dmOrientation != DMORIENT_PORTRAIT && dm.dmOrientation != DMORIENT_LANDSCAPE)
    return std::string("bad orientation");
  if ((dm.dmFields & DM_PAPERSIZE) && dm.dmPaperSize != 0 && !paperById(dm.dmPaperSize) &&
      !((dm.dmFields & DM_PAPERLENGTH) && (dm.dmFields & DM_PAPERWIDTH)))
    return std::string("unknown paper size");
  if ((dm.dmFields & DM_PAPERLENGTH) && dm.dmPaperLength <= 0) return std::string("bad paper length");
  if ((dm.dmFields & DM_PAPERWIDTH) && dm.dmPaperWidth <= 0) return std::string("bad paper width");
  if ((dm.dmFields & DM_PRINTQUALITY) && dm.dmPrintQuality > 2400) return std::string("bad resolution");
  if ((dm.dmFields & DM_YRESOLUTION) && (dm.dmYResolution < 0 || dm.dmYResolution > 2400))
    return std::string("bad resolution");
  // A page is drawn on an image of the whole sheet: its sides and its memory are bounded.
  PrinterSetup setup;
  applyDevMode(setup, dm);
  const long width = pagePixels(setup.paperWidthTenthMm, setup.dpi);
  const long height = pagePixels(setup.paperHeightTenthMm, setup.dpi);
  if (width > kMaxPageSidePixels || height > kMaxPageSidePixels ||
      static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) * 4 > kMaxPageBytes)
    return std::string("page too large for its resolution");
  return std::nullopt;
}

std::vector<BYTE> PackDevNames(const DevNamesValue& v) {
  std::vector<BYTE> out(sizeof(DEVNAMES), 0);
  auto add = [&](const std::string& s) {
    const WORD off = static_cast<WORD>(out.size());
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
    return off;
  };
  DEVNAMES dn{};
  dn.wDriverOffset = add(v.driver);
  dn.wDeviceOffset = add(v.device);
  dn.wOutputOffset = add(v.output);
  dn.wDefault = v.isDefault ? DN_DEFAULTPRN : 0;
  std::memcpy(out.data(), &dn, sizeof dn);
  return out;
}

std::optional<DevNamesValue> UnpackDevNames(const void* block, size_t size) {
  if (!block || size < sizeof(DEVNAMES)) return std::nullopt;
  DEVNAMES dn{};
  std::memcpy(&dn, block, sizeof dn);
  const char* base = static_cast<const char*>(block);
  auto read = [&](WORD off, std::string& out) {
    if (off < sizeof(DEVNAMES) || off >= size) return false;
    const void* end = std::memchr(base + off, 0, size - off);
    if (!end) return false;
    out.assign(base + off, static_cast<const char*>(end));
    return true;
  };
  DevNamesValue v;
  if (!read(dn.wDriverOffset, v.driver) || !read(dn.wDeviceOffset, v.device) || !read(dn.wOutputOffset, v.output))
    return std::nullopt;
  v.isDefault = (dn.wDefault & DN_DEFAULTPRN) != 0;
  return v;
}

BOOL CreatePrinterBlocks(const std::string& printer, HGLOBAL* devNames, HGLOBAL* devMode) {
  if (!devNames || !devMode) return FALSE;
  *devNames = *devMode = nullptr;
  if (!knownPrinter(printer.c_str())) return FALSE;
  const std::vector<BYTE> names = PackDevNames({"WINSPOOL", printer, printer + ":", printer == DefaultPrinterName()});
  const DEVMODEA mode = MakeDevMode(printer);
  HGLOBAL n = GlobalAlloc(GMEM_MOVEABLE, names.size());
  HGLOBAL m = GlobalAlloc(GMEM_MOVEABLE, sizeof mode);
  if (!n || !m) {
    if (n) GlobalFree(n);
    if (m) GlobalFree(m);
    return FALSE;
  }
  std::memcpy(GlobalLock(n), names.data(), names.size());
  GlobalUnlock(n);
  std::memcpy(GlobalLock(m), &mode, sizeof mode);
  GlobalUnlock(m);
  *devNames = n;
  *devMode = m;
  return TRUE;
}

namespace {
// A DEVNAMES output such as "PDF:" names the printer's port, not a file: the document then goes to its own
// file under the temporary directory (or to DOCINFO's output), never to a file named after the port.
bool IsPortName(const char* output) {
  const size_t n = std::strlen(output);
  return n > 0 && output[n - 1] == ':' && !std::strchr(output, '/');
}

int g_failPageImages = 0;
// True when the test hook says that this page image cannot be made.
bool takeFailedPageImage() { return g_failPageImages > 0 && g_failPageImages--; }

HDC dcForSetup(const PrinterSetup& setup) {
  auto dc = std::make_unique<DeviceContext>(DcKind::Printer, nullptr, POINT{0, 0});
  dc->setLogPixels(setup.dpi);
  auto job = std::make_unique<PrintJob>(setup);
  // Until a page starts the DC draws on a blank page-sized surface, so measuring and drawing work at once.
  auto surface = takeFailedPageImage() ? nullptr : Surface::create(job->pageWidthPx(), job->pageHeightPx());
  if (!surface) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);  // the reason a print that cannot begin reports
    return nullptr;
  }
  dc->setSurface(std::move(surface));
  dc->surface()->fillAll(0xFFFFFFFFu);
  dc->setPrintJob(std::move(job));
  return addDc(std::move(dc));
}
}  // namespace

HDC CreatePreviewDC(HDC printer, int dpi) {
  const PrintJob* job = PrintJobOf(printer);
  if (!job || dpi < 1 || dpi > 600) return nullptr;
  PrinterSetup setup = job->setup();
  setup.marginPixels = setup.marginPixels * dpi / std::max(1, setup.dpi);
  setup.dpi = dpi;
  setup.target = PrinterSetup::Target::Png;  // a raster with its text; nothing is written without a document
  setup.output.clear();
  return dcForSetup(setup);
}

BOOL DrawScaledPage(HDC dst, const RECT& dest, HDC page) {
  DeviceContext* d = dcOf(dst);
  DeviceContext* s = dcOf(page);
  if (!d || !s || !d->surface() || !s->surface()) return FALSE;
  const POINT p0 = d->toSurface(dest.left, dest.top), p1 = d->toSurface(dest.right, dest.bottom);
  const int w = p1.x - p0.x, h = p1.y - p0.y;
  if (w <= 0 || h <= 0) return TRUE;
  const Surface& from = *s->surface();
  Surface& to = *d->surface();
  cairo_t* cr = to.beginCairo();
  cairo_rectangle(cr, p0.x, p0.y, w, h);
  cairo_clip(cr);
  cairo_translate(cr, p0.x, p0.y);
  cairo_scale(cr, static_cast<double>(w) / from.width(), static_cast<double>(h) / from.height());
  cairo_set_source_surface(cr, from.cairoSurface(), 0, 0);
  // Averaged, not sampled: a one-pixel grid line of the page stays visible as a lighter line.
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  to.endCairo(cr);
  return TRUE;
}

HDC createPrinterDC(LPCSTR, LPCSTR device, LPCSTR output, const void* devmode, bool) {
  const std::string name = device && *device ? device : DefaultPrinterName();
  if (!knownPrinter(name.c_str())) return nullptr;
  PrinterSetup setup;
  setup.deviceName = name;
  setup.target = targetFor(name);
  if (output && !IsPortName(output)) setup.output = output;
  if (devmode) {
    const auto* dm = static_cast<const DEVMODEA*>(devmode);
    if (ValidateDevMode(devmode, std::max<size_t>(dm->dmSize, offsetof(DEVMODEA, dmFormName)) + dm->dmDriverExtra))
      return nullptr;
    applyDevMode(setup, *dm);
  }
  return dcForSetup(setup);  // no memory for the page: no DC rather than one that cannot draw
}

PrintJob* PrintJobOf(HDC dc) {
  DeviceContext* d = dcOf(dc);
  return d ? d->printJob() : nullptr;
}

namespace {
// The platform draws on its one UI thread.
std::size_t g_liveJobs = 0;
}  // namespace

std::size_t LivePrinterDCs() { return g_liveJobs; }
void FailNextPageImages(int count) { g_failPageImages = std::max(0, count); }

PrintJob::PrintJob(PrinterSetup setup) : setup_(std::move(setup)) { ++g_liveJobs; }

PrintJob::~PrintJob() {
  --g_liveJobs;
  if (page_) cairo_destroy(page_);
  if (pdf_) cairo_surface_destroy(pdf_);
}

void PrintJob::flushFills() {
  if (!fillsPending_) return;
  const double l = run_.left, t = run_.top, w = run_.right - run_.left, h = run_.bottom - run_.top;
  if (rectsInPath_ == 0 && (w > 1 || h > 1)) {
    // A fill of one rectangle goes in as two halves: viewers snap a lone rectangle to whole device pixels, so
    // that the grid's lines, a few printer pixels thick, would show one or two screen pixels thick by where
    // they lie; as part of a larger path the rectangle is shown with its true coverage, as the page's image was.
    if (w >= h) {
      cairo_rectangle(page_, l, t, std::floor(w / 2), h);
      cairo_rectangle(page_, l + std::floor(w / 2), t, w - std::floor(w / 2), h);
    } else {
      cairo_rectangle(page_, l, t, w, std::floor(h / 2));
      cairo_rectangle(page_, l, t + std::floor(h / 2), w, h - std::floor(h / 2));
    }
  } else {
    cairo_rectangle(page_, l, t, w, h);
  }
  rectsInPath_ = 0;
  cairo_set_source_rgb(page_, ((fillColor_ >> 16) & 0xFF) / 255.0, ((fillColor_ >> 8) & 0xFF) / 255.0,
                       (fillColor_ & 0xFF) / 255.0);
  cairo_fill(page_);
  fillsPending_ = false;
}

void PrintJob::vectorFill(const RECT& r, Pixel color) {
  if (!page_ || r.right <= r.left || r.bottom <= r.top) return;
  color &= 0xFFFFFFu;
  if (fillsPending_ && color == fillColor_) {
    // A neighbour in the same row or column of pixels (a dashed or sloping line's pixels, a span's pieces)
    // joins the open rectangle; any other goes into the path.
    if (r.top == run_.top && r.bottom == run_.bottom && r.left == run_.right) {
      run_.right = r.right;
      return;
    }
    if (r.left == run_.left && r.right == run_.right && r.top == run_.bottom) {
      run_.bottom = r.bottom;
      return;
    }
    cairo_rectangle(page_, run_.left, run_.top, run_.right - run_.left, run_.bottom - run_.top);
    ++rectsInPath_;
    run_ = r;
    return;
  }
  flushFills();
  fillsPending_ = true;
  fillColor_ = color;
  run_ = r;
}

void PrintJob::vectorText(const PageText& t) {
  if (!page_ || t.glyphs.empty()) return;
  flushFills();
  cairo_t* cr = page_;
  cairo_save(cr);
  cairo_rectangle(cr, t.clip.left, t.clip.top, t.clip.right - t.clip.left, t.clip.bottom - t.clip.top);
  cairo_clip(cr);
  // The same face file as on screen, so the PDF's text has the screen's metrics.
  cairo_set_font_face(cr, t.face->cairoFace());
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, t.face->em() * t.face->xScale(), t.face->em());
  cairo_set_font_matrix(cr, &m);
  cairo_set_source_rgb(cr, GetRValue(t.color) / 255.0, GetGValue(t.color) / 255.0, GetBValue(t.color) / 255.0);
  std::vector<cairo_glyph_t> glyphs;
  std::vector<cairo_text_cluster_t> clusters;
  glyphs.reserve(t.glyphs.size());
  clusters.reserve(t.glyphs.size());
  for (size_t i = 0; i < t.glyphs.size(); ++i) {
    glyphs.push_back(cairo_glyph_t{t.glyphs[i].first, t.glyphs[i].second, t.y});
    clusters.push_back(cairo_text_cluster_t{t.clusterBytes[i], 1});
  }
  cairo_show_text_glyphs(cr, t.utf8.data(), static_cast<int>(t.utf8.size()), glyphs.data(),
                         static_cast<int>(glyphs.size()), clusters.data(), static_cast<int>(clusters.size()),
                         static_cast<cairo_text_cluster_flags_t>(0));
  cairo_restore(cr);
}

void PrintJob::rasterPatch(const RECT& r, const Surface& page) {
  if (!page_ || r.right <= r.left || r.bottom <= r.top) return;
  flushFills();
  // A copy of just that part: the PDF then holds an image of its size, not of the whole sheet.
  auto part = Surface::create(r.right - r.left, r.bottom - r.top);
  if (!part) return;
  page.copyTo(r, *part, POINT{0, 0});
  cairo_set_source_surface(page_, part->cairoSurface(), r.left, r.top);
  cairo_paint(page_);
}

int PrintJob::pageWidthPx() const {
  return static_cast<int>(pagePixels(setup_.landscape ? setup_.paperHeightTenthMm : setup_.paperWidthTenthMm, setup_.dpi));
}

int PrintJob::pageHeightPx() const {
  return static_cast<int>(pagePixels(setup_.landscape ? setup_.paperWidthTenthMm : setup_.paperHeightTenthMm, setup_.dpi));
}

int PrintJob::failed(int error) {
  error_ = error ? error : EIO;
  systemError_ = SetLastErrorFromErrno(error_);
  return SP_ERROR;
}

int PrintJob::refused(DWORD systemError) {
  error_ = 0;
  systemError_ = systemError;
  SetLastError(systemError);
  return SP_ERROR;
}

bool PrintJob::refuseNonRegular(AtomicFile& file) {
  // Judged on what the open's walk found, not on a second look-up of the name, which another program may have
  // changed since. No errno value says this: EINVAL would read as a bad argument of the call.
  const struct stat* old = file.existing();
  if (!old || S_ISREG(old->st_mode)) return false;
  file.abandon();
  refused(ERROR_BAD_FILE_TYPE);
  return true;
}

int PrintJob::startDoc(DeviceContext&, const DOCINFOA* info) {
  if (inDoc_) return SP_ERROR;
  error_ = 0;
  systemError_ = 0;
  std::string out = setup_.output;
  if (info && info->lpszOutput && *info->lpszOutput) out = info->lpszOutput;
  naming_ = out.empty() ? AtomicFile::Naming::Fresh : AtomicFile::Naming::Replace;
  if (out.empty()) {
    std::string doc = info && info->lpszDocName ? info->lpszDocName : "document";
    for (char& c : doc)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    std::error_code ec;
    const auto dir = std::filesystem::temp_directory_path(ec);
    out = (ec ? std::filesystem::path("/tmp") : dir) / (doc + (setup_.target == PrinterSetup::Target::Pdf ? ".pdf" : ""));
  }
  output_ = out;
  files_.clear();
  recordedPages_.clear();
  pageCount_ = 0;
  if (setup_.target == PrinterSetup::Target::Pdf) {
    const double wpt = pageWidthPx() * 72.0 / setup_.dpi, hpt = pageHeightPx() * 72.0 / setup_.dpi;
    // The PDF goes to its temporary file as it is made and takes its name at the document's end, whole or not at
    // all: a failed or aborted print leaves the file that was there. A name it can never take is refused here, at
    // once: a folder, a device or a FIFO is never replaced, nor anything another user planted in a shared folder.
    if (!pdfFile_.open(out, naming_)) return failed(pdfFile_.error());
    if (refuseNonRegular(pdfFile_)) return SP_ERROR;
    const cairo_write_func_t put = [](void* closure, const unsigned char* data, unsigned int length) {
      return static_cast<AtomicFile*>(closure)->write(std::string_view(reinterpret_cast<const char*>(data), length))
                 ? CAIRO_STATUS_SUCCESS
                 : CAIRO_STATUS_WRITE_ERROR;
    };
    pdf_ = cairo_pdf_surface_create_for_stream(put, &pdfFile_, wpt, hpt);
    if (const cairo_status_t status = cairo_surface_status(pdf_); status != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(pdf_);
      pdf_ = nullptr;
      const int e = pdfFile_.error();
      pdfFile_.abandon();
      return failed(e ? e : CairoErrno(status));
    }
  }
  inDoc_ = true;
  return 1;
}

int PrintJob::startPage(DeviceContext& dc) {
  if (!inDoc_ || inPage_) return SP_ERROR;
  // The page raster of the last page serves again, blank, unless someone besides this DC still holds it.
  const long holders = dc.surfacePtr() == raster_ ? 2 : 1;
  if (!raster_ || raster_->width() != pageWidthPx() || raster_->height() != pageHeightPx() ||
      raster_.use_count() > holders)
    raster_ = takeFailedPageImage() ? nullptr : Surface::create(pageWidthPx(), pageHeightPx());
  if (!raster_) {
    failed(ENOMEM);  // the reason the print reports
    return SP_OUTOFMEMORY;
  }
  raster_->fillAll(0xFFFFFFFFu);
  dc.setSurface(raster_);
  dc.setOrigin(POINT{setup_.marginPixels, setup_.marginPixels});
  if (setup_.target == PrinterSetup::Target::Pdf) {
    page_ = cairo_create(pdf_);
    cairo_scale(page_, 72.0 / setup_.dpi, 72.0 / setup_.dpi);
    fillsPending_ = false;
    rectsInPath_ = 0;
  }
  if (setup_.target == PrinterSetup::Target::Recording) {
    pageRecorder_ = std::make_shared<DcRecorder>();
    dc.setRecorder(pageRecorder_);
  }
  inPage_ = true;
  return 1;
}

int PrintJob::endPage(DeviceContext& dc) {
  if (!inPage_) return SP_ERROR;
  inPage_ = false;
  ++pageCount_;
  Surface& page = *dc.surface();
  switch (setup_.target) {
    case PrinterSetup::Target::Pdf: {
      // The page's output went into the PDF while it was drawn; the page goes to the file now.
      flushFills();
      cairo_show_page(page_);
      const cairo_status_t status = cairo_status(page_);
      cairo_destroy(page_);
      page_ = nullptr;
      if (status != CAIRO_STATUS_SUCCESS || !pdfFile_.flush())
        return failed(pdfFile_.error() ? pdfFile_.error() : CairoErrno(status));
      break;
    }
    case PrinterSetup::Target::Png: {
      AtomicFile file;
      if (!file.open(output_ + "-" + std::to_string(pageCount_) + ".png", naming_)) return failed(file.error());
      // The same rule as the PDF's: a page is never written over a FIFO or a device that holds its name.
      if (refuseNonRegular(file)) return SP_ERROR;
      if (!page.writePng(file) || !file.commit()) return failed(file.error());
      files_.push_back(file.path());
      break;
    }
    case PrinterSetup::Target::Recording:
      recordedPages_.push_back(pageRecorder_ ? pageRecorder_->lines() : std::vector<std::string>{});
      dc.setRecorder(nullptr);
      pageRecorder_.reset();
      break;
  }
  return 1;
}

int PrintJob::endDoc(DeviceContext& dc) {
  if (!inDoc_) return SP_ERROR;
  if (inPage_) endPage(dc);
  inDoc_ = false;
  if (pdf_) {
    cairo_surface_finish(pdf_);
    const cairo_status_t status = cairo_surface_status(pdf_);
    cairo_surface_destroy(pdf_);
    pdf_ = nullptr;
    if (status != CAIRO_STATUS_SUCCESS || !pdfFile_.commit()) {
      const int e = pdfFile_.error();
      pdfFile_.abandon();
      return failed(e ? e : CairoErrno(status));
    }
    output_ = pdfFile_.path();
    files_.push_back(output_);
  }
  return 1;
}

int PrintJob::abortDoc(DeviceContext& dc) {
  if (!inDoc_) return SP_ERROR;
  inDoc_ = false;
  inPage_ = false;
  dc.setRecorder(nullptr);
  if (page_) {
    cairo_destroy(page_);
    page_ = nullptr;
  }
  pdfFile_.abandon();  // first: the rest of the document then goes nowhere
  if (pdf_) {
    cairo_surface_destroy(pdf_);
    pdf_ = nullptr;
  }
  std::error_code ec;
  for (const std::string& f : files_) std::filesystem::remove(f, ec);
  files_.clear();
  return 1;
}

}  // namespace plat

using namespace plat;

int StartDocA(HDC dc, const DOCINFOA* info) {
  DeviceContext* d = dcOf(dc);
  if (!d || !d->printJob()) return SP_ERROR;
  return d->printJob()->startDoc(*d, info);
}

int StartPage(HDC dc) {
  DeviceContext* d = dcOf(dc);
  if (!d || !d->printJob()) return SP_ERROR;
  return d->printJob()->startPage(*d);
}

int EndPage(HDC dc) {
  DeviceContext* d = dcOf(dc);
  if (!d || !d->printJob()) return SP_ERROR;
  return d->printJob()->endPage(*d);
}

int EndDoc(HDC dc) {
  DeviceContext* d = dcOf(dc);
  if (!d || !d->printJob()) return SP_ERROR;
  return d->printJob()->endDoc(*d);
}

int AbortDoc(HDC dc) {
  DeviceContext* d = dcOf(dc);
  if (!d || !d->printJob()) return SP_ERROR;
  return d->printJob()->abortDoc(*d);
}

int SetAbortProc(HDC dc, ABORTPROC) { return dcOf(dc) ? 1 : SP_ERROR; }

int Escape(HDC dc, int, int, LPCSTR, LPVOID) { return dcOf(dc) ? 0 : SP_ERROR; }

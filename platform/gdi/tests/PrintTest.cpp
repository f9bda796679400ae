// Printer DCs: the PDF printer read back with pdftotext, PNG pages, recorded pages, settings blocks, AfxCreateDC.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/base/FileFaults.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/base/SystemError.h"
#include "platform/base/tests/TempDir.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/PrintJob.h"
#include "platform/gdi/Printers.h"
#include "platform/gdi/tests/GdiTestUtil.h"

namespace fs = std::filesystem;

namespace {

// In a folder of this test program's own, removed when the program ends.
fs::path scratch(const std::string& name) {
  static const TempDir dir("brim-gdi-print");
  return dir.Path() / name;
}

// What a command writes to its standard output.
std::string shellOut(const std::string& cmd) {
  std::string out;
  if (FILE* p = plat::OpenCommand(cmd)) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    plat::CloseCommand(p);
  }
  return out;
}

std::string runPdfToText(const fs::path& pdf) { return shellOut("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null"); }

int MulDivPx(HDC dc, int points) { return points * GetDeviceCaps(dc, LOGPIXELSY) / 72; }

void drawPage(HDC dc, const char* line) {
  HFONT f = CreateFont(-MulDivPx(dc, 12), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = SelectObject(dc, f);
  TextOut(dc, 100, 100, line, static_cast<int>(std::strlen(line)));
  RECT r{100, 200, 600, 260};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  SelectObject(dc, old);
  DeleteObject(f);
}

}  // namespace


TEST(Printing, PdfPrinterWritesPagesThatReadBackAsText) {
  const fs::path pdf = scratch("report.pdf");
  HDC dc = CreateDC("WINSPOOL", "PDF", nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 300);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 2480);  // A4 at 300 dpi
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 3508);
  const std::string out = pdf.string();
  DOCINFO di{sizeof(DOCINFO), "Report", out.c_str(), nullptr, 0};
  ASSERT_GT(StartDoc(dc, &di), 0);
  ASSERT_GT(StartPage(dc), 0);
  drawPage(dc, "Decoupling capacitor summary");
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_GT(StartPage(dc), 0);
  drawPage(dc, "Second page \xE9t\xE9");
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_GT(EndDoc(dc), 0);
  EXPECT_EQ(plat::PrintJobOf(dc)->pagesPrinted(), 2);
  DeleteDC(dc);
  ASSERT_TRUE(fs::exists(pdf));
  const std::string text = runPdfToText(pdf);
  EXPECT_NE(text.find("Decoupling capacitor summary"), std::string::npos) << text;
  EXPECT_NE(text.find("Second page \xC3\xA9t\xC3\xA9"), std::string::npos) << text;  // UTF-8 in the PDF
  EXPECT_NE(text.find('\f'), std::string::npos);  // a page break
  // The shapes are on the page too: the grey bar, rendered back at 30 dpi.
  const fs::path png = scratch("report-page");
  const std::string cmd = "pdftoppm -r 30 -png -f 1 -l 1 -singlefile '" + pdf.string() + "' '" + png.string() + "'";
  ASSERT_EQ(plat::RunCommand(cmd), 0);
  auto page = plat::Surface::readPng(png.string() + ".png");
  ASSERT_NE(page, nullptr);
  const COLORREF bar = plat::colorFromPixel(page->pixel(30, 23));
  EXPECT_NEAR(GetRValue(bar), 128, 12);
  EXPECT_GT(GetRValue(plat::colorFromPixel(page->pixel(30, 60))), 245);  // blank paper (resampled)
}

// The PDF printer draws fills, lines and text as vectors and keeps images only for what has no vector form: a
// DIB and an inverted band here, each as an image of its own size, never the whole sheet. Rendered back at the
// printer's resolution the page shows what the PNG printer's raster shows.
void drawMixedPage(HDC dc) {
  HFONT f = CreateFont(-MulDivPx(dc, 14), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HGDIOBJ oldFont = SelectObject(dc, f);
  TextOut(dc, 200, 150, "Vector text", 11);
  HBRUSH red = CreateSolidBrush(RGB(220, 30, 30));
  RECT box{200, 400, 900, 700};
  FillRect(dc, &box, red);
  DeleteObject(red);
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 200));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  MoveToEx(dc, 200, 800, nullptr);
  LineTo(dc, 1400, 800);
  LineTo(dc, 1600, 1000);  // sloping: its pixels
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  // A 2 x 2 DIB stretched to 400 x 300: white, black / black, white.
  struct {
    BITMAPINFOHEADER h;
    DWORD bits[4];
  } dib{};
  dib.h.biSize = sizeof(BITMAPINFOHEADER);
  dib.h.biWidth = 2;
  dib.h.biHeight = -2;
  dib.h.biPlanes = 1;
  dib.h.biBitCount = 32;
  dib.bits[0] = dib.bits[3] = 0xFFFFFF;
  StretchDIBits(dc, 1000, 1200, 400, 300, 0, 0, 2, 2, dib.bits, reinterpret_cast<BITMAPINFO*>(&dib.h),
                DIB_RGB_COLORS, SRCCOPY);
  // The red box's right half inverted (to cyan), through a raster operation on what lies there.
  PatBlt(dc, 550, 400, 350, 300, DSTINVERT);
  SelectObject(dc, oldFont);
  DeleteObject(f);
}

// One page drawn by `draw` on the named printer, into `out`.
void printOnePage(const char* printer, const fs::path& out, void (*draw)(HDC)) {
  HDC dc = CreateDC(nullptr, printer, nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  const std::string file = out.string();
  DOCINFO di{sizeof(DOCINFO), "Page", file.c_str(), nullptr, 0};
  ASSERT_GT(StartDoc(dc, &di), 0);
  ASSERT_GT(StartPage(dc), 0);
  draw(dc);
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_GT(EndDoc(dc), 0);
  DeleteDC(dc);
}

// The first page of a PDF rendered at the printer's resolution (300 dpi), pixel for pixel with its PNG pages.
std::shared_ptr<plat::Surface> renderPdf(const fs::path& pdf) {
  const fs::path base = fs::path(pdf).replace_extension("");
  const std::string cmd = "pdftoppm -r 300 -png -singlefile '" + pdf.string() + "' '" + base.string() + "-pdf'";
  if (plat::RunCommand(cmd) != 0) return nullptr;
  return plat::Surface::readPng(base.string() + "-pdf.png");
}

TEST(Printing, PdfPagesAreVectorsWithImagesOnlyWhereRasterOperationsDrew) {
  const fs::path pdf = scratch("mixed.pdf"), pngBase = scratch("mixed");
  printOnePage("PDF", pdf, drawMixedPage);
  printOnePage("PNG", pngBase, drawMixedPage);
  EXPECT_NE(runPdfToText(pdf).find("Vector text"), std::string::npos);
  // "pdfimages -list": two header lines, then one line per image with its width and height.
  std::istringstream list(shellOut("pdfimages -list '" + pdf.string() + "' 2>/dev/null"));
  std::string line;
  std::vector<std::pair<int, int>> images;
  for (int n = 0; std::getline(list, line); ++n) {
    int page = 0, num = 0, w = 0, h = 0;
    char type[32];
    if (n >= 2 && std::sscanf(line.c_str(), "%d %d %31s %d %d", &page, &num, type, &w, &h) == 5) images.push_back({w, h});
  }
  ASSERT_EQ(images.size(), 2u) << "the DIB and the inverted band, and nothing else";
  for (const auto& [w, h] : images) {
    EXPECT_LE(w, 400);
    EXPECT_LE(h, 300);
  }
  EXPECT_LT(fs::file_size(pdf), 60u * 1024);  // no image of the sheet

  auto fromPdf = renderPdf(pdf);
  auto raster = plat::Surface::readPng(pngBase.string() + "-1.png");
  ASSERT_NE(fromPdf, nullptr);
  ASSERT_NE(raster, nullptr);
  const POINT samples[] = {{300, 500},   {800, 500},  {700, 800},  {1300, 801}, {1100, 1250}, {1300, 1250},
                           {1100, 1450}, {1300, 1450}, {2000, 2000}, {1500, 900}};
  for (const POINT& p : samples) {
    const COLORREF a = plat::colorFromPixel(fromPdf->pixel(p.x, p.y)), b = plat::colorFromPixel(raster->pixel(p.x, p.y));
    EXPECT_NEAR(GetRValue(a), GetRValue(b), 40) << p.x << "," << p.y;
    EXPECT_NEAR(GetGValue(a), GetGValue(b), 40) << p.x << "," << p.y;
    EXPECT_NEAR(GetBValue(a), GetBValue(b), 40) << p.x << "," << p.y;
  }
  EXPECT_EQ(plat::colorFromPixel(raster->pixel(800, 500)), RGB(35, 225, 225));  // inverted red
}

// Pieces of one colour go into the PDF as one path, the last piece of a run at the end: a dashed line's last
// dash and a lone one-pixel fill are on the PDF's page where the raster printer puts them.
void drawDashAndDot(HDC dc) {
  HPEN dash = CreatePen(PS_DASH, 1, RGB(0, 0, 0));
  HGDIOBJ old = SelectObject(dc, dash);
  SetBkMode(dc, TRANSPARENT);  // the gaps stay unpainted: every dash goes into one path
  MoveToEx(dc, 200, 300, nullptr);
  LineTo(dc, 531, 300);
  SelectObject(dc, old);
  DeleteObject(dash);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT dot{700, 300, 701, 301};
  FillRect(dc, &dot, red);
  DeleteObject(red);
}

TEST(Printing, PdfPagesDrawTheLastDashOfALineAndAOnePixelFill) {
  const fs::path pdf = scratch("dash.pdf"), pngBase = scratch("dash");
  printOnePage("PDF", pdf, drawDashAndDot);
  printOnePage("PNG", pngBase, drawDashAndDot);
  auto fromPdf = renderPdf(pdf);
  auto raster = plat::Surface::readPng(pngBase.string() + "-1.png");
  ASSERT_NE(fromPdf, nullptr);
  ASSERT_NE(raster, nullptr);
  auto ink = [](const std::shared_ptr<plat::Surface>& page, int x) {
    const COLORREF c = plat::colorFromPixel(page->pixel(x, 300));
    return GetGValue(c) < 128 ? (GetRValue(c) < 128 ? 'x' : 'r') : '.';
  };
  std::string printed, drawn;
  for (int x = 190; x < 710; ++x) {
    printed += ink(fromPdf, x);
    drawn += ink(raster, x);
  }
  ASSERT_NE(drawn.find_last_of('x'), std::string::npos);
  EXPECT_EQ(printed, drawn);
}

TEST(Printing, PngAndRecordingPrinters) {
  const fs::path base = scratch("pages");
  HDC png = CreateDC(nullptr, "PNG", nullptr, nullptr);
  const std::string b = base.string();
  DOCINFO di{sizeof(DOCINFO), "Pages", b.c_str(), nullptr, 0};
  ASSERT_GT(StartDoc(png, &di), 0);
  StartPage(png);
  drawPage(png, "one");
  EndPage(png);
  EndDoc(png);
  ASSERT_EQ(plat::PrintJobOf(png)->files().size(), 1u);
  auto page = plat::Surface::readPng(plat::PrintJobOf(png)->files()[0]);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->width(), 2480);
  EXPECT_EQ(plat::colorFromPixel(page->pixel(150, 230)), RGB(128, 128, 128));
  DeleteDC(png);

  HDC rec = CreateDC(nullptr, "Recording", nullptr, nullptr);
  DOCINFO rdi{sizeof(DOCINFO), "Recorded", nullptr, nullptr, 0};
  ASSERT_GT(StartDoc(rec, &rdi), 0);
  StartPage(rec);
  drawPage(rec, "recorded");
  EndPage(rec);
  EndDoc(rec);
  const auto& pages = plat::PrintJobOf(rec)->recordedPages();
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_EQ(pages[0].size(), 2u);
  EXPECT_EQ(pages[0][0].rfind("text 100,100 \"recorded\"", 0), 0u) << pages[0][0];
  EXPECT_EQ(pages[0][1], "fill 100,200,600,260 #808080");
  DeleteDC(rec);
}

// A PDF print that fails (a full disk) or is aborted leaves the old file; before, StartDoc cut it and AbortDoc
// removed it.
TEST(Printing, FailedOrAbortedPdfKeepsTheOldFile) {
  const std::string out = scratch("kept.pdf").string();
  std::ofstream(out) << "old";
  for (bool abort : {false, true}) {
    plat::FileFaultScope full(abort ? plat::FileFaultHook() : plat::FullDiskFaults());
    HDC dc = CreateDC(nullptr, "PDF", nullptr, nullptr);
    DOCINFO di{sizeof(DOCINFO), "Kept", out.c_str(), nullptr, 0};
    EXPECT_GT(StartDoc(dc, &di), 0);
    EXPECT_GT(StartPage(dc), 0);
    EXPECT_EQ(abort ? AbortDoc(dc) : EndDoc(dc), abort ? 1 : SP_ERROR);
    DeleteDC(dc);
    std::ifstream in(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old") << abort;
  }
}

// A PDF print refuses at StartDoc a name that holds no regular file (a FIFO is never replaced), judged on what the
// open's walk found there: a regular file exchanged in for the FIFO after the walk (here from the seam the save
// passes next) does not turn the refusal into a print that takes the name. The FIFO and the file stay as they are.
TEST(Printing, APdfRefusesANameHoldingNoRegularFileAsItsWalkFoundIt) {
  const fs::path dir = scratch("fifo");
  fs::create_directories(dir);
  const std::string out = (dir / "out.pdf").string(), other = (dir / "other").string();
  for (const bool exchanged : {false, true}) {
    SCOPED_TRACE(exchanged ? "a file exchanged in after the walk" : "a FIFO under the name");
    fs::remove(out);
    fs::remove(other);
    ASSERT_EQ(::mkfifo(out.c_str(), 0600), 0);
    std::ofstream(other) << "old";
    plat::FileFaultScope exchange([&](plat::FileStep step, const std::string&) {
      if (exchanged && step == plat::FileStep::CreateIn) {
        EXPECT_EQ(::renameat2(AT_FDCWD, out.c_str(), AT_FDCWD, other.c_str(), RENAME_EXCHANGE), 0);
      }
      return 0;
    });
    HDC dc = CreateDC(nullptr, "PDF", nullptr, nullptr);
    DOCINFO di{sizeof(DOCINFO), "Fifo", out.c_str(), nullptr, 0};
    EXPECT_EQ(StartDoc(dc, &di), SP_ERROR);
    EXPECT_EQ(GetLastError(), ERROR_BAD_FILE_TYPE);
    DeleteDC(dc);
    struct stat st {};
    ASSERT_EQ(::lstat((exchanged ? other : out).c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    std::ifstream in(exchanged ? out : other);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  }
  fs::remove_all(dir);
}

// Every printer that writes to a named file refuses a name that holds a FIFO, a socket or this user's link to a
// FIFO, with that reason (not EINVAL, which read as a bad argument): the PDF at StartDoc, a PNG page, whose name is
// only made then, at its EndPage (a page once took the FIFO's name). What is under the name stays.
TEST(Printing, EveryPrinterToANamedFileRefusesANameHoldingNoRegularFileWithThatReason) {
  const fs::path dir = scratch("kinds");
  fs::create_directories(dir);
  enum class Kind { Fifo, Socket, LinkToFifo };
  // The file under `name` of `kind`; false when it cannot be made.
  const auto make = [&](const fs::path& name, Kind kind) {
    if (kind == Kind::LinkToFifo) {
      fs::create_symlink(dir / "target-fifo", name);
      return ::mkfifo((dir / "target-fifo").c_str(), 0600) == 0;
    }
    if (kind == Kind::Fifo) return ::mkfifo(name.c_str(), 0600) == 0;
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", name.c_str());
    const bool bound = ::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(sock);
    return bound;
  };
  for (const char* printer : {"PDF", "PNG"}) {
    for (const Kind kind : {Kind::Fifo, Kind::Socket, Kind::LinkToFifo}) {
      SCOPED_TRACE(std::string(printer) + " over kind " + std::to_string(static_cast<int>(kind)));
      fs::remove_all(dir);
      fs::create_directories(dir);
      const bool pdf = std::string(printer) == "PDF";
      const fs::path base = dir / "out", taken = pdf ? base : fs::path(base.string() + "-1.png");
      ASSERT_TRUE(make(taken, kind));
      const auto before = fs::symlink_status(taken).type();
      HDC dc = CreateDC(nullptr, printer, nullptr, nullptr);
      DOCINFO di{sizeof(DOCINFO), "Kinds", base.c_str(), nullptr, 0};
      if (pdf) {
        EXPECT_EQ(StartDoc(dc, &di), SP_ERROR);
      } else {
        ASSERT_GT(StartDoc(dc, &di), 0);
        StartPage(dc);
        drawPage(dc, "a page");
        EXPECT_EQ(EndPage(dc), SP_ERROR);
        AbortDoc(dc);
      }
      EXPECT_EQ(GetLastError(), ERROR_BAD_FILE_TYPE);
      EXPECT_EQ(plat::PrintJobOf(dc)->lastSystemError(), ERROR_BAD_FILE_TYPE);
      DeleteDC(dc);
      EXPECT_EQ(fs::symlink_status(taken).type(), before);
      if (kind == Kind::LinkToFifo) {
        EXPECT_EQ(fs::status(taken).type(), fs::file_type::fifo);
      }
    }
  }
  fs::remove_all(dir);
}

// The PDF goes to a temporary file beside its name as it is made, page by page, not into memory: meanwhile the name
// keeps the old file; EndDoc gives the name to the whole document and leaves no temporary file.
TEST(Printing, APdfIsWrittenAsItIsMadeAndTakesItsNameAtTheEnd) {
  const fs::path dir = scratch("streamed");
  fs::create_directories(dir);
  const std::string out = (dir / "doc.pdf").string();
  std::ofstream(out) << "old";
  // The temporary file: another name in the folder, or a file of the folder the process holds open without a name
  // yet (made with O_TMPFILE: /proc names it "<folder>/#<inode> (deleted)").
  const std::string unnamed = (fs::canonical(dir) / "#").string();
  auto temporarySize = [&] {
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path() != out) return static_cast<long>(entry.file_size());
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
      std::error_code ec;
      struct stat st {};
      if (fs::read_symlink(entry.path(), ec).string().rfind(unnamed, 0) == 0 && ::stat(entry.path().c_str(), &st) == 0)
        return static_cast<long>(st.st_size);
    }
    return -1L;
  };
  HDC dc = CreateDC(nullptr, "PDF", nullptr, nullptr);
  DOCINFO di{sizeof(DOCINFO), "Streamed", out.c_str(), nullptr, 0};
  ASSERT_GT(StartDoc(dc, &di), 0);
  long written = 0;
  for (const char* text : {"first page", "second page", "third page"}) {
    StartPage(dc);
    drawPage(dc, text);
    EndPage(dc);
    EXPECT_GT(temporarySize(), written) << text;
    written = temporarySize();
  }
  EXPECT_EQ(fs::file_size(out), 3u);
  ASSERT_GT(EndDoc(dc), 0);
  DeleteDC(dc);
  EXPECT_EQ(temporarySize(), -1);
  EXPECT_NE(runPdfToText(out).find("third page"), std::string::npos);
  fs::remove_all(dir);
}

TEST(Printing, DocumentCallsOutOfOrderFail) {
  HDC dc = CreateDC(nullptr, "Recording", nullptr, nullptr);
  EXPECT_EQ(StartPage(dc), SP_ERROR);
  EXPECT_EQ(EndDoc(dc), SP_ERROR);
  DOCINFO di{sizeof(DOCINFO), "x", nullptr, nullptr, 0};
  EXPECT_GT(StartDoc(dc, &di), 0);
  EXPECT_EQ(StartDoc(dc, &di), SP_ERROR);
  EXPECT_EQ(EndPage(dc), SP_ERROR);
  EXPECT_GT(AbortDoc(dc), 0);
  DeleteDC(dc);
  // A PDF that cannot be written fails at StartDoc.
  HDC pdf = CreateDC(nullptr, "PDF", nullptr, nullptr);
  DOCINFO bad{sizeof(DOCINFO), "x", "/nonexistent-dir/x.pdf", nullptr, 0};
  EXPECT_EQ(StartDoc(pdf, &bad), SP_ERROR);
  DeleteDC(pdf);
  EXPECT_EQ(CreateDC(nullptr, "No Such Printer", nullptr, nullptr), nullptr);
  // Screen and memory DCs are not printers.
  gditest::Canvas c(2, 2);
  EXPECT_EQ(StartDoc(c.dc, &di), SP_ERROR);
}

TEST(PrintSettings, DevModeDrivesThePageAndIsValidated) {
  DEVMODE dm = plat::MakeDevMode("PDF");
  EXPECT_EQ(dm.dmSize, 156);
  EXPECT_FALSE(plat::ValidateDevMode(&dm, sizeof dm));
  dm.dmOrientation = DMORIENT_LANDSCAPE;
  dm.dmPaperSize = DMPAPER_LETTER;
  dm.dmPrintQuality = 150;
  HDC dc = CreateDC(nullptr, "PDF", nullptr, &dm);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 150);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1650);  // 11 inches across
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 1275);
  DeleteDC(dc);
  DEVMODE bad = plat::MakeDevMode("PDF");
  bad.dmOrientation = 7;
  EXPECT_TRUE(plat::ValidateDevMode(&bad, sizeof bad));
  EXPECT_EQ(CreateDC(nullptr, "PDF", nullptr, &bad), nullptr);
  DEVMODE stranger = plat::MakeDevMode("PDF");
  std::strcpy(reinterpret_cast<char*>(stranger.dmDeviceName), "Plotter 9000");
  EXPECT_TRUE(plat::ValidateDevMode(&stranger, sizeof stranger));
  EXPECT_TRUE(plat::ValidateDevMode(&dm, 40));                    // shorter than its header says
  DEVMODE huge = plat::MakeDevMode("PDF");
  huge.dmDriverExtra = 5000;
  EXPECT_TRUE(plat::ValidateDevMode(&huge, sizeof huge));         // driver data past the block
}

TEST(PrintSettings, PagesWhoseImageCannotBeHeldAreRefusedBeforeADcIsMade) {
  // A custom sheet of 3 m at 300 dpi is 35,433 pixels long: wider than an image can be.
  DEVMODE tall = plat::MakeDevMode("Recording");
  tall.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
  tall.dmPaperLength = 30000;
  tall.dmPaperWidth = 2100;
  EXPECT_TRUE(plat::ValidateDevMode(&tall, sizeof tall));
  EXPECT_EQ(CreateDC(nullptr, "Recording", nullptr, &tall), nullptr);
  // Just under the side limit, but 2.2 GB of image: A4 at 2,400 dpi.
  DEVMODE fine = plat::MakeDevMode("Recording");
  fine.dmPrintQuality = 2400;
  fine.dmYResolution = 2400;
  EXPECT_TRUE(plat::ValidateDevMode(&fine, sizeof fine));
  EXPECT_EQ(CreateDC(nullptr, "Recording", nullptr, &fine), nullptr);
  // A4 at 1,200 dpi (557 MB) is the finest A4 page accepted; a smaller custom sheet at 2,400 dpi is fine.
  fine.dmPrintQuality = 1200;
  fine.dmYResolution = 1200;
  EXPECT_FALSE(plat::ValidateDevMode(&fine, sizeof fine));
  DEVMODE card = plat::MakeDevMode("Recording");
  card.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
  card.dmPaperLength = 1000;
  card.dmPaperWidth = 500;
  card.dmPrintQuality = 2400;
  EXPECT_FALSE(plat::ValidateDevMode(&card, sizeof card));
  HDC dc = CreateDC(nullptr, "Recording", nullptr, &card);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4724);  // 50 mm at 2,400 dpi
  DeleteDC(dc);
}

TEST(PrintSettings, DevNamesRoundTripAndAfxCreateDcFromGlobalBlocks) {
  const auto packed = plat::PackDevNames({"WINSPOOL", "Recording", "FILE:", true});
  auto back = plat::UnpackDevNames(packed.data(), packed.size());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->device, "Recording");
  EXPECT_EQ(back->output, "FILE:");
  EXPECT_TRUE(back->isDefault);
  // Offsets pointing outside or at unterminated text are refused.
  std::vector<BYTE> broken = packed;
  broken[2] = 200;
  EXPECT_FALSE(plat::UnpackDevNames(broken.data(), broken.size()));
  EXPECT_FALSE(plat::UnpackDevNames(packed.data(), packed.size() - 1));

  HGLOBAL names = GlobalAlloc(GHND, packed.size());
  std::memcpy(GlobalLock(names), packed.data(), packed.size());
  GlobalUnlock(names);
  DEVMODE dm = plat::MakeDevMode("Recording");
  dm.dmPrintQuality = 600;
  HGLOBAL mode = GlobalAlloc(GHND, sizeof dm);
  std::memcpy(GlobalLock(mode), &dm, sizeof dm);
  GlobalUnlock(mode);
  HDC dc = AfxCreateDC(names, mode);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
  DeleteDC(dc);
  // The blocks are read, never changed.
  EXPECT_EQ(std::memcmp(GlobalLock(mode), &dm, sizeof dm), 0);
  GlobalUnlock(mode);
  HGLOBAL defNames = nullptr, defMode = nullptr;
  ASSERT_TRUE(plat::CreatePrinterBlocks("PNG", &defNames, &defMode));
  EXPECT_EQ(GlobalSize(defMode), sizeof(DEVMODE));
  HDC fromDefaults = AfxCreateDC(defNames, defMode);
  ASSERT_NE(fromDefaults, nullptr);
  EXPECT_EQ(plat::PrintJobOf(fromDefaults)->setup().deviceName, "PNG");
  DeleteDC(fromDefaults);
  GlobalFree(defNames);
  GlobalFree(defMode);
  EXPECT_FALSE(plat::CreatePrinterBlocks("Nowhere", &defNames, &defMode));
  EXPECT_EQ(defNames, nullptr);
  HDC byDefault = AfxCreateDC(nullptr, nullptr);
  ASSERT_NE(byDefault, nullptr);
  EXPECT_EQ(GetDeviceCaps(byDefault, LOGPIXELSX), 300);
  DeleteDC(byDefault);
  GlobalFree(names);
  GlobalFree(mode);
}

// A DEVNAMES output such as "PDF:" is the printer's port: the document goes to its own file, never to a file
// named after the port in the current directory.
TEST(Printing, APortNameIsNoOutputFile) {
  HDC dc = CreateDC("WINSPOOL", "PDF", "PDF:", nullptr);
  ASSERT_NE(dc, nullptr);
  // A document name of this process's own: the default output lies in the shared temporary folder.
  const std::string doc = "Port test " + std::to_string(::getpid());
  DOCINFO di{sizeof(DOCINFO), doc.c_str(), nullptr, nullptr, 0};
  ASSERT_GT(StartDoc(dc, &di), 0);
  StartPage(dc);
  EndPage(dc);
  EndDoc(dc);
  const std::string out = plat::PrintJobOf(dc)->lastOutput();
  EXPECT_NE(out, "PDF:");
  EXPECT_FALSE(fs::exists("PDF:"));
  EXPECT_TRUE(fs::exists(out));
  fs::remove(out);
  DeleteDC(dc);
}

// The preview DC: the printer's paper at another resolution, drawing on its own raster.
TEST(Printing, APreviewDcHasThePrintersPaperAtItsOwnResolution) {
  HDC printer = CreateDC(nullptr, "PDF", nullptr, nullptr);
  HDC preview = plat::CreatePreviewDC(printer, 96);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(GetDeviceCaps(preview, LOGPIXELSY), 96);
  EXPECT_NEAR(GetDeviceCaps(preview, HORZRES), GetDeviceCaps(printer, HORZRES) * 96 / 300, 1);
  EXPECT_NEAR(GetDeviceCaps(preview, VERTRES), GetDeviceCaps(printer, VERTRES) * 96 / 300, 1);
  EXPECT_EQ(plat::CreatePreviewDC(printer, 0), nullptr);
  EXPECT_EQ(plat::CreatePreviewDC(nullptr, 96), nullptr);
  // Drawn text lands on the raster (no document is started).
  drawPage(preview, "preview");
  HDC screen = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(preview, 200, 100);
  HGDIOBJ old = SelectObject(screen, bmp);
  RECT dest{0, 0, 200, 100};
  EXPECT_TRUE(plat::DrawScaledPage(screen, dest, preview));
  SelectObject(screen, old);
  DeleteObject(bmp);
  DeleteDC(screen);
  DeleteDC(preview);
  DeleteDC(printer);
}

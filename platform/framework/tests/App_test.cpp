// The application object's loop (idle work, pre-translation, quit), frames, views and documents, status
// texts, and the application's printer set-up.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/base/GlobalMemory.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/SystemError.h"
#include "platform/base/tests/TempDir.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CPrintInfo.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/WindowMap.h"
#include "platform/framework/tests/FrameworkTest.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/PrintJob.h"
#include "platform/gdi/Printers.h"
#include "platform/window/InputRouter.h"

namespace plat::test {
namespace {

std::vector<std::string> g_trace;

void RegisterPlain() {
  WNDCLASS wc{};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "FwApp";
  RegisterClass(&wc);
}

class CTraceView : public CView {
 public:
  void OnDraw(CDC*) override { g_trace.push_back("draw"); }
  void OnUpdate(CView*, LPARAM hint, CObject*) override { g_trace.push_back("update " + std::to_string(hint)); }
  void OnActivateView(BOOL on, CView*, CView*) override { g_trace.push_back(on ? "activate" : "deactivate"); }
  afx_msg void OnKeyDown(UINT key, UINT, UINT) { g_trace.push_back("view key " + std::to_string(key)); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTraceView, CView)
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class CTestApp : public CWinApp {
 public:
  CTestApp() : CWinApp("Trace App") {}
  CFrameWnd* frame = nullptr;
  CTraceView* view = nullptr;
  std::vector<LONG> idleCounts;

  BOOL InitInstance() override {
    CWinApp::InitInstance();
    frame = new CFrameWnd;
    frame->Create("FwApp", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{10, 10, 300, 200});
    view = new CTraceView;
    view->Create("FwApp", "view", WS_VISIBLE, CRect(0, 0, 100, 100), frame, 1);
    frame->SetActiveView(view);
    m_pMainWnd = frame;
    return TRUE;
  }
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F5) {
      g_trace.push_back("app took F5");
      return TRUE;
    }
    return CWinApp::PreTranslateMessage(msg);
  }
  BOOL OnIdle(LONG count) override {
    idleCounts.push_back(count);
    return CWinApp::OnIdle(count);
  }
  int ExitInstance() override {
    g_trace.push_back("exit");
    delete view;
    delete frame;
    return CWinApp::ExitInstance();
  }
};

class AppTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterPlain();
    g_trace.clear();
  }
};

TEST_F(AppTest, RunPumpsPreTranslatesIdlesAndQuits) {
  CTestApp app;
  ASSERT_EQ(AfxGetApp(), &app);
  EXPECT_EQ(std::string(AfxGetAppName()), "Trace App");
  ASSERT_TRUE(app.InitInstance());
  EXPECT_EQ(AfxGetMainWnd(), app.frame);
  app.view->SetFocus();
  automation
      .Then([&] {
        CWnd::FromHandle(GetDesktopWindow());  // a temporary wrapper, freed at the next idle time
        InputRouter::Instance().KeyPress(VK_F5);
        InputRouter::Instance().KeyPress(VK_F6);
      })
      .Then([&] {
        EXPECT_EQ(WindowMap::Instance().TemporaryCount(), 0u);
        PostQuitMessage(3);
      });
  EXPECT_EQ(app.Run(), 3);
  EXPECT_EQ(g_trace, (std::vector<std::string>{"activate", "draw", "app took F5", "view key 117", "exit"}));
  ASSERT_FALSE(app.idleCounts.empty());
  EXPECT_EQ(app.idleCounts.front(), 0);
}

TEST_F(AppTest, DocumentsUpdateTheirViewsAndFramesCarryStatusTexts) {
  CFrameWnd frame;
  ASSERT_TRUE(frame.Create("FwApp", "Frame", WS_OVERLAPPEDWINDOW, RECT{0, 0, 200, 100}));
  CTraceView a, b;
  ASSERT_TRUE(a.Create("FwApp", "a", WS_VISIBLE, CRect(0, 0, 10, 10), &frame, 1));
  ASSERT_TRUE(b.Create("FwApp", "b", WS_VISIBLE, CRect(0, 10, 10, 20), &frame, 2));
  CWnd inner;
  ASSERT_TRUE(inner.Create("FwApp", "inner", WS_VISIBLE, CRect(0, 0, 5, 5), &a, 3));
  EXPECT_EQ(inner.GetParentFrame(), &frame);
  EXPECT_EQ(frame.GetParentFrame(), nullptr);
  {
    CDocument doc;
    doc.AddView(&a);
    doc.AddView(&b);
    EXPECT_EQ(a.GetDocument(), &doc);
    frame.SetActiveView(&a);
    EXPECT_EQ(frame.GetActiveDocument(), &doc);
    g_trace.clear();
    doc.UpdateAllViews(&a, 7);  // the sender is not told
    frame.SetActiveView(&b);
    EXPECT_EQ(g_trace, (std::vector<std::string>{"update 7", "deactivate", "activate"}));
  }
  EXPECT_EQ(b.GetDocument(), nullptr);  // a document going away lets go of its views

  std::vector<std::string> status;
  SetStatusSink([&](const std::string& text) { status.push_back(text); });
  frame.SetMessageText("Ready");
  a.SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>("elsewhere"));  // only frames show them
  SetStatusSink(nullptr);
  EXPECT_EQ(status, std::vector<std::string>{"Ready"});
}

TEST_F(AppTest, AModuleScopeMakesItsOwnApplicationCurrent) {
  CWinApp host("Host");
  CWinApp module;  // no name: the module's title string names it
  ResourceTable::AddString(AfxGetInstanceHandle(), AFX_IDS_APP_TITLE, "Brimstead");
  EXPECT_EQ(AfxGetApp(), &host);
  automation.Reply(SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, /*repeat=*/true);
  {
    AppScope scope(&module);
    EXPECT_EQ(AfxGetApp(), &module);
    AfxMessageBox("Please enter a number.", MB_ICONSTOP);
  }
  EXPECT_EQ(AfxGetApp(), &host);
  AfxMessageBox("Host text");
  EXPECT_EQ(ShownLog()[0].request.caption, "Brimstead");
  EXPECT_EQ(ShownLog()[1].request.caption, "Host");
  ResourceTable::RemoveModule(AfxGetInstanceHandle());
}

TEST_F(AppTest, PrinterSetUpIsKeptByTheApplication) {
  CWinApp app("Printing");
  PRINTDLG pd{};
  ASSERT_TRUE(app.GetPrinterDeviceDefaults(&pd));
  EXPECT_EQ(pd.hDevNames, app.m_hDevNames);
  automation.Reply(SystemUiKind::PrintSetup, {IDOK, "Recording", 0});
  {
    CPrintDialog setup(TRUE);
    EXPECT_EQ(app.DoPrintDialog(&setup), IDOK);
  }
  CPrintDialog later(FALSE);
  app.GetPrinterDeviceDefaults(&later.m_pd);
  EXPECT_EQ(later.GetDeviceName(), "Recording");  // the choice outlives the dialog that made it
}

class CPagedView : public CView {
 public:
  std::vector<std::string> log;
  UINT pages = 3;
  void OnDraw(CDC*) override {}
  BOOL OnPreparePrinting(CPrintInfo* info) override {
    info->SetMaxPage(pages);
    return DoPreparePrinting(info);
  }
  void OnBeginPrinting(CDC* dc, CPrintInfo*) override { log.push_back(dc->m_bPrinting ? "begin printing" : "begin"); }
  void OnPrint(CDC* dc, CPrintInfo* info) override {
    log.push_back("page " + std::to_string(info->m_nCurPage) + (PrintJobOf(dc->m_hDC) ? " on a printer" : ""));
    EXPECT_EQ(info->m_rectDraw.Width(), dc->GetDeviceCaps(HORZRES));
  }
  void OnEndPrinting(CDC* dc, CPrintInfo*) override {
    log.push_back("end");
    // A document without a file name is a new file under the temporary folder each time.
    if (const PrintJob* job = PrintJobOf(dc->m_hDC))
      for (const std::string& file : job->files()) std::filesystem::remove(file);
  }
  void PrintDirect() {
    m_bDirectPrint = TRUE;
    OnFilePrint();
  }
};

TEST_F(AppTest, PrintLoopRunsEveryPageOnThePrinterTheDialogChose) {
  CWinApp app("Printing");
  CPagedView view;
  ASSERT_TRUE(view.CreateEx(0, "FwApp", "Board", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  automation.Reply(SystemUiKind::Print, {IDOK, "Recording", 0});
  view.SendMessage(WM_COMMAND, ID_FILE_PRINT);
  EXPECT_EQ(view.log, (std::vector<std::string>{"begin printing", "page 1 on a printer", "page 2 on a printer",
                                                "page 3 on a printer", "end"}));
  EXPECT_EQ(ShownLog().back().request.kind, SystemUiKind::Print);

  view.log.clear();
  automation.Reply(SystemUiKind::Print, {IDCANCEL, {}, 0});
  view.SendMessage(WM_COMMAND, ID_FILE_PRINT);  // cancelled: nothing printed
  EXPECT_TRUE(view.log.empty());

  view.pages = 0xFFFF;  // an unknown length prints one page, without asking when printing directly
  ClearShownLog();
  view.PrintDirect();
  EXPECT_EQ(view.log, (std::vector<std::string>{"begin printing", "page 1 on a printer", "end"}));
  EXPECT_TRUE(ShownLog().empty());
}

// A print whose file cannot be made or written says so, naming the file and the reason, and answers FALSE; the old
// file stays. A write past the file-size limit (a full disk as a user meets it) is such a failure, not the end of
// the program.
TEST_F(AppTest, APrintThatFailsSaysWhyAndAnswersFalse) {
  const TempDir temp("brim-fw-print");
  const std::filesystem::path& dir = temp.Path();
  std::filesystem::create_directories(dir / "folder.pdf");
  const std::string kept = (dir / "kept.pdf").string();
  std::ofstream(kept) << "old";
  ::mkfifo((dir / "fifo.pdf").c_str(), 0600);
  std::filesystem::create_symlink("/dev/null", dir / "device.pdf");
  struct rlimit unlimited {};
  ::getrlimit(RLIMIT_FSIZE, &unlimited);
  const struct {
    std::string output;
    rlim_t sizeLimit;
    const char* reason;
  } cases[] = {{(dir / "folder.pdf").string(), unlimited.rlim_cur, "The path is a folder, not a file."},
               {kept + "/", unlimited.rlim_cur, "Not a directory."},  // a name that asks for a folder: the file stays
               {kept, 64, "File too large."},
               // A FIFO or a device (here the user's link to one) is never written over: the reason is the one the
               // platform's other saves give, not an invalid argument.
               {(dir / "fifo.pdf").string(), unlimited.rlim_cur,
                "The file is not a regular file (a FIFO, a device or a socket)."},
               {(dir / "device.pdf").string(), unlimited.rlim_cur,
                "The file is not a regular file (a FIFO, a device or a socket)."}};
  for (const auto& c : cases) {
    CPrintSteps steps;
    steps.prepare = [](CPrintInfo* info) {
      info->m_pPD->m_pd.hDC = ::CreateDC(nullptr, "PDF", nullptr, nullptr);
      return info->m_pPD->m_pd.hDC != nullptr;
    };
    steps.print = [](CDC* dc, CPrintInfo*) { dc->TextOut(100, 100, CString("a page of text")); };
    steps.title = "Report";
    steps.output = c.output.c_str();
    CPrintInfo info;
    info.SetMaxPage(2);
    ClearShownLog();
    automation.Reply(SystemUiKind::MessageBox, {IDOK, {}, 0});
    struct rlimit limit = unlimited;
    limit.rlim_cur = c.sizeLimit;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const BOOL printed = AfxRunPrintLoop(steps, info);
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    EXPECT_FALSE(printed) << c.output;
    ASSERT_EQ(ShownLog().size(), 1u) << c.output;
    EXPECT_EQ(ShownLog()[0].request.text, "\"Report\" could not be printed to \"" + c.output + "\": " + c.reason);
  }
  std::ifstream in(kept);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
}

// A print that fails where the printer keeps no system error says why all the same, never "Success.": a page
// image that cannot be made, a printer call out of turn (a step that starts the document or ends the page
// itself), and a prepare step that hands over a DC that is no printer's, where nothing is begun.
TEST_F(AppTest, APrintThatFailsWithoutASystemErrorSaysWhy) {
  const TempDir temp("brim-fw-print");
  const std::string out = temp / "report.pdf";
  const DOCINFO doc{sizeof(DOCINFO), "Report", out.c_str(), nullptr, 0};
  const std::string failed = "\"Report\" could not be printed to \"" + out + "\": ";
  const struct {
    std::function<void(CDC*)> begin, print;
    std::string message;
    bool printer = true;
  } cases[] = {
      {[](CDC*) { FailNextPageImages(1); }, {}, failed + "Cannot allocate memory."},
      {[&](CDC* dc) { ::StartDoc(dc->m_hDC, &doc); }, {}, failed + "The printer could not start the document."},
      {{}, [](CDC* dc) { ::EndPage(dc->m_hDC); }, failed + "The printer could not finish page 1."},
      {{}, {}, "\"Report\" could not be printed: the device it was given is not a printer.", false},
  };
  for (const auto& c : cases) {
    int stepsRun = 0;
    CPrintSteps job;
    job.prepare = [&](CPrintInfo* info) {
      info->m_pPD->m_pd.hDC = c.printer ? ::CreateDC(nullptr, "PDF", nullptr, nullptr) : ::CreateCompatibleDC(nullptr);
      return TRUE;
    };
    job.begin = [&](CDC* dc, CPrintInfo*) { ++stepsRun, c.begin ? c.begin(dc) : void(); };
    job.print = [&](CDC* dc, CPrintInfo*) { c.print ? c.print(dc) : void(dc->TextOut(9, 9, CString("text"))); };
    job.end = [&](CDC*, CPrintInfo*) { ++stepsRun; };
    job.title = "Report";
    job.output = out.c_str();
    CPrintInfo info;
    info.SetMaxPage(2);
    ClearShownLog();
    automation.Reply(SystemUiKind::MessageBox, {IDOK, {}, 0});
    EXPECT_FALSE(AfxRunPrintLoop(job, info)) << c.message;
    ASSERT_EQ(ShownLog().size(), 1u) << c.message;
    EXPECT_EQ(ShownLog()[0].request.text, c.message);
    EXPECT_EQ(stepsRun, c.printer ? 2 : 0) << c.message;  // a job begun ends; none begins on no printer
    EXPECT_FALSE(std::filesystem::exists(out)) << c.message;
  }
  // A printer whose DC cannot be made (no memory for its page image), printed or previewed, says so: both read
  // as a cancelled dialog.
  CPrintSteps job;
  job.title = "Report";
  for (const bool preview : {false, true}) {
    CPrintInfo info;
    ClearShownLog();
    automation.Reply(SystemUiKind::MessageBox, {IDOK, {}, 0});
    FailNextPageImages(1);
    EXPECT_FALSE(preview ? CPrintPreviewWnd::Open(job, nullptr) != nullptr : AfxRunPrintLoop(job, info));
    ASSERT_EQ(ShownLog().size(), 1u);
    EXPECT_EQ(ShownLog()[0].request.text, "\"Report\" could not be printed: the printer \"PDF\" could not be made ready: " +
                                              SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
  }
  EXPECT_EQ(LivePrinterDCs(), 0u);
}

TEST_F(AppTest, PrintPreviewShowsTheViewsPagesWithoutAskingAndEndsWithItsWindow) {
  CWinApp app("Printing");
  CPagedView view;
  ASSERT_TRUE(view.CreateEx(0, "FwApp", "Board", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  ClearShownLog();
  view.SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  EXPECT_TRUE(ShownLog().empty());  // no print dialog for a preview
  HWND preview = FindWindow(nullptr, "Board - Print Preview");
  ASSERT_NE(preview, nullptr);
  // Begun on the printer, page 1 drawn on the preview's page (a printer DC of its own that starts no document).
  EXPECT_EQ(view.log, (std::vector<std::string>{"begin printing", "page 1 on a printer"}));
  SendMessage(preview, WM_COMMAND, AFX_ID_PREVIEW_NEXT, 0);
  SendMessage(preview, WM_COMMAND, AFX_ID_PREVIEW_NEXT, 0);
  SendMessage(preview, WM_COMMAND, AFX_ID_PREVIEW_NEXT, 0);  // past the last page: stays
  EXPECT_EQ(view.log, (std::vector<std::string>{"begin printing", "page 1 on a printer", "page 2 on a printer",
                                                "page 3 on a printer"}));
  SendMessage(preview, WM_COMMAND, AFX_ID_PREVIEW_PREV, 0);
  EXPECT_EQ(view.log.back(), "page 2 on a printer");
  SendMessage(preview, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(preview));
  EXPECT_EQ(view.log.back(), "end");
}

}  // namespace
}  // namespace plat::test

// The main window's controller driven through its handlers, with a job
// whose reports the test decides and stand-ins for Explorer, the save
// dialog and the debugger, so that every state and every call out can be
// checked without a real install or a user at the dialog.
#include "app/MainWindow.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../i18n/TempFolder.h"
#include "skin/ImageButton.h"
#include "skin/ImageProgress.h"
#include "ui/Button.h"
#include "ui/Label.h"

namespace {

using i18n::testing_support::TempFolder;

// Runs steps from the message loop, one message each, so that the window's
// wait for its job sees each step's effect before the next one runs.
class Script {
 public:
  Script() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Script::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BrkControllerTestScript";
    RegisterClassW(&wc);
    window_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Script() { DestroyWindow(window_); }

  Script& Then(std::function<void()> step) {
    steps_.push_back(std::move(step));
    if (steps_.size() == 1) PostMessageW(window_, WM_APP, 0, 0);
    return *this;
  }
  bool Done() const { return steps_.empty(); }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Script*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_APP || self == nullptr)
      return DefWindowProcW(window, message, wParam, lParam);
    // The next step is queued first: a step may wait in a loop of its own,
    // and the steps after it run inside that loop.
    std::function<void()> step = std::move(self->steps_.front());
    self->steps_.pop_front();
    if (!self->steps_.empty()) PostMessageW(window, WM_APP, 0, 0);
    step();
    return 0;
  }
  HWND window_ = nullptr;
  std::deque<std::function<void()>> steps_;
};

// What the window's jobs went through.
struct JobLog {
  int made = 0;
  int destroyed = 0;
  int stopped = 0;
  std::vector<app::TArchiveJobSettings> settings;
};

// A job that does nothing by itself: the test makes it report and finish.
// Destroyed after a stop, it reports as the real one does: a failure.
class TestJob : public app::TArchiveJob {
 public:
  TestJob(app::TArchiveJobSettings settings, JobLog& log, TestJob*& current)
      : settings_(std::move(settings)), log_(log), current_(current) {
    current_ = this;
  }
  ~TestJob() override {
    if (stop_ && !finished_ && settings_.onFinish) settings_.onFinish({archive::jrStopped});
    ++log_.destroyed;
    if (current_ == this) current_ = nullptr;
  }
  void Start() override { started_ = true; }
  bool IsFinished() const override { return finished_; }
  void SetStop(bool stop) override {
    stop_ = stop;
    ++log_.stopped;
  }

  void Progress(std::uint16_t percent) { settings_.onProgress(percent, L"C:\\Install\\a.txt"); }
  void Finish(bool success) {
    Finish(success ? archive::TJobResult{} : archive::TJobResult{archive::jrInternal});
  }
  void Finish(const archive::TJobResult& result) {
    settings_.onFinish(result);
    finished_ = true;
  }
  bool Started() const { return started_; }

 private:
  app::TArchiveJobSettings settings_;
  JobLog& log_;
  TestJob*& current_;
  bool started_ = false;
  bool stop_ = false;
  bool finished_ = false;
};

struct ExplorerCall {
  HWND owner;
  std::wstring verb, file, parameters;
  bool noFolder;
  int show;
};

class Controller : public ::testing::Test {
 protected:
  Controller() {
    app::TMainWindowServices s;
    s.newJob = [this](app::TArchiveJobSettings settings) -> std::unique_ptr<app::TArchiveJob> {
      ++jobs.made;
      jobs.settings.push_back(settings);
      return std::make_unique<TestJob>(std::move(settings), jobs, job);
    };
    s.installLocation = [this] { return installLocation; };
    s.desktopFolder = [this] { return desktop; };
    s.roamingAppDataFolder = [this] { return roaming.Path(); };
    s.languageFolder = [this] { return languageFolder; };
    s.shellExecute = [this](HWND owner, const wchar_t* verb, const wchar_t* file,
                            const wchar_t* parameters, const wchar_t* folder, int show) {
      explorer.push_back({owner, verb, file, parameters, folder == nullptr, show});
      return reinterpret_cast<HINSTANCE>(33);
    };
    s.getSaveFileName = [this](OPENFILENAMEW& dialog) { return saveDialog(dialog); };
    s.debugLine = [this](const std::wstring& line) { debugLines.push_back(line); };
    services = std::move(s);
  }

  // The window as the tool makes it: from its layout, then created.
  TfrmBRKPortable& Window() {
    if (!form) {
      form = std::make_unique<TfrmBRKPortable>(services);
      EXPECT_TRUE(form->CreateHandle());
    }
    return *form;
  }
  template <typename T>
  T& Part(const wchar_t* name) {
    return *dynamic_cast<T*>(Window().FindComponent(name));
  }
  skin::TImageButton& Gen() { return Part<skin::TImageButton>(L"imgBtnGen"); }
  skin::TImageButton& Link() { return Part<skin::TImageButton>(L"btnSelectPath"); }
  skin::TImageProgress& Bar() { return Part<skin::TImageProgress>(L"imgProgress"); }
  ui::TLabel& Info() { return Part<ui::TLabel>(L"lbl_info"); }
  ui::TLabel& Path() { return Part<ui::TLabel>(L"lbl_path"); }
  ui::TButton& Cancel() { return Part<ui::TButton>(L"btnCancel"); }

  void ClickGenerate() { Window().imgBtnGenClick(Gen()); }

  TempFolder roaming;
  std::wstring desktop = L"C:\\Users\\Test User\\Desktop";
  std::wstring installLocation = L"C:\\Program Files (x86)\\Brightkeep 8\\";
  std::wstring languageFolder = L"C:\\no such folder\\ToolBox_Language";
  std::function<BOOL(OPENFILENAMEW&)> saveDialog = [](OPENFILENAMEW&) { return FALSE; };
  std::vector<ExplorerCall> explorer;
  std::vector<std::wstring> debugLines;
  JobLog jobs;
  TestJob* job = nullptr;
  app::TMainWindowServices services;
  std::unique_ptr<TfrmBRKPortable> form;
  Script script;
};

constexpr ui::TColor kPale = 0x00F1E7D4;
constexpr ui::TColor kDarkRed = 0x00000066;
const std::wstring kLayoutInfo =
    L"By clicking the Generate button, a portable version for Brightkeep will be created for "
    L"you. It will be saved to your Desktop by default. Or ";

TEST_F(Controller, CreationWritesItsDebugLinesInOrderAndProposesTheDesktop) {
  CreateDirectoryW((roaming.Path() + L"\\Halvane").c_str(), nullptr);
  CreateDirectoryW((roaming.Path() + L"\\Halvane\\Brightkeep V8").c_str(), nullptr);
  roaming.WriteBytes(L"Halvane\\Brightkeep V8\\Main.ini", "[Main]\r\nLanguage=German\r\n");
  Window();
  const std::vector<std::wstring> expected = {L"ClientWidth: 463", L"ClientHeight: 303",
                                              L"ClientWidth: 463", L"ClientHeight: 303",
                                              L"Result: German"};
  EXPECT_EQ(debugLines, expected);
  EXPECT_EQ(Path().Caption(), desktop + L"\\BRK_Portable.zip");
  EXPECT_EQ(Window().SaveDir(), desktop + L"\\");
  // No language folder: the layout's own texts.
  EXPECT_EQ(Gen().Caption(), L"Generate");
  EXPECT_EQ(Info().Caption(), kLayoutInfo);
  EXPECT_EQ(Gen().Tag(), gsIdle);

  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(Window().Handle(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the corners are rounded";
  EXPECT_TRUE(PtInRegion(region, 231, 151));
  EXPECT_TRUE(PtInRegion(region, 460, 150));
  EXPECT_FALSE(PtInRegion(region, 463, 150));
  DeleteObject(region);
}

TEST_F(Controller, TheLanguageOfTheSettingsFileTranslatesTheWindowAndItsMessages) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe = self;
  languageFolder = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"ToolBox_Language";
  CreateDirectoryW((roaming.Path() + L"\\Halvane").c_str(), nullptr);
  CreateDirectoryW((roaming.Path() + L"\\Halvane\\Brightkeep V8").c_str(), nullptr);
  roaming.WriteBytes(L"Halvane\\Brightkeep V8\\Main.ini", "[Main]\r\nLanguage=German\r\n");
  EXPECT_EQ(Gen().Caption(), L"Erstellen");
  script.Then([&] { EXPECT_EQ(Gen().Caption(), L"Stopp"); }).Then([&] { job->Finish(false); });
  ClickGenerate();
  EXPECT_EQ(Gen().Caption(), L"Erneut versuchen");
}

TEST_F(Controller, AGenerationRunsThroughItsStatesToSuccessOrFailure) {
  struct Case {
    bool success;
    TGenerateState state;
    const wchar_t* caption;
    ui::TColor color;
    const wchar_t* infoStart;
  };
  const Case cases[] = {
      {true, gsSucceeded, L"Open file location", kPale,
       L"Generate the portable version successfully."},
      {false, gsFailed, L"Try again", kDarkRed, L"Generate the portable version failure,"},
  };
  for (const Case& c : cases) {
    form.reset();
    jobs = {};
    SCOPED_TRACE(c.caption);
    script
        .Then([&] {
          EXPECT_EQ(Gen().Tag(), gsRunning);
          EXPECT_EQ(Gen().Caption(), L"Stop");
          EXPECT_TRUE(Link().Visible());
          EXPECT_FALSE(Link().Enabled());
          EXPECT_TRUE(Bar().Visible());
          EXPECT_EQ(Bar().Position(), 0);
          EXPECT_TRUE(Cancel().Enabled());
          EXPECT_FALSE(Cancel().Visible());
          ASSERT_NE(job, nullptr);
          EXPECT_TRUE(job->Started());
          job->Progress(40);
        })
        .Then([&] {
          EXPECT_EQ(Bar().Position(), 40);
          job->Finish(c.success);
        });
    ClickGenerate();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(Gen().Tag(), c.state);
    EXPECT_EQ(Gen().Caption(), c.caption);
    EXPECT_TRUE(Gen().Enabled());
    EXPECT_EQ(Info().Font().Color, c.color);
    EXPECT_EQ(Info().Caption().rfind(c.infoStart, 0), 0u) << "the information text";
    EXPECT_FALSE(Link().Visible());
    EXPECT_FALSE(Bar().Visible());
    EXPECT_FALSE(Window().JobExists());
    EXPECT_EQ(jobs.made, 1);
    EXPECT_EQ(jobs.destroyed, 1);
    ASSERT_EQ(jobs.settings.size(), 1u);
    EXPECT_EQ(jobs.settings[0].zipFileName, desktop + L"\\BRK_Portable.zip");
    EXPECT_EQ(jobs.settings[0].sourceDir, installLocation);
  }
}

TEST_F(Controller, StopEndsTheJobAndResetsTheWindowWithoutTheFailureText) {
  script.Then([&] { job->Progress(30); }).Then([&] { ClickGenerate(); });
  ClickGenerate();
  EXPECT_TRUE(Window().UserStop());
  EXPECT_EQ(jobs.stopped, 1);
  EXPECT_EQ(jobs.destroyed, 1);
  EXPECT_EQ(Gen().Tag(), gsIdle);
  EXPECT_EQ(Gen().Caption(), L"Generate");
  EXPECT_FALSE(Bar().Visible());
  EXPECT_EQ(Bar().Position(), 0);
  EXPECT_EQ(Info().Caption(), kLayoutInfo) << "the stopped job's failure report is ignored";
  EXPECT_EQ(Info().Font().Color, kPale);
  EXPECT_TRUE(Link().Visible());
  EXPECT_TRUE(Link().Enabled());
  EXPECT_FALSE(Cancel().Visible());
}

TEST_F(Controller, StopThenGenerateRunsASecondJobInsideTheFirstWait) {
  script
      .Then([&] { ClickGenerate(); })  // Stop
      .Then([&] {
        EXPECT_EQ(Gen().Tag(), gsIdle);
        ClickGenerate();  // waits inside the first click's wait
      })
      .Then([&] {
        EXPECT_EQ(Gen().Tag(), gsRunning);
        EXPECT_FALSE(Window().UserStop());
        EXPECT_EQ(jobs.made, 2);
        job->Finish(true);
      });
  ClickGenerate();
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(Gen().Tag(), gsSucceeded);
  EXPECT_EQ(jobs.destroyed, 2);
  EXPECT_FALSE(Window().JobExists());
}

TEST_F(Controller, TryAgainAfterAFailureStartsANewJobForTheSameTarget) {
  script.Then([&] { job->Finish(false); });
  ClickGenerate();
  ASSERT_EQ(Gen().Tag(), gsFailed);
  script.Then([&] {
    EXPECT_FALSE(Window().UserStop());
    EXPECT_EQ(Gen().Tag(), gsRunning);
    job->Finish(true);
  });
  ClickGenerate();
  EXPECT_EQ(Gen().Tag(), gsSucceeded);
  ASSERT_EQ(jobs.made, 2);
  EXPECT_EQ(jobs.settings[1].zipFileName, jobs.settings[0].zipFileName);
}

TEST_F(Controller, OpenFileLocationHandsExplorerThePathUnquotedAndStaysSucceeded) {
  saveDialog = [](OPENFILENAMEW& dialog) {
    wcscpy(dialog.lpstrFile, L"C:\\My Archives\\for the stick\\BK portable.zip");
    return TRUE;
  };
  Window().btnSelectPathClick(Link());
  script.Then([&] { job->Finish(true); });
  ClickGenerate();
  ClickGenerate();
  Window().btnBgClick(Part<skin::TImageButton>(L"btnBg"));
  ASSERT_EQ(explorer.size(), 2u);
  for (const ExplorerCall& call : explorer) {
    EXPECT_EQ(call.owner, nullptr);
    EXPECT_EQ(call.verb, L"open");
    EXPECT_EQ(call.file, L"explorer");
    EXPECT_EQ(call.parameters, L" /select,C:\\My Archives\\for the stick\\BK portable.zip");
    EXPECT_TRUE(call.noFolder);
    EXPECT_EQ(call.show, SW_SHOWNORMAL);
  }
  EXPECT_EQ(Gen().Tag(), gsSucceeded);
}

TEST_F(Controller, TheSaveDialogStartsInTheLastFolderAndChangesOnlyOnConfirm) {
  struct Seen {
    std::wstring initialDir, file, defExt, filter;
    DWORD flags;
    HWND owner;
  };
  std::vector<Seen> seen;
  std::wstring answer;
  saveDialog = [&](OPENFILENAMEW& d) {
    std::wstring filter(d.lpstrFilter, 12);
    seen.push_back({d.lpstrInitialDir, d.lpstrFile, d.lpstrDefExt, filter, d.Flags, d.hwndOwner});
    if (answer.empty()) return FALSE;
    wcscpy(d.lpstrFile, answer.c_str());
    return TRUE;
  };
  answer = L"D:\\Stick Folder\\sub dir\\mine.zip";
  Window().btnSelectPathClick(Link());
  answer.clear();  // cancelled
  Window().btnSelectPathClick(Link());

  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].initialDir, desktop + L"\\");
  EXPECT_EQ(seen[1].initialDir, L"D:\\Stick Folder\\sub dir\\");
  for (const Seen& s : seen) {
    EXPECT_EQ(s.file, L"BRK_Portable");
    EXPECT_EQ(s.defExt, L"zip");
    EXPECT_EQ(s.filter, std::wstring(L"*.zip\0*.zip\0", 12));
    EXPECT_TRUE(s.flags & OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(s.flags & OFN_HIDEREADONLY);
    EXPECT_TRUE(s.flags & OFN_ENABLESIZING);
    EXPECT_EQ(s.owner, Window().Handle());
  }
  EXPECT_EQ(Window().SaveDir(), L"D:\\Stick Folder\\sub dir\\");
  EXPECT_EQ(Path().Caption(), L"D:\\Stick Folder\\sub dir\\mine.zip");

  script.Then([&] { job->Finish(true); });
  ClickGenerate();
  EXPECT_EQ(jobs.settings[0].zipFileName, L"D:\\Stick Folder\\sub dir\\mine.zip");
}

// Pumps the window's messages until the window has gone (or a while passed).
bool WaitForWindowToGo(TfrmBRKPortable& window) {
  for (int i = 0; i < 200 && window.HandleAllocated(); ++i) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
  return !window.HandleAllocated();
}

TEST_F(Controller, ClosingWhileRunningNeverLeavesTheWindowGoneUnderTheWait) {
  // The close button: the job is stopped (its archive removed), then the
  // window closes once the wait has returned.
  {
    script.Then([&] { Window().imgBtnCloseClick(Part<skin::TImageButton>(L"imgBtnClose")); });
    ClickGenerate();
    EXPECT_EQ(jobs.stopped, 1);
    EXPECT_EQ(jobs.destroyed, 1);
    EXPECT_TRUE(WaitForWindowToGo(Window()));
  }
  // A close from the task bar or Alt+F4: the job runs on to its end, then
  // the window goes.
  form.reset();
  jobs = {};
  bool stillThere = false;
  script.Then([&] { PostMessageW(Window().Handle(), WM_CLOSE, 0, 0); })
      .Then([&] { job->Progress(50); })
      .Then([&] {
        stillThere = Window().HandleAllocated();
        job->Finish(true);
      });
  ClickGenerate();
  EXPECT_TRUE(stillThere);
  EXPECT_EQ(jobs.stopped, 0);
  EXPECT_EQ(Gen().Tag(), gsSucceeded);
  EXPECT_TRUE(WaitForWindowToGo(Window()));
}

TEST_F(Controller, TheSessionEndingStopsARunningJob) {
  script.Then([&] { SendMessageW(Window().Handle(), WM_ENDSESSION, TRUE, 0); });
  ClickGenerate();
  EXPECT_EQ(jobs.stopped, 1);
  EXPECT_EQ(jobs.destroyed, 1);
  EXPECT_EQ(Gen().Tag(), gsIdle);
}

TEST_F(Controller, TheTwoLinkedButtonsLookPressedAndHoveredTogether) {
  auto& bg = Part<skin::TImageButton>(L"btnBg");
  auto& gen = Gen();
  TfrmBRKPortable& w = Window();
  w.btnBgMouseEnter(bg);
  EXPECT_TRUE(gen.MouseOver());
  w.btnBgMouseDown(bg, ui::mbRight, 0, 1, 1);
  EXPECT_EQ(gen.ButtonState(), skin::ibsDown);
  w.btnBgMouseUp(bg, ui::mbLeft, 0, 1, 1);
  EXPECT_EQ(gen.ButtonState(), skin::ibsNormal);
  w.btnBgMouseDown(bg, ui::mbLeft, 0, 1, 1);
  w.btnBgMouseLeave(bg);
  EXPECT_EQ(gen.ButtonState(), skin::ibsNormal);
  EXPECT_FALSE(gen.MouseOver());

  w.imgBtnGenMouseEnter(gen);
  EXPECT_TRUE(bg.MouseOver());
  w.imgBtnGenMouseDown(gen, ui::mbLeft, 0, 1, 1);
  EXPECT_EQ(bg.ButtonState(), skin::ibsDown);
  w.imgBtnGenMouseUp(gen, ui::mbMiddle, 0, 1, 1);
  EXPECT_EQ(bg.ButtonState(), skin::ibsNormal);
  w.imgBtnGenMouseDown(gen, ui::mbLeft, 0, 1, 1);
  w.imgBtnGenMouseLeave(gen);
  EXPECT_EQ(bg.ButtonState(), skin::ibsNormal);
  EXPECT_FALSE(bg.MouseOver());
}

}  // namespace

// The main window's controller driven through its handlers, with a job
// whose reports the test decides and stand-ins for Explorer, the save
// dialog and the debugger, so that every state and every call out can be
// checked without a real install or a user at the dialog.
#include "app/MainWindow.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
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
  // Waits for a job's worker outside its destruction.
  int waitedUntilFinished = 0;
  std::vector<app::TArchiveJobSettings> settings;
  // Runs in a stopped job's destruction, after its last reports, while the
  // window still waits for it.
  std::function<void()> whileStopping;
};

// A job that does nothing by itself: the test makes it report and finish.
// Destroyed after a stop, it reports as the real one does: a last progress
// of 100, then the stop.
class TestJob : public app::TArchiveJob {
 public:
  TestJob(app::TArchiveJobSettings settings, JobLog& log, TestJob*& current)
      : settings_(std::move(settings)), log_(log), current_(current) {
    current_ = this;
  }
  ~TestJob() override {
    if (stop_ && !finished_ && settings_.onFinish) {
      settings_.onProgress(100, L"C:\\Install\\b.txt");
      settings_.onFinish({archive::jrStopped});
      if (log_.whileStopping) log_.whileStopping();
    }
    ++log_.destroyed;
    if (current_ == this) current_ = nullptr;
  }
  void Start() override { started_ = true; }
  bool IsFinished() const override { return finished_; }
  void SetStop(bool stop) override {
    stop_ = stop;
    ++log_.stopped;
  }
  void WaitUntilFinished() override { ++log_.waitedUntilFinished; }

  void Progress(std::uint16_t percent) { settings_.onProgress(percent, L"C:\\Install\\a.txt"); }
  void Finish(bool success) {
    Finish(success ? archive::TJobResult{} : archive::TJobResult{archive::jrInternal, {}, 0x400});
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
  ui::TLabel& Reason() { return Part<ui::TLabel>(L"lbl_reason"); }
  ui::TButton& Cancel() { return Part<ui::TButton>(L"btnCancel"); }

  void ClickGenerate() { Window().imgBtnGenClick(Gen()); }

  // The product's settings file names German as the user's language.
  void ChooseGermanInTheSettings() {
    CreateDirectoryW((roaming.Path() + L"\\Halvane").c_str(), nullptr);
    CreateDirectoryW((roaming.Path() + L"\\Halvane\\Brightkeep V8").c_str(), nullptr);
    roaming.WriteBytes(L"Halvane\\Brightkeep V8\\Main.ini", "[Main]\r\nLanguage=German\r\n");
  }

  // The language files the build places beside the test program.
  void UseShippedLanguages() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring exe = self;
    languageFolder = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"ToolBox_Language";
  }

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
constexpr ui::TColor kRed = 0x005C5CFF;

// WCAG 2's contrast ratio of two colours (0x00BBGGRR), 1 to 21.
double Contrast(ui::TColor a, ui::TColor b) {
  const auto luminance = [](ui::TColor c) {
    const auto linear = [](unsigned channel) {
      const double v = channel / 255.0;
      return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c & 0xFF) + 0.7152 * linear((c >> 8) & 0xFF) +
           0.0722 * linear((c >> 16) & 0xFF);
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(FailureColour, ReadsOnTheWindowsBackground) {
  constexpr ui::TColor kBackground = 0x00120C0B;  // #0B0C12
  // 4.5 : 1 is what text needs to be read by everyone (WCAG 2, level AA);
  // the earlier dark red (#660000) had 1.46 : 1.
  EXPECT_NEAR(Contrast(kRed, kBackground), 6.45, 0.01);
  EXPECT_NEAR(Contrast(0x00000066, kBackground), 1.46, 0.01);
  EXPECT_NEAR(Contrast(kPale, kBackground), 15.34, 0.01);
}
const std::wstring kLayoutInfo =
    L"By clicking the Generate button, a portable version for Brightkeep will be created for "
    L"you. It will be saved to your Desktop by default. Or ";

TEST_F(Controller, CreationWritesItsDebugLinesInOrderAndProposesTheDesktop) {
  ChooseGermanInTheSettings();
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
  UseShippedLanguages();
  ChooseGermanInTheSettings();
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
      {false, gsFailed, L"Try again", kRed, L"Generate the portable version failure,"},
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
    // After a failure another target can be chosen: the link stays, under
    // the reason, which stays under the failure text.
    EXPECT_EQ(Link().Visible(), !c.success);
    EXPECT_EQ(Link().Enabled(), !c.success);
    EXPECT_EQ(Reason().Visible(), !c.success);
    if (!c.success) {
      EXPECT_EQ(Reason().Caption(), L"An internal error occurred (code 0x00000400).");
      EXPECT_GE(Reason().Top(), Info().Top() + 14) << "below the failure text's first line";
      EXPECT_LE(Reason().Top() + Reason().Height(), Info().Top() + Info().Height() + 8);
      EXPECT_GE(Link().Top(), Reason().Top() + Reason().Height());
      EXPECT_LE(Link().Top() + Link().Height(), 140) << "above the button's picture";
    }
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
  std::optional<int> barWhileStopping;
  jobs.whileStopping = [&] { barWhileStopping = Bar().Position(); };
  script.Then([&] { job->Progress(30); }).Then([&] { ClickGenerate(); });
  ClickGenerate();
  // The stopped job's last report (100) does not fill the bar before it
  // is hidden.
  EXPECT_EQ(barWhileStopping, 30);
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

TEST_F(Controller, OpenFileLocationHandsExplorerThePathQuotedAndStaysSucceeded) {
  saveDialog = [](OPENFILENAMEW& dialog) {
    wcscpy(dialog.lpstrFile, L"C:\\My Archives, 2024\\for the stick\\BK portable.zip");
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
    EXPECT_EQ(call.parameters,
              L" /select,\"C:\\My Archives, 2024\\for the stick\\BK portable.zip\"");
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

TEST_F(Controller, EveryCloseWhileRunningStopsTheJobAndTheWindowGoesOnlyAfterTheWait) {
  // The close button, and a close from the task bar or Alt+F4 (WM_CLOSE):
  // the job is stopped (its archive removed), then the window closes once
  // the wait has returned.
  const std::function<void()> closes[] = {
      [&] { Window().imgBtnCloseClick(Part<skin::TImageButton>(L"imgBtnClose")); },
      [&] { SendMessageW(Window().Handle(), WM_CLOSE, 0, 0); },
  };
  for (const auto& close : closes) {
    form.reset();
    jobs = {};
    bool stillThere = false;
    script.Then([&] { job->Progress(50); }).Then([&] {
      close();
      stillThere = Window().HandleAllocated();
    });
    ClickGenerate();
    EXPECT_TRUE(stillThere) << "gone under the wait";
    EXPECT_EQ(jobs.stopped, 1);
    EXPECT_EQ(jobs.destroyed, 1);
    EXPECT_NE(Gen().Tag(), gsFailed) << "the stop is no failure";
    EXPECT_TRUE(WaitForWindowToGo(Window()));
  }
}

TEST_F(Controller, TheSessionEndingStopsARunningJob) {
  script.Then([&] { SendMessageW(Window().Handle(), WM_ENDSESSION, TRUE, 0); });
  ClickGenerate();
  EXPECT_EQ(jobs.stopped, 1);
  EXPECT_EQ(jobs.destroyed, 1);
  EXPECT_EQ(Gen().Tag(), gsIdle);
}

TEST_F(Controller, TheSessionEndingDuringAStopWaitsForTheJobsCleanUp) {
  // The session ends while Stop is destroying the job: the process may end
  // as soon as the message returns, so the job's worker is waited for.
  int waitedBeforeReturning = -1;
  jobs.whileStopping = [&] {
    SendMessageW(Window().Handle(), WM_ENDSESSION, TRUE, 0);
    waitedBeforeReturning = jobs.waitedUntilFinished;
  };
  script.Then([&] { ClickGenerate(); });
  ClickGenerate();
  EXPECT_EQ(waitedBeforeReturning, 1);
  EXPECT_EQ(jobs.stopped, 1);
  EXPECT_EQ(Gen().Tag(), gsIdle);
}

TEST_F(Controller, AClickCountsOnlyForTheStateItsPressBeganIn) {
  // Stop pressed while running; the job finishes before the release: the
  // click neither starts a new generation nor opens Explorer.
  for (const bool success : {false, true}) {
    form.reset();
    jobs = {};
    SCOPED_TRACE(success ? "after a success" : "after a failure");
    script.Then([&] {
      Window().imgBtnGenMouseDown(Gen(), ui::mbLeft, 0, 10, 10);
      job->Finish(success);
      ClickGenerate();
    });
    ClickGenerate();
    EXPECT_EQ(jobs.made, 1);
    EXPECT_TRUE(explorer.empty());
    EXPECT_EQ(Gen().Tag(), success ? gsSucceeded : gsFailed);
  }
  // A press and release in the same state still click, on either button.
  form.reset();
  jobs = {};
  script.Then([&] { job->Finish(false); });
  Window().btnBgMouseDown(Part<skin::TImageButton>(L"btnBg"), ui::mbLeft, 0, 10, 10);
  Window().btnBgClick(Part<skin::TImageButton>(L"btnBg"));
  EXPECT_EQ(jobs.made, 1);
}

TEST_F(Controller, ThePartnerOfThePressedButtonDoesNotStayPressedDuringTheGeneration) {
  auto& bg = Part<skin::TImageButton>(L"btnBg");
  std::optional<skin::TImageButtonState> bgDuring, genDuring;
  script.Then([&] {
    bgDuring = bg.ButtonState();
    job->Finish(true);
  });
  // The press on one button shows both pressed; the click comes before the
  // release, and runs the generation.
  Window().imgBtnGenMouseDown(Gen(), ui::mbLeft, 0, 10, 10);
  ASSERT_EQ(bg.ButtonState(), skin::ibsDown);
  ClickGenerate();
  script.Then([&] {
    genDuring = Gen().ButtonState();
    job->Finish(true);
  });
  form.reset();
  jobs = {};
  Window().btnBgMouseDown(Part<skin::TImageButton>(L"btnBg"), ui::mbLeft, 0, 10, 10);
  ASSERT_EQ(Gen().ButtonState(), skin::ibsDown);
  Window().btnBgClick(Part<skin::TImageButton>(L"btnBg"));
  EXPECT_EQ(bgDuring, skin::ibsNormal);
  EXPECT_EQ(genDuring, skin::ibsNormal);
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

TEST_F(Controller, TheKeyboardReachesGenerateTheLinkAndCloseAndEscClosesAsTheCloseButtonDoes) {
  std::vector<std::wstring> stops;
  for (ui::TControl* c : Window().Keyboard().TabStops()) stops.push_back(c->Name());
  EXPECT_EQ(stops, (std::vector<std::wstring>{L"imgBtnGen", L"btnSelectPath", L"imgBtnClose"}));
  EXPECT_EQ(Window().Keyboard().Focused(), &Gen());
  // Pressed by a key, Generate takes its large picture down with it.
  auto& bg = Part<skin::TImageButton>(L"btnBg");
  SendMessageW(Window().Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(Gen().KeyPressed());
  EXPECT_TRUE(bg.KeyPressed());
  SendMessageW(Window().Handle(), WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(bg.KeyPressed());
  // Esc while a job runs: stopped, and the window goes, as by the close
  // button.
  script.Then([&] { SendMessageW(Window().Handle(), WM_KEYDOWN, VK_ESCAPE, 0); });
  ClickGenerate();
  EXPECT_EQ(jobs.stopped, 1);
  EXPECT_TRUE(WaitForWindowToGo(Window()));
}

TEST_F(Controller, ReadersFindTheControlsWithTheirRolesAndTheCloseButtonNamedInTheLanguage) {
  UseShippedLanguages();
  ChooseGermanInTheSettings();
  std::vector<std::pair<std::wstring, ui::TAccessibleRole>> seen;
  for (ui::TControl* c : Window().Accessibility().Children()) {
    seen.emplace_back(c->Name() + L" " + c->AccessibleName().substr(0, 9), c->AccessibleRole());
  }
  const std::vector<std::pair<std::wstring, ui::TAccessibleRole>> wanted = {
      {L"imgBtnGen Erstellen", ui::arPushButton},
      {L"lbl_info Mit einem", ui::arStaticText},
      {L"lbl_reason ", ui::arStaticText},
      {L"btnSelectPath klicken S", ui::arLink},
      {L"imgBtnClose Schlie\u00DFen", ui::arPushButton},
      {L"imgProgress ", ui::arProgressBar},
  };
  EXPECT_EQ(seen, wanted);
}

}  // namespace

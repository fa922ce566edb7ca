#include "app/MainWindow.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "app/FailureReason.h"
#include "app/ProductSettings.h"
#include "app/WindowArt.h"
#include "skin/ImageButton.h"
#include "skin/ImageProgress.h"
#include "skin/SkinLayoutClasses.h"
#include "ui/Button.h"
#include "ui/Canvas.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/MessageWait.h"
#include "ui/Screen.h"

extern const std::string_view kMainWindowLayout;

namespace {

constexpr std::wstring_view kArchiveName = L"BRK_Portable.zip";
// The save dialog proposes this name; the dialog adds the extension.
constexpr wchar_t kProposedName[] = L"BRK_Portable";

// lbl_info's colours: the window's pale text, and a red for a failure
// (#FF5C5C) that reads on the dark background (#0B0C12): a contrast of
// 6.4 : 1, where text needs 4.5 : 1 to be read by everyone.
constexpr ui::TColor kInfoColor = 0x00F1E7D4;
constexpr ui::TColor kFailureColor = 0x005C5CFF;

// The system's move command (SC_MOVE) with the caption hit code (HTCAPTION):
// the system moves the window with the mouse until the button is released.
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;

// The corners of the window's outline: a 9 x 9 ellipse at 96 dpi.
constexpr int kCornerEllipse = 9;

template <typename T>
T* Find(ui::TComponent& owner, const wchar_t* name) {
  auto* found = dynamic_cast<T*>(owner.FindComponent(name));
  if (found == nullptr) {
    throw ui::ELayoutError("the window layout has no " +
                           std::string(name, name + std::wcslen(name)) + " of the kind needed");
  }
  return found;
}

// Measures text in a font, for fitting a line before it is shown.
class TTextMeasure {
 public:
  explicit TTextMeasure(const ui::TFont& font)
      : dc_(CreateCompatibleDC(nullptr)), canvas_(dc_.get()) {
    canvas_.SetFont(font);
  }
  int Width(const std::wstring& text) { return dc_ ? canvas_.TextWidth(text) : 0; }

 private:
  ui::UniqueMemoryDc dc_;
  ui::TCanvas canvas_;
};

// The folder part of a full file name, with its trailing "\".
std::wstring FolderOf(const std::wstring& path) {
  const auto end = path.find_last_of(L"\\:");
  return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

}  // namespace

TfrmBRKPortable::TfrmBRKPortable(app::TMainWindowServices services)
    : ui::TForm(L"TfrmBRKPortable"), FServices(std::move(services)) {
  skin::RegisterSkinLayoutClasses();
  ui::RegisterLayoutClass(L"TfrmBRKPortable", L"TForm", nullptr);
  SetPictureSource(&app::WindowArtPicture);
  ui::ReadLayout(*this, kMainWindowLayout, Handlers());
  FBtnBg = Find<skin::TImageButton>(*this, L"btnBg");
  FImgBtnGen = Find<skin::TImageButton>(*this, L"imgBtnGen");
  FBtnSelectPath = Find<skin::TImageButton>(*this, L"btnSelectPath");
  FLblInfo = Find<ui::TLabel>(*this, L"lbl_info");
  FLblPath = Find<ui::TLabel>(*this, L"lbl_path");
  FLblReason = Find<ui::TLabel>(*this, L"lbl_reason");
  FBtnCancel = Find<ui::TButton>(*this, L"btnCancel");
  FImgProgress = Find<skin::TImageProgress>(*this, L"imgProgress");
  FImgBtnClose = Find<skin::TImageButton>(*this, L"imgBtnClose");
  SetUpKeyboardAndReaders();
  FImgBorderRight = Find<ui::TImage>(*this, L"imgBorderRight");
  FImageRect1 = Find<ui::TControl>(*this, L"ImageRect1");
  // On a screen of another resolution the outline is another size.
  OnDpiChanged = [this](ui::TComponent&) { ApplyWindowRegion(); };
  OnCloseQuery = [this](ui::TComponent&) { return CloseQuery(); };
  OnEndSession = [this](ui::TComponent&) { EndSession(); };
}

TfrmBRKPortable::~TfrmBRKPortable() {
  // Every route of closing lets the job end first; this is the last guard,
  // before the components the job's reports use are gone.
  if (FZipFile) {
    FUserStop = true;
    StopJob();
  }
  DestroyHandle();
}

ui::THandlerTable TfrmBRKPortable::Handlers() {
  using ui::TComponent;
  using ui::TMouseButton;
  using ui::TShiftState;
  ui::THandlerTable table;
  auto notify = [&](const wchar_t* name, void (TfrmBRKPortable::*handler)(TComponent&)) {
    table.Add(name, ui::TNotifyEvent([this, handler](TComponent& s) { (this->*handler)(s); }));
  };
  auto mouse = [&](const wchar_t* name, void (TfrmBRKPortable::*handler)(TComponent&, TMouseButton,
                                                                         TShiftState, int, int)) {
    table.Add(name,
              ui::TMouseEvent([this, handler](TComponent& s, TMouseButton b, TShiftState sh, int x,
                                              int y) { (this->*handler)(s, b, sh, x, y); }));
  };
  notify(L"FormCreate", &TfrmBRKPortable::FormCreate);
  notify(L"FormDestroy", &TfrmBRKPortable::FormDestroy);
  notify(L"imgBtnGenClick", &TfrmBRKPortable::imgBtnGenClick);
  notify(L"btnBgClick", &TfrmBRKPortable::btnBgClick);
  notify(L"btnCancelClick", &TfrmBRKPortable::btnCancelClick);
  notify(L"btnSelectPathClick", &TfrmBRKPortable::btnSelectPathClick);
  notify(L"imgBtnCloseClick", &TfrmBRKPortable::imgBtnCloseClick);
  notify(L"btnBgMouseEnter", &TfrmBRKPortable::btnBgMouseEnter);
  notify(L"btnBgMouseLeave", &TfrmBRKPortable::btnBgMouseLeave);
  notify(L"imgBtnGenMouseEnter", &TfrmBRKPortable::imgBtnGenMouseEnter);
  notify(L"imgBtnGenMouseLeave", &TfrmBRKPortable::imgBtnGenMouseLeave);
  mouse(L"imgBgMouseDown", &TfrmBRKPortable::imgBgMouseDown);
  mouse(L"lbl_CaptionMouseDown", &TfrmBRKPortable::lbl_CaptionMouseDown);
  mouse(L"btnBgMouseDown", &TfrmBRKPortable::btnBgMouseDown);
  mouse(L"btnBgMouseUp", &TfrmBRKPortable::btnBgMouseUp);
  mouse(L"imgBtnGenMouseDown", &TfrmBRKPortable::imgBtnGenMouseDown);
  mouse(L"imgBtnGenMouseUp", &TfrmBRKPortable::imgBtnGenMouseUp);
  return table;
}

// --- creation and destruction ---------------------------------------------

void TfrmBRKPortable::FormCreate(ui::TComponent&) {
  InitCursors();
  SetWindowRegion();
  FLanguage = std::make_unique<i18n::TLanguage>(L"BRKPortable", FServices.languageFolder());
  FLanguage->LoadLanguage(GetLanguageName());
  FLanguage->TranslateComponent(*this);
  NameControlsForReaders();
  const std::wstring desktop = FServices.desktopFolder();
  FLblPath->SetCaption(desktop + L"\\" + std::wstring(kArchiveName));
  FSaveDir = desktop + L"\\";
}

void TfrmBRKPortable::FormDestroy(ui::TComponent&) {
  FLanguage.reset();
}

void TfrmBRKPortable::InitCursors() {
  // The system's own hand instead of the framework's; where a cursor cannot
  // be loaded the slot keeps what it had.
  if (HCURSOR hand = LoadCursorW(nullptr, IDC_HAND)) ui::SetScreenCursor(ui::crHandPoint, hand);
  if (HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW)) {
    ui::SetScreenCursor(ui::crDefault, arrow);
    ui::SetScreenCursor(ui::crArrow, arrow);
  }
}

void TfrmBRKPortable::WriteClientSize() {
  FServices.debugLine(L"ClientWidth: " + std::to_wstring(ClientWidth()));
  FServices.debugLine(L"ClientHeight: " + std::to_wstring(ClientHeight()));
}

void TfrmBRKPortable::SetWindowRegion() {
  WriteClientSize();
  ApplyWindowRegion();
  WriteClientSize();
}

void TfrmBRKPortable::ApplyWindowRegion() {
  // The outline is drawn by the right border line and the bottom strip;
  // the region ends one pixel past them (at 96 dpi that is the client size
  // less one), so that the outline is the last thing seen at every scale.
  const int right = FImgBorderRight->BoundsRect().Right + 1;
  const int bottom = FImageRect1->BoundsRect().Bottom + 1;
  const int corner = ui::ScaleValue(kCornerEllipse, Dpi());
  ui::TForm::SetWindowRegion(
      ui::UniqueRegion(CreateRoundRectRgn(0, 0, right, bottom, corner, corner)));
}

std::wstring TfrmBRKPortable::GetLanguageName() const {
  const std::wstring language =
      app::ReadProductLanguage(app::ProductSettingsFile(FServices.roamingAppDataFolder()));
  FServices.debugLine(L"Result: " + language);
  return language;
}

std::wstring TfrmBRKPortable::GetInstallLocation() const {
  return FServices.installLocation();
}

std::wstring TfrmBRKPortable::Message(std::wstring_view key, std::wstring_view defaultText) const {
  // After the window is gone the catalogue is too; the defaults still read.
  return FLanguage ? FLanguage->GetMessageText(key, defaultText) : std::wstring(defaultText);
}

void TfrmBRKPortable::SetInfoColor(ui::TColor color) {
  ui::TFont font = FLblInfo->Font();
  font.Color = color;
  FLblInfo->SetFont(font);
}

// --- the Generate button --------------------------------------------------

void TfrmBRKPortable::imgBtnGenClick(ui::TComponent&) {
  // A click counts for the state in which its press began: a Stop pressed
  // just before the job finished must not start it again, nor open Explorer.
  const std::optional<std::int32_t> pressedIn = std::exchange(FPressedIn, std::nullopt);
  if (pressedIn && *pressedIn != FImgBtnGen->Tag()) return;
  // The click comes before the release that would lift the partner's
  // pressed look, and may run a whole generation first.
  for (skin::TImageButton* button : {FImgBtnGen, FBtnBg}) {
    if (button->ButtonState() == skin::ibsDown) button->SetButtonState(skin::ibsNormal);
  }
  switch (FImgBtnGen->Tag()) {
    case gsIdle:
    case gsFailed:
      StartGeneration();
      break;
    case gsRunning:
      FUserStop = true;
      btnCancelClick(*FBtnCancel);
      break;
    case gsSucceeded: {
      // Quoted: unquoted, Explorer cuts the path at a comma.
      const std::wstring parameters = L" /select,\"" + FLblPath->Caption() + L"\"";
      FServices.shellExecute(nullptr, L"open", L"explorer", parameters.c_str(), nullptr,
                             SW_SHOWNORMAL);
      break;
    }
    default:
      break;
  }
}

void TfrmBRKPortable::btnBgClick(ui::TComponent&) {
  imgBtnGenClick(*FImgBtnGen);
}

void TfrmBRKPortable::StartGeneration() {
  FUserStop = false;
  FImgBtnGen->SetTag(gsRunning);
  FImgBtnGen->SetCaption(Message(L"M_stop", L"Stop"));
  FBtnCancel->SetEnabled(true);
  FBtnSelectPath->SetVisible(true);
  FBtnSelectPath->SetEnabled(false);
  // The reason of an earlier failure is not this generation's.
  FLblReason->SetVisible(false);
  FImgProgress->SetPosition(0);
  FImgProgress->SetVisible(true);

  app::TArchiveJobSettings settings;
  settings.zipFileName = FLblPath->Caption();
  // An unknown install folder stays empty: the job then fails, and the
  // window says so, rather than packing nothing and calling it a success.
  settings.sourceDir = GetInstallLocation();
  settings.onFinish = [this](const archive::TJobResult& result) { ZipFinished(result); };
  settings.onProgress = [this](std::uint16_t percent, const std::wstring& file) {
    ZipProgress(percent, file);
  };
  FZipFile = FServices.newJob(std::move(settings));
  FZipFile->Start();
  WaitForJob();
}

void TfrmBRKPortable::WaitForJob() {
  ++FWaiting;
  // Each report of the job is served as soon as it is sent.
  ui::ProcessMessagesUntil([this] { return !FZipFile || FZipFile->IsFinished(); });
  --FWaiting;
  if (FZipFile) {
    // The field first: a report served while the job goes finds no job.
    std::unique_ptr<app::TArchiveJob> job = std::move(FZipFile);
    job.reset();
  }
  if (FWaiting == 0 && FCloseWhenDone) {
    FCloseWhenDone = false;
    // From the message loop, once this click has fully returned.
    PostMessageW(Handle(), WM_CLOSE, 0, 0);
  }
}

void TfrmBRKPortable::StopJob() {
  if (!FZipFile) return;
  FZipFile->SetStop(true);
  // The job's last reports run while it is destroyed, and find no job.
  std::unique_ptr<app::TArchiveJob> job = std::move(FZipFile);
  FEndingJob = job.get();
  job.reset();
  FEndingJob = nullptr;
}

void TfrmBRKPortable::btnCancelClick(ui::TComponent&) {
  StopJob();
  FBtnCancel->SetVisible(false);
  FImgProgress->SetPosition(0);
  FImgProgress->SetVisible(false);
  FImgBtnGen->SetTag(gsIdle);
  FImgBtnGen->SetCaption(Message(L"M_Gen", L"Generate"));
  SetInfoColor(kInfoColor);
  FImgBtnGen->SetEnabled(true);
  FLblInfo->BringToFront();
  FBtnCancel->SetVisible(false);
  FBtnSelectPath->SetEnabled(true);
  FBtnSelectPath->BringToFront();
}

// --- the job's reports ----------------------------------------------------

void TfrmBRKPortable::ZipProgress(std::uint16_t percent, const std::wstring&) {
  // A stopped job's last report (100) would fill the bar just before it is
  // hidden.
  if (!FZipFile) return;
  // The bar repaints at once whenever its position is set; most files do
  // not move it, and a repaint per file would cost more than the file.
  if (FImgProgress->Position() != percent) FImgProgress->SetPosition(percent);
}

void TfrmBRKPortable::ZipFinished(const archive::TJobResult& result) {
  // A stop, from the Stop button or a close, has reset the window already.
  if (FUserStop || result.kind == archive::jrStopped) return;
  if (result.Succeeded()) {
    FImgBtnGen->SetTag(gsSucceeded);
    FImgBtnGen->SetEnabled(true);
    FImgBtnGen->SetCaption(Message(L"M_OpenLocation", L"Open file location"));
    SetInfoColor(kInfoColor);
    FLblInfo->SetCaption(
        Message(L"M_GenerateSuccess",
                L"Generate the portable version successfully. Click Open file location to get it. "
                L"Uncompress the zipped file and then run \"BRK.exe\". "));
    FLblInfo->BringToFront();
    FBtnCancel->SetVisible(false);
    FLblReason->SetVisible(false);
    FBtnSelectPath->SetVisible(false);
  } else {
    FImgBtnGen->SetTag(gsFailed);
    FImgBtnGen->SetEnabled(true);
    FImgBtnGen->SetCaption(Message(L"M_TryAgain", L"Try again"));
    SetInfoColor(kFailureColor);
    FLblInfo->SetCaption(
        Message(L"M_GenerateFailure",
                L"Generate the portable version failure, Click the follow button to try again."));
    FLblInfo->BringToFront();
    ShowFailure(result);
  }
  FImgProgress->SetVisible(false);
  Repaint();
}

void TfrmBRKPortable::ShowFailure(const archive::TJobResult& result) {
  app::TReasonLine line = app::FailureReasonLine(
      result,
      [this](std::wstring_view key, std::wstring_view english) { return Message(key, english); });
  // The words stay whole; a path too long for the rest of the line gives
  // way in its middle.
  if (!line.path.empty()) {
    TTextMeasure measure(FLblReason->Font());
    line.path = app::FitPathInMiddle(
        line.path, FLblReason->Width() - measure.Width(line.before + line.after),
        [&measure](const std::wstring& text) { return measure.Width(text); });
  }
  FLblReason->SetCaption(line.Text());
  FLblReason->SetVisible(!FLblReason->Caption().empty());
  FLblReason->BringToFront();
  // Under the failure text the reason, under that the link: after a failure
  // the user may choose another target before trying again, since the
  // target is often the cause.
  PlaceBelow(*FLblReason, *FLblInfo);
  PlaceBelow(*FBtnSelectPath, FLblReason->Visible() ? *FLblReason : *FLblInfo);
  FBtnSelectPath->SetVisible(true);
  FBtnSelectPath->SetEnabled(true);
  FBtnSelectPath->BringToFront();
}

void TfrmBRKPortable::PlaceBelow(ui::TControl& control, const ui::TLabel& above) const {
  // Where the text of `above` really ends, in its own font: a failure text
  // takes one line in one language and three in another.
  int bottom = above.Top() + above.Height();
  if (ui::UniqueMemoryDc dc(CreateCompatibleDC(nullptr)); dc) {
    ui::TCanvas canvas(dc.get());
    canvas.SetFont(above.Font());
    constexpr UINT kEllipses = DT_PATH_ELLIPSIS | DT_END_ELLIPSIS | DT_WORD_ELLIPSIS;
    ui::TRect measured{0, 0, above.Width(), 0};
    canvas.DrawTextW(above.Caption(), measured, (above.DrawTextFlags() & ~kEllipses) | DT_CALCRECT);
    // A third of a line between the two: apart, yet plainly together.
    bottom =
        above.Top() + std::min(measured.Height(), above.Height()) + canvas.TextHeight(L"Ag") / 3;
  }
  control.SetBounds(control.Left(), bottom, control.Width(), control.Height());
}

// --- the target -----------------------------------------------------------

void TfrmBRKPortable::btnSelectPathClick(ui::TComponent&) {
  // Room for any path the dialog may return; it starts with the proposal.
  std::vector<wchar_t> file(32768, L'\0');
  std::wcscpy(file.data(), kProposedName);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Handle();
  // One entry whose text and pattern are both "*.zip".
  dialog.lpstrFilter = L"*.zip\0*.zip\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = FSaveDir.c_str();
  // The dialog appends the extension itself, and wants it without "*.".
  dialog.lpstrDefExt = L"zip";
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_OVERWRITEPROMPT;
  if (!FServices.getSaveFileName(dialog)) return;
  const std::wstring chosen = file.data();
  FSaveDir = FolderOf(chosen);
  FLblPath->SetCaption(chosen);
}

// --- closing --------------------------------------------------------------

void TfrmBRKPortable::imgBtnCloseClick(ui::TComponent&) {
  btnCancelClick(*FBtnCancel);
  // Through the close request, so that a wait still running returns first.
  PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

bool TfrmBRKPortable::CloseQuery() {
  // Every close (the close button, Alt+F4, the task bar) stops a running
  // job, which removes its partial archive, and the window goes once the
  // wait for the job has returned.
  if (FWaiting > 0) {
    FCloseWhenDone = true;
    if (FZipFile) btnCancelClick(*FBtnCancel);
    return false;
  }
  return true;
}

void TfrmBRKPortable::EndSession() {
  // The process may end as soon as this returns: stop the job now, so that
  // it removes its partial archive, and wait for that.
  if (FZipFile) {
    FUserStop = true;
    btnCancelClick(*FBtnCancel);
  }
  // A Stop may be shutting a job down already, in a wait that this message
  // interrupted: its worker must finish too.
  if (FEndingJob != nullptr) FEndingJob->WaitUntilFinished();
}

// --- moving and the two linked buttons --------------------------------------

void TfrmBRKPortable::MoveWindow() {
  ReleaseCapture();
  SendMessageW(Handle(), WM_SYSCOMMAND, kMoveByCaption, 0);
}

void TfrmBRKPortable::imgBgMouseDown(ui::TComponent&, ui::TMouseButton, ui::TShiftState, int, int) {
  MoveWindow();
}

void TfrmBRKPortable::lbl_CaptionMouseDown(ui::TComponent&, ui::TMouseButton, ui::TShiftState, int,
                                           int) {
  MoveWindow();
}

void TfrmBRKPortable::btnBgMouseDown(ui::TComponent&, ui::TMouseButton, ui::TShiftState, int, int) {
  FPressedIn = FImgBtnGen->Tag();
  FImgBtnGen->SetButtonState(skin::ibsDown);
}

void TfrmBRKPortable::btnBgMouseUp(ui::TComponent&, ui::TMouseButton, ui::TShiftState, int, int) {
  // A release away from the button clicks nothing: its press is done.
  FPressedIn.reset();
  FImgBtnGen->SetButtonState(skin::ibsNormal);
}

void TfrmBRKPortable::btnBgMouseEnter(ui::TComponent&) {
  FImgBtnGen->SetMouseOver(true);
}

void TfrmBRKPortable::btnBgMouseLeave(ui::TComponent&) {
  FImgBtnGen->SetButtonState(skin::ibsNormal);
  FImgBtnGen->SetMouseOver(false);
}

void TfrmBRKPortable::imgBtnGenMouseDown(ui::TComponent&, ui::TMouseButton, ui::TShiftState, int,
                                         int) {
  FPressedIn = FImgBtnGen->Tag();
  FBtnBg->SetButtonState(skin::ibsDown);
}

void TfrmBRKPortable::imgBtnGenMouseUp(ui::TComponent&, ui::TMouseButton, ui::TShiftState, int,
                                       int) {
  FPressedIn.reset();
  FBtnBg->SetButtonState(skin::ibsNormal);
}

void TfrmBRKPortable::imgBtnGenMouseEnter(ui::TComponent&) {
  FBtnBg->SetMouseOver(true);
}

void TfrmBRKPortable::imgBtnGenMouseLeave(ui::TComponent&) {
  FBtnBg->SetButtonState(skin::ibsNormal);
  FBtnBg->SetMouseOver(false);
}

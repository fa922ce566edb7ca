#include "app/MainWindow.h"

#include <string_view>
#include <utility>
#include <vector>

#include "app/ProductSettings.h"
#include "skin/ImageButton.h"
#include "skin/ImageProgress.h"
#include "skin/SkinLayoutClasses.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/MessageWait.h"
#include "ui/Screen.h"

extern const std::string_view kMainWindowLayout;

namespace {

constexpr std::wstring_view kArchiveName = L"BRK_Portable.zip";
// The save dialog proposes this name; the dialog adds the extension.
constexpr wchar_t kProposedName[] = L"BRK_Portable";

// lbl_info's colours: the window's pale text, and a dark red for a failure.
constexpr ui::TColor kInfoColor = 0x00F1E7D4;
constexpr ui::TColor kFailureColor = 0x00000066;

// The system's move command (SC_MOVE) with the caption hit code (HTCAPTION):
// the system moves the window with the mouse until the button is released.
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;

// The corners of the window's outline: a 9 x 9 ellipse.
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
  ui::ReadLayout(*this, kMainWindowLayout, Handlers());
  FBtnBg = Find<skin::TImageButton>(*this, L"btnBg");
  FImgBtnGen = Find<skin::TImageButton>(*this, L"imgBtnGen");
  FBtnSelectPath = Find<skin::TImageButton>(*this, L"btnSelectPath");
  FLblInfo = Find<ui::TLabel>(*this, L"lbl_info");
  FLblPath = Find<ui::TLabel>(*this, L"lbl_path");
  FBtnCancel = Find<ui::TButton>(*this, L"btnCancel");
  FImgProgress = Find<skin::TImageProgress>(*this, L"imgProgress");
  OnCloseQuery = [this](ui::TComponent&) { return CloseQuery(); };
  OnEndSession = [this](ui::TComponent&) { EndSession(); };
}

TfrmBRKPortable::~TfrmBRKPortable() {
  // Every route of closing lets the job end first; this is the last guard,
  // before the components the job's reports use are gone.
  if (FZipFile) {
    FUserStop = true;
    FZipFile->SetStop(true);
    std::unique_ptr<app::TArchiveJob> job = std::move(FZipFile);
    job.reset();
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
  ui::TForm::SetWindowRegion(ui::UniqueRegion(CreateRoundRectRgn(
      0, 0, ClientWidth() - 1, ClientHeight() - 1, kCornerEllipse, kCornerEllipse)));
  WriteClientSize();
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
      // Explorer takes the path as it stands after the comma, spaces and all.
      const std::wstring parameters = L" /select," + FLblPath->Caption();
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

void TfrmBRKPortable::btnCancelClick(ui::TComponent&) {
  if (FZipFile) {
    FZipFile->SetStop(true);
    // The job's last reports run while it is destroyed, and find no job.
    std::unique_ptr<app::TArchiveJob> job = std::move(FZipFile);
    job.reset();
  }
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
  // The bar repaints at once whenever its position is set; most files do
  // not move it, and a repaint per file would cost more than the file.
  if (FImgProgress->Position() != percent) FImgProgress->SetPosition(percent);
}

void TfrmBRKPortable::ZipFinished(const archive::TJobResult& result) {
  if (FUserStop) return;
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
  } else {
    FImgBtnGen->SetTag(gsFailed);
    FImgBtnGen->SetEnabled(true);
    FImgBtnGen->SetCaption(Message(L"M_TryAgain", L"Try again"));
    SetInfoColor(kFailureColor);
    FLblInfo->SetCaption(
        Message(L"M_GenerateFailure",
                L"Generate the portable version failure, Click the follow button to try again."));
    FLblInfo->BringToFront();
  }
  FBtnSelectPath->SetVisible(false);
  FImgProgress->SetVisible(false);
  Repaint();
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
  // A close from the task bar or Alt+F4 lets a running job finish; the
  // window goes once the wait for it has returned.
  if (FWaiting > 0) {
    FCloseWhenDone = true;
    return false;
  }
  return true;
}

void TfrmBRKPortable::EndSession() {
  // The process may end as soon as this returns: stop the job now, so that
  // it removes its partial archive.
  if (!FZipFile) return;
  FUserStop = true;
  btnCancelClick(*FBtnCancel);
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
  FImgBtnGen->SetButtonState(skin::ibsDown);
}

void TfrmBRKPortable::btnBgMouseUp(ui::TComponent&, ui::TMouseButton, ui::TShiftState, int, int) {
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
  FBtnBg->SetButtonState(skin::ibsDown);
}

void TfrmBRKPortable::imgBtnGenMouseUp(ui::TComponent&, ui::TMouseButton, ui::TShiftState, int,
                                       int) {
  FBtnBg->SetButtonState(skin::ibsNormal);
}

void TfrmBRKPortable::imgBtnGenMouseEnter(ui::TComponent&) {
  FBtnBg->SetMouseOver(true);
}

void TfrmBRKPortable::imgBtnGenMouseLeave(ui::TComponent&) {
  FBtnBg->SetButtonState(skin::ibsNormal);
  FBtnBg->SetMouseOver(false);
}
